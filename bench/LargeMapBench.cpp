// A map of about 100,000 branches (titles, some notes, links and icons): building it through
// the editing operations, saving it to package bytes, opening those bytes again with schema
// validation, closing it, and selecting all of it.
//
// Opening reports its ratio to libxml2's own parse and validation of the same "contents.xml"
// (counter "ratio_to_libxml2"; the model's share of opening is the rest, so a ratio of 2 or
// less means the model costs no more than libxml2 does). Building and opening report the heap
// they keep per branch ("bytes_per_branch", from the allocator's count of bytes in use).
// Closing and selecting all run at several sizes so that their growth shows: doubling the map
// about doubles the time (somewhat more once the tables outgrow the caches), never quadruples.
#include "BenchSupport.h"
#include "Platform/Core/PLAllocatorTuning.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXSelection.h"
#include "Utilities/UTZipArchive.h"

#include <QElapsedTimer>
#include <QFile>

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

size_t heapInUse()
{
    return PLAllocatorTuning::allocatedBytes();
}

// 10 root branches, each with 10 main branches of 10 sub-branches, each of those with
// `leaves` leaves: 1,110 + 1,000 * leaves branches.
struct MapShape {
    int leaves;
    int branchCount() const { return 10 + 100 + 1000 + 1000 * leaves; }
};

constexpr MapShape FullSize{99};  // 100,110 branches

void decorate(IXBranchNode& branch, int number)
{
    branch.setTitle(QStringLiteral("Branch number %1").arg(number));
    if (number % 5 == 0) branch.appendIcon(number % 10 == 0 ? QStringLiteral("flag") : QStringLiteral("star"));
    if (number % 20 == 0) {
        auto link = std::make_shared<IXReferenceNode>();
        link->setSubtype(IXReferenceNode::SubtypeWeb);
        link->setTargetRef(QStringLiteral("http://example.org/page/%1").arg(number));
        branch.addReference(link);
    }
    if (number % 100 == 0) branch.addTextnote()->setTextString(QStringLiteral("Note of branch %1.\nA second line.").arg(number));
}

std::shared_ptr<IXDocumentNode> buildMap(MapShape shape)
{
    auto document = std::make_shared<IXDocumentNode>();
    document->setUserName(QStringLiteral("Bench"));
    int number = 0;
    for (int r = 0; r < 10; ++r) {
        auto root = std::make_shared<IXBranchNode>();
        document->addRootBranch(root);
        decorate(*root, number++);
        for (int m = 0; m < 10; ++m) {
            auto main = std::make_shared<IXBranchNode>();
            root->insertBranch(main, -1);
            decorate(*main, number++);
            for (int s = 0; s < 10; ++s) {
                auto sub = std::make_shared<IXBranchNode>();
                main->insertBranch(sub, -1);
                decorate(*sub, number++);
                for (int l = 0; l < shape.leaves; ++l) {
                    auto leaf = std::make_shared<IXBranchNode>();
                    sub->insertBranch(leaf, -1);
                    decorate(*leaf, number++);
                }
            }
        }
    }
    return document;
}

// The package of the full-size map, made once.
const QByteArray& fullSizePackage()
{
    static const QByteArray package = [] {
        const auto document = buildMap(FullSize);
        return document->zipData().value_or(QByteArray());
    }();
    return package;
}

void collectAll(IXDocumentNode& document, IXSelection::NodeList& nodes)
{
    std::vector<IXBranchNode*> pending;
    for (auto it = document.rootBranches().crbegin(); it != document.rootBranches().crend(); ++it)
        pending.push_back(static_cast<IXBranchNode*>(it->get()));
    while (!pending.empty()) {
        IXBranchNode* branch = pending.back();
        pending.pop_back();
        nodes.append(branch->shared_from_this());
        for (auto it = branch->branches().crbegin(); it != branch->branches().crend(); ++it) pending.push_back(it->get());
    }
}

void BM_LargeMapBuild(benchmark::State& state)
{
    BenchSupport::useSourceResources();
    double bytesPerBranch = 0;
    for (auto _ : state) {
        const size_t before = heapInUse();
        auto document = buildMap(FullSize);
        state.PauseTiming();
        bytesPerBranch = double(heapInUse() - before) / FullSize.branchCount();
        document.reset();
        state.ResumeTiming();
    }
    state.counters["branches"] = FullSize.branchCount();
    state.counters["bytes_per_branch"] = bytesPerBranch;
}
BENCHMARK(BM_LargeMapBuild)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_LargeMapSave(benchmark::State& state)
{
    BenchSupport::useSourceResources();
    const auto document = buildMap(FullSize);
    qsizetype size = 0;
    for (auto _ : state) {
        const std::optional<QByteArray> package = document->zipData();
        size = package ? package->size() : 0;
        benchmark::DoNotOptimize(package);
    }
    state.counters["package_bytes"] = double(size);
}
BENCHMARK(BM_LargeMapSave)->Unit(benchmark::kMillisecond)->Iterations(3);

// libxml2 alone: parsing "contents.xml" as the model's parser does (same options) and
// validating it against the (already compiled) schema.
double libxml2ParseAndValidateSeconds(const QByteArray& contents, int runs)
{
    const QByteArray schemaPath = QFile::encodeName(BenchSupport::resourceFolder() + QStringLiteral("/XMLSchema/contents.xsd"));
    xmlSchemaParserCtxtPtr parser = xmlSchemaNewParserCtxt(schemaPath.constData());
    xmlSchemaPtr schema = xmlSchemaParse(parser);
    xmlSchemaFreeParserCtxt(parser);
    if (!schema) return 0;
    QElapsedTimer timer;
    timer.start();
    for (int run = 0; run < runs; ++run) {
        xmlDocPtr doc = xmlReadMemory(contents.constData(), int(contents.size()), "contents.xml", nullptr,
                                      XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
        xmlSchemaValidCtxtPtr validator = xmlSchemaNewValidCtxt(schema);
        const int result = xmlSchemaValidateDoc(validator, doc);
        benchmark::DoNotOptimize(result);
        xmlSchemaFreeValidCtxt(validator);
        xmlFreeDoc(doc);
    }
    const double seconds = timer.nsecsElapsed() / 1e9 / runs;
    xmlSchemaFree(schema);
    return seconds;
}

void BM_LargeMapOpen(benchmark::State& state)
{
    BenchSupport::useSourceResources();
    const QByteArray& package = fullSizePackage();
    double seconds = 0;
    double bytesPerBranch = 0;
    int branches = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const size_t before = heapInUse();
        PLError error;
        std::shared_ptr<IXDocumentNode> document = IXDocumentNode::fromZipData(package, &error);
        seconds += timer.nsecsElapsed() / 1e9;
        state.PauseTiming();
        if (!document || error) {
            state.SkipWithError("the package did not open");
            return;
        }
        bytesPerBranch = double(heapInUse() - before);
        IXSelection::NodeList all;
        collectAll(*document, all);
        branches = int(all.size());
        bytesPerBranch /= branches;
        all.clear();
        document.reset();
        state.ResumeTiming();
    }
    const double openSeconds = seconds / double(state.iterations());
    const QByteArray contents = UTZipArchive::fromData(package)->dataByName(QStringLiteral("contents.xml")).value_or(QByteArray());
    const double libxml2Seconds = libxml2ParseAndValidateSeconds(contents, 3);
    state.counters["branches"] = branches;
    state.counters["contents_bytes"] = double(contents.size());
    state.counters["libxml2_ms"] = libxml2Seconds * 1000;
    state.counters["ratio_to_libxml2"] = libxml2Seconds > 0 ? openSeconds / libxml2Seconds : 0;
    state.counters["bytes_per_branch"] = bytesPerBranch;
}
BENCHMARK(BM_LargeMapOpen)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LibXml2ParseAndValidate(benchmark::State& state)
{
    BenchSupport::useSourceResources();
    const QByteArray contents =
        UTZipArchive::fromData(fullSizePackage())->dataByName(QStringLiteral("contents.xml")).value_or(QByteArray());
    for (auto _ : state) benchmark::DoNotOptimize(libxml2ParseAndValidateSeconds(contents, 1));
}
BENCHMARK(BM_LibXml2ParseAndValidate)->Unit(benchmark::kMillisecond)->Iterations(3);

MapShape shapeOf(const benchmark::State& state)
{
    return MapShape{int(state.range(0))};
}

void BM_LargeMapClose(benchmark::State& state)
{
    BenchSupport::useSourceResources();
    const MapShape shape = shapeOf(state);
    for (auto _ : state) {
        state.PauseTiming();
        auto document = buildMap(shape);
        state.ResumeTiming();
        document.reset();
    }
    state.SetComplexityN(shape.branchCount());
}
BENCHMARK(BM_LargeMapClose)->Arg(24)->Arg(49)->Arg(99)->Unit(benchmark::kMillisecond)->Iterations(2)->Complexity();

// Selecting every branch, then asking what commands ask of it: the top branches, membership
// of every node, and removing one node.
void BM_LargeMapSelectAll(benchmark::State& state)
{
    BenchSupport::useSourceResources();
    const MapShape shape = shapeOf(state);
    const auto document = buildMap(shape);
    for (auto _ : state) {
        IXSelection::NodeList nodes;
        collectAll(*document, nodes);
        const IXSelection all(nodes);
        benchmark::DoNotOptimize(all.allTopBranches());
        qsizetype members = 0;
        for (const auto& node : nodes) members += all.containsNode(node.get()) ? 1 : 0;
        benchmark::DoNotOptimize(members);
        benchmark::DoNotOptimize(all.selectionByRemovingNode(nodes[nodes.size() / 2].get()));
    }
    state.SetComplexityN(shape.branchCount());
}
BENCHMARK(BM_LargeMapSelectAll)->Arg(24)->Arg(49)->Arg(99)->Arg(199)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace

// The package reader shows schema errors through the application's services and the
// pictures need a GUI application.
int main(int argc, char** argv)
{
    return BenchSupport::runInGuiApplication(argc, argv);
}
