#pragma once

#include "Platform/Core/PLRunLoop.h"

// Puts the main loop in a mode for the lifetime of the scope (mouse tracking, a modal
// panel) and restores the previous mode afterwards; scopes nest.
class PLRunLoopModeScope {
public:
    explicit PLRunLoopModeScope(PLRunLoopMode mode);
    ~PLRunLoopModeScope();
    PLRunLoopModeScope(const PLRunLoopModeScope&) = delete;
    PLRunLoopModeScope& operator=(const PLRunLoopModeScope&) = delete;

private:
    PLRunLoopMode m_previous;
};
