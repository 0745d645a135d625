// Laying out the title cells of a 100,000-branch map: cold (nothing measured yet), again after
// one title changed (only that title is measured), and with every cell made anew after the
// edit, as a rebuild of the branch layer does (the measurements are found again by text). The
// "layouts" counter is the number of texts laid out per pass. Then the titles' texts alone
// measured by a batch with 0 (the calling thread only), 1, 3 and 7 workers besides the caller.
#include "BenchSupport.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "MapLayout/IXDocumentOnlyController.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutGroupCell.h"
#include "MapLayout/IXTextCell.h"
#include "MapLayout/IXTextMeasurements.h"
#include "MapLayout/IXTextMeasurementsProbe.h"
#include "MapLayout/IXTextMeasuringBatch.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

// 100 roots of 1,000 branches with titles of two to six words.
struct TitledMap {
    static constexpr int Roots = 100;
    static constexpr int PerRoot = 1000;
    IXDocumentOnlyController controller;
    std::unique_ptr<IXLayoutContext> context;
    std::shared_ptr<IXLayoutGroupCell> layer;
    std::vector<std::shared_ptr<IXBranchNode>> branches;
    std::vector<std::shared_ptr<IXTextCell>> cells;

    TitledMap()
    {
        static const char* const words[] = {"Quarterly", "plan", "review", "budget", "marketing", "team", "launch",
                                            "ideas", "customer", "feedback", "roadmap", "design", "research", "goals"};
        controller.setDocumentNode(std::make_shared<IXDocumentNode>());
        controller.documentNode()->disableUndo();
        for (int r = 0; r < Roots; ++r) {
            auto root = std::make_shared<IXBranchNode>();
            controller.documentNode()->addRootBranch(root);
            for (int b = 0; b < PerRoot; ++b) {
                const int i = r * PerRoot + b;
                QStringList title;
                for (int w = 0; w < 2 + i % 5; ++w) title << QString::fromLatin1(words[(i * 5 + w * 3) % 14]);
                auto branch = std::make_shared<IXBranchNode>();
                branch->setTitle(title.join(QLatin1Char(' ')) + QStringLiteral(" %1").arg(i));
                root->insertBranch(branch, -1);
                branches.push_back(branch);
            }
        }
        context = std::make_unique<IXLayoutContext>(&controller, controller.documentNode()->layoutForName(IXLayoutMindMapName).get());
        layer = std::make_shared<IXLayoutGroupCell>(context.get(), nullptr, nullptr);
        makeCells();
    }
    ~TitledMap()
    {
        layer->invalidate();
        context->invalidate();
    }
    void makeCells()
    {
        layer->removeAllCells();
        cells.clear();
        for (const auto& branch : branches) {
            auto cell = std::make_shared<IXTextCell>(context.get(), layer.get(), branch.get());
            layer->addCell(cell);
            cells.push_back(cell);
        }
    }
    // Invalidates every cell and lays the layer out once, as the context's deferred layout does.
    double layOut()
    {
        for (const auto& cell : cells) cell->invalidateLayout();
        layer->performLayoutIfNeeded();
        double extent = 0;
        for (const auto& cell : cells) extent += cell->frame().width();
        return extent;
    }
};

TitledMap& titledMap()
{
    static TitledMap* map = new TitledMap;
    return *map;
}

void reportLayouts(benchmark::State& state, std::uint64_t before)
{
    state.counters["layouts"] =
        benchmark::Counter(double(IXTextMeasurementsProbe::layoutCount() - before) / double(state.iterations()));
    state.SetItemsProcessed(state.iterations() * std::int64_t(titledMap().cells.size()));
}

void TitlesCold(benchmark::State& state)
{
    TitledMap& map = titledMap();
    const std::uint64_t before = IXTextMeasurementsProbe::layoutCount();
    for (auto _ : state) {
        IXTextMeasurements::shared().clear();
        benchmark::DoNotOptimize(map.layOut());
    }
    reportLayouts(state, before);
}
BENCHMARK(TitlesCold)->Unit(benchmark::kMillisecond)->Iterations(3);

void TitlesAfterOneEdit(benchmark::State& state)
{
    TitledMap& map = titledMap();
    map.layOut();
    int edit = 0;
    const std::uint64_t before = IXTextMeasurementsProbe::layoutCount();
    for (auto _ : state) {
        map.branches[std::size_t(edit * 7919) % map.branches.size()]->setTitle(QStringLiteral("Edited %1").arg(edit));
        ++edit;
        benchmark::DoNotOptimize(map.layOut());
    }
    reportLayouts(state, before);
}
BENCHMARK(TitlesAfterOneEdit)->Unit(benchmark::kMillisecond)->Iterations(5);

void TitlesRebuiltAfterOneEdit(benchmark::State& state)
{
    TitledMap& map = titledMap();
    map.layOut();
    int edit = 0;
    const std::uint64_t before = IXTextMeasurementsProbe::layoutCount();
    for (auto _ : state) {
        map.branches[std::size_t(edit * 104729) % map.branches.size()]->setTitle(QStringLiteral("Rebuilt %1").arg(edit));
        ++edit;
        map.makeCells();
        benchmark::DoNotOptimize(map.layOut());
    }
    reportLayouts(state, before);
}
BENCHMARK(TitlesRebuiltAfterOneEdit)->Unit(benchmark::kMillisecond)->Iterations(3);

void TitlesMeasuredOnWorkers(benchmark::State& state)
{
    TitledMap& map = titledMap();
    std::vector<PLAttributedString> texts;
    texts.reserve(map.branches.size());
    for (const auto& branch : map.branches)
        texts.push_back(IXTextCell::textForNode(map.context.get(), branch.get(), map.context->styleForNode(branch.get()).get()));
    const PLSize container(IXTextCell::MeasuringWidth, IXTextCell::MeasuringHeight);
    for (auto _ : state) {
        IXTextMeasuringBatch batch(container, int(state.range(0)));
        for (const PLAttributedString& text : texts) batch.add(text);
        benchmark::DoNotOptimize(batch.finish());
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(texts.size()));
}
BENCHMARK(TitlesMeasuredOnWorkers)->Arg(0)->Arg(1)->Arg(3)->Arg(7)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    BenchSupport::useSourceResources();
    return BenchSupport::runInGuiApplication(argc, argv);
}
