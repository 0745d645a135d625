#pragma once

// Set-up shared by the benchmark executables.

#include "Platform/Core/PLLog.h"
#include "Platform/System/PLResources.h"
#include "Platform/Text/PLFontSubstitutions.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace BenchSupport {

// The source tree's resources folder.
inline QString resourceFolder()
{
    return QStringLiteral(IX_SOURCE_DIR "/resources");
}

// Reads resources from the source tree; the log is silenced, as skipped parts and elements
// would log on every run.
inline void useSourceResources()
{
    PLLog::setSink([](const QString&) {});
    PLResources::setDirectory(resourceFolder());
}

// Runs the benchmarks inside an offscreen application of the given kind (QGuiApplication,
// QApplication or the editor's own), with the font substitutions and the source tree's
// resources; setUp runs once the application exists, tearDown before it goes (windows and
// documents the benchmarks kept must close while it is there).
template <typename Application, typename SetUp, typename TearDown>
int runInApplication(int argc, char** argv, SetUp setUp, TearDown tearDown)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    Application application(argc, argv);
    PLFontSubstitutions::install();
    useSourceResources();
    setUp();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    tearDown();
    return 0;
}

template <typename Application> int runInApplication(int argc, char** argv)
{
    return runInApplication<Application>(
        argc, argv, [] {}, [] {});
}

// Runs the benchmarks inside an offscreen GUI application, for what needs one: pictures,
// fonts, and the run loop that deferred notices are posted to.
inline int runInGuiApplication(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace BenchSupport
