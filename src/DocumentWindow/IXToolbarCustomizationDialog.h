#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;
class QListWidgetItem;

// The dialog in which the user chooses the document window toolbar's items: every allowed item
// is listed, the toolbar's ones first and ticked in their order; ticking, unticking and moving
// rows up and down arranges the toolbar, "Use Default Set" starts again from the default set.
// Separators and spaces can be ticked once per row and a further row of each is always
// offered.
class IXToolbarCustomizationDialog : public QDialog {
    Q_OBJECT
public:
    explicit IXToolbarCustomizationDialog(const QStringList& current, QWidget* parent = nullptr);

    // The ticked rows' identifiers, in order.
    QStringList chosenIdentifiers() const;
    QListWidget* list() const { return m_list; }
    // Moves the current row by the offset (-1 up, 1 down).
    void moveCurrentRow(int offset);
    // Lists the set with every other allowed item unticked after it.
    void showSet(const QStringList& identifiers);

private:
    QListWidgetItem* addRow(const QString& identifier, bool ticked);

    QListWidget* m_list = nullptr;
};
