#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QVariantMap>

#include <optional>

class IXWindowController;
class QAction;
class QObject;
class QToolBar;

// The document window's commands that change how the map is shown rather than what it holds:
// the branch filter, the detail level, fit to window, brainstorm, full-screen mode, the
// inspectors, the print view's memory of the note editor, the root shapes, the shipped map
// styles (IXDocumentStyles), clearing styles and saving as a template. It also holds the
// window's menu validation: validateMenuItem decides for every item the controller answers
// whether it is enabled, and sets its check mark, title or picture to match the document.
// Owned by the window controller, which routes the commands here; each takes the sending item,
// whose data is its tag (0 for a sender that is no menu item).
//
// View modes: 0-2 the maps, 3 outline (O), 4 timeline, 9 print layout (P).
class IXViewCommands {
public:
    // Keys of the state kept while the window is in full-screen mode.
    static const QString ScaleStateKey;  // "ScaleState": the zoom of the document view
    static const QString WinFrameStateKey;  // "WinFrameState": the window's frame, as text
    static const QString InspectorStateKey;  // "InspectorState": whether the inspectors showed

    explicit IXViewCommands(IXWindowController& controller);

    // With a filter set: clears it and scrolls the former filter branch's parent group into
    // view; else the selected branch becomes the filter and the map fits the window. In the
    // timeline the outline beside it gets the same filter.
    void toggleFilter(QObject* sender);
    // The active context's detail level becomes the tag.
    void changeLevel(QObject* sender);
    void fitToScreen(QObject* sender);
    void toggleBrainStorm(QObject* sender);
    void toggleInspector(QObject* sender);
    void toggleInspectorPanels(QObject* sender);
    void resetInspectors(QObject* sender);
    // Every root branch's frame type becomes the tag (0-10); nothing for a negative tag.
    void switchRootShape(QObject* sender);
    // The shipped style at the tag's index in IXDocumentStyles::stylesList(); a damaged
    // archive is reported on the window and changes nothing.
    void switchDocumentStyle(QObject* sender);
    // Removes the own style attributes of every selected node.
    void clearStyles(QObject* sender);
    // The document node's own attributes too, then clearStyles.
    void clearAllStyles(QObject* sender);
    void saveAsTemplate(QObject* sender);

    // Full screen: saves the zoom, frame and inspectors' visibility, hides the inspectors,
    // toolbars and panels, fills the screen and fits the map; restoring puts back what was
    // saved, and shows again the toolbars that were shown before.
    void adaptToFullScreenMode();
    void restoreAfterFullScreenMode();
    const QVariantMap& windowState() const { return m_windowState; }

    // The print view keeps the note editor's visibility across it.
    void willEnterPrintView();
    void didLeavePrintView();

    // Whether the item is enabled; may set its check mark, title or picture.
    bool validateMenuItem(QAction* item);

private:
    bool inspectorsVisible() const;
    void setInspectorsVisible(bool visible);

    IXWindowController& m_controller;
    QVariantMap m_windowState;
    QList<QPointer<QToolBar>> m_toolBarsHiddenForFullScreen;
    Qt::WindowStates m_stateBeforeFullScreen;
    bool m_textNoteVisible = false;
};
