#pragma once

#include "MapLayout/IXLayoutContextObserver.h"
#include "Platform/Core/PLEditor.h"
#include "Platform/Drawing/PLPoint.h"

#include <QObject>

#include <memory>
#include <optional>

class IXLayoutContext;
class IXNode;
class IXOpenDocument;
class IXToolEvent;
class IXToolManager;
class QEvent;
class QTextEdit;
class QWindow;

// Base of every editing tool: a short-lived object that works on one layout context and, for
// most kinds, on one edited node, while the tool manager holds it as the current tool.
//
// The manager makes a tool (registered under its class name), gives it its context and
// object, makes it current (becomeCurrentTool → activateTool) and passes it the starting
// event. While current it sees every window-level event first (onSendEvent) and the events a
// tracking loop takes (onNextEvent). It ends by discarding itself when its gesture ends, by the
// manager making another tool current (commit, then discard), by discardCurrentTool, or by
// its context ending (the context is dropped, then the tool discarded). A tool that edits text
// brackets the edit with beginEditing and endEditing, which register it with the window's
// document as an editor.
//
// The manager owns the current tool and releases tools on a later turn of the event loop, so
// that a tool may end itself from inside its own handlers. A tool holds its context (observing
// it) only between setContext and the end; it must have neither a context nor an edit left when
// released. Main thread only.
class IXTool : public QObject, public IXLayoutContextObserver, public PLEditor {
    Q_OBJECT
public:
    explicit IXTool(IXToolManager* manager);
    ~IXTool() override;

    IXToolManager* manager() const { return m_manager; }
    bool isActive() const { return m_isActive; }
    bool isEditing() const { return m_isEditing; }
    IXLayoutContext* context() const { return m_context; }

    // Replaces the context: a tool that is active is discarded first and an edit is ended;
    // the old context is no longer observed and the new one is.
    virtual void setContext(IXLayoutContext* context);
    // The context's notice that it ends: the context is dropped, then the tool discarded.
    void notifiedOfLayoutContextWillInvalidate(IXLayoutContext* context) override;
    bool respondsToSelector(std::string_view selector) const override;

    // The node the tool edits; the base keeps none. A tool that edits a given node may treat
    // setting none (or a node of another kind) as a programming error.
    virtual std::shared_ptr<IXNode> editedObject() const;
    virtual void setEditedObject(const std::shared_ptr<IXNode>& object);
    // Takes the context and the edited object back from a tool whose activation was refused:
    // the context is dropped and releaseEditedObject lets the object go. Never asserts, so
    // every tool can be refused whatever its setEditedObject requires.
    void giveBackObjects();
    // The text view of a text-editing tool's field editor; null for others.
    virtual QTextEdit* textView() const;
    // Where the window's commands started while this tool is current apply, in view space: the
    // click that opened a context menu. None for tools without such a point.
    virtual std::optional<PLPoint> commandPoint() const;

    // Asked by the manager when this tool is to become current: activateTool's answer.
    virtual bool becomeCurrentTool();
    // Asked by the manager when another tool is to become current: commits; when the commit
    // refuses, answers false and nothing else happens; else discards, ends editing and answers
    // true.
    virtual bool resignCurrentTool();

    // Register and unregister this tool as an editor of its context's document.
    void beginEditing();
    void endEditing();
    // Editor operations: discard ends the edit and the tool; commit applies the change
    // (false when it cannot) and ends the edit.
    void discardEditing() override;
    bool commitEditing() override;

    // Lets go of the edited object after a refused activation; the base keeps none, and a tool
    // that keeps one lets it go at the latest when it is released.
    virtual void releaseEditedObject();

    // Hooks around a change of context.
    virtual void contextWillChange();
    virtual void contextDidChange();

    // Makes the tool active; needs a context.
    virtual bool activateTool();
    // Applies the tool's pending change and answers whether it could; the base has none.
    virtual bool commitTool();
    // Ends the tool: inactive, edit ended, context dropped, and no longer the manager's
    // current tool.
    virtual void discardTool();

    // Begins the interaction with the event that started the tool (possibly none).
    virtual void startWithEvent(const IXToolEvent& event);
    // True swallows an event that a tracking loop takes.
    virtual bool onNextEvent(QEvent* event);
    // True swallows an event before it is dispatched to its window.
    virtual bool onSendEvent(QWindow* window, QEvent* event);

protected:
    // Moves to another context without ending the tool: the edit ends and the observation
    // moves (what setContext does after discarding an active tool).
    void replaceContext(IXLayoutContext* context);

private:
    IXToolManager* m_manager;
    IXLayoutContext* m_context = nullptr;
    // The document this tool registered with as an editor, while editing.
    IXOpenDocument* m_editingDocument = nullptr;
    bool m_isActive = false;
    bool m_isEditing = false;
};
