#include "IXConnectionTestSupport.h"
#include "IXDrawingTestSupport.h"

#include "MapLayout/IXMapCellFactory.h"
#include "Platform/RenderTestSupport.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include <cmath>

namespace {

PLPoint centre(const PLRect& r)
{
    return PLPoint(r.midX(), r.midY());
}

::testing::AssertionResult near(PLPoint actual, PLPoint expected, float tolerance = 0.01f)
{
    if (std::fabs(actual.x - expected.x) <= tolerance && std::fabs(actual.y - expected.y) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << actual.x << ", " << actual.y << ") instead of (" << expected.x << ", "
                                         << expected.y << ")";
}

} // namespace

TEST(IXConnectionCellTests, EndPointsLeaveTheGrownBoxTowardsTheOffset)
{
    // A box of 100 x 40 at the origin grows to 108 x 48 around (50, 20).
    const PLRect box(0, 0, 100, 40);
    const float k = std::sqrt(5000.0f) / 50;
    struct Case {
        const char* name;
        PLPoint offset;
        PLPoint anchor;
        PLPoint control;
    };
    const Case cases[] = {
        // Diagonal: meets the top side (the right side's height would be 70.7 > 24).
        {"default offsets", {50, 50}, {50 + 24, 44}, {50 + 50 * k, 20 + 50 * k}},
        // Nearly vertical: the middle of the top side.
        {"steep", {1, 80}, {50, 44}, {50 + 1 * 1.6f, 20 + 80 * 1.6f}},
        {"straight down", {0, -60}, {50, -4}, {50, 20 - 72}},
        // Horizontal, scaled by 2.5 at most.
        {"far right", {200, 0}, {104, 20}, {550, 20}},
        {"left", {-60, 1}, {-4, 20}, {50 - 72, 20 + 1.2f}},
        // Shorter than the box: the control point is the anchor itself.
        {"short", {10, 10}, {74, 44}, {74, 44}},
        // Flat diagonal: meets the right side.
        {"flat", {100, 10}, {104, 20 + 54 * 0.1f}, {50 + 100 * std::sqrt(10100.0f) / 50, 20 + 10 * std::sqrt(10100.0f) / 50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const IXConnectionCell::EndPoints points = IXConnectionCell::endPoints(box, c.offset);
        EXPECT_TRUE(near(points.anchor, c.anchor));
        EXPECT_TRUE(near(points.control, c.control, 0.02f));
    }
}

TEST(IXConnectionCellTests, BranchConnectionRunsFromBoxToBoxWithItsHandles)
{
    ConnectionMap m;
    IXConnectionCell* cell = m.connectionCell(m.link.get());
    ASSERT_NE(cell, nullptr);
    EXPECT_TRUE(cell->isBranchConnection());
    EXPECT_TRUE(cell->isVisible());
    const PLRect boxA = ConnectionMap::canvasRect(m.ctx()->cells().branchCellForNode(m.a.get()));
    const PLRect boxB = ConnectionMap::canvasRect(m.ctx()->cells().branchCellForNode(m.b.get()));
    m.styleOf(m.link.get())->setConnectionOffset1(PLPoint(120, 60));
    m.styleOf(m.link.get())->setConnectionOffset2(PLPoint(-40, 90));
    settle(m.ctx());

    const auto points = cell->points();
    ASSERT_TRUE(points);
    EXPECT_TRUE(near((*points)[0], centre(boxA)));
    EXPECT_TRUE(near((*points)[1], centre(boxA) + PLPoint(120, 60)));
    EXPECT_TRUE(near((*points)[2], centre(boxB) + PLPoint(-40, 90)));
    EXPECT_TRUE(near((*points)[3], centre(boxB)));

    const PLBezierPath* path = cell->connectionPath();
    ASSERT_NE(path, nullptr);
    const auto start = IXConnectionCell::endPoints(boxA, PLPoint(120, 60));
    const auto end = IXConnectionCell::endPoints(boxB, PLPoint(-40, 90));
    PLPoint move[3], curve[3];
    ASSERT_EQ(path->elementAtIndex(0, move), PLBezierPath::ElementType::MoveTo);
    ASSERT_EQ(path->elementAtIndex(1, curve), PLBezierPath::ElementType::CurveTo);
    EXPECT_TRUE(near(move[0], start.anchor));
    EXPECT_TRUE(near(curve[0], start.control));
    EXPECT_TRUE(near(curve[1], end.control));
    EXPECT_TRUE(near(curve[2], end.anchor));
    EXPECT_TRUE(path->lineDashPattern().empty());
    const float width = m.styleOf(m.link.get())->connectionLineWidth();
    EXPECT_EQ(cell->linePath()->lineDashPattern(), (std::vector<float>{width * 6, width * 2}));

    // The frame holds both boxes and the curve, and is the cell's own space.
    const PLRect frame = cell->frame();
    EXPECT_EQ(frame, cell->bounds());
    EXPECT_TRUE(frame.containsRect(boxA) && frame.containsRect(boxB));
    EXPECT_TRUE(frame.containsRect(cell->linePath()->bounds()));

    // Hits on the curve only, within a stroke 2 units wider than the line. Near the top of
    // the arc the curve runs level, so a vertical step is a step away from it.
    const PLPoint top = pointOnCurve(*path, 0.5f);
    EXPECT_TRUE(cell->hitTest(top));
    EXPECT_TRUE(cell->hitTest(top + PLPoint(0, (width + 2) / 2 - 0.2f)));
    EXPECT_FALSE(cell->hitTest(top + PLPoint(0, (width + 2) / 2 + 0.5f)));
    EXPECT_EQ(m.ctx()->mouse().nodeAtPoint(top), m.link.get());
}

TEST(IXConnectionCellTests, MissingOrChangedTargetsLeaveNothingToDraw)
{
    ConnectionMap m;
    IXConnectionCell* cell = m.connectionCell(m.link.get());
    ASSERT_TRUE(cell && cell->connectionPath());

    // A new target drops the old target's cell at once, before the reload.
    m.link->setTargetNode(m.b1);
    EXPECT_FALSE(cell->isVisible());
    EXPECT_EQ(cell->connectionPath(), nullptr);
    EXPECT_FALSE(cell->points());
    settle(m.ctx());
    cell = m.connectionCell(m.link.get());
    ASSERT_TRUE(cell && cell->isVisible());
    EXPECT_TRUE(near((*cell->points())[3], centre(ConnectionMap::canvasRect(m.ctx()->cells().branchCellForNode(m.b1.get())))));

    // The target leaves the document.
    m.b->removeBranch(m.b1);
    EXPECT_FALSE(cell->isVisible());
    EXPECT_EQ(cell->linePath(), nullptr);
    settle(m.ctx());

    // A target that is not a branch has no cell.
    cell = m.connectionCell(m.link.get());
    m.link->setTargetNode(m.picture);
    settle(m.ctx());
    cell = m.connectionCell(m.link.get());
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->targetCell(), nullptr);
    EXPECT_FALSE(cell->isVisible());
    QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        PLGraphicsContext graphics(image);
        cell->draw(graphics);
    }
    EXPECT_FALSE(anyPainted(image, 0, 0, 40, 40));
}

TEST(IXConnectionCellTests, FloatingNodesSitAtTheirTargetPlusTheirOffset)
{
    ConnectionMap m;
    m.styleOf(m.picture.get())->setFloatingTargetOffset(PLPoint(-150, 80));
    settle(m.ctx());
    const PLRect boxA = ConnectionMap::canvasRect(m.ctx()->cells().branchCellForNode(m.a.get()));
    const PLRect boxB = ConnectionMap::canvasRect(m.ctx()->cells().branchCellForNode(m.b.get()));
    IXLayoutCell* pictureCell = m.ctx()->cells().cellForNode(m.picture.get());
    IXLayoutCell* commentCell = m.ctx()->cells().cellForNode(m.comment.get());
    EXPECT_TRUE(near(ConnectionMap::canvasRect(pictureCell).origin, centre(boxA) + PLPoint(-150, 80)));
    EXPECT_TRUE(near(ConnectionMap::canvasRect(commentCell).origin, centre(boxB) + PLPoint(16, 16)));

    IXConnectionCell* link = m.connectionCell(m.picture->connection().get());
    ASSERT_NE(link, nullptr);
    EXPECT_FALSE(link->isBranchConnection());
    EXPECT_TRUE(link->isVisible());
    EXPECT_EQ(link->frame(), ConnectionMap::canvasRect(pictureCell).united(boxA));
    // Floating links are neither hit nor hovered.
    EXPECT_FALSE(link->hitTest(centre(link->bounds())));
    EXPECT_FALSE(link->acceptsMouseMoves(PLMouseEvent(PLMouseEvent::MouseMoved, centre(link->bounds()))));
}

TEST(IXConnectionCellTests, HoverHighlightsTheConnectionAndClicksSelectIt)
{
    ConnectionMap m;
    IXConnectionCell* cell = m.connectionCell(m.link.get());
    const PLPoint onCurve = pointOnCurve(*cell->connectionPath(), 0.4f);
    const PLPoint offCurve = onCurve + PLPoint(0, 6);

    m.ctx()->mouse().mouseMoved(PLMouseEvent(PLMouseEvent::MouseMoved, onCurve));
    EXPECT_TRUE(m.ctx()->highlights().containsNode(m.link.get()));
    EXPECT_EQ(m.ctx()->mouse().cellUnderMouse(), cell);
    m.ctx()->mouse().mouseMoved(PLMouseEvent(PLMouseEvent::MouseMoved, offCurve));
    EXPECT_TRUE(m.ctx()->highlights().isEmpty());

    struct Case {
        const char* name;
        std::uint32_t modifiers;
        bool selectedBefore;
        bool selectedAfter;
        qsizetype count;
    };
    const Case cases[] = {
        {"plain", 0, false, true, 1},
        {"plain again", 0, true, true, 1},
        {"shift adds", PLMouseEvent::Shift, false, true, 2},
        {"shift removes", PLMouseEvent::Shift, true, false, 1},
        {"command clears", PLMouseEvent::Command, true, false, 0},
        {"option clears", PLMouseEvent::Option, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IXSelection before = IXSelection::selectionWithNode(m.a);
        if (c.selectedBefore) before = before.selectionByAddingNode(m.link);
        m.ctx()->setSelection(before);
        settle(m.ctx());
        EXPECT_TRUE(m.ctx()->mouse().trackMouse(PLMouseEvent(PLMouseEvent::LeftMouseDown, onCurve, 1, c.modifiers)));
        EXPECT_EQ(m.ctx()->selection().containsNode(m.link.get()), c.selectedAfter);
        EXPECT_EQ(m.ctx()->selection().count(), c.count);
    }
    // Off the curve the press goes on to the cells below (none here).
    m.ctx()->setSelection(IXSelection());
    settle(m.ctx());
    EXPECT_FALSE(m.ctx()->mouse().trackMouse(PLMouseEvent(PLMouseEvent::LeftMouseDown, offCurve)));
    EXPECT_TRUE(m.ctx()->selection().isEmpty());
}

// Every kind of connection drawn over the fixture: a thick curve with custom offsets, one
// with the defaults in the hover colour, and the links of a floating picture and comment.
TEST(IXConnectionCellTests, RendersCurvesDotsArrowsAndFloatingLinks)
{
    ConnectionMap m;
    const auto second = m.a1->addConnection();
    second->setTargetNode(m.b1);
    m.styleOf(m.link.get())->setConnectionLineWidth(3);
    m.styleOf(m.link.get())->setConnectionOffset1(PLPoint(100, 120));
    m.styleOf(m.link.get())->setConnectionOffset2(PLPoint(-60, 100));
    m.styleOf(m.link.get())->setConnectionColor(PLColor::rgb(0.8f, 0.1f, 0.1f));
    m.styleOf(m.picture.get())->setFloatingTargetOffset(PLPoint(-150, 80));
    m.styleOf(m.comment.get())->setFloatingTargetOffset(PLPoint(40, -160));
    settle(m.ctx());
    m.ctx()->setHighlights(IXSelection::selectionWithNode(second));

    const PLRect canvas = m.ctx()->visibleCellsBounds().insetBy(-20, -20).integral();
    QImage image(int(canvas.width()), int(canvas.height()), QImage::Format_ARGB32_Premultiplied);
    {
        PLGraphicsContext graphics(image);
        graphics.concat(PLAffineTransform(1, 0, 0, 1, -canvas.minX(), -canvas.minY()));
        m.ctx()->drawRect(graphics, canvas);
    }
    saveRender(image, QStringLiteral("connections"));
    auto pixel = [&](PLPoint p) { return pixelAt(image, int(std::floor(p.x - canvas.minX())), int(std::floor(p.y - canvas.minY()))); };
    const QRgb background = pixelAt(image, 0, 0).rgb();

    // The dot sits on the source anchor, the arrow's body just before the target anchor.
    IXConnectionCell* thick = m.connectionCell(m.link.get());
    PLPoint move[3], curve[3];
    thick->connectionPath()->elementAtIndex(0, move);
    thick->connectionPath()->elementAtIndex(1, curve);
    EXPECT_EQ(pixel(move[0]).rgb(), QColor::fromRgbF(0.8f, 0.1f, 0.1f).rgb());
    const PLRect arrow = thick->arrowPath()->bounds();
    EXPECT_GT(arrow.width() * arrow.height(), 40.0f);
    EXPECT_TRUE(arrow.insetBy(-1, -1).containsPoint(curve[2]));
    EXPECT_EQ(pixel(centre(arrow)).rgb(), QColor::fromRgbF(0.8f, 0.1f, 0.1f).rgb());
    // Dashed: along the curve some points are painted and some are not.
    int painted = 0, clear = 0;
    for (int i = 200; i < 800; ++i) {
        const QColor c = pixel(pointOnCurve(*thick->connectionPath(), i / 1000.0f));
        (c.rgb() == background ? clear : painted)++;
    }
    EXPECT_GT(painted, 300);
    EXPECT_GT(clear, 30);

    // The hovered connection in the hover colour (blue by default).
    IXConnectionCell* hovered = m.connectionCell(second.get());
    PLPoint secondStart[3];
    hovered->connectionPath()->elementAtIndex(0, secondStart);
    EXPECT_EQ(pixel(secondStart[0]).rgb(), m.styleOf(second.get())->connectionHoverColor().toQColor().rgb());
    EXPECT_NE(m.styleOf(second.get())->connectionHoverColor(), m.styleOf(second.get())->connectionColor());

    // A floating link shows between the boxes only.
    IXLayoutCell* pictureCell = m.ctx()->cells().cellForNode(m.picture.get());
    const PLRect pictureBox = ConnectionMap::canvasRect(pictureCell);
    const PLRect boxA = ConnectionMap::canvasRect(m.ctx()->cells().branchCellForNode(m.a.get()));
    const PLPoint from = centre(pictureBox), to = centre(boxA);
    auto along = [&](float t) { return PLPoint(from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t); };
    int linkPixels = 0;
    for (int i = 1; i < 100; ++i) {
        const PLPoint p = along(i / 100.0f);
        const QRgb c = pixel(p).rgb();
        if (pictureBox.insetBy(2, 2).containsPoint(p) || boxA.insetBy(2, 2).containsPoint(p))
            EXPECT_EQ(c, background) << "inside at " << i;
        else if (!pictureBox.insetBy(-2, -2).containsPoint(p) && !boxA.insetBy(-2, -2).containsPoint(p))
            linkPixels += c != background;
    }
    EXPECT_GT(linkPixels, 20);
}

namespace {

// The application's factory, installed for one test.
class InstalledMapFactory : public IXMapCellFactory {
public:
    InstalledMapFactory() { install(this); }
    ~InstalledMapFactory() override { install(nullptr); }
};

} // namespace

// A whole map of the application's own cells: titled boxes in the mind map, a connection
// between two main branches and one between sub-branches, a floating picture and a floating
// comment with their links, and the first connection selected.
TEST(IXConnectionCellTests, RendersConnectionsBetweenTheMapsOwnCells)
{
    MapFixtureWith<InstalledMapFactory> map;
    auto root = map.addRoot(QStringLiteral("Project"));
    auto plan = MapFixture::addChild(root, QStringLiteral("Plan"));
    auto build = MapFixture::addChild(root, QStringLiteral("Build"));
    auto test = MapFixture::addChild(root, QStringLiteral("Test"));
    auto ship = MapFixture::addChild(root, QStringLiteral("Ship"));
    auto sketch = MapFixture::addChild(plan, QStringLiteral("Sketch"));
    auto review = MapFixture::addChild(ship, QStringLiteral("Review"));
    auto link = plan->addConnection();
    link->setTargetNode(ship);
    sketch->addConnection()->setTargetNode(review);
    auto note = std::make_shared<IXCommentNode>();
    note->setTitle(QStringLiteral("Ask the team"));
    map.document->addComment(note);
    note->setFloatingTargetNode(build);
    QImage photo(60, 40, QImage::Format_ARGB32);
    photo.fill(QColor(70, 130, 180));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    photo.save(&buffer, "PNG");
    auto picture = std::make_shared<IXPictureNode>();
    picture->addPictureData(bytes, QStringLiteral("photo.png"));
    map.document->addPicture(picture);
    picture->setFloatingTargetNode(test);
    map.document->style()->setDocumentShowsBranchConnections(true);

    auto owned = std::make_unique<IXLayoutContext>(&map.controller, map.layout(QStringLiteral("mindmap")));
    IXLayoutContext* context = owned.get();
    struct Invalidate {
        IXLayoutContext* context;
        ~Invalidate() { context->invalidate(); }
    } invalidateAtEnd{context};
    context->styleForNode(picture.get())->setFloatingTargetOffset(PLPoint(-200, -120));
    context->styleForNode(note.get())->setFloatingTargetOffset(PLPoint(160, 80));
    context->setSelection(IXSelection::selectionWithNode(link));
    settle(context);
    context->performLayoutIfNeeded();

    const PLRect canvas = context->visibleCellsBounds().insetBy(-20, -20).integral();
    QImage image(int(canvas.width()), int(canvas.height()), QImage::Format_ARGB32_Premultiplied);
    {
        PLGraphicsContext graphics(image);
        graphics.concat(PLAffineTransform(1, 0, 0, 1, -canvas.minX(), -canvas.minY()));
        context->drawRect(graphics, canvas);
    }
    saveRender(image, QStringLiteral("map-connections"));

    for (const auto& connection : {link, sketch->connections().first()}) {
        auto* cell = dynamic_cast<IXConnectionCell*>(context->cells().cellForNode(connection.get()));
        ASSERT_TRUE(cell && cell->isVisible());
        // Along the curve, the connection's colour (or the selection's dashes over it) shows.
        const QColor colour = context->styleForNode(connection.get())->connectionColor().toQColor();
        int coloured = 0;
        for (int i = 10; i <= 90; ++i) {
            const PLPoint p = pointOnCurve(*cell->connectionPath(), i / 100.0f);
            coloured += colorNear(pixelAt(image, int(p.x - canvas.minX()), int(p.y - canvas.minY())), colour, 40);
        }
        EXPECT_GT(coloured, 30);
    }
    // The floating nodes sit at their targets plus their offsets.
    const auto centreOf = [&](IXLayoutCell* cell) {
        const PLRect r = cell->convertRectToCell(cell->bounds(), nullptr);
        return PLPoint(r.midX(), r.midY());
    };
    const PLRect pictureFrame = ConnectionMap::canvasRect(context->cells().cellForNode(picture.get()));
    EXPECT_EQ(pictureFrame.origin, centreOf(context->cells().branchCellForNode(test.get())) + PLPoint(-200, -120));
}
