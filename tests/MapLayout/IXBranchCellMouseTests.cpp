#include "IXMapCellTestSupport.h"

#include "DocumentModel/IXPictureNode.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXPictureCell.h"
#include "MapLayout/IXTextCell.h"
#include "Platform/System/PLMouseTracking.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// A branch with a note, an attachment and a 40 x 30 picture, and its box in a context whose
// view answers the press's wait with the event the test sets.
struct MouseFixture : CellFixture {
    std::shared_ptr<IXBranchNode> root = map.addRoot(QStringLiteral("Root"));
    std::shared_ptr<IXBranchNode> branch = MapFixture::addChild(root, QStringLiteral("Branch"));
    std::shared_ptr<IXCommentNode> note = std::make_shared<IXCommentNode>();
    std::shared_ptr<IXPictureNode> picture = std::make_shared<IXPictureNode>();
    std::shared_ptr<IXBranchCell> cell;

    MouseFixture()
    {
        branch->setComment(note);
        branch->addAttachment();
        QImage image(40, 30, QImage::Format_ARGB32);
        image.fill(Qt::red);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        branch->setPicture(picture);
        picture->addPictureData(bytes, QStringLiteral("red.png"));
        cell = make<IXBranchCell>(branch);
        cell->frame();
    }
    // The centre of a sub-cell in view space.
    PLPoint at(IXLayoutCell* sub) const
    {
        const PLRect f = sub->frame();
        return context()->coordinates().convertPointFromCell(PLPoint(f.midX(), f.midY()), cell.get());
    }
    QStringList started() const
    {
        QStringList names;
        for (const auto& a : tools.activations) names << a.toolClassName + QLatin1Char(' ') + a.object->title();
        return names;
    }
    QString selected() const
    {
        QStringList titles;
        for (const auto& node : context()->selection().nodes()) titles << node->title();
        return titles.join(QLatin1Char(','));
    }
};

} // namespace

TEST(IXBranchCellMouseTests, PressesSelectDragEditOrOpenByWhereAndHow)
{
    enum Where { Title, Note, Attachments, Picture };
    enum Next { None, Up, Dragged };
    struct Case {
        const char* name;
        Where where;
        bool selectedBefore;
        int clicks;
        std::uint32_t modifiers;
        Next next;
        bool handled;
        QString selection;
        QStringList tools;
    };
    const QString drag = QStringLiteral("IXDragBranchTool Branch");
    const Case cases[] = {
        {"click selects", Title, false, 1, 0, Up, true, "Branch", {}},
        {"click on the selected title edits it", Title, true, 1, 0, Up, true, "Branch", {"IXBranchTitleTool Branch"}},
        {"held press drags", Title, false, 1, 0, None, true, "Branch", {drag}},
        {"drag keeps the selection", Picture, true, 1, 0, Dragged, true, "Root,Branch", {drag}},
        {"click on the note indicator", Note, false, 1, 0, Up, true, "Branch", {"IXYellowNoteTool note"}},
        {"click on the attachments indicator", Attachments, false, 1, 0, Up, true, "Branch", {"IXAttachmentsTool Branch"}},
        {"click on the picture selects", Picture, true, 1, 0, Up, true, "Branch", {}},
        {"shift toggles", Title, false, 1, PLMouseEvent::Shift, None, true, "Root,Branch", {}},
        {"shift toggles off", Title, true, 1, PLMouseEvent::Shift, None, true, "Root", {}},
        {"command is left alone", Title, false, 1, PLMouseEvent::Command, Up, false, "Root", {}},
        {"control is left alone", Title, true, 1, PLMouseEvent::Control, Up, false, "Root,Branch", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MouseFixture f;
        f.note->setTitle(QStringLiteral("note"));
        IXSelection before = IXSelection::selectionWithNode(f.root);
        if (c.selectedBefore) before = before.selectionByAddingNode(f.branch);
        f.context()->setSelection(before);
        IXLayoutCell* sub = c.where == Title ? static_cast<IXLayoutCell*>(f.cell->titleCell())
                            : c.where == Note ? f.cell->commentCell()
                            : c.where == Attachments ? f.cell->attachmentsCell()
                                                     : static_cast<IXLayoutCell*>(f.cell->pictureCell());
        ASSERT_NE(sub, nullptr);
        const PLPoint p = f.at(sub);
        if (c.next == Up) f.view.nextEvent = PLMouseEvent(PLMouseEvent::LeftMouseUp, p);
        if (c.next == Dragged) f.view.nextEvent = PLMouseEvent(PLMouseEvent::LeftMouseDragged, p + PLPoint(5, 0));
        EXPECT_EQ(f.cell->trackMouse(PLMouseEvent(PLMouseEvent::LeftMouseDown, p, c.clicks, c.modifiers)), c.handled);
        EXPECT_EQ(f.selected(), c.selection);
        EXPECT_EQ(f.started(), c.tools);
        for (const auto& a : f.tools.activations) {
            EXPECT_EQ(a.context, f.context());
            EXPECT_NE(a.event, nullptr);
        }
    }
}

TEST(IXBranchCellMouseTests, DoubleClicksAddASubbranchOrShowThePicture)
{
    struct Case {
        const char* name;
        bool onPicture;
        std::uint32_t modifiers;
        QStringList shown;
        int subbranches;
    };
    const Case cases[] = {
        {"on the title", false, 0, {}, 1},
        {"on the picture", true, 0, {}, 1},
        {"on the picture with shift", true, PLMouseEvent::Shift, {"image 40"}, 0},
        {"on the title with shift", false, PLMouseEvent::Shift, {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MouseFixture f;
        FakeQuickView viewer;
        const PLPoint p = f.at(c.onPicture ? static_cast<IXLayoutCell*>(f.cell->pictureCell()) : f.cell->titleCell());
        EXPECT_TRUE(f.cell->trackMouse(PLMouseEvent(PLMouseEvent::LeftMouseDown, p, 2, c.modifiers)));
        EXPECT_EQ(viewer.shown, c.shown);
        EXPECT_EQ(f.map.controller.addSubbranchCount, c.subbranches);
        EXPECT_EQ(f.tools.discardCount, c.subbranches);
        EXPECT_TRUE(f.tools.activations.isEmpty());
    }
}

TEST(IXBranchCellMouseTests, HoveringAnIndicatorOpensItAfterAFifthOfASecond)
{
    auto runFor = [](int ms) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    };
    auto moveTo = [](MouseFixture& f, PLPoint p) { f.cell->mouseMoved(PLMouseEvent(PLMouseEvent::MouseMoved, p)); };
    {
        MouseFixture f;
        moveTo(f, f.at(f.cell->commentCell()));
        moveTo(f, f.at(f.cell->commentCell()) + PLPoint(0.5f, 0)); // staying does not restart it
        runFor(100);
        EXPECT_TRUE(f.tools.activations.isEmpty());
        runFor(250);
        ASSERT_EQ(f.tools.activations.size(), 1);
        EXPECT_EQ(f.tools.activations[0].toolClassName, QStringLiteral("IXYellowNoteTool"));
        EXPECT_EQ(f.tools.activations[0].object, f.note);
        EXPECT_FALSE(f.cell->isShowPending());
    }
    {
        // Moving on to the other indicator replaces the opening; leaving the box cancels it.
        MouseFixture f;
        moveTo(f, f.at(f.cell->commentCell()));
        runFor(100);
        moveTo(f, f.at(f.cell->attachmentsCell()));
        runFor(300);
        ASSERT_EQ(f.tools.activations.size(), 1);
        EXPECT_EQ(f.tools.activations[0].toolClassName, QStringLiteral("IXAttachmentsTool"));
        moveTo(f, f.at(f.cell->commentCell()));
        f.cell->mouseExited(PLMouseEvent(PLMouseEvent::MouseExited, PLPoint()));
        moveTo(f, f.at(f.cell->titleCell()));
        runFor(300);
        EXPECT_EQ(f.tools.activations.size(), 1);
    }
    {
        // A relayout cancels a pending opening too.
        MouseFixture f;
        moveTo(f, f.at(f.cell->commentCell()));
        f.cell->invalidateLayout();
        EXPECT_FALSE(f.cell->isShowPending());
        runFor(300);
        EXPECT_TRUE(f.tools.activations.isEmpty());
    }
}

TEST(IXBranchCellMouseTests, ThePressWaitsHalfASecondOnTheTrackingQueueAndLeavesTheReleaseThere)
{
    MouseFixture f;
    f.view.realQueue = true;
    PLMouseTracking::takePendingEvents();
    const PLPoint p = f.at(f.cell->titleCell());
    const PLMouseEvent press(PLMouseEvent::LeftMouseDown, p);

    // Released after 50 ms: a click, whose release is still there for the next handler.
    QTimer::singleShot(50, [p] { PLMouseTracking::postEvent(PLMouseEvent(PLMouseEvent::LeftMouseUp, p)); });
    EXPECT_TRUE(f.cell->trackMouse(press));
    EXPECT_TRUE(f.tools.activations.isEmpty());
    EXPECT_EQ(f.selected(), QStringLiteral("Branch"));
    const auto pending = PLMouseTracking::takePendingEvents();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].type(), PLMouseEvent::LeftMouseUp);

    // Held still: after half a second the drag starts.
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(f.cell->trackMouse(press));
    EXPECT_GE(timer.elapsed(), 450);
    ASSERT_EQ(f.tools.activations.size(), 1);
    EXPECT_EQ(f.tools.activations[0].toolClassName, QStringLiteral("IXDragBranchTool"));
}
