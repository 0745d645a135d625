#pragma once

#include "Platform/Core/PLIdentity.h"

#include <QMetaObject>
#include <QObject>
#include <QString>

#include <functional>
#include <type_traits>
#include <vector>

// The undo stack of a document.
//
// A change records its inverse as a closure that calls the same setter with the old value:
//
//     undoManager->registerUndo(node.get(), [node, old = m_title] { node->setTitle(old); });
//     undoManager->setActionName(QStringLiteral("Branch Title"));
//
// Undoing runs the closure, whose setter records the redo in turn, and the other way round.
// Closures own what they capture, so a removed subtree lives as long as a step needs it.
//
// Steps: every change recorded before the main event loop next turns forms one step (the
// group is opened lazily by the first registration and closed when the event dispatcher
// wakes up again at the same or an outer loop level; a nested QEventLoop, such as a modal
// dialog run from the handler, does not close it). Explicit groups nest inside
// (beginUndoGrouping/endUndoGrouping) and may span several turns; the event group closes at
// the first turn after they end. A handler that spins processEvents() itself ends its step.
//
// Action names: the first name given to a step that does not begin with "_" is its name;
// names beginning with "_" are never shown. A name given before the step's first change
// (while no group is open) names the step that opens in the same turn.
//
// Main thread only. The document owns its manager; nodes keep a plain pointer to it.
class PLUndoManager : public QObject {
    Q_OBJECT

public:
    explicit PLUndoManager(QObject* parent = nullptr);
    ~PLUndoManager() override;

    // Records an undo action in the open group (opening the event group when none is open).
    // Ignored while registration is disabled. A normal registration clears the redo stack.
    void registerUndo(std::function<void()> action);
    // The same, remembering a target so that removeAllActionsWithTarget can drop it.
    void registerUndo(const void* target, std::function<void()> action);
    template <typename T>
        requires std::is_class_v<T>
    void registerUndo(const T* target, std::function<void()> action)
    {
        registerUndo(PLIdentityOf(target), std::move(action));
    }

    void setActionName(const QString& name);
    // The name of the step that undo (redo) would revert, or empty.
    QString undoActionName() const;
    QString redoActionName() const;
    // "Undo"/"Redo", followed by the action name when there is one.
    QString undoMenuItemTitle() const;
    QString redoMenuItemTitle() const;

    void beginUndoGrouping();
    // Ending a group that was never begun is a programming error ("groupingLevel > 0").
    void endUndoGrouping();
    // Open groups, the event group included.
    int groupingLevel() const { return m_level; }
    // When off, every registration must happen inside an explicit group.
    bool groupsByEvent() const { return m_groupsByEvent; }
    void setGroupsByEvent(bool groupsByEvent);

    // A nesting counter: while above 0 nothing is recorded.
    void disableUndoRegistration();
    // Enabling more often than disabling is a programming error ("undoDisabled > 0").
    void enableUndoRegistration();
    bool isUndoRegistrationEnabled() const { return m_disabled == 0; }

    // False while an explicit group is open, undoing or redoing.
    bool canUndo() const;
    bool canRedo() const;
    // Reverts the last step (closing the event group first); its actions record the redo
    // step under the same name. Does nothing when canUndo() is false.
    void undo();
    void redo();
    bool isUndoing() const { return m_state == State::Undoing; }
    bool isRedoing() const { return m_state == State::Redoing; }

    // Drops every step, the open groups' actions included.
    void removeAllActions();
    // Drops the actions recorded with this target; steps left empty go away.
    void removeAllActionsWithTarget(const void* target);
    template <typename T>
        requires std::is_class_v<T>
    void removeAllActionsWithTarget(const T* target)
    {
        removeAllActionsWithTarget(PLIdentityOf(target));
    }

    // The number of undo steps kept; 0 keeps all.
    int levelsOfUndo() const { return m_levels; }
    void setLevelsOfUndo(int levels);

signals:
    // A top-level group opened (also the groups undo and redo open); observers may record
    // actions of their own into it, such as restoring the selection.
    void didOpenUndoGroup();
    // A top-level group is about to close.
    void willCloseUndoGroup();
    void didUndo();
    void didRedo();
    // The undo or redo stack changed: menus should update.
    void stacksChanged();

private:
    struct Action {
        const void* target;
        std::function<void()> run;
    };
    struct Group {
        QString name;
        std::vector<Action> actions;
    };
    enum class State { Idle, Undoing, Redoing };

    void openGroup(bool byEvent, const QString& name = {});
    void closeGroup();
    void nameOpenGroup(const QString& name);
    void armTurnWatch();
    void turnEnded();
    void trim(std::vector<Group>& stack, std::vector<Group>& dropped) const;
    bool hasOpenEventStep() const;
    void revert(std::vector<Group>& from, State state, void (PLUndoManager::*finished)());

    std::vector<Group> m_undoStack;
    std::vector<Group> m_redoStack;
    Group m_open;
    int m_level = 0;
    // The outermost open group was opened by a registration and closes at the next turn.
    bool m_eventGroup = false;
    int m_disabled = 0;
    int m_levels = 0;
    bool m_groupsByEvent = true;
    State m_state = State::Idle;
    // A name given while no group was open, for the group that opens in the same turn.
    QString m_pendingName;
    // The loop level at which the current turn began; turns of deeper loops are ignored.
    int m_turnLevel = 0;
    QMetaObject::Connection m_turnWatch;
};
