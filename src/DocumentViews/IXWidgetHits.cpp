#include "DocumentViews/IXWidgetHits.h"

#include "DocumentViews/IXOutlineMapView.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutView.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QMenuBar>
#include <QWidget>
#include <QWindow>

QWidget* IXWidgetHits::widgetAt(QWindow* window, QPointF position)
{
    if (!window) return nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() != window) continue;
        QWidget* hit = top->childAt(position.toPoint());
        return hit ? hit : top;
    }
    return nullptr;
}

bool IXWidgetHits::isWithin(const QWidget* widget, const QWidget* area)
{
    return widget && area && (widget == area || area->isAncestorOf(widget));
}

bool IXWidgetHits::isInMenuBar(const QWidget* widget)
{
    for (const QWidget* up = widget; up; up = up->parentWidget())
        if (qobject_cast<const QMenuBar*>(up)) return true;
    return false;
}

QWidget* IXWidgetHits::overlayHost(QWidget* documentView)
{
    if (auto* rows = qobject_cast<QAbstractScrollArea*>(documentView)) return rows->viewport();
    return documentView;
}

QWidget* IXWidgetHits::documentView(const IXLayoutContext* context)
{
    if (!context) return nullptr;
    if (auto* view = dynamic_cast<QWidget*>(context->view())) return view;
    return IXOutlineMapView::outlineForContext(context);
}
