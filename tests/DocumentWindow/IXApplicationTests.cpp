// The application object: the order in which actions without a target find their receiver,
// validation of menu and toolbar items through that order, the key child window, the current
// tool's first look at window events, and exceptions from handlers.
#include "DocumentWindow/IXApplication.h"

#include "DocumentViews/IXTestContexts.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXToolManager.h"
#include "DocumentWindow/IXActionBridge.h"
#include "DocumentWindow/IXDocumentWindow.h"
#include "DocumentWindow/IXWindowExtensions.h"
#include "IXRoutingTestObjects.h"
#include "Platform/Core/PLLog.h"
#include "Platform/Core/PLRunLoop.h"
#include "TestSupport/PLExpectBoundaryCatch.h"
#include "TestSupport/QStringPrinter.h"

#include <QDialog>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

IXApplication* app()
{
    return IXApplication::instance();
}

void activate(QWidget* window)
{
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }))
        << window->objectName().toStdString() << " active: "
        << (QApplication::activeWindow() ? QApplication::activeWindow()->objectName().toStdString() : "none");
}

// A document window with a controller (its delegate) and a focus chain
// outer (responds) > inner (responds to nothing) with the focus on inner.
class IXApplicationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        IXToolManager::registerToolClass<RespondingTool>();
        routingLog().clear();
        RespondingTool::takenKeys().clear();
        document = std::make_unique<IXDocumentWindow>();
        document->setObjectName(QStringLiteral("document"));
        controller = std::make_unique<RespondingDelegate>(QStringLiteral("controller"));
        document->setWindowController(controller.get());
        auto* central = new QWidget;
        auto* layout = new QVBoxLayout(central);
        outer = new RespondingWidget(QStringLiteral("outer"));
        inner = new PlainWidget(QStringLiteral("inner"), outer);
        layout->addWidget(outer);
        document->setCentralWidget(central);
        document->resize(300, 200);
        activate(document.get());
        inner->setFocus();
    }
    void TearDown() override
    {
        IXToolManager::sharedManager()->discardCurrentTool();
        app()->setKeyChildWindow(nullptr);
        document.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QString receiverOf(const QByteArray& action = "doThing:", QObject* target = nullptr)
    {
        QObject* receiver = app()->targetForAction(action, target, nullptr);
        return receiver ? receiver->objectName() : QStringLiteral("none");
    }

    TestContexts contexts{1};
    std::unique_ptr<RespondingDelegate> controller;
    std::unique_ptr<IXDocumentWindow> document;
    RespondingWidget* outer = nullptr;
    PlainWidget* inner = nullptr;
};

TEST_F(IXApplicationTest, ResponderChainThenDelegateOfTheKeyWindow)
{
    EXPECT_EQ(app()->keyWindow(), document.get());
    EXPECT_EQ(app()->mainWindow(), document.get());
    EXPECT_EQ(receiverOf(), QStringLiteral("outer")) << "the parent of the focus widget";
    EXPECT_EQ(receiverOf("noSuchAction:"), QStringLiteral("none"));

    delete outer;
    outer = nullptr;
    EXPECT_EQ(receiverOf(), QStringLiteral("controller"));

    EXPECT_TRUE(app()->sendAction("doThing:", nullptr, nullptr));
    EXPECT_FALSE(app()->sendAction("noSuchAction:", nullptr, nullptr));
    EXPECT_EQ(routingLog(), QStringList{QStringLiteral("controller doThing:")});
}

TEST_F(IXApplicationTest, CurrentToolComesFirstUnlessTheTargetIsExplicit)
{
    RespondingWidget elsewhere(QStringLiteral("explicit"));
    outer->setFocus();
    ASSERT_EQ(document->firstResponder(), outer);
    ASSERT_NE(IXToolManager::sharedManager()->activateToolNamed(IXToolName("RespondingTool"), contexts[0], {}),
              nullptr);
    EXPECT_EQ(receiverOf(), QStringLiteral("tool"));
    EXPECT_EQ(receiverOf("doThing:", &elsewhere), QStringLiteral("explicit"));
    EXPECT_EQ(receiverOf("doThing:", inner), QStringLiteral("none")) << "an explicit target that does not respond";

    QAction* item = IXActionBridge::makeAction(QStringLiteral("Do"), IXCommand("doThing:"), document.get());
    item->trigger();
    EXPECT_EQ(routingLog(), QStringList{QStringLiteral("tool doThing:")});
}

TEST_F(IXApplicationTest, SheetIsSkippedAsKeyWindowAndReachedThroughItsParent)
{
    // A child panel of the document responds; the sheet is the key window.
    ChildPanel panel(QStringLiteral("panel"), document.get());
    auto* panelControl = new RespondingWidget(QStringLiteral("panelControl"), &panel);
    panelControl->setFocus();
    QDialog sheet(document.get());
    sheet.setObjectName(QStringLiteral("sheet"));
    sheet.setWindowModality(Qt::WindowModal);
    auto* sheetControl = new RespondingWidget(QStringLiteral("sheetControl"), &sheet);
    sheetControl->setFocus();
    activate(&sheet);
    ASSERT_EQ(app()->keyWindow(), &sheet);
    ASSERT_EQ(app()->mainWindow(), document.get()) << "a sheet does not become main";

    // The main window's responder chain, then its delegate, then its attached sheet.
    EXPECT_EQ(receiverOf(), QStringLiteral("outer"));
    delete outer;
    outer = nullptr;
    EXPECT_EQ(receiverOf(), QStringLiteral("controller"));
    controller.reset();
    EXPECT_EQ(receiverOf(), QStringLiteral("sheetControl")) << "reached as the main window's attached sheet";

    panel.show();
    app()->setKeyChildWindow(&panel);
    EXPECT_EQ(receiverOf(), QStringLiteral("panelControl")) << "the key child window comes before the main window";
}

TEST_F(IXApplicationTest, KeyChildWindowAnswersForTheMainDocumentWindow)
{
    auto delegate = std::make_unique<RespondingDelegate>(QStringLiteral("panelDelegate"));
    ChildPanel panel(QStringLiteral("panel"), document.get());
    IXWindowExtensions::setDelegate(&panel, delegate.get());
    auto* panelControl = new RespondingWidget(QStringLiteral("panelControl"), &panel);
    panelControl->setFocus();
    panel.show();

    IXWindowExtensions::makeKeyChildWindow(&panel);
    IXWindowExtensions::makeKeyChildWindow(&panel);
    EXPECT_TRUE(IXWindowExtensions::isKeyChildWindow(&panel));
    EXPECT_EQ(routingLog(), QStringList{QStringLiteral("panelDelegate windowDidBecomeKeyChild:")}) << "told once";
    EXPECT_EQ(document->firstResponder(), panelControl);
    EXPECT_EQ(receiverOf(), QStringLiteral("panelControl"));

    // An ordinary window cannot become key child: asking clears it.
    PlainWidget ordinary(QStringLiteral("ordinary"));
    IXWindowExtensions::makeKeyChildWindow(&ordinary);
    EXPECT_EQ(app()->keyChildWindow(), nullptr);
    EXPECT_EQ(routingLog().last(), QStringLiteral("panelDelegate windowDidResignKeyChild:"));
    EXPECT_EQ(document->firstResponder(), inner);

    // Removing the key child from its window, or the window becoming key, clears it.
    app()->setKeyChildWindow(&panel);
    document->becomeKeyWindow();
    EXPECT_EQ(app()->keyChildWindow(), nullptr);
    app()->setKeyChildWindow(&panel);
    document->removeChildWindow(&panel);
    EXPECT_EQ(app()->keyChildWindow(), nullptr);
    EXPECT_EQ(IXWindowExtensions::parentWindow(&panel), nullptr);
}

TEST_F(IXApplicationTest, MainWindowSearchFollowsItsParentWindow)
{
    // A key window that is not main and does not respond: the main window is searched.
    PlainWidget other(QStringLiteral("other"));
    other.setWindowFlag(Qt::Tool);
    activate(&other);
    ASSERT_EQ(app()->keyWindow(), &other);
    ASSERT_EQ(app()->mainWindow(), document.get());
    EXPECT_EQ(receiverOf(), QStringLiteral("outer"));

    // A responding window that is the parent of the key window is searched before it.
    RespondingWidget parentWindow(QStringLiteral("parentWindow"));
    PlainWidget child(QStringLiteral("child"), &parentWindow);
    child.setWindowFlag(Qt::Tool);
    activate(&child);
    EXPECT_EQ(receiverOf(), QStringLiteral("parentWindow"));
}

TEST_F(IXApplicationTest, WindowGivesTheFocusToItsDocumentView)
{
    controller->view = outer;
    EXPECT_TRUE(document->makeFirstResponder(document.get()));
    EXPECT_EQ(document->focusWidget(), outer);
    EXPECT_TRUE(document->makeFirstResponder(inner));
    EXPECT_EQ(document->focusWidget(), inner);
}

TEST_F(IXApplicationTest, ItemsAreValidatedThroughTheSameSearch)
{
    QAction* item = IXActionBridge::makeAction(QStringLiteral("Do"), IXCommand("doThing:"), document.get());
    QAction* orphan = IXActionBridge::makeAction(QStringLiteral("Nothing"), IXCommand("noSuchAction:"), document.get());
    const struct {
        bool enables;
        bool checks;
    } cases[] = {{true, false}, {true, true}, {false, true}};
    for (const auto& c : cases) {
        outer->enables = c.enables;
        outer->checks = c.checks;
        EXPECT_EQ(IXActionBridge::validate(item), c.enables);
        EXPECT_EQ(item->isEnabled(), c.enables);
        EXPECT_EQ(item->isChecked(), c.checks);
    }
    EXPECT_FALSE(IXActionBridge::validate(orphan));

    // A menu validates before it shows; a shown toolbar when the focus moves.
    QMenu menu;
    menu.addAction(item);
    IXActionBridge::attachMenu(&menu);
    outer->enables = true;
    item->setEnabled(false);
    emit menu.aboutToShow();
    EXPECT_TRUE(item->isEnabled());

    QToolBar* toolBar = document->addToolBar(QStringLiteral("tools"));
    QAction* toolItem = IXActionBridge::makeAction(QStringLiteral("Do"), IXCommand("doThing:"), toolBar);
    toolBar->addAction(toolItem);
    IXActionBridge::attachToolBar(toolBar);
    EXPECT_TRUE(toolItem->isEnabled());
    outer->enables = false;
    outer->setFocus();
    QCoreApplication::processEvents();
    EXPECT_FALSE(toolItem->isEnabled());
}

TEST_F(IXApplicationTest, ToolTakesKeysBeforeWindowAndShortcuts)
{
    auto* typing = new RespondingWidget(QStringLiteral("typing"), outer);
    typing->show();
    typing->setFocus();
    QAction* shortcut = IXActionBridge::makeAction(QStringLiteral("Do"), IXCommand("doThing:"), document.get());
    shortcut->setShortcut(QKeySequence(Qt::Key_X));
    document->addAction(shortcut);
    RespondingTool::takenKeys() = QStringLiteral("ax");
    ASSERT_NE(IXToolManager::sharedManager()->activateToolNamed(IXToolName("RespondingTool"), contexts[0], {}),
              nullptr);

    QWindow* window = document->windowHandle();
    QTest::keyClick(window, Qt::Key_A, Qt::NoModifier);
    QTest::keyClick(window, Qt::Key_B, Qt::NoModifier);
    QTest::keyClick(window, Qt::Key_X, Qt::NoModifier);
    EXPECT_EQ(typing->keys, QStringList{QStringLiteral("b")});
    EXPECT_EQ(routingLog(), (QStringList{QStringLiteral("tool key a"), QStringLiteral("tool key x")}))
        << "each key offered once; the shortcut did not fire";

    IXToolManager::sharedManager()->discardCurrentTool();
    QTest::keyClick(window, Qt::Key_X, Qt::NoModifier);
    EXPECT_EQ(routingLog().last(), QStringLiteral("typing doThing:")) << "without the tool the shortcut works";
}

// A command that finds no receiver is logged once per command, however often it is sent.
TEST_F(IXApplicationTest, CommandsWithoutReceiverAreLoggedOncePerCommand)
{
    QStringList logged;
    const PLLog::Sink previous = PLLog::setSink([&](const QString& line) { logged.append(line); });
    for (int round = 0; round < 3; ++round) {
        EXPECT_FALSE(app()->sendAction("neverAnswered:", nullptr, nullptr));
        EXPECT_FALSE(app()->sendAction("neverAnsweredEither:", nullptr, nullptr));
        EXPECT_TRUE(app()->sendAction("doThing:", nullptr, nullptr));
    }
    PLLog::setSink(previous);
    EXPECT_EQ(logged.filter(QStringLiteral("neverAnswered:")).size(), 1) << logged.join(u'\n').toStdString();
    EXPECT_EQ(logged.filter(QStringLiteral("neverAnsweredEither:")).size(), 1);
    EXPECT_TRUE(logged.filter(QStringLiteral("doThing:")).isEmpty());
}

// The last resort, for a handler without a boundary of its own.
TEST_F(IXApplicationTest, ExceptionsFromHandlersAreLoggedAndAbandoned)
{
    const PLExpectBoundaryCatch expect;
    auto* throwing = new ThrowingWidget(outer);
    throwing->show();
    throwing->setFocus();
    QStringList logged;
    const PLLog::Sink previous = PLLog::setSink([&](const QString& line) { logged.append(line); });
    QWindow* window = document->windowHandle();
    QTest::keyClick(window, Qt::Key_A);
    QTest::keyClick(window, Qt::Key_B);
    QTest::keyClick(window, Qt::Key_C);
    PLLog::setSink(previous);
    EXPECT_EQ(throwing->presses, 3) << "dispatch goes on after an exception";
    ASSERT_EQ(logged.size(), 2) << logged.join(u'\n').toStdString();
    EXPECT_TRUE(logged[0].contains(QStringLiteral("broken handler"))) << logged[0].toStdString();
    EXPECT_TRUE(logged[1].contains(QStringLiteral("unknown exception"))) << logged[1].toStdString();
}

TEST_F(IXApplicationTest, TrackingLoopsTakeTheEventsTheyWaitFor)
{
    using namespace std::chrono_literals;
    outer->show();
    auto* typing = new RespondingWidget(QStringLiteral("typing"), outer);
    typing->show();
    typing->setFocus();
    QWindow* window = document->windowHandle();
    const QPoint inTyping = typing->mapTo(document.get(), QPoint(5, 5));
    const QList<QEvent::Type> mouseUp = {QEvent::MouseButtonRelease};

    // A key press and a mouse press meanwhile are dispatched; the release is taken from the
    // dispatch.
    PLRunLoopMode modeWhileWaiting = PLRunLoopMode::Default;
    QTimer::singleShot(0, [&] {
        modeWhileWaiting = PLRunLoop::currentMode();
        QTest::keyClick(window, Qt::Key_K);
        QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, inTyping);
        QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, inTyping);
    });
    const std::unique_ptr<QEvent> event = app()->nextEventMatchingMask(mouseUp, 2s);
    ASSERT_NE(event, nullptr);
    ASSERT_EQ(event->type(), QEvent::MouseButtonRelease);
    EXPECT_EQ(static_cast<QMouseEvent*>(event.get())->position().toPoint(), inTyping);
    EXPECT_EQ(modeWhileWaiting, PLRunLoopMode::EventTracking);
    EXPECT_EQ(typing->keys, QStringList{QStringLiteral("k")});
    EXPECT_EQ(typing->mousePresses, 1) << "the press did not match and was dispatched";
    EXPECT_EQ(PLRunLoop::currentMode(), PLRunLoopMode::Default);

    EXPECT_EQ(app()->nextEventMatchingMask(mouseUp, 10ms), nullptr) << "time ran out";

    // A current tool may take the dequeued event.
    RespondingTool::takesNextEvents() = true;
    ASSERT_NE(IXToolManager::sharedManager()->activateToolNamed(IXToolName("RespondingTool"), contexts[0], {}),
              nullptr);
    QTimer::singleShot(0, [&] { QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, inTyping); });
    EXPECT_EQ(app()->nextEventMatchingMask(mouseUp, 2s), nullptr);
    RespondingTool::takesNextEvents() = false;
}

TEST_F(IXApplicationTest, FullScreenWindowsTakeTheWholeMainScreen)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QRect available = screen->availableGeometry();
    RespondingDelegate appDelegate(QStringLiteral("appDelegate"));
    app()->setDelegate(&appDelegate);
    const QRect above(available.left() + 10, available.top() - 50, 300, 200);
    const struct {
        bool fullScreen;
        QScreen* screen;
        QRect frame;
        QRect expected;
    } cases[] = {
        {true, nullptr, above, screen->geometry()},
        {true, screen, above, screen->geometry()},
        {false, screen, above, QRect(available.left() + 10, available.top(), 300, 200)},
        {false, screen, QRect(0, available.top() + 5, 100, available.height() * 2),
         QRect(0, available.top() + 5, 100, available.height())},
    };
    for (const auto& c : cases) {
        appDelegate.fullScreen = c.fullScreen;
        EXPECT_EQ(document->constrainFrameRect(c.frame, c.screen), c.expected) << c.fullScreen;
    }
    app()->setDelegate(nullptr);
}

}
