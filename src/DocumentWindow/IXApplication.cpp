#include "DocumentWindow/IXApplication.h"

#include "DocumentViews/IXTool.h"
#include "DocumentViews/IXToolManager.h"
#include "DocumentWindow/IXActionBridge.h"
#include "DocumentWindow/IXDocumentWindow.h"
#include "DocumentWindow/IXWindowExtensions.h"
#include "Inspectors/IXInspectorController.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLLog.h"
#include "Platform/Core/PLRunLoopModeScope.h"

#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>
#include <QWindow>

struct IXApplication::TrackingRequest {
    QList<QEvent::Type> types;
    QEventLoop* loop = nullptr;
    std::unique_ptr<QEvent> event;
};

IXApplication::IXApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    PLExceptionBoundary::connect(this, &QGuiApplication::focusWindowChanged, this, &IXApplication::windowActivated);
}

IXApplication::~IXApplication() = default;

IXApplication* IXApplication::instance()
{
    return qobject_cast<IXApplication*>(QCoreApplication::instance());
}

namespace {
QString describe(QObject* receiver, QEvent* event)
{
    return QStringLiteral("event %1 to %2")
        .arg(int(event->type()))
        .arg(QString::fromLatin1(receiver ? receiver->metaObject()->className() : "nothing"));
}

QWindow* windowOf(QObject* receiver)
{
    if (auto* window = qobject_cast<QWindow*>(receiver)) return window;
    if (auto* widget = qobject_cast<QWidget*>(receiver)) return widget->window()->windowHandle();
    return nullptr;
}
}

bool IXApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        // Windows live on the main thread; events of other threads never reach the tool.
        if (receiver && receiver->isWindowType() && !m_trackingRequests.isEmpty()) {
            TrackingRequest* request = m_trackingRequests.last();
            if (!request->event && request->types.contains(event->type())) {
                request->event.reset(event->clone());
                request->loop->quit();
                return true;
            }
        }
        if (offerToCurrentTool(receiver, event)) return true;
        if (event->type() == QEvent::ShortcutOverride)
            IXActionBridge::validateShortcuts(activeWindow(), static_cast<QKeyEvent*>(event));
        return QApplication::notify(receiver, event);
    } catch (...) {
        // The last resort, for a handler that lacks a boundary of its own: by now the
        // exception has unwound through Qt's frames.
        PLExceptionBoundary::caught(QStringLiteral("Abandoned %1 after an exception").arg(describe(receiver, event)));
        return false;
    }
}

std::unique_ptr<QEvent> IXApplication::nextEventMatchingMask(const QList<QEvent::Type>& types,
                                                           std::chrono::milliseconds timeout)
{
    QEventLoop loop;
    TrackingRequest request{types, &loop, nullptr};
    m_trackingRequests.append(&request);
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(timeout);
    {
        PLRunLoopModeScope tracking(PLRunLoopMode::EventTracking);
        loop.exec();
    }
    m_trackingRequests.removeOne(&request);
    if (!request.event) return nullptr;
    if (IXTool* tool = IXToolManager::sharedManager()->currentTool(); tool && tool->onNextEvent(request.event.get()))
        return nullptr;
    return std::move(request.event);
}

bool IXApplication::offerToCurrentTool(QObject* receiver, QEvent* event)
{
    if (!receiver || !event->isInputEvent() || receiver->thread() != thread()) return false;
    const bool keyPress = event->type() == QEvent::KeyPress;
    if (event->type() == QEvent::ShortcutOverride) {
        // Qt tries shortcuts before a key press reaches its window: the tool sees the press now.
        IXTool* tool = IXToolManager::sharedManager()->currentTool();
        if (!tool) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        QKeyEvent press(QEvent::KeyPress, key->key(), key->modifiers(), key->nativeScanCode(), key->nativeVirtualKey(),
                        key->nativeModifiers(), key->text(), key->isAutoRepeat(), key->count());
        press.setTimestamp(key->timestamp());
        const bool taken = tool->onSendEvent(windowOf(receiver), &press);
        m_offeredKey = {key->key(), key->modifiers(), key->timestamp(), taken, true};
        if (taken) event->accept();
        return taken;
    }
    if (!receiver->isWindowType()) return false;
    if (keyPress && m_offeredKey.pending) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == m_offeredKey.key && key->modifiers() == m_offeredKey.modifiers &&
            key->timestamp() == m_offeredKey.timestamp) {
            m_offeredKey.pending = false;
            return m_offeredKey.taken;
        }
    }
    IXTool* tool = IXToolManager::sharedManager()->currentTool();
    return tool && tool->onSendEvent(static_cast<QWindow*>(receiver), event);
}

QObject* IXApplication::targetForAction(const QByteArray& action, QObject* target, QObject* sender)
{
    QObject* fallback = defaultTarget(action, target);
    if (action.isEmpty() || target) return fallback;

    QObject* candidate = IXToolManager::sharedManager()->currentTool();
    if (!IXWindowExtensions::respondsToAction(candidate, action)) candidate = nullptr;

    QWidget* key = keyWindow();
    if (IXWindowExtensions::isSheet(key)) key = nullptr;
    if (key && !candidate) candidate = targetInWindow(action, key);
    if (m_keyChildWindow && m_keyChildWindow != key && !candidate) candidate = targetInWindow(action, m_keyChildWindow);

    QWidget* main = mainWindow();
    if ((key && key == main) || candidate) return candidate ? candidate : fallback;
    QObject* inMain = targetInWindow(action, main);
    return inMain ? inMain : fallback;
}

bool IXApplication::sendAction(const QByteArray& action, QObject* target, QObject* sender)
{
    QObject* receiver = targetForAction(action, target, sender);
    if (!receiver) {
        PLLog::writeOnce(QStringLiteral("The command %1 has no receiver").arg(QString::fromLatin1(action)));
        return false;
    }
    IXWindowExtensions::performAction(receiver, action, sender);
    emit actionSent();
    return true;
}

QObject* IXApplication::targetInWindow(const QByteArray& action, QWidget* window) const
{
    if (!window) return nullptr;
    if (QObject* inParent = targetInWindow(action, IXWindowExtensions::parentWindow(window))) return inParent;
    for (QObject* responder = IXWindowExtensions::firstResponder(window); responder;
         responder = IXWindowExtensions::nextResponder(responder))
        if (IXWindowExtensions::respondsToAction(responder, action)) return responder;
    if (QObject* delegate = IXWindowExtensions::delegate(window);
        IXWindowExtensions::respondsToAction(delegate, action))
        return delegate;
    return targetInWindow(action, IXWindowExtensions::attachedSheet(window));
}

QObject* IXApplication::defaultTarget(const QByteArray& action, QObject* target) const
{
    if (target) return IXWindowExtensions::respondsToAction(target, action) ? target : nullptr;
    const auto searchChain = [&](QWidget* window) -> QObject* {
        if (!window) return nullptr;
        for (QObject* responder = IXWindowExtensions::firstResponder(window); responder;
             responder = IXWindowExtensions::nextResponder(responder))
            if (IXWindowExtensions::respondsToAction(responder, action)) return responder;
        QObject* delegate = IXWindowExtensions::delegate(window);
        return IXWindowExtensions::respondsToAction(delegate, action) ? delegate : nullptr;
    };
    if (QObject* found = searchChain(keyWindow())) return found;
    if (mainWindow() != keyWindow())
        if (QObject* found = searchChain(mainWindow())) return found;
    auto* self = const_cast<IXApplication*>(this);
    if (IXWindowExtensions::respondsToAction(self, action)) return self;
    return IXWindowExtensions::respondsToAction(m_delegate, action) ? m_delegate.data() : nullptr;
}

void IXApplication::setKeyChildWindow(QWidget* window)
{
    if (window && !IXWindowExtensions::canBecomeKeyChildWindow(window)) window = nullptr;
    if (window == m_keyChildWindow) return;
    if (m_keyChildWindow) IXWindowExtensions::resignKeyChildWindow(m_keyChildWindow);
    m_keyChildWindow = window;
    if (window) IXWindowExtensions::becomeKeyChildWindow(window);
}

QWidget* IXApplication::keyWindow() const
{
    return QApplication::activeWindow();
}

QWidget* IXApplication::mainWindow() const
{
    return m_mainWindow && m_mainWindow->isVisible() ? m_mainWindow.data() : nullptr;
}

void IXApplication::windowActivated()
{
    QWidget* key = QApplication::activeWindow();
    if (key == m_keyWindow) return;
    m_keyWindow = key;
    if (!key) return;
    if (IXWindowExtensions::canBecomeMainWindow(key) && key != m_mainWindow) {
        if (auto* oldMain = qobject_cast<IXDocumentWindow*>(m_mainWindow.data())) oldMain->resignMainWindow();
        m_mainWindow = key;
        IXInspectorController::windowDidBecomeMain(key);
    }
    if (auto* document = qobject_cast<IXDocumentWindow*>(key)) document->becomeKeyWindow();
}
