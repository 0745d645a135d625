// Look-ups by id in big maps: nodeForId and branchForId do the same work on a map of 1,000
// and of 100,000 branches, since the document indexes its attached nodes by id; what grows
// between the two sizes is cache misses of the bigger table and of nodes spread over more
// memory, not more steps. Attaching and detaching a whole map shows what keeping the index
// costs (mostly hashing the ids). Adding root branches one at a time costs the same per
// branch at any size.
#include "DocumentModel/IXDocumentNode.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

// A branch as far as attaching goes: it owns its children and takes them along.
class BenchBranch : public IXNode {
public:
    bool isBranch() const override { return true; }
    void add(const std::shared_ptr<IXNode>& child)
    {
        child->setParentNode(this);
        children.push_back(child);
    }
    void attachToDocumentNode(IXDocumentNode* document) override
    {
        IXNode::attachToDocumentNode(document);
        for (const auto& child : children) child->attachToDocumentNode(document);
    }
    void detachFromDocumentNode() override
    {
        for (const auto& child : children) child->detachFromDocumentNode();
        IXNode::detachFromDocumentNode();
    }
    std::vector<std::shared_ptr<IXNode>> children;
};

// Root branches of 100 sub-branches each; every branch has its id.
struct Map {
    explicit Map(int branches)
    {
        for (int made = 0; made < branches; made += 100) {
            auto root = std::make_shared<BenchBranch>();
            ids.push_back(root->uniqueId());
            for (int i = 1; i < 100 && made + i < branches; ++i) {
                auto child = std::make_shared<BenchBranch>();
                ids.push_back(child->uniqueId());
                root->add(child);
            }
            roots.push_back(root);
        }
    }
    void attach()
    {
        for (const auto& root : roots) document->addRootBranch(root);
    }
    std::shared_ptr<IXDocumentNode> document = std::make_shared<IXDocumentNode>();
    std::vector<std::shared_ptr<BenchBranch>> roots;
    std::vector<QString> ids;
};

void BM_NodeForId(benchmark::State& state)
{
    Map map(static_cast<int>(state.range(0)));
    map.attach();
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(map.document->nodeForId(map.ids[next]));
        next = (next + 7919) % map.ids.size();
    }
}
BENCHMARK(BM_NodeForId)->Arg(1000)->Arg(100000);

void BM_BranchForIdMissing(benchmark::State& state)
{
    Map map(static_cast<int>(state.range(0)));
    map.attach();
    const QString missing = IXDocumentNode::newUniqueId();
    for (auto _ : state) benchmark::DoNotOptimize(map.document->branchForId(missing));
}
BENCHMARK(BM_BranchForIdMissing)->Arg(1000)->Arg(100000);

void BM_AttachAndDetachMap(benchmark::State& state)
{
    Map map(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        map.attach();
        map.document->setBranches({});
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AttachAndDetachMap)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Root branches added one at a time to an empty document: each add costs the same whatever
// the number already listed, so the time grows linearly with the count.
void BM_AddRootBranchesOneByOne(benchmark::State& state)
{
    std::vector<std::shared_ptr<IXNode>> branches;
    for (int64_t i = 0; i < state.range(0); ++i) branches.push_back(std::make_shared<BenchBranch>());
    for (auto _ : state) {
        const auto document = std::make_shared<IXDocumentNode>();
        for (const auto& branch : branches) document->addRootBranch(branch);
        state.PauseTiming();
        document->setBranches({});
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_AddRootBranchesOneByOne)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace

BENCHMARK_MAIN();
