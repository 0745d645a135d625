// Opening the generated package of about 100,000 branches alone, once per process (a cold
// heap, as a user opening a file): "open_ms" is IXDocumentNode::fromZipData, "heap_mb" what
// the opened model keeps on the heap, "peak_rss_mb" the process's peak resident size, which
// the parse of "contents.xml" sets. The package is the one MapLayoutBench generates and keeps
// in the temporary folder; run that once first.
#include "Platform/Core/PLAllocatorTuning.h"
#include "BenchSupport.h"

#include "DocumentModel/IXDocumentNode.h"
#include "Platform/Core/PLError.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

double peakResidentMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void BM_LargePackageOpenCold(benchmark::State& state)
{
    BenchSupport::useSourceResources();
    QFile file(QDir::temp().filePath(QStringLiteral("MapLayoutBench-100k.ixd")));
    if (!file.open(QIODevice::ReadOnly)) {
        state.SkipWithError("no generated package: run MapLayoutBench once first");
        return;
    }
    const QByteArray package = file.readAll();
    for (auto _ : state) {
        const size_t before = PLAllocatorTuning::allocatedBytes();
        QElapsedTimer timer;
        timer.start();
        PLError error;
        std::shared_ptr<IXDocumentNode> document = IXDocumentNode::fromZipData(package, &error);
        state.counters["open_ms"] = double(timer.nsecsElapsed()) / 1e6;
        state.PauseTiming();
        if (!document) {
            state.SkipWithError("the package did not open");
            return;
        }
        // The tree of "contents.xml" is freed in the background; it is not the model's.
        QThread::msleep(500);
        state.counters["heap_mb"] = double(PLAllocatorTuning::allocatedBytes() - before) / (1024.0 * 1024.0);
        state.counters["peak_rss_mb"] = peakResidentMegabytes();
        document.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LargePackageOpenCold)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
