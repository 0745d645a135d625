// Frame shapes: margins and the two rectangle conversions of every type, clip paths, and
// renders of every shape with the pixels their outlines and fills must cover.
#include "IXDrawingTestSupport.h"
#include "MapLayout/IXShapeDrawer.h"
#include "Platform/Drawing/PLGraphicsContext.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using Margins = IXShapeDrawer::Margins;

std::shared_ptr<IXStyleNode> frameStyle(int type)
{
    return styleWith({{"branch.frame.type", IXStyleValue::integer(type)}});
}

PLRect withMargins(const PLRect& content, const Margins& m)
{
    return {content.minX() - m.left, content.minY() - m.bottom, content.width() + m.left + m.right,
            content.height() + m.top + m.bottom};
}

void expectRectNear(const PLRect& actual, const PLRect& expected, float tolerance = 1e-3f)
{
    EXPECT_NEAR(actual.minX(), expected.minX(), tolerance);
    EXPECT_NEAR(actual.minY(), expected.minY(), tolerance);
    EXPECT_NEAR(actual.width(), expected.width(), tolerance);
    EXPECT_NEAR(actual.height(), expected.height(), tolerance);
}

void expectMarginsNear(const Margins& actual, const Margins& expected)
{
    EXPECT_NEAR(actual.left, expected.left, 1e-4);
    EXPECT_NEAR(actual.top, expected.top, 1e-4);
    EXPECT_NEAR(actual.right, expected.right, 1e-4);
    EXPECT_NEAR(actual.bottom, expected.bottom, 1e-4);
}

// --- Fixed margins: the frame grows by them and shrinks back exactly.

TEST(IXShapeDrawerGeometry, FixedMarginsGrowTheContentAndShrinkTheFrameBack)
{
    struct Case {
        int type;
        Margins margins;  // left, top, right, bottom
    };
    const std::vector<Case> cases = {
        {0, {0, 0, 0, 0}},   {1, {1, 1, 1, 1}},   {3, {1, 1, 1, 1}},   {4, {1, 11, 1, 1}},  {6, {1, 1, 1, 1}},
        {7, {18, 1, 1, 1}},  {8, {1, 18, 1, 1}},  {9, {6, 22, 6, 12}}, {11, {0, 0, 0, 0}}, {-1, {0, 0, 0, 0}},
    };
    const PLRect content(10, 20, 100, 50);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const auto style = frameStyle(c.type);
        const PLRect frame = IXShapeDrawer::frameRectForContentRect(content, *style);
        EXPECT_EQ(frame, withMargins(content, c.margins));
        EXPECT_EQ(IXShapeDrawer::contentRectForFrameRect(frame, *style), content);
    }
}

// --- Proportional margins: 15 % of the frame for the ellipse and the bubble, and the
// hand-drawn shape's uneven ones; from content they are taken of the enlarged rectangle.

TEST(IXShapeDrawerGeometry, ProportionalMarginsFollowTheRectangle)
{
    const PLRect r(5, 7, 200, 40);
    EXPECT_EQ(IXShapeDrawer::ellipseMarginsForFrameRect(r), (Margins{30, 6, 30, 6}));
    EXPECT_EQ(IXShapeDrawer::bubbleMarginsForFrameRect(r), (Margins{30, 6, 30, 6}));
    expectMarginsNear(IXShapeDrawer::handDrawnMarginsForFrameRect(r), {32, 7.2f, 36, 6});
    // Content 70 wide sits in a frame 100 wide; 62 x 56 in one of 100 x 100.
    EXPECT_EQ(IXShapeDrawer::ellipseMarginsForContentRect({0, 0, 140, 35}), (Margins{30, 7.5f, 30, 7.5f}));
    EXPECT_EQ(IXShapeDrawer::bubbleMarginsForContentRect({0, 0, 140, 35}), (Margins{30, 7.5f, 30, 7.5f}));
    expectMarginsNear(IXShapeDrawer::handDrawnMarginsForContentRect({0, 0, 62, 56}), {16, 18, 18, 15});
}

TEST(IXShapeDrawerGeometry, ProportionalConversions)
{
    struct Case {
        int type;
        PLRect content;
        PLRect frame;          // of the content
        PLRect contentOfFrame; // the content rectangle of that frame
    };
    const std::vector<Case> cases = {
        {2, {0, 0, 70, 70}, {-15, -15, 100, 100}, {0, 0, 70, 70}},
        {5, {0, 0, 70, 70}, {-15, -15, 100, 100}, {0, 0, 70, 70}},
        {2, {10, 10, 140, 35}, {-20, 2.5f, 200, 50}, {10, 10, 140, 35}},
        // Not inverses: the frame-based margins are a larger share than the content-based.
        {10, {0, 0, 62, 56}, {-16, -15, 96, 89}, {-16 + 96 * 0.16f, -15 + 89 * 0.15f, 96 * 0.66f, 89 * 0.67f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const auto style = frameStyle(c.type);
        const PLRect frame = IXShapeDrawer::frameRectForContentRect(c.content, *style);
        expectRectNear(frame, c.frame);
        expectRectNear(IXShapeDrawer::contentRectForFrameRect(frame, *style), c.contentOfFrame);
    }
}

// --- Clip paths

TEST(IXShapeDrawerGeometry, ClipPathsHoldTheShapesInside)
{
    struct Case {
        int type;
        PLRect frame;
        std::vector<PLPoint> inside;
        std::vector<PLPoint> outside;
    };
    const std::vector<Case> cases = {
        {1, {0, 0, 100, 50}, {{0.5f, 0.5f}, {99.5f, 49.5f}}, {{-0.5f, 25}, {50, 50.5f}}},
        {2, {0, 0, 100, 50}, {{50, 25}, {1, 25}, {50, 49}}, {{5, 5}, {95, 45}, {101, 25}}},
        // Roundness 10 on the frame inset by half a unit.
        {3, {0, 0, 100, 50}, {{50, 25}, {1, 25}, {3.5f, 3.5f}}, {{0.25f, 25}, {1, 1}, {99, 49}}},
        // The tab's strip above the body is left out.
        {4, {0, 0, 100, 50}, {{50, 39.5f}, {5, 5}}, {{50, 40.5f}, {5, 45}}},
        // The round bubble without its tail.
        {5, {0, 0, 100, 100}, {{50, 50}, {50, 1}}, {{90, 4}, {5, 95}}},
        {6, {0, 0, 100, 50}, {{50, 25}, {4, 4}, {96, 46}}, {{2, 2}, {98, 48}, {2, 48}, {98, 2}}},
        {7, {0, 0, 100, 50}, {{2.5f, 25}, {99, 49}}, {{1.5f, 25}}},
        {8, {0, 0, 100, 50}, {{50, 47.5f}, {1, 1}}, {{50, 48.5f}}},
        // The board, whole: also under the clip, whose head above the board is left out.
        {9, {0, 0, 100, 60}, {{42, 49}, {50, 49.5f}, {3, 1}}, {{50, 55}, {0.2f, 0.2f}, {50, 50.5f}}},
        {10, {0, 0, 100, 100}, {{50, 87}, {50, 1}}, {{50, 89}, {5, 95}}},
        {11, {0, 0, 100, 50}, {{0.5f, 0.5f}, {99.5f, 49.5f}}, {{-0.5f, 25}, {100.5f, 25}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const auto clip = IXShapeDrawer::clipPathForFrameRect(c.frame, *styleWith({
                                                                  {"branch.frame.type", IXStyleValue::integer(c.type)},
                                                                  {"branch.frame.line.roundness", IXStyleValue::real(10)},
                                                              }));
        ASSERT_TRUE(clip.has_value());
        for (PLPoint p : c.inside) EXPECT_TRUE(clip->containsPoint(p)) << p.x << "," << p.y;
        for (PLPoint p : c.outside) EXPECT_FALSE(clip->containsPoint(p)) << p.x << "," << p.y;
    }
    EXPECT_FALSE(IXShapeDrawer::clipPathForFrameRect({0, 0, 10, 10}, *frameStyle(0)).has_value());
}

// --- Drawing

const PLColor Fill = PLColor::rgb(1, 0.8f, 0.4f);
const PLColor Line = PLColor::rgb(0, 0, 1);
const QColor FillQ(255, 204, 102);
const QColor LineQ(0, 0, 255);
const QColor Clear(0, 0, 0, 0);

// A solid fill and a blue outline.
std::shared_ptr<IXStyleNode> paintedStyle(int type)
{
    return styleWith({{"branch.frame.type", IXStyleValue::integer(type)},
                      {"branch.frame.fill.bgcolor1", colorValue(Fill)},
                      {"branch.frame.fill.bgcolor2", colorValue(Fill)},
                      {"branch.frame.line.color", colorValue(Line)}});
}

class IXShapeDrawerRender : public RenderTest {
protected:
    void draw(const PLRect& frame, const IXStyleNode& style, const IXShapeDrawer::Attributes& attributes = {})
    {
        PLGraphicsContext context(canvas);
        IXShapeDrawer::drawShapeWithFrame(frame, style, attributes);
    }
};

// Frame (10, 10, 100, 60) on a 120 x 80 canvas; outlines lie on the frame moved by half a
// unit, so the left outline covers pixel column 10.
TEST_F(IXShapeDrawerRender, EveryShapeFillsItsInsideAndStrokesItsOutline)
{
    struct Probe {
        int x, y;
        QColor color;
    };
    struct Case {
        int type;
        std::vector<Probe> probes;
    };
    const QColor windowBackground = PLColor::system(PLColor::System::WindowBackground).toQColor();
    const QColor lightGrey = PLColor::lightGray().toQColor();
    const std::vector<Case> cases = {
        // Filled inside the frame inset by 1, no outline.
        {0, {{60, 40, FillQ}, {11, 11, FillQ}, {10, 40, Clear}, {108, 68, FillQ}, {109, 40, Clear}}},
        {1, {{60, 40, FillQ}, {10, 40, LineQ}, {11, 40, FillQ}, {9, 40, Clear}, {60, 69, LineQ}, {60, 70, Clear}}},
        {2, {{60, 40, FillQ}, {12, 12, Clear}, {107, 67, Clear}, {11, 40, FillQ}, {8, 40, Clear}}},
        {3, {{60, 40, FillQ}, {10, 40, LineQ}, {10, 10, Clear}, {109, 69, Clear}}},
        // Tab at the top left in the window background, body below it.
        {4, {{60, 30, FillQ}, {15, 65, windowBackground}, {100, 65, Clear}, {60, 60, LineQ}, {10, 65, LineQ}}},
        {6, {{60, 40, FillQ}, {11, 11, Clear}, {108, 68, Clear}, {10, 40, LineQ}, {60, 10, LineQ}}},
        // Page right of the spine; the spine itself is filled too.
        {7, {{60, 40, FillQ}, {27, 40, LineQ}, {12, 40, LineQ}, {24, 37, FillQ}}},
        {8, {{60, 30, FillQ}, {60, 53, LineQ}, {60, 10, LineQ}}},
        // Ring: thin at the left and top, three units at the right and bottom.
        {10, {{60, 40, FillQ}, {108, 40, LineQ}, {60, 10, LineQ}, {90, 68, Clear}, {5, 40, Clear}}},
        {11, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        canvas = blank(120, 80);
        draw({10, 10, 100, 60}, *paintedStyle(c.type));
        for (const Probe& p : c.probes) EXPECT_TRUE(colorNear(at(p.x, p.y), p.color, 40)) << p.x << "," << p.y;
        if (c.type == 11) {
            EXPECT_FALSE(anyPainted(canvas, 0, 0, 120, 80));
        }
    }
    // The clipboard: board in the second fill colour around the paper, the clip's head in
    // light grey above the board.
    canvas = blank(120, 90);
    const auto clipboard = styleWith({{"branch.frame.type", IXStyleValue::integer(9)},
                                      {"branch.frame.fill.bgcolor1", colorValue(Fill)},
                                      {"branch.frame.fill.bgcolor2", colorValue(PLColor::rgb(0.5f, 0.3f, 0.1f))},
                                      {"branch.frame.line.color", colorValue(Line)}});
    draw({10, 10, 100, 70}, *clipboard);
    EXPECT_TRUE(colorNear(at(60, 35), FillQ, 10));
    EXPECT_TRUE(colorNear(at(12, 40), QColor(128, 77, 26), 10));
    EXPECT_TRUE(colorNear(at(60, 77), lightGrey, 10));
    EXPECT_TRUE(colorNear(at(60, 72), Clear, 10));  // the hole
    EXPECT_TRUE(colorNear(at(60, 81), Clear, 10));
}

TEST_F(IXShapeDrawerRender, ThinkingBubbleHasATailAtTheBottomRight)
{
    canvas = blank(120, 120);
    draw({10, 10, 100, 100}, *paintedStyle(5));
    // In the tail, below the circle; right of the tail; the circle's left and top.
    EXPECT_TRUE(colorNear(at(10 + 86, 10 + 2), FillQ, 20));
    EXPECT_TRUE(colorNear(at(10 + 95, 10 + 8), Clear, 10));
    EXPECT_TRUE(colorNear(at(10 + 50, 10 + 50), FillQ, 10));
    EXPECT_TRUE(colorNear(at(60, 111), Clear, 10));
}

// A notebook has one ring every 8 units of spine after the first 10; each ring's bend
// reaches just beyond the spine's outer edge, where the rings are counted.
TEST_F(IXShapeDrawerRender, NotebookRingsFollowTheSpinesLength)
{
    auto runs = [](const std::vector<bool>& painted) {
        int count = 0;
        for (size_t i = 0; i < painted.size(); ++i)
            if (painted[i] && (i == 0 || !painted[i - 1])) ++count;
        return count;
    };
    for (int length : {17, 18, 25, 26, 60}) {
        SCOPED_TRACE(length);
        const int expected = (length - 10) / 8;
        canvas = blank(100, 100);
        draw({10, 10, 60, float(length)}, *paintedStyle(7));
        std::vector<bool> column;
        for (int y = 0; y < 100; ++y) column.push_back(at(10, y).alpha() > 100);
        EXPECT_EQ(runs(column), expected) << "horizontal";

        canvas = blank(100, 100);
        draw({10, 10, float(length), 60}, *paintedStyle(8));
        std::vector<bool> row;
        for (int x = 0; x < 100; ++x) row.push_back(at(x, 70).alpha() > 100);
        EXPECT_EQ(runs(row), expected) << "vertical";
    }
}

TEST_F(IXShapeDrawerRender, ShapesTooSmallForTheirPartsDrawNothing)
{
    struct Case {
        int type;
        PLRect frame;
    };
    const std::vector<Case> cases = {
        {4, {10, 10, 50, 9.5f}}, {8, {10, 10, 50, 16.5f}}, {9, {10, 10, 50, 16.5f}}, {7, {10, 10, 16.5f, 50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        canvas = blank(80, 80);
        draw(c.frame, *paintedStyle(c.type));
        EXPECT_FALSE(anyPainted(canvas, 0, 0, 80, 80));
        // Half a unit more is enough to draw.
        draw({c.frame.minX(), c.frame.minY(), c.frame.width() + 0.5f, c.frame.height() + 0.5f}, *paintedStyle(c.type));
        EXPECT_TRUE(anyPainted(canvas, 0, 0, 80, 80));
    }
}

TEST_F(IXShapeDrawerRender, BorderlessFillNeedsMoreThanAHundredthOfAlpha)
{
    for (auto [alpha, painted] : {std::pair{0.01f, false}, std::pair{0.02f, true}, std::pair{1.0f, true}}) {
        SCOPED_TRACE(alpha);
        canvas = blank(40, 40);
        draw({5, 5, 30, 30}, *styleWith({{"branch.frame.fill.bgcolor1", colorValue(Fill.withAlpha(alpha))}}));
        EXPECT_EQ(anyPainted(canvas, 0, 0, 40, 40), painted);
        EXPECT_FALSE(paintedOutside(canvas, 6, 6, 34, 34));
    }
}

// The rounded square's caller-given colours: "fill" alone is solid; "fill" and "altfill"
// make the gradient; neither takes the style's gradient.
TEST_F(IXShapeDrawerRender, RoundedSquareTakesTheCallersFillColours)
{
    const PLColor red = PLColor::rgb(1, 0, 0), green = PLColor::rgb(0, 1, 0), blue = PLColor::rgb(0, 0, 1);
    const auto style = styleWith({{"branch.frame.type", IXStyleValue::integer(3)},
                                  {"branch.frame.fill.bgcolor1", colorValue(red)},
                                  {"branch.frame.fill.bgcolor2", colorValue(blue)},
                                  {"branch.frame.fill.angle", IXStyleValue::real(90)}});
    struct Case {
        IXShapeDrawer::Attributes attributes;
        QColor bottom, top;
    };
    const std::vector<Case> cases = {
        {{}, QColor(255, 0, 0), QColor(0, 0, 255)},
        {{green, std::nullopt, std::nullopt}, QColor(0, 255, 0), QColor(0, 255, 0)},
        {{green, red, std::nullopt}, QColor(0, 255, 0), QColor(255, 0, 0)},
    };
    for (const Case& c : cases) {
        canvas = blank(60, 60);
        draw({5, 5, 50, 50}, *style, c.attributes);
        EXPECT_TRUE(colorNear(at(30, 7), c.bottom, 20));
        EXPECT_TRUE(colorNear(at(30, 52), c.top, 20));
    }
}

// A square whose style sets no fill of its own takes its level's palette colour; one that
// does keeps its own.
TEST_F(IXShapeDrawerRender, SquareTakesThePaletteColourOfItsLevel)
{
    const PLColor first = PLColor::rgb(1, 0, 0), second = PLColor::rgb(0, 1, 0);
    struct Case {
        bool ownFill;
        int level;
        QColor expected;
    };
    const std::vector<Case> cases = {
        {false, 3, QColor(0, 255, 0)}, {false, 2, QColor(255, 0, 0)}, {true, 3, FillQ}, {false, 0, Clear},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        auto style = styleWith({{"branch.frame.type", IXStyleValue::integer(1)},
                                {"branch.frame.fill.bgcolor.count", IXStyleValue::integer(2)},
                                {"branch.frame.fill.bgcolor.[0]", colorValue(first)},
                                {"branch.frame.fill.bgcolor.[1]", colorValue(second)}});
        if (c.ownFill) style->setValue(colorValue(Fill), QStringLiteral("branch.frame.fill.bgcolor2"));
        if (c.ownFill) style->setValue(colorValue(Fill), QStringLiteral("branch.frame.fill.bgcolor1"));
        canvas = blank(40, 40);
        draw({5, 5, 30, 30}, *style, {std::nullopt, std::nullopt, c.level});
        EXPECT_TRUE(colorNear(at(20, 20), c.expected, 4));
    }
}

// Every shape on one sheet, in a two-colour gradient, saved to be looked at; each must draw
// something and stay within its frame (strokes may reach one unit beyond it).
TEST_F(IXShapeDrawerRender, EveryShapeStaysInItsFrame)
{
    const int cellWidth = 150, cellHeight = 110;
    QImage sheet = blank(cellWidth * 4, cellHeight * 3);
    sheet.fill(Qt::white);
    for (int type = 0; type <= 10; ++type) {
        SCOPED_TRACE(type);
        const auto style = styleWith({{"branch.frame.type", IXStyleValue::integer(type)},
                                      {"branch.frame.fill.bgcolor1", colorValue(PLColor::rgb(0.85f, 0.92f, 1))},
                                      {"branch.frame.fill.bgcolor2", colorValue(PLColor::rgb(0.55f, 0.72f, 0.95f))},
                                      {"branch.frame.line.color", colorValue(PLColor::rgb(0.15f, 0.25f, 0.45f))}});
        const PLRect frame(15, 15, 120, 80);
        QImage cell = blank(cellWidth, cellHeight);
        {
            PLGraphicsContext context(cell);
            IXShapeDrawer::drawShapeWithFrame(frame, *style);
        }
        EXPECT_TRUE(anyPainted(cell, 0, 0, cellWidth, cellHeight));
        // Outlines are stroked on the frame moved by half a unit, or on the frame itself.
        EXPECT_FALSE(paintedOutside(cell, 14, 14, 136, 96));
        QPainter painter(&sheet);
        painter.drawImage((type % 4) * cellWidth, (type / 4) * cellHeight, cell);
    }
    saveRender(sheet, QStringLiteral("frame-shapes"));
}

}  // namespace
