#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "TestSupport/PLExpectBoundaryCatch.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// A widget whose paint event fails an assertion, inside the boundary every handler of ours
// has.
class AssertingWidget : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override
    try {
        ++paints;
        PL_ASSERT_PARAM(paints < 0, "painted");
    } catch (...) {
        PLExceptionBoundary::caught();
    }
};

// Shows the widget and lets the event loop deliver its paint event.
void paintThroughTheEventLoop(AssertingWidget& widget)
{
    widget.resize(40, 40);
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    widget.update();
    const QDeadlineTimer deadline(30000);
    while (widget.paints == 0 && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

const char* const FailingTest = "EventHandlerBoundary.DISABLED_AnAssertionInAPaintEventFailsTheTest";

}  // namespace

// Run by the next test in a child process, where it must fail: nothing in it expects the catch.
TEST(EventHandlerBoundary, DISABLED_AnAssertionInAPaintEventFailsTheTest)
{
    AssertingWidget widget;
    paintThroughTheEventLoop(widget);
    EXPECT_GT(widget.paints, 0);
}

TEST(EventHandlerBoundary, AnAssertionInAPaintEventFailsTheTestMainUnlessExpected)
{
    {
        const PLExpectBoundaryCatch expect;
        AssertingWidget widget;
        paintThroughTheEventLoop(widget);
        ASSERT_GT(widget.paints, 0);
        const QStringList caught = expect.caught();
        ASSERT_FALSE(caught.isEmpty());
        EXPECT_TRUE(caught[0].contains(QStringLiteral("paintEvent (EventHandlerBoundaryTests.cpp:"))) << caught[0].toStdString();
        EXPECT_TRUE(caught[0].endsWith(QStringLiteral(": Invalid parameter not satisfying: painted")))
            << caught[0].toStdString();
    }

    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_also_run_disabled_tests"), QStringLiteral("--gtest_filter=%1").arg(QLatin1String(FailingTest))});
    ASSERT_TRUE(child.waitForFinished(120000));
    const QString output = QString::fromUtf8(child.readAll());
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << output.toStdString();
    EXPECT_EQ(child.exitCode(), 1) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("An exception boundary caught \"Invalid parameter not satisfying: painted\" "
                                               "in paintEvent (EventHandlerBoundaryTests.cpp:")))
        << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  FAILED  ] %1").arg(QLatin1String(FailingTest)))) << output.toStdString();
}
