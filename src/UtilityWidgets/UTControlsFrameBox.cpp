#include "UtilityWidgets/UTControlsFrameBox.h"

#include "Platform/Core/PLExceptionBoundary.h"

#include <QEvent>

UTControlsFrameBox::UTControlsFrameBox(QWidget* parent) : QGroupBox(parent) {}

UTControlsFrameBox::UTControlsFrameBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

void UTControlsFrameBox::setEnabled(bool enabled)
{
    m_enabled = enabled;
    setEnabledViews(enabled, findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

void UTControlsFrameBox::setEnabledViews(bool enabled, const QList<QWidget*>& views)
{
    for (QWidget* view : views) {
        view->QWidget::setEnabled(enabled);
        // Mouse events inside the box stop here while it is disabled.
        if (enabled)
            view->removeEventFilter(this);
        else
            view->installEventFilter(this);
        setEnabledViews(enabled, view->findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
    }
}

bool UTControlsFrameBox::eventFilter(QObject* object, QEvent* event)
try {
    if (!m_enabled) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu: return true;
        default: break;
        }
    }
    return QGroupBox::eventFilter(object, event);
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}
