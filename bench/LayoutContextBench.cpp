// A layout context over maps of about 10,000 and 100,000 branches, with cells that draw a box
// per branch: the full reload and layout, the first draw after a layout (which indexes the
// cells by rectangle), drawing a window-sized part of the map, and the point queries of
// the mouse, and hovering over a map whose every leaf has a connection to the leaf above it.
// Drawing and hitting should cost about the same at both sizes, since they visit only the
// cells near the rectangle or point; the reload grows linearly.
#include "BenchSupport.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "MapLayout/IXDocumentOnlyController.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXBranchGroupCell.h"
#include "MapLayout/IXConnectionCell.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXPictureCell.h"
#include "MapLayout/IXTextCell.h"
#include "MapLayout/IXTimelineCell.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/System/PLMouseEvent.h"
#include "Platform/System/PLScreen.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

class BoxCell : public IXBranchCell {
public:
    using IXBranchCell::IXBranchCell;
    void layout() override { setFrame(PLRect(0, 0, 100, 20)); }
    IXTextCell* titleCell() const override { return nullptr; }
    PLRect boxFrame() const override { return PLRect(0, 0, 100, 20); }
    bool hitTest(PLPoint point) override { return bounds().containsPoint(point); }
    void draw(PLGraphicsContext& graphics) override
    {
        graphics.setColor(PLColor::rgb(0.9f, 0.9f, 1));
        graphics.fillRect(bounds());
    }
};

// A box with its sub-branches' groups stacked downwards to its right.
class StackGroup : public IXBranchGroupCell {
public:
    using IXBranchGroupCell::IXBranchGroupCell;
    void setLayoutType(int) override {}
    void reloadBranches() override
    {
        removeAllCells();
        m_box = std::make_shared<BoxCell>(context(), this, node());
        addCell(m_box);
        for (const auto& child : static_cast<IXBranchNode*>(node())->branches()) {
            auto group = std::make_shared<StackGroup>(context(), this, child.get());
            addCell(group);
            context()->cells().setCellForNode(group, child.get());
            group->reloadBranches();
        }
    }
    void layout() override
    {
        float top = 20;
        for (const auto& cell : cells()) {
            if (cell == m_box) continue;
            cell->performLayoutIfNeeded();
            const float height = cell->frame().height();
            cell->setOrigin(PLPoint(150, top - height));
            top -= height + 10;
        }
        IXBranchGroupCell::layout();
    }
    IXBranchCell* branchCell() const override { return m_box.get(); }
    IXLayoutCell* boundaryCell() const override { return nullptr; }
    bool hasBoundary() override { return false; }
    bool isCollapsed() override { return false; }
    IXBranchCell* parentForBranchCell(IXBranchCell*, PLPoint, int*) override { return nullptr; }

private:
    std::shared_ptr<BoxCell> m_box;
};

class BenchFactory : public IXLayoutCellFactory {
public:
    int roots = 0;
    std::shared_ptr<IXBranchGroupCell> makeBranchGroupCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                           IXNode* branch) override
    {
        auto group = std::make_shared<StackGroup>(context, parent, branch);
        group->setOrigin(PLPoint(float(roots++ % 10) * 2000, 0));
        return group;
    }
    std::shared_ptr<IXTimelineCell> makeTimelineCell(IXLayoutContext*, IXLayoutCell*, IXNode*) override { return nullptr; }
    std::shared_ptr<IXPictureCell> makePictureCell(IXLayoutContext*, IXLayoutCell*, IXNode*) override { return nullptr; }
    std::shared_ptr<IXTextCell> makeTextCell(IXLayoutContext*, IXLayoutCell*, IXNode*) override { return nullptr; }
    std::shared_ptr<IXConnectionCell> makeConnectionCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                         IXNode* connection) override
    {
        return std::make_shared<IXConnectionCell>(context, parent, connection);
    }
    std::shared_ptr<IXLayoutCell> makeSelectionCell(IXLayoutContext*, IXLayoutCell*, IXNode*) override
    {
        return nullptr;
    }
};

// 10 roots of 10 main branches of 10 sub-branches, each with `leaves` leaves; with
// connections, each leaf but the first of its sub-branch points at the one before it.
std::shared_ptr<IXDocumentNode> buildMap(int leaves, bool connections = false)
{
    auto document = std::make_shared<IXDocumentNode>();
    document->disableUndo();
    auto add = [](IXBranchNode& parent) {
        auto branch = std::make_shared<IXBranchNode>();
        parent.insertBranch(branch, -1);
        return branch;
    };
    for (int r = 0; r < 10; ++r) {
        auto root = std::make_shared<IXBranchNode>();
        document->addRootBranch(root);
        for (int m = 0; m < 10; ++m) {
            auto main = add(*root);
            for (int s = 0; s < 10; ++s) {
                auto sub = add(*main);
                std::shared_ptr<IXBranchNode> previous;
                for (int l = 0; l < leaves; ++l) {
                    auto leaf = add(*sub);
                    if (connections && previous) leaf->addConnection()->setTargetNode(previous);
                    previous = leaf;
                }
            }
        }
    }
    return document;
}

struct LaidOutMap {
    BenchFactory factory;
    IXDocumentOnlyController controller;
    std::unique_ptr<IXLayoutContext> context;

    explicit LaidOutMap(int leaves, bool connections = false)
    {
        PLScreen::setMainScreenSize(PLSize(1440, 900));
        IXLayoutCellFactory::install(&factory);
        controller.setDocumentNode(buildMap(leaves, connections));
        if (connections) controller.documentNode()->style()->setDocumentShowsBranchConnections(true);
        context = std::make_unique<IXLayoutContext>(&controller, controller.documentNode()->layoutForName(IXLayoutMindMapName).get());
        context->performLayout();
    }
    ~LaidOutMap()
    {
        context->invalidate();
        IXLayoutCellFactory::install(nullptr);
    }
    // A window-sized rectangle somewhere in the middle of the map.
    PLRect window() const
    {
        const PLRect content = context->cellsBounds();
        return PLRect(content.midX() - 500, content.midY() - 400, 1000, 800);
    }
};

void BM_LayoutContextReload(benchmark::State& state)
{
    LaidOutMap map(int(state.range(0)));
    for (auto _ : state) {
        map.factory.roots = 0;
        map.context->reloads().postReloadBranches();
        map.context->performLayout();
        map.context->drawStack();
    }
    state.counters["branches"] = double(1110 + 1000 * state.range(0));
}
BENCHMARK(BM_LayoutContextReload)->Arg(9)->Arg(99)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LayoutContextFirstDraw(benchmark::State& state)
{
    LaidOutMap map(int(state.range(0)));
    QImage image(1000, 800, QImage::Format_ARGB32_Premultiplied);
    const PLRect window = map.window();
    for (auto _ : state) {
        // A moved cell drops the index: the next draw rebuilds it.
        map.context->cellGeometryDidChange();
        PLGraphicsContext graphics(image);
        graphics.concat(PLAffineTransform(1, 0, 0, 1, -window.minX(), -window.minY()));
        map.context->drawRect(graphics, window);
    }
}
BENCHMARK(BM_LayoutContextFirstDraw)->Arg(9)->Arg(99)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LayoutContextDrawWindow(benchmark::State& state)
{
    LaidOutMap map(int(state.range(0)));
    QImage image(1000, 800, QImage::Format_ARGB32_Premultiplied);
    const PLRect window = map.window();
    for (auto _ : state) {
        PLGraphicsContext graphics(image);
        graphics.concat(PLAffineTransform(1, 0, 0, 1, -window.minX(), -window.minY()));
        map.context->drawRect(graphics, window);
    }
}
BENCHMARK(BM_LayoutContextDrawWindow)->Arg(9)->Arg(99)->Unit(benchmark::kMicrosecond);

// After cells moved: the paint, then the first point asked (a hover after an edit).
void BM_LayoutContextDrawThenHitAfterMove(benchmark::State& state)
{
    LaidOutMap map(int(state.range(0)));
    QImage image(1000, 800, QImage::Format_ARGB32_Premultiplied);
    const PLRect window = map.window();
    const PLPoint centre(window.midX(), window.midY());
    int hits = 0;
    for (auto _ : state) {
        map.context->cellGeometryDidChange();
        PLGraphicsContext graphics(image);
        graphics.concat(PLAffineTransform(1, 0, 0, 1, -window.minX(), -window.minY()));
        map.context->drawRect(graphics, window);
        hits += map.context->mouse().nodeAtPoint(centre) != nullptr;
    }
    benchmark::DoNotOptimize(hits);
}
BENCHMARK(BM_LayoutContextDrawThenHitAfterMove)->Arg(9)->Arg(99)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LayoutContextNodeAtPoint(benchmark::State& state)
{
    LaidOutMap map(int(state.range(0)));
    const PLRect content = map.context->cellsBounds();
    std::mt19937 random(1);
    std::uniform_real_distribution<float> x(content.minX(), content.maxX());
    std::uniform_real_distribution<float> y(content.minY(), content.maxY());
    map.context->mouse().nodeAtPoint(PLPoint());
    int hits = 0;
    for (auto _ : state) hits += map.context->mouse().nodeAtPoint(PLPoint(x(random), y(random))) != nullptr;
    benchmark::DoNotOptimize(hits);
}
BENCHMARK(BM_LayoutContextNodeAtPoint)->Arg(9)->Arg(99)->Unit(benchmark::kMicrosecond);

// Hovering: half the points lie on a connection's curve, half just beside it.
void BM_LayoutContextHoverConnections(benchmark::State& state)
{
    LaidOutMap map(int(state.range(0)), true);
    std::vector<PLPoint> points;
    std::mt19937 random(1);
    const IXCellList& connections = map.context->connectionLayer()->cells();
    for (int i = 0; i < 1000; ++i) {
        auto* cell = static_cast<IXConnectionCell*>(connections[random() % connections.size()].get());
        PLPoint curve[3];
        cell->connectionPath()->elementAtIndex(1, curve);
        // On the curve's end (within its round cap), or well beside it.
        points.push_back(i % 2 ? PLPoint(curve[2].x + 0.2f, curve[2].y) : PLPoint(curve[2].x + 30, curve[2].y + 30));
    }
    map.context->mouse().mouseMoved(PLMouseEvent(PLMouseEvent::MouseMoved, points[0]));
    size_t next = 0;
    int highlighted = 0;
    for (auto _ : state) {
        map.context->mouse().mouseMoved(PLMouseEvent(PLMouseEvent::MouseMoved, points[next++ % points.size()]));
        highlighted += !map.context->highlights().isEmpty();
    }
    state.counters["connections"] = double(connections.size());
    state.counters["hovered"] = benchmark::Counter(double(highlighted) / double(state.iterations()));
}
BENCHMARK(BM_LayoutContextHoverConnections)->Arg(9)->Arg(99)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    BenchSupport::useSourceResources();
    return BenchSupport::runInGuiApplication(argc, argv);
}
