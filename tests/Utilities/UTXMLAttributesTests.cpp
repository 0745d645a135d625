#include "Platform/Core/PLAssert.h"
#include "Platform/XML/PLXMLDocument.h"
#include "Utilities/UTXMLAttributes.h"

#include <gtest/gtest.h>

#include <climits>

namespace {
// An element holding one attribute "v" with the given text, or none for a null text.
struct OneAttribute {
    PLXMLDocument document{"e"};
    explicit OneAttribute(const char* text)
    {
        if (text) document.rootElement().setAttribute("v", QString::fromUtf8(text));
    }
    PLXMLElement element() const { return document.rootElement(); }
};
}

TEST(UTXMLAttributes, FlagsAcceptOnlyTheExactWords)
{
    const struct {
        const char* text;
        int expected; // 1 yes, 0 no, -1 the default
    } table[] = {
        {"1", 1},  {"yes", 1},   {"true", 1},  {"0", 0},    {"no", 0},     {"false", 0},
        {"YES", -1}, {"True", -1}, {" 1", -1}, {"2", -1},   {"", -1},      {nullptr, -1},
    };
    for (const auto& row : table) {
        const OneAttribute a(row.text);
        for (bool fallback : {false, true}) {
            const bool expected = row.expected < 0 ? fallback : row.expected == 1;
            EXPECT_EQ(UTXMLAttributes::boolValueForAttribute(a.element(), "v", fallback), expected)
                << (row.text ? row.text : "(missing)") << " default " << fallback;
        }
    }
}

TEST(UTXMLAttributes, IntegerReaders)
{
    const struct {
        const char* text;
        int asInt;
        long long asLongLong;
        unsigned asUnsigned;
    } table[] = {
        // Default: int -9, long long -99, unsigned 99.
        {nullptr, -9, -99, 99},
        {"", -9, -99, 99},
        {"12abc", 12, 12, 12},
        {"abc", 0, -99, 99},
        {"  -7", -7, -7, 4294967289u},
        {"+5", 5, 5, 5},
        {"3.9", 3, 3, 3},
        {"99999999999", INT_MAX, 99999999999LL, unsigned(99999999999LL & 0xFFFFFFFF)},
        {"-99999999999", INT_MIN, -99999999999LL, unsigned(-99999999999LL & 0xFFFFFFFF)},
        {"9223372036854775807", INT_MAX, LLONG_MAX, 0xFFFFFFFFu},
        {"9223372036854775808", INT_MAX, LLONG_MAX, 0xFFFFFFFFu},
        {"-9223372036854775808", INT_MIN, LLONG_MIN, 0u},
        {"-99999999999999999999", INT_MIN, LLONG_MIN, 0u},
        {"4294967296", INT_MAX, 4294967296LL, 0u},
        {"-1", -1, -1, 4294967295u},
    };
    for (const auto& row : table) {
        const OneAttribute a(row.text);
        const char* what = row.text ? row.text : "(missing)";
        EXPECT_EQ(UTXMLAttributes::intValueForAttribute(a.element(), "v", -9), row.asInt) << what;
        EXPECT_EQ(UTXMLAttributes::longLongValueForAttribute(a.element(), "v", -99), row.asLongLong) << what;
        EXPECT_EQ(UTXMLAttributes::unsignedIntValueForAttribute(a.element(), "v", 99), row.asUnsigned) << what;
    }
}

TEST(UTXMLAttributes, FloatPointSizeAndRectReaders)
{
    const PLPoint dp(-1, -2);
    const PLSize ds(-3, -4);
    const PLRect dr(-5, -6, -7, -8);
    const struct {
        const char* text;
        float f;
        PLPoint p;
        PLRect r;
    } table[] = {
        {nullptr, 0.5f, dp, dr},
        {"", 0.5f, dp, dr},
        {"10,20", 10, {10, 20}, {10, 20, 0, 0}},
        {"10", 10, {10, 0}, {10, 0, 0, 0}},
        {"abc10", 0, {0, 10}, {0, 10, 0, 0}},
        {"1.5,2.25,3,4", 1.5f, {1.5f, 2.25f}, {1.5f, 2.25f, 3, 4}},
        {"1,5", 1, {1, 5}, {1, 5, 0, 0}}, // a decimal comma is a separator, never a decimal
        {"-3 -4e1", -3, {-3, -40}, {-3, -40, 0, 0}},
        {"nan,inf", 0, {0, 0}, {0, 0, 0, 0}},
        {"letters only", 0, {0, 0}, {0, 0, 0, 0}},
    };
    for (const auto& row : table) {
        const OneAttribute a(row.text);
        const char* what = row.text ? row.text : "(missing)";
        EXPECT_FLOAT_EQ(UTXMLAttributes::floatValueForAttribute(a.element(), "v", 0.5f), row.f) << what;
        EXPECT_EQ(UTXMLAttributes::pointValueForAttribute(a.element(), "v", dp), row.p) << what;
        const PLSize expectedSize = row.text && *row.text ? PLSize(row.p.x, row.p.y) : ds;
        EXPECT_EQ(UTXMLAttributes::sizeValueForAttribute(a.element(), "v", ds), expectedSize) << what;
        EXPECT_EQ(UTXMLAttributes::rectValueForAttribute(a.element(), "v", dr), row.r) << what;
    }
}

TEST(UTXMLAttributes, StringAndColorReaders)
{
    const PLColor fallback = PLColor::red();
    const struct {
        const char* text;
        QString string;
        PLColor color;
    } table[] = {
        {nullptr, QStringLiteral("default"), fallback},
        {"", QStringLiteral(""), fallback},
        {"g:0.5", QStringLiteral("g:0.5"), PLColor::grey(0.5f)},
        {"0,0.5,1,0.25", QStringLiteral("0,0.5,1,0.25"), PLColor::rgb(0, 0.5f, 1, 0.25f)},
        {"caf\xc3\xa9", QString::fromUtf8("caf\u00e9"), fallback},
    };
    for (const auto& row : table) {
        const OneAttribute a(row.text);
        const char* what = row.text ? row.text : "(missing)";
        const QString string = UTXMLAttributes::stringValueForAttribute(a.element(), "v", QStringLiteral("default"));
        EXPECT_EQ(string, row.string) << what;
        EXPECT_FALSE(string.isNull()) << what;
        EXPECT_EQ(UTXMLAttributes::colorValueForAttribute(a.element(), "v", fallback), row.color) << what;
    }
    EXPECT_TRUE(UTXMLAttributes::stringValueForAttribute(OneAttribute(nullptr).element(), "v").isNull());
}

TEST(UTXMLAttributes, WritersUseFixedFormsThatReadBack)
{
    PLXMLDocument document("e");
    PLXMLElement e = document.rootElement();
    UTXMLAttributes::setBoolValue(e, true, "flag");
    UTXMLAttributes::setBoolValue(e, false, "off");
    UTXMLAttributes::setIntValue(e, -42, "int");
    UTXMLAttributes::setUnsignedIntValue(e, 4294967295u, "unsigned");
    UTXMLAttributes::setFloatValue(e, 1.0f / 3, "float");
    UTXMLAttributes::setPointValue(e, {10.6f, -3.2f}, "point");
    UTXMLAttributes::setSizeValue(e, {2.5f, 3.5f}, "size");
    UTXMLAttributes::setRectValue(e, {1.4f, -0.6f, 100, 0.5f}, "rect");
    UTXMLAttributes::setColorValue(e, PLColor::rgb(1, 0.5f, 0, 0.5f), "color");
    UTXMLAttributes::setColorValue(e, PLColor(), "nocolor");
    UTXMLAttributes::setStringValue(e, QStringLiteral("one\ntwo\r\nthree") + QChar(0x2028) + QStringLiteral("\tfour\x01"), "title");
    UTXMLAttributes::setStringValue(e, QString(), "null");
    UTXMLAttributes::setIntValue(e, 7, "int"); // replaces

    EXPECT_EQ(document.xmlData(PLXMLDocument::Format::Compact),
              QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<e flag=\"1\" off=\"0\" int=\"7\" unsigned=\"4294967295\" float=\"0.3333\" point=\"11,-3\" "
                         "size=\"2,4\" rect=\"1,-1,100,0\" color=\"1,0.5,0,0.5\" nocolor=\"\" "
                         "title=\"one two  three &#9;four\" null=\"\"/>\n"));

    const PLXMLDocument reread = PLXMLDocument::fromData(document.xmlData());
    const PLXMLElement r = reread.rootElement();
    EXPECT_TRUE(UTXMLAttributes::boolValueForAttribute(r, "flag", false));
    EXPECT_FALSE(UTXMLAttributes::boolValueForAttribute(r, "off", true));
    EXPECT_EQ(UTXMLAttributes::intValueForAttribute(r, "int", 0), 7);
    EXPECT_EQ(UTXMLAttributes::unsignedIntValueForAttribute(r, "unsigned", 0), 4294967295u);
    EXPECT_FLOAT_EQ(UTXMLAttributes::floatValueForAttribute(r, "float", 0), 0.3333f);
    EXPECT_EQ(UTXMLAttributes::pointValueForAttribute(r, "point", {}), PLPoint(11, -3));
    EXPECT_EQ(UTXMLAttributes::sizeValueForAttribute(r, "size", {}), PLSize(2, 4));
    EXPECT_EQ(UTXMLAttributes::rectValueForAttribute(r, "rect", {}), PLRect(1, -1, 100, 0));
    EXPECT_EQ(UTXMLAttributes::colorValueForAttribute(r, "color", {}), PLColor::rgb(1, 0.5f, 0, 0.5f));
    EXPECT_EQ(UTXMLAttributes::colorValueForAttribute(r, "nocolor", PLColor::white()), PLColor::white());
    EXPECT_EQ(UTXMLAttributes::stringValueForAttribute(r, "title"), QStringLiteral("one two  three \tfour"));
}

TEST(UTXMLAttributes, WritingNeedsAName)
{
    PLXMLDocument document("e");
    try {
        UTXMLAttributes::setIntValue(document.rootElement(), 1, "");
        FAIL() << "no assertion";
    } catch (const PLAssertionFailure& failure) {
        EXPECT_EQ(failure.condition(), "attributeName");
    }
}
