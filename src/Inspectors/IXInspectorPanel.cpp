#include "Inspectors/IXInspectorPanel.h"

#include "Inspectors/IXInspectorPanelView.h"
#include "Platform/Core/PLExceptionBoundary.h"

#include <QEvent>
#include <QWindow>

IXInspectorPanel::IXInspectorPanel()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
}

void IXInspectorPanel::showPanel()
{
    if (m_inspectorVisible) show();
}

void IXInspectorPanel::hidePanel()
{
    hide();
}

void IXInspectorPanel::setTransientParentWindow(QWidget* window)
{
    winId();
    QWindow* parent = window ? window->window()->windowHandle() : nullptr;
    if (windowHandle()) windowHandle()->setTransientParent(parent);
}

QList<IXInspectorPanelView*> IXInspectorPanel::panes() const
{
    return findChildren<IXInspectorPanelView*>(Qt::FindDirectChildrenOnly);
}

void IXInspectorPanel::changeEvent(QEvent* event)
try {
    // The pane headers show whether the focus is inside them.
    if (event->type() == QEvent::ActivationChange)
        for (IXInspectorPanelView* pane : panes()) pane->update();
    QWidget::changeEvent(event);
} catch (...) {
    PLExceptionBoundary::caught();
}
