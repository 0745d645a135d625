// The branch inspector on the generated map of about 100,000 branches that MapLayoutBench
// writes to the temporary folder (run it once first), with the inspector's view shown
// offscreen: a selection change of one branch and its refresh (target 5 ms), selecting every
// branch and the refresh (100 ms), and a colour chosen in the well for every branch, one undo
// step, with its refresh ("change_ms", 1 s) and the undo of that step ("undo_ms", 1 s).
#include "BenchInspectedController.h"
#include "BenchSupport.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "Inspectors/IXBranchInspector.h"
#include "Inspectors/IXColorWell.h"
#include "Inspectors/IXInspectedController.h"
#include "Platform/Core/PLError.h"
#include "Platform/Core/PLIdentity.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Core/PLUndoManager.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <benchmark/benchmark.h>

namespace {

class BenchController : public BenchInspectedController {
public:
    IXSelection::NodeList m_branches;
};

void collect(const std::shared_ptr<IXBranchNode>& branch, IXSelection::NodeList& into)
{
    into.append(branch);
    for (const auto& child : branch->branches()) collect(child, into);
}

// Lets the event loop turn once, so that the posted refresh runs and the undo step closes.
void turnEventLoop()
{
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
}

// The map opened once per process, with the inspector bound to it and its view on screen.
struct Fixture {
    BenchController controller;
    std::unique_ptr<IXBranchInspector> inspector;
    QWidget host;
    bool ready = false;

    Fixture()
    {
        BenchSupport::useSourceResources();
        QFile file(QDir::temp().filePath(QStringLiteral("MapLayoutBench-100k.ixd")));
        if (!file.open(QIODevice::ReadOnly)) return;
        PLError error;
        controller.m_document = IXDocumentNode::fromZipData(file.readAll(), &error);
        if (!controller.m_document) return;
        controller.m_document->setUndoManager(&controller.m_undo);
        controller.m_layout = controller.m_document->layoutForName(QStringLiteral("mindmap"));
        for (const auto& root : controller.m_document->rootBranches())
            if (auto branch = std::dynamic_pointer_cast<IXBranchNode>(root)) collect(branch, controller.m_branches);
        inspector = std::make_unique<IXBranchInspector>();
        inspector->setTracksControllerSelection(true);
        inspector->setController(&controller);
        inspector->inspectorView()->setParent(&host);
        host.resize(300, 600);
        host.show();
        turnEventLoop();
        ready = controller.m_branches.size() > 100000;
    }
    ~Fixture()
    {
        inspector.reset();
        if (controller.m_document) controller.m_document->setUndoManager(nullptr);
    }
};

// Made on first use and taken apart before the application object.
std::unique_ptr<Fixture>& sharedFixture()
{
    static std::unique_ptr<Fixture> shared;
    return shared;
}

Fixture& fixture()
{
    if (!sharedFixture()) sharedFixture() = std::make_unique<Fixture>();
    return *sharedFixture();
}

void BM_BranchInspectorSelectOne(benchmark::State& state)
{
    Fixture& f = fixture();
    if (!f.ready) {
        state.SkipWithError("no generated package: run MapLayoutBench once first");
        return;
    }
    qsizetype index = 1;
    for (auto _ : state) {
        index = (index * 7919) % f.controller.m_branches.size();
        f.controller.select(IXSelection::selectionWithNode(f.controller.m_branches[index]));
        turnEventLoop();
    }
}
BENCHMARK(BM_BranchInspectorSelectOne)->Unit(benchmark::kMillisecond);

void BM_BranchInspectorSelectAll(benchmark::State& state)
{
    Fixture& f = fixture();
    if (!f.ready) {
        state.SkipWithError("no generated package: run MapLayoutBench once first");
        return;
    }
    for (auto _ : state) {
        f.controller.select(IXSelection::selectionWithArray(f.controller.m_branches));
        turnEventLoop();
        state.PauseTiming();
        f.controller.select(IXSelection());
        turnEventLoop();
        state.ResumeTiming();
    }
    state.counters["branches"] = double(f.controller.m_branches.size());
}
BENCHMARK(BM_BranchInspectorSelectAll)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_BranchInspectorColorAll(benchmark::State& state)
{
    Fixture& f = fixture();
    if (!f.ready) {
        state.SkipWithError("no generated package: run MapLayoutBench once first");
        return;
    }
    f.controller.select(IXSelection::selectionWithArray(f.controller.m_branches));
    turnEventLoop();
    int round = 0;
    for (auto _ : state) {
        const PLColor color = PLColor::rgb(0.1f * float(++round % 10), 0.5f, 0.2f);
        QElapsedTimer timer;
        timer.start();
        f.inspector->lineColorWell()->takeColor(color);
        turnEventLoop();
        state.counters["change_ms"] = double(timer.nsecsElapsed()) / 1e6;
        timer.restart();
        f.controller.m_undo.undo();
        turnEventLoop();
        state.counters["undo_ms"] = double(timer.nsecsElapsed()) / 1e6;
        state.PauseTiming();
        state.counters["steps_left"] = f.controller.m_undo.canUndo() ? 1 : 0;
        f.controller.m_undo.removeAllActions();
        state.ResumeTiming();
    }
    f.controller.select(IXSelection());
    turnEventLoop();
}
BENCHMARK(BM_BranchInspectorColorAll)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    sharedFixture().reset();
    benchmark::Shutdown();
    return 0;
}
