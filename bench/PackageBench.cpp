// Opening and saving packages. Opening a package of 1,000 and of 20,000 branch elements
// shows the cost of inflating, parsing and validating "contents.xml" (the node readers are
// not registered here, so the branches themselves are not built). Saving a package with
// 200 parts of 64 KiB that the program does not know shows that they are copied as stored,
// never inflated or deflated again: the time follows the archive's size, not its content.
// Refusing a small package whose junk contents inflate far costs only the start of them.
#include "BenchSupport.h"

#include "DocumentModel/IXDocumentNode.h"
#include "Utilities/UTZipArchive.h"

#include <benchmark/benchmark.h>

namespace {

QByteArray contentsWithBranches(int count)
{
    QByteArray xml = R"(<?xml version="1.0" encoding="UTF-8"?>)"
                     R"(<document xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance")"
                     R"( xsi:noNamespaceSchemaLocation="contents.xsd" version="1" revision="1">)"
                     R"(<timescale type="standard"/>)";
    for (int i = 0; i < count; ++i) {
        xml += R"(<branch uid="B)" + QByteArray::number(i) + R"(" level="0" export="1" start="Y2020/1/2">)"
               "<title>Branch number " + QByteArray::number(i) + "</title><icon name=\"flag\"/></branch>";
    }
    return xml + "</document>";
}

QByteArray packageOf(const QByteArray& contents, int unknownParts)
{
    UTZipArchive archive;
    archive.setDataForFileName(contents, QStringLiteral("contents.xml"));
    // Noise, as picture data is: it does not shrink when deflated.
    QByteArray part(64 * 1024, Qt::Uninitialized);
    quint32 seed = 12345;
    for (char& byte : part) {
        seed = seed * 1664525u + 1013904223u;
        byte = char(seed >> 24);
    }
    for (int i = 0; i < unknownParts; ++i) archive.setDataForFileName(part, QStringLiteral("picture-%1.png").arg(i));
    return archive.getZipData();
}

void BM_OpenPackage(benchmark::State& state)
{
    BenchSupport::useSourceResources();
    const QByteArray package = packageOf(contentsWithBranches(int(state.range(0))), 0);
    for (auto _ : state) {
        PLError error;
        benchmark::DoNotOptimize(IXDocumentNode::fromZipData(package, &error));
    }
    state.SetBytesProcessed(state.iterations() * package.size());
}
BENCHMARK(BM_OpenPackage)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_SavePackageWithUnknownParts(benchmark::State& state)
{
    BenchSupport::useSourceResources();
    PLError error;
    const auto document = IXDocumentNode::fromZipData(packageOf(contentsWithBranches(10), 200), &error);
    for (auto _ : state) benchmark::DoNotOptimize(document->zipData());
}
BENCHMARK(BM_SavePackageWithUnknownParts)->Unit(benchmark::kMillisecond);

// A package of a few hundred KiB whose "contents.xml" is junk from its first byte but inflates
// to 250 MiB: refused once the parser fails, without inflating the rest.
void BM_RefuseJunkThatInflatesFar(benchmark::State& state)
{
    BenchSupport::useSourceResources();
    const QByteArray package = packageOf("{" + QByteArray(250 << 20, ' '), 0);
    for (auto _ : state) {
        PLError error;
        benchmark::DoNotOptimize(IXDocumentNode::fromZipData(package, &error));
    }
}
BENCHMARK(BM_RefuseJunkThatInflatesFar)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
