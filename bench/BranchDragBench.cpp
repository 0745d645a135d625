// Dragging a main branch with a subtree of 10,100 branches over a mind map of about 100,000
// (a root with 10 main branches of 100 sub-branches of 100 each), offscreen: one step of the
// drag (the drop parent and slot under the pointer, the placeholder and the highlight, then a
// window-sized frame), the drop onto another main branch with its reload and layout, and its
// undo. A step should stay under 16 ms, the drop and the undo under 100 ms each.
#include "BenchSupport.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXSelection.h"
#include "DocumentViews/IXDragBranchTool.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXBranchGroupCell.h"
#include "MapLayout/IXDocumentOnlyController.h"
#include "MapLayout/IXHostileMaps.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXMapCellFactory.h"
#include "Platform/Core/PLUndoManager.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/System/PLScreen.h"
#include "Platform/Text/PLFontSubstitutions.h"

#include <QCoreApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>

namespace {

struct DragMap {
    static constexpr int MainBranches = 10, SubBranches = 100, Leaves = 100;

    IXMapCellFactory factory;
    IXDocumentOnlyController controller;
    PLUndoManager undo;
    std::shared_ptr<IXDocumentNode> document = std::make_shared<IXDocumentNode>();
    std::shared_ptr<IXBranchNode> root;
    std::unique_ptr<IXLayoutContext> context;
    QImage frame {1920, 1080, QImage::Format_ARGB32_Premultiplied};
    int branches = 1;

    DragMap()
    {
        PLFontSubstitutions::install();
        PLScreen::setMainScreenSize(PLSize(1920, 1080));
        IXLayoutCellFactory::install(&factory);
        root = IXHostileMaps::addRoot(*document, QStringLiteral("Root"));
        for (int i = 0; i < MainBranches; ++i) {
            auto main = IXHostileMaps::addBranch(root, QStringLiteral("Main %1").arg(i));
            IXHostileMaps::addBranches(main, SubBranches, QStringLiteral("Sub %1").arg(i));
            for (const auto& sub : main->branches()) IXHostileMaps::addBranches(sub, Leaves, QStringLiteral("Leaf"));
            branches += 1 + SubBranches * (1 + Leaves);
        }
        controller.setDocumentNode(document);
        context = std::make_unique<IXLayoutContext>(&controller, document->layoutForName(IXLayoutMindMapName).get());
        settle();
        undo.setGroupsByEvent(false);
        document->setUndoManager(&undo);
    }
    ~DragMap()
    {
        context->invalidate();
        IXLayoutCellFactory::install(nullptr);
    }

    std::shared_ptr<IXBranchNode> main(int index) const { return root->branches().at(index); }
    // Runs the reload and layout the context queued.
    void settle()
    {
        while (context->reloads().isReloadPosted() || context->reloads().isLayoutPosted())
            QCoreApplication::processEvents();
        context->performLayoutIfNeeded();
    }
    PLRect boxOf(IXNode* node)
    {
        IXBranchCell* cell = context->cells().branchCellForNode(node);
        return context->coordinates().convertRectFromCell(cell->bounds(), cell);
    }
    void drawAround(PLPoint centre)
    {
        const PLRect window(std::floor(centre.x - 960), std::floor(centre.y - 540), 1920, 1080);
        PLGraphicsContext graphics(frame);
        graphics.concat(PLAffineTransform(1, 0, 0, 1, -window.minX(), -window.minY()));
        context->drawRect(graphics, window);
    }
};

DragMap& dragMap()
{
    static DragMap* map = new DragMap;
    return *map;
}

// One pointer move of the drag: what the tool asks and shows, then the frame.
void BM_BranchDragStep(benchmark::State& state)
{
    DragMap& map = dragMap();
    IXBranchCell* dragged = map.context->cells().branchCellForNode(map.main(0).get());
    const PLRect target = map.boxOf(map.main(5)->branches().at(50).get());
    int step = 0;
    IXBranchGroupCell* shown = nullptr;
    for (auto _ : state) {
        const PLPoint p(target.midX() + float(step % 7), target.maxY() + 4 + float(step % 5));
        ++step;
        int index = -1;
        IXBranchCell* parent = map.context->mouse().parentForBranchCell(dragged, p, &index);
        if (shown) shown->setPlaceholderType(IXDragBranchTool::NoPlaceholder, -1);
        shown = parent ? map.context->cells().branchGroupCellForNode(parent->node()) : nullptr;
        if (shown) shown->setPlaceholderType(IXDragBranchTool::AmongSubbranches, index);
        map.context->setHighlights(parent ? IXSelection::selectionWithNode(parent->node()->shared_from_this())
                                          : IXSelection());
        map.drawAround(p);
    }
    if (shown) shown->setPlaceholderType(IXDragBranchTool::NoPlaceholder, -1);
    map.context->setHighlights(IXSelection());
    state.counters["branches"] = map.branches;
}
BENCHMARK(BM_BranchDragStep)->Unit(benchmark::kMillisecond);

// The drop of main branch 0 onto main branch 5 with its layout, then (timed apart) its undo.
void BM_BranchDropAndUndo(benchmark::State& state)
{
    DragMap& map = dragMap();
    double dropSeconds = 0, undoSeconds = 0;
    int rounds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        map.undo.beginUndoGrouping();
        IXDragBranchTool::moveBranches(map.context.get(), {map.main(0)}, map.main(5), -1,
                                       IXDragBranchTool::AmongSubbranches);
        map.undo.endUndoGrouping();
        map.settle();
        const auto dropped = std::chrono::steady_clock::now();
        map.undo.undo();
        map.settle();
        const auto undone = std::chrono::steady_clock::now();
        dropSeconds += std::chrono::duration<double>(dropped - start).count();
        undoSeconds += std::chrono::duration<double>(undone - dropped).count();
        ++rounds;
    }
    state.counters["drop_ms"] = dropSeconds * 1000 / rounds;
    state.counters["undo_ms"] = undoSeconds * 1000 / rounds;
    state.counters["branches"] = map.branches;
}
BENCHMARK(BM_BranchDropAndUndo)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    BenchSupport::useSourceResources();
    return BenchSupport::runInGuiApplication(argc, argv);
}
