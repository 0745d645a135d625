// The icons inspector over the shipped icon library: the grid's columns by width, the
// tri-state of icons over several branches, and a click that puts an icon at the end of every
// selected branch's list in one undo step.
#include "DocumentModel/IXIconsFolderStorage.h"
#include "IXInspectorFixtureMap.h"
#include "Inspectors/IXIconsInspector.h"
#include "Platform/System/PLResources.h"

#include <QToolButton>

#include <gtest/gtest.h>

namespace {

TEST(IconsInspector, ColumnsFillTheWidthInMultiplesOfThreeBeyondNine)
{
    const std::pair<int, int> cases[] = {{200, 9}, {230, 9}, {275, 12}, {100, 4}, {10, 1}, {400, 18}};
    for (const auto& [width, columns] : cases) EXPECT_EQ(IXIconsInspector::columnsForWidth(width), columns) << width;
}

class IconsInspectorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_GE(m_library.names().size(), 3);
        m_names = m_library.names();
        m_inspector.inspectorView();
        m_inspector.setTracksControllerSelection(true);
        m_inspector.setController(&m_map.controller);
    }
    void TearDown() override { m_inspector.setController(nullptr); }
    int indexOf(const QString& name) const { return int(m_names.indexOf(name)); }

    IXIconsFolderStorage m_library {QDir(PLResources::directory()).filePath(QStringLiteral("branch_icons"))};
    struct Installed {
        explicit Installed(IXIconsStorage* library) { IXIconsStorage::install(library); }
        ~Installed() { IXIconsStorage::install(nullptr); }
    } m_installed {&m_library};
    QStringList m_names;
    InspectorFixtureMap m_map;
    IXIconsInspector m_inspector;
};

TEST_F(IconsInspectorTest, ToggleFollowsTheTriStateAndMovesTheIconToTheEnd)
{
    const QString first = m_names[0];
    const QString second = m_names[1];
    m_map.a->setIcons({first, second});
    m_map.b->setIcons({first});
    m_map.c->setIcons({second});
    m_map.select({m_map.a, m_map.b, m_map.c});
    ASSERT_TRUE(m_inspector.isApplicable());
    EXPECT_EQ(m_inspector.cells().size(), m_names.size());
    EXPECT_EQ(m_inspector.stateOfIcon(indexOf(first)), IXIconsInspector::State::Mixed);
    EXPECT_EQ(m_inspector.stateOfIcon(indexOf(second)), IXIconsInspector::State::Mixed);
    EXPECT_EQ(m_inspector.stateOfIcon(2), IXIconsInspector::State::Off);
    EXPECT_TRUE(m_inspector.cells()[2]->isEnabled());
    m_inspector.inspectorView()->resize(210, m_inspector.inspectorView()->height());
    saveShots(m_inspector.inspectorView(), QStringLiteral("icons-mixed"));

    // A mixed icon becomes on, at the end of every list.
    m_map.controller.m_undo.removeAllActions();
    m_inspector.cells()[indexOf(first)]->click();
    spinEventLoop();
    EXPECT_EQ(m_map.a->icons(), QStringList({second, first}));
    EXPECT_EQ(m_map.b->icons(), QStringList({first}));
    EXPECT_EQ(m_map.c->icons(), QStringList({second, first}));
    EXPECT_EQ(m_inspector.stateOfIcon(indexOf(first)), IXIconsInspector::State::On);
    saveShots(m_inspector.inspectorView(), QStringLiteral("icons-on"));

    // An icon that all have goes off everywhere.
    m_inspector.cells()[indexOf(first)]->click();
    spinEventLoop();
    for (const auto& branch : {m_map.a, m_map.b, m_map.c}) EXPECT_FALSE(branch->hasIcon(first));
    EXPECT_EQ(m_inspector.stateOfIcon(indexOf(first)), IXIconsInspector::State::Off);
    m_map.undo();
    for (const auto& branch : {m_map.a, m_map.b, m_map.c}) EXPECT_TRUE(branch->hasIcon(first));
    m_map.undo();
    EXPECT_EQ(m_map.a->icons(), QStringList({first, second}));
    EXPECT_EQ(m_map.c->icons(), QStringList({second}));
    EXPECT_EQ(m_inspector.stateOfIcon(indexOf(first)), IXIconsInspector::State::Mixed);
}

TEST_F(IconsInspectorTest, NotApplicableToTheRootAloneNorInThePrintView)
{
    m_map.select({m_map.root});
    EXPECT_FALSE(m_inspector.isApplicable());
    EXPECT_FALSE(m_inspector.cells()[0]->isEnabled());
    m_map.select({m_map.root, m_map.a});
    EXPECT_TRUE(m_inspector.isApplicable());
    m_map.controller.m_documentLayout = 9;
    EXPECT_FALSE(m_inspector.isApplicable());
}

TEST_F(IconsInspectorTest, TheGridIsRebuiltForANewWidth)
{
    // A hidden widget hears of its size only when shown.
    m_inspector.inspectorView()->show();
    QWidget* container = m_inspector.containerView();
    container->resize(275, container->height());
    EXPECT_EQ(m_inspector.columns(), 12);
    EXPECT_EQ(m_inspector.rows(), int((m_names.size() + 11) / 12));
    container->resize(200, container->height());
    EXPECT_EQ(m_inspector.columns(), 9);
    EXPECT_EQ(m_inspector.cells().size(), m_names.size());
    m_inspector.inspectorView()->hide();
}

}  // namespace
