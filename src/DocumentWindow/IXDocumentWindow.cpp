#include "DocumentWindow/IXDocumentWindow.h"

#include "DocumentWindow/IXApplication.h"
#include "DocumentWindow/IXDocumentViewOwning.h"
#include "DocumentWindow/IXWindowExtensions.h"

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
