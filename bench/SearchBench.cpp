// Find, replace and spelling over a map of about 100,000 branches, one in ten with a text note:
// walking every text, a find with no hit, Replace All over 10,000 hits and its undo, and
// checking the spelling of every text (none misspelt) in one walk. Targets: walk and miss
// within 100 ms, Replace All and its undo within 1 s each, the spelling walk within 10 s.
#include "BenchSupport.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXDocumentSearchEnumerator.h"
#include "DocumentModel/IXLayoutNode.h"
#include "Inspectors/IXInspectedController.h"
#include "Inspectors/IXSearchController.h"
#include "Inspectors/IXSpellCheckingController.h"
#include "Platform/Core/PLUndoManager.h"
#include "Platform/Text/PLSpellChecker.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>

#include <benchmark/benchmark.h>

namespace {

// Branch n is titled "Branch number n"; every tenth has a note; every tenth of those (10,000
// branches) says "marker" in its title.
void decorate(IXBranchNode& branch, int number)
{
    branch.setTitle(number % 10 == 5 && number < 100000 ? QStringLiteral("Branch number %1 marker").arg(number)
                                                        : QStringLiteral("Branch number %1").arg(number));
    if (number % 10 == 0) {
        auto note = branch.addTextnote();
        note->setTitle(QStringLiteral("Note %1").arg(number));
        note->setTextString(QStringLiteral("Note of branch %1.\nA second line with a few more words.").arg(number));
    }
}

std::shared_ptr<IXDocumentNode> buildMap()
{
    auto document = std::make_shared<IXDocumentNode>();
    int number = 0;
    const auto add = [&](auto&& self, IXBranchNode* parent, int depth) -> void {
        const int children = depth == 0 ? 10 : depth < 3 ? 10 : 99;
        for (int i = 0; i < children; ++i) {
            auto branch = std::make_shared<IXBranchNode>();
            if (parent) {
                parent->insertBranch(branch, -1);
            } else {
                document->addRootBranch(branch);
            }
            decorate(*branch, number++);
            if (depth < 3) self(self, branch.get(), depth + 1);
        }
    };
    add(add, nullptr, 0);
    return document;
}

struct BenchWindow : IXInspectedController {
    IXSelection selection() const override { return {}; }
    std::shared_ptr<IXLayoutNode> layoutNode() const override { return nullptr; }
    std::shared_ptr<IXDocumentNode> documentNode() const override { return document; }
    int documentLayout() const override { return 0; }
    QWidget* window() const override { return const_cast<QWidget*>(&widget); }

    std::shared_ptr<IXDocumentNode> document;
    QWidget widget;
};

// The map, with an undo manager, as the current document window of the panels.
BenchWindow& benchWindow()
{
    static PLUndoManager undo;
    static BenchWindow* window = [] {
        auto* made = new BenchWindow;
        made->document = buildMap();
        made->document->setUndoManager(&undo);
        QCoreApplication::processEvents();
        undo.removeAllActions();
        IXInspectorController::installControllerLookup([made](const QWidget* widget) -> IXInspectedController* {
            return widget == made->window() ? made : nullptr;
        });
        IXInspectorController::setCurrentWindow(made->window());
        static QTemporaryDir settingsFolder;
        const QString settingsFile = settingsFolder.filePath("settings.ini");
        const auto settings
            = [settingsFile] { return std::make_unique<QSettings>(settingsFile, QSettings::IniFormat); };
        IXSearchController::installSettings(settings);
        IXSpellCheckingController::installSettings(settings);
        return made;
    }();
    return *window;
}

void BM_WalkEveryText(benchmark::State& state)
{
    BenchWindow& window = benchWindow();
    int texts = 0;
    for (auto _ : state) {
        IXDocumentSearchEnumerator walker(window.document);
        texts = 0;
        qsizetype characters = 0;
        while (const auto text = walker.nextObject()) {
            ++texts;
            characters += text->size();
        }
        benchmark::DoNotOptimize(characters);
    }
    state.counters["texts"] = texts;
}
BENCHMARK(BM_WalkEveryText)->Unit(benchmark::kMillisecond);

void BM_FindWithoutHit(benchmark::State& state)
{
    benchWindow();
    IXSearchController& search = IXSearchController::sharedController();
    search.setOption(IXSearchController::FindInPictureLabels, true);
    search.setFindString(QStringLiteral("zebra"));
    for (auto _ : state) {
        const bool found = search.findForwardAndShow(false);
        if (found) state.SkipWithError("found a hit");
    }
}
BENCHMARK(BM_FindWithoutHit)->Unit(benchmark::kMillisecond);

// Replace All of "marker" (10,000 titles) and the undo of it, timed apart.
void BM_ReplaceAllAndUndo(benchmark::State& state)
{
    BenchWindow& window = benchWindow();
    IXSearchController& search = IXSearchController::sharedController();
    PLUndoManager* undo = window.document->undoManager();
    double replaceSeconds = 0;
    double undoSeconds = 0;
    for (auto _ : state) {
        search.findField()->setEditText(QStringLiteral("marker"));
        search.replaceField()->setEditText(QStringLiteral("target"));
        QElapsedTimer timer;
        timer.start();
        search.replaceAll();
        replaceSeconds += timer.nsecsElapsed() / 1e9;
        if (search.status() != QStringLiteral("10000 replaced")) state.SkipWithError(qPrintable(search.status()));
        QCoreApplication::processEvents();
        timer.restart();
        undo->undo();
        undoSeconds += timer.nsecsElapsed() / 1e9;
        QCoreApplication::processEvents();
        undo->removeAllActions();
    }
    state.counters["replace_all_ms"] = replaceSeconds * 1000 / double(state.iterations());
    state.counters["undo_ms"] = undoSeconds * 1000 / double(state.iterations());
}
BENCHMARK(BM_ReplaceAllAndUndo)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SpellCheckEveryText(benchmark::State& state)
{
    benchWindow();
    IXSpellCheckingController& spelling = IXSpellCheckingController::sharedController();
    if (!PLSpellChecker::sharedChecker().isAvailable()) {
        state.SkipWithError("no en_US dictionary");
        return;
    }
    for (auto _ : state) {
        spelling.searchEnumerator()->resetToBegin();
        if (spelling.findForwardAndShow(false)) state.SkipWithError(qPrintable(spelling.misspelledWord()));
    }
}
BENCHMARK(BM_SpellCheckEveryText)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    BenchSupport::useSourceResources();
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
