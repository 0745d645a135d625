#pragma once

class IXLayoutContext;
class IXSpellingHighlighter;

// The spelling marks of a floating editor's text over the map: a spell document of its own,
// with the words ignored in the map's document, following the continuous-spelling switch until
// closed (or released). Main thread only.
class IXEditorSpelling {
public:
    IXEditorSpelling() = default;
    ~IXEditorSpelling();
    IXEditorSpelling(const IXEditorSpelling&) = delete;
    IXEditorSpelling& operator=(const IXEditorSpelling&) = delete;

    // Gives the editor's text its marks; the context names the document.
    void open(IXSpellingHighlighter* spelling, IXLayoutContext* context);
    // Ends the marks and the spell document.
    void close();

private:
    IXSpellingHighlighter* m_spelling = nullptr;
    int m_spellDocumentTag = 0;
};
