// A map of 100,000 text cells observing the ignore-word notice: registering them all, one
// notice reaching them all, and every cell unregistering as the map closes.
#include "BenchSupport.h"

#include "Platform/Core/PLNotificationCenter.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

const QString Name = QStringLiteral("IXSpellCheckingIgnoreWord");

void ObserveNotifyRemove(benchmark::State& state)
{
    const int cells = int(state.range(0));
    std::vector<char> observers(size_t(cells), 0);
    for (auto _ : state) {
        PLNotificationCenter center;
        int delivered = 0;
        for (char& observer : observers) center.addObserver(&observer, Name, nullptr, [&delivered](const PLNotification&) { ++delivered; });
        center.addObserver(&delivered, QStringLiteral("Other"), nullptr, [](const PLNotification&) {});
        center.post(Name, nullptr, {{QStringLiteral("string"), QStringLiteral("word")}});
        for (char& observer : observers) center.removeObserver(&observer);
        benchmark::DoNotOptimize(delivered);
    }
    state.SetItemsProcessed(state.iterations() * cells);
}
BENCHMARK(ObserveNotifyRemove)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}

BENCHMARK_MAIN();
