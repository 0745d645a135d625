#include "Platform/Core/PLUndoManager.h"

#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLExceptionBoundary.h"

#include <QAbstractEventDispatcher>
#include <QThread>

#include <algorithm>
#include <iterator>
#include <utility>

namespace {
bool isHiddenName(const QString& name)
{
    return name.isEmpty() || name.startsWith(QLatin1Char('_'));
}
}

PLUndoManager::PLUndoManager(QObject* parent) : QObject(parent) {}

PLUndoManager::~PLUndoManager()
{
    QObject::disconnect(m_turnWatch);
    // Closures may own the last references to nodes whose destructors call back into this
    // manager: let them go while the manager is still whole and already empty.
    std::vector<Group> undo = std::move(m_undoStack);
    std::vector<Group> redo = std::move(m_redoStack);
    Group open = std::move(m_open);
    m_undoStack.clear();
    m_redoStack.clear();
    m_open = {};
}

void PLUndoManager::registerUndo(std::function<void()> action)
{
    registerUndo(static_cast<const void*>(nullptr), std::move(action));
}

void PLUndoManager::registerUndo(const void* target, std::function<void()> action)
{
    if (!action || m_disabled > 0) return;
    if (m_level == 0) {
        PL_ASSERT_PARAM(m_groupsByEvent, "groupingLevel > 0");
        openGroup(true);
        armTurnWatch();
    }
    // A new change makes the redo steps meaningless.
    std::vector<Group> invalidated;
    if (m_state == State::Idle) std::swap(invalidated, m_redoStack);
    m_open.actions.push_back({target, std::move(action)});
    if (m_open.actions.size() == 1 || !invalidated.empty()) emit stacksChanged();
}

void PLUndoManager::setActionName(const QString& name)
{
    // While reverting, the opposite step keeps the name of the step being reverted.
    if (m_disabled > 0 || m_state != State::Idle || isHiddenName(name)) return;
    if (m_level > 0) {
        nameOpenGroup(name);
    } else if (m_pendingName.isEmpty()) {
        m_pendingName = name;
        armTurnWatch();
    }
}

void PLUndoManager::nameOpenGroup(const QString& name)
{
    if (!m_open.name.isEmpty()) return;
    m_open.name = name;
    emit stacksChanged();
}

bool PLUndoManager::hasOpenEventStep() const
{
    return m_state == State::Idle && m_eventGroup && m_level == 1 && !m_open.actions.empty();
}

QString PLUndoManager::undoActionName() const
{
    if (hasOpenEventStep()) return m_open.name;
    return m_undoStack.empty() ? QString() : m_undoStack.back().name;
}

QString PLUndoManager::redoActionName() const
{
    if (hasOpenEventStep()) return {};
    return m_redoStack.empty() ? QString() : m_redoStack.back().name;
}

QString PLUndoManager::undoMenuItemTitle() const
{
    const QString name = undoActionName();
    return name.isEmpty() ? tr("Undo") : tr("Undo %1").arg(name);
}

QString PLUndoManager::redoMenuItemTitle() const
{
    const QString name = redoActionName();
    return name.isEmpty() ? tr("Redo") : tr("Redo %1").arg(name);
}

void PLUndoManager::beginUndoGrouping()
{
    openGroup(false);
}

void PLUndoManager::endUndoGrouping()
{
    PL_ASSERT_PARAM(m_level > 0, "groupingLevel > 0");
    closeGroup();
}

void PLUndoManager::setGroupsByEvent(bool groupsByEvent)
{
    m_groupsByEvent = groupsByEvent;
}

void PLUndoManager::openGroup(bool byEvent, const QString& name)
{
    if (m_level++ > 0) return;
    m_eventGroup = byEvent;
    m_open = {};
    m_open.name = name;
    if (m_state == State::Idle && m_open.name.isEmpty()) m_open.name = std::exchange(m_pendingName, {});
    // Observers record into the group here; one that throws must not leave it half open.
    PLExceptionBoundary::run(QStringLiteral("Undo group observer abandoned"), [this] { emit didOpenUndoGroup(); });
}

void PLUndoManager::closeGroup()
{
    if (m_level > 1) {
        --m_level;
        return;
    }
    PLExceptionBoundary::run(QStringLiteral("Undo group observer abandoned"), [this] { emit willCloseUndoGroup(); });
    m_level = 0;
    m_eventGroup = false;
    Group closed = std::move(m_open);
    m_open = {};
    if (closed.actions.empty()) return;
    std::vector<Group>& stack = m_state == State::Undoing ? m_redoStack : m_undoStack;
    stack.push_back(std::move(closed));
    std::vector<Group> dropped;
    trim(stack, dropped);
    emit stacksChanged();
}

void PLUndoManager::trim(std::vector<Group>& stack, std::vector<Group>& dropped) const
{
    if (m_levels <= 0 || stack.size() <= static_cast<std::size_t>(m_levels)) return;
    const auto excess = static_cast<std::ptrdiff_t>(stack.size() - static_cast<std::size_t>(m_levels));
    std::move(stack.begin(), stack.begin() + excess, std::back_inserter(dropped));
    stack.erase(stack.begin(), stack.begin() + excess);
}

void PLUndoManager::armTurnWatch()
{
    if (m_turnWatch) return;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread());
    if (!dispatcher) return;
    m_turnLevel = thread()->loopLevel();
    // The dispatcher wakes at the start of every pass of every loop; the pass after the one
    // that recorded ends the step.
    m_turnWatch = PLExceptionBoundary::connect(dispatcher, &QAbstractEventDispatcher::awake, this, &PLUndoManager::turnEnded);
}

void PLUndoManager::turnEnded()
{
    if (thread()->loopLevel() > m_turnLevel) return; // a nested loop run from the handler
    m_pendingName.clear();
    if (m_eventGroup) {
        if (m_level > 1) return; // an explicit group inside is still open
        closeGroup();
    }
    QObject::disconnect(m_turnWatch);
    m_turnWatch = {};
}

void PLUndoManager::disableUndoRegistration()
{
    ++m_disabled;
}

void PLUndoManager::enableUndoRegistration()
{
    PL_ASSERT_PARAM(m_disabled > 0, "undoDisabled > 0");
    --m_disabled;
}

bool PLUndoManager::canUndo() const
{
    if (m_state != State::Idle) return false;
    if (m_level > 1 || (m_level == 1 && !m_eventGroup)) return false;
    return !m_undoStack.empty() || hasOpenEventStep();
}

bool PLUndoManager::canRedo() const
{
    if (m_state != State::Idle) return false;
    if (m_level > 1 || (m_level == 1 && !m_eventGroup)) return false;
    return !hasOpenEventStep() && !m_redoStack.empty();
}

void PLUndoManager::undo()
{
    if (!canUndo()) return;
    if (m_level == 1) closeGroup(); // the event group: its changes are the step to undo
    if (m_undoStack.empty()) return;
    revert(m_undoStack, State::Undoing, &PLUndoManager::didUndo);
}

void PLUndoManager::redo()
{
    if (!canRedo()) return;
    if (m_level == 1) closeGroup(); // an event group without actions
    if (m_redoStack.empty()) return;
    revert(m_redoStack, State::Redoing, &PLUndoManager::didRedo);
}

void PLUndoManager::revert(std::vector<Group>& from, State state, void (PLUndoManager::*finished)())
{
    Group step = std::move(from.back());
    from.pop_back();
    m_state = state;
    // The reverting group carries the step's name, so the opposite step is named alike.
    openGroup(false, step.name);
    // An action that throws is abandoned and the others still run: as much of the step as
    // can be is reverted, and the document stays usable.
    const QString where = state == State::Undoing ? QStringLiteral("Undo action abandoned") : QStringLiteral("Redo action abandoned");
    for (auto action = step.actions.rbegin(); action != step.actions.rend(); ++action)
        PLExceptionBoundary::run(where, action->run);
    m_level = 1;
    closeGroup();
    m_state = State::Idle;
    emit(this->*finished)();
    emit stacksChanged();
}

void PLUndoManager::removeAllActions()
{
    std::vector<Group> undo = std::move(m_undoStack);
    std::vector<Group> redo = std::move(m_redoStack);
    std::vector<Action> open = std::move(m_open.actions);
    m_undoStack.clear();
    m_redoStack.clear();
    m_open.actions.clear();
    emit stacksChanged();
}

void PLUndoManager::removeAllActionsWithTarget(const void* target)
{
    if (!target) return;
    std::vector<Action> dropped;
    const auto dropFrom = [&](std::vector<Action>& actions) {
        auto kept = std::stable_partition(actions.begin(), actions.end(), [&](const Action& a) { return a.target != target; });
        std::move(kept, actions.end(), std::back_inserter(dropped));
        actions.erase(kept, actions.end());
    };
    for (std::vector<Group>* stack : {&m_undoStack, &m_redoStack}) {
        for (Group& group : *stack) dropFrom(group.actions);
        std::erase_if(*stack, [](const Group& group) { return group.actions.empty(); });
    }
    dropFrom(m_open.actions);
    if (!dropped.empty()) emit stacksChanged();
}

void PLUndoManager::setLevelsOfUndo(int levels)
{
    m_levels = std::max(levels, 0);
    std::vector<Group> dropped;
    trim(m_undoStack, dropped);
    trim(m_redoStack, dropped);
    if (!dropped.empty()) emit stacksChanged();
}
