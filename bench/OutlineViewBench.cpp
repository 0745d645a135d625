// The outline of a map of 100,000 branches (a root with 316 main branches of 316 sub-branches
// each), offscreen at 1920 x 1080: showing it (attaching and painting the first frame), an edit
// made in the model reaching the rows (a retitle, an added and a removed branch, a style change
// of one branch), scrolling by 40 pixels and painting, and showing all levels and collapsing
// to level 1 through the layout context. Edits should reach the outline within 2 ms, a frame
// within 16 ms, the rest within 0.5 s.
#include "BenchSupport.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXFakeServices.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleValue.h"
#include "DocumentViews/IXOutlineMapView.h"
#include "DocumentViews/IXOutlineModel.h"
#include "MapLayout/IXLayoutContext.h"
#include "Platform/Text/PLFontSubstitutions.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int MainBranches = 316;
constexpr int SubBranches = 316;

std::shared_ptr<IXDocumentNode> buildMap()
{
    auto document = std::make_shared<IXDocumentNode>();
    document->disableUndo();
    auto root = std::make_shared<IXBranchNode>();
    root->setTitle(QStringLiteral("Root"));
    document->insertRootBranch(root, -1);
    for (int i = 0; i < MainBranches; ++i) {
        auto main = std::make_shared<IXBranchNode>();
        main->setTitle(QStringLiteral("Main %1").arg(i));
        root->insertBranch(main, -1);
        for (int j = 0; j < SubBranches; ++j) {
            auto sub = std::make_shared<IXBranchNode>();
            sub->setTitle(QStringLiteral("Idea %1.%2").arg(i).arg(j));
            main->insertBranch(sub, -1);
        }
    }
    return document;
}

struct LargeOutline {
    FakeWindowController controller;
    IXOutlineMapView* view = nullptr;
    QImage frame {1920, 1080, QImage::Format_ARGB32_Premultiplied};

    explicit LargeOutline(std::shared_ptr<IXDocumentNode> document)
    {
        controller.node = std::move(document);
        view = new IXOutlineMapView;
        view->resize(1920, 1080);
    }
    ~LargeOutline()
    {
        view->detachFromController();
        delete view;
    }
    void attach() { view->attachToController(&controller); }
    void paintFrame()
    {
        QPainter painter(&frame);
        view->render(&painter);
    }
    std::shared_ptr<IXBranchNode> main(int index) const
    {
        return std::static_pointer_cast<IXBranchNode>(controller.node->rootBranches().first())->branches().at(index);
    }
};

std::shared_ptr<IXDocumentNode>& sharedMap()
{
    static std::shared_ptr<IXDocumentNode> map = buildMap();
    return map;
}

LargeOutline& attachedOutline()
{
    static LargeOutline* outline = [] {
        auto* made = new LargeOutline(sharedMap());
        made->attach();
        made->view->show();
        QCoreApplication::processEvents();
        return made;
    }();
    return *outline;
}

void BM_OutlineFirstFrame(benchmark::State& state)
{
    const std::shared_ptr<IXDocumentNode>& map = sharedMap();
    for (auto _ : state) {
        auto outline = std::make_unique<LargeOutline>(map);
        outline->attach();
        outline->paintFrame();
        // The outline goes outside the measure.
        state.PauseTiming();
        outline.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = MainBranches * (SubBranches + 1) + 1;
}

void BM_OutlineRetitle(benchmark::State& state)
{
    LargeOutline& outline = attachedOutline();
    const auto branch = outline.main(158)->branches().at(158);
    int n = 0;
    for (auto _ : state) branch->setTitle(QStringLiteral("Renamed %1").arg(++n));
}

void BM_OutlineAddAndRemove(benchmark::State& state)
{
    LargeOutline& outline = attachedOutline();
    const auto parent = outline.main(200);
    for (auto _ : state) {
        auto branch = std::make_shared<IXBranchNode>();
        parent->insertBranch(branch, 10);
        parent->removeBranch(branch);
    }
}

void BM_OutlineStyleChangeOfOneBranch(benchmark::State& state)
{
    LargeOutline& outline = attachedOutline();
    const auto branch = outline.main(100)->branches().at(3);
    bool bold = false;
    for (auto _ : state) {
        bold = !bold;
        branch->style()->setValue(IXStyleValue::real(bold ? 2.0f : 1.0f), QStringLiteral("branch.line.width"));
    }
}

void BM_OutlineScrollFrame(benchmark::State& state)
{
    LargeOutline& outline = attachedOutline();
    QScrollBar* bar = outline.view->verticalScrollBar();
    int direction = 1;
    for (auto _ : state) {
        if (bar->value() + 40 > bar->maximum() || bar->value() - 40 < 0) direction = -direction;
        bar->setValue(bar->value() + 40 * direction);
        outline.paintFrame();
    }
}

void BM_OutlineShowAllThenLevelOne(benchmark::State& state)
{
    LargeOutline& outline = attachedOutline();
    IXLayoutContext* context = outline.view->layoutContext();
    const bool showAll = state.range(0) == 0;
    for (auto _ : state) {
        state.PauseTiming();
        context->setDetailLevel(showAll ? 1 : 0);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        context->setDetailLevel(showAll ? 0 : 1);
        QCoreApplication::processEvents();
    }
}

}  // namespace

BENCHMARK(BM_OutlineFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OutlineRetitle)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OutlineAddAndRemove)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OutlineStyleChangeOfOneBranch)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OutlineScrollFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OutlineShowAllThenLevelOne)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    PLFontSubstitutions::install();
    BenchSupport::useSourceResources();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
