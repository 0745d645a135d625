#pragma once

#include <QStringList>

// The test mains fail the running test when an exception boundary catches something, so an
// assertion inside an event handler or a deferred action fails the test instead of passing as
// a log line. A test that means a boundary to catch says so with one of these: while it lives,
// catches are collected here instead, and the test fails if none was caught by its end.
class PLExpectBoundaryCatch {
public:
    PLExpectBoundaryCatch();
    ~PLExpectBoundaryCatch();
    PLExpectBoundaryCatch(const PLExpectBoundaryCatch&) = delete;
    PLExpectBoundaryCatch& operator=(const PLExpectBoundaryCatch&) = delete;

    // What was caught so far, as "<where>: <what>" lines.
    QStringList caught() const;

    // Called by the test mains once the application exists.
    static void install();

private:
    QStringList m_caught;
};
