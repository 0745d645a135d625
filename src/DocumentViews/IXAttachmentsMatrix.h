#pragma once

#include "DocumentViews/IXBalloonCell.h"

#include <QWidget>

#include <vector>

// The rows of the attachments balloon: one column of IXBalloonCell rows, 180 by 20 points each,
// at most one selected (none after loading). A press selects the row under it, a double click
// asks for the row to be opened, and a context-menu request first selects the row under the
// pointer, so that the menu acts on the row that was clicked. Main thread only.
class IXAttachmentsMatrix : public QWidget {
    Q_OBJECT
public:
    static constexpr int CellWidth = 180;
    static constexpr int CellHeight = 20;

    explicit IXAttachmentsMatrix(QWidget* parent = nullptr);

    void setRows(std::vector<IXBalloonCell> rows);
    const std::vector<IXBalloonCell>& rows() const { return m_rows; }
    int selectedRow() const { return m_selected; }
    // The selected row's cell, or null.
    const IXBalloonCell* selectedCell() const;
    void selectRow(int row);
    void deselectAll() { selectRow(-1); }
    // Selects the row under a point of the matrix (the last row below the rows).
    void selectCellAtPoint(QPointF point);
    // The size of the rows.
    QSize sizeHint() const override;

signals:
    void rowDoubleClicked();
    void menuRequested(QPoint globalPosition);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    std::vector<IXBalloonCell> m_rows;
    int m_selected = -1;
};
