#include "Platform/Text/PLTextLayout.h"

#include "TestSupport/QStringPrinter.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

namespace {

PLAttributedString styled(const QString& string, const QString& family, double size)
{
    PLTextAttributes attributes;
    attributes.font = PLFont(family, size);
    return PLAttributedString(string, attributes);
}

const QString Mono = QStringLiteral("Liberation Mono");

// The advance of one character of the monospaced family at a size, in points (72 dpi).
double monoAdvance(double size)
{
    QImage device(1, 1, QImage::Format_ARGB32);
    device.setDotsPerMeterX(2835);
    device.setDotsPerMeterY(2835);
    QFont font(Mono);
    font.setPointSizeF(size);
    font.setHintingPreference(QFont::PreferNoHinting);
    return QFontMetricsF(font, &device).horizontalAdvance(QStringLiteral("MMMMMMMMMM")) / 10.0;
}

QStringList lineTexts(const PLTextLayout& layout)
{
    QStringList lines;
    for (const auto& fragment : layout.lineFragments())
        lines.append(layout.text().string().mid(fragment.characterRange.location, fragment.characterRange.length));
    return lines;
}

// The bounding box of the pixels that differ from white.
QRect inkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// A white image whose painter has the map's y-up coordinates.
struct YUpCanvas {
    QImage image;
    QPainter painter;
    explicit YUpCanvas(QSize size) : image(size, QImage::Format_RGB32)
    {
        image.fill(Qt::white);
        painter.begin(&image);
        painter.translate(0, size.height());
        painter.scale(1, -1);
    }
};

// Both layouts break the text into the same lines, placed alike.
void expectSameLines(const PLTextLayout& first, const PLTextLayout& second, const char* label)
{
    const auto& a = first.lineFragments();
    const auto& b = second.lineFragments();
    ASSERT_EQ(a.size(), b.size()) << label;
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].rect, b[i].rect) << label << " line " << i;
        EXPECT_EQ(a[i].usedRect, b[i].usedRect) << label << " line " << i;
        EXPECT_EQ(a[i].characterRange, b[i].characterRange) << label << " line " << i;
        EXPECT_FLOAT_EQ(a[i].baselineOffset, b[i].baselineOffset) << label << " line " << i;
    }
}

}

TEST(PLTextLayout, BreaksLinesAtTheContainerWidth)
{
    const double advance = monoAdvance(10);
    const struct {
        const char* text;
        int columns; // container width in characters
        QStringList lines;
        int usedColumns; // widest line without its trailing spaces
    } cases[] = {
        {"alpha beta gamma delta", 40, {"alpha beta gamma delta"}, 22},
        {"alpha beta gamma delta", 12, {"alpha beta ", "gamma delta"}, 11},
        {"alpha beta gamma delta", 6, {"alpha ", "beta ", "gamma ", "delta"}, 5},
        {"abcdefghijkl", 5, {"abcde", "fghij", "kl"}, 5}, // a word wider than the line breaks anywhere
        {"one\ntwo three\n", 40, {"one\n", "two three\n"}, 9},
        {"one\r\ntwo", 40, {"one\r\n", "two"}, 3},
        {"a\n\nb", 40, {"a\n", "\n", "b"}, 1},
    };
    for (const auto& c : cases) {
        PLTextLayout layout;
        layout.setText(styled(QString::fromUtf8(c.text), Mono, 10));
        layout.setContainerSize(PLSize(float(c.columns * advance + 0.5), PLTextLayout::MeasuringHeight));
        EXPECT_EQ(lineTexts(layout), c.lines) << c.text;
        EXPECT_NEAR(layout.usedRect().width(), c.usedColumns * advance, 0.01) << c.text;
        EXPECT_DOUBLE_EQ(layout.fullRect().width(), layout.containerSize().width) << c.text;
        // Fragments tile downward from 0, and each used rectangle lies inside its fragment.
        double top = 0;
        for (const auto& fragment : layout.lineFragments()) {
            EXPECT_DOUBLE_EQ(fragment.rect.top(), top) << c.text;
            EXPECT_GE(fragment.usedRect.top(), fragment.rect.top()) << c.text;
            EXPECT_LE(fragment.usedRect.bottom(), fragment.rect.bottom() + 1e-3) << c.text;
            top = fragment.rect.bottom();
        }
        EXPECT_DOUBLE_EQ(layout.fullRect().height(), top) << c.text;
    }
}

TEST(PLTextLayout, EmptyTextHasNoLines)
{
    PLTextLayout layout;
    EXPECT_EQ(layout.glyphCount(), 0);
    EXPECT_TRUE(layout.lineFragments().empty());
    EXPECT_TRUE(layout.usedRect().isEmpty());
    EXPECT_FALSE(layout.characterIndexAtPoint(QPointF(0, 0)).has_value());
    EXPECT_EQ(layout.lineFragmentIndexForCharacter(0), -1);
    EXPECT_EQ(layout.containerSize(), PLSize(1200, 10000));
}

TEST(PLTextLayout, OnePointIsOneUnitAndMissingFamiliesFallBack)
{
    const auto usedSize = [](const QString& family, double size) {
        PLTextLayout layout;
        layout.setText(styled(QStringLiteral("Measure me"), family, size));
        return layout.usedRect().size();
    };
    const QSizeF sans = usedSize(QStringLiteral("Liberation Sans"), 12);
    // A line of 12-point text is about 12 units high, not scaled by the screen's resolution.
    EXPECT_GT(sans.height(), 12);
    EXPECT_LT(sans.height(), 15);
    EXPECT_NEAR(usedSize(QStringLiteral("Liberation Sans"), 24).width(), 2 * sans.width(), 0.05);
    const struct {
        const char* family;
        bool sameAsSans;
    } cases[] = {
        {"No Such Family Anywhere", true},
        {"", true},
        {"Arial", true},
        {"Liberation Serif", false},
        {"DejaVu Sans", false},
    };
    for (const auto& c : cases) {
        const QSizeF size = usedSize(QString::fromUtf8(c.family), 12);
        EXPECT_EQ(std::abs(size.width() - sans.width()) < 0.01, c.sameAsSans) << c.family;
    }
}

TEST(PLTextLayout, CharacterAtPointRoundTrips)
{
    PLTextLayout layout;
    PLAttributedString text = styled(QStringLiteral("Mixed sizes wrap\nover several lines here"), QStringLiteral("Liberation Sans"), 12);
    PLTextAttributes big;
    big.font = PLFont(QStringLiteral("Liberation Serif"), 20, true);
    text.setAttributes(big, PLRange(6, 5));
    layout.setText(text);
    layout.setContainerSize(PLSize(90, PLTextLayout::MeasuringHeight));
    ASSERT_GE(layout.lineFragments().size(), 3u);
    for (int i = 0; i < text.length(); ++i) {
        if (text.string().at(i) == QLatin1Char('\n')) continue;
        const std::vector<QRectF> rects = layout.rectsForCharacterRange(PLRange(i, 1));
        ASSERT_EQ(rects.size(), 1u) << i;
        if (rects[0].width() == 0) continue; // a space swallowed at a line end
        EXPECT_EQ(layout.characterIndexAtPoint(rects[0].center()), i) << i;
        const int line = layout.lineFragmentIndexForCharacter(i);
        EXPECT_TRUE(layout.lineFragments()[size_t(line)].rect.contains(rects[0].center())) << i;
    }
    // Outside the glyphs: the nearest line, the first or last character on it.
    const auto& fragments = layout.lineFragments();
    const auto& first = fragments.front();
    const auto& last = fragments.back();
    const struct {
        QPointF point;
        int expected;
    } cases[] = {
        {QPointF(-50, first.rect.center().y()), first.characterRange.location},
        {QPointF(-5, -40), 0},
        {QPointF(5000, last.rect.center().y()), text.length() - 1},
        {QPointF(5000, last.rect.bottom() + 300), text.length() - 1},
        {QPointF(5000, first.rect.center().y()), first.characterRange.end() - 1},
    };
    for (const auto& c : cases) EXPECT_EQ(layout.characterIndexAtPoint(c.point), c.expected) << c.point.x() << "," << c.point.y();

    // A range over a line break gives one rectangle per line.
    const std::vector<QRectF> spanning = layout.rectsForCharacterRange(PLRange(first.characterRange.end() - 2, 4));
    EXPECT_EQ(spanning.size(), 2u);
}

TEST(PLTextLayout, BaselinesFollowTheLargestFontOnTheLine)
{
    PLTextLayout small, mixed;
    small.setText(styled(QStringLiteral("Hxh"), QStringLiteral("Liberation Sans"), 12));
    PLAttributedString text = styled(QStringLiteral("Hxh"), QStringLiteral("Liberation Sans"), 12);
    PLTextAttributes big;
    big.font = PLFont(QStringLiteral("Liberation Sans"), 30);
    text.setAttributes(big, PLRange(1, 1));
    mixed.setText(text);
    const float smallBaseline = small.lineFragments()[0].baselineOffset;
    const float mixedBaseline = mixed.lineFragments()[0].baselineOffset;
    EXPECT_GT(smallBaseline, 9);
    EXPECT_LT(smallBaseline, small.lineFragments()[0].usedRect.height());
    EXPECT_NEAR(mixedBaseline, smallBaseline * 30 / 12, 0.5);
}

TEST(PLTextLayout, DrawsUprightInYUpSpace)
{
    // A large "L" drawn with its top left at (20, 90) in a y-up canvas of 120 x 100: the ink
    // starts just below y-up 90 (row 10 of the image), its foot sits on the baseline, and
    // the foot is at the bottom, so the glyph is not mirrored. Plain and styled paragraphs
    // are laid out apart and draw alike.
    for (const bool styledParagraph : {false, true}) {
        PLAttributedString text = styled(QStringLiteral("L"), QStringLiteral("Liberation Sans"), 48);
        if (styledParagraph) {
            PLTextAttributes paragraph;
            paragraph.paragraphStyle = PLParagraphStyle();
            paragraph.paragraphStyle->defaultTabInterval = 36;
            text.addAttributes(paragraph, PLRange(0, 1));
        }
        PLTextLayout layout;
        layout.setText(text);
        YUpCanvas canvas(QSize(120, 100));
        layout.draw(canvas.painter, PLPoint(20, 90));
        canvas.painter.end();
        canvas.image.save(QStringLiteral("PLTextLayout-upright-%1.png").arg(styledParagraph));
        const QRect ink = inkBounds(canvas.image);
        ASSERT_FALSE(ink.isEmpty()) << styledParagraph;
        const auto& line = layout.lineFragments()[0];
        const double baselineRow = 10 + line.usedRect.top() + line.baselineOffset;
        EXPECT_NEAR(ink.bottom() + 1, baselineRow, 1.0) << styledParagraph;
        EXPECT_GE(ink.top(), 10) << styledParagraph;
        EXPECT_GE(ink.left(), 20) << styledParagraph;
        int footWidth = 0, stemWidth = 0;
        for (int x = ink.left(); x <= ink.right(); ++x) {
            footWidth += qGray(canvas.image.pixel(x, ink.bottom() - 1)) < 128;
            stemWidth += qGray(canvas.image.pixel(x, ink.top() + 2)) < 128;
        }
        EXPECT_GT(footWidth, 2 * stemWidth) << styledParagraph;
    }
}

TEST(PLTextLayout, RunBackgroundsFillTheirLineBand)
{
    PLAttributedString text = styled(QStringLiteral("plain marked\nnext"), Mono, 10);
    PLTextAttributes marked;
    marked.backgroundColor = QColor(Qt::green);
    text.addAttributes(marked, PLRange(6, 6));
    PLTextLayout layout;
    layout.setText(text);
    const QRectF band = layout.rectsForCharacterRange(PLRange(6, 6)).front();
    const QRectF fragment = layout.lineFragments()[0].rect;
    for (const bool drawBackgrounds : {true, false}) {
        YUpCanvas canvas(QSize(200, 60));
        layout.draw(canvas.painter, PLPoint(0, 60), drawBackgrounds);
        canvas.painter.end();
        int green = 0, greenOutside = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 200; ++x) {
                if (canvas.image.pixel(x, y) != qRgb(0, 255, 0)) continue;
                ++green;
                const QPointF centre(x + 0.5, y + 0.5);
                greenOutside += !QRectF(band.x(), fragment.y(), band.width(), fragment.height()).contains(centre);
            }
        if (drawBackgrounds) canvas.image.save(QStringLiteral("PLTextLayout-backgrounds.png"));
        EXPECT_EQ(green > 0, drawBackgrounds);
        EXPECT_EQ(greenOutside, 0);
    }
}

TEST(PLTextLayout, ParagraphStylesPlaceLines)
{
    const float width = 300;
    const struct {
        PLParagraphStyle::Alignment alignment;
        double spacingBefore;
        double expectedX; // of the second paragraph's used rectangle, in units of the free room
    } cases[] = {
        {PLParagraphStyle::Alignment::Left, 0, 0},
        {PLParagraphStyle::Alignment::Center, 0, 0.5},
        {PLParagraphStyle::Alignment::Right, 12, 1},
        {PLParagraphStyle::Alignment::Natural, 7, 0},
    };
    for (const auto& c : cases) {
        PLAttributedString text = styled(QStringLiteral("First\nSecond"), Mono, 10);
        PLTextAttributes paragraph;
        PLParagraphStyle style;
        style.alignment = c.alignment;
        style.spacingBefore = c.spacingBefore;
        paragraph.paragraphStyle = style;
        text.addAttributes(paragraph, PLRange(6, 6));
        PLTextLayout layout;
        layout.setText(text);
        layout.setContainerSize(PLSize(width, PLTextLayout::MeasuringHeight));
        const auto& fragments = layout.lineFragments();
        ASSERT_EQ(fragments.size(), 2u);
        const QRectF used = fragments[1].usedRect;
        EXPECT_NEAR(used.x(), c.expectedX * (width - used.width()), 0.5) << int(c.alignment);
        // The spacing before a paragraph belongs to its first fragment, above its glyphs.
        EXPECT_NEAR(used.top() - fragments[1].rect.top(), c.spacingBefore, 0.01) << int(c.alignment);
        EXPECT_DOUBLE_EQ(fragments[1].rect.top(), fragments[0].rect.bottom());
        EXPECT_DOUBLE_EQ(fragments[0].usedRect.x(), 0);
    }
}

TEST(PLTextLayout, LaysOutAgainAfterTextOrSizeChanges)
{
    const double advance = monoAdvance(10);
    const float narrow = float(6 * advance + 0.5);
    PLTextLayout layout;
    const struct {
        const char* text; // nullptr keeps the text
        bool styledParagraph; // lays the text out through a text document
        float width;
        int lines;
    } steps[] = {
        {"alpha beta gamma delta", false, PLTextLayout::MeasuringWidth, 1},
        {nullptr, false, narrow, 4},
        {nullptr, false, PLTextLayout::MeasuringWidth, 1},
        {"one two", false, narrow, 2},
        {"one two three four five", true, narrow, 5},
        {nullptr, true, PLTextLayout::MeasuringWidth, 1},
        {nullptr, true, narrow, 5},
        {"", false, narrow, 0},
        {"again", false, narrow, 1},
    };
    for (const auto& step : steps) {
        if (step.text) {
            PLAttributedString text = styled(QString::fromUtf8(step.text), Mono, 10);
            if (step.styledParagraph) {
                PLTextAttributes paragraph;
                paragraph.paragraphStyle = PLParagraphStyle();
                paragraph.paragraphStyle->spacingAfter = 3;
                text.addAttributes(paragraph, PLRange(0, text.length()));
            }
            layout.setText(text);
        }
        layout.setContainerSize(PLSize(step.width, PLTextLayout::MeasuringHeight));
        EXPECT_EQ(int(layout.lineFragments().size()), step.lines) << (step.text ? step.text : "(same text)") << " " << step.width;
        if (step.lines > 0) {
            EXPECT_NEAR(layout.fullRect().bottom() - layout.usedRect().bottom(), step.styledParagraph ? 3 : 0, 1e-3);
        }
    }
}

TEST(PLTextLayout, PlainParagraphsAndStyledOnesGiveTheSameLines)
{
    // Texts in the default paragraph style, or one that only aligns, are laid out without a
    // text document; a style that changes nothing more (a tab interval, in texts without tabs)
    // takes the document path. Both must give the same lines.
    PLTextAttributes big;
    big.font = PLFont(QStringLiteral("Liberation Serif"), 22, true);
    PLTextAttributes unknown;
    unknown.font = PLFont(QStringLiteral("No Such Family"), 9, false, true);
    PLTextAttributes noFont;
    noFont.foregroundColor = QColor(Qt::red);
    const struct {
        const char* text;
        float width;
        PLTextAttributes second; // of the characters from 4 to 12
        std::optional<PLParagraphStyle::Alignment> alignment = std::nullopt;
    } cases[] = {
        {"Quarterly plan review with several words to wrap around", 150, big},
        {"Quarterly plan review with several words to wrap around", 1200, unknown},
        {"one\n\ntwo three\r\nfour\n", 90, big},
        {"\nstarts with a break", 300, unknown},
        {"abc\n\n\nxyz and more", 300, big}, // an empty paragraph after a large break
        {"\n", 300, noFont},
        {"line\u2028separator and a verylongwordthatmustbreakanywhere", 80, noFont},
        {"Quarterly plan review with several words to wrap around", 150, big, PLParagraphStyle::Alignment::Center},
        {"Quarterly plan review with several words to wrap around", 150, big, PLParagraphStyle::Alignment::Justified},
        {"one\n\ntwo three\r\nfour\n", 90, big, PLParagraphStyle::Alignment::Right},
        {"a verylongwordthatmustbreakanywhere", 80, unknown, PLParagraphStyle::Alignment::Left},
        {"\u05e9\u05dc\u05d5\u05dd \u05e2\u05d5\u05dc\u05dd and more", 300, noFont, PLParagraphStyle::Alignment::Right},
    };
    for (const auto& c : cases) {
        const QString string = QString::fromUtf8(c.text);
        PLAttributedString text = styled(string, QStringLiteral("Liberation Sans"), 12);
        if (text.length() > 4) text.setAttributes(c.second, PLRange(4, std::min(8, text.length() - 4)));
        PLTextAttributes paragraph;
        paragraph.paragraphStyle = PLParagraphStyle();
        if (c.alignment) {
            paragraph.paragraphStyle->alignment = *c.alignment;
            text.addAttributes(paragraph, PLRange(0, text.length()));
        }
        PLAttributedString styledText = text;
        paragraph.paragraphStyle->defaultTabInterval = 36;
        styledText.addAttributes(paragraph, PLRange(0, text.length()));
        PLTextLayout plain, inDocument;
        plain.setText(text);
        inDocument.setText(styledText);
        for (PLTextLayout* layout : {&plain, &inDocument}) layout->setContainerSize(PLSize(c.width, PLTextLayout::MeasuringHeight));
        expectSameLines(plain, inDocument, c.text);
        for (int i = 0; i < text.length(); ++i)
            EXPECT_EQ(plain.rectsForCharacterRange(PLRange(i, 1)), inDocument.rectsForCharacterRange(PLRange(i, 1))) << c.text << " " << i;
    }
}

TEST(PLTextLayout, AMeasuringLayoutGivesTheLinesOfADrawingOne)
{
    // A paragraph in one font is laid out without character formats when only measuring;
    // several fonts in a paragraph keep them.
    const struct {
        const char* text;
        float width;
        PLFont font;
        std::optional<PLParagraphStyle::Alignment> alignment = std::nullopt;
        bool secondFont = false;
    } cases[] = {
        {"Quarterly plan review with several words to wrap around", 150, PLFont(QStringLiteral("Liberation Serif"), 22, true)},
        {"Trailing spaces      ", 1200, PLFont(QStringLiteral("Liberation Sans"), 12)},
        {"one\n\ntwo three\r\nfour\n", 90, PLFont(QStringLiteral("No Such Family"), 9, false, true)},
        {"a verylongwordthatmustbreakanywhere", 80, PLFont(QStringLiteral("Liberation Mono"), 11), PLParagraphStyle::Alignment::Center},
        {"Quarterly plan review with several words to wrap around", 150, PLFont(QStringLiteral("DejaVu Sans"), 14), PLParagraphStyle::Alignment::Justified},
        {"\u05e9\u05dc\u05d5\u05dd \u05e2\u05d5\u05dc\u05dd and more", 300, PLFont(QString(), 16), PLParagraphStyle::Alignment::Right},
        {"Mixed \u0645\u0631\u062d\u0628\u0627 and \u65e5\u672c\u8a9e", 1200, PLFont(QStringLiteral("Liberation Sans"), 12)},
        {"Two fonts in one paragraph, wrapped", 120, PLFont(QStringLiteral("Liberation Sans"), 12), std::nullopt, true},
    };
    for (const auto& c : cases) {
        PLTextAttributes attributes;
        attributes.font = c.font;
        attributes.foregroundColor = QColor(Qt::darkBlue);
        if (c.alignment) {
            attributes.paragraphStyle = PLParagraphStyle();
            attributes.paragraphStyle->alignment = *c.alignment;
        }
        PLAttributedString text(QString::fromUtf8(c.text), attributes);
        if (c.secondFont) {
            PLTextAttributes big = attributes;
            big.font = PLFont(QStringLiteral("Liberation Serif"), 20, true);
            text.setAttributes(big, PLRange(4, 6));
        }
        PLTextLayout drawing, measuring;
        measuring.setForMeasuringOnly(true);
        EXPECT_TRUE(measuring.isForMeasuringOnly());
        for (PLTextLayout* layout : {&drawing, &measuring}) {
            layout->setText(text);
            layout->setContainerSize(PLSize(c.width, PLTextLayout::MeasuringHeight));
        }
        expectSameLines(drawing, measuring, c.text);
        EXPECT_EQ(drawing.usedRect(), measuring.usedRect()) << c.text;
    }
}
