// The overview beside the generated map of about 100,000 branches (bench/make_large_map.py;
// IX_LARGE_MAP names a package, else one is written to a temporary folder), opened in its
// window as the editor opens it, at actual size, with the glued overview shown. A scroll of the
// map by 40 units, up to the overview's new frame painted, should stay well under 16 ms and
// make no picture ("pictures" counts those made while scrolling: 0); making the picture, once
// per change of the map, is measured apart.
#include "BenchSupport.h"

#include "DocumentViews/IXMapView.h"
#include "DocumentViews/IXScalingScrollView.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXWindowController.h"
#include "DocumentWindow/IXWindowOverview.h"
#include "Inspectors/IXOverviewFramedView.h"
#include "Inspectors/IXOverviewInspector.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXMapCellFactory.h"
#include "Platform/Core/PLError.h"

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

void runLoopFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

struct OverviewWindow {
    QTemporaryDir folder;
    IXMapCellFactory cells;
    IXWindowController* controller = nullptr;
    IXMapView* map = nullptr;
    IXOverviewInspector* overview = nullptr;
    QImage picture;

    OverviewWindow()
    {
        QString path = qEnvironmentVariable("IX_LARGE_MAP");
        if (path.isEmpty()) {
            path = folder.filePath(QStringLiteral("overview.ixd"));
            QProcess::execute(QStringLiteral("python3"),
                              {QStringLiteral(IX_SOURCE_DIR "/bench/make_large_map.py"), path});
        }
        IXLayoutCellFactory::install(&cells);
        IXWindowController::installAsShellControllers();
        PLError error;
        IXDocument* document = IXDocumentController::shared().openDocument(path, true, &error);
        if (!document) qFatal("cannot open %s", qPrintable(path));
        controller = dynamic_cast<IXWindowController*>(document->windowControllers().front());
        controller->documentWindow()->resize(1920, 1080);
        map = qobject_cast<IXMapView*>(controller->documentView());
        IXScalingScrollView::scalingScrollView(map)->setScaleFactor(1.0);
        runLoopFor(200);
        controller->toggleOverview(nullptr);
        runLoopFor(IXOverviewInspector::FadeMilliseconds + 100);
        overview = controller->overview().existingOverview();
        if (!overview || !overview->isVisible()) qFatal("no overview");
        picture = QImage(overview->window()->size(), QImage::Format_ARGB32_Premultiplied);
    }

    // The overview's frame as its window paints it.
    void paintOverview()
    {
        QPainter painter(&picture);
        overview->window()->render(&painter);
    }
};

OverviewWindow& overviewWindow()
{
    static auto* window = new OverviewWindow;
    return *window;
}

void BM_OverviewFollowsAScroll(benchmark::State& state)
{
    OverviewWindow& w = overviewWindow();
    QScrollBar* bar = IXScalingScrollView::scalingScrollView(w.map)->verticalScrollBar();
    const int before = w.overview->previewCount();
    int step = 40;
    for (auto _ : state) {
        if (bar->value() + step > bar->maximum() || bar->value() + step < bar->minimum()) step = -step;
        bar->setValue(bar->value() + step);
        // The map's frame is checked on the next turn: no new picture while the count stays.
        QCoreApplication::processEvents();
        w.paintOverview();
    }
    state.counters["pictures"] = double(w.overview->previewCount() - before);
    if (!(w.overview->framedView()->visibleFrame() == w.map->visibleRect()))
        state.SkipWithError("the overview did not follow the map");
}
BENCHMARK(BM_OverviewFollowsAScroll)->Unit(benchmark::kMillisecond);

// The picture of the whole map, made once after each change of it.
void BM_OverviewPictureOfTheMap(benchmark::State& state)
{
    OverviewWindow& w = overviewWindow();
    for (auto _ : state) w.overview->updatePreview();
    const QImage preview = w.overview->framedView()->documentPreview();
    if (preview.isNull()) state.SkipWithError("no picture was made");
    state.counters["width"] = preview.width();
    state.counters["height"] = preview.height();
}
BENCHMARK(BM_OverviewPictureOfTheMap)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return BenchSupport::runInApplication<QApplication>(argc, argv);
}
