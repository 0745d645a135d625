#pragma once

#include <QByteArray>

class QObject;
class QWidget;

// What every window of the application answers beyond Qt: its delegate, sheets, the key
// child window, its first responder, and the responders of actions.
//
// Windows are top-level widgets. An action is named by its selector text ("zoomIn:"); an
// object responds to it when its meta-object has an invokable method or slot of that name
// taking the sender (`Q_INVOKABLE void zoomIn(QObject* sender)`). A responder validates the
// menu items and toolbar items of its actions with an invokable
// `bool validateMenuItem(QAction* item)`, which may also set the item's check mark.
class IXWindowExtensions {
public:
    // The window's delegate (not owned; forgotten when it is destroyed), or null.
    static QObject* delegate(const QWidget* window);
    static void setDelegate(QWidget* window, QObject* delegate);

    // A sheet is a window-modal window attached to a parent window.
    static bool isSheet(const QWidget* window);
    // The visible sheet attached to the window, or null.
    static QWidget* attachedSheet(const QWidget* window);
    // The window this one is a child of, or null (a sheet is attached, not a child).
    static QWidget* parentWindow(const QWidget* window);
    // Windows that may become main: ordinary windows, not panels, dialogs or sheets.
    static bool canBecomeMainWindow(const QWidget* window);

    // The window's first responder: its focus widget, the window itself without one (a
    // document window answers for its key child window while it is main).
    static QObject* firstResponder(QWidget* window);
    // The next responder: a widget's parent widget, none after the window.
    static QObject* nextResponder(QObject* responder);

    // The key child window operations every window has.
    static bool canBecomeKeyChildWindow(const QWidget* window);
    static void makeKeyChildWindow(QWidget* window);
    static void becomeKeyChildWindow(QWidget* window);
    static void resignKeyChildWindow(QWidget* window);
    static bool isKeyChildWindow(const QWidget* window);

    // Whether the object responds to the action; performing it passes the sender.
    static bool respondsToAction(const QObject* object, const QByteArray& action);
    static void performAction(QObject* object, const QByteArray& action, QObject* sender);
    // Calls an invokable method without arguments or with one object argument when the object
    // has it ("windowDidBecomeKeyChild(QObject*)"); false when it has not.
    static bool invokeIfPresent(QObject* object, const char* signature, QObject* argument = nullptr);
};
