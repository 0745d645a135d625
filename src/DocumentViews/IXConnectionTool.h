#pragma once

#include "DocumentViews/IXTool.h"
#include "MapLayout/IXLayoutContextObserver.h"
#include "UtilityWidgets/UTToolbarItem.h"

#include <memory>

class IXBranchNode;
class QAction;

// Draws a connection from one branch to another: the first click on a branch chooses the start,
// the second the target, and the start branch gets a connection to the target titled with the
// target's title, which becomes the selection. The target may lie in another map view of the
// document. Started by name ("IXConnectionTool") with a context and no object by the window's
// makeBranchConnection: command, which also stops it when it runs.
//
// While current it looks at every event the application dispatches: mouse events over a map
// view are swallowed (a click on empty canvas does nothing); the branch under the pointer is
// highlighted with the start, and the pointer shows the connection cross hair, badged for the
// start or the target over branches (the pointing and open hands when the pictures are missing). Escape ends it. With
// Alt held at the second click a new connection tool starts for the next connection. A branch that left its document
// while the tool waited is never connected: a removed start is forgotten, and the next click chooses a start again.
// Main thread only.
class IXConnectionTool : public IXTool, public UTToolbarItemValidating {
    Q_OBJECT
public:
    explicit IXConnectionTool(IXToolManager* manager);
    ~IXConnectionTool() override;

    // Entering another map before a start is chosen ends the tool; after, it follows the
    // pointer there.
    void setContext(IXLayoutContext* context) override;
    // The open-hand cursor.
    bool activateTool() override;
    // Makes the connection; false without both branches (or when one left its document).
    bool commitTool() override;
    // Clears the highlights of both maps, forgets the branches, arrow cursor.
    void discardTool() override;
    bool onSendEvent(QWindow* window, QEvent* event) override;

    // The command that started the tool stops it while it runs (actions go to the current tool
    // first).
    Q_INVOKABLE void makeBranchConnection(QObject* sender);
    Q_INVOKABLE bool validateMenuItem(QAction* item);
    // Items of other actions are enabled; the connection item is enabled except in the print
    // layout, and checked exactly while the tool is active.
    bool validateToolbarItem(UTToolbarItem* item) override;

    // The pointer's pictures, by name.
    static const QString CursorName, StartCursorName, TargetCursorName;

    const std::shared_ptr<IXBranchNode>& startBranch() const { return m_branch1; }
    IXLayoutContext* startContext() const { return m_context1; }

private:
    // Observes the start's context apart from the current one: when it ends, the tool ends.
    class StartContextWatch : public IXLayoutContextObserver {
    public:
        explicit StartContextWatch(IXConnectionTool& tool)
            : m_tool(tool)
        {
        }
        bool respondsToSelector(std::string_view selector) const override;
        void notifiedOfLayoutContextWillInvalidate(IXLayoutContext* context) override;

    private:
        IXConnectionTool& m_tool;
    };

    void setStart(const std::shared_ptr<IXBranchNode>& branch, IXLayoutContext* context);
    // Drops a start that left its document.
    void forgetRemovedStart();
    void setCursor(bool overBranch);
    // Makes the connection from the start to a target in another document; false (after an
    // alert) when that document cannot be referred to.
    bool connectToOtherDocument(IXLayoutContext* targetContext);

    std::shared_ptr<IXBranchNode> m_branch1;
    IXLayoutContext* m_context1 = nullptr;
    std::shared_ptr<IXBranchNode> m_branch2;
    StartContextWatch m_startWatch {*this};
    bool m_alternate = false;
};
