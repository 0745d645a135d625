#include "UtilityWidgets/UTDateTimePickerWindow.h"

#include <QWindow>

UTDateTimePickerWindow::UTDateTimePickerWindow()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    resize(200, 100);
}

void UTDateTimePickerWindow::showAbove(QWidget* parent)
{
    winId();
    if (parent && parent->window()->windowHandle())
        windowHandle()->setTransientParent(parent->window()->windowHandle());
    show();
    raise();
}
