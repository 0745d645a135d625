#pragma once

#include <QApplication>
#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <chrono>
#include <memory>

class QWindow;

// The application object. Beyond Qt's behaviour it
// - gives the current editing tool the first look at every event that reaches a window
//   (keys, mouse, wheel; before shortcuts for key presses): a tool that takes an event keeps
//   it from its window and from the menus; otherwise the key window's items with shortcuts
//   are validated before Qt looks a shortcut up, so that a shortcut works exactly when its
//   menu item would be enabled;
// - resolves actions without a target through its own order: the current tool, the key window
//   (not a sheet), the key child window, the main window (see targetForAction);
// - keeps the key child window: a child panel of the document window that has the focus while
//   the document window stays main;
// - as a last resort behind the exception boundaries of our handlers (PLExceptionBoundary),
//   catches every exception that reaches it during event dispatch, reports it as a boundary
//   does and abandons that event's work.
//
// The key window is Qt's active window; the main window is the last active ordinary window
// (not a panel, dialog or sheet) while it is shown. Main thread only.
class IXApplication : public QApplication {
    Q_OBJECT
public:
    IXApplication(int& argc, char** argv);
    ~IXApplication() override;

    // The application object, or null when it is not an IXApplication.
    static IXApplication* instance();

    bool notify(QObject* receiver, QEvent* event) override;

    // For tracking loops (dragging, panning): waits, running the event loop in the tracking
    // mode, for the next window event of one of the types and takes it from the dispatch; other
    // events are dispatched meanwhile. Null when the time runs out first, and when the current
    // tool takes the event (onNextEvent). Positions are those of the window.
    std::unique_ptr<QEvent> nextEventMatchingMask(const QList<QEvent::Type>& types, std::chrono::milliseconds timeout);

    // The object that carries out the action: an explicit target when it responds; without
    // one the current tool, then the key window (a sheet counts as none), the key child
    // window, then the main window, each searched through its parent window, its responder
    // chain, its delegate and its attached sheet; finally what Qt's focus order gives (the key
    // and main windows' responder chains and delegates, this application and its delegate).
    QObject* targetForAction(const QByteArray& action, QObject* target, QObject* sender);
    // Sends the action to its target with the sender; false when nothing responds.
    bool sendAction(const QByteArray& action, QObject* target, QObject* sender);

    QWidget* keyChildWindow() const { return m_keyChildWindow; }
    // Makes the window the key child window; a window that cannot become one counts as none.
    void setKeyChildWindow(QWidget* window);

    QWidget* keyWindow() const;
    QWidget* mainWindow() const;

    // The application's delegate (not owned): the last place actions are looked for.
    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }

signals:
    // After an action was sent, so that shown toolbars revalidate their items.
    void actionSent();

private:
    // The search within one window, its parent windows and its sheet.
    QObject* targetInWindow(const QByteArray& action, QWidget* window) const;
    // What Qt's own focus order yields.
    QObject* defaultTarget(const QByteArray& action, QObject* target) const;
    // Offers a window-level event to the current tool; true when the tool takes it.
    bool offerToCurrentTool(QObject* receiver, QEvent* event);
    void windowActivated();

    QPointer<QWidget> m_keyChildWindow;
    QPointer<QWidget> m_mainWindow;
    QPointer<QWidget> m_keyWindow;
    QPointer<QObject> m_delegate;
    // The waiting tracking loops, innermost last.
    struct TrackingRequest;
    QList<TrackingRequest*> m_trackingRequests;
    // The key press last offered to the tool ahead of the shortcuts, so that it is offered
    // once and, when taken, kept from its window too.
    struct OfferedKey {
        int key = 0;
        Qt::KeyboardModifiers modifiers;
        quint64 timestamp = 0;
        bool taken = false;
        bool pending = false;
    } m_offeredKey;
};
