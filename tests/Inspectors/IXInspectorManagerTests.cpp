// The inspector manager: the standard inspectors, the floating panels and their layout kept
// between runs, showing and hiding them, the Inspectors menu and the side pane.
#include "IXInspectorTestSupport.h"
#include "IXPaneTestSupport.h"
#include "Inspectors/IXInspectorManager.h"
#include "Inspectors/IXInspectorView.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// An inspector that applies while a branch of its title is selected (any branch for "Any").
class TitledInspector : public IXInspectorController {
    Q_OBJECT
public:
    TitledInspector(const QString& title, int height)
        : m_title(title)
    {
        m_view.setTitle(title);
        (new QWidget(&m_view))->resize(220, height);
        m_view.tile();
    }
    ~TitledInspector() override { m_view.setParent(nullptr); }
    bool isApplicable() const override
    {
        for (const auto& branch : selection().allBranches())
            if (m_title == "Any" || branch->title() == m_title) return true;
        return false;
    }
    QString inspectorTitle() const override { return m_title; }
    QWidget* inspectorView() override { return &m_view; }

private:
    QString m_title;
    IXInspectorView m_view;
};

class InspectorManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        const QString file = m_folder.filePath("settings.ini");
        IXInspectorManager::installSettings([file] { return std::make_unique<QSettings>(file, QSettings::IniFormat); });
        // Three of the standard seven are made; the others are left out.
        const QList<std::pair<QString, QString>> made
            = {{"IXMindMapInspector", "Any"}, {"IXBranchInspector", "Branch"}, {"IXIconsInspector", "Icons"}};
        for (const auto& [name, title] : made)
            IXInspectorManager::registerInspectorClass(
                name, [title = title, this] { return std::make_unique<TitledInspector>(title, m_viewHeight); });
    }
    void TearDown() override
    {
        for (const QString& name : IXInspectorManager::inspectorClassNames())
            IXInspectorManager::registerInspectorClass(name, {});
        IXInspectorManager::installSettings({});
    }
    static QStringList paneNames(IXInspectorPanel* panel)
    {
        QStringList names;
        for (IXInspectorPanelView* pane : panel->panes()) names << pane->name();
        return names;
    }
    QSettings store() const { return QSettings(m_folder.filePath("settings.ini"), QSettings::IniFormat); }

    QTemporaryDir m_folder;
    int m_viewHeight = 60;
};

TEST_F(InspectorManagerTest, FirstStartGivesOneCollapsedPanelAtTheTopRight)
{
    IXInspectorManager manager;
    const QList<IXInspectorPanel*> panels = manager.panels();
    ASSERT_EQ(panels.size(), 1);
    EXPECT_EQ(paneNames(panels[0]), (QStringList {"IXMindMapInspector", "IXBranchInspector", "IXIconsInspector"}));
    for (IXInspectorPanelView* pane : panels[0]->panes()) EXPECT_TRUE(pane->isCollapsed());
    const QRect visible = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(panels[0]->geometry().top(), visible.top() + 4);
    EXPECT_EQ(panels[0]->geometry().right(), visible.right() - 4);
    EXPECT_FALSE(panels[0]->isVisible());
    manager.show();
    EXPECT_TRUE(panels[0]->isVisible());
    EXPECT_EQ(store().value("IXInspectorPanelCount").toInt(), 1);
}

TEST_F(InspectorManagerTest, PanelLayoutIsRestoredAfterARestart)
{
    QRect frames[2];
    {
        IXInspectorManager manager;
        manager.panels();
        QList<IXInspectorPanelView*> panes = manager.panelViews();
        IXInspectorPanel* second = manager.makeWindowForPanelView(panes[2]);
        panes[0]->setCollapsed(false);
        manager.panels()[0]->setGeometry(100, 120, 240, 200);
        second->setGeometry(400, 50, 220, 90);
        second->setInspectorVisible(false);
        frames[0] = manager.panels()[0]->geometry();
        frames[1] = second->geometry();
        manager.close();
    }
    IXInspectorManager restarted;
    const QList<IXInspectorPanel*> panels = restarted.panels();
    ASSERT_EQ(panels.size(), 2);
    EXPECT_EQ(paneNames(panels[0]), (QStringList {"IXMindMapInspector", "IXBranchInspector"}));
    EXPECT_EQ(paneNames(panels[1]), QStringList {"IXIconsInspector"});
    EXPECT_EQ(panels[0]->geometry(), frames[0]);
    EXPECT_EQ(panels[1]->geometry(), frames[1]);
    EXPECT_TRUE(panels[0]->isInspectorVisible());
    EXPECT_FALSE(panels[1]->isInspectorVisible());
    EXPECT_FALSE(panels[0]->panes()[0]->isCollapsed());
    EXPECT_TRUE(panels[0]->panes()[1]->isCollapsed());
}

TEST_F(InspectorManagerTest, PanelsWithoutFramesWrapIntoColumnsAndUnknownNamesAreIgnored)
{
    m_viewHeight = QGuiApplication::primaryScreen()->availableGeometry().height() / 3;
    {
        QSettings settings = store();
        settings.setValue("IXInspectorPanelCount", 3);
        settings.setValue("IXInspectorPanel[0].views", "IXMindMapInspector;IXNoSuchInspector");
        settings.setValue("IXInspectorPanel[1].views", "IXBranchInspector");
        settings.setValue("IXInspectorPanel[2].views", "IXIconsInspector");
        for (const char* name : {"IXMindMapInspector", "IXBranchInspector", "IXIconsInspector"})
            settings.setValue(QStringLiteral("IXInspectorPanelView[%1].collapsed").arg(name), false);
    }
    FakeInspectedController controller;
    controller.m_selection
        = IXSelection(IXSelection::NodeList {controller.addBranch("Branch"), controller.addBranch("Icons")});
    IXInspectorManager manager;
    manager.setTracksControllerSelection(true);
    manager.setController(&controller);
    const QList<IXInspectorPanel*> panels = manager.panels();
    ASSERT_EQ(panels.size(), 3);
    EXPECT_GT(panels[2]->height(), m_viewHeight);
    const QRect visible = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(panels[0]->geometry().topRight(), QPoint(visible.right() - 4, visible.top() + 4));
    EXPECT_EQ(panels[1]->geometry().top(), panels[0]->geometry().bottom() + 1 + 8);
    EXPECT_EQ(panels[1]->geometry().right(), visible.right() - 4);
    EXPECT_EQ(panels[2]->geometry().top(), visible.top() + 4);
    EXPECT_EQ(panels[2]->geometry().right(), panels[1]->geometry().left() - 1 - 4);
}

TEST_F(InspectorManagerTest, ShowingAndHidingBringsBackThePanelsTheUserKept)
{
    IXInspectorManager manager;
    QList<IXInspectorPanelView*> panes = manager.panelViews();
    manager.panels();
    manager.makeWindowForPanelView(panes[1]);
    manager.makeWindowForPanelView(panes[2]);
    const QList<IXInspectorPanel*> panels = manager.panels();
    ASSERT_EQ(panels.size(), 3);
    auto shown = [&] {
        QList<bool> result;
        for (IXInspectorPanel* panel : panels) result << panel->isVisible();
        return result;
    };
    panels[0]->show();
    panels[2]->show();
    manager.toggleInspectorPanels();
    EXPECT_EQ(shown(), (QList<bool> {false, false, false}));
    manager.toggleInspectorPanels();
    EXPECT_EQ(shown(), (QList<bool> {true, false, true}));

    // A panel closed by its close box stays away while another is kept...
    manager.closeInspectorPanel(panels[0]);
    manager.toggleInspectorPanels();
    manager.toggleInspectorPanels();
    EXPECT_EQ(shown(), (QList<bool> {false, false, true}));
    // ...and when every panel was closed, all come back.
    manager.closeInspectorPanel(panels[2]);
    manager.toggleInspectorPanels();
    EXPECT_EQ(shown(), (QList<bool> {true, true, true}));

    // Bringing a pane to the front shows its panel with the pane expanded.
    manager.hide();
    panels[1]->setInspectorVisible(false);
    manager.bringToFrontPaneForName("IXBranchInspector");
    EXPECT_TRUE(panels[1]->isVisible());
    EXPECT_FALSE(panes[1]->isCollapsed());
}

TEST_F(InspectorManagerTest, InspectorsMenuListsEachTitleOnceAheadOfItsOwnItems)
{
    IXInspectorManager manager;
    QMenu menu;
    QAction* toggle = menu.addAction("Show inspectors");
    menu.addAction("Reset inspectors")->setProperty("tag", -1);
    manager.menuNeedsUpdate(&menu);
    manager.menuNeedsUpdate(&menu);
    QStringList texts;
    QList<int> tags;
    for (QAction* item : menu.actions()) {
        texts << (item->isSeparator() ? QStringLiteral("-") : item->text());
        tags << item->property("tag").toInt();
    }
    EXPECT_EQ(texts, (QStringList {"Any", "Branch", "Icons", "-", "Show inspectors", "Reset inspectors"}));
    EXPECT_EQ(tags.mid(0, 3), (QList<int> {1, 2, 3}));

    // An item is enabled while its inspector applies and checked while its pane shows expanded.
    FakeInspectedController controller;
    auto branch = controller.addBranch("Branch");
    controller.m_selection = IXSelection(branch);
    manager.setTracksControllerSelection(true);
    manager.setController(&controller);
    QAction* branchItem = menu.actions()[1];
    QAction* iconsItem = menu.actions()[2];
    EXPECT_TRUE(manager.validateMenuItem(branchItem));
    EXPECT_FALSE(manager.validateMenuItem(iconsItem));
    EXPECT_FALSE(branchItem->isChecked());
    branchItem->trigger();
    EXPECT_TRUE(manager.validateMenuItem(branchItem));
    EXPECT_TRUE(branchItem->isChecked());
    manager.validateMenuItem(toggle);
    EXPECT_EQ(toggle->text(), "Hide inspectors");
}

TEST_F(InspectorManagerTest, SidePaneShowsTheApplicableSectionsInOrderAndFollowsItsWindow)
{
    FakeInspectedController controller;
    auto plain = controller.addBranch("Plain");
    auto icons = controller.addBranch("Icons");
    controller.m_selection = IXSelection(plain);
    IXInspectorView side;
    IXInspectorManager manager(&controller);
    manager.setTargetView(&side);
    manager.reloadViews();
    auto titles = [&] {
        QStringList result;
        for (auto* section : side.findChildren<IXInspectorView*>(Qt::FindDirectChildrenOnly))
            result << section->title();
        return result;
    };
    EXPECT_EQ(titles(), QStringList {"Any"});
    controller.select(IXSelection(IXSelection::NodeList {icons, plain}));
    EXPECT_EQ(titles(), (QStringList {"Any", "Icons"}));
    EXPECT_EQ(manager.panels().size(), 0);
    manager.bringToFrontPaneForName("IXIconsInspector");
    EXPECT_TRUE(manager.panelViews().isEmpty());
    // Every inspector follows the window's selection.
    for (const auto& inspector : manager.subcontrollers()) EXPECT_EQ(inspector->selection().count(), 2);
}

TEST_F(InspectorManagerTest, SwitchingTheActiveWindowRebindsEveryInspector)
{
    FakeInspectedController first, second;
    FakeControllerLookup lookup {&first, &second};
    first.m_selection = IXSelection(first.addBranch("Branch"));
    second.m_selection = IXSelection(second.addBranch("Other"));
    IXInspectorController::setCurrentWindow(first.window());
    IXInspectorManager manager;
    manager.setTracksActiveController(true);
    manager.show();
    auto controllers = [&] {
        QList<IXInspectedController*> result;
        for (const auto& inspector : manager.subcontrollers()) result << inspector->controller();
        return result;
    };
    EXPECT_EQ(controllers(), (QList<IXInspectedController*> {&first, &first, &first}));
    EXPECT_TRUE(manager.panelViews()[1]->currentView());
    IXInspectorController::windowDidBecomeMain(second.window());
    EXPECT_EQ(controllers(), (QList<IXInspectedController*> {&second, &second, &second}));
    EXPECT_EQ(manager.subcontrollers()[1]->selection().firstNode(), second.m_selection.firstNode());
    EXPECT_FALSE(manager.panelViews()[1]->currentView());
}

}  // namespace

#include "IXInspectorManagerTests.moc"
