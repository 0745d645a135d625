// The clipboard between this program and others on a real X display: copied branches reach
// another program as their indented text, and indented text another program offers pastes in
// as branches. The other program is xclip. Offscreen (as CI runs) the test is skipped; run
// scripts/x11-clipboard-check.sh to run it under a virtual X server.
#include "IXClipboardTestSupport.h"

#include "DocumentViews/IXCommandNames.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>

namespace {

class X11ClipboardTest : public ClipboardWindowTest {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X display (QT_QPA_PLATFORM=xcb)";
        if (QStandardPaths::findExecutable(QStringLiteral("xclip")).isEmpty()) GTEST_SKIP() << "needs xclip";
        ClipboardWindowTest::SetUp();
    }

    // Runs xclip while this program's event loop keeps answering the X server (the owner of
    // a selection serves it from its event loop).
    static QByteArray xclip(const QStringList& arguments, const QByteArray& input = {})
    {
        QProcess process;
        process.start(QStringLiteral("xclip"), arguments);
        if (!input.isNull()) {
            process.write(input);
            process.closeWriteChannel();
        }
        QElapsedTimer timer;
        timer.start();
        while (process.state() != QProcess::NotRunning && timer.elapsed() < 10000) spin(20);
        return process.readAllStandardOutput();
    }
};

TEST_F(X11ClipboardTest, CopiedBranchesReachOtherProgramsAsIndentedTextAndTheirTextPastesAsBranches)
{
    select(QStringLiteral("Main"));
    ASSERT_TRUE(IXApplication::instance()->sendAction(IXCommands::Copy.toByteArray(), nullptr, nullptr));
    spin();
    EXPECT_EQ(xclip({QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard")}),
              QByteArray("Main\n\tSub\n\t\tOne\n\t\tTwo\n\t\tThree\n"));

    // xclip keeps serving its text in the background after it returns.
    xclip({QStringLiteral("-i"), QStringLiteral("-selection"), QStringLiteral("clipboard")},
          QByteArray("Pasted\n\tFrom\n\t\tElsewhere\n"));
    QElapsedTimer timer;
    timer.start();
    while (QGuiApplication::clipboard()->text() != QLatin1String("Pasted\n\tFrom\n\t\tElsewhere\n")
           && timer.elapsed() < 5000)
        spin(20);
    select(QStringLiteral("Second"));
    ASSERT_TRUE(IXApplication::instance()->sendAction(IXCommands::Paste.toByteArray(), nullptr, nullptr));
    spin();
    EXPECT_EQ(outline(*branch(QStringLiteral("Second"))), QStringLiteral("Second+pic+Remark(Pasted(From(Elsewhere)))"));
}

}  // namespace
