#include "DocumentViews/IXAttachmentsMatrix.h"

#include "Platform/Core/PLExceptionBoundary.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

IXAttachmentsMatrix::IXAttachmentsMatrix(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::ClickFocus);
}

void IXAttachmentsMatrix::setRows(std::vector<IXBalloonCell> rows)
{
    m_rows = std::move(rows);
    m_selected = -1;
    resize(sizeHint());
    update();
}

const IXBalloonCell* IXAttachmentsMatrix::selectedCell() const
{
    return m_selected >= 0 && m_selected < int(m_rows.size()) ? &m_rows[size_t(m_selected)] : nullptr;
}

void IXAttachmentsMatrix::selectRow(int row)
{
    const int selected = row >= 0 && row < int(m_rows.size()) ? row : -1;
    if (selected == m_selected) return;
    m_selected = selected;
    update();
}

void IXAttachmentsMatrix::selectCellAtPoint(QPointF point)
{
    if (m_rows.empty() || point.y() < 0) return;
    selectRow(std::min(int(m_rows.size()) - 1, int(point.y() / CellHeight)));
}

QSize IXAttachmentsMatrix::sizeHint() const
{
    return QSize(CellWidth, CellHeight * int(m_rows.size()));
}

void IXAttachmentsMatrix::paintEvent(QPaintEvent*)
try {
    QPainter painter(this);
    for (size_t row = 0; row < m_rows.size(); ++row)
        m_rows[row].draw(painter, QRect(0, int(row) * CellHeight, width(), CellHeight), int(row) == m_selected);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXAttachmentsMatrix::mousePressEvent(QMouseEvent* event)
try {
    if (event->button() == Qt::LeftButton) selectCellAtPoint(event->position());
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXAttachmentsMatrix::mouseDoubleClickEvent(QMouseEvent* event)
try {
    if (event->button() != Qt::LeftButton) return;
    selectCellAtPoint(event->position());
    if (selectedCell()) emit rowDoubleClicked();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXAttachmentsMatrix::contextMenuEvent(QContextMenuEvent* event)
try {
    selectCellAtPoint(event->pos());
    emit menuRequested(event->globalPos());
} catch (...) {
    PLExceptionBoundary::caught();
}
