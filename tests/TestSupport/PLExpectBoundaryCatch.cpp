#include "TestSupport/PLExpectBoundaryCatch.h"

#include "Platform/Core/PLExceptionBoundary.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

namespace {

// Boundaries may catch on any thread.
std::mutex mutex;
std::vector<QStringList*> expectations;  // innermost last

void boundaryCaught(const QString& where, const QString& what)
{
    {
        const std::lock_guard lock(mutex);
        if (!expectations.empty()) {
            expectations.back()->append(where + QStringLiteral(": ") + what);
            return;
        }
    }
    ADD_FAILURE() << "An exception boundary caught \"" << what.toStdString() << "\" in " << where.toStdString()
                  << " (a test that expects it declares a PLExpectBoundaryCatch)";
}

}  // namespace

PLExpectBoundaryCatch::PLExpectBoundaryCatch()
{
    const std::lock_guard lock(mutex);
    expectations.push_back(&m_caught);
}

PLExpectBoundaryCatch::~PLExpectBoundaryCatch()
{
    {
        const std::lock_guard lock(mutex);
        std::erase(expectations, &m_caught);
    }
    EXPECT_FALSE(m_caught.isEmpty()) << "no exception boundary caught anything";
}

QStringList PLExpectBoundaryCatch::caught() const
{
    const std::lock_guard lock(mutex);
    return m_caught;
}

void PLExpectBoundaryCatch::install()
{
    PLExceptionBoundary::setListener(boundaryCaught);
}
