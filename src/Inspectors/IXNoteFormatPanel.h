#pragma once

#include <QDialog>
#include <QPointer>
#include <QTextListFormat>

class IXNoteTextView;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

// The small panels of the note editor that format its text: paragraph spacing, lists, links
// and tables. Each shows the values at the cursor, applies its values to the text view's
// selection (one undo step of the text) and closes; the text view may go away meanwhile.
class IXNoteFormatPanel : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Spacing, List, Link, Table };

    IXNoteFormatPanel(Kind kind, IXNoteTextView* textView, QWidget* parent = nullptr);
    // Shows a panel for the text view, non-modal, deleted when closed.
    static IXNoteFormatPanel* open(Kind kind, IXNoteTextView* textView);

    Kind kind() const { return m_kind; }
    // Applies the panel's values.
    void apply();

    // --- What the panels do ---
    // Line height in percent of the single line, space before and after paragraphs in points.
    static void applySpacing(IXNoteTextView* textView, double lineHeightPercent, double before, double after);
    // The selected paragraphs become a list of the style, or leave their list (style 0).
    static void applyList(IXNoteTextView* textView, QTextListFormat::Style style);
    // The selection (else the word at the cursor) links to the address; an empty address
    // removes the link.
    static void applyLink(IXNoteTextView* textView, const QString& address);
    static void insertTable(IXNoteTextView* textView, int rows, int columns);

    QDoubleSpinBox* lineHeightBox() const { return m_lineHeight; }
    QDoubleSpinBox* spaceBeforeBox() const { return m_before; }
    QDoubleSpinBox* spaceAfterBox() const { return m_after; }
    QComboBox* listStyleBox() const { return m_listStyle; }
    QLineEdit* addressField() const { return m_address; }
    QSpinBox* rowsBox() const { return m_rows; }
    QSpinBox* columnsBox() const { return m_columns; }

private:
    Kind m_kind;
    QPointer<IXNoteTextView> m_textView;
    QDoubleSpinBox* m_lineHeight = nullptr;
    QDoubleSpinBox* m_before = nullptr;
    QDoubleSpinBox* m_after = nullptr;
    QComboBox* m_listStyle = nullptr;
    QLineEdit* m_address = nullptr;
    QSpinBox* m_rows = nullptr;
    QSpinBox* m_columns = nullptr;
};
