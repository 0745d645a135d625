// Styles: the set-with-default rule and its undo, which masters take which attributes, the
// XML form of every kind of value, and the typed helpers for fonts, paragraphs and text
// attributes.
#include "DocumentModel/IXDocumentNode.h"
#include "IXFakeServices.h"
#include "IXStyleTestNodes.h"
#include "Platform/XML/PLXMLSchemaValidator.h"
#include "TestSupport/QStringPrinter.h"

#include <QFontDatabase>
#include <QFontInfo>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using Kind = StyledTestNode::Kind;

// --- The set-with-default rule ---

TEST(IXStyleNode, ValueShownThroughInheritanceIsNotStoredAndRecordsNoUndo)
{
    StyledDocument doc;
    const auto branch = doc.add(Kind::Branch, 1);
    doc.documentSheet()->styleForMaster(IXStyleTypeMainBranch)->setBranchLineColor(PLColor::rgb(0, 0.5f, 1));
    doc.undo.removeAllActions();
    const auto style = doc.documentSheet()->styleForNode(branch.get());

    style->setBranchLineColor(PLColor::rgb(0, 0.5f, 1));
    EXPECT_TRUE(style->attributes().isEmpty());
    EXPECT_FALSE(doc.undo.canUndo());

    style->setBranchLineColor(PLColor::red());
    EXPECT_EQ(style->ownAttribute(QStringLiteral("branch.line.color")), IXStyleValue::color(PLColor::red()));
    ASSERT_TRUE(doc.undo.canUndo());
    doc.undo.undo();
    // One "_style" step brings back the inherited look.
    EXPECT_TRUE(style->attributes().isEmpty());
    EXPECT_EQ(style->branchLineColor(), PLColor::rgb(0, 0.5f, 1));
    EXPECT_TRUE(doc.undo.undoActionName().isEmpty());
    doc.undo.redo();
    EXPECT_EQ(style->branchLineColor(), PLColor::red());
}

TEST(IXStyleNode, DefaultCountsAsShownWhenNothingIsInherited)
{
    StyledDocument doc;
    const auto style = doc.documentSheet()->styleForNode(doc.add(Kind::Picture).get());
    doc.undo.removeAllActions();

    style->setFloatValue(1.0f, QStringLiteral("x.width"), 1.0f);
    EXPECT_TRUE(style->attributes().isEmpty());
    EXPECT_EQ(style->floatValueForAttribute(QStringLiteral("x.width"), 1.0f), 1.0f);
    // The named accessors pass their defaults the same way.
    style->setDocumentBranchMinLength(40);
    EXPECT_TRUE(style->attributes().isEmpty());
    EXPECT_EQ(style->documentBranchMinLength(), 40);
    EXPECT_FALSE(doc.undo.canUndo());
    // A zero default means "no default": the value is stored.
    style->setFloatValue(0.0f, QStringLiteral("x.offset"), 0.0f);
    EXPECT_EQ(style->attributes().size(), 1);
}

TEST(IXStyleNode, NumbersReadAsTextMatchTheSameNumber)
{
    // Sheets read from files hold numbers as their text; setting the number a node already
    // shows that way must not store a copy or record a step.
    StyledDocument doc;
    const auto branch = doc.add(Kind::Branch, 0);
    const auto master = doc.documentSheet()->styleForMaster(IXStyleTypeRootBranch);
    master->setValue(IXStyleValue::text(QStringLiteral("2")), QStringLiteral("branch.line.width"));
    master->setValue(IXStyleValue::text(QStringLiteral("3")), QStringLiteral("branch.frame.type"));
    master->setValue(IXStyleValue::text(QStringLiteral("1")), QStringLiteral("branch.collapsed"));
    doc.undo.removeAllActions();
    const auto style = doc.documentSheet()->styleForNode(branch.get());

    style->setBranchLineWidth(2);
    style->setBranchFrameType(3);
    style->setBranchCollapsed(true);
    EXPECT_TRUE(style->attributes().isEmpty());
    EXPECT_FALSE(doc.undo.canUndo());
    style->setBranchLineWidth(2.5f);
    EXPECT_EQ(style->branchLineWidth(), 2.5f);
}

TEST(IXStyleNode, OnlyNodeStylesAndTheRootBranchMasterTakeTheFrameType)
{
    StyledDocument doc;
    const auto sheet = doc.documentSheet();
    sheet->styleForMaster(IXStyleTypeRootBranch)->setBranchFrameType(4);
    EXPECT_EQ(sheet->styleForMaster(IXStyleTypeRootBranch)->branchFrameType(), 4);
    for (int type : {IXStyleTypeCanvas, IXStyleTypeMainBranch, IXStyleTypeSubBranch, IXStyleTypeSubSubBranch,
                     IXStyleTypePicture, IXStyleTypeComment, IXStyleTypeConnection}) {
        SCOPED_TRACE(type);
        const auto master = sheet->styleForMaster(type);
        master->setBranchFrameType(2);
        master->setValue(IXStyleValue::integer(2), QStringLiteral("branch.frame.type"));
        EXPECT_FALSE(master->ownAttribute(QStringLiteral("branch.frame.type")));
        // Everything else is taken.
        master->setBranchLineType(1);
        EXPECT_EQ(master->branchLineType(), 1);
    }
    const auto node = sheet->styleForNode(doc.add(Kind::Branch, 2).get());
    node->setBranchFrameType(2);
    EXPECT_EQ(node->branchFrameType(), 2);
}

TEST(IXStyleNode, NoneRemovesAndChangesAreAnnounced)
{
    StyledDocument doc;
    StyleNoticeRecorder recorder;
    doc.document->addToObservers(&recorder);
    const auto node = doc.add(Kind::Comment);
    const auto style = doc.documentSheet()->styleForNode(node.get());
    recorder.take();

    style->setFloatingTextColor(PLColor::red());
    style->setFloatingTextColor(PLColor::red());
    style->setFloatingTextColor(PLColor());
    style->setFloatingTextColor(PLColor());
    const QString ref = node->uniqueId();
    EXPECT_EQ(recorder.take(), (QStringList{ref + " floating.text.fgcolor", ref + " floating.text.fgcolor"}));

    style->setAttributes({{QStringLiteral("a.one"), IXStyleValue::integer(1)}, {QStringLiteral("a.two"), IXStyleValue::flag(true)}});
    style->setAttributes({{QStringLiteral("a.three"), IXStyleValue::real(3)}});
    EXPECT_EQ(style->attributes().keys(), (QStringList{"a.one", "a.three", "a.two"}));
    style->clearAttributes();
    EXPECT_TRUE(style->attributes().isEmpty());
    EXPECT_EQ(recorder.take().size(), 6);
    doc.document->removeFromObservers(&recorder);
}

TEST(IXStyleNode, CopyTakesTheAttributesOnly)
{
    StyledDocument doc;
    const auto master = doc.documentSheet()->styleForMaster(IXStyleTypeMainBranch);
    master->setBranchLineWidth(3);
    const auto copy = std::static_pointer_cast<IXStyleNode>(master->copy());
    EXPECT_EQ(copy->attributes(), master->attributes());
    EXPECT_EQ(copy->type(), IXStyleTypeNode);
    EXPECT_EQ(copy->master(), 0);
    EXPECT_FALSE(copy->parentNode());
}

// --- Values and their XML form ---

struct ValueCase {
    const char* name;
    IXStyleValue value;
    const char* type;  // the "t" attribute written, "" for none
    const char* text;  // the "v" attribute written
};

const ValueCase ValueCases[] = {
    {"v.flag", IXStyleValue::flag(true), "", "1"},
    {"v.flag.off", IXStyleValue::flag(false), "", "0"},
    {"v.int", IXStyleValue::integer(-2147483647 - 1), "", "-2147483648"},
    {"v.float", IXStyleValue::real(0.1f), "", "0.1"},
    {"v.float.small", IXStyleValue::real(1.0e-7f), "", "1e-07"},
    {"v.float.big", IXStyleValue::real(123456.78f), "", "123456.78"},
    {"v.text", IXStyleValue::text(QStringLiteral("Zürich <&> \"x\"")), "", "Zürich <&> \"x\""},
    {"v.rgb", IXStyleValue::color(PLColor::rgb(1, 0.5f, 0)), "c", "1,0.5,0"},
    {"v.rgba", IXStyleValue::color(PLColor::rgb(0.2f, 0.4f, 0.6f, 0.5f)), "c", "0.2,0.4,0.6,0.5"},
    {"v.grey", IXStyleValue::color(PLColor::grey(0.25f, 0)), "c", "g:0.25,0"},
    {"v.cmyk", IXStyleValue::color(PLColor::cmyk(0.1f, 0.2f, 0.3f, 0.4f)), "c", "cmyk:0.1,0.2,0.3,0.4,1"},
    {"v.point", IXStyleValue::point(PLPoint(1.5f, -2)), "p", "{1.5, -2}"},
    {"v.size", IXStyleValue::size(PLSize(100, 0.25f)), "s", "{100, 0.25}"},
    {"v.rect", IXStyleValue::rect(PLRect(-1, 2.5f, 30, 40)), "r", "{{-1, 2.5}, {30, 40}}"},
};

TEST(IXStyleNode, EveryKindOfValueRoundTripsThroughXML)
{
    StyledDocument doc;
    const auto sheet = doc.documentSheet();
    const auto style = sheet->styleForMaster(IXStyleTypeCanvas);
    for (const ValueCase& row : ValueCases) style->setValue(row.value, QString::fromLatin1(row.name));

    const PLXMLDocument xml = sheet->XMLDocument();
    EXPECT_TRUE(PLXMLSchemaValidator::validate(xml));
    const PLXMLElement canvas = xml.rootElement().firstChildElement("canvas");
    ASSERT_TRUE(canvas);
    QStringList names;
    for (const PLXMLElement& a : canvas.childElements("a")) names << a.attribute("n");
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    for (const ValueCase& row : ValueCases) {
        SCOPED_TRACE(row.name);
        PLXMLElement a;
        for (const PLXMLElement& candidate : canvas.childElements("a")) {
            if (candidate.attribute("n") == QLatin1String(row.name)) a = candidate;
        }
        ASSERT_TRUE(a);
        EXPECT_EQ(a.attribute("t"), *row.type ? QString::fromLatin1(row.type) : QString());
        EXPECT_EQ(a.attribute("v"), QString::fromUtf8(row.text));
    }

    const auto reread = IXStyleSheetNode::styleSheetFromData(xml.xmlData());
    ASSERT_TRUE(reread);
    const auto back = reread->styleForMaster(IXStyleTypeCanvas);
    for (const ValueCase& row : ValueCases) {
        SCOPED_TRACE(row.name);
        const IXStyleValue value = back->ownAttribute(QString::fromLatin1(row.name));
        if (row.value.isNumber()) {
            // Numbers come back as their text and read as the same number.
            EXPECT_EQ(value.kind(), IXStyleValue::Kind::Text);
            EXPECT_EQ(value.toFloat(), row.value.toFloat());
            EXPECT_TRUE(value.matches(row.value));
        } else {
            EXPECT_EQ(value, row.value);
        }
    }
}

TEST(IXStyleNode, ReadingSkipsEmptyEntriesAndKeepsUntypedValuesAsText)
{
    const QByteArray xml = R"(<styles><canvas>)"
                           R"(<a n="document.layout" v="2"/>)"
                           R"(<a n="" v="1"/><a n="empty.value" v=""/><a n="no.value"/>)"
                           R"(<a n="odd.type" t="q" v="{1, 2}"/><a n="empty.type" t="" v="7"/>)"
                           R"(<a n="colour.text" v="1,0,0"/>)"
                           R"(</canvas></styles>)";
    PLError error;
    const auto sheet = IXStyleSheetNode::styleSheetFromData(xml, &error);
    ASSERT_TRUE(sheet);
    const auto canvas = sheet->styleForMaster(IXStyleTypeCanvas);
    EXPECT_EQ(canvas->attributes().keys(), (QStringList{"colour.text", "document.layout", "empty.type", "odd.type"}));
    EXPECT_EQ(canvas->ownAttribute(QStringLiteral("document.layout")), IXStyleValue::text(QStringLiteral("2")));
    EXPECT_EQ(canvas->documentLayout(), 2);
    EXPECT_EQ(canvas->ownAttribute(QStringLiteral("odd.type")), IXStyleValue::text(QStringLiteral("{1, 2}")));
    // A typed getter reads a text in its kind's text form.
    EXPECT_EQ(canvas->pointValueForAttribute(QStringLiteral("odd.type"), PLPoint()), PLPoint(1, 2));
    EXPECT_EQ(canvas->colorValueForAttribute(QStringLiteral("colour.text"), PLColor()), PLColor::rgb(1, 0, 0));
    // The part names no schema: the caller hears of it, and the sheet was read all the same.
    EXPECT_TRUE(error);
}

struct ConversionCase {
    const char* label;
    IXStyleValue value;
    std::optional<int> asInt;
    std::optional<float> asFloat;
    std::optional<bool> asBool;
};

const ConversionCase ConversionCases[] = {
    {"text of an integer", IXStyleValue::text(QStringLiteral(" -12abc")), -12, -12.0f, true},
    {"text of a float", IXStyleValue::text(QStringLiteral("2.75")), 2, 2.75f, true},
    {"text without a number", IXStyleValue::text(QStringLiteral("none")), 0, 0.0f, false},
    {"huge text", IXStyleValue::text(QStringLiteral("99999999999")), std::numeric_limits<int>::max(), 1e11f, true},
    // Plain digits, as style sheets mostly hold, up to the longest text read without a parser and past it.
    {"text of zero", IXStyleValue::text(QStringLiteral("0")), 0, 0.0f, false},
    {"text with leading zeros", IXStyleValue::text(QStringLiteral("0042")), 42, 42.0f, true},
    {"text of seven digits", IXStyleValue::text(QStringLiteral("9999999")), 9999999, 9999999.0f, true},
    {"text of nine digits", IXStyleValue::text(QStringLiteral("123456789")), 123456789, 123456789.0f, true},
    {"digits and a trailing space", IXStyleValue::text(QStringLiteral("12 ")), 12, 12.0f, true},
    {"float", IXStyleValue::real(-2.9f), -2, -2.9f, true},
    {"half", IXStyleValue::real(0.5f), 0, 0.5f, false},
    {"huge float", IXStyleValue::real(1e30f), std::numeric_limits<int>::max(), 1e30f, true},
    {"flag", IXStyleValue::flag(true), 1, 1.0f, true},
    {"colour", IXStyleValue::color(PLColor::red()), std::nullopt, std::nullopt, std::nullopt},
    {"none", IXStyleValue(), std::nullopt, std::nullopt, std::nullopt},
};

TEST(IXStyleValue, ConversionsOfTheTypedGetters)
{
    for (const ConversionCase& row : ConversionCases) {
        SCOPED_TRACE(row.label);
        EXPECT_EQ(row.value.toInt(), row.asInt);
        EXPECT_EQ(row.value.toFloat(), row.asFloat);
        EXPECT_EQ(row.value.toBool(), row.asBool);
    }
    // Not a finite number: stored as 0, never written as one.
    EXPECT_EQ(IXStyleValue::real(std::nanf("")).description(), QStringLiteral("0"));
    EXPECT_EQ(IXStyleValue::real(INFINITY).toFloat(), 0.0f);
    // Numbers are equal by value; a text matches the value it reads as.
    EXPECT_EQ(IXStyleValue::integer(1), IXStyleValue::flag(true));
    EXPECT_EQ(IXStyleValue::integer(2), IXStyleValue::real(2));
    EXPECT_NE(IXStyleValue::integer(2), IXStyleValue::text(QStringLiteral("2")));
    EXPECT_TRUE(IXStyleValue::text(QStringLiteral("2")).matches(IXStyleValue::integer(2)));
    EXPECT_TRUE(IXStyleValue::point(PLPoint(1, 2)).matches(IXStyleValue::text(QStringLiteral("{1, 2}"))));
    EXPECT_FALSE(IXStyleValue::text(QStringLiteral("2")).matches(IXStyleValue::color(PLColor::white())));
    // A value of the wrong kind gives the getter's default.
    StyledDocument doc;
    const auto style = doc.documentSheet()->styleForMaster(IXStyleTypeCanvas);
    style->setValue(IXStyleValue::color(PLColor::red()), QStringLiteral("branch.line.width"));
    EXPECT_EQ(style->branchLineWidth(), 1.0f);
}

// --- Fonts, paragraphs and text attributes ---

TEST(IXStyleNode, FontsRoundTripByNameAndFallBackBelowSizeFour)
{
    StyledDocument doc;
    const auto style = doc.documentSheet()->styleForNode(doc.add(Kind::Branch, 1).get());
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPointSizeF(15);
    font.setBold(true);
    font.setItalic(true);
    style->setBranchTextFont(font);
    EXPECT_EQ(style->ownAttribute(QStringLiteral("branch.text.font.name")), IXStyleValue::text(QStringLiteral("Liberation Serif-BoldItalic")));
    std::optional<QFont> back = style->branchTextFont();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->family(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(back->pointSizeF(), 15);
    EXPECT_TRUE(back->bold());
    EXPECT_TRUE(back->italic());

    // A family the system lacks gives no font by name.
    style->setValue(IXStyleValue::text(QStringLiteral("No Such Family-Bold")), QStringLiteral("branch.text.font.name"));
    EXPECT_FALSE(style->branchTextFont());
    // "Arial" is found through its substitute.
    style->setValue(IXStyleValue::text(QStringLiteral("Arial")), QStringLiteral("branch.text.font.name"));
    ASSERT_TRUE(style->branchTextFont());
    EXPECT_EQ(QFontInfo(*style->branchTextFont()).family(), QStringLiteral("Liberation Sans"));

    // A size out of all proportion is read as the largest one taken.
    style->setValue(IXStyleValue::text(QStringLiteral("1e30")), QStringLiteral("branch.text.font.size"));
    ASSERT_TRUE(style->branchTextFont());
    EXPECT_EQ(style->branchTextFont()->pointSizeF(), 1000);
    // Below size 4 the default font comes back.
    style->setValue(IXStyleValue::real(3), QStringLiteral("branch.text.font.size"));
    EXPECT_FALSE(style->branchTextFont());
    QFont fallback(QStringLiteral("Liberation Mono"));
    fallback.setPointSizeF(9);
    EXPECT_EQ(style->fontValueForAttribute(QStringLiteral("branch.text.font"), fallback), fallback);
}

TEST(IXStyleNode, StoredFontNamesFindInstalledFacesAndAreKept)
{
    StyledDocument doc;
    const auto style = doc.documentSheet()->styleForNode(doc.add(Kind::Branch, 1).get());
    style->setValue(IXStyleValue::real(13), QStringLiteral("branch.text.font.size"));
    const struct {
        const char* stored;
        const char* family;  // the installed face; empty: none
        bool bold;
        bool italic;
    } table[] = {
        // PostScript names of installed fonts, through fontconfig.
        {"LiberationSans-Bold", "Liberation Sans", true, false},
        {"LiberationSerif-Italic", "Liberation Serif", false, true},
        {"DejaVuSansMono-BoldOblique", "DejaVu Sans Mono", true, true},
        // PostScript names of fonts that are not installed, through the substitutions.
        {"ArialMT", "Liberation Sans", false, false},
        {"Arial-BoldItalicMT", "Liberation Sans", true, true},
        {"TimesNewRomanPSMT", "Liberation Serif", false, false},
        {"TimesNewRomanPS-BoldMT", "Liberation Serif", true, false},
        {"Helvetica-Bold", "Liberation Sans", true, false},
        {"Helvetica-Oblique", "Liberation Sans", false, true},
        {"LucidaGrande", "Liberation Sans", false, false},
        {"CourierNewPSMT", "Liberation Mono", false, false},
        {"Verdana-Bold", "DejaVu Sans", true, false},
        {"Georgia", "DejaVu Serif", false, false},
        {"Menlo-Regular", "DejaVu Sans Mono", false, false},
        // Family names and the "Family-Style" form as written here.
        {"Liberation Mono", "Liberation Mono", false, false},
        {"Liberation Sans-BoldItalic", "Liberation Sans", true, true},
        // Nothing to stand in.
        {"NoSuchFontPS-Bold", "", false, false},
        {"No Such Family-Bold", "", false, false},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.stored);
        const QString stored = QString::fromLatin1(row.stored);
        style->setValue(IXStyleValue::text(stored), QStringLiteral("branch.text.font.name"));
        const std::optional<QFont> font = style->branchTextFont();
        if (!*row.family) {
            EXPECT_FALSE(font);
            continue;
        }
        ASSERT_TRUE(font);
        EXPECT_EQ(QFontInfo(*font).family(), QString::fromLatin1(row.family));
        EXPECT_EQ(font->bold(), row.bold);
        EXPECT_EQ(font->italic(), row.italic);
        EXPECT_EQ(font->pointSizeF(), 13);

        // Set again as it reads (a text editor applying the style), the stored name stays,
        // so the file is saved with it; another face takes its own name.
        style->setBranchTextFont(*font);
        EXPECT_EQ(style->ownAttribute(QStringLiteral("branch.text.font.name")), IXStyleValue::text(stored));
        QFont other = *font;
        other.setItalic(!row.italic);
        style->setBranchTextFont(other);
        EXPECT_EQ(style->ownAttribute(QStringLiteral("branch.text.font.name")), IXStyleValue::text(IXStyleNode::fontName(other)));
    }
}

TEST(IXStyleNode, FontsByFamilyWithTraitsOrTheSystemFont)
{
    StyledDocument doc;
    const auto style = doc.documentSheet()->styleForMaster(IXStyleTypeCanvas);
    style->setValue(IXStyleValue::text(QStringLiteral("12")), QStringLiteral("floating.text.font.size"));
    // Only a size: the system font at that size.
    std::optional<QFont> font = style->floatingTextFont();
    ASSERT_TRUE(font);
    EXPECT_EQ(font->family(), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    EXPECT_EQ(font->pointSizeF(), 12);
    style->setValue(IXStyleValue::text(QStringLiteral("Arial")), QStringLiteral("floating.text.font.family"));
    style->setValue(IXStyleValue::text(QStringLiteral("1")), QStringLiteral("floating.text.font.bold"));
    font = style->floatingTextFont();
    ASSERT_TRUE(font);
    EXPECT_EQ(font->family(), QStringLiteral("Arial"));
    EXPECT_TRUE(font->bold());
    EXPECT_FALSE(font->italic());
    // Writing a font replaces the family by a name.
    QFont written(QStringLiteral("Liberation Sans"));
    written.setPointSizeF(12);
    style->setFloatingTextFont(written);
    EXPECT_FALSE(style->ownAttribute(QStringLiteral("floating.text.font.family")));
    EXPECT_EQ(style->floatingTextFont()->family(), QStringLiteral("Liberation Sans"));
    EXPECT_FALSE(style->floatingTextFont()->bold());
    style->setFloatingTextFont(std::nullopt);
    EXPECT_TRUE(style->attributes().isEmpty());
}

TEST(IXStyleNode, ParagraphAlignmentNumbers)
{
    for (int number = -1; number <= 4; ++number) {
        SCOPED_TRACE(number);
        EXPECT_EQ(IXStyleNode::alignmentNumber(IXStyleNode::alignmentFromNumber(number)), number);
    }
    StyledDocument doc;
    const auto style = doc.documentSheet()->styleForMaster(IXStyleTypeCanvas);
    EXPECT_EQ(style->paragraphStyleValueForAttribute(QStringLiteral("branch.text"), std::nullopt).alignment(), Qt::Alignment());
    QTextOption centred(Qt::AlignHCenter);
    centred.setWrapMode(QTextOption::NoWrap);
    style->setParagraphStyleValue(centred, QStringLiteral("branch.text"), std::nullopt);
    EXPECT_EQ(style->branchTextAlignment(), 2);
    // The default's other settings are kept.
    const QTextOption read = style->paragraphStyleValueForAttribute(QStringLiteral("branch.text"), centred);
    EXPECT_EQ(read.alignment(), Qt::AlignHCenter);
    EXPECT_EQ(read.wrapMode(), QTextOption::NoWrap);
}

TEST(IXStyleNode, TextAttributesLeaveOutInvisibleColours)
{
    StyledDocument doc;
    const auto style = doc.documentSheet()->styleForMaster(IXStyleTypeCanvas);
    IXStyleTextAttributes attributes;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(13);
    attributes.font = font;
    attributes.paragraphStyle = QTextOption(Qt::AlignRight | Qt::AlignAbsolute);
    attributes.foregroundColor = PLColor::rgb(0.2f, 0.3f, 0.4f);
    attributes.backgroundColor = PLColor::grey(0, 0.05f);
    style->setBranchTextAttributes(attributes);
    EXPECT_EQ(style->branchTextAlignment(), 1);
    EXPECT_EQ(style->branchTextColor(), PLColor::rgb(0.2f, 0.3f, 0.4f));

    const IXStyleTextAttributes read = style->branchTextAttributes();
    ASSERT_TRUE(read.font);
    EXPECT_EQ(read.font->pointSizeF(), 13);
    EXPECT_EQ(read.paragraphStyle->alignment(), Qt::AlignRight | Qt::AlignAbsolute);
    EXPECT_EQ(read.foregroundColor, PLColor::rgb(0.2f, 0.3f, 0.4f));
    EXPECT_TRUE(read.backgroundColor.isNull());
    // The single members read the same stored attributes.
    EXPECT_EQ(style->branchTextBackgroundColor(), PLColor::grey(0, 0.05f));
}

}  // namespace
