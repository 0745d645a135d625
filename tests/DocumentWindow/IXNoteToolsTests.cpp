// The tools that show a branch's note and attachments and edit floating texts, end to end
// through the application object, offscreen, on the small fixture map: the yellow note (moving,
// resizing, its text and the ways it closes), the attachments balloon (rows, placement, its
// menu and opening through the shell services) and the floating text editor.
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXFakeServices.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXToolNames.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXAttachmentsMatrix.h"
#include "DocumentViews/IXAttachmentsTool.h"
#include "DocumentViews/IXBalloonView.h"
#include "DocumentViews/IXCommandNames.h"
#include "DocumentViews/IXCommentTitleTool.h"
#include "DocumentViews/IXImageTextAttachmentCell.h"
#include "DocumentViews/IXOutlineHoverTags.h"
#include "DocumentViews/IXOutlineMapView.h"
#include "DocumentViews/IXOutlineModel.h"
#include "DocumentViews/IXPasteboard.h"
#include "DocumentViews/IXScalingScrollView.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXYellowNoteTool.h"
#include "DocumentViews/IXYellowNoteView.h"
#include "DocumentWindow/IXWindowInspectors.h"
#include "IXMapToolsTestSupport.h"
#include "Inspectors/IXCellListView.h"
#include "Inspectors/IXInspectorManager.h"
#include "Inspectors/IXObjectListInspector.h"
#include "Inspectors/IXReferenceInfoCell.h"
#include "MapLayout/IXBranchCell.h"
#include "Platform/Core/PLUndoManager.h"
#include "UtilityWidgets/UTInfoTag.h"
#include "UtilityWidgets/UTInfoTagWindow.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>

namespace {

IXToolManager* tools()
{
    return IXToolManager::sharedManager();
}

template <typename Tool> Tool* current()
{
    return qobject_cast<Tool*>(tools()->currentTool());
}

class NoteToolsTest : public MapToolsTest {
protected:
    // The fixture with a comment on Main and two attachments on Second.
    void openNotes()
    {
        open([this](IXDocumentNode& document) {
            auto main = std::static_pointer_cast<IXBranchNode>(document.rootBranches().at(0));
            main->addComment()->setTitle(QStringLiteral("Buy milk"));
            auto second = std::static_pointer_cast<IXBranchNode>(document.rootBranches().at(1));
            for (const QString& name : {QStringLiteral("report.txt"), QStringLiteral("plan.pdf")}) {
                const auto attachment = second->addAttachmentWithType(IXReferenceNode::SubtypeFile);
                attachment->setFilePath(filePath(name));
                attachment->setTitle(name);
                QFile file(filePath(name));
                file.open(QIODevice::WriteOnly);
            }
        });
        // The fixture's roots share the canvas origin: Second goes below Main.
        context()->styleForNode(branch(QStringLiteral("Second")).get())->setBranchParentOffset(PLPoint(0, -250));
        spin();
        context()->performLayoutIfNeeded();
        document->undoManager()->removeAllActions();
    }

    std::shared_ptr<IXBranchNode> branchNamed(const QString& title) const
    {
        return std::static_pointer_cast<IXBranchNode>(branch(title));
    }
    std::shared_ptr<IXCommentNode> note() const { return branchNamed(QStringLiteral("Main"))->comment(); }
    QWindow* window() const { return controller->documentWindow()->windowHandle(); }
    QPoint inWindow(QPoint inView) const { return view->mapTo(controller->documentWindow(), inView); }
    // A click in the window at a point of the map view; a press on the map waits for its
    // release, which is queued first.
    void clickMap(QPoint inView, Qt::MouseButton button = Qt::LeftButton)
    {
        const QPoint at = inWindow(inView);
        QTimer::singleShot(0, view, [this, at, button] { QTest::mouseRelease(window(), button, {}, at); });
        QTest::mousePress(window(), button, {}, at);
        spin();
    }
    void select(const QString& title)
    {
        context()->setSelection(IXSelection::selectionWithNode(branch(title)));
        spin();
    }
    bool canUndo() const { return document->undoManager()->canUndo(); }

    // --- Yellow note ---

    IXYellowNoteTool* openNote()
    {
        select(QStringLiteral("Main"));
        auto* tool = qobject_cast<IXYellowNoteTool*>(
            tools()->activateToolNamed(IXToolNames::YellowNote, note(), context(), IXToolEvent()));
        spin();
        return tool;
    }
    IXYellowNoteView* noteView() const
    {
        auto* tool = current<IXYellowNoteTool>();
        return tool ? tool->noteView() : nullptr;
    }
    // The note indicator's corner, where the stored offset counts from.
    PLPoint indicatorOrigin() const
    {
        IXLayoutCell* indicator
            = context()->cells().branchCellForNode(branch(QStringLiteral("Main")).get())->commentCell();
        return context()->coordinates().convertPointFromCell(PLPoint(0, 0), indicator);
    }
    // Presses the left button at a point of the note (its own y-down space), moves the pointer
    // by each step in turn (fractions kept) and releases.
    void dragInNote(QPointF from, const QList<QPointF>& steps)
    {
        IXYellowNoteView* note = noteView();
        const QPointF global = note->mapToGlobal(from);
        auto send = [&](QEvent::Type type, QPointF delta, Qt::MouseButton button, Qt::MouseButtons buttons) {
            QMouseEvent event(type, from + delta, global + delta, button, buttons, {});
            QApplication::sendEvent(note, &event);
        };
        send(QEvent::MouseButtonPress, {}, Qt::LeftButton, Qt::LeftButton);
        QPointF moved;
        for (const QPointF step : steps) {
            moved += step;
            send(QEvent::MouseMove, moved, Qt::NoButton, Qt::LeftButton);
        }
        send(QEvent::MouseButtonRelease, moved, Qt::LeftButton, Qt::NoButton);
        spin();
    }
    QPointF headerPoint() const { return QPointF(noteView()->width() / 2.0, 10); }
    QPointF gripPoint() const { return QPointF(noteView()->width() - 6, noteView()->height() / 2.0 + 6); }

    // --- Attachments ---

    IXAttachmentsTool* openBalloon(const std::shared_ptr<IXNode>& object)
    {
        select(QStringLiteral("Second"));
        auto* tool = qobject_cast<IXAttachmentsTool*>(
            tools()->activateToolNamed(IXToolNames::Attachments, object, context(), IXToolEvent()));
        spin();
        return tool;
    }
    static QStringList rowTitles(const IXAttachmentsTool* tool)
    {
        QStringList titles;
        for (const IXBalloonCell& row : tool->matrix()->rows()) titles << row.title();
        return titles;
    }
    QAction* menuItem(IXAttachmentsTool* tool, const QString& title) const
    {
        for (QAction* item : tool->menu()->actions())
            if (item->text() == title) return item;
        return nullptr;
    }
};

// --- Yellow note ---

TEST_F(NoteToolsTest, TheAddCommentCommandOpensANoteWhoseTextIsWrittenWhenItCloses)
{
    openNotes();
    select(QStringLiteral("Second"));
    QAction item;
    IXActionItem::setAction(&item, IXCommands::AddComment.toByteArray());
    EXPECT_TRUE(controller->validateMenuItem(&item)) << "the command needs only a selected branch";

    IXApplication::instance()->sendAction(IXCommands::AddComment.toByteArray(), nullptr, nullptr);
    spin();
    auto* tool = current<IXYellowNoteTool>();
    ASSERT_TRUE(tool);
    const auto comment = branchNamed(QStringLiteral("Second"))->comment();
    ASSERT_TRUE(comment);
    EXPECT_EQ(tool->commentNode(), comment);
    EXPECT_TRUE(tool->textView()->hasFocus());
    EXPECT_EQ(noteView()->headerTitle(), QStringLiteral("Second"));
    const QString untouched = comment->title();
    QTest::keyClicks(tool->textView(), QStringLiteral("Call Bob"));
    QTest::keyClick(tool->textView(), Qt::Key_Return);
    QTest::keyClicks(tool->textView(), QStringLiteral("at noon"));
    spin();
    saveRender(QStringLiteral("yellow-note"));
    saveRender(QStringLiteral("yellow-note-alone"), noteView());
    EXPECT_EQ(comment->title(), untouched) << "nothing is written while typing";

    clickMap(emptyPoint());
    EXPECT_EQ(current<IXYellowNoteTool>(), nullptr);
    EXPECT_EQ(comment->title(), QStringLiteral("Call Bob\nat noon"));
}

TEST_F(NoteToolsTest, EveryWayTheNoteClosesButEscapeWritesItsText)
{
    openNotes();
    struct Case {
        const char* name;
        std::function<void()> close;
        bool writes;
    };
    const QList<Case> cases = {
        {"Escape", [&] { QTest::keyClick(window(), Qt::Key_Escape); }, false},
        {"close box", [&] { QTest::mouseClick(noteView()->closeButton(), Qt::LeftButton); }, true},
        {"click on the map", [&] { clickMap(emptyPoint()); }, true},
        {"another branch selected", [&] { select(QStringLiteral("Second")); }, true},
        {"scrolling the map",
         [&] {
             IXScalingScrollView* scroller = IXScalingScrollView::scalingScrollView(view);
             QScrollBar* bar = scroller->verticalScrollBar();
             bar->setValue(bar->value() == bar->minimum() ? bar->maximum() : bar->minimum());
         },
         true},
        {"another tool starting",
         [&] { tools()->activateToolNamed(IXToolNames::Connection, context(), IXToolEvent()); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        note()->setTitle(QStringLiteral("Buy milk"));
        IXYellowNoteTool* tool = openNote();
        ASSERT_TRUE(tool);
        tool->textView()->setFocus();
        tool->textView()->moveCursor(QTextCursor::End);
        QTest::keyClicks(tool->textView(), QStringLiteral(" and eggs"));
        c.close();
        spin();
        EXPECT_EQ(current<IXYellowNoteTool>(), nullptr);
        EXPECT_EQ(note()->title(), c.writes ? QStringLiteral("Buy milk and eggs") : QStringLiteral("Buy milk"));
        tools()->discardCurrentTool();
        spin();
    }
    // Selecting the note's own branch again keeps it open.
    openNote();
    select(QStringLiteral("Main"));
    EXPECT_TRUE(current<IXYellowNoteTool>());
}

TEST_F(NoteToolsTest, TheHeaderMovesTheNoteOnWholePointsAndTheReleaseStoresItsOffset)
{
    openNotes();
    ASSERT_TRUE(openNote());
    const PLRect start = noteView()->noteFrame();
    EXPECT_EQ(start.origin.x, std::ceil(start.origin.x));
    // The window's y grows downwards: a move by (10, 3) down is (10, -3) for the note.
    dragInNote(QPointF(noteView()->width() / 2, 10), {QPointF(6, 1), QPointF(4, 2)});
    const PLRect moved = noteView()->noteFrame();
    EXPECT_EQ(moved.origin.x - start.origin.x, 10);
    EXPECT_EQ(moved.origin.y - start.origin.y, -3);
    // Pointers that move by fractions move the note by whole points, rounded up.
    EXPECT_EQ(IXYellowNoteView::movedOrigin(PLPoint(5, 5), QPointF(10.4, 3.2)), PLPoint(16, 2));
    EXPECT_EQ(IXYellowNoteView::movedOrigin(PLPoint(5, 5), QPointF(-0.5, -0.5)), PLPoint(5, 6));
    const PLPoint indicator = indicatorOrigin();
    const PLPoint offset = context()->styleForReading(note().get())->floatingTargetOffset();
    EXPECT_EQ(offset, PLPoint(moved.origin.x - indicator.x, moved.origin.y - indicator.y));

    // Opened again, the note is where it was left; one undo puts the offset back.
    tools()->discardCurrentTool();
    spin();
    ASSERT_TRUE(openNote());
    EXPECT_EQ(noteView()->noteFrame().origin, moved.origin);
    tools()->discardCurrentTool();
    document->undoManager()->undo();
    EXPECT_FALSE(canUndo());
    ASSERT_TRUE(openNote());
    EXPECT_EQ(noteView()->noteFrame().origin, start.origin);
}

TEST_F(NoteToolsTest, TheGripResizesTheTextBetween100And400AndTheNoteOpensAsWideAsItWasLeft)
{
    openNotes();
    struct Case {
        qreal dragBy;
        float width;
    };
    for (const Case c : {Case {60, 220}, Case {500, 400}, Case {-500, 100}}) {
        SCOPED_TRACE(c.dragBy);
        context()->styleForNode(note().get())->setCommentTextWidth(160);
        ASSERT_TRUE(openNote());
        dragInNote(gripPoint(), {QPointF(c.dragBy / 2, 0), QPointF(c.dragBy / 2, 0)});
        EXPECT_EQ(noteView()->textWidth(), c.width);
        EXPECT_EQ(noteView()->noteFrame().size.width, c.width + IXYellowNoteView::HorizontalPadding);
        EXPECT_EQ(context()->styleForReading(note().get())->commentTextWidth(), c.width);
        tools()->discardCurrentTool();
        spin();
        ASSERT_TRUE(openNote());
        EXPECT_EQ(noteView()->textWidth(), c.width);
        tools()->discardCurrentTool();
        spin();
    }
    // A stored width below 100 opens the note 160 wide.
    context()->styleForNode(note().get())->setCommentTextWidth(40);
    ASSERT_TRUE(openNote());
    EXPECT_EQ(noteView()->textWidth(), IXYellowNoteView::DefaultTextWidth);
}

TEST_F(NoteToolsTest, AGestureWhoseGrabIsLostPutsTheNoteBackAndStoresNothing)
{
    openNotes();
    ASSERT_TRUE(openNote());
    const PLRect start = noteView()->noteFrame();
    IXYellowNoteView* note = noteView();
    const QPointF from = headerPoint();
    const QPointF global = note->mapToGlobal(from);
    QMouseEvent press(QEvent::MouseButtonPress, from, global, Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(note, &press);
    QMouseEvent move(QEvent::MouseMove, from + QPointF(30, 30), global + QPointF(30, 30), Qt::NoButton, Qt::LeftButton,
                     {});
    QApplication::sendEvent(note, &move);
    EXPECT_NE(note->noteFrame().origin, start.origin);
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(controller->documentWindow(), &deactivate);
    EXPECT_EQ(note->gesture(), IXYellowNoteView::Gesture::None);
    EXPECT_EQ(note->noteFrame().origin, start.origin);
    // The release that comes later moves and stores nothing.
    QMouseEvent release(QEvent::MouseButtonRelease, from + QPointF(30, 30), global + QPointF(30, 30), Qt::LeftButton,
                        Qt::NoButton, {});
    QApplication::sendEvent(note, &release);
    spin();
    EXPECT_EQ(note->noteFrame().origin, start.origin);
    EXPECT_FALSE(canUndo());
}

TEST_F(NoteToolsTest, TheHeadersMenuDeletesTheComment)
{
    openNotes();
    IXYellowNoteTool* tool = openNote();
    ASSERT_TRUE(tool);
    // A right click in the text leaves the header's menu alone.
    const QPoint inText = noteView()->textView()->geometry().center();
    QTest::mouseClick(window(), Qt::RightButton, {}, noteView()->mapTo(controller->documentWindow(), inText));
    EXPECT_EQ(tool->headerMenu(), nullptr);
    QTest::mouseClick(window(), Qt::RightButton, {},
                      noteView()->mapTo(controller->documentWindow(), headerPoint().toPoint()));
    ASSERT_TRUE(tool->headerMenu());
    const QList<QAction*> items = tool->headerMenu()->actions();
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items.front()->text(), QStringLiteral("Delete"));
    items.front()->trigger();
    spin();
    EXPECT_EQ(note(), nullptr);
    EXPECT_EQ(current<IXYellowNoteTool>(), nullptr);
    document->undoManager()->undo();
    EXPECT_EQ(note()->title(), QStringLiteral("Buy milk"));
}

TEST_F(NoteToolsTest, ANoteNearTheTopOfTheMapGrowsDownwards)
{
    openNotes();
    ASSERT_TRUE(openNote());
    // The note's top 5 points below the top of the map view.
    const PLPoint indicator = indicatorOrigin();
    const float top = float(view->height()) - 5;
    context()
        ->styleForNode(note().get())
        ->setFloatingTargetOffset(PLPoint(0, top - IXYellowNoteView::VerticalPadding - 20 - indicator.y));
    tools()->discardCurrentTool();
    spin();
    IXYellowNoteTool* tool = openNote();
    ASSERT_TRUE(tool);
    const PLRect before = noteView()->noteFrame();
    ASSERT_LE(before.maxY(), float(view->height()));
    for (int line = 0; line < 4; ++line) {
        QTest::keyClicks(tool->textView(), QStringLiteral("line"));
        QTest::keyClick(tool->textView(), Qt::Key_Return);
    }
    noteView()->adjustFrameViewNow();
    const PLRect after = noteView()->noteFrame();
    EXPECT_GT(after.size.height, before.size.height);
    EXPECT_LE(after.maxY(), float(view->height()));
    EXPECT_LT(after.origin.y, before.origin.y) << "grown downwards";
}

// --- Attachments ---

TEST_F(NoteToolsTest, TheBalloonListsTheAttachmentsAndExecuteOpensTheChosenOneAfterClosing)
{
    FakeApplicationServices services;
    openNotes();
    IXAttachmentsTool* tool = openBalloon(branch(QStringLiteral("Second")));
    ASSERT_TRUE(tool);
    EXPECT_EQ(rowTitles(tool), (QStringList {QStringLiteral("report.txt"), QStringLiteral("plan.pdf")}));
    EXPECT_EQ(tool->matrix()->selectedRow(), -1);
    // Beside the indicator: the balloon's bottom-left corner at the indicator's top-right.
    IXLayoutCell* indicator
        = context()->cells().branchCellForNode(branch(QStringLiteral("Second")).get())->attachmentsCell();
    ASSERT_TRUE(indicator);
    const QPointF corner = view->pointToQt(context()->coordinates().convertPointFromCell(
        PLPoint(indicator->bounds().maxX(), indicator->bounds().maxY()), indicator));
    EXPECT_EQ(tool->balloon()->geometry().bottomLeft() + QPoint(0, 1), corner.toPoint());
    EXPECT_TRUE(menuItem(tool, QStringLiteral("Edit..."))->isEnabled());
    saveRender(QStringLiteral("attachments-balloon"));

    tool->matrix()->selectRow(1);
    saveRender(QStringLiteral("attachments-balloon-alone"), tool->balloon());
    menuItem(tool, QStringLiteral("Execute"))->trigger();
    EXPECT_EQ(current<IXAttachmentsTool>(), nullptr);
    EXPECT_TRUE(services.openedFiles.isEmpty()) << "opened on the next turn, after the balloon closed";
    spin();
    EXPECT_EQ(services.openedFiles, QStringList {filePath(QStringLiteral("plan.pdf"))});
    EXPECT_EQ(context()->selection().nodes(), QList<std::shared_ptr<IXNode>> {branch(QStringLiteral("Second"))});

    // A double click on a row opens it the same way.
    tool = openBalloon(branch(QStringLiteral("Second")));
    ASSERT_TRUE(tool);
    QTest::mouseDClick(tool->matrix(), Qt::LeftButton, {}, QPoint(20, 5));
    spin();
    EXPECT_EQ(current<IXAttachmentsTool>(), nullptr);
    EXPECT_EQ(services.openedFiles.value(1), filePath(QStringLiteral("report.txt")));
}

TEST_F(NoteToolsTest, EditOpensTheChosenAttachmentInTheObjectListForEditing)
{
    openNotes();
    const auto second = branchNamed(QStringLiteral("Second"));
    IXAttachmentsTool* tool = openBalloon(second);
    ASSERT_TRUE(tool);
    tool->matrix()->selectRow(1);
    menuItem(tool, QStringLiteral("Edit..."))->trigger();
    EXPECT_EQ(current<IXAttachmentsTool>(), nullptr);
    spin(50);
    spin(50);
    IXInspectorManager* manager = controller->inspectors()->manager();
    if (!manager) manager = &IXInspectorManager::shared();
    auto* objectList
        = dynamic_cast<IXObjectListInspector*>(manager->inspectorForName(QStringLiteral("IXObjectListInspector")));
    ASSERT_TRUE(objectList);
    IXReferenceInfoCell* cell = objectList->cellForReference(second->allReferences().at(1).get());
    ASSERT_TRUE(cell);
    EXPECT_TRUE(cell->isExpanded());
    EXPECT_EQ(objectList->listView()->editingCell(), cell);
    EXPECT_EQ(context()->selection().nodes(), QList<std::shared_ptr<IXNode>> {second});
}

TEST_F(NoteToolsTest, StartedWithAnAttachmentTheBalloonSelectsItsRow)
{
    openNotes();
    const auto second = branchNamed(QStringLiteral("Second"));
    IXAttachmentsTool* tool = openBalloon(second->allReferences().at(1));
    ASSERT_TRUE(tool);
    EXPECT_EQ(tool->editedObject(), second);
    EXPECT_EQ(tool->matrix()->selectedRow(), 1);
    // A branch without attachments shows none: the activation is refused.
    tools()->discardCurrentTool();
    EXPECT_EQ(
        tools()->activateToolNamed(IXToolNames::Attachments, branch(QStringLiteral("Sub")), context(), IXToolEvent()),
        nullptr);
}

TEST_F(NoteToolsTest, ARightClickedRowIsTheOneDeletedAndDeletingTheLastClosesTheBalloon)
{
    openNotes();
    const auto second = branchNamed(QStringLiteral("Second"));
    IXAttachmentsTool* tool = openBalloon(second);
    ASSERT_TRUE(tool);
    tool->matrix()->selectRow(0);
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(20, 25), tool->matrix()->mapToGlobal(QPoint(20, 25)));
    QApplication::sendEvent(tool->matrix(), &rightClick);
    EXPECT_EQ(tool->matrix()->selectedRow(), 1);
    menuItem(tool, QStringLiteral("Delete"))->trigger();
    spin();
    EXPECT_EQ(current<IXAttachmentsTool>(), tool) << "the balloon stays open while attachments remain";
    EXPECT_EQ(rowTitles(tool), QStringList {QStringLiteral("report.txt")});
    tool->matrix()->selectRow(0);
    menuItem(tool, QStringLiteral("Delete"))->trigger();
    spin();
    EXPECT_TRUE(second->allReferences().isEmpty());
    EXPECT_EQ(current<IXAttachmentsTool>(), nullptr);
    document->undoManager()->undo();
    EXPECT_EQ(second->allReferences().size(), 1) << "each deletion is one step";
}

TEST_F(NoteToolsTest, CopyOffersTheAttachmentAloneAndPastingAddsItElsewhere)
{
    openNotes();
    IXAttachmentsTool* tool = openBalloon(branch(QStringLiteral("Second")));
    ASSERT_TRUE(tool);
    tool->matrix()->selectRow(0);
    menuItem(tool, QStringLiteral("Copy"))->trigger();
    EXPECT_EQ(current<IXAttachmentsTool>(), tool) << "Copy keeps the balloon open";
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data);
    EXPECT_EQ(data->formats(), QStringList {IXPasteboard::AttachmentsType});
    EXPECT_EQ(QString::fromUtf8(data->data(IXPasteboard::AttachmentsType)), QStringLiteral("Local pasteboard"));

    tools()->discardCurrentTool();
    select(QStringLiteral("Sub"));
    IXApplication::instance()->sendAction(IXCommands::Paste.toByteArray(), nullptr, nullptr);
    spin();
    const auto pasted = branchNamed(QStringLiteral("Sub"))->allReferences();
    ASSERT_EQ(pasted.size(), 1);
    EXPECT_EQ(pasted.front()->title(), QStringLiteral("report.txt"));
}

TEST_F(NoteToolsTest, TheBalloonClosesWithEscapeClicksElsewhereScrollingAndAnotherSelection)
{
    openNotes();
    struct Case {
        const char* name;
        std::function<void(IXAttachmentsTool*)> act;
        bool closes;
    };
    const QList<Case> cases = {
        {"click in the balloon",
         [&](IXAttachmentsTool* tool) {
             QTest::mouseClick(window(), Qt::LeftButton, {},
                               tool->matrix()->mapTo(controller->documentWindow(), QPoint(20, 5)));
         },
         false},
        {"Escape", [&](IXAttachmentsTool*) { QTest::keyClick(window(), Qt::Key_Escape); }, true},
        {"click on the map", [&](IXAttachmentsTool*) { clickMap(emptyPoint()); }, true},
        {"another selection", [&](IXAttachmentsTool*) { select(QStringLiteral("Main")); }, true},
        {"scrolling",
         [&](IXAttachmentsTool*) {
             QScrollBar* bar = IXScalingScrollView::scalingScrollView(view)->verticalScrollBar();
             bar->setValue(bar->value() == bar->minimum() ? bar->maximum() : bar->minimum());
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IXAttachmentsTool* tool = openBalloon(branch(QStringLiteral("Second")));
        ASSERT_TRUE(tool);
        c.act(tool);
        spin();
        EXPECT_EQ(current<IXAttachmentsTool>() == nullptr, c.closes);
        tools()->discardCurrentTool();
        spin();
    }
}

TEST_F(NoteToolsTest, TheBalloonStaysInsideTheVisibleMapAndScrollsWhenTooTall)
{
    openNotes();
    const auto second = branchNamed(QStringLiteral("Second"));
    for (int i = 0; i < 60; ++i)
        second->addAttachmentWithType(IXReferenceNode::SubtypeFile)->setTitle(QString::number(i));
    spin();
    IXAttachmentsTool* tool = openBalloon(second);
    ASSERT_TRUE(tool);
    const QRect visible = view->rectToQt(view->visibleRect()).toAlignedRect();
    const QRect balloon = tool->balloon()->geometry();
    EXPECT_TRUE(visible.contains(balloon))
        << "balloon " << balloon.y() << "+" << balloon.height() << " in " << visible.y() << "+" << visible.height();
    EXPECT_EQ(balloon.height(), visible.height());
    const int scroller = tool->scrollView()->verticalScrollBar()->sizeHint().width();
    EXPECT_EQ(balloon.width(), IXAttachmentsMatrix::CellWidth + 16 + 3 + scroller);
    EXPECT_TRUE(tool->scrollView()->verticalScrollBar()->isVisible());
    saveRender(QStringLiteral("attachments-balloon-scrolling"));
}

// --- The outline's indicator cells ---

TEST_F(NoteToolsTest, TheOutlinesIndicatorCellsShowThePictureTheNoteAndTheBalloon)
{
    openNotes();
    QImage image(120, 60, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(40, 120, 200));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const auto picture = branchNamed(QStringLiteral("Main"))->addPicture();
    picture->addPictureData(png, QStringLiteral("Sky.png"));
    picture->setTitle(QStringLiteral("Sky"));
    controller->setDocumentLayout(3);
    spin(50);
    auto* outline = qobject_cast<IXOutlineMapView*>(controller->documentView());
    ASSERT_TRUE(outline);
    outline->setAutoHideEmptyColumns(false);
    spin();
    auto hover = [&](const QString& title, int column) {
        const QModelIndex index = outline->indexForBranch(branchNamed(title).get(), column);
        const QPoint at = outline->visualRect(index).center();
        QMouseEvent move(QEvent::MouseMove, at, outline->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(outline->viewport(), &move);
        spin();
        return outline->visualRect(index);
    };

    // The picture: its title and the picture, at most 100 by 100, in the info tag.
    hover(QStringLiteral("Main"), IXOutlineModel::Picture);
    UTInfoTag* tag = UTInfoTag::sharedInstance();
    EXPECT_TRUE(tag->isVisible());
    EXPECT_EQ(tag->title(), QStringLiteral("Sky\n") + QChar(QChar::ObjectReplacementCharacter) + QStringLiteral("\n"));
    const PLSize shown = picture->adjustSize(PLSize(100, 100));
    EXPECT_EQ(outline->hoverTags()->pictureCell()->cellSize(), QSizeF(shown.width, shown.height));
    if (tag->window()) saveRender(QStringLiteral("outline-picture-tag"), tag->window());

    // The comment: the yellow note beside the row's comment cell, its top with the row's.
    const QRect commentCell = hover(QStringLiteral("Main"), IXOutlineModel::Comment);
    EXPECT_FALSE(tag->isVisible());
    IXYellowNoteView* note = noteView();
    ASSERT_TRUE(note);
    EXPECT_EQ(note->parentWidget(), outline->viewport());
    EXPECT_EQ(note->geometry().left(), commentCell.right() + 1);
    EXPECT_EQ(note->geometry().top(), commentCell.top());
    saveRender(QStringLiteral("outline-yellow-note"), outline);

    // The attachments: the balloon hangs from the row's attachment cell.
    const QRect attachmentCell = hover(QStringLiteral("Second"), IXOutlineModel::Attachment);
    auto* balloon = current<IXAttachmentsTool>();
    ASSERT_TRUE(balloon);
    EXPECT_EQ(balloon->balloon()->parentWidget(), outline->viewport());
    EXPECT_EQ(balloon->balloon()->geometry().topLeft(), QPoint(attachmentCell.right() + 1, attachmentCell.top()));
    EXPECT_EQ(rowTitles(balloon), (QStringList {QStringLiteral("report.txt"), QStringLiteral("plan.pdf")}));
    saveRender(QStringLiteral("outline-balloon"), outline);
}

// --- Floating text ---

class CommentTitleToolTest : public NoteToolsTest {
protected:
    IXCommentTitleTool* editFloatingText()
    {
        const QPoint at = pointOn(comment().get());
        EXPECT_NE(at, QPoint(-1, -1));
        QTest::mouseDClick(view, Qt::LeftButton, {}, at);
        spin();
        return current<IXCommentTitleTool>();
    }
    std::shared_ptr<IXCommentNode> floating() const { return std::static_pointer_cast<IXCommentNode>(comment()); }
    QString floatingText() const { return comment()->title(); }
};

TEST_F(CommentTitleToolTest, ADoubleClickOpensTheEditorWithTheCaretAfterTheText)
{
    openNotes();
    const QString before = floatingText();
    IXCommentTitleTool* tool = editFloatingText();
    ASSERT_TRUE(tool);
    QTextEdit* text = tool->textView();
    EXPECT_EQ(text->toPlainText(), before);
    EXPECT_FALSE(text->textCursor().hasSelection());
    EXPECT_EQ(text->textCursor().position(), before.size());
    EXPECT_TRUE(text->hasFocus());
    QTest::keyClicks(text, QStringLiteral("!"));
    saveRender(QStringLiteral("floating-text-editor"));
    saveRender(QStringLiteral("floating-text-editor-alone"), tool->titleView());
    QTest::keyClick(window(), Qt::Key_Return);
    spin();
    EXPECT_EQ(current<IXCommentTitleTool>(), nullptr);
    EXPECT_EQ(floatingText(), before + QStringLiteral("!"));
    document->undoManager()->undo();
    EXPECT_EQ(floatingText(), before);
    EXPECT_FALSE(canUndo()) << "one step";
}

TEST_F(CommentTitleToolTest, EveryCloseButEscapeKeepsTheTyping)
{
    openNotes();
    const QString before = floatingText();
    struct Case {
        const char* name;
        std::function<void()> close;
        bool keeps;
    };
    const QList<Case> cases = {
        {"Escape", [&] { QTest::keyClick(window(), Qt::Key_Escape); }, false},
        {"Return", [&] { QTest::keyClick(window(), Qt::Key_Return); }, true},
        {"Tab", [&] { QTest::keyClick(window(), Qt::Key_Tab); }, true},
        {"click on the map", [&] { clickMap(emptyPoint()); }, true},
        {"scrolling",
         [&] {
             QScrollBar* bar = IXScalingScrollView::scalingScrollView(view)->verticalScrollBar();
             bar->setValue(bar->value() == bar->minimum() ? bar->maximum() : bar->minimum());
         },
         true},
        {"another tool", [&] { tools()->activateToolNamed(IXToolNames::Connection, context(), IXToolEvent()); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        floating()->setTitle(before);
        spin();
        context()->performLayoutIfNeeded();
        IXCommentTitleTool* tool = editFloatingText();
        ASSERT_TRUE(tool);
        QTest::keyClicks(tool->textView(), QStringLiteral(" more"));
        c.close();
        spin();
        EXPECT_EQ(current<IXCommentTitleTool>(), nullptr);
        EXPECT_EQ(floatingText(), c.keeps ? before + QStringLiteral(" more") : before);
        tools()->discardCurrentTool();
        spin();
    }
}

TEST_F(CommentTitleToolTest, AClickOutsideTheMapLeavesTheEditorOpenAndALayoutKeepsTheTyping)
{
    openNotes();
    IXCommentTitleTool* tool = editFloatingText();
    ASSERT_TRUE(tool);
    // A layout before any typing shows the model's text, after it keeps what was typed.
    floating()->setTitle(QStringLiteral("Renamed"));
    spin();
    tool = current<IXCommentTitleTool>();
    ASSERT_EQ(tool, nullptr) << "a title changed elsewhere closes the editor";
    tool = editFloatingText();
    ASSERT_TRUE(tool);
    EXPECT_EQ(tool->textView()->toPlainText(), QStringLiteral("Renamed"));
    QTest::keyClicks(tool->textView(), QStringLiteral(" twice"));
    context()->reloads().invalidateAll();
    context()->performLayoutIfNeeded();
    EXPECT_EQ(tool->textView()->toPlainText(), QStringLiteral("Renamed twice"));

    // A press in a panel of its own beside the document window passes by the editor.
    QWidget panel;
    panel.resize(100, 100);
    panel.show();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(50, 50), panel.mapToGlobal(QPointF(50, 50)), Qt::LeftButton,
                      Qt::LeftButton, {});
    EXPECT_FALSE(tool->onSendEvent(panel.windowHandle(), &press));
    EXPECT_EQ(current<IXCommentTitleTool>(), tool);
}

}  // namespace
