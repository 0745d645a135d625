// The main of every test executable: a Qt application on the offscreen platform, fonts
// pinned, resources read from the source tree and exception boundaries failing the running
// test, then GoogleTest. The source tree is
// compiled in (IX_SOURCE_DIR), so the executables run alike inside and outside CTest;
// fixtures are found under IX_SOURCE_DIR "/tests/<Layer>/".
#include "Platform/Text/PLFontSubstitutions.h"
#include "Platform/System/PLResources.h"
#include "TestSupport/PLExpectBoundaryCatch.h"

#include <gtest/gtest.h>

#ifdef IX_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

#include <QLocale>

#include <clocale>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    TestApplication app(argc, argv);
    // Qt sets the C locale from the environment; file formats must not depend on it.
    std::setlocale(LC_NUMERIC, "C");
    PLFontSubstitutions::install();
    PLResources::setDirectory(QStringLiteral(IX_SOURCE_DIR "/resources"));
    PLExpectBoundaryCatch::install();
    return RUN_ALL_TESTS();
}
