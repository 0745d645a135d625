// The cost of notifications in a big map: every branch has an observer filtered on its own
// node. A notification from one node should cost the same whatever the size of the map, and
// removing every observer (closing the map) should grow linearly with it. What growth remains
// between 1,000 and 100,000 nodes is cache misses of the bigger tables, not more work; the
// call without a sender, which reaches every observer, shows what visiting all of them costs.
#include "Utilities/UTBroadcaster.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct Node {
    virtual ~Node() = default;
};

class NodeProtocol : public virtual UTObserver {
public:
    virtual void notifiedOfNode(const Node* node, const std::string& property) {}
    virtual void notifiedOfNodeMoved(const Node* node) {}
};

constexpr auto NodeChanged = UT_NOTIFICATION(NodeProtocol, notifiedOfNode, "didChangeProperty:");
constexpr auto NodeMoved = UT_NOTIFICATION(NodeProtocol, notifiedOfNodeMoved, "");

class BranchWatcher : public NodeProtocol {
public:
    bool respondsToSelector(std::string_view selector) const override { return isAnyOf(selector, {NodeChanged, NodeMoved}); }
    void notifiedOfNode(const Node*, const std::string&) override { ++calls; }
    long calls = 0;
};

struct Map {
    explicit Map(std::size_t size) : nodes(size), watchers(size)
    {
        for (std::size_t i = 0; i < size; ++i) broadcaster.addObserverTarget(&watchers[i], &nodes[i]);
        // Build the responder sets as a running map would have.
        broadcaster.send(NodeChanged, &nodes[0], std::string("title"));
        broadcaster.send(NodeMoved, &nodes[0]);
    }
    std::vector<Node> nodes;
    std::vector<BranchWatcher> watchers;
    UTBroadcaster broadcaster;
};

void BM_NotifyOneNode(benchmark::State& state)
{
    Map map(static_cast<std::size_t>(state.range(0)));
    const std::string property = "title";
    std::size_t i = 0;
    for (auto _ : state) {
        map.broadcaster.send(NodeChanged, &map.nodes[i], property);
        i = (i + 7919) % map.nodes.size();
    }
}
BENCHMARK(BM_NotifyOneNode)->RangeMultiplier(10)->Range(1000, 100000);

void BM_NotifyEveryNode(benchmark::State& state)
{
    Map map(static_cast<std::size_t>(state.range(0)));
    const std::string property = "title";
    for (auto _ : state) map.broadcaster.send(NodeChanged, static_cast<const Node*>(nullptr), property);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_NotifyEveryNode)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_RemoveEveryNode(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto map = std::make_unique<Map>(static_cast<std::size_t>(state.range(0)));
        state.ResumeTiming();
        for (const Node& node : map->nodes) map->broadcaster.removeAnyObserversWithTarget(&node);
        benchmark::DoNotOptimize(map->broadcaster.observerCount());
        state.PauseTiming();
        map.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RemoveEveryNode)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

void BM_RemoveEveryObserver(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto map = std::make_unique<Map>(static_cast<std::size_t>(state.range(0)));
        state.ResumeTiming();
        for (BranchWatcher& watcher : map->watchers) map->broadcaster.removeObserver(&watcher);
        benchmark::DoNotOptimize(map->broadcaster.observerCount());
        state.PauseTiming();
        map.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RemoveEveryObserver)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
