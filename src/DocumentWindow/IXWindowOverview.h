#pragma once

#include <QObject>

#include <memory>
#include <optional>

class IXOverviewInspector;
class IXWindowController;
class QAction;

// The document window's side of the overview: which overview serves the window (its own glued
// window in the all-in-one layout, else the application's floating panel), the toggleOverview:
// command and its menu rule, and the overview's memory across layouts: leaving the maps for the
// outline or the print layout hides a shown overview, coming back to a map shows it again.
// Owned by the window controller, which forwards the routed command and its layout changes.
class IXWindowOverview {
public:
    explicit IXWindowOverview(IXWindowController& controller);
    ~IXWindowOverview();

    // Gives the floating panel the preferences that keep its frame; done once at start-up.
    static void installServices();

    // The overview serving the window, made on first use.
    IXOverviewInspector* overview();
    // The overview when it exists and serves this window, else null.
    IXOverviewInspector* existingOverview() const;

    // Hides a shown overview, shows a hidden one (only over a map: elsewhere it beeps).
    void toggleOverview();
    bool isOverviewVisible() const;
    // Whether a map shows, so an overview can be shown (the outline and the print layout hide it).
    bool isShowable() const;
    // Enabled over a map; checked while shown.
    std::optional<bool> validate(QAction* item) const;
    // The window's layout went from one mode to another (already shown).
    void documentLayoutDidChange(int previous, int layout);
    // Whether a shown overview was hidden by the layout, to come back with a map.
    bool isRemembered() const { return m_remembered; }

private:
    IXWindowController& m_controller;
    std::unique_ptr<IXOverviewInspector> m_overview;
    bool m_remembered = false;
};
