#pragma once

#include "Platform/Drawing/PLSize.h"

#include <optional>

// The main screen as layout code sees it. Tests and headless tools pin its size so that
// results that depend on it (the canvas of a map) are the same on every machine.
class PLScreen {
public:
    // The pinned size, else the primary screen's size in device-independent points, else
    // (no screen at all) 1024 x 768.
    static PLSize mainScreenSize();
    // Pins the size; nullopt returns to the real screen.
    static void setMainScreenSize(std::optional<PLSize> size);
};
