// Reading a style sheet part with one node style per branch: each "style" element finds its
// node through the document's id index, so reading does the same steps per style at 1,000
// and at 100,000 branches (the reported complexity is linear). What still grows per style
// at the largest size is memory: the parser's tree and the styles come from a heap that the
// process must first fault in, and most of the time goes to the XML parser. Looking up an
// attribute that only the canvas holds walks the whole chain of a deep branch in a layout
// sheet.
#include "BenchSupport.h"

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXStyleSheetNode.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

class BenchBranch : public IXNode {
public:
    explicit BenchBranch(int depth) : m_depth(depth) {}
    bool isBranch() const override { return true; }
    int level() const override { return m_depth; }

private:
    int m_depth;
};

// A document of n branches (depths cycling 0-3) and a style sheet part with a style for each.
struct StyledMap {
    std::shared_ptr<IXDocumentNode> document = std::make_shared<IXDocumentNode>();

    explicit StyledMap(int branches)
    {
        QByteArray xml = "<?xml version=\"1.0\"?>\n<styles xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                         "xsi:noNamespaceSchemaLocation=\"styles.xsd\" version=\"1\" revision=\"1\">"
                         "<canvas><a n=\"document.gap.vertical\" v=\"16\"/></canvas>";
        xml.reserve(branches * 160);
        IXDocumentNode::NodeList list;
        for (int i = 0; i < branches; ++i) {
            auto branch = std::make_shared<BenchBranch>(i % 4);
            xml += "<style ref=\"" + branch->uniqueId().toLatin1() + "\"><a n=\"branch.line.color\" t=\"c\" v=\"1,0.5,0\"/>"
                   "<a n=\"branch.line.width\" v=\"2\"/></style>";
            list.append(branch);
        }
        xml += "</styles>";
        // One replacement of the list attaches them all in one pass.
        document->setBranches(list);
        document->packageParts().setData(xml, QStringLiteral("document.styles.xml"));
    }
    ~StyledMap() { document->setBranches({}); }
};

void BM_ReadSheetOfNodeStyles(benchmark::State& state)
{
    StyledMap map(int(state.range(0)));
    for (auto _ : state) {
        std::shared_ptr<IXStyleSheetNode> sheet =
            IXStyleSheetNode::fromDocument(map.document.get(), map.document.get(), QStringLiteral("document.styles"));
        benchmark::DoNotOptimize(sheet.get());
        state.PauseTiming();
        sheet->setParentNode(nullptr);
        sheet.reset();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadSheetOfNodeStyles)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

void BM_LookUpThroughTheWholeChain(benchmark::State& state)
{
    auto document = std::make_shared<IXDocumentNode>();
    auto branch = std::make_shared<BenchBranch>(5);
    document->addRootBranch(branch);
    const auto style = document->layoutForName(IXLayoutMindMapName)->styleSheet()->styleForNode(branch.get());
    // "document.bgcolor" is held by the canvas only.
    for (auto _ : state) benchmark::DoNotOptimize(style->documentPageColor());
    document->removeRootBranch(branch);
}
BENCHMARK(BM_LookUpThroughTheWholeChain);

}  // namespace

// Sheets post their deferred notices to the run loop, which needs the application object.
int main(int argc, char** argv)
{
    return BenchSupport::runInGuiApplication(argc, argv);
}
