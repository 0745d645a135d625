#include "Platform/Text/PLFont.h"
#include "Platform/Text/PLFontSubstitutions.h"
#include "TestSupport/QStringPrinter.h"

#include <QFont>
#include <QStringList>

#include <gtest/gtest.h>

TEST(PLFont, PostScriptNamesBecomeFamilyAndTraits)
{
    const struct {
        const char* name;
        const char* family;
        bool bold;
        bool italic;
    } cases[] = {
        {"Arial-BoldMT", "Arial", true, false},
        {"ArialMT", "Arial", false, false},
        {"Arial-BoldItalicMT", "Arial", true, true},
        {"TimesNewRomanPSMT", "Times New Roman", false, false},
        {"TimesNewRomanPS-ItalicMT", "Times New Roman", false, true},
        {"Times-Roman", "Times", false, false},
        {"Helvetica-Oblique", "Helvetica", false, true},
        {"Helvetica", "Helvetica", false, false},
        {"HelveticaNeue-Bold", "Helvetica Neue", true, false},
        {"CourierNewPS-BoldMT", "Courier New", true, false},
        {"Times New Roman", "Times New Roman", false, false},
        {"Liberation Sans Bold", "Liberation Sans", true, false},
        {"OpenSymbol", "OpenSymbol", false, false}, // a family written without spaces stays whole
    };
    for (const auto& c : cases) {
        const PLFont font = PLFont::fromName(QString::fromLatin1(c.name), 14);
        EXPECT_EQ(font, PLFont(QString::fromLatin1(c.family), 14, c.bold, c.italic)) << c.name;
    }
}

TEST(PLFont, ConvertsToAndFromQFont)
{
    const PLFont font(QStringLiteral("Times New Roman"), 13.5, true, true);
    const QFont qfont = font.toQFont();
    EXPECT_EQ(qfont.families().value(0), QStringLiteral("Times New Roman"));
    EXPECT_DOUBLE_EQ(qfont.pointSizeF(), 13.5);
    EXPECT_TRUE(qfont.bold());
    EXPECT_TRUE(qfont.italic());
    EXPECT_EQ(PLFont::fromQFont(qfont), font);
}

TEST(PLFontSubstitutions, MissingFamiliesFallBackToThePinnedOnes)
{
    const struct {
        const char* family;
        const char* expected;
    } cases[] = {
        {"", "Liberation Sans"},
        {"Liberation Serif", "Liberation Serif"},
        {"DejaVu Sans", "DejaVu Sans"},         // installed
        {"Arial", "Arial"},                     // pinned
        {"Times New Roman", "Times New Roman"}, // pinned
        {"Nowhere Grotesk", "Liberation Sans"},
        {"Nowhere Sans Serif", "Liberation Sans"},
        {"Nowhere Serif Display", "Liberation Serif"},
        {"Nowhere Roman", "Liberation Serif"},
        {"Nowhere Mono", "Liberation Mono"},
        {"Nowhere Typewriter", "Liberation Mono"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PLFontSubstitutions::availableFamily(QString::fromUtf8(c.family)), QString::fromUtf8(c.expected)) << c.family;
}
