#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>

class IXCellListView;
class QMouseEvent;
class QPainter;

// A row that an IXCellListView lays out, draws and hit-tests; it has no widget of its own.
// The list asks for heights of every row but lays out and draws only the rows on screen, so
// the height must be cheap where it can be (a collapsed row).
class IXListCell {
public:
    virtual ~IXListCell() = default;

    // The list that shows the cell (null before it is added).
    virtual void setControlView(IXCellListView* view) { m_controlView = view; }
    IXCellListView* controlView() const { return m_controlView; }

    // The height of the row when it is given this width.
    virtual double heightForWidth(double width) = 0;
    virtual void draw(QPainter& painter, const QRectF& frame) = 0;
    // A press (or double click: clickCount 2) in the row's frame. Answers whether the cell
    // took it.
    virtual bool trackMouse(QMouseEvent* event, const QRectF& frame, int clickCount)
    {
        (void)event;
        (void)frame;
        (void)clickCount;
        return false;
    }
    // The tool tip over the point of the row, empty for none.
    virtual QString toolTipAt(const QPointF& point, const QRectF& frame)
    {
        (void)point;
        (void)frame;
        return {};
    }
    // The list's field editor finished editing for this cell with the text.
    virtual void editingDidEnd(const QString& text) { (void)text; }

private:
    IXCellListView* m_controlView = nullptr;
};
