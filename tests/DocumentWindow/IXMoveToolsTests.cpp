// The tools that move things on the map, end to end through the application object,
// offscreen, on the small fixture map in its three map layouts: branch drags onto other
// branches and over the canvas, their undo, and the ways a drag is abandoned.
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXFakeServices.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXReferenceOpening.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "DocumentModel/IXToolNames.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXCommandNames.h"
#include "DocumentViews/IXConnectionTool.h"
#include "DocumentViews/IXDragBranchTool.h"
#include "DocumentViews/IXDragFloatingTool.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXToolManager.h"
#include "IXMapToolsTestSupport.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXLayoutContext.h"
#include "Platform/Core/PLUndoManager.h"
#include "Platform/Drawing/PLNamedImages.h"
#include "UtilityWidgets/UTToolbarItem.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTest>

#include <cmath>

namespace {

class MoveToolsTest : public MapToolsTest {
protected:
    // Opens the fixture, with Second holding A, B and C, in the map layout (0 mind map,
    // 1 top-down, 2 left-right).
    void openIn(int layout)
    {
        open([](IXDocumentNode& document) {
            auto second = std::static_pointer_cast<IXBranchNode>(document.rootBranches().at(1));
            addBranches(second, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        });
        if (layout != 0) {
            controller->setDocumentLayout(layout);
            spin(20);
            view = qobject_cast<IXMapView*>(controller->documentView());
            ASSERT_TRUE(view);
            view->setFocus();
        }
        // The fixture's roots share the canvas origin: Second goes below Main.
        context()->styleForNode(branch(QStringLiteral("Second")).get())->setBranchParentOffset(PLPoint(0, -250));
        spin();
        context()->performLayoutIfNeeded();
        document->undoManager()->removeAllActions();
    }
    static void addBranches(const std::shared_ptr<IXBranchNode>& parent, const QStringList& titles)
    {
        for (const QString& title : titles) {
            auto branch = std::make_shared<IXBranchNode>();
            branch->setTitle(title);
            parent->insertBranch(branch, -1);
        }
    }
    std::shared_ptr<IXBranchNode> branchNamed(const QString& title) const
    {
        return std::static_pointer_cast<IXBranchNode>(branch(title));
    }
    QStringList childrenOf(const QString& title) const
    {
        QStringList titles;
        for (const auto& child : branchNamed(title)->branches()) titles << child->title();
        return titles;
    }
    QStringList roots() const
    {
        QStringList titles;
        for (const auto& root : node()->rootBranches()) titles << root->title();
        return titles;
    }
    PLPoint offsetOf(const QString& title) const
    {
        return context()->styleForReading(branch(title).get())->branchParentOffset();
    }
    // Presses on the branch, nudges it so that the press becomes a drag, moves to the point
    // (twice, the second after the layout has followed) and releases there.
    void dragBranch(const QString& title, QPoint to, const std::function<void()>& during = {})
    {
        const QPoint from = pointOn(branch(title).get());
        ASSERT_NE(from, QPoint(-1, -1));
        drag(from, {from + QPoint(6, 6), to, to}, during, [&](QPoint at) { release(at); });
        spin();
        context()->performLayoutIfNeeded();
    }
    void select(const std::shared_ptr<IXNode>& node) { context()->setSelection(IXSelection::selectionWithNode(node)); }
    bool canUndo() const { return document->undoManager()->canUndo(); }
};

class MoveToolsLayoutTest : public MoveToolsTest, public ::testing::WithParamInterface<int> { };

TEST_P(MoveToolsLayoutTest, ABranchDroppedOnAnotherBecomesItsLastChildAndUndoPutsItBack)
{
    openIn(GetParam());
    QStringList highlightedWhileDragging;
    dragBranch(QStringLiteral("Sub"), pointOn(branch(QStringLiteral("B")).get()),
               [&] { highlightedWhileDragging = highlighted(); });
    EXPECT_EQ(highlightedWhileDragging, QStringList({QStringLiteral("B")}));
    EXPECT_EQ(childrenOf(QStringLiteral("B")), QStringList({QStringLiteral("Sub")}));
    EXPECT_TRUE(childrenOf(QStringLiteral("Main")).isEmpty());
    EXPECT_TRUE(context()->highlights().isEmpty());
    EXPECT_EQ(IXToolManager::sharedManager()->currentTool(), nullptr);
    EXPECT_TRUE(node()->isUndoEnabled());

    // One step.
    document->undoManager()->undo();
    context()->performLayoutIfNeeded();
    EXPECT_EQ(childrenOf(QStringLiteral("Main")), QStringList({QStringLiteral("Sub")}));
    EXPECT_TRUE(childrenOf(QStringLiteral("B")).isEmpty());
    EXPECT_FALSE(canUndo());
}

TEST_P(MoveToolsLayoutTest, ADropBesideABranchLandsAtThePlaceholdersIndex)
{
    openIn(GetParam());
    // Just past A's box on the side away from its parent's line: the layout's slot there.
    const QRect a = boxOf(branch(QStringLiteral("A")).get());
    IXBranchCell* sub = context()->cells().branchCellForNode(branch(QStringLiteral("Sub")).get());
    QPoint slot(-1, -1);
    int expectedIndex = -1;
    for (const QPoint candidate : {QPoint(a.center().x(), a.bottom() + 4), QPoint(a.right() + 4, a.center().y()),
                                   QPoint(a.center().x(), a.top() - 4), QPoint(a.left() - 4, a.center().y())}) {
        int index = -1;
        IXBranchCell* parent = context()->mouse().parentForBranchCell(sub, view->pointFromQt(candidate), &index);
        if (parent && parent->node() == branch(QStringLiteral("Second")).get() && index >= 0) {
            slot = candidate;
            expectedIndex = index;
            break;
        }
    }
    ASSERT_NE(slot, QPoint(-1, -1)) << "no slot beside A";
    dragBranch(QStringLiteral("Sub"), slot, [&] { saveRender(QStringLiteral("drag-placeholder-%1").arg(GetParam())); });
    QStringList expected({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    expected.insert(expectedIndex, QStringLiteral("Sub"));
    EXPECT_EQ(childrenOf(QStringLiteral("Second")), expected);
    document->undoManager()->undo();
    EXPECT_EQ(childrenOf(QStringLiteral("Second")),
              QStringList({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    EXPECT_FALSE(canUndo());
}

TEST_P(MoveToolsLayoutTest, ARootDraggedOverTheCanvasMovesInOneUndoStep)
{
    openIn(GetParam());
    const PLPoint before = offsetOf(QStringLiteral("Second"));
    const QPoint from = pointOn(branch(QStringLiteral("Second")).get());
    const QPoint to = emptyPoint();
    dragBranch(QStringLiteral("Second"), to);
    const PLPoint after = offsetOf(QStringLiteral("Second"));
    // The canvas is y-up, the view's Qt space y-down; the zoom is 1.
    EXPECT_NEAR(after.x - before.x, to.x() - from.x(), 1.0);
    EXPECT_NEAR(after.y - before.y, -(to.y() - from.y()), 1.0);
    EXPECT_EQ(roots(), QStringList({QStringLiteral("Main"), QStringLiteral("Second")}));
    document->undoManager()->undo();
    EXPECT_EQ(offsetOf(QStringLiteral("Second")), before);
    EXPECT_FALSE(canUndo());
}

std::string layoutName(const ::testing::TestParamInfo<int>& info)
{
    static const char* const names[] = {"MindMap", "TopDown", "LeftRight"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(MapLayouts, MoveToolsLayoutTest, ::testing::Values(0, 1, 2), layoutName);

TEST_F(MoveToolsTest, ABranchNeverGoesIntoItsOwnSubtree)
{
    openIn(0);
    // A root dragged over its own tree is placed on the canvas instead.
    const PLPoint before = offsetOf(QStringLiteral("Main"));
    QStringList highlightedWhileDragging {QStringLiteral("-")};
    dragBranch(QStringLiteral("Main"), pointOn(branch(QStringLiteral("Sub")).get()),
               [&] { highlightedWhileDragging = highlighted(); });
    EXPECT_TRUE(highlightedWhileDragging.isEmpty());
    EXPECT_EQ(roots(), QStringList({QStringLiteral("Main"), QStringLiteral("Second")}));
    EXPECT_EQ(childrenOf(QStringLiteral("Sub")), QStringList());
    EXPECT_NE(offsetOf(QStringLiteral("Main")), before);

    // A selected ancestor of the target stays; the other selected branches move.
    IXDragBranchTool::moveBranches(context(), {branchNamed(QStringLiteral("Second")), branchNamed(QStringLiteral("A"))},
                                   branchNamed(QStringLiteral("B")), -1, IXDragBranchTool::AmongSubbranches);
    EXPECT_EQ(childrenOf(QStringLiteral("B")), QStringList({QStringLiteral("A")}));
    EXPECT_EQ(roots(), QStringList({QStringLiteral("Main"), QStringLiteral("Second")}));
}

TEST_F(MoveToolsTest, SelectedBranchesLandOneAfterAnotherWithTheSideOfThePlaceholder)
{
    openIn(0);
    const auto main = branchNamed(QStringLiteral("Main"));
    addBranches(main, {QStringLiteral("M1"), QStringLiteral("M2")});
    spin();
    document->undoManager()->removeAllActions();
    const struct {
        const char* name;
        int index;
        int placeholder;
        QStringList expected;
        int layoutType;
    } cases[] = {
        {"at index 1",
         1,
         IXDragBranchTool::AmongSubbranches,
         {QStringLiteral("Sub"), QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("M1"), QStringLiteral("M2")},
         0},
        {"appended, left of the root",
         -1,
         IXDragBranchTool::LeftOfRoot,
         {QStringLiteral("Sub"), QStringLiteral("M1"), QStringLiteral("M2"), QStringLiteral("C"), QStringLiteral("A")},
         3},
        {"at the front, right of the root",
         0,
         IXDragBranchTool::RightOfRoot,
         {QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("Sub"), QStringLiteral("M1"), QStringLiteral("M2")},
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IXDragBranchTool::moveBranches(context(), {branchNamed(QStringLiteral("C")), branchNamed(QStringLiteral("A"))},
                                       main, c.index, c.placeholder);
        spin();
        EXPECT_EQ(childrenOf(QStringLiteral("Main")), c.expected);
        EXPECT_EQ(context()->styleForReading(branch(QStringLiteral("C")).get())->branchLayoutType(), c.layoutType);
        EXPECT_EQ(context()->styleForReading(branch(QStringLiteral("A")).get())->branchLayoutType(), c.layoutType);
        document->undoManager()->undo();
        spin();
        EXPECT_EQ(childrenOf(QStringLiteral("Second")),
                  QStringList({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    }
}

TEST_F(MoveToolsTest, AnAbandonedDragPutsTheBranchBackAndSwitchesUndoOn)
{
    openIn(0);
    const struct {
        const char* name;
        std::function<void()> abandon;
    } ways[] = {
        {"Escape", [&] { QTest::keyClick(view, Qt::Key_Escape); }},
        {"the window is hidden", [&] { controller->documentWindow()->hide(); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        if (!controller->documentWindow()->isVisible()) controller->documentWindow()->show();
        view->setFocus();
        spin();
        const PLPoint before = offsetOf(QStringLiteral("Second"));
        const QPoint from = pointOn(branch(QStringLiteral("Second")).get());
        bool movedWhileDragging = false;
        bool undoOffWhileDragging = false;
        drag(
            from, {from + QPoint(6, 6), emptyPoint(), emptyPoint()},
            [&] {
                movedWhileDragging = offsetOf(QStringLiteral("Second")) != before;
                undoOffWhileDragging = !node()->isUndoEnabled();
            },
            [&](QPoint) { way.abandon(); });
        spin();
        EXPECT_TRUE(movedWhileDragging);
        EXPECT_TRUE(undoOffWhileDragging);
        EXPECT_EQ(offsetOf(QStringLiteral("Second")), before);
        EXPECT_TRUE(node()->isUndoEnabled());
        EXPECT_FALSE(canUndo());
        EXPECT_EQ(IXToolManager::sharedManager()->currentTool(), nullptr);
        EXPECT_TRUE(context()->highlights().isEmpty());
        release(emptyPoint());
        EXPECT_EQ(offsetOf(QStringLiteral("Second")), before);
    }

    // The window closing (its changes dropped) under the drag leaves the model sound.
    if (!controller->documentWindow()->isVisible()) controller->documentWindow()->show();
    view->setFocus();
    spin();
    const std::shared_ptr<IXDocumentNode> model = node();
    const auto second = branch(QStringLiteral("Second"));
    const auto sheet = model->layoutForName(IXLayoutMindMapName)->styleSheet();
    const PLPoint before = sheet->styleForReading(second.get())->branchParentOffset();
    const QPoint from = pointOn(second.get());
    dialogs.alertAnswers = {2};  // Don't Save
    drag(from, {from + QPoint(6, 6), emptyPoint(), emptyPoint()}, {},
         [&](QPoint) { controller->documentWindow()->close(); });
    spin();
    EXPECT_TRUE(IXDocumentController::shared().documents().isEmpty());
    EXPECT_TRUE(model->isUndoEnabled());
    EXPECT_EQ(sheet->styleForReading(second.get())->branchParentOffset(), before);
    EXPECT_EQ(IXToolManager::sharedManager()->currentTool(), nullptr);
}

TEST_F(MoveToolsTest, AFloatingTextDroppedOnABranchIsAttachedWhereItWasAndUndoDetachesIt)
{
    openIn(0);
    const auto note = comment();
    const auto second = branch(QStringLiteral("Second"));
    ASSERT_EQ(note->floatingTargetNode(), nullptr);
    const PLPoint before = context()->styleForReading(note.get())->floatingTargetOffset();
    const PLRect placeBefore = context()->coordinates().convertRectFromCell(
        context()->cells().cellForNode(note.get())->bounds(), context()->cells().cellForNode(note.get()));
    // Relative to Second's box now, the text keeps its place of before the drag.
    const PLPoint relative = IXDragFloatingTool::convertOffset(context(), before, nullptr,
                                                               context()->cells().branchCellForNode(second.get()));
    const PLPoint expected(std::floor(relative.x), std::floor(relative.y));

    const QPoint from = pointOn(note.get());
    const QPoint onSecond = pointOn(second.get());
    QStringList highlightedOver;
    drag(
        from, {from + QPoint(6, 6), onSecond, onSecond}, [&] { highlightedOver = highlighted(); },
        [&](QPoint at) { release(at); });
    spin();
    context()->performLayoutIfNeeded();
    EXPECT_EQ(highlightedOver, QStringList({QStringLiteral("Second")}));
    EXPECT_EQ(note->floatingTargetNode(), second);
    EXPECT_EQ(context()->styleForReading(note.get())->floatingTargetOffset(), expected);
    const PLRect placeAfter = context()->coordinates().convertRectFromCell(
        context()->cells().cellForNode(note.get())->bounds(), context()->cells().cellForNode(note.get()));
    EXPECT_NEAR(placeAfter.origin.x, placeBefore.origin.x, 1.0);
    EXPECT_NEAR(placeAfter.origin.y, placeBefore.origin.y, 1.0);
    EXPECT_TRUE(node()->isUndoEnabled());
    EXPECT_EQ(IXToolManager::sharedManager()->currentTool(), nullptr);

    document->undoManager()->undo();
    EXPECT_EQ(note->floatingTargetNode(), nullptr);
    EXPECT_EQ(context()->styleForReading(note.get())->floatingTargetOffset(), before);
    EXPECT_FALSE(canUndo());
}

TEST_F(MoveToolsTest, WithShiftAFloatingTextPassesOverBranchesWithoutAttaching)
{
    openIn(0);
    const auto note = comment();
    const PLPoint before = context()->styleForReading(note.get())->floatingTargetOffset();
    const QPoint from = pointOn(note.get());
    const QPoint onSecond = pointOn(branch(QStringLiteral("Second")).get());
    QStringList highlightedOver {QStringLiteral("-")};
    drag(
        from, {from + QPoint(6, 6), onSecond, onSecond}, [&] { highlightedOver = highlighted(); },
        [&](QPoint at) { QTest::mouseRelease(view, Qt::LeftButton, Qt::ShiftModifier, at); }, Qt::ShiftModifier);
    spin();
    EXPECT_TRUE(highlightedOver.isEmpty());
    EXPECT_EQ(note->floatingTargetNode(), nullptr);
    const PLPoint after = context()->styleForReading(note.get())->floatingTargetOffset();
    EXPECT_NEAR(after.x - before.x, onSecond.x() - from.x(), 1.0);
    EXPECT_NEAR(after.y - before.y, -(onSecond.y() - from.y()), 1.0);
}

TEST_F(MoveToolsTest, AFloatingTextDraggedOverTheCanvasFollowsThePointer)
{
    openIn(0);
    const auto note = comment();
    const PLPoint before = context()->styleForReading(note.get())->floatingTargetOffset();
    const QPoint from = pointOn(note.get());
    const QPoint to = emptyPoint();
    drag(from, {from + QPoint(6, 6), to}, {}, [&](QPoint at) { release(at); });
    spin();
    const PLPoint after = context()->styleForReading(note.get())->floatingTargetOffset();
    EXPECT_NEAR(after.x - before.x, to.x() - from.x(), 1.0);
    EXPECT_NEAR(after.y - before.y, -(to.y() - from.y()), 1.0);
    EXPECT_EQ(note->floatingTargetNode(), nullptr);
    document->undoManager()->undo();
    EXPECT_EQ(context()->styleForReading(note.get())->floatingTargetOffset(), before);
    EXPECT_FALSE(canUndo());
}

// The connection tool watches what the window receives: clicks go to the window, at a point
// of the map view.
class ConnectionToolTest : public MoveToolsTest {
protected:
    void clickInWindow(QPoint at, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(controller->documentWindow()->windowHandle(), Qt::LeftButton, modifiers,
                          view->mapTo(controller->documentWindow(), at));
    }
};

IXConnectionTool* startConnecting(IXLayoutContext* context)
{
    return qobject_cast<IXConnectionTool*>(
        IXToolManager::sharedManager()->activateToolNamed(IXToolNames::Connection, context, IXToolEvent()));
}

TEST_F(ConnectionToolTest, AConnectionDrawnBetweenTwoBranchesIsSavedAndReopened)
{
    openIn(0);
    ASSERT_TRUE(startConnecting(context()));
    clickInWindow(pointOn(branch(QStringLiteral("Sub")).get()));
    EXPECT_EQ(highlighted(), QStringList({QStringLiteral("Sub")}));
    // Over a target, the start and the target are lit.
    QTest::mouseMove(controller->documentWindow()->windowHandle(),
                     view->mapTo(controller->documentWindow(), pointOn(branch(QStringLiteral("Second")).get())));
    EXPECT_EQ(highlighted(), QStringList({QStringLiteral("Second"), QStringLiteral("Sub")}));
    saveRender(QStringLiteral("connection-highlights"));
    // Empty canvas keeps the tool waiting with the start lit.
    clickInWindow(emptyPoint());
    EXPECT_EQ(highlighted(), QStringList({QStringLiteral("Sub")}));
    ASSERT_TRUE(qobject_cast<IXConnectionTool*>(IXToolManager::sharedManager()->currentTool()));
    clickInWindow(pointOn(branch(QStringLiteral("Second")).get()));
    spin();
    EXPECT_EQ(IXToolManager::sharedManager()->currentTool(), nullptr);
    EXPECT_TRUE(context()->highlights().isEmpty());
    const auto& made = branchNamed(QStringLiteral("Sub"))->connections();
    ASSERT_EQ(made.size(), 1);
    EXPECT_EQ(made.front()->targetNode(), branch(QStringLiteral("Second")));
    EXPECT_EQ(made.front()->title(), QStringLiteral("Second"));
    EXPECT_EQ(context()->selection().nodes().value(0), made.front());

    ASSERT_TRUE(document->saveDocument());
    const QString path = document->fileName();
    IXDocumentController::shared().removeDocument(document);
    PLError error;
    document = IXDocumentController::shared().openDocument(path, false, &error);
    ASSERT_TRUE(document) << error.failureReason().toStdString();
    const auto& reopened = branchNamed(QStringLiteral("Sub"))->connections();
    ASSERT_EQ(reopened.size(), 1);
    EXPECT_EQ(reopened.front()->targetNode(), branch(QStringLiteral("Second")));
}

TEST_F(ConnectionToolTest, TheConnectionCommandStartsAndStopsTheTool)
{
    openIn(0);
    select(branch(QStringLiteral("Sub")));
    auto send = [] {
        IXApplication::instance()->sendAction(IXCommands::MakeBranchConnection.toByteArray(), nullptr, nullptr);
    };
    send();
    spin();
    EXPECT_TRUE(qobject_cast<IXConnectionTool*>(IXToolManager::sharedManager()->currentTool()));
    send();
    spin();
    EXPECT_EQ(IXToolManager::sharedManager()->currentTool(), nullptr);
}

TEST_F(ConnectionToolTest, AStartRemovedWhileTheToolWaitsIsNeverConnected)
{
    openIn(0);
    ASSERT_TRUE(startConnecting(context()));
    const auto sub = branchNamed(QStringLiteral("Sub"));
    clickInWindow(pointOn(sub.get()));
    auto* tool = qobject_cast<IXConnectionTool*>(IXToolManager::sharedManager()->currentTool());
    ASSERT_TRUE(tool);
    ASSERT_EQ(tool->startBranch(), sub);
    branchNamed(QStringLiteral("Main"))->removeBranch(sub);
    spin();
    context()->performLayoutIfNeeded();
    // The click that would have been the target chooses a start again.
    clickInWindow(pointOn(branch(QStringLiteral("Second")).get()));
    EXPECT_TRUE(sub->connections().isEmpty());
    EXPECT_TRUE(branchNamed(QStringLiteral("Second"))->connections().isEmpty());
    ASSERT_EQ(IXToolManager::sharedManager()->currentTool(), tool);
    EXPECT_EQ(tool->startBranch(), branch(QStringLiteral("Second")));
    // Escape ends the tool and clears what it lit.
    QTest::keyClick(view, Qt::Key_Escape);
    spin();
    EXPECT_EQ(IXToolManager::sharedManager()->currentTool(), nullptr);
    EXPECT_TRUE(context()->highlights().isEmpty());
}

TEST_F(ConnectionToolTest, AltAtTheSecondClickStartsTheNextConnection)
{
    openIn(0);
    ASSERT_TRUE(startConnecting(context()));
    clickInWindow(pointOn(branch(QStringLiteral("A")).get()));
    clickInWindow(pointOn(branch(QStringLiteral("B")).get()), Qt::AltModifier);
    spin();
    EXPECT_EQ(branchNamed(QStringLiteral("A"))->connections().size(), 1);
    auto* next = qobject_cast<IXConnectionTool*>(IXToolManager::sharedManager()->currentTool());
    ASSERT_TRUE(next);
    EXPECT_EQ(next->startBranch(), nullptr);
    clickInWindow(pointOn(branch(QStringLiteral("B")).get()));
    clickInWindow(pointOn(branch(QStringLiteral("C")).get()));
    spin();
    ASSERT_EQ(branchNamed(QStringLiteral("B"))->connections().size(), 1);
    EXPECT_EQ(branchNamed(QStringLiteral("B"))->connections().front()->targetNode(), branch(QStringLiteral("C")));
    EXPECT_EQ(IXToolManager::sharedManager()->currentTool(), nullptr);
}

}  // namespace

namespace {

// A second document's window beside the fixture's, for connections between documents.
class CrossDocumentConnectionTest : public ConnectionToolTest {
protected:
    void openOther(bool saved)
    {
        PLError error;
        other = saved ? IXDocumentController::shared().openDocument(
                    copyFixture(QStringLiteral("tree.ixd"), QStringLiteral("other.ixd")), true, &error)
                      : IXAppController::sharedController().newEmptyDocument();
        ASSERT_TRUE(other) << error.localizedDescription().toStdString();
        spin(IXWindowController::DocumentOpenDelayMilliseconds + 50);
        otherController = dynamic_cast<IXWindowController*>(other->windowControllers().front());
        otherView = qobject_cast<IXMapView*>(otherController->documentView());
        ASSERT_TRUE(otherView);
        // As in the fixture's window, Second goes below Main.
        const auto& roots = other->documentNode()->rootBranches();
        if (roots.size() > 1)
            otherView->layoutContext()->styleForNode(roots.at(1).get())->setBranchParentOffset(PLPoint(0, -250));
        spin();
        otherView->layoutContext()->performLayoutIfNeeded();
    }
    std::shared_ptr<IXBranchNode> otherRoot() const
    {
        return std::static_pointer_cast<IXBranchNode>(other->documentNode()->rootBranches().front());
    }
    // Moves over the other map (which takes the tool there) and clicks its first root.
    void clickOtherRoot()
    {
        IXLayoutContext* layout = otherView->layoutContext();
        IXLayoutCell* cell = layout->cells().branchCellForNode(otherRoot().get());
        ASSERT_TRUE(cell);
        const QPoint at
            = otherView->rectToQt(layout->coordinates().convertRectFromCell(cell->bounds(), cell)).center().toPoint();
        QWindow* window = otherController->documentWindow()->windowHandle();
        const QPoint inWindow = otherView->mapTo(otherController->documentWindow(), at);
        QTest::mouseMove(window, inWindow);
        QTest::mouseClick(window, Qt::LeftButton, {}, inWindow);
        spin();
    }

    FakeApplicationServices services;
    IXDocument* other = nullptr;
    IXWindowController* otherController = nullptr;
    IXMapView* otherView = nullptr;
};

TEST_F(CrossDocumentConnectionTest, ATargetInAnUnsavedDocumentIsRefusedWithAnAlert)
{
    openIn(0);
    openOther(false);
    ASSERT_TRUE(startConnecting(context()));
    clickInWindow(pointOn(branch(QStringLiteral("Sub")).get()));
    clickOtherRoot();
    ASSERT_EQ(services.alerts.size(), 1);
    EXPECT_TRUE(services.alerts.front().startsWith(QStringLiteral("The Connection Cannot Be Made|")));
    EXPECT_TRUE(services.alerts.front().contains(QStringLiteral("never been saved")));
    EXPECT_TRUE(branchNamed(QStringLiteral("Sub"))->connections().isEmpty());
    EXPECT_EQ(IXToolManager::sharedManager()->currentTool(), nullptr);
    EXPECT_TRUE(context()->highlights().isEmpty());
}

TEST_F(CrossDocumentConnectionTest, ATargetInASavedDocumentIsConnectedWithItsFile)
{
    openIn(0);
    openOther(true);
    ASSERT_TRUE(startConnecting(context()));
    clickInWindow(pointOn(branch(QStringLiteral("Sub")).get()));
    clickOtherRoot();
    EXPECT_TRUE(services.alerts.isEmpty());
    const auto& made = branchNamed(QStringLiteral("Sub"))->connections();
    ASSERT_EQ(made.size(), 1);
    const auto connection = std::static_pointer_cast<IXConnectionNode>(made.front());
    EXPECT_EQ(connection->title(), otherRoot()->title());
    ASSERT_TRUE(connection->relatedLink());
    EXPECT_EQ(connection->relatedLink()->subtype(), IXReferenceNode::SubtypeFile);
    EXPECT_EQ(connection->relatedLink()->targetValue().text(), other->fileName());
    const IXReferenceOpening opening = connection->referenceToOpen();
    EXPECT_EQ(opening.kind, IXReferenceOpening::Kind::BranchInDocument);
    EXPECT_EQ(context()->selection().nodes().value(0), connection);
}

TEST_F(ConnectionToolTest, ThePointerShowsTheConnectionPicturesAndTheToolbarItemFollowsTheTool)
{
    openIn(0);
    for (const QString& name :
         {IXConnectionTool::CursorName, IXConnectionTool::StartCursorName, IXConnectionTool::TargetCursorName})
        EXPECT_FALSE(PLNamedImages::imageNamed(name).isNull()) << name.toStdString();
    UTToolbarItem item(QStringLiteral("connect"));
    IXActionItem::setAction(&item, IXCommands::MakeBranchConnection.toByteArray());
    UTToolbarItem otherItem(QStringLiteral("other"));
    IXActionItem::setAction(&otherItem, IXCommands::AddBranch.toByteArray());

    IXConnectionTool* tool = startConnecting(context());
    ASSERT_TRUE(tool);
    EXPECT_EQ(view->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(view->cursor().hotSpot(), QPoint(16, 16));
    const qint64 general = view->cursor().pixmap().cacheKey();
    QTest::mouseMove(controller->documentWindow()->windowHandle(),
                     view->mapTo(controller->documentWindow(), pointOn(branch(QStringLiteral("Sub")).get())));
    const qint64 start = view->cursor().pixmap().cacheKey();
    EXPECT_NE(start, general);
    clickInWindow(pointOn(branch(QStringLiteral("Sub")).get()));
    QTest::mouseMove(controller->documentWindow()->windowHandle(),
                     view->mapTo(controller->documentWindow(), pointOn(branch(QStringLiteral("Second")).get())));
    EXPECT_NE(view->cursor().pixmap().cacheKey(), start) << "the target's picture";

    EXPECT_TRUE(tool->validateToolbarItem(&item));
    EXPECT_TRUE(item.isChecked());
    EXPECT_TRUE(tool->validateToolbarItem(&otherItem));
    EXPECT_FALSE(otherItem.isChecked());
    QTest::keyClick(view, Qt::Key_Escape);
    tool->validateToolbarItem(&item);
    EXPECT_FALSE(item.isChecked());
    EXPECT_EQ(view->cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
