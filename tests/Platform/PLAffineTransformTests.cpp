#include "Platform/Drawing/PLAffineTransform.h"

#include <QPointF>
#include <QTransform>

#include <gtest/gtest.h>

namespace {

void expectNear(PLPoint actual, PLPoint expected, const char* what)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-4) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-4) << what;
}

}  // namespace

// Each building call acts on points before what the transform already does.
TEST(PLAffineTransform, CallsActOnPointsBeforeEarlierOnes)
{
    PLAffineTransform translateThenScale;
    translateThenScale.translateXBy(10, 0);
    translateThenScale.scaleXBy(2, 3);
    expectNear(translateThenScale.transformPoint({1, 1}), {12, 3}, "scale first, then translate");

    PLAffineTransform aboutCentre;  // rotate 90 degrees about (10, 10)
    aboutCentre.translateXBy(10, 10);
    aboutCentre.rotateByDegrees(90);
    aboutCentre.translateXBy(-10, -10);
    struct Case {
        PLPoint in, out;
    } cases[] = {{{20, 10}, {10, 20}}, {{10, 10}, {10, 10}}, {{10, 0}, {20, 10}}};
    for (const Case& c : cases) expectNear(aboutCentre.transformPoint(c.in), c.out, "rotation about a centre");
    // Quarter turns are exact, so rotated rectangles stay on whole points.
    EXPECT_EQ(aboutCentre.transformPoint({20, 10}), PLPoint(10, 20));
}

TEST(PLAffineTransform, AppendPrependInvertAndSizes)
{
    PLAffineTransform move;
    move.translateXBy(5, -5);
    PLAffineTransform twice;
    twice.scaleBy(2);

    PLAffineTransform appended = move;
    appended.appendTransform(twice);  // move, then double
    expectNear(appended.transformPoint({1, 1}), {12, -8}, "append");
    PLAffineTransform prepended = move;
    prepended.prependTransform(twice);  // double, then move
    expectNear(prepended.transformPoint({1, 1}), {7, -3}, "prepend");

    PLAffineTransform inverse = appended;
    ASSERT_TRUE(inverse.invert());
    expectNear(inverse.transformPoint(appended.transformPoint({3, 4})), {3, 4}, "inverse");
    PLAffineTransform singular;
    singular.scaleXBy(0, 1);
    EXPECT_FALSE(singular.invert());

    // Sizes ignore the translation.
    EXPECT_EQ(appended.transformSize({3, 4}), PLSize(6, 8));
    PLAffineTransform turn;
    turn.rotateByDegrees(90);
    EXPECT_EQ(turn.transformSize({3, 4}), PLSize(-4, 3));

    // Qt maps points the same way.
    const QPointF q = appended.toQTransform().map(QPointF(1, 1));
    EXPECT_NEAR(q.x(), 12, 1e-4);
    EXPECT_NEAR(q.y(), -8, 1e-4);
}
