#pragma once

// Start-up milestones for the start-up benchmark (bench/startup.sh): with IX_STARTUP_TRACE set
// in the environment, mark() prints "<name> <ms since the epoch>" on standard output the first
// time each name is marked; without it, mark() does nothing. Main thread only.
class UTStartupTrace {
public:
    static bool isEnabled();
    // The name must be a literal (it is remembered by address).
    static void mark(const char* name);
};
