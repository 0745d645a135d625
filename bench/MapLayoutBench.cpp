// The map's branch groups over a generated map of about 100,000 branches (titles of 30 to 50
// characters, a note on every tenth branch, a link on every twentieth, an icon on every
// fifth): opening the package and laying it out completely in the mind-map, top-down and
// left-right layouts, then one edit (retitle a leaf, add a sub-branch, collapse a main
// branch) and the re-layout it causes.
//
// The branch boxes are stand-ins of a fixed height whose width follows the title's length,
// so the figures are those of opening, the groups' rebuild, placement and side assignment,
// and the context around them, without text measurement. Each open runs once per process
// start ("--benchmark_filter" one layout at a time for a cold heap); "peak_rss_mb" is the
// process's peak resident size so far.
#include "BenchWindowController.h"
#include "BenchSupport.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXWindowControlling.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXMapCellFactory.h"
#include "Platform/PLError.h"
#include "Platform/PLScreen.h"

#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <memory>

namespace {

class StandInBox : public IXBranchCell {
public:
    using IXBranchCell::IXBranchCell;
    void layout() override { setFrame(boxFrame()); }
    IXTextCell* titleCell() const override { return nullptr; }
    PLRect boxFrame() const override { return PLRect(0, 0, node() ? 40 + 6.0f * float(node()->title().size()) : 40, 18); }
};

class BenchFactory : public IXMapCellFactory {
public:
    std::shared_ptr<IXBranchCell> makeBranchCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* branch) override
    {
        return std::make_shared<StandInBox>(context, parent, branch);
    }
};

const char* const layoutNames[] = {"mindmap", "topdown", "leftright"};

void decorate(IXBranchNode& branch, int number)
{
    // Saved maps carry their branches' ids.
    branch.uniqueId();
    QString title = QStringLiteral("Branch %1 of the generated map").arg(number);
    while (title.size() < 30 + number % 21) title += QLatin1Char(number % 2 ? 'x' : ' ');
    branch.setTitle(title);
    if (number % 5 == 0) branch.appendIcon(QStringLiteral("star"));
    if (number % 20 == 0) {
        auto link = std::make_shared<IXReferenceNode>();
        link->setSubtype(IXReferenceNode::SubtypeWeb);
        link->setTargetRef(QStringLiteral("http://example.org/page/%1").arg(number));
        branch.addReference(link);
    }
    if (number % 10 == 0) branch.addTextnote()->setTextString(QStringLiteral("Note of branch %1.").arg(number));
}

// One root, 10 main branches of 20 sub-branches of 20 sub-sub-branches of 24 leaves: 100,211.
const QByteArray& package()
{
    static const QByteArray bytes = [] {
        auto document = std::make_shared<IXDocumentNode>();
        document->disableUndo();
        int number = 0;
        auto add = [&](IXBranchNode& parent) {
            auto branch = std::make_shared<IXBranchNode>();
            parent.insertBranch(branch, -1);
            decorate(*branch, number++);
            return branch;
        };
        auto root = std::make_shared<IXBranchNode>();
        document->addRootBranch(root);
        decorate(*root, number++);
        for (int m = 0; m < 10; ++m) {
            auto main = add(*root);
            for (int s = 0; s < 20; ++s) {
                auto sub = add(*main);
                for (int t = 0; t < 20; ++t) {
                    auto subsub = add(*sub);
                    for (int l = 0; l < 24; ++l) add(*subsub);
                }
            }
        }
        return document->zipData().value_or(QByteArray());
    }();
    return bytes;
}

double peakResidentMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

struct OpenMap {
    BenchFactory factory;
    BenchController controller;
    std::unique_ptr<IXLayoutContext> context;

    OpenMap() { IXLayoutCellFactory::install(&factory); }
    ~OpenMap()
    {
        if (context) context->invalidate();
        IXLayoutCellFactory::install(nullptr);
    }
    double openMilliseconds = 0;
    double layoutMilliseconds = 0;

    void open(const char* layout)
    {
        QElapsedTimer timer;
        timer.start();
        PLError error;
        controller.node = IXDocumentNode::fromZipData(package(), &error);
        openMilliseconds = double(timer.nsecsElapsed()) / 1e6;
        timer.restart();
        context = std::make_unique<IXLayoutContext>(&controller,
                                                    controller.node->layoutForName(QString::fromLatin1(layout)).get());
        context->performLayout();
        layoutMilliseconds = double(timer.nsecsElapsed()) / 1e6;
    }
    IXBranchNode* root() const { return static_cast<IXBranchNode*>(controller.node->rootBranches().first().get()); }
};

void BM_MapOpenAndLayout(benchmark::State& state)
{
    PLScreen::setMainScreenSize(PLSize(1920, 1080));
    package();
    for (auto _ : state) {
        auto map = std::make_unique<OpenMap>();
        map->open(layoutNames[state.range(0)]);
        benchmark::DoNotOptimize(map->context->cellsBounds());
        state.counters["open_ms"] = map->openMilliseconds;
        state.counters["layout_ms"] = map->layoutMilliseconds;
        state.PauseTiming();
        map.reset();
        state.ResumeTiming();
    }
    state.SetLabel(layoutNames[state.range(0)]);
    state.counters["peak_rss_mb"] = peakResidentMegabytes();
}
BENCHMARK(BM_MapOpenAndLayout)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(1);

// edit: 0 retitle a leaf, 1 add a sub-branch to a leaf's parent, 2 collapse a main branch.
void BM_MapEditAndRelayout(benchmark::State& state)
{
    PLScreen::setMainScreenSize(PLSize(1920, 1080));
    OpenMap map;
    map.open(layoutNames[state.range(0)]);
    IXBranchNode* main = map.root()->branches()[3].get();
    IXBranchNode* subsub = main->branches()[7]->branches()[5].get();
    int round = 0;
    for (auto _ : state) {
        switch (state.range(1)) {
        case 0: subsub->branches()[11]->setTitle(QStringLiteral("A retitled leaf, round %1 of the edits").arg(round)); break;
        case 1: subsub->insertBranch(std::make_shared<IXBranchNode>(), -1); break;
        default: main->setCollapsed(round % 2 == 0, false); break;
        }
        ++round;
        map.context->performLayoutIfNeeded();
        benchmark::DoNotOptimize(map.context->cellsBounds());
    }
    static const char* const edits[] = {"retitle", "add", "collapse"};
    state.SetLabel(QStringLiteral("%1 %2").arg(QLatin1String(layoutNames[state.range(0)]), QLatin1String(edits[state.range(1)])).toStdString());
}
BENCHMARK(BM_MapEditAndRelayout)
    ->ArgsProduct({{0, 1, 2}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

}  // namespace

int main(int argc, char** argv)
{
    BenchSupport::useSourceResources();
    return BenchSupport::runInGuiApplication(argc, argv);
}
