#include "DocumentViews/IXEditorSpelling.h"

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXSpellCheckingNotices.h"
#include "DocumentViews/IXContinuousSpellChecking.h"
#include "DocumentViews/IXSpellingHighlighter.h"
#include "MapLayout/IXLayoutContext.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Text/PLSpellChecker.h"

#include <utility>

IXEditorSpelling::~IXEditorSpelling()
{
    close();
}

void IXEditorSpelling::open(IXSpellingHighlighter* spelling, IXLayoutContext* context)
{
    close();
    m_spelling = spelling;
    m_spellDocumentTag = PLSpellChecker::uniqueSpellDocumentTag();
    spelling->setSpellDocumentTag(m_spellDocumentTag);
    spelling->setEnabled(IXContinuousSpellChecking::isOn());
    PLNotificationCenter::defaultCenter().addObserver(this, IXSpellCheckingNotices::ContinuousSpellCheckingChanged,
                                                      nullptr, [this](const PLNotification&) {
                                                          if (m_spelling)
                                                              m_spelling->setEnabled(IXContinuousSpellChecking::isOn());
                                                      });
    if (!spelling->isEnabled()) return;
    // The words ignored in the document are ignored here too.
    IXDocumentNode* document = context ? context->documentNode() : nullptr;
    if (!document) return;
    PLSpellChecker& checker = PLSpellChecker::sharedChecker();
    QStringList words = checker.ignoredWords(document->spellDocumentTag());
    if (words.isEmpty()) words = document->ignoredWords();
    if (!words.isEmpty()) checker.setIgnoredWords(words, m_spellDocumentTag);
    spelling->rehighlight();
}

void IXEditorSpelling::close()
{
    PLNotificationCenter::defaultCenter().removeObserver(this);
    m_spelling = nullptr;
    if (m_spellDocumentTag) PLSpellChecker::sharedChecker().closeSpellDocument(std::exchange(m_spellDocumentTag, 0));
}
