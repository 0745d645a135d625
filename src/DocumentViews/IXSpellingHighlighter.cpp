#include "DocumentViews/IXSpellingHighlighter.h"

#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Text/PLSpellChecker.h"

#include <QTextCharFormat>

IXSpellingHighlighter::IXSpellingHighlighter(QTextDocument* document)
    : QSyntaxHighlighter(document)
{
}

void IXSpellingHighlighter::setEnabled(bool flag)
{
    if (flag == m_enabled) return;
    m_enabled = flag;
    rehighlight();
}

void IXSpellingHighlighter::setSpellDocumentTag(int tag)
{
    if (tag == m_tag) return;
    m_tag = tag;
    if (m_enabled) rehighlight();
}

void IXSpellingHighlighter::highlightBlock(const QString& text)
try {
    if (!m_enabled) return;
    QTextCharFormat mark;
    mark.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    mark.setUnderlineColor(Qt::red);
    const PLSpellChecker& checker = PLSpellChecker::sharedChecker();
    for (PLRange range = checker.checkSpelling(text, 0, m_tag); !range.isEmpty();
         range = checker.checkSpelling(text, range.end(), m_tag))
        setFormat(range.location, range.length, mark);
} catch (...) {
    PLExceptionBoundary::caught();
}
