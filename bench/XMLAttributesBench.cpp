// Writing, serialising, parsing and reading back a document of 100,000 elements with typed
// attributes, the size of a large map's "contents.xml".
#include "Platform/XML/PLXMLDocument.h"
#include "Utilities/UTXMLAttributes.h"

#include <benchmark/benchmark.h>

namespace {
constexpr int ElementCount = 100000;

PLXMLDocument buildDocument()
{
    PLXMLDocument document("document");
    PLXMLElement root = document.rootElement();
    for (int i = 0; i < ElementCount; ++i) {
        PLXMLElement branch = root.addChildElement("branch");
        UTXMLAttributes::setStringValue(branch, QStringLiteral("Branch title %1").arg(i), "title");
        UTXMLAttributes::setIntValue(branch, i, "id");
        UTXMLAttributes::setBoolValue(branch, i % 2 == 0, "expanded");
        UTXMLAttributes::setPointValue(branch, {float(i) * 1.5f, -float(i)}, "offset");
        UTXMLAttributes::setColorValue(branch, PLColor::rgb(0.25f, 0.5f, float(i % 100) / 100), "color");
    }
    return document;
}

void BM_BuildDocument(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(buildDocument());
    state.SetItemsProcessed(state.iterations() * ElementCount);
}
BENCHMARK(BM_BuildDocument)->Unit(benchmark::kMillisecond);

void BM_Serialize(benchmark::State& state)
{
    const PLXMLDocument document = buildDocument();
    for (auto _ : state) benchmark::DoNotOptimize(document.xmlData());
    state.SetItemsProcessed(state.iterations() * ElementCount);
}
BENCHMARK(BM_Serialize)->Unit(benchmark::kMillisecond);

void BM_ParseAndReadAttributes(benchmark::State& state)
{
    const QByteArray bytes = buildDocument().xmlData();
    for (auto _ : state) {
        const PLXMLDocument document = PLXMLDocument::fromData(bytes);
        double sum = 0;
        for (PLXMLElement branch = document.rootElement().firstChildElement("branch"); branch;
             branch = branch.nextSiblingElement("branch")) {
            sum += UTXMLAttributes::intValueForAttribute(branch, "id", 0);
            sum += UTXMLAttributes::boolValueForAttribute(branch, "expanded", false);
            sum += UTXMLAttributes::pointValueForAttribute(branch, "offset", {}).x;
            sum += UTXMLAttributes::colorValueForAttribute(branch, "color", {}).alpha();
            sum += UTXMLAttributes::stringValueForAttribute(branch, "title").size();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * ElementCount);
}
BENCHMARK(BM_ParseAndReadAttributes)->Unit(benchmark::kMillisecond);
}

BENCHMARK_MAIN();
