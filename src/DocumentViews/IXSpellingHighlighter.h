#pragma once

#include <QSyntaxHighlighter>

class QTextDocument;

// Continuous spelling marks for a text being typed: the words the shared spell checker finds
// misspelled in the spell document of a tag are underlined with a red spelling line, the way
// the map marks them. The marks are formats of the document's layout, not of its text, so they
// never reach the text's undo. While off, nothing is marked. Main thread only.
class IXSpellingHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit IXSpellingHighlighter(QTextDocument* document);

    bool isEnabled() const { return m_enabled; }
    // Switches the marks on or off and checks the whole text again.
    void setEnabled(bool flag);
    int spellDocumentTag() const { return m_tag; }
    void setSpellDocumentTag(int tag);

protected:
    void highlightBlock(const QString& text) override;

private:
    bool m_enabled = false;
    int m_tag = 0;
};
