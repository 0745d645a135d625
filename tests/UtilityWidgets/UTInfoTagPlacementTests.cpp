// Where the info tag goes next to a rectangle of a view and how it is kept on its screen.
#include "UtilityWidgets/UTInfoTagPlacement.h"

#include <gtest/gtest.h>

namespace {

enum class Way { RightSide, Below, Aligned };

struct PlacementCase {
    const char* name;
    Way way;
    QRectF rect;
    QSizeF tag;
    QSizeF view;
    QPointF expected;
};

QPointF place(const PlacementCase& c)
{
    switch (c.way) {
    case Way::RightSide: return UTInfoTagPlacement::rightSideOfRect(c.rect, c.tag);
    case Way::Below: return UTInfoTagPlacement::belowRect(c.rect, c.tag);
    case Way::Aligned: return UTInfoTagPlacement::alignedRelativeToRect(c.rect, c.tag, c.view);
    }
    return {};
}

TEST(UTInfoTagPlacement, PlacesTheTagNextToTheRectangle)
{
    const QSizeF view(200, 200);
    const PlacementCase cases[] = {
        {"beside a shorter rectangle, tops aligned", Way::RightSide, {10, 20, 30, 10}, {50, 24}, view, {40, 20}},
        {"beside a rectangle as tall as the tag, tops aligned", Way::RightSide, {10, 20, 30, 24}, {50, 24}, view, {40, 20}},
        {"beside a taller rectangle, centred (odd height floors)", Way::RightSide, {10, 20, 30, 60}, {50, 25}, view, {40, 38}},
        {"below, centred, 2 under (odd width floors)", Way::Below, {10, 20, 30, 10}, {51, 20}, view, {0, 32}},
        {"aligned: fits below", Way::Aligned, {10, 20, 30, 10}, {50, 20}, view, {10, 30}},
        {"aligned: no room below goes above, a third left of the middle", Way::Aligned, {30, 170, 30, 20}, {60, 20}, view, {25, 150}},
        {"aligned: above lands on whole units", Way::Aligned, {30.5, 170.5, 31, 20}, {61, 20}, view, {25, 150}},
        {"aligned: past the right edge moves left", Way::Aligned, {180, 20, 10, 10}, {50, 20}, view, {150, 30}},
        {"aligned: above and moved left", Way::Aligned, {190, 170, 10, 20}, {60, 20}, view, {140, 150}},
        {"aligned: past the left edge starts at it", Way::Aligned, {-30, 20, 20, 10}, {50, 20}, view, {0, 30}},
        {"aligned: no room above or below stays below", Way::Aligned, {10, 10, 20, 30}, {40, 20}, {200, 50}, {10, 40}},
        {"aligned: a tag larger than the view stays below", Way::Aligned, {5, 5, 10, 10}, {50, 20}, {40, 40}, {5, 15}},
    };
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(place(c), c.expected);
    }
}

TEST(UTInfoTagPlacement, KeepsTheFrameOnItsScreen)
{
    const QRect screen(0, 0, 800, 600);
    const QRect shifted(1000, 50, 800, 600);
    struct Case {
        const char* name;
        QRect frame;
        QRect screen;
        QPoint expected;
    } cases[] = {
        {"inside stays", {100, 100, 60, 20}, screen, {100, 100}},
        {"past the right edge ends 5 inside", {780, 100, 60, 20}, screen, {735, 100}},
        {"past the left edge starts at it", {-20, 100, 60, 20}, screen, {0, 100}},
        {"past the top starts 5 inside", {100, -10, 60, 20}, screen, {100, 5}},
        {"past the bottom ends at it", {100, 590, 60, 20}, screen, {100, 580}},
        {"past two edges moves both ways", {790, 595, 60, 20}, screen, {735, 580}},
        {"a screen further right and down", {1790, 40, 60, 20}, shifted, {1735, 55}},
        {"5 inside would pass the left edge: flush", {10, 100, 60, 20}, {0, 0, 62, 600}, {0, 100}},
        {"wider than the screen keeps x", {-50, 100, 900, 20}, screen, {-50, 100}},
        {"taller than the screen keeps y", {100, -50, 60, 700}, screen, {100, -50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QRect kept = UTInfoTagPlacement::keptOnScreen(c.frame, c.screen);
        EXPECT_EQ(kept.topLeft(), c.expected);
        EXPECT_EQ(kept.size(), c.frame.size());
    }
}

} // namespace
