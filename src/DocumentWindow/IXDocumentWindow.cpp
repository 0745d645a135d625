#include "DocumentWindow/IXDocumentWindow.h"

#include "DocumentWindow/IXApplication.h"
#include "DocumentWindow/IXDocumentViewOwning.h"
#include "DocumentWindow/IXWindowExtensions.h"

#include <QMetaMethod>
#include <QScreen>

#include <algorithm>

IXDocumentWindow::IXDocumentWindow(QWidget* parent) : QMainWindow(parent) {}

void IXDocumentWindow::setWindowController(QObject* controller)
{
    IXWindowExtensions::setDelegate(this, controller);
}

QObject* IXDocumentWindow::windowController() const
{
    return IXWindowExtensions::delegate(this);
}

QObject* IXDocumentWindow::firstResponder()
{
    IXApplication* application = IXApplication::instance();
    if (application && application->mainWindow() == this)
        if (QWidget* keyChild = application->keyChildWindow(); keyChild && keyChild != this)
            return IXWindowExtensions::firstResponder(keyChild);
    QWidget* focus = focusWidget();
    return focus ? static_cast<QObject*>(focus) : this;
}

bool IXDocumentWindow::makeFirstResponder(QObject* responder)
{
    if (responder == this)
        if (auto* owner = dynamic_cast<IXDocumentViewOwning*>(windowController()))
            if (QWidget* view = owner->documentView()) responder = view;
    auto* widget = qobject_cast<QWidget*>(responder);
    if (!widget) return false;
    widget->setFocus(Qt::OtherFocusReason);
    return true;
}

void IXDocumentWindow::removeChildWindow(QWidget* child)
{
    if (!child) return;
    IXApplication* application = IXApplication::instance();
    if (application && application->keyChildWindow() == child) application->setKeyChildWindow(nullptr);
    child->setParent(nullptr, child->windowFlags());
}

void IXDocumentWindow::becomeKeyWindow()
{
    if (IXApplication* application = IXApplication::instance()) application->setKeyChildWindow(nullptr);
}

void IXDocumentWindow::resignMainWindow()
{
    if (IXApplication* application = IXApplication::instance()) application->setKeyChildWindow(nullptr);
}

namespace {
bool applicationIsInFullScreenMode()
{
    IXApplication* application = IXApplication::instance();
    QObject* delegate = application ? application->delegate() : nullptr;
    if (!delegate) return false;
    const int index = delegate->metaObject()->indexOfMethod("isFullScreenMode()");
    bool fullScreen = false;
    if (index >= 0)
        delegate->metaObject()->method(index).invoke(delegate, Qt::DirectConnection, Q_RETURN_ARG(bool, fullScreen));
    return fullScreen;
}
}

QRect IXDocumentWindow::constrainFrameRect(const QRect& frame, QScreen* screen) const
{
    QScreen* primary = QGuiApplication::primaryScreen();
    if (!screen) screen = primary;
    if (!screen) return frame;
    if (screen == primary && applicationIsInFullScreenMode()) return primary->geometry();
    const QRect available = screen->availableGeometry();
    QRect constrained = frame;
    constrained.setHeight(std::min(constrained.height(), available.height()));
    if (constrained.top() < available.top()) constrained.moveTop(available.top());
    if (constrained.top() > available.bottom()) constrained.moveBottom(available.bottom());
    return constrained;
}
