#include "Platform/Core/PLRunLoopModeScope.h"

PLRunLoopModeScope::PLRunLoopModeScope(PLRunLoopMode mode) : m_previous(PLRunLoop::currentMode())
{
    PLRunLoop::setCurrentMode(mode);
}

PLRunLoopModeScope::~PLRunLoopModeScope()
{
    PLRunLoop::setCurrentMode(m_previous);
}
