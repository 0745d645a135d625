#pragma once

#include "Platform/Text/PLAttributedString.h"

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QSet>
#include <QTextCharFormat>
#include <QTextEdit>

#include <functional>
#include <optional>

class IXColorWell;
class IXSpellingHighlighter;
class QMenu;

// The text view of the note editor, a rich-text edit over the platform's conversion of
// attributed strings. Beyond a plain rich-text edit it
//  - lets two colour wells decide what a chosen colour is: the text colour while the text
//    well is active, the text background while the background well is; a colour of alpha
//    below 0.2 removes that colour;
//  - toggles superscript and subscript (pressed again, text goes back to the base line);
//  - adds "Spacing...", "List...", "Link...", "Table..." and "Insert Picture..." to its
//    context menu (each only where the window offers its panel);
//  - shrinks every picture wider or taller than 100 points to fit 100 × 100, keeping its
//    ratio, whenever the user changes the text (a loaded note keeps its pictures as stored);
//  - marks misspelled words while continuous spell checking is on.
// Whether the user changed the text since it was loaded is the document's modified flag.
class IXNoteTextView : public QTextEdit {
    Q_OBJECT
public:
    static constexpr double PictureBox = 100.0;
    // Colours with less alpha count as no colour.
    static constexpr double MinimumColorAlpha = 0.2;

    explicit IXNoteTextView(QWidget* parent = nullptr);
    ~IXNoteTextView() override;

    // --- The text ---
    // Replaces the text; its own undo starts empty and the text counts as unchanged.
    void setNoteText(const PLAttributedString& text, const QTextCharFormat& typingFormat = {});
    PLAttributedString noteText() const;
    bool isTextChanged() const;
    void setTextChanged(bool changed);

    // --- Colours ---
    void setColorWells(IXColorWell* foreground, IXColorWell* background);
    // The colour of the selection (the typing format with an empty selection) when the whole
    // selection has one, else none.
    std::optional<QColor> selectedColor(bool background) const;
    // The colour of the active well's kind, black when neither is active or there is none.
    QColor color() const;
    // A colour picked for the active well (see the class comment); without an active well a
    // colour becomes the text colour.
    void changeColor(const QColor& color);

    // --- Character attributes ---
    // The superscript level of the selection, as for the colours.
    std::optional<int> selectedSuperscript() const;
    void changeSuperscript(int delta);
    // Toggles: raised text goes back toward the base line, other text is raised (lowered).
    Q_INVOKABLE void superscript(QObject* sender);
    Q_INVOKABLE void subscript(QObject* sender);
    Q_INVOKABLE void underline(QObject* sender);
    // The font panel's font, for the selection or the typing format.
    Q_INVOKABLE void changeFont(QObject* sender);
    void applyFont(const QFont& font);
    // Adds or removes a trait (bold, italic) over a non-empty selection, as its start has it.
    void toggleFontTrait(bool bold);
    // Whether the font at the selection's start has the trait.
    bool selectionStartHasTrait(bool bold) const;
    // Merges the format into the selection or, without one, into the typing format.
    void mergeFormat(const QTextCharFormat& format);

    // --- Pictures ---
    // A picture that fits the box, keeping its ratio, each side made even; the image itself
    // when it fits already, is null, or the box is empty.
    static QSize adjustedSize(const QSizeF& size, const QSizeF& box);
    static QImage adjustedImage(const QImage& image, const QSizeF& box);
    // Inserts a picture file at the cursor; false (nothing inserted) when the bytes are no
    // picture.
    bool insertPicture(const QString& fileName, const QByteArray& bytes);
    // Shrinks every picture larger than the box (what a change by the user does).
    void shrinkPictures();

    // --- Spelling ---
    IXSpellingHighlighter* spellingHighlighter() const { return m_highlighter; }
    void setContinuousSpellCheckingEnabled(bool enabled);

    // --- Context menu ---
    // The panels the menu may open; an entry whose panel is not given is left out.
    struct Panels {
        std::function<void()> spacing;
        std::function<void()> list;
        std::function<void()> link;
        std::function<void()> table;
        std::function<void()> insertPicture;
    };
    void setPanels(Panels panels) { m_panels = std::move(panels); }
    // The standard menu with the panels' entries after a separator; the caller owns it.
    QMenu* makeContextMenu();

signals:
    // The colour (or the superscript level) under the selection may have changed.
    void selectionAttributesChanged();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Calls the function with each fragment of the selection, clipped to it.
    template <typename Function> void forEachSelectedRun(Function function) const;
    void userChangedText();

    QPointer<IXColorWell> m_foregroundWell;
    QPointer<IXColorWell> m_backgroundWell;
    IXSpellingHighlighter* m_highlighter = nullptr;
    Panels m_panels;
    // Pictures already seen to fit the box, by resource name.
    QSet<QString> m_fittingPictures;
    int m_pictureSerial = 0;
    bool m_loading = false;
    bool m_shrinking = false;
};
