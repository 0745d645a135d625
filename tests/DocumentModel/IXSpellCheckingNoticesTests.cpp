#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXSpellCheckingNotices.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Text/PLSpellChecker.h"
#include "TestSupport/QStringPrinter.h"

#include <gtest/gtest.h>

namespace {

// Stands for a map text cell: it keeps its text's misspelled words and checks them again
// when a word is ignored, whoever ignored it.
struct SpellMarkedText {
    QString text;
    std::shared_ptr<IXDocumentNode> document;
    QStringList marked;
    QStringList noticesSeen;

    SpellMarkedText(QString t, std::shared_ptr<IXDocumentNode> d) : text(std::move(t)), document(std::move(d))
    {
        check();
        PLNotificationCenter::defaultCenter().addObserver(this, IXSpellCheckingNotices::IgnoreWord, nullptr,
                                                           [this](const PLNotification& notice) {
                                                               noticesSeen << notice.userInfo.value(IXSpellCheckingNotices::WordKey).toString();
                                                               check();
                                                           });
    }
    ~SpellMarkedText() { PLNotificationCenter::defaultCenter().removeObserver(this); }

    void check()
    {
        marked.clear();
        const PLSpellChecker& checker = PLSpellChecker::sharedChecker();
        for (PLRange r = checker.checkSpelling(text, 0, document->spellDocumentTag()); !r.isEmpty();
             r = checker.checkSpelling(text, r.end(), document->spellDocumentTag()))
            marked << text.mid(r.location, r.length);
    }
};

}

TEST(IXSpellCheckingNotices, IgnoringAWordUnmarksItInEveryTextOfThatDocumentOnly)
{
    auto document = std::make_shared<IXDocumentNode>();
    auto otherDocument = std::make_shared<IXDocumentNode>();
    SpellMarkedText title(QStringLiteral("Zorblax launch plan"), document);
    SpellMarkedText note(QStringLiteral("Ask Zorblax about the budgt"), document);
    SpellMarkedText elsewhere(QStringLiteral("Zorblax"), otherDocument);
    ASSERT_EQ(title.marked, QStringList{QStringLiteral("Zorblax")});
    ASSERT_EQ(note.marked, (QStringList{QStringLiteral("Zorblax"), QStringLiteral("budgt")}));

    int panel = 0;
    IXSpellCheckingNotices::ignoreWord(QStringLiteral("Zorblax"), document->spellDocumentTag(), &panel);
    EXPECT_TRUE(title.marked.isEmpty());
    EXPECT_EQ(note.marked, QStringList{QStringLiteral("budgt")});
    EXPECT_EQ(elsewhere.marked, QStringList{QStringLiteral("Zorblax")});
    EXPECT_EQ(elsewhere.noticesSeen, QStringList{QStringLiteral("Zorblax")});

    // An empty word is not ignored and nothing is posted.
    IXSpellCheckingNotices::ignoreWord(QString(), document->spellDocumentTag(), &panel);
    EXPECT_EQ(title.noticesSeen.size(), 1);
    PLSpellChecker::sharedChecker().closeSpellDocument(document->spellDocumentTag());
}
