// The main of every test executable: a Qt application on the offscreen platform, fonts
// pinned and resources read from the source tree, then GoogleTest.
#include "Platform/PLFontSubstitutions.h"
#include "Platform/PLResources.h"

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
    const QByteArray sourceDir = qgetenv("IX_SOURCE_DIR");
    if (!sourceDir.isEmpty()) PLResources::setDirectory(QString::fromUtf8(sourceDir) + QStringLiteral("/resources"));
    return RUN_ALL_TESTS();
}
