#include "DocumentWindow/IXWindowExtensions.h"

#include "DocumentWindow/IXApplication.h"
#include "DocumentWindow/IXDocumentWindow.h"
#include "DocumentWindow/IXKeyChildCapable.h"

#include <QMetaMethod>
#include <QPointer>
#include <QVariant>
#include <QWidget>

namespace {
constexpr char DelegateProperty[] = "IXWindowDelegate";

// "zoomIn:" → "zoomIn(QObject*)"
QByteArray signatureOfAction(const QByteArray& action)
{
    QByteArray name = action;
    if (name.endsWith(':')) name.chop(1);
    return name + "(QObject*)";
}
}

QObject* IXWindowExtensions::delegate(const QWidget* window)
{
    return window ? window->property(DelegateProperty).value<QPointer<QObject>>().data() : nullptr;
}

void IXWindowExtensions::setDelegate(QWidget* window, QObject* delegate)
{
    window->setProperty(DelegateProperty, QVariant::fromValue(QPointer<QObject>(delegate)));
}

bool IXWindowExtensions::isSheet(const QWidget* window)
{
    return window && window->isWindow() && window->parentWidget() &&
           (window->windowType() == Qt::Sheet || window->windowModality() == Qt::WindowModal);
}

QWidget* IXWindowExtensions::attachedSheet(const QWidget* window)
{
    if (!window) return nullptr;
    for (QObject* child : window->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && widget->isVisible() && isSheet(widget)) return widget;
    }
    return nullptr;
}

QWidget* IXWindowExtensions::parentWindow(const QWidget* window)
{
    // A sheet is attached to its window, not a child of it.
    return window && window->isWindow() && window->parentWidget() && !isSheet(window) ? window->parentWidget()->window()
                                                                                      : nullptr;
}

bool IXWindowExtensions::canBecomeMainWindow(const QWidget* window)
{
    return window && window->isWindow() && window->windowType() == Qt::Window && !isSheet(window);
}

QObject* IXWindowExtensions::firstResponder(QWidget* window)
{
    if (!window) return nullptr;
    if (auto* documentWindow = qobject_cast<IXDocumentWindow*>(window)) return documentWindow->firstResponder();
    QWidget* focus = window->focusWidget();
    return focus ? static_cast<QObject*>(focus) : window;
}

QObject* IXWindowExtensions::nextResponder(QObject* responder)
{
    auto* widget = qobject_cast<QWidget*>(responder);
    return widget && !widget->isWindow() ? widget->parentWidget() : nullptr;
}

bool IXWindowExtensions::canBecomeKeyChildWindow(const QWidget* window)
{
    const auto* capable = dynamic_cast<const IXKeyChildCapable*>(window);
    return capable && capable->canBecomeKeyChildWindow();
}

void IXWindowExtensions::makeKeyChildWindow(QWidget* window)
{
    if (IXApplication* application = IXApplication::instance()) application->setKeyChildWindow(window);
}

void IXWindowExtensions::becomeKeyChildWindow(QWidget* window)
{
    invokeIfPresent(delegate(window), "windowDidBecomeKeyChild(QObject*)");
}

void IXWindowExtensions::resignKeyChildWindow(QWidget* window)
{
    invokeIfPresent(delegate(window), "windowDidResignKeyChild(QObject*)");
}

bool IXWindowExtensions::isKeyChildWindow(const QWidget* window)
{
    IXApplication* application = IXApplication::instance();
    return window && application && application->keyChildWindow() == window;
}

bool IXWindowExtensions::respondsToAction(const QObject* object, const QByteArray& action)
{
    return object && !action.isEmpty() && object->metaObject()->indexOfMethod(signatureOfAction(action)) >= 0;
}

void IXWindowExtensions::performAction(QObject* object, const QByteArray& action, QObject* sender)
{
    invokeIfPresent(object, signatureOfAction(action).constData(), sender);
}

bool IXWindowExtensions::invokeIfPresent(QObject* object, const char* signature, QObject* argument)
{
    if (!object) return false;
    const QMetaObject* meta = object->metaObject();
    const int index = meta->indexOfMethod(QMetaObject::normalizedSignature(signature).constData());
    if (index < 0) return false;
    const QMetaMethod method = meta->method(index);
    if (method.parameterCount() == 0) return method.invoke(object, Qt::DirectConnection);
    return method.invoke(object, Qt::DirectConnection, Q_ARG(QObject*, argument));
}
