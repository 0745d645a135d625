#include "DocumentViews/IXToolEvent.h"

#include <QKeyEvent>

IXToolEvent::IXToolEvent(const QKeyEvent& keyEvent)
    : m_keyEvent(static_cast<QKeyEvent*>(keyEvent.clone()))
{
}
