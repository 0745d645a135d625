#pragma once

#include "MapLayout/IXLayoutContextObserver.h"
#include "Platform/System/PLMouseEvent.h"

#include <QObject>
#include <QPointer>

class IXLayoutContext;
class PLUndoManager;
class QWidget;

// A mouse gesture followed from inside its mouse-down handler (a rubber band, panning, a drag):
// each nextEvent runs a nested loop in the event-tracking run-loop mode (PLMouseTracking) until
// the view posts the next drag or release of the left button, so deferred layout goes on
// meanwhile and everything recorded stays one undo step.
//
// The gesture is abandoned as Escape abandons it when the grab is lost: Escape pressed in the
// view, the view losing the keyboard focus or being hidden, its window being deactivated or
// hidden, or the context going away. nextEvent then answers TrackingCancelled (and goes on
// answering it), so a loop always ends.
//
// Switches a gesture turns off for its length (undo registration, the canvas following its
// cells) come back on when the loop is destroyed, however the gesture ended. Main thread only.
class IXTrackingLoop : public QObject, public IXLayoutContextObserver {
    Q_OBJECT
public:
    // Follows the gesture in the view (which posts its mouse events to PLMouseTracking).
    explicit IXTrackingLoop(QWidget* view);
    ~IXTrackingLoop() override;
    IXTrackingLoop(const IXTrackingLoop&) = delete;
    IXTrackingLoop& operator=(const IXTrackingLoop&) = delete;

    // Turns undo registration off until the loop ends; the manager must outlive the loop.
    void suspendUndoRegistration(PLUndoManager* undo);
    // Stops the context's canvas following its cells until the loop ends (or the context ends).
    void suspendCanvasAutosize(IXLayoutContext* context);

    // The next left-button drag or release, or TrackingCancelled once the gesture is abandoned.
    PLMouseEvent nextEvent();
    bool isCancelled() const { return m_cancelled; }
    // Abandons the gesture: the waiting or next nextEvent answers TrackingCancelled.
    void cancel();

    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfLayoutContextWillInvalidate(IXLayoutContext* context) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_view;
    QPointer<QWidget> m_window;
    PLUndoManager* m_undo = nullptr;
    IXLayoutContext* m_autosizeContext = nullptr;
    PLPoint m_lastLocation;
    bool m_cancelled = false;
};
