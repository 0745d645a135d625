#pragma once

#include <QString>

#include <functional>

// Diagnostics are plain lines without levels. They go to standard error unless a sink is
// installed (tests install one to read what was logged).
class PLLog {
public:
    using Sink = std::function<void(const QString& line)>;

    static void write(const QString& line);
    // Writes the line only the first time it is given (for what would otherwise repeat on
    // every click or key: a tool or command without a receiver).
    static void writeOnce(const QString& line);
    // Installs a sink and returns the previous one; an empty sink restores standard error.
    static Sink setSink(Sink sink);
};
