// The main of the window library's tests: as every test main, but with the application's own
// application object, whose event dispatch and action routing the tests exercise.
#include "DocumentWindow/IXApplication.h"
#include "Platform/Text/PLFontSubstitutions.h"
#include "Platform/System/PLResources.h"
#include "TestSupport/PLExpectBoundaryCatch.h"

#include <gtest/gtest.h>

#include <clocale>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    IXApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    PLFontSubstitutions::install();
    PLResources::setDirectory(QStringLiteral(IX_SOURCE_DIR "/resources"));
    PLExpectBoundaryCatch::install();
    return RUN_ALL_TESTS();
}
