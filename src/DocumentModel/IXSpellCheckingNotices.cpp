#include "DocumentModel/IXSpellCheckingNotices.h"

#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Text/PLSpellChecker.h"

const QString IXSpellCheckingNotices::IgnoreWord = QStringLiteral("IXSpellCheckingIgnoreWord");
const QString IXSpellCheckingNotices::WordKey = QStringLiteral("string");
const QString IXSpellCheckingNotices::TagKey = QStringLiteral("tag");
const QString IXSpellCheckingNotices::ContinuousSpellCheckingChanged = QStringLiteral("IXContinuousSpellCheckingChanged");

void IXSpellCheckingNotices::ignoreWord(const QString& word, int documentTag, const void* sender)
{
    if (word.isEmpty()) return;
    PLSpellChecker::sharedChecker().ignoreWord(word, documentTag);
    PLNotificationCenter::defaultCenter().post(IgnoreWord, sender, {{WordKey, word}, {TagKey, documentTag}});
}
