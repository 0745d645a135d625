#include "Platform/Text/PLRTFReader.h"
#include "Platform/Text/PLRTFWriter.h"

#include "RichTextTestSupport.h"

#include <gtest/gtest.h>

namespace {

PLTextAttributes font(const char* family, double size, bool bold = false, bool italic = false)
{
    PLTextAttributes a;
    a.font = PLFont(QString::fromLatin1(family), size, bold, italic);
    return a;
}

PLTextAttributes withParagraph(PLTextAttributes a, const PLParagraphStyle& style)
{
    a.paragraphStyle = style;
    return a;
}

// A text that uses every attribute the writer knows, paragraph by paragraph.
PLAttributedString richText()
{
    PLAttributedString text;
    text.append(QStringLiteral("Plain "), font("Helvetica", 12));
    PLTextAttributes a = font("Arial", 14, true);
    a.foregroundColor = QColor(200, 10, 30);
    a.backgroundColor = QColor::fromRgbF(0.25, 0.5, 0.75, 0.5);
    text.append(QStringLiteral("bold red on blue"), a);
    PLTextAttributes u = font("Times New Roman", 12.5, false, true);
    u.underlineStyle = PLTextAttributes::LineStyleSingle | PLTextAttributes::LinePatternDash;
    u.underlineColor = QColor(0, 128, 0);
    text.append(QStringLiteral(" dashed"), u);
    u.underlineStyle = PLTextAttributes::LineStyleDouble;
    text.append(QStringLiteral(" double"), u);
    u.underlineStyle = PLTextAttributes::LineStyleThick | PLTextAttributes::LinePatternDot;
    text.append(QStringLiteral(" thick dotted"), u);
    PLTextAttributes s = font("Helvetica", 12);
    s.strikethroughStyle = PLTextAttributes::LineStyleDouble;
    s.strikethroughColor = QColor(Qt::blue);
    text.append(QStringLiteral(" struck"), s);
    s = font("Helvetica", 12);
    s.superscript = 2;
    text.append(QStringLiteral("sup2"), s);
    s.superscript = -1;
    s.baselineOffset = -1.5;
    text.append(QStringLiteral("sub"), s);
    text.append(QStringLiteral("\n"), font("Helvetica", 12));

    PLParagraphStyle centred;
    centred.alignment = PLParagraphStyle::Alignment::Center;
    centred.spacingBefore = 6;
    centred.spacingAfter = 12.5;
    centred.lineHeightMultiple = 1.5;
    centred.maximumLineHeight = 30;
    PLTextAttributes link = withParagraph(font("Helvetica", 12), centred);
    text.append(QStringLiteral("Centred with "), link);
    link.link = QStringLiteral("https://example.com/a?b=\"c\"&d=\\e");
    link.underlineStyle = 1;
    text.append(QStringLiteral("a link across\nparagraphs"), link);
    link.link.reset();
    link.underlineStyle.reset();
    text.append(QStringLiteral(".\n"), link);

    PLParagraphStyle indented;
    indented.alignment = PLParagraphStyle::Alignment::Justified;
    indented.writingDirection = PLParagraphStyle::WritingDirection::LeftToRight;
    indented.leftIndent = 36;
    indented.firstLineIndent = 18;
    indented.rightIndent = 9.5;
    indented.minimumLineHeight = indented.maximumLineHeight = 16;
    indented.lineSpacing = 2;
    indented.defaultTabInterval = 28;
    using K = PLParagraphStyle::TabStop::Kind;
    indented.tabStops = {{28, K::Left}, {100, K::Right}, {150.5, K::Center}, {200, K::Decimal}};
    text.append(QStringLiteral("Indented\tjustified\ttext\n"), withParagraph(font("Courier New", 10), indented));

    PLParagraphStyle bullets;
    bullets.leftIndent = 36;
    bullets.textLists = {{QStringLiteral("{disc}"), 1}};
    text.append(QString::fromUtf8("\t\u2022\tFirst\n\t\u2022\tSecond\n"), withParagraph(font("Helvetica", 12), bullets));
    PLParagraphStyle numbers;
    numbers.textLists = {{QStringLiteral("{upper-roman}"), 1}, {QStringLiteral("({lower-alpha})"), 3}};
    text.append(QStringLiteral("\t(c)\tNested\n"), withParagraph(font("Helvetica", 12), numbers));

    PLParagraphStyle right;
    right.alignment = PLParagraphStyle::Alignment::Right;
    right.writingDirection = PLParagraphStyle::WritingDirection::RightToLeft;
    text.append(QStringLiteral("Last line without font "), withParagraph(font("Helvetica", 12), right));
    PLTextAttributes noFamily;
    noFamily.font = PLFont(QString(), 20, true);
    noFamily.paragraphStyle = right;
    text.append(QStringLiteral("sized only"), noFamily);
    PLTextAttributes none;
    none.paragraphStyle = right;
    text.append(QStringLiteral(" and none"), none);
    return text;
}

PLAttributedString roundTrip(const PLAttributedString& text, const PLDocumentAttributes& document = {},
                             PLDocumentAttributes* documentBack = nullptr)
{
    PLError error;
    const QByteArray rtf = PLRTFWriter::write(text, document);
    const std::optional<PLAttributedString> back = PLRTFReader::read(rtf, documentBack, &error);
    EXPECT_FALSE(error) << error.failureReason().toStdString() << "\n" << rtf.toStdString();
    return back.value_or(PLAttributedString());
}

void expectEqualRuns(const PLAttributedString& actual, const PLAttributedString& expected)
{
    ASSERT_EQ(actual.string(), expected.string());
    for (int i = 0; i < expected.length(); ++i) {
        PLRange range;
        const PLTextAttributes& want = expected.attributesAt(i, &range);
        ASSERT_EQ(actual.attributesAt(i), want) << "first difference at " << i << ": "
                                                << expected.string().mid(range.location, range.length).toStdString();
        i = range.end() - 1;
    }
    EXPECT_EQ(actual, expected);
}

} // namespace

TEST(PLRTFWriter, TextRoundTripsWithEveryAttribute)
{
    const PLAttributedString text = richText();
    expectEqualRuns(roundTrip(text), text);
}

TEST(PLRTFWriter, AnyCharacterRoundTrips)
{
    const struct {
        const char* name;
        QString string;
    } cases[] = {
        {"empty", QString()},
        {"escapes", QStringLiteral("{braces} and \\backslash\\ and \\par as text")},
        {"1252", QString::fromUtf8("caf\u00e9 \u20ac \u2018quoted\u2019 \u00a0nbsp \u00adsoft")},
        {"unicode", QString::fromUtf8("\u041f\u0440\u0438\u0432\u0435\u0442 \u65e5\u672c \U0001F600 \uFFFC \uFFFF")},
        {"controls", QStringLiteral("tab\tline\u2028page\fcr\rcrlf\r\nnull%1bell\x07" "del\x7f").arg(QChar(0))},
        {"trailing paragraph", QStringLiteral("ends with a paragraph\n")},
        {"blank paragraphs", QStringLiteral("\n\n\nx\n\n")},
        {"digits after words", QStringLiteral("\t1\u20282 3")},
    };
    for (const auto& c : cases) {
        PLAttributedString text(c.string, font("Helvetica", 12));
        if (c.string.isEmpty()) text = PLAttributedString();
        const PLAttributedString back = roundTrip(text);
        EXPECT_EQ(back.string(), text.string()) << c.name;
        EXPECT_EQ(back, text) << c.name;
    }
}

TEST(PLRTFWriter, WritesDocumentAttributesBack)
{
    PLDocumentAttributes document;
    document.paperSize = QSizeF(595, 842);
    document.leftMargin = 72;
    document.rightMargin = 72;
    document.topMargin = 36;
    document.bottomMargin = 36.5;
    document.landscape = false;
    document.viewSize = QSizeF(576, 420);
    document.viewMode = PLDocumentAttributes::ViewMode::PageLayout;
    document.viewZoom = 125;
    document.readOnly = true;
    document.defaultTabInterval = 28;
    document.hyphenationFactor = 0.5;
    document.backgroundColor = QColor(250, 240, 230);
    document.creationTime = QDateTime(QDate(2009, 1, 2), QTime(3, 4, 5));
    document.modificationTime = QDateTime(QDate(2010, 6, 7), QTime(8, 9, 10));
    document.info = {{QStringLiteral("title"), QString::fromUtf8("T\u00eftle {x}")},
                     {QStringLiteral("author"), QStringLiteral("Someone")},
                     {QStringLiteral("company"), QStringLiteral("Firm")},
                     {QStringLiteral("keywords"), QStringLiteral("a b")}};
    PLDocumentAttributes back;
    const PLAttributedString text(QStringLiteral("x"), font("Helvetica", 12));
    EXPECT_EQ(roundTrip(text, document, &back), text);
    EXPECT_EQ(back, document);
}

TEST(PLRTFWriter, WritesTheEditorStyleOfRTF)
{
    PLAttributedString text(QStringLiteral("x"), font("Arial", 12, true));
    const QByteArray rtf = PLRTFWriter::write(text);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\n{\\fonttbl\\f0\\fswiss\\fcharset0 Arial;}\n{\\colortbl;}\n"));
    EXPECT_TRUE(rtf.contains("\\pard\\pardirnatural\n\\f0\\b x}"));
    EXPECT_TRUE(rtf.endsWith('}'));

    // Paragraph ends are backslash-newline; only changes of formatting are written.
    text = PLAttributedString(QStringLiteral("a\nb\nc"), font("Arial", 12));
    EXPECT_TRUE(PLRTFWriter::write(text).contains("\\f0 a\\\nb\\\nc}"));
}

TEST(PLRTFWriter, UnderlineStylesReadBackAsRTFCanHoldThem)
{
    using A = PLTextAttributes;
    const struct {
        int style;
        const char* word;
        int readBack;
    } cases[] = {
        {A::LineStyleSingle, "\\ul ", A::LineStyleSingle},
        {A::LineStyleThick, "\\ulth ", A::LineStyleThick},
        {A::LineStyleDouble, "\\uldb ", A::LineStyleDouble},
        {A::LineStyleSingle | A::LinePatternDot, "\\uld ", A::LineStyleSingle | A::LinePatternDot},
        {A::LineStyleThick | A::LinePatternDashDotDot, "\\ulthdashdd ", A::LineStyleThick | A::LinePatternDashDotDot},
        {A::LineStyleSingle | A::LineByWord, "\\ulw ", A::LineStyleSingle | A::LineByWord},
        {A::LineStyleDouble | A::LinePatternDot, "\\uldb ", A::LineStyleDouble}, // RTF has no dotted double line
    };
    for (const auto& c : cases) {
        PLTextAttributes a;
        a.underlineStyle = c.style;
        const QByteArray rtf = PLRTFWriter::write(PLAttributedString(QStringLiteral("u"), a));
        EXPECT_TRUE(rtf.contains(c.word)) << c.word << "\n" << rtf.toStdString();
        const std::optional<PLAttributedString> back = PLRTFReader::read(rtf);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->attributesAt(0).underlineStyle, c.readBack) << c.word;
    }
}

TEST(PLRTFWriter, EmbedsPicturesThatWordProcessorsShow)
{
    const QByteArray png = RichTextTest::pngBytes(10, 6, Qt::red);
    QByteArray jpeg;
    QByteArray gif;
    {
        QImage image(5, 5, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPEG");
    }
    const struct {
        QByteArray contents;
        const char* name;
        const char* blip;
        bool bytesKept;
    } cases[] = {
        {png, "chart.png", "\\pngblip", true},
        {jpeg, "photo.jpg", "\\jpegblip", true},
        {RichTextTest::fixture("pixels.png"), "pixels.png", "\\pngblip", true},
    };
    for (const auto& c : cases) {
        PLAttributedString text(QStringLiteral("a"), font("Helvetica", 12));
        text.append(PLAttributedString::fromAttachment(PLTextAttachment::make(QString::fromLatin1(c.name), c.contents, QSizeF(40, 24)),
                                                       font("Helvetica", 12)));
        text.append(QStringLiteral("b"), font("Helvetica", 12));
        const QByteArray rtf = PLRTFWriter::write(text);
        EXPECT_TRUE(rtf.contains(c.blip)) << c.name;
        EXPECT_TRUE(rtf.contains("\\picwgoal800\\pichgoal480")) << c.name;
        const std::optional<PLAttributedString> back = PLRTFReader::read(rtf);
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, text) << c.name << ": name, bytes and size come back";
    }

}

TEST(PLRTFWriter, NeverDropsAnAttachment)
{
    // A PNG and a bitmap declaring sizes no decoder takes on, and files that are not pictures.
    QByteArray hugePng = RichTextTest::pngBytes(2, 2, Qt::red);
    hugePng.replace(16, 8, QByteArray("\x7f\xff\xff\xff\x7f\xff\xff\xff", 8));
    QByteArray hugeDib(40, '\0');
    hugeDib[0] = 40;
    hugeDib[4] = hugeDib[8] = '\x7f';
    hugeDib[5] = hugeDib[6] = hugeDib[9] = hugeDib[10] = '\xff';
    hugeDib[12] = 1;
    hugeDib[14] = 24;
    hugeDib.append(QByteArray(12, '\x55'));
    const QByteArray hugeBmp = QByteArray("BM") + QByteArray("\x42\0\0\0\0\0\0\0\x36\0\0\0", 12) + hugeDib;
    const struct {
        const char* name;
        QByteArray contents;
        QSizeF size;
        bool bytesKept; // else only the place and the name
    } cases[] = {
        {"huge.png", hugePng, QSizeF(30, 20), true},
        {"huge.png", hugePng, QSizeF(), true},
        {"huge.bmp", hugeBmp, QSizeF(30, 20), true},
        {"drawing.emf", QByteArray("\x01\0\0\0 not really", 15), QSizeF(), true},
        {"notes.txt", "text", QSizeF(), false},
        {"empty.png", QByteArray(), QSizeF(10, 10), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PLAttributedString text(QStringLiteral("a"));
        text.append(PLAttributedString::fromAttachment(PLTextAttachment::make(QString::fromLatin1(c.name), c.contents, c.size)));
        text.append(PLAttributedString(QStringLiteral("b")));
        PLError error;
        const std::optional<PLAttributedString> back = PLRTFReader::read(PLRTFWriter::write(text), nullptr, &error);
        ASSERT_TRUE(back);
        EXPECT_FALSE(error);
        EXPECT_EQ(back->string(), text.string());
        const PLTextAttachmentPtr attachment = back->attributesAt(1).attachment;
        ASSERT_TRUE(attachment);
        EXPECT_EQ(attachment->fileName(), QString::fromLatin1(c.name));
        EXPECT_EQ(attachment->displaySize(), c.size);
        EXPECT_EQ(attachment->contents(), c.bytesKept ? c.contents : QByteArray());
    }
}

TEST(PLRTFWriter, WritesAttachmentReferencesForRTFD)
{
    const QByteArray png = RichTextTest::pngBytes(20, 10, Qt::red);
    const auto picture = PLTextAttachment::make(QStringLiteral("Picture 1.png"), png, QSizeF(100, 50.5));
    const auto sameName = PLTextAttachment::make(QStringLiteral("Picture 1.png"), RichTextTest::pngBytes(4, 4, Qt::blue));
    PLAttributedString text(QStringLiteral("a"));
    text.append(PLAttributedString::fromAttachment(picture));
    text.append(PLAttributedString::fromAttachment(sameName));
    text.append(PLAttributedString::fromAttachment(PLTextAttachment::make(QStringLiteral("Picture 1.png"), png, QSizeF(100, 50.5))));
    text.append(PLAttributedString::fromAttachment(PLTextAttachment::make(QStringLiteral("TXT.rtf"), "not the text")));

    QList<PLRTFWriter::File> files;
    const QByteArray rtf = PLRTFWriter::writeWithReferences(text, {}, &files);
    ASSERT_EQ(files.size(), 3) << "an attachment that comes twice is one file";
    EXPECT_EQ(files[0].name, QStringLiteral("Picture 1.png"));
    EXPECT_EQ(files[0].contents, png);
    EXPECT_EQ(files[1].name, QStringLiteral("Picture 1 2.png"));
    EXPECT_EQ(files[2].name, QStringLiteral("TXT 2.rtf"));
    // The exact form that text edits of RTFD text look for: the reference through "}¬}".
    EXPECT_TRUE(rtf.contains("{{\\NeXTGraphic Picture 1.png \\width2000 \\height1010\n}\xAC}"));
    EXPECT_EQ(rtf.count("{{\\NeXTGraphic Picture 1.png "), 2);

    const auto lookup = [&](const QString& name) -> std::optional<QByteArray> {
        for (const PLRTFWriter::File& f : files)
            if (f.name == name) return f.contents;
        return std::nullopt;
    };
    PLError error;
    const std::optional<PLAttributedString> back = PLRTFReader::read(rtf, nullptr, &error, lookup);
    ASSERT_TRUE(back);
    EXPECT_FALSE(error);
    EXPECT_EQ(back->string(), text.string());
    EXPECT_EQ(back->attributesAt(1).attachment->contents(), png);
    EXPECT_EQ(back->attributesAt(1).attachment->displaySize(), QSizeF(100, 50.5));
    EXPECT_EQ(back->attributesAt(2).attachment->fileName(), QStringLiteral("Picture 1 2.png"));
    EXPECT_EQ(back->attributesAt(4).attachment->contents(), QByteArray("not the text"));
}

// A list paragraph's leading "\t...\t" goes into \listtext only when a reader gives it back
// as it was; any other such text is written as the paragraph's own text.
TEST(PLRTFWriter, ListParagraphTextThatIsNoMarkerRoundTrips)
{
    PLParagraphStyle bullets;
    bullets.textLists = {{QStringLiteral("{disc}"), 1}};
    const PLTextAttributes plain = withParagraph(font("Helvetica", 12), bullets);
    PLTextAttributes bold = withParagraph(font("Helvetica", 12, true), bullets);
    PLTextAttributes linked = plain;
    linked.link = QStringLiteral("https://example.com/");
    const struct {
        const char* name;
        QList<std::pair<QString, PLTextAttributes>> runs;
    } cases[] = {
        {"space inside the tabs", {{QStringLiteral("\tx(226 \tItem\n"), plain}}},
        {"empty label", {{QStringLiteral("\t\tItem\n"), plain}}},
        {"two styles in the label", {{QStringLiteral("\t1"), plain}, {QStringLiteral(".\tItem\n"), bold}}},
        {"linked label", {{QStringLiteral("\t*\t"), linked}, {QStringLiteral("Item\n"), plain}}},
        {"long label", {{QStringLiteral("\t") + QString(1200, QLatin1Char('a')) + QStringLiteral("\tItem\n"), plain}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PLAttributedString text;
        for (const auto& [string, attributes] : c.runs) text.append(string, attributes);
        expectEqualRuns(roundTrip(text), text);
    }
}

// A break inside a link's target belongs to the target: it must neither end the paragraph
// nor take the place of the cell's end mark that closes the cell the link ends in.
TEST(PLRTFWriter, LinkTargetsWithBreaksStayInTheirCell)
{
    const QByteArray rtf = "{\\rtf1\\ansi \\trowd\\cellx2000\\cellx4000 \\pard\\intbl "
                           "{\\field{\\*\\fldinst{HYPERLINK \"a\\uc0\\u10 b\\uc0\\u9 c\"}}{\\fldrslt link}}\\cell "
                           "second\\cell\\row}";
    PLError error;
    const std::optional<PLAttributedString> text = PLRTFReader::read(rtf, nullptr, &error);
    ASSERT_TRUE(text) << error.failureReason().toStdString();
    ASSERT_EQ(RichTextTest::attributesOf(*text, QStringLiteral("link")).link, QStringLiteral("a\nb\tc"));
    const PLAttributedString back = roundTrip(*text);
    EXPECT_EQ(RichTextTest::tableOutline(back), RichTextTest::tableOutline(*text));
    EXPECT_EQ(RichTextTest::attributesOf(back, QStringLiteral("link")).link, QStringLiteral("a\nb\tc"));
}
