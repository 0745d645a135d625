#include "Platform/Drawing/PLBezierPath.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "RenderTestSupport.h"

using PLBezierPathGradientTest = RenderTest;

// Black to white across the square (10, 10, 80, 80): which end is dark, for each angle.
TEST_F(PLBezierPathGradientTest, GradientAtAnAngleSpansThePath)
{
    struct Case {
        float angle;
        QPoint dark, light;  // y-up pixels near the ends
    } cases[] = {
        {0, {11, 50}, {88, 50}},   {90, {50, 11}, {50, 88}},  {450, {50, 11}, {50, 88}},
        {-90, {50, 88}, {50, 11}}, {180, {88, 50}, {11, 50}}, {270, {50, 88}, {50, 11}},
        {45, {11, 11}, {88, 88}},  {-135, {88, 88}, {11, 11}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        canvas.fill(Qt::transparent);
        PLGraphicsContext context(canvas);
        PLBezierPath::bezierPathWithRect({10, 10, 80, 80}).fillGradientFrom(PLColor::black(), PLColor::white(), c.angle);
        EXPECT_LT(at(c.dark.x(), c.dark.y()).red(), 12);
        EXPECT_GT(at(c.light.x(), c.light.y()).red(), 243);
        EXPECT_TRUE(colorNear(at(50, 50), QColor(128, 128, 128), 6));
        // Clipped to the path.
        EXPECT_TRUE(colorNear(at(5, 50), QColor(0, 0, 0, 0)));
        EXPECT_TRUE(colorNear(at(95, 95), QColor(0, 0, 0, 0)));
    }
}

TEST_F(PLBezierPathGradientTest, GradientBetweenPointsBlendsRGBAAndStopsAtItsEnds)
{
    PLGraphicsContext context(canvas);
    context.setColor(PLColor::red());
    const PLBezierPath square = PLBezierPath::bezierPathWithRect({0, 0, 100, 100});
    square.fillGradientFromPoint({20, 0}, {80, 0}, PLColor::rgb(0, 0, 1, 1), PLColor::rgb(0, 1, 0, 0));
    EXPECT_TRUE(colorNear(at(20, 50), QColor(0, 0, 255), 6));
    EXPECT_TRUE(colorNear(at(50, 50), QColor(0, 128, 128, 128), 6));
    EXPECT_TRUE(colorNear(at(10, 50), QColor(0, 0, 0, 0)));  // nothing beyond the ends
    EXPECT_TRUE(colorNear(at(90, 50), QColor(0, 0, 0, 0)));
    // The clip of the fill does not outlive it.
    EXPECT_EQ(context.color(), PLColor::red());
    context.fillRect({0, 0, 5, 5});
    EXPECT_TRUE(colorNear(at(2, 2), QColor(255, 0, 0)));
}
