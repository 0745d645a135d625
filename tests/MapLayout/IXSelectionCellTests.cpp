#include "IXConnectionTestSupport.h"
#include "IXDrawingTestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

PLPoint centre(const PLRect& r)
{
    return PLPoint(r.midX(), r.midY());
}

// The picture P sits 200 left of and 100 above A's centre, 100 x 100; the comment N 150
// below B's centre, 200 x 30 (the style sheet's text width).
struct SelectionMap : ConnectionMap {
    SelectionMap()
    {
        styleOf(picture.get())->setFloatingTargetOffset(PLPoint(-200, 100));
        styleOf(comment.get())->setFloatingTargetOffset(PLPoint(0, -150));
        settle(ctx());
        endTurn();
        undo.removeAllActions();
    }
    // Knob k of the selected target's outline, in view space.
    PLPoint knob(int k)
    {
        IXSelectionCell* cell = selectionCell();
        return ctx()->coordinates().convertPointFromCell(IXSelectionCell::knobPoint(cell->outlineRect(), k), cell);
    }
};

} // namespace

TEST(IXSelectionCellTests, TheTargetDecidesTheModeKnobsAndOutline)
{
    SelectionMap m;
    m.a->setPicture(std::make_shared<IXPictureNode>());
    settle(m.ctx());
    m.undo.removeAllActions();
    struct Case {
        const char* name;
        std::shared_ptr<IXNode> node;
        IXSelectionCell::Mode mode;
        std::vector<int> knobs;
    };
    const Case cases[] = {
        {"branch without picture", m.a1, IXSelectionCell::ModeBranch, {2, 7}},
        {"branch with picture", m.a, IXSelectionCell::ModeBranchWithPicture, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"floating picture", m.picture, IXSelectionCell::ModePicture, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"floating text", m.comment, IXSelectionCell::ModeText, {2, 7}},
        {"connection", m.link, IXSelectionCell::ModeConnection, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m.select(c.node);
        IXSelectionCell* cell = m.selectionCell();
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->mode(), c.mode);
        EXPECT_EQ(cell->knobs(), c.knobs);
        IXLayoutCell* target = cell->targetCell();
        ASSERT_NE(target, nullptr);
        // The outline runs 4 units outside the target's integral rectangle, the cell 8.
        PLRect expected = ConnectionMap::canvasRect(target);
        if (c.mode == IXSelectionCell::ModeConnection) {
            const auto handles = static_cast<IXConnectionCell*>(target)->points();
            for (PLPoint p : *handles) expected = expected.united(PLRect(p.x, p.y, 4, 4));
        }
        EXPECT_EQ(cell->frame(), expected.integral().insetBy(-8, -8));
        EXPECT_EQ(cell->bounds().origin, PLPoint());
        // Point queries look through the outline.
        EXPECT_FALSE(cell->hitTest(centre(cell->bounds())));
    }
    // The selected document node gets no outline.
    m.select(m.map.document);
    EXPECT_TRUE(m.ctx()->selectionLayer()->cells().empty());
}

TEST(IXSelectionCellTests, KnobDragsResizeAsOneUndoStep)
{
    struct Case {
        const char* name;
        bool picture;
        int knob;
        PLPoint drag;
        PLSize size;      // the picture's size, or the text's width
        PLPoint offset;   // from the target's centre
    };
    const Case cases[] = {
        {"picture, top right", true, 8, {30, 20}, {130, 120}, {-200, 100}},
        {"picture, bottom left", true, 1, {-10, -30}, {110, 130}, {-210, 70}},
        {"picture, top edge only", true, 5, {40, 25}, {100, 125}, {-200, 100}},
        {"picture, shrunk to the least", true, 6, {-500, 500}, {4, 4}, {-200, 196}},
        {"picture, grown to the most", true, 3, {-2000, 2000}, {984, 984}, {-1084, 100}},
        {"text, left edge", false, 2, {30, 99}, {170, 0}, {30, -150}},
        {"text, right edge past the left", false, 7, {-500, 0}, {4, 0}, {0, -150}},
        {"text, right edge far out", false, 7, {2000, 0}, {984, 0}, {0, -150}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SelectionMap m;
        const std::shared_ptr<IXNode> node = c.picture ? std::shared_ptr<IXNode>(m.picture) : m.comment;
        const std::shared_ptr<IXStyleNode> style = m.styleOf(node.get());
        m.select(node);
        const QVariantMap before = dynamic_cast<IXSelectionCell_Resizing*>(m.selectionCell()->targetCell())->resizing_state();
        // Pressed a little off the knob's centre: the drag counts from the press.
        const PLPoint from = m.knob(c.knob) + PLPoint(1, -1);
        const PLPoint halfway = from + PLPoint(c.drag.x / 2, c.drag.y / 2);
        ASSERT_TRUE(m.drag(from, {halfway, from + PLPoint(c.drag.x * 1.5f, c.drag.y * 1.5f), from + c.drag}));
        auto* target = dynamic_cast<IXSelectionCell_Resizing*>(m.ctx()->cells().cellForNode(node.get()));
        ASSERT_NE(target, nullptr);
        if (c.picture) {
            EXPECT_EQ(style->pictureSize(), c.size);
            EXPECT_EQ(ConnectionMap::canvasRect(m.ctx()->cells().cellForNode(node.get())).size, c.size);
        } else {
            EXPECT_EQ(style->commentTextWidth(), c.size.width);
        }
        EXPECT_EQ(style->floatingTargetOffset(), c.offset);
        // The outline followed the target.
        EXPECT_EQ(m.selectionCell()->frame(),
                  ConnectionMap::canvasRect(m.ctx()->cells().cellForNode(node.get())).integral().insetBy(-8, -8));

        // One step, whatever the number of frames in between.
        ASSERT_TRUE(m.undo.canUndo());
        m.undo.undo();
        EXPECT_FALSE(m.undo.canUndo());
        EXPECT_EQ(target->resizing_state(), before);
        m.undo.redo();
        EXPECT_EQ(style->floatingTargetOffset(), c.offset);
        EXPECT_EQ(m.view.cursors.last(), PLCursor::Arrow);
    }
}

TEST(IXSelectionCellTests, PressesOffTheKnobsGoOnToTheCellsBelow)
{
    SelectionMap m;
    m.select(m.picture);
    IXSelectionCell* cell = m.selectionCell();
    auto* picture = static_cast<ResizablePictureCell*>(m.ctx()->cells().cellForNode(m.picture.get()));
    const PLPoint inside = m.ctx()->coordinates().convertPointFromCell(centre(cell->bounds()), cell);
    cellEvents().clear();
    EXPECT_FALSE(cell->trackMouse(PLMouseEvent(PLMouseEvent::LeftMouseDown, inside)));
    EXPECT_FALSE(m.ctx()->mouse().trackMouse(PLMouseEvent(PLMouseEvent::LeftMouseDown, inside)));
    EXPECT_EQ(cellEvents(), QStringList{QStringLiteral("track picture P")});
    // Only left presses start a drag, and never when nothing is posted.
    EXPECT_FALSE(cell->trackMouse(PLMouseEvent(PLMouseEvent::RightMouseDown, m.knob(8))));
    EXPECT_EQ(picture->framesSet, 0);

    // A branch box's width knobs resize it, as one step too.
    m.select(m.a1);
    ASSERT_EQ(m.selectionCell()->mode(), IXSelectionCell::ModeBranch);
    auto* box = dynamic_cast<IXSelectionCell_Resizing*>(m.selectionCell()->targetCell());
    ASSERT_NE(box, nullptr);
    const QVariantMap before = box->resizing_state();
    EXPECT_TRUE(m.drag(m.knob(7), {m.knob(7) + PLPoint(20, 0), m.knob(7) + PLPoint(60, 0)}));
    box = dynamic_cast<IXSelectionCell_Resizing*>(m.ctx()->cells().branchCellForNode(m.a1.get()));
    EXPECT_NE(box->resizing_state(), before);
    m.undo.undo();
    EXPECT_FALSE(m.undo.canUndo());
    EXPECT_EQ(box->resizing_state(), before);
    PLMouseTracking::takePendingEvents();
}

TEST(IXSelectionCellTests, ConnectionHandlesReshapeTheCurve)
{
    SelectionMap m;
    m.select(m.link);
    IXSelectionCell* cell = m.selectionCell();
    const std::shared_ptr<IXStyleNode> style = m.styleOf(m.link.get());
    auto handle = [&](int i) { return (*m.connectionCell(m.link.get())->points())[i]; };

    const PLPoint start = handle(0);
    ASSERT_TRUE(m.drag(handle(1), {handle(1) + PLPoint(5, 5), handle(1) + PLPoint(-20, 30)}));
    EXPECT_EQ(style->connectionOffset1(), PLPoint(50 - 20, 50 + 30));
    EXPECT_EQ(handle(0), start);
    EXPECT_EQ(style->connectionOffset2(), PLPoint(50, 50));

    const PLPoint end = handle(3);
    ASSERT_TRUE(m.drag(handle(2), {handle(2) + PLPoint(10, -100)}));
    EXPECT_EQ(style->connectionOffset2(), PLPoint(60, -50));
    EXPECT_EQ(handle(2), end + PLPoint(60, -50));

    // Each drag is one step.
    m.undo.undo();
    EXPECT_EQ(style->connectionOffset2(), PLPoint(50, 50));
    EXPECT_EQ(style->connectionOffset1(), PLPoint(30, 80));
    m.undo.undo();
    EXPECT_EQ(style->connectionOffset1(), PLPoint(50, 50));
    EXPECT_FALSE(m.undo.canUndo());

    // Where a control handle lies on an end handle, the control handle is dragged.
    style->setConnectionOffset1(PLPoint(2, 1));
    settle(m.ctx());
    endTurn();
    m.undo.removeAllActions();
    ASSERT_TRUE(m.drag(handle(0) + PLPoint(1, 1), {handle(0) + PLPoint(-40, 60)}));
    EXPECT_EQ(style->connectionOffset1(), PLPoint(-40, 60));
    EXPECT_EQ(m.link->parentNode(), m.a.get());
    EXPECT_EQ(m.view.cursors.last(), PLCursor::Arrow);

    // Nowhere near a handle: not taken.
    cell = m.selectionCell();
    const PLPoint corner = m.ctx()->coordinates().convertPointFromCell(PLPoint(1, 1), cell);
    EXPECT_FALSE(cell->trackMouse(PLMouseEvent(PLMouseEvent::LeftMouseDown, corner)));
}

TEST(IXSelectionCellTests, EndHandlesMoveTheConnectionOntoTheBranchUnderThePointer)
{
    struct Case {
        const char* name;
        int handle;
        const char* dropOn; // a branch, or empty canvas
        const char* owner;
        const char* target;
        QString undoName;
    };
    const Case cases[] = {
        {"end onto B1", 3, "B1", "A", "B1", QStringLiteral("Target Path")},
        {"start onto A1", 0, "A1", "A1", "B", QStringLiteral("")},
        {"end onto nothing", 3, "", "A", "B", QString()},
        {"start onto nothing", 0, "", "A", "B", QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SelectionMap m;
        m.select(m.link);
        const QHash<QString, std::shared_ptr<IXBranchNode>> branches{{"A", m.a}, {"A1", m.a1}, {"B", m.b}, {"B1", m.b1}};
        const PLPoint grab = (*m.connectionCell(m.link.get())->points())[c.handle];
        PLPoint drop(-600, -600);
        if (*c.dropOn) drop = centre(ConnectionMap::canvasRect(m.ctx()->cells().branchCellForNode(branches[c.dropOn].get())));

        // Highlights follow the pointer during the drag; the recorder sees them come and go.
        m.view.notices.clear();
        ASSERT_TRUE(m.drag(grab, {grab + PLPoint(3, 3), drop, drop}));
        if (*c.dropOn) EXPECT_TRUE(m.view.notices.contains(QStringLiteral("didHighlight ") + c.dropOn));
        EXPECT_TRUE(m.ctx()->highlights().isEmpty());
        EXPECT_EQ(m.view.cursors.first(), PLCursor::PointingHand);
        EXPECT_EQ(m.view.cursors.last(), PLCursor::Arrow);

        EXPECT_EQ(m.link->parentNode(), branches[c.owner].get());
        EXPECT_EQ(m.link->targetNode(), branches[c.target]);
        if (c.undoName.isNull()) {
            EXPECT_FALSE(m.undo.canUndo());
            continue;
        }
        EXPECT_EQ(m.undo.undoActionName(), c.undoName);
        m.undo.undo();
        EXPECT_FALSE(m.undo.canUndo());
        EXPECT_EQ(m.link->parentNode(), m.a.get());
        EXPECT_EQ(m.link->targetNode(), m.b);
    }
}

// The outlines of a floating picture and of a connection: dashed frame, knobs, the double
// dashed line along the curve and its handles.
TEST(IXSelectionCellTests, RendersOutlinesKnobsAndConnectionHandles)
{
    SelectionMap m;
    m.ctx()->setSelection(IXSelection::selectionWithArray({m.picture, m.link}));
    settle(m.ctx());
    ASSERT_EQ(m.ctx()->selectionLayer()->cells().size(), 2u);
    const PLRect canvas = m.ctx()->visibleCellsBounds().insetBy(-20, -20).integral();
    QImage image(int(canvas.width()), int(canvas.height()), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        PLGraphicsContext graphics(image);
        graphics.concat(PLAffineTransform(1, 0, 0, 1, -canvas.minX(), -canvas.minY()));
        m.ctx()->drawRect(graphics, canvas);
    }
    saveRender(image, QStringLiteral("selection-outlines"));
    auto pixel = [&](PLPoint p) { return pixelAt(image, int(std::floor(p.x - canvas.minX())), int(std::floor(p.y - canvas.minY()))); };
    // How many pixels of the 7 x 7 square around the point have about the colour.
    auto countAround = [&](PLPoint p, const QColor& color) {
        int count = 0;
        for (int dy = -3; dy <= 3; ++dy)
            for (int dx = -3; dx <= 3; ++dx) count += bool(colorNear(pixel(p + PLPoint(dx, dy)), color, 40));
        return count;
    };
    const QColor strong = PLColor::system(PLColor::System::AlternateSelectedControl).toQColor();
    const QColor light = PLColor::system(PLColor::System::SelectedControl).toQColor();

    // Knob centres are filled with the light colour, their rims in the strong one.
    for (int k : {1, 2, 3, 4, 5, 6, 7, 8}) {
        m.select(m.picture);
        const PLPoint p = m.knob(k);
        EXPECT_EQ(pixel(p).rgb(), light.rgb()) << "knob " << k;
        EXPECT_GT(countAround(p, strong), 6) << "knob " << k;
    }
    // The dashed outline: along the left side between knobs 1 and 2, some pixels are strong.
    m.select(m.picture);
    const PLPoint k1 = m.knob(1), k2 = m.knob(2);
    int strongPixels = 0, gaps = 0;
    for (float y = k1.y + 6; y < k2.y - 6; y += 1) {
        (pixel(PLPoint(k1.x + 0.5f, y)).rgb() == strong.rgb() ? strongPixels : gaps)++;
    }
    EXPECT_GT(strongPixels, 10);
    EXPECT_GT(gaps, 3);
    // The connection's four handles have knobs; the curve has the strong dashes beside it.
    IXConnectionCell* link = m.connectionCell(m.link.get());
    const auto handles = link->points();
    for (PLPoint p : *handles) EXPECT_GT(countAround(p, light), 6);
    int besideCurve = 0;
    for (int i = 3; i <= 7; ++i) besideCurve += countAround(pointOnCurve(*link->connectionPath(), i / 10.0f), strong);
    EXPECT_GT(besideCurve, 5);
}

namespace {

// The map's own floating text and picture cells behind the outline.
class RealFloatingsFactory : public ConnectionCellFactory {
public:
    std::shared_ptr<IXPictureCell> makePictureCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* picture) override
    {
        return IXLayoutCellFactory::makePictureCell(context, parent, picture);
    }
    std::shared_ptr<IXTextCell> makeTextCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* comment) override
    {
        return IXLayoutCellFactory::makeTextCell(context, parent, comment);
    }
};

} // namespace

TEST(IXSelectionCellTests, ResizesTheMapsOwnTextsAndPicturesAsOneStep)
{
    SelectionMap m;
    RealFloatingsFactory factory;
    m.map.document->setUndoManager(nullptr);
    m.comment->setTitle(QStringLiteral("A floating comment that wraps over a few lines"));
    m.ctx()->reloads().invalidateAll();
    settle(m.ctx());
    m.map.document->setUndoManager(&m.undo);
    endTurn();
    m.undo.removeAllActions();

    struct Case {
        const char* name;
        std::shared_ptr<IXNode> node;
        int knob;
        PLPoint drag;
    };
    const Case cases[] = {
        {"text, wider", m.comment, 7, {40, 0}},
        {"text, narrower from the left", m.comment, 2, {60, 0}},
        {"picture, larger", m.picture, 8, {30, 20}},
        {"picture, smaller from the bottom left", m.picture, 1, {25, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m.select(c.node);
        IXSelectionCell* outline = m.selectionCell();
        ASSERT_NE(outline, nullptr);
        auto* target = dynamic_cast<IXSelectionCell_Resizing*>(outline->targetCell());
        ASSERT_TRUE(target && (dynamic_cast<ResizablePictureCell*>(outline->targetCell()) == nullptr));
        const QVariantMap before = target->resizing_state();
        const PLRect frameBefore = ConnectionMap::canvasRect(outline->targetCell());
        const PLPoint from = m.knob(c.knob);
        ASSERT_TRUE(m.drag(from, {from + PLPoint(c.drag.x / 3, c.drag.y / 3), from + c.drag}));
        target = dynamic_cast<IXSelectionCell_Resizing*>(m.ctx()->cells().cellForNode(c.node.get()));
        const PLRect frameAfter = ConnectionMap::canvasRect(m.ctx()->cells().cellForNode(c.node.get()));
        if (c.node == m.comment) {
            // The text takes the width of the rectangle the outline hands it: its box's, made
            // whole, with the moved edge moved by the drag.
            const float width = frameBefore.integral().width() + (c.knob >= 6 ? c.drag.x : -c.drag.x);
            EXPECT_FLOAT_EQ(m.styleOf(c.node.get())->commentTextWidth(), width);
        } else {
            // The edges that the knob moves follow the pointer (within rounding).
            if (c.knob >= 6) EXPECT_NEAR(frameAfter.maxX() - frameBefore.maxX(), c.drag.x, 1.5f);
            if (c.knob <= 3) EXPECT_NEAR(frameAfter.minX() - frameBefore.minX(), c.drag.x, 1.5f);
            if (c.knob == 8) EXPECT_NEAR(frameAfter.maxY() - frameBefore.maxY(), c.drag.y, 1.5f);
            if (c.knob == 1) EXPECT_NEAR(frameAfter.minY() - frameBefore.minY(), c.drag.y, 1.5f);
        }
        EXPECT_NE(target->resizing_state(), before);
        m.undo.undo();
        EXPECT_FALSE(m.undo.canUndo());
        EXPECT_EQ(target->resizing_state(), before);
        m.undo.redo();
        endTurn();
        m.undo.removeAllActions();
    }
}
