// Copy and paste on the generated map of about 100,000 branches that MapLayoutBench writes
// to the temporary folder (run it once first), in its document window offscreen with the
// application's own controller, cells and undo, each step with the reload and layout it causes:
// copying every branch (under 1 s), pasting that back as a second copy (under 2 s), pasting
// 10,000 lines of indented text (under 0.5 s), and undoing each paste in the same time.
#include "BenchSupport.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXSelection.h"
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

#include <QClipboard>
#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <clocale>

namespace {

class SilentDialogs : public IXDialogs {
public:
    int runAlert(const Alert& alert, QWidget*) override { return std::max(alert.cancelButton, 0); }
    std::optional<QStringList> runOpenPanel(const OpenPanel&, QWidget*) override { return std::nullopt; }
    std::optional<QString> runSavePanel(const SavePanel&, QWidget*) override { return std::nullopt; }
    void presentError(const PLError&, QWidget*) override { }
};

struct OpenMap {
    SilentDialogs dialogs;
    IXDocument* document = nullptr;
    IXWindowController* controller = nullptr;

    OpenMap()
    {
        IXDialogs::install(&dialogs);
        PLError error;
        document = IXDocumentController::shared().openDocument(
            QDir::temp().filePath(QStringLiteral("MapLayoutBench-100k.ixd")), true, &error);
        if (!document) return;
        controller = dynamic_cast<IXWindowController*>(document->windowControllers().front());
        controller->setDocumentLayout(0);
        QEventLoop wait;
        QTimer::singleShot(IXWindowController::DocumentOpenDelayMilliseconds + 50, &wait, &QEventLoop::quit);
        wait.exec();
        settle();
    }

    // The undo step closes and the context reloads and lays out.
    void settle()
    {
        QCoreApplication::processEvents();
        IXLayoutContext* context = controller->layoutContext();
        while (context->reloads().isReloadPosted() || context->reloads().isLayoutPosted())
            QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    void select(const IXSelection& selection)
    {
        controller->setSelection(selection);
        settle();
    }
    void selectEverything()
    {
        IXSelection::NodeList roots;
        for (const auto& root : document->documentNode()->rootBranches()) roots << root;
        select(IXSelection::selectionWithArray(roots));
    }
    qsizetype branchCount() const
    {
        QList<IXBranchNode*> all;
        for (const auto& root : document->documentNode()->rootBranches()) all << static_cast<IXBranchNode*>(root.get());
        for (qsizetype i = 0; i < all.size(); ++i)
            for (const auto& child : all[i]->branches()) all << child.get();
        return all.size();
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

void BM_CopyWholeMap(benchmark::State& state)
{
    if (!ready(state)) return;
    OpenMap& map = openMap();
    map.selectEverything();
    for (auto _ : state) {
        map.controller->copy(nullptr);
        map.settle();
    }
    state.counters["branches"] = double(map.branchCount());
    state.counters["text_bytes"] = double(QGuiApplication::clipboard()->text().size());
}
BENCHMARK(BM_CopyWholeMap)->Unit(benchmark::kMillisecond)->Iterations(3);

// The whole map pasted back beside itself as a second copy (arg 0), or that paste undone
// (arg 1).
void BM_PasteWholeMap(benchmark::State& state)
{
    if (!ready(state)) return;
    OpenMap& map = openMap();
    const bool undoing = state.range(0) == 1;
    map.selectEverything();
    map.controller->copy(nullptr);
    for (auto _ : state) {
        state.PauseTiming();
        map.select(IXSelection());
        if (undoing) {
            map.controller->paste(nullptr);
            map.settle();
        }
        state.ResumeTiming();
        if (undoing)
            map.controller->undo(nullptr);
        else
            map.controller->paste(nullptr);
        map.settle();
        state.PauseTiming();
        if (!undoing) {
            map.undo().undo();
            map.settle();
        }
        state.ResumeTiming();
    }
    state.SetLabel(undoing ? "undo" : "paste");
}
BENCHMARK(BM_PasteWholeMap)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// 10,000 lines of indented text from another program pasted under a branch (arg 0), or that
// undone (arg 1).
void BM_PasteIndentedText(benchmark::State& state)
{
    if (!ready(state)) return;
    OpenMap& map = openMap();
    const bool undoing = state.range(0) == 1;
    QString text;
    for (int i = 0; i < 10000; ++i) text += QString(i % 4, u'\t') + QStringLiteral("Line %1\n").arg(i);
    const auto target = map.document->documentNode()->rootBranches().first();
    for (auto _ : state) {
        state.PauseTiming();
        auto* data = new QMimeData;
        data->setText(text);
        QGuiApplication::clipboard()->setMimeData(data);
        map.select(IXSelection::selectionWithNode(target));
        if (undoing) {
            map.controller->paste(nullptr);
            map.settle();
        }
        state.ResumeTiming();
        if (undoing)
            map.controller->undo(nullptr);
        else
            map.controller->paste(nullptr);
        map.settle();
        state.PauseTiming();
        if (!undoing) {
            map.undo().undo();
            map.settle();
        }
        state.ResumeTiming();
    }
    state.SetLabel(undoing ? "undo" : "paste");
}
BENCHMARK(BM_PasteIndentedText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    IXApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    PLFontSubstitutions::install();
    BenchSupport::useSourceResources();
    IXStartupServices::install();
    IXWindowController::installAsShellControllers();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (IXDocument* document : IXDocumentController::shared().documents())
        IXDocumentController::shared().removeDocument(document);
    return 0;
}
