#pragma once

#include <QPointer>

#include <memory>

class IXInspectedController;
class IXInspectorManager;
class IXInspectorView;
class QDockWidget;
class QMainWindow;
class QMenu;
class QMenuBar;

// The inspectors of one document window. In the all-in-one layout (application layout mode 0)
// the window has its own inspector manager, whose sections stand in a side pane at the left of
// the map, scrolling when taller than the window. Otherwise the application-wide manager's
// floating panels serve every window; they are first shown with the first window.
//
// It also puts the window's Inspectors menu: the inspectors of the floating panels, then
// "Show inspectors" (or "Hide inspectors") and "Reset inspectors"; in the all-in-one layout the
// first item shows or hides the side pane and the inspector items are left out. While no
// inspector is registered there is nothing to show: no side pane, panels or menu.
class IXWindowInspectors {
public:
    IXWindowInspectors(IXInspectedController& controller, QMainWindow& window);
    ~IXWindowInspectors();

    static bool isAllInOneLayout();
    // The window's own manager (all-in-one layout only; null otherwise).
    IXInspectorManager* manager() const { return m_manager.get(); }
    QDockWidget* sidePane() const;

    // After the window's views were rebuilt: the side pane is there and its inspectors take
    // the selection again.
    void documentViewsDidChange();
    // The window is shown: the floating panels come up with the first window.
    void windowDidShow();
    void addMenu(QMenuBar* bar);
    // "Show inspectors"/"Hide inspectors".
    void toggleInspectorPanels();
    void resetInspectors();

private:
    void menuAboutToShow(QMenu* menu);

    IXInspectedController& m_controller;
    QMainWindow& m_window;
    std::unique_ptr<IXInspectorManager> m_manager;
    QPointer<QDockWidget> m_sidePane;
    QPointer<IXInspectorView> m_targetView;
};
