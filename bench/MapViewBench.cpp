// A 1920 x 1080 map view, offscreen, over a mind map of 100,000 branches (a root with 316
// main branches of 316 sub-branches each) drawn by small box cells: one frame of painting
// the visible part, one frame of scrolling by 40 units and painting, one frame of zooming to
// the next factor and painting, and a selection change with its frame. A frame should stay
// well under 16 ms; it visits only the cells near the visible rectangle, so it costs about
// the same for any map size at the same zoom.
#include "BenchSupport.h"

#include "DocumentModel/IXFakeServices.h"
#include "DocumentViews/IXMapView.h"
#include "DocumentViews/IXMapViewTestSupport.h"
#include "DocumentViews/IXScalingScrollView.h"
#include "Platform/Text/PLFontSubstitutions.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <array>
#include <memory>

namespace {

// The map, its window and view, made once for all benchmarks (building takes seconds).
struct LargeMapView {
    static constexpr int MainBranches = 316;
    static constexpr int SubBranches = 316;

    MapTestCellFactory factory;
    FakeWindowController controller;
    QWidget window;
    IXScalingScrollView* scroller = nullptr;
    IXMapView* view = nullptr;
    QImage frame{1920, 1080, QImage::Format_ARGB32_Premultiplied};
    int branches = 1;

    LargeMapView()
    {
        controller.node = std::make_shared<IXDocumentNode>();
        auto root = addRootBranch(*controller.node, QStringLiteral("Root"));
        for (int i = 0; i < MainBranches; ++i) {
            auto main = std::make_shared<IXBranchNode>();
            main->setTitle(QStringLiteral("Main %1").arg(i));
            root->insertBranch(main, -1);
            for (int j = 0; j < SubBranches; ++j) {
                auto sub = std::make_shared<IXBranchNode>();
                sub->setTitle(QStringLiteral("Idea %1.%2").arg(i).arg(j));
                main->insertBranch(sub, -1);
            }
            branches += 1 + SubBranches;
        }
        scroller = new IXScalingScrollView(&window);
        view = new IXMapView;
        view->setLayoutName(QStringLiteral("mindmap"));
        scroller->setDocumentView(view);
        window.show();
        window.resize(1920 + scroller->verticalScrollBar()->sizeHint().width(),
                      1080 + scroller->horizontalScrollBar()->sizeHint().height());
        scroller->setGeometry(window.rect());
        QCoreApplication::processEvents();
        view->attachToController(&controller);
        scroller->setScaleFactor(1.0);
        centreOn("Idea 158.158");
    }
    ~LargeMapView() { view->detachFromController(); }

    std::shared_ptr<IXBranchNode> branchTitled(const char* title) const
    {
        for (const auto& main : std::static_pointer_cast<IXBranchNode>(controller.node->rootBranches().first())->branches())
            for (const auto& sub : main->branches())
                if (sub->title() == QLatin1String(title)) return sub;
        return nullptr;
    }

    void centreOn(const char* title)
    {
        view->layoutContext()->setSelection(IXSelection::selectionWithNode(branchTitled(title)));
    }

    // Runs the turns the context queued (its reload after a selection change).
    void settle()
    {
        IXLayoutContext* context = view->layoutContext();
        while (context->reloads().isReloadPosted() || context->reloads().isLayoutPosted()) QCoreApplication::processEvents();
    }

    // Paints what the scroll view shows, as one exposed frame.
    void paintFrame()
    {
        const QRect visible(view->mapFrom(scroller->viewport(), QPoint(0, 0)), scroller->viewport()->size());
        QPainter painter(&frame);
        view->render(&painter, QPoint(), QRegion(visible), QWidget::DrawChildren);
    }
};

LargeMapView& largeMap()
{
    static LargeMapView* map = new LargeMapView;
    return *map;
}

void BM_MapViewPaintFrame(benchmark::State& state)
{
    LargeMapView& map = largeMap();
    map.scroller->setScaleFactor(double(state.range(0)) / 100);
    for (auto _ : state) map.paintFrame();
    state.counters["branches"] = map.branches;
    state.SetLabel(QStringLiteral("zoom %1%").arg(state.range(0)).toStdString());
    // With IX_SAVE_RENDERS set, the frame is kept to look at.
    if (qEnvironmentVariableIsSet("IX_SAVE_RENDERS"))
        map.frame.save(QStringLiteral("map-view-bench-%1.png").arg(state.range(0)));
}
BENCHMARK(BM_MapViewPaintFrame)->Arg(100)->Arg(50)->Arg(25)->Unit(benchmark::kMillisecond);

void BM_MapViewScrollFrame(benchmark::State& state)
{
    LargeMapView& map = largeMap();
    map.scroller->setScaleFactor(1.0);
    QScrollBar* bar = map.scroller->verticalScrollBar();
    int step = 40;
    for (auto _ : state) {
        if (bar->value() + step > bar->maximum() || bar->value() + step < bar->minimum()) step = -step;
        bar->setValue(bar->value() + step);
        map.paintFrame();
    }
}
BENCHMARK(BM_MapViewScrollFrame)->Unit(benchmark::kMillisecond);

void BM_MapViewZoomFrame(benchmark::State& state)
{
    LargeMapView& map = largeMap();
    constexpr std::array<double, 6> factors = {1.0, 1.25, 1.5, 2.0, 0.75, 0.5};
    std::size_t next = 0;
    for (auto _ : state) {
        map.scroller->setScaleFactor(factors[next++ % factors.size()]);
        map.paintFrame();
    }
}
BENCHMARK(BM_MapViewZoomFrame)->Unit(benchmark::kMillisecond);

// Clicking from branch to branch: the selection changes, its outline moves, the frame is
// painted again.
void BM_MapViewSelectFrame(benchmark::State& state)
{
    LargeMapView& map = largeMap();
    map.scroller->setScaleFactor(1.0);
    map.centreOn("Idea 158.158");
    map.settle();
    const std::array<std::shared_ptr<IXBranchNode>, 2> branches = {map.branchTitled("Idea 158.157"),
                                                                   map.branchTitled("Idea 158.159")};
    std::size_t next = 0;
    for (auto _ : state) {
        map.view->layoutContext()->setSelection(IXSelection::selectionWithNode(branches[next++ % branches.size()]));
        map.settle();
        map.paintFrame();
    }
}
BENCHMARK(BM_MapViewSelectFrame)->Unit(benchmark::kMillisecond);

}

int main(int argc, char** argv)
{
    return BenchSupport::runInApplication<QApplication>(argc, argv);
}
