#pragma once

#include <QString>

#include <functional>

// Where work runs inside Qt's event loop (deferred actions, undo and redo steps), no exception
// may unwind: run() catches every one the work throws, logs it ("<where>: <what>") and
// reports the work as abandoned, so that the program and the document stay alive.
class PLExceptionBoundary {
public:
    // True when the work ran to its end; false when it threw (logged, abandoned).
    static bool run(const QString& where, const std::function<void()>& work);
};
