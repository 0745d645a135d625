// The selection tool on the generated map of about 100,000 branches (bench/make_large_map.py;
// IX_LARGE_MAP names a package, else one is written to a temporary folder), opened in its
// window through the application as the editor opens it, at actual size, with the map's own
// cells. Each case runs to the next painted frame of the visible area (the window's own
// paint, or one made here when the window painted nothing): a click that selects a branch,
// select all, and one mouse move of a rubber band over 11,111 branches; the frame alone is
// measured too.
#include "BenchSupport.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentViews/IXMapView.h"
#include "DocumentViews/IXScalingScrollView.h"
#include "DocumentViews/IXSelectionTool.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXToolManager.h"
#include "DocumentWindow/IXApplication.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXWindowController.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXMapCellFactory.h"
#include "Platform/Text/PLFontSubstitutions.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <array>

namespace {

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

struct LargeWindow {
    QTemporaryDir folder;
    IXMapCellFactory cells;
    IXDocument* document = nullptr;
    IXWindowController* controller = nullptr;
    IXMapView* view = nullptr;
    PaintCounter counter;
    QImage frame {1920, 1080, QImage::Format_ARGB32_Premultiplied};

    LargeWindow()
    {
        QString path = qEnvironmentVariable("IX_LARGE_MAP");
        if (path.isEmpty()) {
            path = folder.filePath(QStringLiteral("large.ixd"));
            QProcess::execute(QStringLiteral("python3"),
                              {QStringLiteral(IX_SOURCE_DIR "/bench/make_large_map.py"), path});
        }
        IXLayoutCellFactory::install(&cells);
        IXWindowController::installAsShellControllers();
        PLError error;
        document = IXDocumentController::shared().openDocument(path, true, &error);
        if (!document) qFatal("cannot open %s", qPrintable(path));
        controller = dynamic_cast<IXWindowController*>(document->windowControllers().front());
        controller->documentWindow()->resize(1920, 1080);
        view = qobject_cast<IXMapView*>(controller->documentView());
        // At actual size, as the node commands' benchmarks work.
        IXScalingScrollView::scalingScrollView(view)->setScaleFactor(1.0);
        turn(200);
        settle();
        view->installEventFilter(&counter);
    }

    IXLayoutContext* context() const { return view->layoutContext(); }

    static void turn(int milliseconds = 0)
    {
        QEventLoop loop;
        QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
        loop.exec();
    }
    void settle()
    {
        IXLayoutContext* layout = context();
        while (layout->reloads().isReloadPosted() || layout->reloads().isLayoutPosted())
            QCoreApplication::processEvents();
    }
    // The step's frame: the window's own paint once the turns it queued have run, or, when
    // the window painted nothing, the visible area painted here (never both).
    void settleToFrame()
    {
        const int before = counter.paints;
        settle();
        QCoreApplication::processEvents();
        if (counter.paints == before) paintFrame();
    }
    void paintFrame()
    {
        const QRect visible = view->rectToQt(view->visibleRect()).toAlignedRect();
        QPainter painter(&frame);
        view->render(&painter, QPoint(), QRegion(visible), QWidget::DrawChildren);
    }
    void send(QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, at, view->mapToGlobal(at), Qt::LeftButton, buttons, {});
        QApplication::sendEvent(view, &event);
    }
    // The middle of the branch's own box, in Qt's space of the view.
    QPoint pointOn(IXNode* branch)
    {
        IXBranchCell* cell = context()->cells().branchCellForNode(branch);
        return view->rectToQt(context()->coordinates().convertRectFromCell(cell->bounds(), cell)).center().toPoint();
    }
    std::shared_ptr<IXBranchNode> root(int index) const
    {
        return std::static_pointer_cast<IXBranchNode>(document->documentNode()->rootBranches()[index]);
    }
};

LargeWindow& largeWindow()
{
    static LargeWindow* window = new LargeWindow;
    return *window;
}

// The frame alone, for comparison: what the visible area costs to paint.
void BM_PaintFrame(benchmark::State& state)
{
    LargeWindow& w = largeWindow();
    for (auto _ : state) w.paintFrame();
}
BENCHMARK(BM_PaintFrame)->Unit(benchmark::kMillisecond);

void BM_ClickSelectsABranch(benchmark::State& state)
{
    LargeWindow& w = largeWindow();
    const auto parent = w.root(0)->branches().front();
    const std::array<std::shared_ptr<IXBranchNode>, 2> branches = {parent->branches()[4], parent->branches()[5]};
    w.context()->setSelection(IXSelection::selectionWithNode(branches[0]));
    w.settle();
    std::size_t next = 1;
    for (auto _ : state) {
        const QPoint at = w.pointOn(branches[next++ % branches.size()].get());
        // The release is on its way before the press, as a user's is.
        QTimer::singleShot(0, w.view, [&w, at] { w.send(QEvent::MouseButtonRelease, at, Qt::NoButton); });
        w.send(QEvent::MouseButtonPress, at, Qt::LeftButton);
        w.settleToFrame();
    }
    if (!w.context()->selection().containsNode(branches[(next - 1) % branches.size()].get()))
        state.SkipWithError("the click did not select the branch");
}
BENCHMARK(BM_ClickSelectsABranch)->Unit(benchmark::kMillisecond);

void BM_SelectAll(benchmark::State& state)
{
    LargeWindow& w = largeWindow();
    for (auto _ : state) {
        w.view->selectAll(nullptr);
        w.settleToFrame();
        state.PauseTiming();
        state.counters["selected"] = double(w.context()->selection().count());
        if (qEnvironmentVariableIsSet("IX_SAVE_RENDERS")) {
            w.paintFrame();
            w.frame.save(QStringLiteral("select-all-bench.png"));
        }
        w.context()->setSelection(IXSelection::selectionWithNode(w.root(0)));
        w.settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SelectAll)->Unit(benchmark::kMillisecond);

void BM_RubberBandMove(benchmark::State& state)
{
    LargeWindow& w = largeWindow();
    IXLayoutContext* context = w.context();
    // A band over the first main branch's tree: 11,111 branches.
    IXLayoutCell* group = context->cells().cellForNode(w.root(0)->branches().front().get());
    const PLRect tree = context->coordinates().convertRectFromCell(group->bounds(), group);
    auto* tool = qobject_cast<IXSelectionTool*>(
        IXToolManager::sharedManager()->activateToolNamed(IXToolNames::Selection, context, IXToolEvent()));
    if (!tool) {
        state.SkipWithError("no selection tool");
        return;
    }
    // From beyond one corner of the tree to beyond the other, and a little short of it.
    tool->pressAt(PLPoint(tree.minX() - 5, tree.maxY() + 5));
    const std::array<PLPoint, 2> ends
        = {PLPoint(tree.maxX() + 5, tree.minY() - 5),
           PLPoint(tree.maxX() - tree.width() * 0.02f, tree.minY() + tree.height() * 0.02f)};
    std::size_t next = 0;
    for (auto _ : state) {
        tool->dragTo(ends[next++ % ends.size()]);
        w.settleToFrame();
    }
    state.counters["highlighted"] = double(context->highlights().count());
    IXToolManager::sharedManager()->discardCurrentTool();
}
BENCHMARK(BM_RubberBandMove)->Unit(benchmark::kMillisecond);

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
        argc, argv, [] {}, closeAllDocuments);
}
