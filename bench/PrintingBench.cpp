// Printing a map of about 100,000 branches (titles of 30 to 50 characters, an icon on every
// fifth) on a 2 x 2 spread of A4 pages: the printing view's own layout of the map and its fit
// to the spread ("layout_fit_ms"), then the four pages written as PDF ("pdf_ms", the file's
// size in "pdf_mb"). The whole must stay within 5 s. The map's own cells and icons, with the
// pinned fonts (the editor's start-up services); the map is built in memory once per process.
// IX_PRINT_BENCH_PDF=path keeps the PDF there to look at.
#include "BenchSupport.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentViews/IXPrintingView.h"
#include "MapLayout/IXDocumentOnlyController.h"
#include "MapLayout/IXStartupServices.h"
#include "Platform/Core/PLError.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// One root, 10 main branches of 20 sub-branches of 20 sub-sub-branches of 24 leaves: 100,211.
std::shared_ptr<IXDocumentNode> buildMap()
{
    auto document = std::make_shared<IXDocumentNode>();
    document->disableUndo();
    int number = 0;
    auto add = [&](IXBranchNode& parent) {
        auto branch = std::make_shared<IXBranchNode>();
        parent.insertBranch(branch, -1);
        QString title = QStringLiteral("Branch %1 of the printed map").arg(number);
        while (title.size() < 30 + number % 21) title += QLatin1Char(number % 2 ? 'x' : ' ');
        branch->setTitle(title);
        if (number % 5 == 0) branch->appendIcon(QStringLiteral("star"));
        ++number;
        return branch;
    };
    auto root = std::make_shared<IXBranchNode>();
    root->setTitle(QStringLiteral("Printed map"));
    document->addRootBranch(root);
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
    return document;
}

void BM_PrintLargeMapOnFourPages(benchmark::State& state)
{
    IXStartupServices::install();
    const std::shared_ptr<IXDocumentNode> document = buildMap();
    const auto style = document->layoutForName(IXLayoutMindMapName)->style();
    style->setPrintPageSpreadHorizontal(2);
    style->setPrintPageSpreadVertical(2);
    QTemporaryDir folder;
    const QString path = qEnvironmentVariable("IX_PRINT_BENCH_PDF", folder.filePath(QStringLiteral("map.pdf")));
    for (auto _ : state) {
        IXDocumentOnlyController controller(document);
        IXPrintingView view;
        QElapsedTimer timer;
        timer.start();
        view.setController(&controller);
        view.setDocumentLayout(0);
        view.scaleToFitPages();
        state.counters["layout_fit_ms"] = double(timer.nsecsElapsed()) / 1e6;
        timer.restart();
        PLError error;
        if (!view.writePDF(path, &error)) state.SkipWithError(error.localizedDescription().toStdString().c_str());
        state.counters["pdf_ms"] = double(timer.nsecsElapsed()) / 1e6;
        state.counters["pdf_mb"] = double(QFileInfo(path).size()) / 1e6;
        state.PauseTiming();
        view.setController(nullptr);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PrintLargeMapOnFourPages)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    return BenchSupport::runInApplication<QApplication>(
        argc, argv, [] {}, [] {});
}
