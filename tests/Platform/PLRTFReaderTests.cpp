#include "Platform/Text/PLRTFReader.h"
#include "Platform/Text/PLRTFWriter.h"

#include "RichTextTestSupport.h"

#include <gtest/gtest.h>

using RichTextTest::attributesOf;
using RichTextTest::fixture;

namespace {

PLAttributedString readOK(const QByteArray& rtf)
{
    PLError error;
    const std::optional<PLAttributedString> text = PLRTFReader::read(rtf, nullptr, &error);
    EXPECT_TRUE(text.has_value()) << rtf.toStdString();
    EXPECT_FALSE(error) << rtf.toStdString() << ": " << error.failureReason().toStdString();
    return text.value_or(PLAttributedString());
}

PLParagraphStyle paragraphOf(const PLAttributedString& text, const char* needle)
{
    return attributesOf(text, QString::fromUtf8(needle)).paragraphStyle.value_or(PLParagraphStyle());
}

} // namespace

TEST(PLRTFReader, ReadsTheEditorStyleFixture)
{
    PLDocumentAttributes document;
    PLError error;
    const QByteArray picture = fixture("pixels.png");
    const auto files = [&](const QString& name) -> std::optional<QByteArray> {
        if (name == QLatin1String("pixels.png")) return picture;
        return std::nullopt;
    };
    const std::optional<PLAttributedString> text = PLRTFReader::read(fixture("editor-style.rtf"), &document, &error, files);
    ASSERT_TRUE(text);
    EXPECT_FALSE(error) << error.failureReason().toStdString();
    EXPECT_EQ(text->string(), QString::fromUtf8("Plain Helvetica, Arial bold blue, Times italic 14.\n"
                                                "Centred underlined and struck, x2, H2O.\n"
                                                "a link\n"
                                                "Picture: \uFFFC\n"
                                                "\t\u2022\tItem one\n\t\u2022\tItem two\n"
                                                "Euro \u20AC and \u2603 done"));

    EXPECT_EQ(attributesOf(*text, QStringLiteral("Plain")).font, PLFont(QStringLiteral("Helvetica"), 12));
    const PLTextAttributes& arial = attributesOf(*text, QStringLiteral("Arial bold"));
    EXPECT_EQ(arial.font, PLFont(QStringLiteral("Arial"), 12, true));
    EXPECT_EQ(arial.foregroundColor, QColor(0, 0, 255));
    const PLTextAttributes& times = attributesOf(*text, QStringLiteral("Times"));
    EXPECT_EQ(times.font, PLFont(QStringLiteral("Times New Roman"), 14, false, true));
    ASSERT_TRUE(times.foregroundColor);
    EXPECT_NEAR(times.foregroundColor->alphaF(), 0.5, 0.001) << "alpha from the expanded colour table";
    EXPECT_NEAR(times.foregroundColor->redF(), 0.98431, 0.0001);

    EXPECT_EQ(paragraphOf(*text, "Centred").alignment, PLParagraphStyle::Alignment::Center);
    EXPECT_EQ(paragraphOf(*text, "Plain").tabStops.size(), 3);
    EXPECT_EQ(attributesOf(*text, QStringLiteral("underlined")).underlineStyle, 1);
    EXPECT_EQ(attributesOf(*text, QStringLiteral("struck")).strikethroughStyle, 1);
    EXPECT_EQ(text->attributesAt(int(text->string().indexOf(QLatin1String("x2"))) + 1).superscript, 1);
    EXPECT_EQ(text->attributesAt(int(text->string().indexOf(QLatin1String("H2O"))) + 1).superscript, -1);

    const PLTextAttributes& link = attributesOf(*text, QStringLiteral("a link"));
    EXPECT_EQ(link.link, QStringLiteral("https://example.com/"));
    EXPECT_EQ(link.underlineColor, QColor(0, 0, 255));
    EXPECT_FALSE(attributesOf(*text, QStringLiteral("\nPicture")).link) << "the field's formatting ends with it";

    const PLTextAttributes& attachment = attributesOf(*text, QString(QChar(0xFFFC)));
    ASSERT_TRUE(attachment.attachment);
    EXPECT_EQ(attachment.attachment->fileName(), QStringLiteral("pixels.png"));
    EXPECT_EQ(attachment.attachment->contents(), picture);
    EXPECT_TRUE(attachment.attachment->displaySize().isEmpty()) << "shown at its natural size";
    EXPECT_FALSE(text->string().contains(QChar(0x00AC))) << "the placeholder after the reference is dropped";

    const PLParagraphStyle item = paragraphOf(*text, "Item two");
    ASSERT_EQ(item.textLists.size(), 1);
    EXPECT_EQ(item.textLists[0].markerFormat, QStringLiteral("{disc}"));
    EXPECT_EQ(item.leftIndent, 36);
    EXPECT_EQ(item.firstLineIndent, 0);
    EXPECT_EQ(item.defaultTabInterval, 36);
    EXPECT_FALSE(attributesOf(*text, QStringLiteral("Euro")).paragraphStyle) << "\\pard with defaults only";

    EXPECT_EQ(document.paperSize, QSizeF(595, 842));
    EXPECT_EQ(document.leftMargin, 72);
    EXPECT_EQ(document.rightMargin, 72);
    EXPECT_EQ(document.viewSize, QSizeF(576, 420));
    EXPECT_EQ(document.viewMode, PLDocumentAttributes::ViewMode::Normal);
    EXPECT_EQ(document.info.value(QStringLiteral("title")), QStringLiteral("Note fixture"));
    EXPECT_EQ(document.info.value(QStringLiteral("author")), QStringLiteral("Test Author"));
}

TEST(PLRTFReader, ReadsRTFWrittenByLibreOffice)
{
    PLDocumentAttributes document;
    PLError error;
    const std::optional<PLAttributedString> text = PLRTFReader::read(fixture("libreoffice.rtf"), &document, &error);
    ASSERT_TRUE(text);
    EXPECT_FALSE(error) << error.failureReason().toStdString();
    EXPECT_EQ(text->string(),
              QString::fromUtf8("Bold Arial and italic and underlined and struck text.\n"
                                "Blue Times on yellow x2 H2O\n"
                                "Centred: caf\u00e9 \u20ac5 \u041f\u0440\u0438\u0432\u0435\u0442 \u65e5\u672c\n"
                                "Right aligned\n"
                                "Indented paragraph with a hanging first line that runs long enough to wrap onto a second line of text.\n"
                                "A link to example here.\n"
                                // List labels as list items carry them, whatever space surrounds them.
                                "\t\u2022\tFirst bullet\n\t\u2022\tSecond bullet\n"
                                "\t1.\tOne\n\t2.\tTwo\n"
                                "Picture: \uFFFC\n"));

    EXPECT_EQ(attributesOf(*text, QStringLiteral("Bold Arial")).font, PLFont(QStringLiteral("Arial"), 12, true));
    EXPECT_TRUE(attributesOf(*text, QStringLiteral("italic")).font->italic);
    EXPECT_EQ(attributesOf(*text, QStringLiteral("underlined")).underlineStyle, 1);
    EXPECT_EQ(attributesOf(*text, QStringLiteral("struck")).strikethroughStyle, 1);
    const PLTextAttributes& blue = attributesOf(*text, QStringLiteral("Blue Times"));
    EXPECT_EQ(blue.font, PLFont(QStringLiteral("Times New Roman"), 18));
    EXPECT_EQ(blue.foregroundColor, QColor(0, 0, 255));
    EXPECT_EQ(attributesOf(*text, QStringLiteral("on yellow")).backgroundColor, QColor(255, 255, 0));
    EXPECT_EQ(text->attributesAt(int(text->string().indexOf(QLatin1String("x2"))) + 1).baselineOffset, 4);

    EXPECT_EQ(paragraphOf(*text, "Centred").alignment, PLParagraphStyle::Alignment::Center);
    EXPECT_EQ(paragraphOf(*text, "Right").alignment, PLParagraphStyle::Alignment::Right);
    const PLParagraphStyle indented = paragraphOf(*text, "Indented");
    EXPECT_EQ(indented.leftIndent, 72);
    EXPECT_EQ(indented.firstLineIndent, 36);
    EXPECT_NEAR(indented.lineHeightMultiple, 1.15, 1e-9);
    EXPECT_EQ(indented.spacingAfter, 7);

    EXPECT_EQ(attributesOf(*text, QStringLiteral("link to")).link, QStringLiteral("https://example.com/page?x=1"));
    EXPECT_FALSE(attributesOf(*text, QStringLiteral(" here")).link);
    EXPECT_EQ(paragraphOf(*text, "First bullet").textLists.value(0).markerFormat, QStringLiteral("{disc}"));
    EXPECT_EQ(paragraphOf(*text, "Two").textLists.value(0).markerFormat, QStringLiteral("{decimal}."));
    // Written back, the labels stay labels: once in the text, once in the list group.
    const QByteArray written = PLRTFWriter::write(*text);
    EXPECT_EQ(written.count("{\\listtext"), 4);
    EXPECT_EQ(PLRTFReader::read(written)->string(), text->string());

    const PLTextAttachmentPtr picture = attributesOf(*text, QString(QChar(0xFFFC))).attachment;
    ASSERT_TRUE(picture) << "only the \\shppict picture, not its \\nonshppict copy";
    EXPECT_EQ(text->attachments().size(), 1);
    EXPECT_EQ(picture->contents(), fixture("pixels.png"));
    EXPECT_TRUE(picture->fileName().endsWith(QLatin1String(".png")));
    EXPECT_EQ(picture->displaySize(), QSizeF(30, 15));

    EXPECT_EQ(document.paperSize, QSizeF(595.3, 841.9));
    EXPECT_EQ(document.leftMargin, 56.7);
    EXPECT_EQ(document.topMargin, 28.35);
    EXPECT_EQ(document.info.value(QStringLiteral("title")), QStringLiteral("Fixture"));
}

TEST(PLRTFReader, DecodesCodePagesUnicodeAndSymbols)
{
    const struct {
        const char* rtf;
        const char* expected; // UTF-8
    } cases[] = {
        {R"({\rtf1\ansi caf\'e9 \{x\} a\\b \'80})", "caf\u00e9 {x} a\\b \u20ac"},
        {R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8})", "\u041f\u0440\u0438"},
        {R"({\rtf1\ansi{\fonttbl{\f0\fcharset204 Arial;}{\f1 Arial;}}\f0 \'cf\f1 \'cf})", "\u041f\u00cf"},
        {R"({\rtf1\ansi{\fonttbl\f0\fcharset128 MS Gothic;}\f0 \'93\'fa\'96\'7b})", "\u65e5\u672c"},
        {R"({\rtf1\mac \'8e})", "\u00e9"},
        {R"({\rtf1\ansi \u8364?x\uc2\u8364\'80\'80y\uc0\u8364 z})", "\u20acx\u20acy\u20acz"},
        {R"({\rtf1\ansi \uc0\u-10179\u-8704 \u-3913 })", "\U0001F600\uF0B7"},
        {R"({\rtf1\ansi \uc1\u8364{\b ?}x})", "\u20ac?x"}, // a group ends the fallback
        // Surrogates pair where they can; a lone half becomes U+FFFD.
        {R"({\rtf1\ansi \u-10179?\u-8704?x})", "\U0001F600x"},
        {R"({\rtf1\ansi \uc0 a\u-10179 b\u-8704 c})", "a\uFFFDb\uFFFDc"},
        {R"({\rtf1\ansi \uc0\u-10179\u-10179\u-8704 \u-10179})", "\uFFFD\U0001F600\uFFFD"},
        {R"({\rtf1\ansi \uc0{\u-10179}\u-8704 })", "\uFFFD\uFFFD"},
        {R"({\rtf1 a\~b\-c\_d\emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote})",
         "a\u00a0b\u00adc\u2011d\u2014\u2013\u2022\u2018\u2019\u201c\u201d"},
        {"{\\rtf1 a\\tab b\\line c\\par d\\\ne\\sect f\\page g\tH}", "a\tb\u2028c\nd\ne\nf\fg\tH"},
        {"{\\rtf1 a\r\nb}", "ab"},
    };
    for (const auto& c : cases) EXPECT_EQ(readOK(c.rtf).string(), QString::fromUtf8(c.expected)) << c.rtf;
}

TEST(PLRTFReader, LeavesOutWhatIsNotDocumentText)
{
    const struct {
        const char* rtf;
        const char* expected;
    } cases[] = {
        {R"({\rtf1 a{\*\unknown skipped {nested {deeper}}}b{\*\bkmkstart x}c})", "abc"},
        {R"({\rtf1{\stylesheet{\s0 Normal;}}{\header head}a{\footnote note}b{\info{\title T}}c})", "abc"},
        {R"({\rtf1 a{\v hidden}b\v c\v0 d})", "abd"},
        {R"({\rtf1 a\bin3 {}}b})", "ab"},
        {R"({\rtf1 a{\*\x\bin2 }}}b})", "ab"},
        {R"({\rtf1 {\field{\*\fldinst PAGE}{\fldrslt 3}}})", "3"},
        {R"({\rtf1 a}}}trailing garbage)", "a"},
        {R"({\rtf1 {\pict\wbitmap0 00ff}a})", "a"}, // a picture kind not kept
        {R"({\rtf1 {\nonshppict{\pict\pngblip 00}}a})", "a"},
    };
    for (const auto& c : cases) {
        const PLAttributedString text = readOK(c.rtf);
        EXPECT_EQ(text.string(), QString::fromUtf8(c.expected)) << c.rtf;
        EXPECT_FALSE(text.hasAttachments()) << c.rtf;
    }
}

TEST(PLRTFReader, ReadsHyperlinkFields)
{
    const struct {
        const char* instruction;
        const char* target;
    } cases[] = {
        {R"(HYPERLINK "https://example.com/")", "https://example.com/"},
        {R"({\b HYPERLINK} "https://x.org/a b" \\o "tip")", "https://x.org/a b"},
        {R"(HYPERLINK \\l "section")", "#section"},
        {R"(HYPERLINK "file.htm" \\l "part")", "file.htm#part"},
        {R"(HYPERLINK "C:\\\\dir\\\\f.txt")", "C:\\dir\\f.txt"},
        {R"(HYPERLINK mailto:a@b.c)", "mailto:a@b.c"},
    };
    for (const auto& c : cases) {
        const QByteArray rtf = QByteArray("{\\rtf1 x{\\field{\\*\\fldinst ") + c.instruction + "}{\\fldrslt {\\i link}}}y}";
        const PLAttributedString text = readOK(rtf);
        EXPECT_EQ(text.string(), QStringLiteral("xlinky"));
        EXPECT_EQ(attributesOf(text, QStringLiteral("link")).link, QString::fromUtf8(c.target)) << c.instruction;
        EXPECT_TRUE(attributesOf(text, QStringLiteral("link")).font->italic);
        EXPECT_FALSE(attributesOf(text, QStringLiteral("y")).link);
    }
}

TEST(PLRTFReader, ReadsEmbeddedPictures)
{
    const QByteArray png = RichTextTest::pngBytes(8, 4, Qt::green);
    const QByteArray hex = png.toHex();
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bmp;
    {
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "BMP");
    }
    const QByteArray dib = bmp.mid(14); // a bitmap file without its file header

    const struct {
        QByteArray rtf;
        QByteArray contents; // empty: the picture must be readable
        const char* name;
        QSizeF displaySize;
    } cases[] = {
        {"{\\rtf1 a{\\*\\shppict{\\pict{\\*\\picprop{\\sp{\\sn wzName}{\\sv chart.png}}}\\picwgoal400\\pichgoal200\\pngblip\n"
             + hex + "}}{\\nonshppict{\\pict\\wmetafile8 0000}}b}",
         png, "chart.png", QSizeF(20, 10)},
        {"{\\rtf1 a{\\pict\\pngblip\\picscalex50\\picscaley50\\picwgoal400\\pichgoal200\\bin" + QByteArray::number(png.size()) + " " + png
             + "}b}",
         png, "Picture1.png", QSizeF(10, 5)},
        {"{\\rtf1 a{\\pict\\jpegblip " + hex + "}b}", png, "Picture1.png", QSizeF()}, // the bytes tell the kind
        {"{\\rtf1 a{\\pict\\dibitmap0 " + dib.toHex() + "}b}", QByteArray(), "Picture1.bmp", QSizeF()},
    };
    for (const auto& c : cases) {
        const PLAttributedString text = readOK(c.rtf);
        EXPECT_EQ(text.string(), QString::fromUtf8("a\uFFFCb"));
        const PLTextAttachmentPtr attachment = text.attributesAt(1).attachment;
        ASSERT_TRUE(attachment) << c.rtf.left(60).toStdString();
        EXPECT_EQ(attachment->fileName(), QString::fromLatin1(c.name));
        if (!c.contents.isEmpty()) {
            EXPECT_EQ(attachment->contents(), c.contents);
        }
        EXPECT_FALSE(attachment->image().isNull()) << c.name;
        EXPECT_EQ(attachment->displaySize().isEmpty(), c.displaySize.isEmpty());
        if (!c.displaySize.isEmpty()) {
            EXPECT_EQ(attachment->displaySize(), c.displaySize);
        }
    }
}

TEST(PLRTFReader, ReadsParagraphSettingsInAnyOrder)
{
    const struct {
        const char* words;
        PLParagraphStyle expected;
    } cases[] = {
        {R"(\fi-360\li720)", [] { PLParagraphStyle s; s.leftIndent = 36; s.firstLineIndent = 18; return s; }()},
        {R"(\li720\fi-360\ri200)", [] { PLParagraphStyle s; s.leftIndent = 36; s.firstLineIndent = 18; s.rightIndent = 10; return s; }()},
        {R"(\sl360\slmult1)", [] { PLParagraphStyle s; s.lineHeightMultiple = 1.5; return s; }()},
        {R"(\sl-280\slmult0)", [] { PLParagraphStyle s; s.minimumLineHeight = s.maximumLineHeight = 14; return s; }()},
        {R"(\sl280\slmult0\slmaximum400\slleading40)",
         [] { PLParagraphStyle s; s.minimumLineHeight = 14; s.maximumLineHeight = 20; s.lineSpacing = 2; return s; }()},
        {R"(\sb120\sa240\qj\rtlpar)", [] {
             PLParagraphStyle s;
             s.spacingBefore = 6;
             s.spacingAfter = 12;
             s.alignment = PLParagraphStyle::Alignment::Justified;
             s.writingDirection = PLParagraphStyle::WritingDirection::RightToLeft;
             return s;
         }()},
        {R"(\tx720\tqr\tx1440\tqc\tx2160\tqdec\tx2880)", [] {
             using K = PLParagraphStyle::TabStop::Kind;
             PLParagraphStyle s;
             s.tabStops = {{36, K::Left}, {72, K::Right}, {108, K::Center}, {144, K::Decimal}};
             return s;
         }()},
    };
    for (const auto& c : cases) {
        const PLAttributedString text = readOK(QByteArray("{\\rtf1\\pard") + c.words + " text\\par}");
        EXPECT_EQ(text.attributesAt(0).paragraphStyle, c.expected) << c.words;
        EXPECT_EQ(text.attributesAt(4).paragraphStyle, c.expected) << "the paragraph's end takes its style";
    }
    const PLAttributedString groups = readOK(R"({\rtf1{\pard\qc centred\par}plain})");
    EXPECT_TRUE(groups.attributesAt(0).paragraphStyle);
    EXPECT_FALSE(groups.attributesAt(9).paragraphStyle) << "paragraph formatting ends with its group";
    const PLAttributedString joined = readOK(R"({\rtf1\pard one{\v\par}\qc two\par})");
    EXPECT_EQ(joined.string(), QStringLiteral("onetwo\n"));
    EXPECT_EQ(joined.effectiveRange(PLTextAttributes::Key::ParagraphStyle, 0), PLRange(0, 7))
        << "a hidden paragraph mark joins the paragraphs";
}

TEST(PLRTFReader, ReportsDocumentAttributes)
{
    PLDocumentAttributes document;
    const QByteArray rtf = R"({\rtf1\ansi\paperw12240\paperh15840\margl1800\margr1800\margt1440\margb1440\landscape)"
                           R"(\vieww9000\viewh8400\viewkind1\viewscale150\deftab720\readonlydoc1\hyphauto1\hyphfactor90)"
                           R"({\info{\author A. Writer}{\*\company Firm}{\keywords k1 k2}{\creatim\yr2008\mo3\dy4\hr5\min6\sec7}})"
                           R"({\*\background {\shp{\*\shpinst{\sp{\sn fillColor}{\sv 14811135}}}}})"
                           R"(body})";
    const std::optional<PLAttributedString> text = PLRTFReader::read(rtf, &document);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->string(), QStringLiteral("body"));
    EXPECT_EQ(document.paperSize, QSizeF(612, 792));
    EXPECT_EQ(document.leftMargin, 90);
    EXPECT_EQ(document.rightMargin, 90);
    EXPECT_EQ(document.topMargin, 72);
    EXPECT_EQ(document.bottomMargin, 72);
    EXPECT_EQ(document.landscape, true);
    EXPECT_EQ(document.viewSize, QSizeF(450, 420));
    EXPECT_EQ(document.viewMode, PLDocumentAttributes::ViewMode::PageLayout);
    EXPECT_EQ(document.viewZoom, 150);
    EXPECT_EQ(document.defaultTabInterval, 36);
    EXPECT_EQ(document.readOnly, true);
    EXPECT_EQ(document.hyphenationFactor, 0.9);
    EXPECT_EQ(document.backgroundColor, QColor(0xFF, 0xFF, 0xE1));
    EXPECT_EQ(document.info.value(QStringLiteral("author")), QStringLiteral("A. Writer"));
    EXPECT_EQ(document.info.value(QStringLiteral("company")), QStringLiteral("Firm"));
    EXPECT_EQ(document.info.value(QStringLiteral("keywords")), QStringLiteral("k1 k2"));
    EXPECT_EQ(document.creationTime, QDateTime(QDate(2008, 3, 4), QTime(5, 6, 7)));
}

TEST(PLRTFReader, SkipsDamagedPiecesAndReportsStructuralDamage)
{
    const QByteArray deep = "{\\rtf1 a" + QByteArray(100000, '{') + "b" + QByteArray(100000, '}') + "}";
    const QByteArray deepSkipped = "{\\rtf1 a{\\*\\x" + QByteArray(100000, '{') + QByteArray(100000, '}') + "}b}";
    const struct {
        QByteArray rtf;
        const char* textSoFar;
        int code; // 0: no error
    } cases[] = {
        {"{\\rtf1 abc", "abc", PLRTFReader::TruncatedError},
        {"{\\rtf1 a{\\b b", "ab", PLRTFReader::TruncatedError},
        {"{\\rtf1 a\\", "a", PLRTFReader::TruncatedError},
        {"{\\rtf1 a\\'4", "a", PLRTFReader::TruncatedError},
        // Damaged pieces are dropped and the text goes on.
        {"{\\rtf1 a\\'zzb}", "ab", 0},
        {"{\\rtf1 a\\'4zb\\'e9}", "ab\u00E9", 0},
        {"{\\rtf1 a\\'{\\b b}c}", "abc", 0},
        {"{\\rtf1 a{\\pict\\pngblip 89zz50}b}", "ab", 0},
        {"{\\rtf1 a{\\pict\\pngblip 8950 4e47 ;}b}", "ab", 0},
        // Structural damage is reported, and the text after it kept.
        {"{\\rtf1 a}b}", "ab", PLRTFReader::MalformedError},
        {"{\\rtf1 a}}\\b b}", "ab", PLRTFReader::MalformedError},
        // Whole ignorable groups after the document (theme data, a data store) are not text.
        {QByteArray("{\\rtf1 a}\r\n{\\*\\themedata 7b5c}{\\*\\datastore {\\} 01}}\n\0", 54), "a", 0},
        {"{\\rtf1 a}{\\*\\x {01}", "a", PLRTFReader::MalformedError},
        {"{\\rtf1 a}{\\*\\x 01}{\\b b}", "ab", PLRTFReader::MalformedError},
        {"{\\rtf1 a\\bin999999999 xyz}", "a", PLRTFReader::TruncatedError},
        {"{\\rtf1 a\\bin-5 xyz}", "a", PLRTFReader::TruncatedError},
        {"{\\rtf1 a{\\*\\x\\bin99 }b}", "a", PLRTFReader::TruncatedError},
        {"{\\rtf1 a{\\*\\x {{", "a", PLRTFReader::TruncatedError},
        {deep, "ab", PLRTFReader::TooDeepError},
        {deep + "c}", "abc", PLRTFReader::TooDeepError},
        {deepSkipped, "ab", 0},
        {"{\\rtf1 a\\fs99999999999999999999 b\\u99999999?c\\uc99999999 d\\f-5 e}", "abcde", 0},
        {"{\\rtf1 {\\pict\\pngblip\\picw2147483647\\pich2147483647\\picwgoal2147483647\\pichgoal2147483647 0102}x}", "\uFFFCx", 0},
    };
    for (const auto& c : cases) {
        PLError error;
        const std::optional<PLAttributedString> text = PLRTFReader::read(c.rtf, nullptr, &error);
        ASSERT_TRUE(text) << c.rtf.left(40).toStdString();
        EXPECT_EQ(text->string(), QString::fromUtf8(c.textSoFar)) << c.rtf.left(40).toStdString();
        EXPECT_EQ(error.code(), c.code) << c.rtf.left(40).toStdString();
        if (c.code) {
            EXPECT_EQ(error.domain(), QStringLiteral("Ideaflux"));
            EXPECT_FALSE(error.failureReason().isEmpty());
        }
    }

    PLError error;
    EXPECT_FALSE(PLRTFReader::read("plain text", nullptr, &error));
    EXPECT_EQ(error.code(), PLRTFReader::NotRTFError);
    EXPECT_FALSE(PLRTFReader::read(QByteArray(), nullptr, &error));
    EXPECT_TRUE(PLRTFReader::isRTF(" \r\n{\\rtf1}"));
}
