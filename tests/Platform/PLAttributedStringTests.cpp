#include "Platform/Core/PLAssert.h"
#include "Platform/Text/PLAttributedString.h"

#include "RichTextTestSupport.h"

#include <gtest/gtest.h>

namespace {

PLTextAttributes bold()
{
    PLTextAttributes a;
    a.font = PLFont(QStringLiteral("Arial"), 12, true);
    return a;
}

PLTextAttributes red()
{
    PLTextAttributes a;
    a.foregroundColor = QColor(Qt::red);
    return a;
}

// "plain BOLD plain" with the middle word bold.
PLAttributedString sample()
{
    PLAttributedString text(QStringLiteral("plain "));
    text.append(QStringLiteral("BOLD"), bold());
    text.append(QStringLiteral(" plain"), PLTextAttributes());
    return text;
}

} // namespace

TEST(PLAttributedString, RunsAreTheLongestRangesOfEqualAttributes)
{
    PLAttributedString text = sample();
    EXPECT_EQ(text.string(), QStringLiteral("plain BOLD plain"));
    ASSERT_EQ(text.runCount(), 3);
    PLRange range;
    EXPECT_EQ(text.attributesAt(7, &range), bold());
    EXPECT_EQ(range, PLRange(6, 4));
    text.setAttributes(PLTextAttributes(), PLRange(6, 4));
    EXPECT_EQ(text.runCount(), 1) << "equal neighbours merge";
    text.append(QStringLiteral("!"), PLTextAttributes());
    EXPECT_EQ(text.runCount(), 1);
}

TEST(PLAttributedString, AddAndRemoveChangeOnlyTheirAttribute)
{
    PLAttributedString text = sample();
    text.addAttributes(red(), PLRange(3, 10)); // "in BOLD pl"
    EXPECT_EQ(text.runCount(), 5);
    PLRange range;
    const PLTextAttributes& middle = text.attributesAt(8, &range);
    EXPECT_EQ(range, PLRange(6, 4));
    EXPECT_EQ(middle.font, bold().font);
    EXPECT_EQ(middle.foregroundColor, QColor(Qt::red));
    EXPECT_EQ(text.effectiveRange(PLTextAttributes::Key::ForegroundColor, 8), PLRange(3, 10))
        << "one attribute's range spans runs";
    EXPECT_EQ(text.effectiveRange(PLTextAttributes::Key::Font, 8), PLRange(6, 4));

    text.removeAttribute(PLTextAttributes::Key::ForegroundColor, PLRange(0, text.length()));
    EXPECT_EQ(text, sample());
}

TEST(PLAttributedString, ReplacedCharactersTakeTheAttributesAround)
{
    const struct {
        PLRange range;
        const char* replacement;
        const char* expected;
        int attributesFrom; // index in the result whose attributes the new text must have
        bool isBold;
    } cases[] = {
        {{6, 4}, "STRONG", "plain STRONG plain", 6, true},  // first replaced character
        {{10, 0}, "ER", "plain BOLDER plain", 10, true},    // inserted: the character before
        {{0, 0}, ">", ">plain BOLD plain", 0, false},       // at the start: the character after
        {{5, 6}, "", "plainplain", 5, false},               // deletion
    };
    for (const auto& c : cases) {
        PLAttributedString text = sample();
        text.replaceCharacters(c.range, QString::fromLatin1(c.replacement));
        EXPECT_EQ(text.string(), QString::fromLatin1(c.expected));
        EXPECT_EQ(text.attributesAt(c.attributesFrom).font.has_value(), c.isBold) << c.expected;
    }
    PLAttributedString empty;
    empty.replaceCharacters(PLRange(0, 0), QStringLiteral("new"));
    EXPECT_EQ(empty.string(), QStringLiteral("new"));
    EXPECT_TRUE(empty.attributesAt(0).isEmpty());
}

TEST(PLAttributedString, ReplacingWithRichTextKeepsItsRuns)
{
    PLAttributedString text = sample();
    PLAttributedString insert(QStringLiteral("red"), red());
    insert.append(QStringLiteral("bold"), bold());
    text.replaceCharacters(PLRange(6, 4), insert);
    EXPECT_EQ(text.string(), QStringLiteral("plain redbold plain"));
    PLRange range;
    EXPECT_EQ(text.attributesAt(6, &range), red());
    EXPECT_EQ(range, PLRange(6, 3));
    EXPECT_EQ(text.attributesAt(9, &range), bold());
    EXPECT_EQ(range, PLRange(9, 4));
    EXPECT_EQ(text.attributesAt(13, &range), PLTextAttributes());
    EXPECT_EQ(range, PLRange(13, 6));

    text.insert(0, text); // a text into itself
    EXPECT_EQ(text.string(), QStringLiteral("plain redbold plainplain redbold plain"));
    EXPECT_EQ(text.runCount(), 7) << "the plain end and start of the copies merge";
}

TEST(PLAttributedString, SubstringAndAppendAreInverse)
{
    const PLAttributedString text = sample();
    for (int cut = 0; cut <= text.length(); ++cut) {
        PLAttributedString left = text.substring(PLRange(0, cut));
        left.append(text.substring(PLRange(cut, text.length() - cut)));
        EXPECT_EQ(left, text) << cut;
    }
    const PLAttributedString middle = text.substring(PLRange(4, 4));
    EXPECT_EQ(middle.string(), QStringLiteral("n BO"));
    EXPECT_EQ(middle.runCount(), 2);
}

TEST(PLAttributedString, AttachmentsAreListedPerCharacterAndCompareByContents)
{
    const auto picture = PLTextAttachment::make(QStringLiteral("a.png"), QByteArray("bytes"));
    PLAttributedString text(QStringLiteral("x"));
    text.append(PLAttributedString::fromAttachment(picture));
    text.append(PLAttributedString::fromAttachment(picture));
    EXPECT_TRUE(text.hasAttachments());
    EXPECT_EQ(text.attachments().size(), 2);
    EXPECT_EQ(text.runCount(), 2) << "two characters of one attachment form one run";

    PLAttributedString copy(QStringLiteral("x"));
    copy.append(QString(2, QChar(PLAttributedString::AttachmentCharacter)), [] {
        PLTextAttributes a;
        a.attachment = PLTextAttachment::make(QStringLiteral("a.png"), QByteArray("bytes"));
        return a;
    }());
    EXPECT_EQ(copy, text);
    PLTextAttributes other;
    other.attachment = PLTextAttachment::make(QStringLiteral("a.png"), QByteArray("other"));
    copy.setAttributes(other, PLRange(1, 1));
    EXPECT_NE(copy, text);
    EXPECT_FALSE(sample().hasAttachments());
}

TEST(PLAttributedString, RangesOutsideTheTextAreProgrammingErrors)
{
    PLAttributedString text = sample();
    EXPECT_THROW(text.attributesAt(text.length()), PLAssertionFailure);
    EXPECT_THROW(text.setAttributes(red(), PLRange(10, 7)), PLAssertionFailure);
    EXPECT_THROW(text.replaceCharacters(PLRange(-1, 1), QStringLiteral("x")), PLAssertionFailure);
    EXPECT_THROW(text.substring(PLRange(0, 17)), PLAssertionFailure);
    EXPECT_EQ(text, sample()) << "a refused change changes nothing";
}
