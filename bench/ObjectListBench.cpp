// The object list on the generated map of about 100,000 branches (bench/make_large_map.py;
// IX_LARGE_MAP names a package, else one is written to a temporary folder), 10,000 of whose
// branches carry a web link: selecting those branches until the list's pane has painted
// (target 200 ms), and the refresh after one link of the list changed its title.
#include "BenchSupport.h"

#include "BenchInspectedController.h"
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXReferenceNode.h"
#include "Inspectors/IXCellListView.h"
#include "Inspectors/IXInspectedController.h"
#include "Inspectors/IXObjectListInspector.h"
#include "Platform/Core/PLError.h"
#include "Platform/Core/PLIdentity.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Core/PLUndoManager.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

constexpr int LinkedBranches = 10000;

using BenchController = BenchInspectedController;

void collect(const std::shared_ptr<IXBranchNode>& branch, IXSelection::NodeList& into)
{
    into.append(branch);
    for (const auto& child : branch->branches()) collect(child, into);
}

void turnEventLoop()
{
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Fixture {
    QTemporaryDir folder;
    BenchController controller;
    std::unique_ptr<IXObjectListInspector> inspector;
    QScrollArea pane;
    IXSelection::NodeList linked;
    bool ready = false;

    Fixture()
    {
        QString path = qEnvironmentVariable("IX_LARGE_MAP");
        if (path.isEmpty()) {
            path = folder.filePath(QStringLiteral("large.ixd"));
            QProcess::execute(QStringLiteral("python3"),
                              {QStringLiteral(IX_SOURCE_DIR "/bench/make_large_map.py"), path});
        }
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return;
        PLError error;
        controller.m_document = IXDocumentNode::fromZipData(file.readAll(), &error);
        if (!controller.m_document) return;
        controller.m_layout = controller.m_document->layoutForName(QStringLiteral("mindmap"));
        IXSelection::NodeList branches;
        for (const auto& root : controller.m_document->rootBranches())
            if (auto branch = std::dynamic_pointer_cast<IXBranchNode>(root)) collect(branch, branches);
        // Every tenth branch gets a link, so that the selection is spread over the map.
        for (qsizetype i = 0; i < branches.size() && linked.size() < LinkedBranches; i += 10) {
            auto branch = std::static_pointer_cast<IXBranchNode>(branches[i]);
            auto link = branch->addAttachmentWithType(IXReferenceNode::SubtypeWeb);
            link->setTargetRef(QStringLiteral("https://example.org/%1").arg(i));
            linked.append(branch);
        }
        controller.m_document->setUndoManager(&controller.m_undo);
        inspector = std::make_unique<IXObjectListInspector>();
        inspector->setTracksControllerSelection(true);
        inspector->setController(&controller);
        pane.setWidget(inspector->inspectorView());
        pane.setWidgetResizable(false);
        pane.resize(300, 800);
        pane.show();
        turnEventLoop();
        ready = linked.size() == LinkedBranches;
    }
    ~Fixture()
    {
        pane.takeWidget();
        inspector.reset();
        if (controller.m_document) controller.m_document->setUndoManager(nullptr);
    }

    // The pane's visible area, painted as the window would.
    void paint()
    {
        QImage frame(pane.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&frame);
        pane.viewport()->render(&painter);
    }
};

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

void BM_ObjectListSelectLinkedBranches(benchmark::State& state)
{
    Fixture& f = fixture();
    if (!f.ready) {
        state.SkipWithError("no large map: python3 and bench/make_large_map.py are needed");
        return;
    }
    for (auto _ : state) {
        f.controller.select(IXSelection::selectionWithArray(f.linked));
        turnEventLoop();
        f.paint();
        state.PauseTiming();
        if (f.inspector->listView()->count() != LinkedBranches) state.SkipWithError("the list lacks rows");
        f.controller.select(IXSelection());
        turnEventLoop();
        state.ResumeTiming();
    }
    state.counters["rows"] = LinkedBranches;
}
BENCHMARK(BM_ObjectListSelectLinkedBranches)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ObjectListTitleChange(benchmark::State& state)
{
    Fixture& f = fixture();
    if (!f.ready) {
        state.SkipWithError("no large map: python3 and bench/make_large_map.py are needed");
        return;
    }
    f.controller.select(IXSelection::selectionWithArray(f.linked));
    turnEventLoop();
    const std::shared_ptr<IXReferenceNode> link = f.inspector->references()[LinkedBranches / 2];
    int round = 0;
    for (auto _ : state) {
        link->setTitle(QStringLiteral("Link %1").arg(++round));
        turnEventLoop();
        f.paint();
    }
    f.controller.m_undo.removeAllActions();
    f.controller.select(IXSelection());
    turnEventLoop();
}
BENCHMARK(BM_ObjectListTitleChange)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return BenchSupport::runInApplication<QApplication>(
        argc, argv, [] {}, [] { sharedFixture().reset(); });
}
