#pragma once

#include <QWidget>

class IXNoteTextView;
class QToolButton;

// The note editor's ruler: the alignment of the paragraphs under the cursor (left, centred,
// right, justified) and their left indent, shown for the text view's cursor and applied to
// its selected paragraphs.
class IXNoteRulerView : public QWidget {
    Q_OBJECT
public:
    static constexpr double IndentStep = 18.0;

    explicit IXNoteRulerView(IXNoteTextView* textView, QWidget* parent = nullptr);

    // Shows the alignment and indent at the cursor.
    void updateFromText();
    QToolButton* alignmentButton(Qt::Alignment alignment) const;
    void setAlignment(Qt::Alignment alignment);
    // Moves the selected paragraphs' left edge by steps (never left of 0).
    void indent(int steps);

private:
    IXNoteTextView* m_textView;
    QList<QToolButton*> m_alignmentButtons;
};
