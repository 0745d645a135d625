#include "UtilityWidgets/UTTableHeaderView.h"

#include "Platform/Core/PLExceptionBoundary.h"

#include <QContextMenuEvent>
#include <QMenu>

UTTableHeaderView::UTTableHeaderView(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
}

void UTTableHeaderView::setMenuForColumn(int column, QMenu* menu)
{
    if (menu)
        m_menus.insert(column, menu);
    else
        m_menus.remove(column);
}

void UTTableHeaderView::contextMenuEvent(QContextMenuEvent* event)
try {
    const int column = logicalIndexAt(event->pos());
    if (column < 0 || column >= count()) return;
    if (QMenu* menu = m_menus.value(column)) menu->popup(event->globalPos());
    event->accept();
} catch (...) {
    PLExceptionBoundary::caught();
}
