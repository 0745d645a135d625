#include "UtilityWidgets/UTDateTimePickerWindow.h"

#include <QEvent>
#include <QWindow>

UTDateTimePickerWindow::UTDateTimePickerWindow()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    resize(200, 100);
}

void UTDateTimePickerWindow::showAbove(QWidget* parent)
{
    m_parentWindow = parent ? parent->window() : nullptr;
    winId();
    if (parent && parent->window()->windowHandle())
        windowHandle()->setTransientParent(parent->window()->windowHandle());
    show();
    raise();
}

void UTDateTimePickerWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_parentWindow && m_parentWindow->isVisible())
        m_parentWindow->activateWindow();
}
