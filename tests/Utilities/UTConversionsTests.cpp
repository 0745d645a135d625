#include "Utilities/UTConversions.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <limits>

namespace {
constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float Inf = std::numeric_limits<float>::infinity();

void expectColor(const PLColor& actual, const PLColor& expected, const char* what)
{
    ASSERT_EQ(actual.space(), expected.space()) << what;
    for (int i = 0; i < expected.componentCount(); ++i)
        EXPECT_NEAR(actual.component(i), expected.component(i), 1e-6) << what << " component " << i;
}
}

TEST(UTConversions, IntegersAsDecimalText)
{
    EXPECT_EQ(UTConversions::stringFromInt(-2147483647 - 1), QStringLiteral("-2147483648"));
    EXPECT_EQ(UTConversions::stringFromInt(42), QStringLiteral("42"));
    EXPECT_EQ(UTConversions::stringFromUInt(4294967295u), QStringLiteral("4294967295"));
}

TEST(UTConversions, FloatTextHasAtMostFourDecimalsAndNoTrailingZeros)
{
    const struct {
        float value;
        const char* text;
    } table[] = {
        {1.5f, "1.5"},         {2, "2"},         {1.0f / 3, "0.3333"}, {-0.5f, "-0.5"},  {0, "0"},
        {100, "100"},          {0.1f, "0.1"},    {2.0f / 3, "0.6667"}, {0.00004f, "0"},  {123456.5f, "123456.5"},
        {-1e-5f, "-0"},        {1e20f, "100000002004087734272"},       {NaN, "0"},       {Inf, "0"},
        {-Inf, "0"},
    };
    for (const auto& row : table) EXPECT_EQ(UTConversions::ftoa(row.value), QLatin1String(row.text)) << row.value;
}

TEST(UTConversions, RoundedFloatTextRoundsHalvesToEven)
{
    const struct {
        float value;
        const char* text;
    } table[] = {{10.6f, "11"}, {-3.2f, "-3"}, {0.5f, "0"}, {1.5f, "2"}, {2.5f, "2"}, {-0.4f, "-0"}, {NaN, "0"}};
    for (const auto& row : table)
        EXPECT_EQ(UTConversions::stringFromRoundedFloat(row.value), QLatin1String(row.text)) << row.value;
}

TEST(UTConversions, NumberFormsIgnoreTheLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QByteArray previousNumeric = std::setlocale(LC_NUMERIC, nullptr);
    // Present only on machines with the German locale; the Qt default changes in any case.
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_EQ(UTConversions::ftoa(1.5f), QStringLiteral("1.5"));
    EXPECT_EQ(UTConversions::stringFromColor(PLColor::rgb(0.5f, 0.25f, 1)), QStringLiteral("0.5,0.25,1"));
    std::array<float, 2> values{};
    UTConversions::parseFloats("1.5,2.25", values, 0);
    EXPECT_EQ(values, (std::array<float, 2>{1.5f, 2.25f}));
    std::setlocale(LC_NUMERIC, previousNumeric.constData());
    QLocale::setDefault(previous);
}

TEST(UTConversions, ParseFloatsReadsNumbersBetweenAnySeparators)
{
    const struct {
        QByteArray text;
        float missing;
        std::array<float, 3> expected;
    } table[] = {
        {"10,20", 0, {10, 20, 0}},
        {"10", 0, {10, 0, 0}},
        {"abc10", 0, {0, 10, 0}},
        {"", 7, {7, 7, 7}},
        {"no numbers", 1, {1, 1, 1}},
        {"{12.5, -3}", 0, {0, 12.5f, -3}},
        {" 1.5e2x-3;+4", 0, {150, -3, 4}},
        {"1-2", 0, {1, -2, 0}},
        {"1..2", 0, {1, 0.2f, 0}},
        {"-.5,.25", 0, {-0.5f, 0.25f, 0}},
        {"-x5", 0, {0, 5, 0}},
        {"+-5,6", 0, {0, -5, 6}},
        {"nan,inf,1e99", 9, {0, 0, 9}}, // letters are skipped as separators
        {"1e-99,0x10,2", 0, {0, 0, 10}},
        {QByteArray("1\0" "2,3", 5), 9, {1, 9, 9}},
    };
    for (const auto& row : table) {
        std::array<float, 3> values{-1, -1, -1};
        UTConversions::parseFloats(row.text, values, row.missing);
        for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(values[i], row.expected[i]) << row.text.constData() << " #" << i;
    }
}

TEST(UTConversions, ColorTextForms)
{
    const struct {
        PLColor color;
        const char* text;
    } table[] = {
        {PLColor::rgb(1, 1, 1), "1,1,1"},
        {PLColor::rgb(1, 0.5f, 0), "1,0.5,0"},
        {PLColor::rgb(1, 1, 1, 0.5f), "1,1,1,0.5"},
        {PLColor::rgb(0.2f, 0.4f, 0.6f, 0.9999f), "0.2,0.4,0.6,0.9999"},
        {PLColor::rgb(0.3333f, 0.125f, 0.0001f, 0), "0.3333,0.125,0.0001,0"},
        {PLColor::grey(0.5f, 0.5f), "g:0.5,0.5"},
        {PLColor::grey(0.25f), "g:0.25,1"},
        {PLColor::cmyk(0.1f, 0.2f, 0.3f, 0.4f, 1), "cmyk:0.1,0.2,0.3,0.4,1"},
        {PLColor::cmyk(0, 0, 0, 1, 0.75f), "cmyk:0,0,0,1,0.75"},
    };
    for (const auto& row : table) {
        const QString text = UTConversions::stringFromColor(row.color);
        EXPECT_EQ(text, QLatin1String(row.text));
        // Values with four decimals or fewer come back exactly.
        EXPECT_EQ(UTConversions::colorFromString(text), row.color) << row.text;
    }
    // Other values lose their fifth decimal once and are stable from then on.
    const QString third = UTConversions::stringFromColor(PLColor::grey(1.0f / 3, 2.0f / 3));
    EXPECT_EQ(third, QStringLiteral("g:0.3333,0.6667"));
    EXPECT_EQ(UTConversions::stringFromColor(UTConversions::colorFromString(third)), third);
    EXPECT_EQ(UTConversions::stringFromColor(PLColor::rgb(1, 1, 1, 0.99995f)), QStringLiteral("1,1,1"));
    EXPECT_TRUE(UTConversions::stringFromColor(PLColor()).isNull());
}

TEST(UTConversions, ColorFromStringReadsEverySpaceAndPinsOddValues)
{
    const struct {
        QString text;
        PLColor expected;
    } table[] = {
        {"g:0.25", PLColor::grey(0.25f, 1)},
        {"g:0.5,0.5", PLColor::grey(0.5f, 0.5f)},
        {"g:", PLColor::grey(1, 1)},
        {"rgb:1,0.5,0", PLColor::rgb(1, 0.5f, 0, 1)},
        {"1, 0.5, 0", PLColor::rgb(1, 0.5f, 0, 1)},
        {"0.5", PLColor::rgb(0.5f, 1, 1, 1)},
        {"cmyk:0,0,0,1", PLColor::cmyk(0, 0, 0, 1, 1)},
        {"cm", PLColor::cmyk(1, 1, 1, 1, 1)},
        {"", PLColor::rgb(1, 1, 1, 1)},
        {"no numbers", PLColor::rgb(1, 1, 1, 1)},
        {"2,-1,0.5,7", PLColor::rgb(1, 0, 0.5f, 1)},
        {"nan,inf,1e99", PLColor::rgb(0, 0, 1, 1)},
        {"x:0.5,0.25,0", PLColor::rgb(0.5f, 0.25f, 0, 1)},
    };
    for (const auto& row : table) expectColor(UTConversions::colorFromString(row.text), row.expected, qPrintable(row.text));
    EXPECT_TRUE(UTConversions::colorFromString(QString()).isNull());
    EXPECT_TRUE(UTConversions::colorFromString(QString::fromUtf8("1,0,0\u00e9")).isNull());
    expectColor(UTConversions::colorFromString(QStringLiteral("0.5,0.5") + QChar(0) + QStringLiteral(",0")),
                PLColor::rgb(0.5f, 0.5f, 1, 1), "embedded NUL");
}

TEST(UTConversions, HexColors)
{
    EXPECT_EQ(UTConversions::hexRGBFromColor(PLColor::rgb(1, 0.5f, 0)), QStringLiteral("FF7F00"));
    EXPECT_EQ(UTConversions::hexRGBFromColor(PLColor::rgb(0.999f, 0, 0)), QStringLiteral("FE0000"));
    EXPECT_EQ(UTConversions::hexRGBFromColor(PLColor::grey(1, 0)), QStringLiteral("FFFFFF"));
    EXPECT_EQ(UTConversions::hexRGBFromColor(PLColor::cmyk(0, 1, 1, 0)), QStringLiteral("FF0000"));
    EXPECT_EQ(UTConversions::hexRGBFromColor(PLColor()), QStringLiteral(""));

    const struct {
        const char* text;
        std::uint32_t rgb;
    } table[] = {
        {"FF8000", 0xFF8000}, {"ff", 0x0000FF},        {"0x00ff00", 0x00FF00},   {"  12ab34zz", 0x12AB34},
        {"ZZ", 0x000000},     {"12345678FF", 0xFFFFFF}, {"0x", 0x000000},
    };
    for (const auto& row : table) {
        const PLColor color = UTConversions::colorFromHexRGB(QString::fromLatin1(row.text));
        expectColor(color, UTConversions::colorWithRawRGB(row.rgb), row.text);
    }
    // Only 39 characters are read: 37 zeros and "FF" of "FFFFFF".
    expectColor(UTConversions::colorFromHexRGB(QString(37, QLatin1Char('0')) + QStringLiteral("FFFFFF")),
                UTConversions::colorWithRawRGB(0x0000FF), "39 characters");
    EXPECT_TRUE(UTConversions::colorFromHexRGB(QString()).isNull());
    // Every channel value survives a trip through hex despite the truncation.
    for (unsigned v = 0; v < 256; ++v) {
        const QString hex = QStringLiteral("%1%1%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
        EXPECT_EQ(UTConversions::hexRGBFromColor(UTConversions::colorFromHexRGB(hex)), hex);
    }
}

TEST(UTConversions, PackedColors)
{
    const PLColor argb = UTConversions::colorWithRawARGB(0x80FF4000);
    expectColor(argb, PLColor::rgb(1, 64 / 255.0f, 0, 128 / 255.0f), "argb");
    EXPECT_EQ(UTConversions::rawARGB(argb), 0x80FF4000u);
    expectColor(UTConversions::colorWithRawRGB(0xFF123456), PLColor::rgb(0x12 / 255.0f, 0x34 / 255.0f, 0x56 / 255.0f, 1), "rgb");
    EXPECT_EQ(UTConversions::rawRGB(PLColor::rgb(0.999f, 0, 0)), 0xFF0000u);
    EXPECT_EQ(UTConversions::rawRGB(PLColor::grey(0.5f)), 0x808080u);
    EXPECT_EQ(UTConversions::rawARGB(PLColor::cmyk(0, 0, 1, 0, 0)), 0x00FFFF00u);
    EXPECT_EQ(UTConversions::rawARGB(PLColor()), 0u);
    for (std::uint32_t value : {0x00000000u, 0xFFFFFFFFu, 0x01020304u, 0x7F80FE01u})
        EXPECT_EQ(UTConversions::rawARGB(UTConversions::colorWithRawARGB(value)), value);
}
