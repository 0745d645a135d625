// Measuring and spell-checking branch titles the way map texts are: one layout per title in
// a 1,200-wide container, then its used size; and the misspelled words of each title.
#include "BenchSupport.h"

#include "Platform/Text/PLFontSubstitutions.h"
#include "Platform/Text/PLSpellChecker.h"
#include "Platform/Text/PLTextLayout.h"

#include <QStringList>

#include <cmath>

#include <benchmark/benchmark.h>

namespace {

QStringList makeTitles(int count)
{
    static const char* const words[] = {"Quarterly", "plan", "review", "budgt", "marketing", "team", "launch", "ideas",
                                        "customer", "feedbak", "roadmap", "design", "research", "goals"};
    QStringList titles;
    for (int i = 0; i < count; ++i) {
        QStringList title;
        for (int w = 0; w < 2 + i % 5; ++w) title << QString::fromLatin1(words[(i * 5 + w * 3) % 14]);
        titles << title.join(QLatin1Char(' ')) + QStringLiteral(" %1").arg(i);
    }
    return titles;
}

// The natural size of each title in the measuring container; with fit set, also the lines
// in the branch's box, as a title cell measures.
void MeasureTitles(benchmark::State& state)
{
    PLFontSubstitutions::install();
    const QStringList titles = makeTitles(int(state.range(0)));
    const bool fit = state.range(1) != 0;
    PLTextAttributes attributes;
    attributes.font = PLFont(QStringLiteral("Helvetica"), 12);
    PLTextLayout layout;
    for (auto _ : state) {
        double extent = 0;
        for (const QString& title : titles) {
            layout.setText(PLAttributedString(title, attributes));
            layout.setContainerSize(PLSize(PLTextLayout::MeasuringWidth, PLTextLayout::MeasuringHeight));
            const float width = std::ceil(layout.usedRect().width());
            extent += width;
            if (fit) {
                layout.setContainerSize(PLSize(std::min(width, 200.0f), 1000));
                extent += layout.fullRect().height();
            }
        }
        benchmark::DoNotOptimize(extent);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(MeasureTitles)->ArgNames({"titles", "fit"})->Args({1000, 0})->Args({1000, 1})->Unit(benchmark::kMillisecond);

void SpellCheckTitles(benchmark::State& state)
{
    const QStringList titles = makeTitles(int(state.range(0)));
    const PLSpellChecker& checker = PLSpellChecker::sharedChecker();
    for (auto _ : state) {
        int found = 0;
        for (const QString& title : titles) {
            for (PLRange range = checker.checkSpelling(title, 0); !range.isEmpty(); range = checker.checkSpelling(title, range.end()))
                ++found;
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(SpellCheckTitles)->Arg(1000)->Unit(benchmark::kMillisecond);

}

int main(int argc, char** argv)
{
    BenchSupport::useSourceResources();
    return BenchSupport::runInGuiApplication(argc, argv);
}
