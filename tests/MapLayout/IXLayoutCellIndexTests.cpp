#include "MapLayout/IXLayoutCellIndex.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::vector<std::uint32_t> meetingByScan(const std::vector<PLRect>& rects, const PLRect& area)
{
    std::vector<std::uint32_t> found;
    for (std::uint32_t i = 0; i < rects.size(); ++i)
        if (rects[i].intersects(area)) found.push_back(i);
    return found;
}

// Many small boxes, nested groups as large as the map and empty rectangles, as a map has.
std::vector<PLRect> mapLikeRects(unsigned seed, int count)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> position(-5000, 5000);
    std::uniform_real_distribution<float> side(0, 200);
    std::vector<PLRect> rects;
    for (int i = 0; i < count; ++i) {
        switch (i % 10) {
        case 0: rects.emplace_back(position(random), position(random), 0, side(random)); break;
        case 1: rects.emplace_back(-5000 + i, -5000, 10000 - 2 * i, 10000); break;
        default: rects.emplace_back(position(random), position(random), side(random), side(random)); break;
        }
    }
    return rects;
}

TEST(IXLayoutCellIndexTests, FindsWhatAScanFindsInStackOrder)
{
    for (unsigned seed : {1u, 2u, 3u}) {
        for (int count : {0, 1, 7, 500, 5000}) {
            const std::vector<PLRect> rects = mapLikeRects(seed, count);
            const IXLayoutCellIndex index(rects);
            std::mt19937 random(seed + 100);
            std::uniform_real_distribution<float> position(-6000, 6000);
            std::uniform_real_distribution<float> side(0, 1500);
            for (int q = 0; q < 50; ++q) {
                const PLRect area(position(random), position(random), side(random), side(random));
                EXPECT_EQ(index.positionsMeeting(area), meetingByScan(rects, area)) << seed << " " << count << " " << q;
            }
            // Far outside, and empty areas, meet nothing but what spans them.
            EXPECT_EQ(index.positionsMeeting(PLRect(90000, 90000, 10, 10)), std::vector<std::uint32_t>());
            EXPECT_EQ(index.positionsMeeting(PLRect(0, 0, 0, 10)), std::vector<std::uint32_t>());
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

}  // namespace
