#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLLog.h"
#include "TestSupport/PLExpectBoundaryCatch.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

struct Receiver : QObject {
    QStringList taken;
    void take(const QString& name)
    {
        taken << name;
        PL_ASSERT_PARAM(false, "receiver");
    }
};

void handler(QStringList& ran)
try {
    ran << QStringLiteral("handler");
    throw std::runtime_error("handled");
} catch (...) {
    PLExceptionBoundary::caught();
}

}  // namespace

// Slots connected through the boundary, whatever their form, and functors handed to Qt: each
// throws, nothing leaves the emit, and each catch names its place and what was thrown.
TEST(PLExceptionBoundary, ConnectedSlotsAndGuardedFunctorsCatchAndNameTheirPlace)
{
    QObject sender;
    Receiver receiver;
    // A functor taking fewer arguments than the signal, one taking them, a member function.
    PLExceptionBoundary::connect(&sender, &QObject::objectNameChanged, &receiver, [] { throw std::runtime_error("none"); });
    PLExceptionBoundary::connect(&sender, &QObject::objectNameChanged, &receiver, [&](const QString& name) {
        receiver.taken << name;
        throw 42;
    });
    PLExceptionBoundary::connect(&sender, &QObject::objectNameChanged, &receiver, &Receiver::take);
    QStringList logged;
    const PLLog::Sink previous = PLLog::setSink([&](const QString& line) { logged << line; });
    QStringList caught;
    {
        const PLExpectBoundaryCatch expect;
        EXPECT_NO_THROW(sender.setObjectName(QStringLiteral("named")));
        bool fired = false;
        QTimer::singleShot(0, &receiver, PLExceptionBoundary::guard([&] {
            fired = true;
            PL_ASSERT(fired == false);
        }));
        while (!fired) QCoreApplication::processEvents();
        QStringList ran;
        handler(ran);
        EXPECT_EQ(ran, QStringList{QStringLiteral("handler")});
        caught = expect.caught();
    }
    PLLog::setSink(previous);
    EXPECT_EQ(receiver.taken, (QStringList{QStringLiteral("named"), QStringLiteral("named")}));
    EXPECT_EQ(logged, caught);
    const struct {
        const char* place;
        const char* what;
    } table[] = {
        {"PLExceptionBoundaryTests.cpp:", ": none"},
        {"PLExceptionBoundaryTests.cpp:", ": unknown exception"},
        {"PLExceptionBoundaryTests.cpp:", ": Invalid parameter not satisfying: receiver"},
        {"PLExceptionBoundaryTests.cpp:", ": Invalid parameter not satisfying: fired == false"},
        {"handler (PLExceptionBoundaryTests.cpp:", ": handled"},
    };
    ASSERT_EQ(caught.size(), std::size(table)) << caught.join(u'\n').toStdString();
    for (size_t i = 0; i < std::size(table); ++i) {
        EXPECT_TRUE(caught[int(i)].contains(QLatin1String(table[i].place))) << caught[int(i)].toStdString();
        EXPECT_TRUE(caught[int(i)].endsWith(QLatin1String(table[i].what))) << caught[int(i)].toStdString();
    }
    // Each connection names its own line.
    EXPECT_NE(caught[0].section(QLatin1Char(':'), -2, -2), caught[1].section(QLatin1Char(':'), -2, -2));
}

// Outside an expectation a catch fails the running test; an expectation that saw nothing fails
// too.
TEST(PLExceptionBoundary, TheTestMainFailsOnUnexpectedCatchesAndUnmetExpectations)
{
    const PLLog::Sink previous = PLLog::setSink([](const QString&) {});
    EXPECT_NONFATAL_FAILURE(PLExceptionBoundary::run(QStringLiteral("Somewhere"), [] { PL_ASSERT(1 + 1 == 3); }),
                            "An exception boundary caught \"Invalid parameter not satisfying: 1 + 1 == 3\" in Somewhere");
    EXPECT_NONFATAL_FAILURE({ const PLExpectBoundaryCatch expect; }, "no exception boundary caught anything");
    PLLog::setSink(previous);
}
