#include "Platform/Text/PLRTFDArchive.h"
#include "Platform/Text/PLRichTextFormat.h"

#include "RichTextTestSupport.h"

#include <gtest/gtest.h>

TEST(PLRichTextFormat, DetectsTheFormAndReadsEach)
{
    PLTextAttributes a;
    a.font = PLFont(QStringLiteral("Helvetica"), 12);
    PLAttributedString rich(QStringLiteral("rich "), a);
    rich.append(PLAttributedString::fromAttachment(PLTextAttachment::make(QStringLiteral("p.png"), RichTextTest::pngBytes(2, 2, Qt::red)), a));
    const struct {
        QByteArray data;
        PLRichTextFormat::Kind kind;
        QString text;
    } cases[] = {
        {"{\\rtf1 rtf}", PLRichTextFormat::Kind::RTF, QStringLiteral("rtf")},
        {PLRTFDArchive::serialize(rich), PLRichTextFormat::Kind::RTFD, rich.string()},
        {"plain {\\rtf1 later}", PLRichTextFormat::Kind::PlainText, QStringLiteral("plain {\\rtf1 later}")},
        {QByteArray(), PLRichTextFormat::Kind::PlainText, QString()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PLRichTextFormat::detect(c.data), c.kind) << c.data.left(10).toStdString();
        const std::optional<PLAttributedString> text = PLRichTextFormat::read(c.data);
        ASSERT_TRUE(text);
        EXPECT_EQ(text->string(), c.text);
    }
}

TEST(PLRichTextFormat, PlainTextIsUTF8OrUTF16WithAByteOrderMark)
{
    const QString expected = QString::fromUtf8("Gr\u00fc\u00dfe \u65e5\u672c \U0001F600\nline");
    const QByteArray utf8 = expected.toUtf8();
    QByteArray utf16le("\xFF\xFE", 2);
    QByteArray utf16be("\xFE\xFF", 2);
    for (QChar c : expected) {
        utf16le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        utf16be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    }
    const struct {
        const char* name;
        QByteArray data;
        QString text;
    } cases[] = {
        {"UTF-8", utf8, expected},
        {"UTF-8 with mark", "\xEF\xBB\xBF" + utf8, expected},
        {"UTF-16LE", utf16le, expected},
        {"UTF-16BE", utf16be, expected},
        {"invalid UTF-8", "a\xFF" "b", QString::fromUtf8("a\uFFFDb")},
    };
    for (const auto& c : cases) {
        const PLAttributedString text = PLRichTextFormat::fromPlainTextData(c.data);
        EXPECT_EQ(text.string(), c.text) << c.name;
        EXPECT_TRUE(text.isEmpty() || text.attributesAt(0).isEmpty());
    }
}

TEST(PLRichTextFormat, PlainTextLeavesAttachmentsOut)
{
    PLAttributedString text(QString::fromUtf8("a\u2028b\u2029c "));
    text.append(PLAttributedString::fromAttachment(PLTextAttachment::make(QStringLiteral("p.png"), "x")));
    text.append(PLAttributedString(QStringLiteral(" d\n")));
    EXPECT_EQ(PLRichTextFormat::plainText(text), QStringLiteral("a\nb\nc  d\n"));
}
