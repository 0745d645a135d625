#include "Utilities/UTGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(UTGeometry, DistanceToSegment)
{
    const struct {
        PLPoint p, a, b;
        float distance;
    } table[] = {
        {{5, 3}, {0, 0}, {10, 0}, 3},             // above the middle: perpendicular
        {{5, -3}, {0, 0}, {10, 0}, 3},            // below, same distance
        {{0, 4}, {0, 0}, {10, 0}, 4},             // above an end (r = 0)
        {{13, 4}, {0, 0}, {10, 0}, 5},            // beyond b: to the end
        {{-3, -4}, {0, 0}, {10, 0}, 5},           // before a
        {{3, 4}, {1, 1}, {1, 1}, std::sqrt(13.0f)}, // zero-length segment
        {{1, 1}, {0, 0}, {2, 2}, 0},              // on a diagonal
        {{0, 2}, {0, 0}, {2, 2}, std::sqrt(2.0f)},
    };
    for (const auto& row : table)
        EXPECT_NEAR(UTGeometry::distanceToSegment(row.p, row.a, row.b), row.distance, 1e-5)
            << row.p.x << "," << row.p.y;
}

TEST(UTGeometry, DistanceToRect)
{
    const PLRect rect(10, 20, 30, 40); // x 10...40, y 20...60
    const struct {
        PLPoint p;
        float distance;
    } table[] = {
        {{20, 30}, 0}, {{10, 20}, 0},  // inside, and the min corner
        {{43, 60}, 3},                 // 3 right of the top-right corner, level with it
        {{40, 30}, 0}, {{25, 60}, 0},  // on the max edges (not inside, but on an edge)
        {{25, 10}, 10}, {{0, 40}, 10}, // below, left
        {{43, 64}, 5},                 // diagonal off a corner
    };
    for (const auto& row : table)
        EXPECT_NEAR(UTGeometry::distanceToRect(row.p, rect), row.distance, 1e-5) << row.p.x << "," << row.p.y;
}

TEST(UTGeometry, Quadrant)
{
    const PLPoint c(10, 10);
    const struct {
        PLPoint p;
        int quadrant;
    } table[] = {
        {{5, 15}, 1}, {{5, 5}, 2}, {{15, 5}, 3}, {{15, 15}, 0}, // the four quarters, y up
        {{10, 15}, 0}, {{10, 5}, 0}, {{5, 10}, 0}, {{15, 10}, 0}, {{10, 10}, 0}, // on an axis
    };
    for (const auto& row : table) EXPECT_EQ(UTGeometry::quadrant(c, row.p), row.quadrant) << row.p.x << "," << row.p.y;
}
