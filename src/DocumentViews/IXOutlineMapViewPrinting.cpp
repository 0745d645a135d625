// The outline as the printing view draws it: the header and every shown row stacked from the
// top, whatever part of them the view shows on screen.
#include "DocumentViews/IXOutlineMapView.h"

#include "DocumentViews/IXOutlineModel.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyleOptionHeader>

namespace {

// A row whose size the delegate cannot tell is printed this high.
constexpr int FallbackRowHeight = 18;

}  // namespace

void IXOutlineMapView::setNeededForPrinting(bool needed)
{
    if (!needed && m_neededForPrinting && !window()->isVisible() && !parentWidget()) detachFromController();
    m_neededForPrinting = needed;
}

PLRect IXOutlineMapView::printBounds() const
{
    const QHeaderView* head = header();
    const int width = head->length();
    int height = head->isHidden() ? 0 : head->sizeHint().height();
    int rows = 0;
    for (QModelIndex index = model() ? model()->index(0, 0) : QModelIndex(); index.isValid();
         index = indexBelow(index)) {
        const int row = indexRowSizeHint(index);
        height += row > 0 ? row : FallbackRowHeight;
        ++rows;
    }
    // Without rows there is nothing to print, not even the header.
    if (rows == 0 || width <= 0) return PLRect();
    return PLRect(0, 0, float(width), float(height));
}

void IXOutlineMapView::printRow(QPainter& painter, const QRect& rect, const QModelIndex& index) const
{
    // The band of a root branch or its child spans the whole row, indentation included.
    const QVariant background = m_model->data(index, Qt::BackgroundRole);
    if (background.isValid()) painter.fillRect(rect, background.value<QColor>());
    int depth = 0;
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) ++depth;
    const QHeaderView* head = header();
    // Each cell through its delegate, as the rows draw on screen (which paints only the
    // columns in view); no selection, focus or hover is printed.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver);
    for (int visual = 0; visual < head->count(); ++visual) {
        const int logical = head->logicalIndex(visual);
        if (head->isSectionHidden(logical)) continue;
        const QModelIndex cell = index.siblingAtColumn(logical);
        if (!cell.isValid()) continue;
        QRect cellRect(head->sectionPosition(logical), rect.top(), head->sectionSize(logical), rect.height());
        if (logical == treePosition())
            cellRect.setLeft(cellRect.left() + indentation() * (depth + (rootIsDecorated() ? 1 : 0)));
        option.rect = cellRect;
        if (QAbstractItemDelegate* delegate = itemDelegateForIndex(cell)) delegate->paint(&painter, option, cell);
    }
    drawRowGrid(painter, rect, 0);
}

void IXOutlineMapView::drawForPrinting(QPainter& painter) const
{
    const QHeaderView* head = header();
    const int width = head->length();
    const QRectF clip = painter.hasClipping() ? painter.clipBoundingRect() : QRectF();
    const auto visible
        = [&clip](int top, int height) { return clip.isNull() || (top < clip.bottom() && top + height > clip.top()); };
    int y = 0;
    if (!head->isHidden()) {
        const int height = head->sizeHint().height();
        if (visible(y, height)) {
            for (int visual = 0; visual < head->count(); ++visual) {
                const int logical = head->logicalIndex(visual);
                if (head->isSectionHidden(logical)) continue;
                QStyleOptionHeader option;
                option.initFrom(head);
                option.rect = QRect(head->sectionPosition(logical), y, head->sectionSize(logical), height);
                option.section = logical;
                option.text = model()->headerData(logical, Qt::Horizontal).toString();
                option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
                painter.save();
                painter.setClipRect(option.rect, Qt::IntersectClip);
                style()->drawControl(QStyle::CE_Header, &option, &painter, head);
                painter.restore();
            }
        }
        y += height;
    }
    for (QModelIndex index = model() ? model()->index(0, 0) : QModelIndex(); index.isValid();
         index = indexBelow(index)) {
        const int size = indexRowSizeHint(index);
        const int height = size > 0 ? size : FallbackRowHeight;
        if (visible(y, height)) {
            painter.save();
            painter.setClipRect(QRect(0, y, width, height), Qt::IntersectClip);
            painter.fillRect(QRect(0, y, width, height), Qt::white);
            printRow(painter, QRect(0, y, width, height), index);
            painter.restore();
        }
        y += height;
    }
}
