#include "MapLayout/IXLayoutCellIndex.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

namespace {

std::vector<std::uint32_t> meetingByScan(const std::vector<PLRect>& rects, const PLRect& area)
{
    std::vector<std::uint32_t> found;
    for (std::uint32_t i = 0; i < rects.size(); ++i)
        if (rects[i].intersects(area)) found.push_back(i);
    return found;
}

// Many small boxes, nested groups as large as the map and empty rectangles, as a map has,
// over an extent of the given shape (a big mind map is hundreds of times taller than wide).
std::vector<PLRect> mapLikeRects(unsigned seed, int count, float width = 10000, float height = 10000)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> x(-width / 2, width / 2);
    std::uniform_real_distribution<float> y(-height / 2, height / 2);
    std::uniform_real_distribution<float> side(0, 200);
    std::vector<PLRect> rects;
    for (int i = 0; i < count; ++i) {
        switch (i % 10) {
        case 0: rects.emplace_back(x(random), y(random), 0, side(random)); break;
        case 1: rects.emplace_back(-width / 2 + i, -height / 2, std::max(1.0f, width - 2 * i), height); break;
        default: rects.emplace_back(x(random), y(random), side(random), side(random)); break;
        }
    }
    return rects;
}

TEST(IXLayoutCellIndexTests, FindsWhatAScanFindsInStackOrder)
{
    struct Shape {
        float width, height;
    };
    for (Shape shape : {Shape{10000, 10000}, Shape{2000, 400000}, Shape{400000, 900}}) {
        for (unsigned seed : {1u, 2u, 3u}) {
            for (int count : {0, 1, 7, 500, 5000}) {
                const std::vector<PLRect> rects = mapLikeRects(seed, count, shape.width, shape.height);
                const IXLayoutCellIndex index(rects);
                std::mt19937 random(seed + 100);
                std::uniform_real_distribution<float> x(-shape.width * 0.6f, shape.width * 0.6f);
                std::uniform_real_distribution<float> y(-shape.height * 0.6f, shape.height * 0.6f);
                std::uniform_real_distribution<float> side(0, 1500);
                for (int q = 0; q < 50; ++q) {
                    const PLRect area(x(random), y(random), side(random), side(random));
                    EXPECT_EQ(index.positionsMeeting(area), meetingByScan(rects, area))
                        << shape.width << "x" << shape.height << " " << seed << " " << count << " " << q;
                }
                // Far outside, and empty areas, meet nothing but what spans them.
                EXPECT_EQ(index.positionsMeeting(PLRect(90000, 90000, 10, 10)), std::vector<std::uint32_t>());
                EXPECT_EQ(index.positionsMeeting(PLRect(0, 0, 0, 10)), std::vector<std::uint32_t>());
            }
        }
    }
}

TEST(IXLayoutCellIndexTests, PointsFindEveryRectangleHoldingThemIncludingEdges)
{
    const std::vector<PLRect> rects = mapLikeRects(7, 3000);
    const IXLayoutCellIndex index(rects);
    std::mt19937 random(8);
    std::uniform_real_distribution<float> position(-5000, 5000);
    std::vector<PLPoint> points;
    for (int i = 0; i < 200; ++i) points.emplace_back(position(random), position(random));
    // Corners of some rectangles: min corners are inside, max corners only near.
    for (int i = 2; i < 40; ++i) {
        points.push_back(rects[i].origin);
        points.emplace_back(rects[i].maxX(), rects[i].maxY());
    }
    for (PLPoint p : points) {
        const std::vector<std::uint32_t> near = index.positionsNear(p, 0.01f);
        for (std::uint32_t i = 0; i < rects.size(); ++i) {
            if (!rects[i].containsPoint(p)) continue;
            EXPECT_TRUE(std::binary_search(near.begin(), near.end(), i)) << p.x << "," << p.y << " misses " << i;
        }
    }
}

TEST(IXLayoutCellIndexTests, RectanglesFarBeyondAnyMapOrNotFiniteAreFoundAsAScanFindsThem)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // A map's boxes beside one cell pushed to 1e20 (the grid's extent would ask for billions
    // of tiles), one stretched over the whole float range and ones that are not finite.
    const std::vector<std::vector<PLRect>> cases = {
        {PLRect(0, 0, 100, 20), PLRect(1e20f, 0, 100, 20), PLRect(0, 30, 100, 20)},
        {PLRect(0, 0, 100, 20), PLRect(0, -1e20f, 100, 20), PLRect(-3e38f, -3e38f, 3e38f, 3e38f)},
        {PLRect(0, 0, 100, 20), PLRect(inf, 0, 10, 10), PLRect(0, 0, inf, 10), PLRect(nan, 0, 10, 10),
         PLRect(-inf, -inf, inf, inf), PLRect(40, 5, 10, 10)},
        {PLRect(0, 0, 1e-30f, 1e-30f), PLRect(1e30f, 1e30f, 1e-30f, 1e-30f)},
    };
    const std::vector<PLRect> areas = {PLRect(-10, -10, 200, 100), PLRect(1e20f - 10, 0, 50, 50),
                                       PLRect(0, -1e20f, 10, 10), PLRect(45, 8, 1, 1),
                                       PLRect(-1e38f, -1e38f, 2e38f, 2e38f)};
    for (std::size_t c = 0; c < cases.size(); ++c) {
        const IXLayoutCellIndex index(cases[c]);
        // Twice: the first question is answered by a pass, the next ones by the grid.
        for (int round = 0; round < 3; ++round)
            for (const PLRect& area : areas)
                EXPECT_EQ(index.positionsMeeting(area), meetingByScan(cases[c], area)) << c << " " << round;
    }
}

}  // namespace
