// Tree walks and key names: NodeIterator over nodes of 100 and 1,000 children,
// key2str for the keys of 1,000 children with generated names.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "velt_graph_config_node.h"
#include "velt_item_uid.h"
#include "velt_keys.h"
#include "velt_node_iterator.h"

namespace zovesk_bench {

namespace {

// A node whose children alternate between two keys and two types, with an
// attribute in between, as the blocks of a graph do.
std::unique_ptr<VELT::GraphConfigNode> nodeWithChildren(int count) {
    auto parent = std::make_unique<VELT::GraphConfigNode>();
    parent->addValue(VELT::kKeyName, std::string("parent"));
    for (int i = 0; i < count; ++i) {
        auto* child = new VELT::GraphConfigNode();
        child->addValue(VELT::kKeyType, std::string(i % 2 ? "port" : "kernel"));
        child->addValue(VELT::kKeyId, i);
        parent->insertDescendant(child, i % 3 ? VELT::kKeyPort : VELT::kKeyKernel);
    }
    return parent;
}

void BM_NodeIteratorFullWalk(benchmark::State& state) {
    const auto parent = nodeWithChildren(static_cast<int>(state.range(0)));
    int visited = 0;
    for (auto _ : state) {
        VELT::NodeIterator iterator(parent.get());
        while (iterator.iterateDescendants() != nullptr) {
            ++visited;
        }
    }
    benchmark::DoNotOptimize(visited);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_NodeIteratorWalkByType(benchmark::State& state) {
    const auto parent = nodeWithChildren(static_cast<int>(state.range(0)));
    int visited = 0;
    for (auto _ : state) {
        VELT::NodeIterator iterator(parent.get());
        while (iterator.iterateByType(VELT::kKeyPort) != nullptr) {
            ++visited;
        }
    }
    benchmark::DoNotOptimize(visited);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The keys of 1,000 children named as a descriptor names its blocks: each
// name is new to the dictionary and gets a generated key.
const std::vector<uint32_t>& generatedChildKeys() {
    static const std::vector<uint32_t> keys = [] {
        std::vector<uint32_t> result;
        for (int i = 0; i < 1000; ++i) {
            const std::string name = "bench_child_" + std::to_string(i);
            uint32_t key = VELT::ItemUID::str2key(name);
            if (key == VELT::kKeyNa) {
                key = VELT::ItemUID::generateKey(name);
            }
            result.push_back(key);
        }
        return result;
    }();
    return keys;
}

void BM_Key2strOfThousandChildren(benchmark::State& state) {
    const auto& keys = generatedChildKeys();
    for (auto _ : state) {
        for (uint32_t key : keys) {
            benchmark::DoNotOptimize(VELT::ItemUID::key2str(key));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys.size()));
    state.counters["dictionary"] = static_cast<double>(velt_key_map.size());
}

// The plain linear scan over the dictionary, for comparison.
const char* scannedKey2str(uint32_t key) {
    for (const auto& entry : velt_key_map) {
        if (entry.second == key) {
            return entry.first.c_str();
        }
    }
    return velt_key_map.begin()->first.c_str();
}

void BM_LinearScanKey2strOfThousandChildren(benchmark::State& state) {
    const auto& keys = generatedChildKeys();
    for (auto _ : state) {
        for (uint32_t key : keys) {
            benchmark::DoNotOptimize(scannedKey2str(key));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys.size()));
}

}  // namespace

BENCHMARK(BM_NodeIteratorFullWalk)->Arg(100)->Arg(1000);
BENCHMARK(BM_NodeIteratorWalkByType)->Arg(100)->Arg(1000);
BENCHMARK(BM_Key2strOfThousandChildren);
BENCHMARK(BM_LinearScanKey2strOfThousandChildren);

}  // namespace zovesk_bench
