#include "Platform/Drawing/PLAntialiasingScope.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/Drawing/PLPathCutting.h"
#include "Platform/Drawing/PLStrokeBatch.h"
#include "RenderTestSupport.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <initializer_list>
#include <utility>

using Op = PLGraphicsContext::CompositingOperation;

namespace {

const QColor none(0, 0, 0, 0);
const QColor red(255, 0, 0);
const QColor blue(0, 0, 255);

PLBezierPath line(PLPoint from, PLPoint to, float width)
{
    PLBezierPath path;
    path.moveToPoint(from);
    path.lineToPoint(to);
    path.setLineWidth(width);
    return path;
}

// The pixels painted in the picture, and those whose coverage differs clearly from the other's.
std::pair<int, int> paintedAndDiffering(const QImage& picture, const QImage& other)
{
    int painted = 0;
    int differing = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            painted += qAlpha(picture.pixel(x, y)) > 0;
            differing += std::abs(qAlpha(other.pixel(x, y)) - qAlpha(picture.pixel(x, y))) > 40;
        }
    }
    return {painted, differing};
}

}  // namespace

class PLGraphicsContextTest : public RenderTest {
protected:
    // Strokes the path in red into the canvas and compares it with Qt's own stroke of it:
    // the pixels painted, and those that differ clearly.
    std::pair<int, int> strokedAsQtStrokesIt(const PLBezierPath& path)
    {
        QImage whole = blank(100, 100);
        {
            QPainter painter(&whole);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setTransform(QTransform(1, 0, 0, -1, 0, 100));
            painter.strokePath(path.toQPainterPath(), path.pen(PLColor::red()));
        }
        canvas.fill(Qt::transparent);
        {
            PLGraphicsContext context(canvas);
            context.setColor(PLColor::red());
            context.strokePath(path);
        }
        return paintedAndDiffering(canvas, whole);
    }
};

TEST_F(PLGraphicsContextTest, DrawsYUpWithOneColourForFillAndStroke)
{
    {
        PLGraphicsContext context(canvas);
        EXPECT_EQ(PLGraphicsContext::currentContext(), &context);
        context.setColor(PLColor::red());
        PLBezierPath::fillRect({0, 0, 10, 10});  // bottom-left corner
        line({20, 50}, {80, 50}, 4).stroke();
        {
            QImage other = blank(10, 10);
            PLGraphicsContext nested(other);
            EXPECT_EQ(PLGraphicsContext::currentContext(), &nested);
        }
        EXPECT_EQ(PLGraphicsContext::currentContext(), &context);
    }
    EXPECT_EQ(PLGraphicsContext::currentContext(), nullptr);
    EXPECT_TRUE(colorNear(at(5, 5), red));
    EXPECT_TRUE(colorNear(at(5, 95), none));
    // Inside and outside the stroke of width 4 about y = 50, and beyond its butt end.
    for (int y : {48, 49, 50, 51}) EXPECT_TRUE(colorNear(at(50, y), red)) << y;
    for (int y : {45, 54}) EXPECT_TRUE(colorNear(at(50, y), none)) << y;
    EXPECT_TRUE(colorNear(at(18, 50), none));
}

TEST_F(PLGraphicsContextTest, SaveAndRestoreTheWholeState)
{
    PLGraphicsContext context(canvas);
    context.setColor(PLColor::red());
    context.saveGraphicsState();
    context.setColor(PLColor::rgb(0, 0, 1));
    context.setCompositingOperation(Op::Copy);
    context.setShouldAntialias(false);
    context.setAlpha(0.5f);
    context.setShadow(PLShadow{{2, -2}, 1, PLColor::black()});
    PLAffineTransform shift;
    shift.translateXBy(50, 0);
    context.concat(shift);
    context.clipToRect({0, 0, 10, 10});
    EXPECT_EQ(context.currentTransform(), shift);
    context.restoreGraphicsState();
    context.restoreGraphicsState();  // unmatched: no effect

    EXPECT_EQ(context.color(), PLColor::red());
    EXPECT_EQ(context.compositingOperation(), Op::SourceOver);
    EXPECT_TRUE(context.shouldAntialias());
    EXPECT_EQ(context.alpha(), 1);
    EXPECT_FALSE(context.shadow());
    EXPECT_TRUE(context.currentTransform().isIdentity());
    context.fillRect({0, 0, 100, 100});  // neither clipped nor moved
    EXPECT_TRUE(colorNear(at(1, 1), red));
    EXPECT_TRUE(colorNear(at(98, 98), red));
}

TEST_F(PLGraphicsContextTest, TransformsClipsAndPixelSize)
{
    PLGraphicsContext context(canvas);
    context.setColor(PLColor::red());
    PLAffineTransform t;
    t.translateXBy(50, 50);
    t.scaleBy(2);
    context.concat(t);
    EXPECT_EQ(context.currentTransform(), t);
    EXPECT_EQ(context.devicePixelSize(), PLSize(0.5f, 0.5f));
    PLBezierPath::bezierPathWithOvalInRect({-10, -10, 20, 20}).addClip();
    context.fillRect({-100, -100, 200, 200});
    EXPECT_TRUE(colorNear(at(50, 50), red));     // centre
    EXPECT_TRUE(colorNear(at(50, 68), red));     // inside the circle of radius 20
    EXPECT_TRUE(colorNear(at(66, 66), none));    // beyond it, in the corner of its square
    EXPECT_TRUE(colorNear(at(50, 72), none));
}

TEST_F(PLGraphicsContextTest, CompositingOperations)
{
    // Left half opaque red; then the whole picture is filled with the operation.
    struct Case {
        Op operation;
        QColor fill;
        QColor left, right;
    } cases[] = {
        {Op::SourceOver, blue, blue, blue},
        {Op::Copy, QColor(0, 0, 255, 128), QColor(0, 0, 255, 128), QColor(0, 0, 255, 128)},
        {Op::Clear, blue, none, none},
        {Op::Copy, QColor(0, 0, 0, 0), none, none},  // erasing with the clear colour
        {Op::DestinationIn, QColor(0, 0, 255, 128), QColor(255, 0, 0, 128), none},
        {Op::DestinationOver, blue, red, blue},
        {Op::SourceIn, blue, blue, none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.operation));
        canvas.fill(Qt::transparent);
        PLGraphicsContext context(canvas);
        context.setColor(PLColor::red());
        context.fillRect({0, 0, 50, 100});
        context.setColor(PLColor::fromQColor(c.fill));
        context.setCompositingOperation(c.operation);
        context.fillRect({0, 0, 100, 100});
        EXPECT_TRUE(colorNear(at(25, 50), c.left));
        EXPECT_TRUE(colorNear(at(75, 50), c.right));
    }
}

TEST_F(PLGraphicsContextTest, ClearingInsideALayerLeavesWhatLiesUnder)
{
    PLGraphicsContext context(canvas);
    context.setColor(PLColor::rgb(0, 0, 1));
    context.fillRect({0, 0, 100, 100});
    context.beginTransparencyLayer();
    context.setColor(PLColor::red());
    context.fillRect({0, 0, 100, 50});
    context.fillRectUsingOperation({0, 0, 50, 50}, Op::Clear);
    context.endTransparencyLayer();
    EXPECT_TRUE(colorNear(at(25, 25), blue));  // cleared in the layer only
    EXPECT_TRUE(colorNear(at(75, 25), red));
    EXPECT_TRUE(colorNear(at(50, 75), blue));
    EXPECT_EQ(context.color(), PLColor::rgb(0, 0, 1));  // the state of the layer's start is back
}

TEST_F(PLGraphicsContextTest, ALayerTakesTheAlphaAsAWhole)
{
    canvas.fill(Qt::white);
    PLGraphicsContext context(canvas);
    context.setAlpha(0.5f);
    context.beginTransparencyLayerInRect({0, 0, 100, 100});
    EXPECT_EQ(context.alpha(), 1);
    context.setColor(PLColor::red());
    context.fillRect({10, 10, 50, 50});
    context.fillRect({40, 40, 50, 50});  // overlaps the first
    context.endTransparencyLayer();
    EXPECT_EQ(context.alpha(), 0.5f);
    const QColor half(255, 127, 127);
    EXPECT_TRUE(colorNear(at(20, 20), half));
    EXPECT_TRUE(colorNear(at(50, 50), half));  // not darker where they overlap
    EXPECT_TRUE(colorNear(at(5, 95), Qt::white));
    context.endTransparencyLayer();  // none open: nothing happens
}

TEST_F(PLGraphicsContextTest, AxialShadingPaintsOnlyBetweenItsEnds)
{
    PLGraphicsContext context(canvas);
    const PLShading shading = PLShading::axial({20, 0}, {80, 0}, [](float t) { return PLColor::grey(t); });
    context.drawShading(shading);
    EXPECT_TRUE(colorNear(at(20, 50), QColor(0, 0, 0), 6));
    EXPECT_TRUE(colorNear(at(79, 50), QColor(255, 255, 255), 6));
    EXPECT_TRUE(colorNear(at(50, 10), QColor(128, 128, 128), 4));
    EXPECT_TRUE(colorNear(at(10, 50), none));
    EXPECT_TRUE(colorNear(at(90, 50), none));

    canvas.fill(Qt::transparent);
    context.drawShading(PLShading::axial({20, 0}, {80, 0}, [](float t) { return PLColor::grey(t); }, 16, true, true));
    EXPECT_TRUE(colorNear(at(5, 50), QColor(0, 0, 0)));
    EXPECT_TRUE(colorNear(at(95, 50), QColor(255, 255, 255)));
    EXPECT_EQ(shading.colorAt(0.5f), PLColor::rgb(0.5f, 0.5f, 0.5f));
}

TEST_F(PLGraphicsContextTest, ThinLinesAreCrispWithoutAntialiasing)
{
    for (bool antialias : {false, true}) {
        SCOPED_TRACE(antialias);
        canvas.fill(Qt::transparent);
        PLGraphicsContext context(canvas);
        context.setShouldAntialias(!antialias);
        {
            PLAntialiasingScope scope(context, antialias);
            EXPECT_EQ(scope.previous(), !antialias);
            for (float y : {10.0f, 30.5f, 50.25f}) line({10, y}, {90, y}, 1).stroke();
            line({70, 60}, {70, 95}, 1).stroke();
        }
        EXPECT_EQ(context.shouldAntialias(), !antialias);  // the previous value is back
        // Count, per line, the rows/columns touched and whether any pixel is partly covered.
        int partial = 0;
        for (int x = 10; x < 90; ++x)
            for (int y = 0; y < 60; ++y) {
                const int a = at(x, y).alpha();
                if (a != 0 && a != 255) ++partial;
            }
        int rows = 0;
        for (int y = 0; y < 60; ++y) rows += at(40, y).alpha() == 255;
        int columns = 0;
        for (int x = 60; x < 80; ++x) columns += at(x, 80).alpha() == 255;
        if (!antialias) {
            EXPECT_EQ(partial, 0);
            EXPECT_EQ(rows, 3);  // one full row per line
            EXPECT_EQ(columns, 1);
        } else {
            EXPECT_GT(partial, 0);
        }
    }
}

TEST_F(PLGraphicsContextTest, ShadowsFallOffsetAndBlurred)
{
    for (float blur : {0.0f, 6.0f}) {
        SCOPED_TRACE(blur);
        canvas.fill(Qt::white);
        PLGraphicsContext context(canvas);
        context.setShadow(PLShadow{{10, -10}, blur, PLColor::black()});
        context.setColor(PLColor::red());
        context.fillRect({20, 40, 40, 40});
        EXPECT_TRUE(colorNear(at(40, 60), red));
        EXPECT_TRUE(colorNear(at(64, 34), blur == 0 ? QColor(0, 0, 0) : QColor(0, 0, 0), blur == 0 ? 2 : 60));
        EXPECT_TRUE(colorNear(at(15, 60), Qt::white, 2));  // the other side casts nothing
        // The blur softens the shadow's edge.
        const int edge = at(72, 50).red();
        if (blur == 0) EXPECT_EQ(edge, 255);
        else EXPECT_LT(edge, 250);
    }
}

TEST_F(PLGraphicsContextTest, TextComesOutUpright)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(14);
    {
        PLGraphicsContext context(canvas);
        context.drawText(QStringLiteral("Fg"), {10, 60, 80, 20}, font, PLColor::black());
    }
    // The same as Qt draws it into the y-down rectangle.
    QImage expected = blank(100, 100);
    {
        QPainter painter(&expected);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(10, 20, 80, 20), 0, QStringLiteral("Fg"));
    }
    EXPECT_EQ(canvas, expected);
    int inked = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) inked += at(x, y).alpha() > 0;
    EXPECT_GT(inked, 20);
}

TEST_F(PLGraphicsContextTest, DashesAreMeasuredInPoints)
{
    PLGraphicsContext context(canvas);
    context.setShouldAntialias(false);
    for (float width : {1.0f, 2.0f, 4.0f}) {
        SCOPED_TRACE(width);
        canvas.fill(Qt::transparent);
        PLBezierPath dashed = line({0, 50.5f}, {100, 50.5f}, width);
        dashed.setLineDash({12, 4}, 2);  // the pattern starts 2 points in
        dashed.stroke();
        for (int x : {1, 9, 15, 25}) EXPECT_EQ(at(x, 50).alpha(), 255) << x;
        for (int x : {11, 12, 13, 27}) EXPECT_EQ(at(x, 50).alpha(), 0) << x;
    }
}

// A target with two pixels per point: the same picture in points, twice the pixels.
TEST_F(PLGraphicsContextTest, HighResolutionTargets)
{
    canvas = blank(200, 200);
    canvas.setDevicePixelRatio(2);
    PLGraphicsContext context(canvas);
    EXPECT_EQ(context.devicePixelSize(), PLSize(0.5f, 0.5f));
    context.setColor(PLColor::red());
    context.fillRect({0, 0, 10, 10});
    EXPECT_TRUE(colorNear(canvas.pixelColor(19, 199), red));
    EXPECT_TRUE(colorNear(canvas.pixelColor(20, 199), none));
    EXPECT_TRUE(colorNear(canvas.pixelColor(0, 180), red));
    context.beginTransparencyLayer();
    context.fillRect({50, 50, 20, 20});
    context.fillRectUsingOperation({50, 50, 10, 20}, Op::Clear);
    context.endTransparencyLayer();
    EXPECT_TRUE(colorNear(canvas.pixelColor(130, 70), red));  // point (65, 65)
    EXPECT_TRUE(colorNear(canvas.pixelColor(110, 70), none));
    EXPECT_TRUE(colorNear(canvas.pixelColor(141, 70), none));
}

// A wide stroke reaching far beyond the target (a solid one is cut to it before rasterizing)
// draws the same pixels as the part of it that lies inside: across, sloping, and dashed (the far
// line starts a whole number of dash periods earlier, and keeps its dashes).
TEST_F(PLGraphicsContextTest, StrokesFarBeyondTheTargetDrawWhatTheirVisiblePartDraws)
{
    struct Case {
        const char* what;
        PLPoint from;
        PLPoint to;
        std::vector<float> dashes;
    };
    const Case cases[] = {
        {"across", {0, 40}, {100, 40}, {}},
        {"sloping", {30, 0}, {60, 100}, {}},
        {"dashed", {0, 60}, {100, 60}, {6, 4}},
    };
    for (const Case& c : cases) {
        QImage near = blank(100, 100);
        for (auto [image, reach] : {std::pair{&near, 0.0f}, std::pair{&canvas, 10.0f}}) {
            image->fill(Qt::transparent);
            const PLPoint d(c.to.x - c.from.x, c.to.y - c.from.y);
            PLBezierPath path = line(PLPoint(c.from.x - d.x * reach, c.from.y - d.y * reach),
                                     PLPoint(c.to.x + d.x * reach, c.to.y + d.y * reach), 3);
            path.setLineDash(c.dashes, 0);
            PLGraphicsContext context(*image);
            context.setColor(PLColor::red());
            context.strokePath(path);
        }
        const auto [painted, differing] = paintedAndDiffering(canvas, near);
        EXPECT_GT(painted, 150) << c.what;
        EXPECT_LE(differing, 4) << c.what;
    }
}

// Strokes of any width whose lines run far out of the target are cut to it before Qt sees
// them, and still draw the pixels of the whole path there: caps and joins inside stay, a
// closed path keeps its corner at its start, curves are kept.
TEST_F(PLGraphicsContextTest, PathsCutToTheTargetDrawWhatTheWholePathDraws)
{
    const auto polyline = [](std::initializer_list<PLPoint> points, float width, bool close) {
        PLBezierPath path;
        for (PLPoint p : points) path.isEmpty() ? path.moveToPoint(p) : path.lineToPoint(p);
        if (close) path.closePath();
        path.setLineWidth(width);
        path.setLineCapStyle(PLBezierPath::LineCap::Round);
        return path;
    };
    PLBezierPath curved = polyline({{20, 20}, {40000, 30}}, 2, false);
    curved.curveToPoint({30, 80}, {500, 500}, {-300, 90});
    curved.curveToPoint({90000, 90000}, {90000, 80}, {80, 90000});
    const PLBezierPath cases[] = {
        polyline({{-40000, 50}, {40000, 50}}, 1, false),
        polyline({{-30000, -29950}, {30000, 30050}}, 3, false),
        polyline({{50, 50}, {50, 30000}, {60, 30000}, {60, -30000}, {70, 40}}, 2, false),
        polyline({{20, 20}, {30000, 50}, {20, 80}}, 4, true),
        polyline({{50000, 10}, {20, 20}, {20, 80}, {50000, 90}}, 6, true),
        curved,
    };
    int index = 0;
    for (const PLBezierPath& path : cases) {
        const auto [painted, differing] = strokedAsQtStrokesIt(path);
        EXPECT_GT(painted, 80) << index;
        EXPECT_LE(differing, 4) << index;
        // What Qt is given stays near the target.
        const PLRect keep(-50, -50, 200, 200);
        const PLBezierPath cut = PLPathCutting::cutToRect(path, keep);
        const auto& elements = cut.elements();
        for (std::size_t i = 0; i < elements.size(); ++i) {
            // Lines and where they start; a curve is kept whole from wherever it starts.
            const bool lineEnd = elements[i].type == PLBezierPath::ElementType::LineTo;
            const bool lineStart = elements[i].type == PLBezierPath::ElementType::MoveTo && i + 1 < elements.size()
                && elements[i + 1].type == PLBezierPath::ElementType::LineTo;
            if (lineEnd || lineStart)
                EXPECT_TRUE(keep.insetBy(-0.01f, -0.01f).containsPoint(elements[i].points[0])) << index << " " << i;
        }
        ++index;
    }
}

// Long straight lines that reach across the target take another scan converter: they still
// draw what Qt's stroke of the path draws, caps that end in sight included.
TEST_F(PLGraphicsContextTest, LinesAcrossTheTargetDrawWhatTheirStrokeDraws)
{
    struct Case {
        PLPoint from, to;
        float width;
        PLBezierPath::LineCap cap;
    };
    using Cap = PLBezierPath::LineCap;
    const Case cases[] = {
        {{30, 40}, {30, 4000}, 6, Cap::Round},  // ends in sight
        {{70.3f, 60.6f}, {-2000, -900}, 1, Cap::Round},  // thin, slanted
        {{20, 20}, {5000, 3000}, 2.5f, Cap::Round},
        {{50, 80}, {-3000, 80}, 6, Cap::Square},
        {{40, 50}, {40000, 60}, 4, Cap::Butt},  // cut first
        {{-30000, -29950}, {30000, 30050}, 3, Cap::Round},
    };
    for (const Case& c : cases) {
        PLBezierPath path = line(c.from, c.to, c.width);
        path.setLineCapStyle(c.cap);
        const auto [painted, differing] = strokedAsQtStrokesIt(path);
        EXPECT_GT(painted, 60) << c.width << " " << int(c.cap);
        EXPECT_LE(differing, 2) << c.width << " " << int(c.cap);
    }
}

// A closed stroke that turns back on itself bevels its joins past the miter limit: nothing
// reaches beyond its ends by more than half its width.
TEST_F(PLGraphicsContextTest, MitersPastTheLimitBecomeBevels)
{
    PLBezierPath path = line({30, 50}, {70, 50}, 4);
    path.closePath();
    {
        PLGraphicsContext context(canvas);
        context.setColor(PLColor::red());
        context.strokePath(path);
    }
    EXPECT_TRUE(colorNear(at(50, 50), red));
    for (int x : {24, 26, 74, 76}) EXPECT_EQ(at(x, 50).alpha(), 0) << x;
}

// Paths stroked as one draw what stroking them one by one draws: lines, curves, each cap,
// flipped y, a clip and a target at twice the resolution, lines far beyond it; where lines
// cross, coverage joins rather than compounds, so only pixels at the edges of crossings may
// differ. Hairlines, dashes and closed paths are left to the one-by-one stroke.
TEST_F(PLGraphicsContextTest, PathsStrokedAsOneDrawWhatTheirStrokesDraw)
{
    using Cap = PLBezierPath::LineCap;
    const auto styled = [](PLBezierPath path, float width, Cap cap) {
        path.setLineWidth(width);
        path.setLineCapStyle(cap);
        return path;
    };
    PLBezierPath curve;
    curve.moveToPoint({10, 10});
    curve.curveToPoint({190, 60}, {20, 180}, {120, 190});
    PLBezierPath closed;
    closed.moveToPoint({120, 20});
    closed.lineToPoint({180, 30});
    closed.lineToPoint({150, 90});
    closed.closePath();
    PLBezierPath dashed = line({10, 150}, {90, 150}, 3);
    dashed.setLineDash({6, 4}, 0);
    const std::vector<PLBezierPath> apart = {
        styled(line({20, 30}, {20, 170}, 3), 3, Cap::Round),
        styled(line({40, 40}, {100, 170}, 2.5f), 2.5f, Cap::Square),
        styled(line({60, 20}, {110, 20}, 5), 5, Cap::Butt),
        styled(line({-4000, -3900}, {9000, 9300}, 2), 2, Cap::Round),
        styled(curve, 2, Cap::Round),
        styled(closed, 4, Cap::Round),
        styled(line({130, 120}, {190, 125}, 1), 1, Cap::Round),  // a hairline at 1x
        dashed,
    };
    // A fan of long lines from one point, as from a root with thousands of children.
    std::vector<PLBezierPath> fan;
    for (int i = 0; i < 300; ++i)
        fan.push_back(styled(line({100, 100}, {float(i % 2 ? 140 : 60), float(-30000 + 200 * i)}, 2), 2, Cap::Round));

    // The curves of a small group, as from a branch to its two dozen children (where they leave
    // their common start they join, as in the fan).
    std::vector<PLBezierPath> curves;
    for (int i = 0; i < 24; ++i) {
        PLBezierPath path;
        const float y = float(10 + 8 * i);
        path.moveToPoint({20, 100});
        path.curveToPoint({170, y}, {20 + 30, 100 + 0.1f * (y - 100)}, {20 + 100, y});
        curves.push_back(styled(path, i % 3 ? 1.5f : 3, Cap::Round));
    }

    struct Case {
        const char* label;
        const std::vector<PLBezierPath>* paths;
        qreal ratio;
        bool clipped;
        int differingPerMille;  // of the pixels painted
    };
    const Case cases[] = {
        {"crossing", &apart, 1, false, 5},
        {"crossing at 2x", &apart, 2, false, 5},
        {"crossing, clipped", &apart, 1, true, 5},
        {"fan", &fan, 1, false, 20},
        {"fan at 2x", &fan, 2, true, 20},
        {"curves", &curves, 1, false, 15},
        {"curves at 2x, clipped", &curves, 2, true, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const auto draw = [&](bool asOne) {
            QImage image = blank(int(200 * c.ratio), int(200 * c.ratio));
            image.setDevicePixelRatio(c.ratio);
            PLGraphicsContext context(image);
            if (c.clipped) context.clipToRect({30, 10, 120, 150});
            context.setColor(PLColor::red());
            if (asOne)
                PLStrokeBatch::strokeAsOne(context, *c.paths);
            else
                for (const PLBezierPath& path : *c.paths) context.strokePath(path);
            return image;
        };
        const QImage each = draw(false);
        canvas = draw(true);
        const auto [painted, differing] = paintedAndDiffering(canvas, each);
        EXPECT_GT(painted, int(1500 * c.ratio * c.ratio) / (c.clipped ? 3 : 1));
        EXPECT_LE(differing * 1000, painted * c.differingPerMille) << differing << " of " << painted;
        if (c.clipped) {
            const QColor outside = canvas.pixelColor(int(20 * c.ratio), int(100 * c.ratio));
            EXPECT_TRUE(colorNear(outside, none));
        }
    }
}
