#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLLog.h"
#include "Platform/Core/PLUndoManager.h"
#include "TestSupport/ExpectAssertion.h"
#include "TestSupport/PLExpectBoundaryCatch.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QStringList>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>

namespace {

// A model object whose setter records its inverse the way document nodes do.
class Box : public std::enable_shared_from_this<Box> {
public:
    explicit Box(PLUndoManager* undo, QString name = QStringLiteral("_title")) : m_undo(undo), m_actionName(std::move(name)) {}
    ~Box()
    {
        // Some targets clean up after themselves, possibly while the manager drops them.
        if (m_undo && m_dropActionsOnDestruction) m_undo->removeAllActionsWithTarget(this);
    }

    void setTitle(const QString& title)
    {
        if (title == m_title) return;
        std::shared_ptr<Box> self = shared_from_this();
        m_undo->registerUndo(this, [self, old = m_title] { self->setTitle(old); });
        m_undo->setActionName(m_actionName);
        m_title = title;
    }
    const QString& title() const { return m_title; }
    bool m_dropActionsOnDestruction = false;

private:
    PLUndoManager* m_undo;
    QString m_actionName;
    QString m_title;
};

void endTurn()
{
    QCoreApplication::processEvents();
}

} // namespace

TEST(PLUndoManager, UndoAndRedoRoundTripThroughTheSetters)
{
    PLUndoManager undo;
    auto box = std::make_shared<Box>(&undo, QStringLiteral("Branch Title"));
    EXPECT_FALSE(undo.canUndo());
    for (const char* title : {"a", "b", "c"}) {
        box->setTitle(QString::fromLatin1(title));
        endTurn();
    }
    undo.undo();
    EXPECT_EQ(box->title(), QStringLiteral("b"));
    undo.undo();
    EXPECT_EQ(box->title(), QStringLiteral("a"));
    EXPECT_TRUE(undo.canRedo());
    EXPECT_EQ(undo.redoActionName(), QStringLiteral("Branch Title"));
    undo.redo();
    EXPECT_EQ(box->title(), QStringLiteral("b"));
    undo.redo();
    EXPECT_EQ(box->title(), QStringLiteral("c"));
    EXPECT_FALSE(undo.canRedo());
    for (int i = 0; i < 3; ++i) undo.undo();
    EXPECT_EQ(box->title(), QString());
    EXPECT_FALSE(undo.canUndo());
    undo.undo(); // nothing left: no effect
    EXPECT_EQ(box->title(), QString());

    // A new change after undoing drops the redo steps.
    undo.redo();
    EXPECT_EQ(box->title(), QStringLiteral("a"));
    box->setTitle(QStringLiteral("z"));
    EXPECT_FALSE(undo.canRedo());
    undo.undo();
    EXPECT_EQ(box->title(), QStringLiteral("a"));
}

TEST(PLUndoManager, ChangesOfOneTurnFormOneStep)
{
    PLUndoManager undo;
    auto box = std::make_shared<Box>(&undo);
    QTimer::singleShot(0, [&] {
        box->setTitle(QStringLiteral("a"));
        box->setTitle(QStringLiteral("b"));
    });
    endTurn();
    EXPECT_EQ(box->title(), QStringLiteral("b"));
    QTimer::singleShot(0, [&] { box->setTitle(QStringLiteral("c")); });
    endTurn();
    endTurn();
    // Undo works before the turn ends: the open step is the one undone.
    box->setTitle(QStringLiteral("d"));
    EXPECT_EQ(undo.groupingLevel(), 1);
    EXPECT_TRUE(undo.canUndo());
    undo.undo();
    EXPECT_EQ(box->title(), QStringLiteral("c"));
    undo.undo();
    EXPECT_EQ(box->title(), QStringLiteral("b"));
    undo.undo();
    EXPECT_EQ(box->title(), QString());
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(undo.groupingLevel(), 0);
}

TEST(PLUndoManager, NestedEventLoopsDoNotEndTheStep)
{
    PLUndoManager undo;
    auto box = std::make_shared<Box>(&undo);
    // The handler runs a modal loop in which other work changes the model too.
    const auto handler = [&] {
        box->setTitle(QStringLiteral("a"));
        QEventLoop modal;
        QTimer::singleShot(0, [&] { box->setTitle(QStringLiteral("b")); });
        QTimer::singleShot(20, &modal, &QEventLoop::quit);
        modal.exec();
        box->setTitle(QStringLiteral("c"));
    };
    {   // Called from a plain processEvents at loop level 0.
        QTimer::singleShot(0, handler);
        endTurn();
        endTurn();
        box->setTitle(QStringLiteral("d"));
        endTurn();
        undo.undo();
        EXPECT_EQ(box->title(), QStringLiteral("c"));
        undo.undo();
        EXPECT_EQ(box->title(), QString());
    }
    undo.removeAllActions();
    {   // Called from a running top-level loop, as in the application.
        QEventLoop topLevel;
        QTimer::singleShot(0, handler);
        QTimer::singleShot(60, [&] { box->setTitle(QStringLiteral("d")); });
        QTimer::singleShot(120, &topLevel, &QEventLoop::quit);
        topLevel.exec();
        undo.undo();
        EXPECT_EQ(box->title(), QStringLiteral("c"));
        undo.undo();
        EXPECT_EQ(box->title(), QString());
        EXPECT_FALSE(undo.canUndo());
    }
}

TEST(PLUndoManager, ExplicitGroupsNestAndMaySpanTurns)
{
    PLUndoManager undo;
    auto box = std::make_shared<Box>(&undo);
    undo.beginUndoGrouping();
    box->setTitle(QStringLiteral("a"));
    endTurn();
    undo.beginUndoGrouping();
    box->setTitle(QStringLiteral("b"));
    undo.endUndoGrouping();
    endTurn();
    EXPECT_FALSE(undo.canUndo()); // not while a group is open
    undo.undo();
    EXPECT_EQ(box->title(), QStringLiteral("b"));
    undo.endUndoGrouping();
    undo.undo();
    EXPECT_EQ(box->title(), QString());

    // Inside the event group: the group ends at the first turn after the explicit one.
    box->setTitle(QStringLiteral("c"));
    undo.beginUndoGrouping();
    endTurn();
    EXPECT_EQ(undo.groupingLevel(), 2);
    box->setTitle(QStringLiteral("d"));
    undo.endUndoGrouping();
    EXPECT_EQ(undo.groupingLevel(), 1);
    endTurn();
    EXPECT_EQ(undo.groupingLevel(), 0);
    undo.undo();
    EXPECT_EQ(box->title(), QString());

    expectAssertion("groupingLevel > 0", [&] { undo.endUndoGrouping(); });
    undo.setGroupsByEvent(false);
    expectAssertion("groupingLevel > 0", [&] { box->setTitle(QStringLiteral("e")); });
}

TEST(PLUndoManager, ActionNames)
{
    const struct {
        const char* label;
        QStringList names; // given in this order during one step
        QString expected;
    } cases[] = {
        {"hidden, then visible", {QStringLiteral("_branches"), QStringLiteral("Add Branch")}, QStringLiteral("Add Branch")},
        {"first visible wins", {QStringLiteral("Add Branch"), QStringLiteral("Branch Title")}, QStringLiteral("Add Branch")},
        {"hidden only", {QStringLiteral("_style")}, QString()},
        {"none", {}, QString()},
    };
    for (const auto& c : cases) {
        PLUndoManager undo;
        auto box = std::make_shared<Box>(&undo);
        box->setTitle(QStringLiteral("x"));
        for (const QString& name : c.names) undo.setActionName(name);
        endTurn();
        EXPECT_EQ(undo.undoActionName(), c.expected) << c.label;
        EXPECT_EQ(undo.undoMenuItemTitle(), c.expected.isEmpty() ? QStringLiteral("Undo") : QStringLiteral("Undo ") + c.expected) << c.label;
        undo.undo();
        EXPECT_EQ(undo.redoActionName(), c.expected) << c.label;
        EXPECT_EQ(undo.redoMenuItemTitle(), c.expected.isEmpty() ? QStringLiteral("Redo") : QStringLiteral("Redo ") + c.expected) << c.label;
        undo.redo();
        EXPECT_EQ(undo.undoActionName(), c.expected) << c.label;
    }

    // A name given before the first change of a turn names that turn's step, and no other.
    PLUndoManager undo;
    auto box = std::make_shared<Box>(&undo);
    undo.setActionName(QStringLiteral("Add Branch"));
    box->setTitle(QStringLiteral("x"));
    endTurn();
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Add Branch"));
    undo.setActionName(QStringLiteral("Stale"));
    endTurn();
    box->setTitle(QStringLiteral("y"));
    endTurn();
    EXPECT_EQ(undo.undoActionName(), QString());

    // Reverting keeps the step's name, whatever names the reverting setters give.
    auto named = std::make_shared<Box>(&undo, QStringLiteral("Branch Title"));
    undo.registerUndo([named] { named->setTitle(QStringLiteral("reverted")); });
    endTurn();
    undo.undo();
    EXPECT_EQ(named->title(), QStringLiteral("reverted"));
    EXPECT_EQ(undo.redoActionName(), QString());
}

TEST(PLUndoManager, DisabledRegistrationRecordsNothing)
{
    PLUndoManager undo;
    auto box = std::make_shared<Box>(&undo);
    undo.disableUndoRegistration();
    undo.disableUndoRegistration();
    box->setTitle(QStringLiteral("loaded"));
    undo.enableUndoRegistration();
    EXPECT_FALSE(undo.isUndoRegistrationEnabled());
    box->setTitle(QStringLiteral("still loading"));
    undo.enableUndoRegistration();
    EXPECT_TRUE(undo.isUndoRegistrationEnabled());
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(undo.groupingLevel(), 0);
    box->setTitle(QStringLiteral("edited"));
    endTurn();
    undo.undo();
    EXPECT_EQ(box->title(), QStringLiteral("still loading"));
    expectAssertion("undoDisabled > 0", [&] { undo.enableUndoRegistration(); });
}

TEST(PLUndoManager, GroupOpenedObserversRecordIntoTheNewGroup)
{
    PLUndoManager undo;
    auto box = std::make_shared<Box>(&undo);
    QStringList log;
    QString selection = QStringLiteral("s0");
    // As the window controller does: restore the selection that was current when a step began.
    QObject::connect(&undo, &PLUndoManager::didOpenUndoGroup, [&] {
        const QString current = selection;
        undo.registerUndo([&, current] {
            log << QStringLiteral("select ") + current + QStringLiteral(" after ") + box->title();
            selection = current;
        });
    });
    box->setTitle(QStringLiteral("a"));
    selection = QStringLiteral("s1");
    endTurn();
    undo.undo();
    // The restore ran after the change was reverted, and the redo step records its own.
    EXPECT_EQ(log, QStringList{QStringLiteral("select s0 after ")});
    EXPECT_EQ(selection, QStringLiteral("s0"));
    // Redo brings back the selection of the moment of the undo.
    selection = QStringLiteral("s2");
    undo.redo();
    EXPECT_EQ(box->title(), QStringLiteral("a"));
    EXPECT_EQ(log.last(), QStringLiteral("select s1 after a"));
    EXPECT_EQ(selection, QStringLiteral("s1"));
    undo.undo();
    EXPECT_EQ(log.last(), QStringLiteral("select s2 after "));
}

TEST(PLUndoManager, RemovingActionsReleasesWhatTheyOwn)
{
    auto undo = std::make_unique<PLUndoManager>();
    auto kept = std::make_shared<Box>(undo.get());
    auto removed = std::make_shared<Box>(undo.get());
    removed->m_dropActionsOnDestruction = true;
    std::weak_ptr<Box> removedAlive = removed;
    kept->setTitle(QStringLiteral("k"));
    endTurn();
    removed->setTitle(QStringLiteral("r"));
    endTurn();
    kept->setTitle(QStringLiteral("k2"));
    removed->setTitle(QStringLiteral("r2"));
    endTurn();

    // A detached subtree lives on while a step needs it.
    removed.reset();
    EXPECT_FALSE(removedAlive.expired());
    undo->removeAllActionsWithTarget(removedAlive.lock().get());
    EXPECT_TRUE(removedAlive.expired()); // its destructor ran while the manager was busy
    undo->undo();
    EXPECT_EQ(kept->title(), QStringLiteral("k"));
    EXPECT_TRUE(undo->canUndo()); // the first step; the second held only the removed target
    undo->undo();
    EXPECT_EQ(kept->title(), QString());
    EXPECT_FALSE(undo->canUndo());

    // Dropping everything, or the manager, releases the rest.
    auto other = std::make_shared<Box>(undo.get());
    other->m_dropActionsOnDestruction = true;
    std::weak_ptr<Box> otherAlive = other;
    other->setTitle(QStringLiteral("o"));
    other.reset();
    undo->removeAllActions();
    EXPECT_TRUE(otherAlive.expired());
    EXPECT_FALSE(undo->canUndo());
    EXPECT_FALSE(undo->canRedo());

    auto last = std::make_shared<Box>(undo.get());
    std::weak_ptr<Box> lastAlive = last;
    last->setTitle(QStringLiteral("l"));
    last.reset();
    undo.reset();
    EXPECT_TRUE(lastAlive.expired());
}

TEST(PLUndoManager, LevelsOfUndoKeepTheNewestSteps)
{
    PLUndoManager undo;
    auto box = std::make_shared<Box>(&undo);
    undo.setLevelsOfUndo(2);
    for (const char* title : {"a", "b", "c"}) {
        box->setTitle(QString::fromLatin1(title));
        endTurn();
    }
    undo.undo();
    undo.undo();
    EXPECT_EQ(box->title(), QStringLiteral("a"));
    EXPECT_FALSE(undo.canUndo());
}

TEST(PLUndoManager, AThrowingActionIsLoggedAndAbandonedAndTheRestOfTheStepRuns)
{
    QStringList log;
    const PLLog::Sink previous = PLLog::setSink([&log](const QString& line) { log << line; });
    PLUndoManager undo;
    auto before = std::make_shared<Box>(&undo);
    auto after = std::make_shared<Box>(&undo);
    const struct {
        const char* what;
        std::function<void()> thrower;
        const char* logged;
    } table[] = {
        {"assertion", [] { PL_ASSERT_PARAM(false, "condition"); }, "Invalid parameter not satisfying: condition"},
        {"runtime error", [] { throw std::runtime_error("invalid time value"); }, "invalid time value"},
        {"anything else", [] { throw 42; }, "unknown exception"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        const PLExpectBoundaryCatch expect;
        log.clear();
        before->setTitle(QStringLiteral("before"));
        undo.registerUndo(row.thrower);
        after->setTitle(QStringLiteral("after"));
        endTurn();
        // Nothing unwinds out of undo: the other actions of the step are reverted.
        EXPECT_NO_THROW(undo.undo());
        EXPECT_TRUE(before->title().isEmpty());
        EXPECT_TRUE(after->title().isEmpty());
        ASSERT_EQ(log.size(), 1);
        EXPECT_TRUE(log[0].startsWith(QStringLiteral("Undo action abandoned: "))) << log[0].toStdString();
        EXPECT_TRUE(log[0].endsWith(QLatin1String(row.logged))) << log[0].toStdString();
        // The manager is usable again: redo and later steps work.
        EXPECT_FALSE(undo.isUndoing());
        ASSERT_TRUE(undo.canRedo());
        undo.redo();
        EXPECT_EQ(before->title(), QStringLiteral("before"));
        EXPECT_EQ(after->title(), QStringLiteral("after"));
        undo.undo();
        undo.removeAllActions();
    }

    // Observers of the group's opening and closing run inside the same boundary.
    const PLExpectBoundaryCatch expect;
    log.clear();
    QObject::connect(&undo, &PLUndoManager::didOpenUndoGroup, [] { throw std::runtime_error("opening"); });
    QObject::connect(&undo, &PLUndoManager::willCloseUndoGroup, [] { throw std::runtime_error("closing"); });
    before->setTitle(QStringLiteral("again"));
    EXPECT_NO_THROW(endTurn());
    EXPECT_EQ(undo.groupingLevel(), 0);
    ASSERT_TRUE(undo.canUndo());
    EXPECT_NO_THROW(undo.undo());
    EXPECT_TRUE(before->title().isEmpty());
    EXPECT_EQ(log.size(), 4);  // opened and closed by the change, then by the undo
    PLLog::setSink(previous);
}
