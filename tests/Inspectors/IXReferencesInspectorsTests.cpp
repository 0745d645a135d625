// The picture, comment and connection inspectors over a map with every kind of node: what
// they take from a selection, their sections, common and mixed values, changes over every
// selected node in one undo step, and the picture file chosen through the open panel.
#include "DocumentModel/IXFakeServices.h"
#include "IXInspectorFixtureMap.h"
#include "Inspectors/IXColorWell.h"
#include "Inspectors/IXCommentInspector.h"
#include "Inspectors/IXConnectionInspector.h"
#include "Inspectors/IXPictureInspector.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

template <typename Inspector> class ReferencesInspectorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_inspector.inspectorView();
        m_inspector.setTracksControllerSelection(true);
        m_inspector.setController(&m_map.controller);
    }
    void TearDown() override { m_inspector.setController(nullptr); }
    QStringList sectionNames()
    {
        m_inspector.inspectorView();
        QStringList names;
        for (QWidget* section : m_inspector.shownSections()) names.append(section->objectName().mid(2));
        return names;
    }

    InspectorFixtureMap m_map;
    Inspector m_inspector;
};

using PictureInspectorTest = ReferencesInspectorTest<IXPictureInspector>;
using CommentInspectorTest = ReferencesInspectorTest<IXCommentInspector>;
using ConnectionInspectorTest = ReferencesInspectorTest<IXConnectionInspector>;

TEST_F(PictureInspectorTest, SectionsFollowTargetsAspectAndFiles)
{
    // A floating picture placed by a branch and a branch's picture: targets differ, the line
    // applies; both refer to files.
    m_map.select({m_map.floatingP, m_map.a});
    ASSERT_EQ(m_inspector.nodes().size(), 2U);
    EXPECT_EQ(m_inspector.inspectorTitle(), "Picture");
    EXPECT_EQ(sectionNames(),
              QStringList({"PictureSection", "PictureKeptSizeSection", "PictureLineSection", "PictureFileSection"}));
    EXPECT_TRUE(m_inspector.exportBox()->isEnabled());
    saveShots(m_inspector.inspectorView(), QStringLiteral("picture-mixed"));

    // A web link has no file section; a free picture alone no line.
    m_map.select({m_map.b});
    EXPECT_EQ(sectionNames(), QStringList({"PictureSection", "PictureKeptSizeSection"}));
    // The export flag only applies to pictures connected to a branch.
    EXPECT_TRUE(m_inspector.includeInExport().isNotApplicable());
    EXPECT_FALSE(m_inspector.exportBox()->isEnabled());

    // Letting the aspect go swaps the size section at once, without a new selection.
    m_map.select({m_map.floatingP, m_map.a});
    int updates = 0;
    PLNotificationCenter::defaultCenter().addObserver(&updates, IXInspectorViewUpdateNotification, nullptr,
                                                      [&](const PLNotification&) { ++updates; });
    m_inspector.keepAspectBox()->click();
    spinEventLoop();
    PLNotificationCenter::defaultCenter().removeObserver(&updates);
    EXPECT_GE(updates, 1);
    EXPECT_EQ(sectionNames(),
              QStringList({"PictureSection", "PictureFreeSizeSection", "PictureLineSection", "PictureFileSection"}));
    saveShots(m_inspector.inspectorView(), QStringLiteral("picture-free"));
    // Not inspected in the print view.
    m_map.controller.m_documentLayout = 9;
    m_inspector.reloadSelection();
    EXPECT_FALSE(m_inspector.isApplicable());
}

TEST_F(PictureInspectorTest, ChangesReachEveryPictureInOneUndoStep)
{
    m_map.select({m_map.floatingP, m_map.floatingQ});
    m_map.layoutStyleOf(m_map.floatingP.get())->setPictureOpacity(0.5F);
    spinEventLoop();
    m_map.controller.m_undo.removeAllActions();
    EXPECT_EQ(m_inspector.opacityBox()->specialValueText(), "Multiple Values");
    EXPECT_EQ(m_inspector.nameField()->placeholderText(), "Multiple Values");

    m_inspector.opacityBox()->setValue(0.8);
    spinEventLoop();
    QTest::keyClicks(m_inspector.nameField(), "Same");
    QTest::keyClick(m_inspector.nameField(), Qt::Key_Return);
    spinEventLoop();
    for (const auto& picture : {m_map.floatingP, m_map.floatingQ}) {
        EXPECT_FLOAT_EQ(m_map.layoutStyleOf(picture.get())->pictureOpacity(), 0.8F);
        EXPECT_EQ(picture->title(), "Same");
    }
    EXPECT_DOUBLE_EQ(m_inspector.opacityBox()->value(), 0.8);
    m_map.undo();
    EXPECT_EQ(m_map.floatingP->title(), "P");
    EXPECT_EQ(m_map.floatingQ->title(), "Q");
    m_map.undo();
    EXPECT_FLOAT_EQ(m_map.layoutStyleOf(m_map.floatingP.get())->pictureOpacity(), 0.5F);
    EXPECT_NE(m_map.layoutStyleOf(m_map.floatingQ.get())->pictureOpacity(), 0.8F);
}

TEST_F(PictureInspectorTest, BrowseGivesEveryPictureTheFileAndRemembersItsFolder)
{
    FakeApplicationServices services;
    m_map.select({m_map.floatingP, m_map.a});
    // A stored folder that is gone is not offered.
    services.defaults.insert(QStringLiteral("IXLastPictureFolder"), m_map.filePath(QStringLiteral("gone")));
    services.panelResult = std::nullopt;
    const QString before = m_map.pictureA->targetRef();
    QTest::mouseClick(m_inspector.browseButton(), Qt::LeftButton);
    ASSERT_EQ(services.openPanels.size(), 1);
    EXPECT_TRUE(services.openPanels[0].directory.isEmpty());
    EXPECT_EQ(services.openPanels[0].title, "Select Picture File");
    EXPECT_EQ(m_map.pictureA->targetRef(), before);

    QImage(10, 10, QImage::Format_ARGB32).save(m_map.filePath(QStringLiteral("new.png")));
    services.defaults.insert(QStringLiteral("IXLastPictureFolder"), m_map.folder.path());
    services.panelResult = IXApplicationServices::OpenPanelResult {{m_map.filePath(QStringLiteral("new.png"))}, {}};
    QTest::mouseClick(m_inspector.browseButton(), Qt::LeftButton);
    EXPECT_EQ(services.openPanels[1].directory, m_map.folder.path());
    for (const auto& picture : {m_map.floatingP, m_map.pictureA})
        EXPECT_TRUE(picture->targetRef().endsWith(QStringLiteral("new.png"))) << picture->targetRef().toStdString();
    EXPECT_EQ(services.defaults.value(QStringLiteral("IXLastPictureFolder")).toString(), m_map.folder.path());
    EXPECT_TRUE(m_inspector.filePathField()->text().endsWith(QStringLiteral("new.png")));
    m_map.undo();
    EXPECT_TRUE(m_map.floatingP->targetRef().endsWith(QStringLiteral("p.png")));
}

TEST_F(CommentInspectorTest, CommentsShowMixedValuesChangeTogetherAndStayInThePrintView)
{
    m_map.select({m_map.commentN});
    EXPECT_EQ(m_inspector.inspectorTitle(), "Comment");
    EXPECT_EQ(sectionNames(), QStringList({"CommentSection", "CommentLineSection"}));
    EXPECT_EQ(m_inspector.nameField()->text(), "N");
    saveShots(m_inspector.inspectorView(), QStringLiteral("comment-one"));

    m_map.layoutStyleOf(m_map.commentN.get())->setFloatingFrameBackgroundColor(PLColor::rgb(1, 1, 0));
    m_map.select({m_map.commentN, m_map.commentM, m_map.a});
    ASSERT_EQ(m_inspector.nodes().size(), 2U);
    EXPECT_TRUE(m_inspector.frameFillColorWell()->mixedColor().isMultipleValues());
    m_map.controller.m_undo.removeAllActions();
    m_inspector.frameFillColorWell()->takeColor(PLColor::rgb(0, 1, 0));
    spinEventLoop();
    m_inspector.frameWidthBox()->setValue(3);
    spinEventLoop();
    for (const auto& comment : {m_map.commentN, m_map.commentM}) {
        EXPECT_EQ(m_map.layoutStyleOf(comment.get())->floatingFrameBackgroundColor(), PLColor::rgb(0, 1, 0));
        EXPECT_FLOAT_EQ(m_map.layoutStyleOf(comment.get())->floatingFrameWidth(), 3.0F);
    }
    m_map.undo();
    EXPECT_EQ(m_map.layoutStyleOf(m_map.commentM.get())->floatingFrameBackgroundColor(), PLColor::rgb(0, 1, 0));
    EXPECT_NE(m_map.layoutStyleOf(m_map.commentM.get())->floatingFrameWidth(), 3.0F);
    m_map.undo();
    EXPECT_EQ(m_map.layoutStyleOf(m_map.commentN.get())->floatingFrameBackgroundColor(), PLColor::rgb(1, 1, 0));
    EXPECT_NE(m_map.layoutStyleOf(m_map.commentM.get())->floatingFrameBackgroundColor(), PLColor::rgb(0, 1, 0));
    saveShots(m_inspector.inspectorView(), QStringLiteral("comment-mixed"));

    m_map.controller.m_documentLayout = 9;
    m_inspector.reloadSelection();
    EXPECT_TRUE(m_inspector.isApplicable());
}

TEST_F(ConnectionInspectorTest, ConnectionsShowMixedValuesAndChangeTogether)
{
    m_map.select({m_map.linkAB, m_map.linkBC, m_map.commentN});
    ASSERT_EQ(m_inspector.nodes().size(), 2U);
    EXPECT_EQ(m_inspector.inspectorTitle(), "Connection");
    EXPECT_EQ(sectionNames(), QStringList({"ConnectionSection"}));
    EXPECT_EQ(m_inspector.nameField()->placeholderText(), "Multiple Values");
    // The export flag of connections always applies.
    EXPECT_EQ(m_inspector.exportBox()->checkState(), Qt::Checked);
    m_map.controller.m_undo.removeAllActions();
    m_inspector.lineWidthBox()->setValue(4);
    spinEventLoop();
    m_inspector.hoverColorWell()->takeColor(PLColor::rgb(1, 0, 1));
    spinEventLoop();
    m_inspector.exportBox()->click();
    spinEventLoop();
    for (const auto& link : {m_map.linkAB, m_map.linkBC}) {
        EXPECT_FLOAT_EQ(m_map.layoutStyleOf(link.get())->connectionLineWidth(), 4.0F);
        EXPECT_EQ(m_map.layoutStyleOf(link.get())->connectionHoverColor(), PLColor::rgb(1, 0, 1));
        EXPECT_FALSE(link->includeInExport());
    }
    saveShots(m_inspector.inspectorView(), QStringLiteral("connection-mixed"));
    // One step per change, each over both connections.
    m_map.undo();
    for (const auto& link : {m_map.linkAB, m_map.linkBC}) {
        EXPECT_TRUE(link->includeInExport());
        EXPECT_EQ(m_map.layoutStyleOf(link.get())->connectionHoverColor(), PLColor::rgb(1, 0, 1));
    }
    m_map.undo();
    m_map.undo();
    for (const auto& link : {m_map.linkAB, m_map.linkBC})
        EXPECT_NE(m_map.layoutStyleOf(link.get())->connectionLineWidth(), 4.0F);
    m_map.controller.m_documentLayout = 9;
    m_inspector.reloadSelection();
    EXPECT_FALSE(m_inspector.isApplicable());
}

}  // namespace
