// Result-graph construction from the bundled example documents.

#include <benchmark/benchmark.h>

#include "bundled_graphs.h"
#include "velt_graph_config.h"
#include "velt_graph_query_manager.h"

namespace zovesk_bench {

namespace {

// One result graph per iteration for the settings entry with the given key.
void BM_CreateGraphBundled(benchmark::State& state) {
    BundledDocuments documents("camera", static_cast<int>(state.range(0)));
    createGraphEachIteration(state, documents);
}

}  // namespace

// The preview/capture graph (dynamic connections) and the raw graph (static).
BENCHMARK(BM_CreateGraphBundled)->Arg(6000)->Arg(6100)->Unit(benchmark::kMicrosecond);

}  // namespace zovesk_bench
