#pragma once

#include <functional>

// The one way the application sounds the alert beep (a refused action, a command without the
// node it needs). Tests replace the sound with a counter.
class UTBeep {
public:
    using Sound = std::function<void()>;

    static void beep();
    // Replaces the sound (an empty one restores the system's) and returns the previous one.
    static Sound setSound(Sound sound);
};
