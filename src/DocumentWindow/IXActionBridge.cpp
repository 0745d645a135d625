#include "DocumentWindow/IXActionBridge.h"

#include "DocumentViews/IXActionItem.h"
#include "DocumentWindow/IXApplication.h"
#include "DocumentWindow/IXWindowExtensions.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLRunLoop.h"
#include "UtilityWidgets/UTToolbarItem.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMetaMethod>
#include <QToolBar>

IXActionBridge* IXActionBridge::shared()
{
    static auto* bridge = [] {
        auto* made = new IXActionBridge;
        if (IXApplication* application = IXApplication::instance()) {
            made->setParent(application);
            PLExceptionBoundary::connect(application, &IXApplication::actionSent, made, &IXActionBridge::validateShownToolBars);
            // On the next turn: the focus also moves while a focused view is being deleted, when
            // the window's views cannot be asked about it.
            PLExceptionBoundary::connect(application, &QApplication::focusChanged, made, [made] {
                PLRunLoop::cancel(made, "validateShownToolBars");
                PLRunLoop::perform(made, "validateShownToolBars", [made] { made->validateShownToolBars(); });
            });
        }
        return made;
    }();
    return bridge;
}

QAction* IXActionBridge::makeAction(const QString& text, IXCommand command, QObject* parent)
{
    auto* item = new QAction(text, parent);
    bind(item, command.toByteArray());
    return item;
}

void IXActionBridge::bind(QAction* item, const QByteArray& action)
{
    IXActionItem::setAction(item, action);
    PLExceptionBoundary::connect(item, &QAction::triggered, item, [item] {
        if (IXApplication* application = IXApplication::instance())
            application->sendAction(IXActionItem::actionOf(item), IXActionItem::targetOf(item), item);
    });
}

bool IXActionBridge::validate(QAction* item)
{
    const QByteArray action = IXActionItem::actionOf(item);
    if (action.isEmpty()) return item->isEnabled();
    IXApplication* application = IXApplication::instance();
    QObject* target = application ? application->targetForAction(action, IXActionItem::targetOf(item), item) : nullptr;
    bool enabled = target != nullptr;
    if (target) {
        const QMetaObject* meta = target->metaObject();
        int index = qobject_cast<UTToolbarItem*>(item) ? meta->indexOfMethod("validateToolbarItem(QAction*)") : -1;
        if (index < 0) index = meta->indexOfMethod("validateMenuItem(QAction*)");
        if (index >= 0) meta->method(index).invoke(target, Qt::DirectConnection, Q_RETURN_ARG(bool, enabled), Q_ARG(QAction*, item));
    }
    item->setEnabled(enabled);
    return enabled;
}

void IXActionBridge::attachMenu(QMenu* menu)
{
    PLExceptionBoundary::connect(menu, &QMenu::aboutToShow, menu, [menu] {
        for (QAction* item : menu->actions()) validate(item);
    });
}

void IXActionBridge::validateShortcuts(QWidget* window, const QKeyEvent* key)
{
    if (!window || !key) return;
    const bool command = (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
    if (!command && !key->text().isEmpty() && key->text().at(0).isPrint()) return;
    for (QAction* item : window->findChildren<QAction*>())
        if (!item->shortcuts().isEmpty() && !IXActionItem::actionOf(item).isEmpty()) validate(item);
}

void IXActionBridge::attachToolBar(QToolBar* toolBar)
{
    IXActionBridge* bridge = shared();
    bridge->m_toolBars.append(toolBar);
    toolBar->installEventFilter(bridge);
    if (toolBar->isVisible())
        for (QAction* item : toolBar->actions()) validate(item);
}

bool IXActionBridge::eventFilter(QObject* watched, QEvent* event)
try {
    if (event->type() == QEvent::Show)
        if (auto* toolBar = qobject_cast<QToolBar*>(watched))
            for (QAction* item : toolBar->actions()) validate(item);
    return QObject::eventFilter(watched, event);
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}

void IXActionBridge::validateShownToolBars()
{
    m_toolBars.removeAll(nullptr);
    for (const QPointer<QToolBar>& toolBar : std::as_const(m_toolBars))
        if (toolBar->isVisible())
            for (QAction* item : toolBar->actions()) validate(item);
}
