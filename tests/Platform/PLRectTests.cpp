#include "Platform/Drawing/PLRect.h"

#include <QRectF>

#include <gtest/gtest.h>

TEST(PLRect, ContainmentIsHalfOpen)
{
    const PLRect r(0, 0, 10, 20);
    struct Case {
        PLPoint p;
        bool inside;
    } cases[] = {
        {{0, 0}, true}, {{9.99f, 19.99f}, true}, {{10, 5}, false}, {{5, 20}, false}, {{-0.01f, 5}, false},
    };
    for (const Case& c : cases) EXPECT_EQ(r.containsPoint(c.p), c.inside) << c.p.x << "," << c.p.y;
    EXPECT_FALSE(PLRect(0, 0, 0, 5).containsPoint({0, 0}));
}

TEST(PLRect, UnionSkipsEmptyRectangles)
{
    const PLRect a(0, 0, 10, 10);
    EXPECT_EQ(a.united(PLRect(100, 100, 0, 50)), a);
    EXPECT_EQ(PLRect(-5, -5, 0, 0).united(a), a);
    EXPECT_EQ(a.united(PLRect(20, -5, 5, 5)), PLRect(0, -5, 25, 15));
    EXPECT_EQ(PLRect().united(PLRect()), PLRect());
}

TEST(PLRect, IntegralRoundsOutward)
{
    EXPECT_EQ(PLRect(0.5f, -0.5f, 1.2f, 1.0f).integral(), PLRect(0, -1, 2, 2));
    EXPECT_EQ(PLRect(1, 1, 3, 3).integral(), PLRect(1, 1, 3, 3));
    EXPECT_EQ(PLRect(1, 1, 0, 3).integral(), PLRect());
}

TEST(PLRect, IntersectionInsetAndFlip)
{
    EXPECT_EQ(PLRect(0, 0, 10, 10).intersected(PLRect(5, 5, 10, 10)), PLRect(5, 5, 5, 5));
    EXPECT_EQ(PLRect(0, 0, 10, 10).intersected(PLRect(10, 0, 10, 10)), PLRect());
    EXPECT_EQ(PLRect(0, 0, 10, 10).insetBy(2, 3), PLRect(2, 3, 6, 4));
    EXPECT_EQ(PLRect(0, 0, 10, 10).insetBy(6, 0), PLRect());
    // y-up rectangle at the bottom of a 100-high space sits at the bottom in Qt's y-down space.
    EXPECT_EQ(PLRect(10, 0, 20, 30).toQtRect(100), QRectF(10, 70, 20, 30));
}
