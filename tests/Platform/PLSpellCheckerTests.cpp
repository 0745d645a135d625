#include "Platform/Text/PLSpellChecker.h"

#include "TestSupport/QStringPrinter.h"

#include <gtest/gtest.h>

namespace {
QStringList misspelledWords(const PLSpellChecker& checker, const QString& text, int tag = 0)
{
    QStringList words;
    int start = 0;
    for (;;) {
        const PLRange range = checker.checkSpelling(text, start, tag);
        if (range.isEmpty()) {
            EXPECT_EQ(range.location, text.size());
            break;
        }
        words.append(text.mid(range.location, range.length));
        start = range.end();
    }
    return words;
}
}

TEST(PLSpellChecker, FindsTheSystemDictionary)
{
    EXPECT_TRUE(PLSpellChecker::affixPathForLanguage(QStringLiteral("en_US")).endsWith(QStringLiteral("/en_US.aff")));
    EXPECT_TRUE(PLSpellChecker::affixPathForLanguage(QStringLiteral("xx_NOPE")).isEmpty());
    EXPECT_TRUE(PLSpellChecker::sharedChecker().isAvailable());
    EXPECT_EQ(&PLSpellChecker::sharedChecker(), &PLSpellChecker::sharedChecker());
}

TEST(PLSpellChecker, MisspelledRanges)
{
    const PLSpellChecker& checker = PLSpellChecker::sharedChecker();
    const struct {
        const char* text;
        QStringList misspelled;
    } cases[] = {
        {"", {}},
        {"A plain English sentence.", {}},
        {"Teh quick brwn fox", {"Teh", "brwn"}},
        {"don't can\u2019t isn't", {}},           // apostrophes, typographic too
        {"doesnt", {"doesnt"}},
        {"Version 2 of 3rd item x86 42", {}},      // words with digits are not judged
        {"HELLO wrold, mispeled!", {"wrold", "mispeled"}},
        {"well-known seperate-word", {"seperate"}},
        {"cafe na\u00efve qwzxv", {"na\u00efve", "qwzxv"}}, // whole words beyond ASCII
        {"line one\nsecnd line", {"secnd"}},
        {"'quoted' (words), \u201cin\u201d quotes; helo.", {"helo"}}, // quotes and punctuation are not part of words
        {"\u65e5\u672c\u8a9e \u043f\u0440\u0438\u0432\u0435\u0442 text wrods", {"wrods"}}, // other scripts are not judged
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(misspelledWords(checker, text), c.misspelled) << c.text;
    }
}

TEST(PLSpellChecker, StartOffsetAndWordCount)
{
    const PLSpellChecker& checker = PLSpellChecker::sharedChecker();
    const QString text = QStringLiteral("xqzy good xqzy");
    const struct {
        int start;
        PLRange expected;
        int words;
    } cases[] = {
        {0, PLRange(0, 4), 1},
        {2, PLRange(10, 4), 2},   // inside the first word: checking begins at the next word
        {4, PLRange(10, 4), 2},
        {10, PLRange(10, 4), 1},
        {14, PLRange(14, 0), 0},
        {20, PLRange(14, 0), 0},
    };
    for (const auto& c : cases) {
        int words = -1;
        EXPECT_EQ(checker.checkSpelling(text, c.start, 0, &words), c.expected) << c.start;
        EXPECT_EQ(words, c.words) << c.start;
    }
}

TEST(PLSpellChecker, GuessesAndCorrectWords)
{
    const PLSpellChecker& checker = PLSpellChecker::sharedChecker();
    EXPECT_TRUE(checker.guesses(QStringLiteral("speling")).contains(QStringLiteral("spelling")));
    EXPECT_TRUE(checker.guesses(QStringLiteral("recieve")).contains(QStringLiteral("receive")));
    EXPECT_TRUE(checker.guesses(QString()).isEmpty());
    EXPECT_TRUE(checker.isCorrect(QStringLiteral("receive")));
    EXPECT_FALSE(checker.isCorrect(QStringLiteral("recieve")));
}

TEST(PLSpellChecker, IgnoredWordsBelongToOneDocument)
{
    PLSpellChecker& checker = PLSpellChecker::sharedChecker();
    const int first = checker.uniqueSpellDocumentTag();
    const int second = checker.uniqueSpellDocumentTag();
    ASSERT_NE(first, second);
    const QString text = QStringLiteral("Ideaflux maps blorp");

    checker.ignoreWord(QStringLiteral("Ideaflux"), first);
    checker.ignoreWord(QStringLiteral("Ideaflux"), first); // once only
    EXPECT_EQ(checker.ignoredWords(first), QStringList{QStringLiteral("Ideaflux")});
    EXPECT_EQ(misspelledWords(checker, text, first), QStringList{QStringLiteral("blorp")});
    EXPECT_EQ(misspelledWords(checker, text, second), (QStringList{QStringLiteral("Ideaflux"), QStringLiteral("blorp")}));
    // Ignored words compare exactly.
    EXPECT_EQ(misspelledWords(checker, QStringLiteral("ideaflux"), first), QStringList{QStringLiteral("ideaflux")});

    checker.setIgnoredWords({QStringLiteral("blorp"), QStringLiteral("blorp"), QString()}, second);
    EXPECT_EQ(checker.ignoredWords(second), QStringList{QStringLiteral("blorp")});
    EXPECT_EQ(misspelledWords(checker, text, second), QStringList{QStringLiteral("Ideaflux")});

    checker.closeSpellDocument(first);
    EXPECT_TRUE(checker.ignoredWords(first).isEmpty());
    EXPECT_EQ(misspelledWords(checker, text, first).size(), 2);
    checker.closeSpellDocument(second);
}

TEST(PLSpellChecker, WithoutDictionaryNothingIsMisspelled)
{
    PLSpellChecker checker(QStringLiteral("/nonexistent/xx.aff"), QStringLiteral("/nonexistent/xx.dic"));
    EXPECT_FALSE(checker.isAvailable());
    EXPECT_EQ(checker.checkSpelling(QStringLiteral("qwzxv brwn"), 0), PLRange(10, 0));
    EXPECT_TRUE(checker.guesses(QStringLiteral("brwn")).isEmpty());
}
