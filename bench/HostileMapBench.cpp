// Maps that once hung layout or drawing, generated small in memory (tests/MapLayout/IXHostileMaps.h):
// - siblings: one root with 10,000, 40,000 and 100,000 sub-branches laid out in the mind map
//   (spreading and side assignment; target: 100,000 within 1 s);
// - long title: a root titled with 4 MB without a blank, laid out (target: within 100 ms);
// - wide branch: a frame of 1920 x 1080 at 100 % centred on a root with 2,000 children, whose
//   straight or curved lines from its centre all cross the frame, most of them from edge to
//   centre, and run on for up to 20,000 units (target: within 16 ms);
// - connections: a frame at 100 % over a branch holding 100,000 connections, in the mind map
//   and left-right layouts (target: within 100 ms);
// - siblings inserted: 10,000 sub-branches inserted one by one under a root, each its own undo
//   step, then every step undone (an insertion under a root resets the sides of the mind map;
//   the whole run must grow linearly with the count).
// With the map's own cells and the pinned fonts.
//
// "HostileMapBench --write-corpus <folder>" writes the generated maps as packages instead, the
// seeds of the fuzz target that lays out and draws (fuzz/corpus/mapdraw).
#include "BenchSupport.h"

#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXBranchGroupCell.h"
#include "MapLayout/IXBranchLineDrawer.h"
#include "MapLayout/IXDocumentOnlyController.h"
#include "MapLayout/IXHostileMaps.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXMapCellFactory.h"
#include "Platform/Core/PLAllocatorTuning.h"
#include "Platform/Core/PLUndoManager.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/Drawing/PLPathCutting.h"
#include "Platform/System/PLScreen.h"
#include "Platform/Text/PLFontSubstitutions.h"
#include "Utilities/UTZipArchive.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace {

struct Map {
    IXMapCellFactory factory;
    IXDocumentOnlyController controller;
    std::unique_ptr<IXLayoutContext> context;

    Map(const std::shared_ptr<IXDocumentNode>& document, const char* layout)
    {
        PLFontSubstitutions::install();
        IXLayoutCellFactory::install(&factory);
        controller.setDocumentNode(document);
        context = std::make_unique<IXLayoutContext>(&controller,
                                                    document->layoutForName(QString::fromLatin1(layout)).get());
    }
    ~Map()
    {
        context->invalidate();
        IXLayoutCellFactory::install(nullptr);
    }
};

// Draws a window of the image's size at 100 % with its centre at the given canvas point.
void drawWindow(IXLayoutContext& context, QImage& image, PLPoint centre)
{
    const PLRect window(std::floor(centre.x - image.width() / 2), std::floor(centre.y - image.height() / 2),
                        float(image.width()), float(image.height()));
    PLGraphicsContext graphics(image);
    graphics.concat(PLAffineTransform(1, 0, 0, 1, -window.minX(), -window.minY()));
    context.drawRect(graphics, window);
}

PLPoint centreOfNode(IXLayoutContext& context, IXNode* node)
{
    IXLayoutCell* cell = context.cells().branchCellForNode(node);
    const PLRect r = cell->convertRectToCell(cell->bounds(), nullptr);
    return PLPoint(r.midX(), r.midY());
}

// Times the first layout of the generated map in the mind map, as opening does.
template <typename Make>
void timeLayout(benchmark::State& state, Make make)
{
    PLScreen::setMainScreenSize(PLSize(1920, 1080));
    for (auto _ : state) {
        state.PauseTiming();
        auto map = std::make_unique<Map>(make(), "mindmap");
        const std::size_t before = PLAllocatorTuning::allocatedBytes();
        state.ResumeTiming();
        map->context->performLayout();
        benchmark::DoNotOptimize(map->context->cellsBounds());
        state.PauseTiming();
        state.counters["heap_mb"] = double(PLAllocatorTuning::allocatedBytes() - before) / (1024.0 * 1024.0);
        map.reset();
        state.ResumeTiming();
    }
}

void BM_SiblingsLayout(benchmark::State& state)
{
    timeLayout(state, [&] { return IXHostileMaps::siblings(int(state.range(0))); });
}
BENCHMARK(BM_SiblingsLayout)->Arg(10000)->Arg(40000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

// count insertions under a root, one undo step each, after a layout gave the first sides;
// with undo the steps are undone one by one afterwards (timed too).
void timeInsertions(benchmark::State& state, bool undoing)
{
    const int count = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        PLUndoManager undo;
        undo.setGroupsByEvent(false);
        auto document = std::make_shared<IXDocumentNode>();
        auto root = IXHostileMaps::addRoot(*document, QStringLiteral("Root"));
        IXHostileMaps::addBranches(root, 2, QStringLiteral("Sided"));
        for (const auto& branch : root->branches())
            document->layoutForName(IXLayoutMindMapName)
                ->styleSheet()
                ->styleForNode(branch.get())
                ->setBranchLayoutType(2);
        std::vector<std::shared_ptr<IXBranchNode>> branches;
        for (int i = 0; i < count; ++i)
            branches.push_back(IXHostileMaps::branchTitled(QStringLiteral("Inserted %1").arg(i)));
        document->setUndoManager(&undo);
        state.ResumeTiming();
        for (const auto& branch : branches) {
            undo.beginUndoGrouping();
            root->insertBranch(branch, -1);
            undo.endUndoGrouping();
        }
        if (undoing)
            while (undo.canUndo()) undo.undo();
        state.PauseTiming();
        benchmark::DoNotOptimize(root->branches().size());
        document->setUndoManager(nullptr);
        undo.removeAllActions();
        state.ResumeTiming();
    }
}

void BM_SiblingsInsertedOneByOne(benchmark::State& state)
{
    timeInsertions(state, false);
}
BENCHMARK(BM_SiblingsInsertedOneByOne)->Arg(2500)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_SiblingsInsertedAndUndone(benchmark::State& state)
{
    timeInsertions(state, true);
}
BENCHMARK(BM_SiblingsInsertedAndUndone)->Arg(2500)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_LongTitleLayout(benchmark::State& state)
{
    timeLayout(state, [] { return IXHostileMaps::longTitle(4 << 20); });
}
BENCHMARK(BM_LongTitleLayout)->Unit(benchmark::kMillisecond)->Iterations(3);

// How many of the lines from the root to its children cross the window: the straight or
// curved line from the root's anchor to each child's near end.
int linesCrossing(IXLayoutContext& context, IXBranchNode& root, const PLRect& window, int lineType)
{
    IXLayoutCell* rootGroup = context.cells().branchGroupCellForNode(&root);
    const PLPoint start = rootGroup->convertPointToCell(PLPoint(), nullptr);
    // In the root group's space, whose origin is the anchor.
    const PLRect keep(window.minX() - start.x, window.minY() - start.y, window.width(), window.height());
    int count = 0;
    for (const auto& child : root.branches()) {
        IXLayoutCell* group = context.cells().branchGroupCellForNode(child.get());
        IXLayoutCell* box = context.cells().branchCellForNode(child.get());
        const PLRect r = box->convertRectToCell(box->bounds(), nullptr);
        const PLPoint anchor = group->convertPointToCell(PLPoint(), nullptr);
        const PLPoint end((anchor.x < start.x ? r.maxX() : r.minX()) - start.x, anchor.y - start.y);
        PLBezierPath line;
        line.moveToPoint(PLPoint());
        line.lineToPoint(end);
        const PLBezierPath shown = lineType == 4 ? IXBranchLineDrawer::curveLinePathWithin(PLPoint(), end, keep)
                                                 : PLPathCutting::cutToRect(line, keep);
        count += !shown.isEmpty();
    }
    return count;
}

void BM_WideBranchFrame(benchmark::State& state)
{
    PLScreen::setMainScreenSize(PLSize(1920, 1080));
    const std::shared_ptr<IXDocumentNode> document
        = IXHostileMaps::wideBranch(int(state.range(0)), int(state.range(1)));
    Map map(document, "mindmap");
    map.context->performLayout();
    QImage image(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    auto* root = static_cast<IXBranchNode*>(document->rootBranches().first().get());
    const PLPoint at = centreOfNode(*map.context, root);
    drawWindow(*map.context, image, at);
    for (auto _ : state) drawWindow(*map.context, image, at);
    const PLRect window(std::floor(at.x - 960), std::floor(at.y - 540), 1920, 1080);
    state.SetLabel(std::to_string(linesCrossing(*map.context, *root, window, int(state.range(1)))) + " of "
                   + std::to_string(root->branches().size()) + " lines cross the window");
}
BENCHMARK(BM_WideBranchFrame)->Args({2000, 1})->Args({2000, 4})->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_ConnectionsFrame(benchmark::State& state)
{
    PLScreen::setMainScreenSize(PLSize(1920, 1080));
    const char* layout = state.range(0) == 0 ? "mindmap" : "leftright";
    const std::shared_ptr<IXDocumentNode> document = IXHostileMaps::manyConnections(100000);
    Map map(document, layout);
    map.context->performLayout();
    QImage image(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    auto* root = static_cast<IXBranchNode*>(document->rootBranches().first().get());
    const PLPoint centre = centreOfNode(*map.context, root->branches().front().get());
    drawWindow(*map.context, image, centre);
    for (auto _ : state) drawWindow(*map.context, image, centre);
    state.SetLabel(layout);
}
BENCHMARK(BM_ConnectionsFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

// A package whose document style sheet holds count copies of element.
QByteArray packageWithStyleSheet(const QByteArray& element, qint64 count)
{
    const QByteArray sheet = "<?xml version=\"1.0\"?><styles>" + element.repeated(count) + "</styles>";
    UTZipArchive archive;
    archive.setDataForFileName("<document xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                               "xsi:noNamespaceSchemaLocation=\"contents.xsd\" version=\"1\" revision=\"1\"/>",
                               QStringLiteral("contents.xml"));
    archive.setDataForFileName(sheet, QStringLiteral("document.styles.xml"));
    return archive.getZipData();
}

// Opens the package and reads its sheet, as the first layout does: 200 MiB of empty elements
// (0; refused) or styles one short of the sheet's element limit (1; read).
void BM_HugeStyleSheetRead(benchmark::State& state)
{
    const bool refused = state.range(0) == 0;
    const QByteArray element = refused ? QByteArray("<b/>") : QByteArray(R"(<style ref="x"/>)");
    const qint64 count = refused ? (200 << 20) / element.size() : IXStyleSheetNode::MaximumElementCount - 1;
    const QByteArray package = packageWithStyleSheet(element, count);
    for (auto _ : state) {
        PLError error;
        const std::shared_ptr<IXDocumentNode> document = IXDocumentNode::fromZipData(package, &error);
        if (!document) {
            state.SkipWithError("the package did not open");
            return;
        }
        benchmark::DoNotOptimize(document->styleSheet());
        if (document->styleSheet()->keepsUnreadPart() != refused)
            state.SkipWithError("the sheet was not refused or read as meant");
    }
    state.SetLabel(std::to_string(count * element.size() >> 20) + " MiB sheet " + (refused ? "refused" : "read"));
}
BENCHMARK(BM_HugeStyleSheetRead)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);

int writeCorpus(const QString& folder)
{
    const float infinity = std::numeric_limits<float>::infinity();
    const std::pair<const char*, std::shared_ptr<IXDocumentNode>> maps[] = {
        {"huge-geometry", IXHostileMaps::hugeGeometry(1e20f)},
        {"negative-geometry", IXHostileMaps::hugeGeometry(-1e20f)},
        {"infinite-geometry", IXHostileMaps::hugeGeometry(infinity)},
        {"nan-geometry", IXHostileMaps::hugeGeometry(std::numeric_limits<float>::quiet_NaN())},
        {"long-title", IXHostileMaps::longTitle(30000)},
        {"wide-branch", IXHostileMaps::wideBranch(40)},
        {"connections", IXHostileMaps::manyConnections(200)},
        {"siblings", IXHostileMaps::siblings(300)},
        {"plain", IXHostileMaps::siblings(5)},
    };
    QDir().mkpath(folder);
    for (const auto& [name, document] : maps) {
        QFile file(QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".ixd")));
        const std::optional<QByteArray> bytes = document->zipData();
        if (!bytes || !file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size()) return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    BenchSupport::useSourceResources();
    if (argc == 3 && std::strcmp(argv[1], "--write-corpus") == 0) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication application(argc, argv);
        return writeCorpus(QString::fromLocal8Bit(argv[2]));
    }
    return BenchSupport::runInGuiApplication(argc, argv);
}
