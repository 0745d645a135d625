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
    // With nothing inside focused (a window just made, or its focus widget gone) the window
    // stands for its document view, so that the view's and its scroll view's commands stay
    // reachable whatever had the focus last.
    if (!focus || focus == this || !focus->isVisible())
        if (QWidget* view = documentView()) return view;
    return focus ? static_cast<QObject*>(focus) : this;
}

QWidget* IXDocumentWindow::documentView() const
{
    auto* owner = dynamic_cast<IXDocumentViewOwning*>(windowController());
    QWidget* view = owner ? owner->documentView() : nullptr;
    return view && isAncestorOf(view) ? view : nullptr;
}

bool IXDocumentWindow::makeFirstResponder(QObject* responder)
{
    if (responder == this)
        if (QWidget* view = documentView()) responder = view;
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
    // Keys go to the map unless something inside already has the focus.
    QWidget* focus = focusWidget();
    if (!focus || focus == this || !focus->isVisible()) makeFirstResponder(this);
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
