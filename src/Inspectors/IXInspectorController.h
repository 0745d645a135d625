#pragma once

#include "DocumentModel/IXSelection.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class IXInspectedController;
class PLUndoManager;
class QWidget;

extern const QString IXActiveControllerChangedNotification;  // "IXActiveControllerChangedNotification"
extern const QString IXInspectorViewUpdateNotification;  // "IXInspectorViewUpdateNotification"
extern const QString IXInspectorSelectionChangedNotification;  // "IXSelectionChanged"

// The base of every inspector and of the inspector manager: it is bound to one document
// window's controller at a time and to that controller's selection, and gives its subclasses
//  - the active document window, application-wide: the current window changes when a document
//    window becomes main or closes (a panel or dialog becoming active never changes it) and is
//    announced as "IXActiveControllerChangedNotification" (object: the controller's identity);
//    an inspector that tracks the active controller is re-bound to each one;
//  - the bound controller's selection ("IXSelectionChanged"), with hooks around every change;
//  - one updateControls per turn of the event loop however often postUpdateControls is called,
//    and only in the default run-loop mode (never under a modal panel or during a drag);
//  - "IXInspectorViewUpdateNotification" when its view must be rebuilt (the manager listens).
// The mixed reads and writes over many selected objects are IXMixedAttribute and
// IXSetAttribute (IXMixedValue.h); undo steps come from the model's setters.
//
// The selection is cleared (with its hooks) before every change of controller. Main thread only.
class IXInspectorController : public QObject {
    Q_OBJECT
public:
    using ControllerLookup = std::function<IXInspectedController*(const QWidget* window)>;

    IXInspectorController();
    // A per-window inspector: tracks the controller's selection and stays bound to it.
    explicit IXInspectorController(IXInspectedController* controller);
    ~IXInspectorController() override;

    // --- The current document window, one per process ---
    // The shell installs how a window's controller is found; windows without one never become
    // current.
    static void installControllerLookup(ControllerLookup lookup);
    // Makes the window current when it has a controller (or when it is null) and announces the
    // change, even when the same window is set again.
    static void setCurrentWindow(QWidget* window);
    static QWidget* currentWindow();
    // Told by the application: a window became main, a window is about to close.
    static void windowDidBecomeMain(QWidget* window);
    static void windowWillClose(QWidget* window);
    // The current window's controller, or null.
    static IXInspectedController* activeController();

    // --- Binding ---
    // Follow the active controller (true) or stay with the bound one (false).
    void setTracksActiveController(bool tracks);
    virtual void setController(IXInspectedController* controller);
    IXInspectedController* controller() const { return m_controller; }
    void setTracksControllerSelection(bool tracks);
    bool tracksControllerSelection() const { return m_tracksSelection; }
    void setSelection(const IXSelection& selection);
    const IXSelection& selection() const { return m_selection; }
    // Runs both selection hooks with the selection unchanged (the model changed under it).
    void reloadSelection();

    // --- Refresh ---
    void postUpdateControls();
    bool isUpdatePosted() const { return m_updatePosted; }

    // --- View rebuilds ---
    void notifyMeOnInspectorViewUpdates();
    void notifyInspectorViewUpdate();

    // --- What a subclass answers ---
    virtual bool isApplicable() const { return false; }
    virtual QString inspectorTitle() const { return {}; }
    // The view the manager shows; the inspector owns it.
    virtual QWidget* inspectorView() { return nullptr; }
    // The undo manager of the bound document (what Ctrl+Z in an inspector panel acts on).
    PLUndoManager* undoManager() const;

    // Stacks the container's child widgets from the top in their order, each at x = 0; the
    // container takes the widest child's width (horizontally growing children are widened to
    // it) and the sum of their heights.
    static void arrangeSubviewsInContainerView(QWidget* container);

protected:
    virtual void controllerWillChange() { }
    virtual void controllerDidChange() { }
    virtual void selectionWillChange() { }
    virtual void selectionDidChange() { }
    virtual void updateControls() { }
    // An inspector (of any manager) asked for its view to be rebuilt.
    virtual void inspectorViewUpdateNotification(IXInspectorController* inspector) { (void)inspector; }

private:
    void observeSelectionOf(IXInspectedController* controller);
    void stopObservingSelectionOf();

    IXInspectedController* m_controller = nullptr;
    const void* m_controllerIdentity = nullptr;
    IXSelection m_selection;
    bool m_tracksSelection = false;
    bool m_tracksActiveController = false;
    bool m_updatePosted = false;
};
