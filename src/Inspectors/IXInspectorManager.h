#pragma once

#include "Inspectors/IXInspectorController.h"
#include "Inspectors/IXInspectorPanelHost.h"

#include <QList>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class IXInspectorPanel;
class IXInspectorPanelView;
class IXInspectorView;
class QAction;
class QMenu;
class QSettings;

// Owns one instance of each standard inspector, forwards its controller and selection to them
// and decides where their views appear:
//  - floating: one application-wide manager (shared()) that follows the active document
//    window; each inspector sits in a collapsible pane, panes are stacked in floating panels,
//    and the panels (count, panes, frames, visibility) and the panes' collapsed states are
//    kept in the settings between runs ("IXInspectorPanelCount", "IXInspectorPanel[i].views",
//    ".visible", ".frame", "IXInspectorPanelView[name].collapsed");
//  - side pane: each document window's own manager fills a target view beside the map with
//    one titled section per applicable inspector; nothing is stored.
//
// Inspectors are made by class name from what was registered (registerInspectorClass); a
// standard name nobody registered is left out, with its pane and menu item. The first panels
// without stored frames are laid out from the top right of the primary screen downwards,
// wrapping into columns to the left. Where the window system places top-level windows itself
// (Wayland), stored frames and the default layout are only requests.
class IXInspectorManager : public IXInspectorController, public IXInspectorPanelHost {
    Q_OBJECT
public:
    using Factory = std::function<std::unique_ptr<IXInspectorController>()>;
    using SettingsFactory = std::function<std::unique_ptr<QSettings>()>;

    static constexpr int ScreenInset = 4;
    static constexpr int PanelSpacing = 8;

    // Floating mode: panels, shared by every window.
    IXInspectorManager();
    // Side-pane mode: bound to the window for good; fill the target view.
    explicit IXInspectorManager(IXInspectedController* controller);
    ~IXInspectorManager() override;

    // The application-wide manager, made on first use and tracking the active window.
    static IXInspectorManager& shared();
    // At termination: stores the shared manager's panels when it was made.
    static void storeSharedPanels();
    // The standard inspectors in their order (of panes and menu items).
    static QStringList inspectorClassNames();
    static void registerInspectorClass(const QString& className, Factory factory);
    // Whether any standard inspector is registered: without one there is nothing to show.
    static bool hasInspectorClasses();
    static bool isInspectorClassRegistered(const QString& className);
    // Where panels are stored (the shell installs its preferences store).
    static void installSettings(SettingsFactory settings);

    // --- Inspectors and panes ---
    const std::vector<std::unique_ptr<IXInspectorController>>& subcontrollers();
    QList<IXInspectorPanelView*> panelViews();
    IXInspectorController* inspectorForName(const QString& className);
    void setController(IXInspectedController* controller) override;
    // Lets every inspector take its selection again, then rebuilds the views.
    void reloadSelectionOfInspectors();
    void reloadViews();

    // --- Side pane ---
    void setTargetView(IXInspectorView* view);
    IXInspectorView* targetView() const;

    // --- Floating panels ---
    QList<IXInspectorPanel*> panels();
    QList<IXInspectorPanel*> inspectorPanels() const override { return m_panels; }
    IXInspectorPanel* makeWindowForPanelView(IXInspectorPanelView* pane) override;
    void closeWindow(IXInspectorPanel* panel) override;
    void closeInspectorPanel(IXInspectorPanel* panel) override;
    // One panel of every pane, all collapsed, at the top right.
    void setDefaultsInspectorPanels();
    bool areInspectorsVisible() const;
    void show();
    void hide();
    void toggleInspectorPanels();
    void resetInspectors();
    // Shows the inspector's pane expanded (floating mode only).
    void bringToFrontPaneForName(const QString& className);
    // Toggles the pane of a menu item of the Inspectors menu.
    void toggleInspector(QAction* item);
    // Stores the panels (floating mode) and closes them.
    void close();
    // Keeps the panels above the window.
    void setPanelsTransientParent(QWidget* window);

    // --- The Inspectors menu ---
    // Puts an item for each inspector with a title ahead of the menu's own items (tags from 1)
    // and a separator after them.
    void menuNeedsUpdate(QMenu* menu);
    // Enabled while the pane's inspector applies, checked while it is on screen and expanded;
    // the tag-0 item reads "Hide inspectors" or "Show inspectors".
    bool validateMenuItem(QAction* item);

protected:
    void controllerDidChange() override;
    void selectionDidChange() override;
    void inspectorViewUpdateNotification(IXInspectorController* inspector) override;

private:
    void buildPanels();
    IXInspectorPanel* newPanel();
    void placePanels(const QList<IXInspectorPanel*>& unplaced);
    IXInspectorPanelView* paneForItem(QAction* item, int tagBase);
    void showPane(IXInspectorPanelView* pane);
    void detachSideViews();

    std::vector<std::unique_ptr<IXInspectorController>> m_controllers;
    // The class name each inspector was made by, which also names its pane.
    QStringList m_controllerNames;
    bool m_controllersMade = false;
    QList<IXInspectorPanelView*> m_panelViews;
    QList<IXInspectorPanel*> m_panels;
    bool m_panelsMade = false;
    QPointer<IXInspectorView> m_targetView;
    int m_fixedMenuItemsCount = -1;
};
