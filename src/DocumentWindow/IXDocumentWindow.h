#pragma once

#include <QMainWindow>

class IXDocumentViewOwning;
class QScreen;

// The window of a document. While it is the main window and the application has a key child
// window (one of its child panels with the focus), its first responder is that panel's, so
// that actions reach the focused control of the panel before the window's own views; with
// nothing focused inside, its document view answers. Asked to make itself first responder (and
// on becoming key with nothing focused), it gives the focus to its controller's document view. It gives
// up the key child window when it becomes key, stops being main, or loses the child.
//
// The window controller is the window's delegate (not owned) and owns its views.
class IXDocumentWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit IXDocumentWindow(QWidget* parent = nullptr);

    // The controller is also made the window's delegate.
    void setWindowController(QObject* controller);
    QObject* windowController() const;

    // The focused widget; with none (or only the window itself) focused, the controller's
    // document view.
    QObject* firstResponder();
    // The controller's document view when it is in this window, else null.
    QWidget* documentView() const;
    // Gives the responder the focus; the window itself stands for its document view.
    bool makeFirstResponder(QObject* responder);
    // Takes a child window away from this window, ending it as key child window first.
    void removeChildWindow(QWidget* child);

    // The frame the window may take on the screen (null: the primary screen). In full-screen
    // mode (the application delegate answers true to `bool isFullScreenMode()`) a window on the
    // primary screen takes that screen's whole frame; otherwise the frame is kept within the
    // screen's available area, top edge first.
    QRect constrainFrameRect(const QRect& frame, QScreen* screen) const;

    // Told by the application when this window becomes key and when it stops being main.
    virtual void becomeKeyWindow();
    virtual void resignMainWindow();
};
