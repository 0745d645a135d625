#pragma once

#include <QList>

class IXInspectorPanel;
class IXInspectorPanelView;

// What the panes of floating inspector panels need of the manager that owns the panels: the
// panels, a new panel for a pane torn off, and dropping a panel emptied by docking.
class IXInspectorPanelHost {
public:
    virtual ~IXInspectorPanelHost();

    virtual QList<IXInspectorPanel*> inspectorPanels() const = 0;
    // A new panel (not yet shown) holding the pane.
    virtual IXInspectorPanel* makeWindowForPanelView(IXInspectorPanelView* pane) = 0;
    // Closes the panel and forgets it.
    virtual void closeWindow(IXInspectorPanel* panel) = 0;
    // The close box of a panel's first pane: the panel stays hidden until shown by the user.
    virtual void closeInspectorPanel(IXInspectorPanel* panel) = 0;
};
