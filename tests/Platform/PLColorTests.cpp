#include "Platform/Drawing/PLColor.h"

#include <QColor>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {
void expectComponents(const PLColor& color, PLColor::Space space, std::initializer_list<float> expected)
{
    ASSERT_EQ(color.space(), space);
    ASSERT_EQ(color.componentCount(), int(expected.size()));
    int i = 0;
    for (float value : expected) {
        EXPECT_NEAR(color.component(i), value, 1e-6) << "component " << i;
        ++i;
    }
}
}

TEST(PLColor, ComponentsArePinnedToTheUnitRange)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    expectComponents(PLColor::rgb(1.5f, -0.2f, nan, inf), PLColor::Space::RGB, {1, 0, 0, 1});
    expectComponents(PLColor::grey(-inf, 2), PLColor::Space::Grey, {0, 1});
    expectComponents(PLColor::cmyk(0.1f, 0.2f, 0.3f, 0.4f, 0.5f), PLColor::Space::CMYK, {0.1f, 0.2f, 0.3f, 0.4f, 0.5f});
    EXPECT_EQ(PLColor::rgb(0.2f, 0.4f, 0.6f).withAlpha(7).alpha(), 1);
}

TEST(PLColor, NoColourStaysNoColour)
{
    const PLColor none;
    EXPECT_TRUE(none.isNull());
    EXPECT_EQ(none.componentCount(), 0);
    EXPECT_EQ(none.component(0), 0);
    EXPECT_TRUE(none.toRGB().isNull());
    EXPECT_TRUE(none.shadow(0.5f).isNull());
    EXPECT_TRUE(PLColor::white().blended(0.5f, none).isNull());
    EXPECT_FALSE(none.toQColor().isValid());
    EXPECT_TRUE(PLColor::fromQColor(QColor()).isNull());
}

TEST(PLColor, ConvertsToRGB)
{
    expectComponents(PLColor::grey(0.25f, 0.5f).toRGB(), PLColor::Space::RGB, {0.25f, 0.25f, 0.25f, 0.5f});
    expectComponents(PLColor::cmyk(1, 0, 0.5f, 0.2f, 0.75f).toRGB(), PLColor::Space::RGB, {0, 0.8f, 0.4f, 0.75f});
    EXPECT_NEAR(PLColor::cmyk(0, 0.5f, 0, 0).greenComponent(), 0.5f, 1e-6);
}

TEST(PLColor, ShadowAndHighlightStayInTheirSpaceAndKeepAlpha)
{
    const struct {
        PLColor color;
        bool shadow;
        PLColor expected;
    } table[] = {
        {PLColor::grey(0.5f, 0.4f), true, PLColor::grey(0.4f, 0.4f)},
        {PLColor::grey(0.5f, 0.4f), false, PLColor::grey(0.75f, 0.4f)},
        {PLColor::rgb(1, 0.5f, 0), true, PLColor::rgb(0.8f, 0.4f, 0)},
        {PLColor::rgb(1, 0.5f, 0), false, PLColor::rgb(1, 0.75f, 0.5f)},
        {PLColor::cmyk(0.2f, 0, 0, 0.5f, 0.3f), true, PLColor::cmyk(0.16f, 0, 0, 0.6f, 0.3f)},
        {PLColor::cmyk(0.2f, 0, 0, 0.5f, 0.3f), false, PLColor::cmyk(0.1f, 0, 0, 0.25f, 0.3f)},
    };
    for (const auto& row : table) {
        const PLColor result = row.shadow ? row.color.shadow(0.2f) : row.color.highlight(0.5f);
        ASSERT_EQ(result.space(), row.expected.space());
        for (int i = 0; i < result.componentCount(); ++i)
            EXPECT_NEAR(result.component(i), row.expected.component(i), 1e-6) << i;
    }
}

TEST(PLColor, BlendsAcrossSpacesInRGBAndBlendsAlpha)
{
    // Half-and-half window frame and white, as the page preview draws its surround.
    expectComponents(PLColor::grey(0.6f).blended(0.5f, PLColor::grey(1)), PLColor::Space::Grey, {0.8f, 1});
    expectComponents(PLColor::grey(0, 0).blended(0.5f, PLColor::rgb(1, 0, 0.5f)), PLColor::Space::RGB,
                     {0.5f, 0, 0.25f, 0.5f});
    expectComponents(PLColor::rgb(0, 0, 0).blended(2, PLColor::rgb(1, 1, 1)), PLColor::Space::RGB, {1, 1, 1, 1});
}

TEST(PLColor, EqualityIncludesTheSpace)
{
    EXPECT_EQ(PLColor::rgb(0.1f, 0.2f, 0.3f), PLColor::rgb(0.1f, 0.2f, 0.3f));
    EXPECT_NE(PLColor::rgb(0, 0, 0), PLColor::black());
    EXPECT_NE(PLColor::grey(0.5f), PLColor::grey(0.5f, 0.5f));
    EXPECT_EQ(PLColor(), PLColor());
}

TEST(PLColor, PaintsThroughQColor)
{
    const QColor grey = PLColor::grey(0.5f, 0.25f).toQColor();
    EXPECT_NEAR(grey.redF(), 0.5, 1e-4); // QColor keeps 16 bits per channel
    EXPECT_NEAR(grey.blueF(), 0.5, 1e-4);
    EXPECT_NEAR(grey.alphaF(), 0.25, 1e-4);
    const PLColor cmyk = PLColor::fromQColor(PLColor::cmyk(0.1f, 0.2f, 0.3f, 0.4f, 1).toQColor());
    ASSERT_EQ(cmyk.space(), PLColor::Space::CMYK);
    EXPECT_NEAR(cmyk.component(2), 0.3f, 1e-3);
    const PLColor rgb = PLColor::fromQColor(QColor(255, 128, 0, 51));
    expectComponents(rgb, PLColor::Space::RGB, {1, 128 / 255.0f, 0, 0.2f});
}

TEST(PLColor, EverySystemColourIsDefined)
{
    for (int i = 0; i <= int(PLColor::System::TextBackground); ++i)
        EXPECT_FALSE(PLColor::system(PLColor::System(i)).isNull()) << i;
}
