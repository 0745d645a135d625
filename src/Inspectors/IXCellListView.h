#pragma once

#include "Inspectors/IXListCell.h"

#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <memory>
#include <vector>

class QLineEdit;

// A vertical list of self-drawing rows (IXListCell). Each row gets a rectangle: inset by the
// spacing at the left and right, the spacing between rows and above the first; the list takes
// the available width (its scroll area's viewport when it is a scroll area's widget, else its
// own) and the rows' total height. Changes mark the list for tiling, which runs once on the
// next turn of the event loop (or at once before drawing or scrolling). Tiling asks every row
// for its height only; rows are laid out and drawn when they are on screen.
//
// Presses and double clicks go to the row under the mouse, tool tips are asked of the row
// under the mouse. The list keeps one field editor that a row opens over one of its parts;
// the edit ends (and is handed back to its row) on Return, on leaving the editor, on a press
// outside the rows and before the rows are removed; Escape drops it.
class IXCellListView : public QWidget {
    Q_OBJECT
public:
    explicit IXCellListView(QWidget* parent = nullptr);
    ~IXCellListView() override;

    void addCell(std::unique_ptr<IXListCell> cell);
    qsizetype count() const { return qsizetype(m_cells.size()); }
    IXListCell* cellAtIndex(qsizetype index) const;
    // The index of the cell, -1 when the list does not hold it.
    qsizetype indexOfCell(const IXListCell* cell) const;
    // Ends editing first.
    void removeAllCells();
    double spacing() const { return m_spacing; }
    void setSpacing(double spacing);

    void setNeedsTile();
    bool needsTile() const { return m_needsTile; }
    // Lays the rows out when marked.
    void tile();
    // How often the rows were laid out, for the tests.
    int tileCount() const { return m_tileCount; }
    // The row's rectangle as of the last tiling (empty when out of range).
    QRectF rectOfCell(qsizetype index) const;
    // The row under the point, -1 for none.
    qsizetype indexAtPoint(const QPointF& point) const;
    // Scrolls the enclosing scroll area so that the row shows.
    void scrollToCell(const IXListCell* cell);

    // --- The field editor ---
    // Opens the editor over the rectangle for the cell, with the text selected (or the caret
    // at the point when one is given).
    void editCell(IXListCell* cell, const QRectF& rect, const QString& text, bool editable, const QString& placeholder,
                  const QPointF* point = nullptr);
    // Hands the edit back to its cell.
    void endEditing();
    // Drops the edit without handing it back.
    void cancelEditing();
    IXListCell* editingCell() const { return m_editingCell; }
    // The editor while an edit runs, else null.
    QLineEdit* fieldEditor() const;

signals:
    void frameChanged();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QSizeF availableSize() const;
    void watchParent();
    void routeMouse(QMouseEvent* event, int clickCount);

    std::vector<std::unique_ptr<IXListCell>> m_cells;
    std::vector<QRectF> m_rects;
    double m_spacing = 0;
    bool m_needsTile = false;
    bool m_tiling = false;
    int m_tileCount = 0;
    QPointer<QWidget> m_watchedParent;
    QLineEdit* m_editor = nullptr;
    IXListCell* m_editingCell = nullptr;
};
