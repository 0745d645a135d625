#include "DocumentViews/IXTrackingLoop.h"

#include "MapLayout/IXLayoutContext.h"
#include "Platform/Core/PLUndoManager.h"
#include "Platform/System/PLMouseTracking.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

IXTrackingLoop::IXTrackingLoop(QWidget* view)
    : m_view(view)
    , m_window(view ? view->window() : nullptr)
{
    if (m_view) m_view->installEventFilter(this);
    if (m_window && m_window != m_view) m_window->installEventFilter(this);
    // A view that is gone or not shown cannot take the gesture's events.
    if (!m_view || !m_view->isVisible()) m_cancelled = true;
}

IXTrackingLoop::~IXTrackingLoop()
{
    if (m_view) m_view->removeEventFilter(this);
    if (m_window) m_window->removeEventFilter(this);
    if (m_undo) m_undo->enableUndoRegistration();
    if (m_autosizeContext) {
        m_autosizeContext->removeObserver(this);
        m_autosizeContext->enableCanvasAutosize();
    }
}

void IXTrackingLoop::suspendUndoRegistration(PLUndoManager* undo)
{
    if (m_undo || !undo) return;
    m_undo = undo;
    m_undo->disableUndoRegistration();
}

void IXTrackingLoop::suspendCanvasAutosize(IXLayoutContext* context)
{
    if (m_autosizeContext || !context) return;
    m_autosizeContext = context;
    m_autosizeContext->disableCanvasAutosize();
    m_autosizeContext->addObserver(this);
}

PLMouseEvent IXTrackingLoop::nextEvent()
{
    if (!m_cancelled) {
        const std::uint32_t mask = PLMouseEvent::maskForType(PLMouseEvent::LeftMouseDragged)
            | PLMouseEvent::maskForType(PLMouseEvent::LeftMouseUp)
            | PLMouseEvent::maskForType(PLMouseEvent::TrackingCancelled);
        if (const std::optional<PLMouseEvent> event = PLMouseTracking::nextEvent(mask)) {
            if (event->type() != PLMouseEvent::TrackingCancelled) {
                m_lastLocation = event->locationInView();
                return *event;
            }
            m_cancelled = true;
        }
    }
    m_cancelled = true;
    return PLMouseEvent(PLMouseEvent::TrackingCancelled, m_lastLocation);
}

void IXTrackingLoop::cancel()
{
    if (m_cancelled) return;
    m_cancelled = true;
    // Wakes the waiting loop; a cancellation left over after the gesture is dropped with the
    // next gesture's first event.
    if (PLMouseTracking::isTracking())
        PLMouseTracking::postEvent(PLMouseEvent(PLMouseEvent::TrackingCancelled, m_lastLocation));
}

bool IXTrackingLoop::respondsToSelector(std::string_view selector) const
{
    return selector == IXLayoutContextWillInvalidate.selector();
}

void IXTrackingLoop::notifiedOfLayoutContextWillInvalidate(IXLayoutContext* context)
{
    if (context != m_autosizeContext) return;
    // The context's owner releases it: nothing may reach it after this.
    m_autosizeContext->removeObserver(this);
    m_autosizeContext = nullptr;
    cancel();
}

bool IXTrackingLoop::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (watched == m_view && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            cancel();
            return true;
        }
        break;
    case QEvent::FocusOut:
        if (watched == m_view) cancel();
        break;
    case QEvent::Hide:
    case QEvent::WindowDeactivate:
        cancel();
        break;
    default:
        break;
    }
    return false;
}
