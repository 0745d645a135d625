// The map view as a drag destination; what a drop does is IXMapViewDropTarget's.
#include "DocumentViews/IXMapView.h"

#include "DocumentViews/IXMapViewDropTarget.h"
#include "Platform/Core/PLExceptionBoundary.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>

namespace {

void answerDrag(QDragMoveEvent* event, Qt::DropAction operation)
{
    if (operation == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(operation);
    event->accept();
}

}  // namespace

void IXMapView::dragEnterEvent(QDragEnterEvent* event)
try {
    dragMoveEvent(event);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXMapView::dragMoveEvent(QDragMoveEvent* event)
try {
    IXMapViewDropTarget target(m_context.get());
    answerDrag(event, target.draggingUpdated(event->mimeData(), pointFromQt(event->position()), event->modifiers()));
} catch (...) {
    event->ignore();
    PLExceptionBoundary::caught();
}

void IXMapView::dragLeaveEvent(QDragLeaveEvent* event)
try {
    IXMapViewDropTarget(m_context.get()).draggingExited();
    event->accept();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXMapView::dropEvent(QDropEvent* event)
try {
    IXMapViewDropTarget target(m_context.get());
    const bool dropped = target.performDrop(event->mimeData(), pointFromQt(event->position()), event->modifiers());
    if (!dropped) {
        event->ignore();
        return;
    }
    event->setDropAction(IXMapViewDropTarget::isLinkMode(event->modifiers()) ? Qt::LinkAction : event->dropAction());
    event->accept();
} catch (...) {
    event->ignore();
    PLExceptionBoundary::caught();
}
