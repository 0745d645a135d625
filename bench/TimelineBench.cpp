// The timeline layout of 10,000 and 100,000 dated branches (a third with end dates, so with
// bars) over ten years: the full reload and layout through the layout context (with fixed
// boxes, and with the map's own titled boxes), and the stacking of boxes and bars by itself,
// indexed and by the plain first-fit loop (quadratic, so only at small sizes).
#include "BenchSupport.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "MapLayout/IXDocumentOnlyController.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXTimelineCell.h"
#include "MapLayout/IXTimelinePlacement.h"
#include "Platform/System/PLScreen.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

class BoxCell : public IXBranchCell {
public:
    using IXBranchCell::IXBranchCell;
    void layout() override { setFrame(PLRect(0, 0, 100, 20)); }
    IXTextCell* titleCell() const override { return nullptr; }
};

class BenchFactory : public IXLayoutCellFactory {
public:
    // The map's own boxes (titles laid out) instead of fixed ones.
    bool realBoxes = false;
    std::shared_ptr<IXBranchGroupCell> makeBranchGroupCell(IXLayoutContext*, IXLayoutCell*, IXNode*) override { return nullptr; }
    std::shared_ptr<IXBranchCell> makeBranchCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* branch) override
    {
        if (realBoxes) return IXLayoutCellFactory::makeBranchCell(context, parent, branch);
        return std::make_shared<BoxCell>(context, parent, branch);
    }
    std::shared_ptr<IXTimelineCell> makeTimelineCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* document) override
    {
        return std::make_shared<IXTimelineCell>(context, parent, document);
    }
    std::shared_ptr<IXPictureCell> makePictureCell(IXLayoutContext*, IXLayoutCell*, IXNode*) override { return nullptr; }
    std::shared_ptr<IXTextCell> makeTextCell(IXLayoutContext*, IXLayoutCell*, IXNode*) override { return nullptr; }
    std::shared_ptr<IXConnectionCell> makeConnectionCell(IXLayoutContext*, IXLayoutCell*, IXNode*) override { return nullptr; }
    std::shared_ptr<IXLayoutCell> makeSelectionCell(IXLayoutContext*, IXLayoutCell*, IXNode*) override { return nullptr; }
};

std::shared_ptr<IXDocumentNode> buildTimeline(int count)
{
    auto document = std::make_shared<IXDocumentNode>();
    document->disableUndo();
    document->setTimeScaleType(1);
    auto root = std::make_shared<IXBranchNode>();
    document->addRootBranch(root);
    // In 100 undated groups: building one flat list under the root would be quadratic in
    // the document model (each insertion under a root revisits its children's sides).
    std::vector<std::shared_ptr<IXBranchNode>> groups;
    for (int g = 0; g < 100; ++g) {
        groups.push_back(std::make_shared<IXBranchNode>());
        root->insertBranch(groups.back(), -1);
    }
    std::mt19937 random(7);
    for (int i = 0; i < count; ++i) {
        auto branch = std::make_shared<IXBranchNode>();
        branch->setTitle(QStringLiteral("Event %1").arg(i));
        const int begin = int(random() % 3650);
        branch->setBeginDate(UTDateTime::fromDays(begin));
        if (i % 3 == 0) branch->setEndDate(UTDateTime::fromDays(begin + int(random() % 60)));
        groups[std::size_t(i % 100)]->insertBranch(branch, -1);
    }
    return document;
}

std::vector<PLRect> boxes(int count, float spread)
{
    std::mt19937 random(11);
    std::vector<float> xs;
    for (int i = 0; i < count; ++i) xs.push_back(float(random() % unsigned(spread)));
    std::sort(xs.begin(), xs.end());
    std::vector<PLRect> frames;
    for (float x : xs) frames.emplace_back(x, 0, 100, 20);
    return frames;
}

void reloadAndLayout(benchmark::State& state, bool realBoxes)
{
    PLScreen::setMainScreenSize(PLSize(1440, 900));
    BenchFactory factory;
    factory.realBoxes = realBoxes;
    IXLayoutCellFactory::install(&factory);
    IXDocumentOnlyController controller;
    controller.setDocumentNode(buildTimeline(int(state.range(0))));
    auto context = std::make_unique<IXLayoutContext>(&controller, controller.documentNode()->layoutForName(IXLayoutTimelineName).get());
    context->performLayout();
    for (auto _ : state) {
        context->reloads().postReloadBranches();
        context->performLayout();
        context->drawStack();
    }
    state.counters["branches"] = double(state.range(0));
    context->invalidate();
    IXLayoutCellFactory::install(nullptr);
}
void BM_TimelineReloadAndLayout(benchmark::State& state)
{
    reloadAndLayout(state, false);
}
BENCHMARK(BM_TimelineReloadAndLayout)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TimelineReloadAndLayoutTitledBoxes(benchmark::State& state)
{
    reloadAndLayout(state, true);
}
BENCHMARK(BM_TimelineReloadAndLayoutTitledBoxes)->Arg(10'000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TimelineStackBranches(benchmark::State& state)
{
    const std::vector<PLRect> frames = boxes(int(state.range(0)), 1000);
    for (auto _ : state) benchmark::DoNotOptimize(IXTimelinePlacement::stackBranches(frames));
}
BENCHMARK(BM_TimelineStackBranches)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_TimelineStackBranchesPlain(benchmark::State& state)
{
    const std::vector<PLRect> frames = boxes(int(state.range(0)), 1000);
    for (auto _ : state) benchmark::DoNotOptimize(IXTimelinePlacement::stackBranchesPlain(frames));
}
BENCHMARK(BM_TimelineStackBranchesPlain)->Arg(300)->Arg(1'000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_TimelineStackBars(benchmark::State& state)
{
    std::vector<PLRect> frames = boxes(int(state.range(0)), 1000);
    for (PLRect& frame : frames) frame.size = PLSize(150, IXTimelinePlacement::BarHeight);
    for (auto _ : state) benchmark::DoNotOptimize(IXTimelinePlacement::stackBars(frames));
}
BENCHMARK(BM_TimelineStackBars)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

}

int main(int argc, char** argv)
{
    BenchSupport::useSourceResources();
    return BenchSupport::runInGuiApplication(argc, argv);
}
