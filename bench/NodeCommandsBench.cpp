// The window's node commands on the generated map of about 100,000 branches that
// MapLayoutBench writes to the temporary folder (run it once first), opened in its
// document window offscreen with the application's own controller, cells and undo: each
// benchmark is a command (or its undo or redo) with the reload it causes and the window's next
// painted frame ("paints" counts the window's paints per step), so a whole step as the user sees it. Adding, removing,
// undoing and redoing one branch should each stay under 16 ms; removing every branch and undoing that under 1 s.
#include "BenchSupport.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentViews/IXMapView.h"
#include "DocumentViews/IXScalingScrollView.h"
#include "DocumentWindow/IXApplication.h"
#include "DocumentWindow/IXDialogs.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXWindowController.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXStartupServices.h"
#include "Platform/Core/PLError.h"
#include "Platform/Core/PLUndoManager.h"
#include "Platform/Text/PLFontSubstitutions.h"

#include <QDir>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <clocale>

namespace {

// Nothing may wait for a person: every dialog is answered at once.
class SilentDialogs : public IXDialogs {
public:
    int runAlert(const Alert& alert, QWidget*) override { return std::max(alert.cancelButton, 0); }
    std::optional<QStringList> runOpenPanel(const OpenPanel&, QWidget*) override { return std::nullopt; }
    std::optional<QString> runSavePanel(const SavePanel&, QWidget*) override { return std::nullopt; }
    void presentError(const PLError&, QWidget*) override { }
};

// The package MapLayoutBench generates and keeps in the temporary folder (one root, 10 main
// branches of 20 sub-branches of 20 of 24 leaves, 100,211 branches): run that once first.
QString generatedMap()
{
    return QDir::temp().filePath(QStringLiteral("MapLayoutBench-100k.ixd"));
}

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

struct OpenMap {
    SilentDialogs dialogs;
    PaintCounter counter;
    IXDocument* document = nullptr;
    IXWindowController* controller = nullptr;
    QImage frame;

    OpenMap()
    {
        IXDialogs::install(&dialogs);
        PLError error;
        document = IXDocumentController::shared().openDocument(generatedMap(), true, &error);
        if (!document) return;
        controller = dynamic_cast<IXWindowController*>(document->windowControllers().front());
        controller->setDocumentLayout(0);
        // The first selection after opening comes on a later turn; let it pass.
        QEventLoop wait;
        QTimer::singleShot(IXWindowController::DocumentOpenDelayMilliseconds + 50, &wait, &QEventLoop::quit);
        wait.exec();
        settle();
        // At actual size, on the branch the benchmarks work on.
        IXScalingScrollView::scalingScrollView(controller->documentView())->setScaleFactor(1.0);
        select(IXSelection::selectionWithNode(branchAt(3)));
        controller->documentView()->installEventFilter(&counter);
        const QSize size = viewport().size();
        frame = QImage(size, QImage::Format_ARGB32_Premultiplied);
    }

    IXLayoutContext* context() const { return controller->layoutContext(); }
    QWidget& viewport() const
    {
        return *IXScalingScrollView::scalingScrollView(controller->documentView())->viewport();
    }

    // A branch in the middle of the map: the sixth at each level down to the depth.
    std::shared_ptr<IXBranchNode> branchAt(int depth) const
    {
        const auto& roots = document->documentNode()->rootBranches();
        auto branch = std::static_pointer_cast<IXBranchNode>(roots[roots.size() / 2]);
        for (int level = 0; level < depth && !branch->branches().isEmpty(); ++level)
            branch = branch->branches()[std::min<qsizetype>(5, branch->branches().size() - 1)];
        return branch;
    }

    void select(const IXSelection& selection)
    {
        controller->setSelection(selection);
        settle();
    }

    // The turns the change queued: the undo step closes, the context reloads and lays out, and
    // the window paints what changed (counted, so a step that painted nothing shows).
    void settle()
    {
        QCoreApplication::processEvents();
        IXLayoutContext* context = this->context();
        while (context->reloads().isReloadPosted() || context->reloads().isLayoutPosted())
            QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    // The visible part painted once more, as a whole frame.
    void paint()
    {
        QWidget* view = controller->documentView();
        const QRect visible(view->mapFrom(&viewport(), QPoint(0, 0)), viewport().size());
        QPainter painter(&frame);
        view->render(&painter, QPoint(), QRegion(visible), QWidget::DrawChildren);
    }

    PLUndoManager& undo() const { return *document->undoManager(); }
};

OpenMap& openMap()
{
    static OpenMap* map = new OpenMap;
    return *map;
}

bool ready(benchmark::State& state)
{
    if (openMap().controller) return true;
    state.SkipWithError("the generated map did not open: run MapLayoutBench once first");
    return false;
}

// The kinds of step measured on one branch; each iteration leaves the map as it found it.
enum class Step { Add, Remove, UndoAdd, RedoAdd };

void runOneBranchStep(benchmark::State& state, Step step)
{
    if (!ready(state)) return;
    OpenMap& map = openMap();
    const std::shared_ptr<IXBranchNode> branch = map.branchAt(3);
    int painted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        map.select(IXSelection::selectionWithNode(branch));
        if (step == Step::UndoAdd || step == Step::RedoAdd) {
            map.controller->addBranch(nullptr);
            map.settle();
        }
        if (step == Step::RedoAdd) {
            map.undo().undo();
            map.settle();
        }
        state.ResumeTiming();
        switch (step) {
        case Step::Add:
            map.controller->addBranch(nullptr);
            break;
        case Step::Remove:
            map.controller->removeSelectedNodes(nullptr);
            break;
        case Step::UndoAdd:
            map.controller->undo(nullptr);
            break;
        case Step::RedoAdd:
            map.controller->redo(nullptr);
            break;
        }
        const int paints = map.counter.paints;
        map.settle();
        painted += map.counter.paints - paints;
        state.PauseTiming();
        if (step != Step::UndoAdd) {
            map.undo().undo();
            map.settle();
        }
        state.ResumeTiming();
    }
    state.counters["paints"] = benchmark::Counter(painted, benchmark::Counter::kAvgIterations);
}

// A whole frame of the visible part alone, for comparison: each step below ends with the
// window painting what it changed.
void BM_PaintFrame(benchmark::State& state)
{
    if (!ready(state)) return;
    OpenMap& map = openMap();
    for (auto _ : state) map.paint();
    if (qEnvironmentVariableIsSet("IX_SAVE_RENDERS")) map.frame.save(QStringLiteral("node-commands-bench.png"));
}
BENCHMARK(BM_PaintFrame)->Unit(benchmark::kMillisecond);

void BM_AddBranchFrame(benchmark::State& state)
{
    runOneBranchStep(state, Step::Add);
}
BENCHMARK(BM_AddBranchFrame)->Unit(benchmark::kMillisecond);

void BM_RemoveBranchFrame(benchmark::State& state)
{
    runOneBranchStep(state, Step::Remove);
}
BENCHMARK(BM_RemoveBranchFrame)->Unit(benchmark::kMillisecond);

void BM_UndoAddBranchFrame(benchmark::State& state)
{
    runOneBranchStep(state, Step::UndoAdd);
}
BENCHMARK(BM_UndoAddBranchFrame)->Unit(benchmark::kMillisecond);

void BM_RedoAddBranchFrame(benchmark::State& state)
{
    runOneBranchStep(state, Step::RedoAdd);
}
BENCHMARK(BM_RedoAddBranchFrame)->Unit(benchmark::kMillisecond);

// Every branch selected and removed, then that undone, each with its frame.
void BM_RemoveAllBranches(benchmark::State& state)
{
    if (!ready(state)) return;
    OpenMap& map = openMap();
    const bool undoing = state.range(0) == 1;
    IXSelection::NodeList all;
    for (const auto& root : map.document->documentNode()->rootBranches()) all << root;
    for (qsizetype i = 0; i < all.size(); ++i)
        for (const auto& child : static_cast<IXBranchNode&>(*all[i]).branches()) all << child;
    for (auto _ : state) {
        state.PauseTiming();
        map.select(IXSelection::selectionWithArray(all));
        if (undoing) {
            map.controller->removeSelectedNodes(nullptr);
            map.settle();
        }
        state.ResumeTiming();
        if (undoing)
            map.controller->undo(nullptr);
        else
            map.controller->removeSelectedNodes(nullptr);
        map.settle();
        state.PauseTiming();
        if (!undoing) {
            map.undo().undo();
            map.settle();
        }
        state.ResumeTiming();
    }
    state.counters["branches"] = double(all.size());
    state.SetLabel(undoing ? "undo" : "remove");
}
BENCHMARK(BM_RemoveAllBranches)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// The documents and their windows close before the application object goes.
void closeAllDocuments()
{
    for (IXDocument* document : IXDocumentController::shared().documents())
        IXDocumentController::shared().removeDocument(document);
}

}  // namespace

int main(int argc, char** argv)
{
    return BenchSupport::runInApplication<IXApplication>(
        argc, argv,
        [] {
            std::setlocale(LC_NUMERIC, "C");
            IXStartupServices::install();
            IXWindowController::installAsShellControllers();
        },
        closeAllDocuments);
}
