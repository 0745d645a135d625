#include "Platform/PLAntialiasingScope.h"
#include "Platform/PLGraphicsContext.h"
#include "RenderTestSupport.h"

#include <QFont>
#include <QPainter>

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

}  // namespace

using PLGraphicsContextTest = RenderTest;

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
