// Kernel-list building on result graphs of the bundled documents: the
// execution-context path of generation 5 (camera_*), the subgraph path of
// generations 6 and 7 (orba6_*, orba7_*) through initPekUtils, and that
// path's GraphUtil::init on its own.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bundled_graphs.h"
#include "velt_graph_util.h"
#include "velt_isp_utils.h"
#include "velt_keys.h"
#include "velt_qel_pek_utils.h"
#include "wide_graph.h"

namespace zovesk_bench {

namespace {

// The bundled graphs by benchmark argument: generation-5 entries 6000 and
// 6100, and the single entry (7000) of the generation 6 and 7 documents.
BundledGraph& bundledGraph(int argument) {
    static BundledGraph camera6000("camera", 6000);
    static BundledGraph camera6100("camera", 6100);
    static BundledGraph orba6("orba6", 7000);
    static BundledGraph orba7("orba7", 7000);
    switch (argument) {
        case 6000:
            return camera6000;
        case 6100:
            return camera6100;
        case 6:
            return orba6;
        default:
            return orba7;
    }
}

// A fresh builder initialised with the graph per iteration, as a camera
// layer does per configuration.
void BM_InitPekUtilsBundled(benchmark::State& state) {
    const VELT::IGraphConfig* graph = bundledGraph(static_cast<int>(state.range(0))).graph();
    if (graph == nullptr) {
        state.SkipWithError("bundled graph missing");
        return;
    }
    for (auto _ : state) {
        VELT::QelPekUtils pek(true);
        if (pek.initPekUtils(graph) != 0) {
            state.SkipWithError("initPekUtils failed");
            break;
        }
    }
}

// A generation-5 graph of many program groups of 20 kernels each, one
// execution context per group: cost per kernel should not grow with width.
void BM_InitPekUtilsWideGen5(benchmark::State& state) {
    static WideGraph narrow(25, 20);
    static WideGraph wide(200, 20);
    const VELT::IGraphConfig* graph = (state.range(0) == 200 ? wide : narrow).graph();
    if (graph == nullptr) {
        state.SkipWithError("wide graph missing");
        return;
    }
    for (auto _ : state) {
        VELT::QelPekUtils pek(true);
        if (pek.initPekUtils(graph) != 0) {
            state.SkipWithError("initPekUtils failed");
            break;
        }
    }
}

void BM_GraphUtilInitBundled(benchmark::State& state) {
    const VELT::IGraphConfig* graph = bundledGraph(static_cast<int>(state.range(0))).graph();
    const auto isp = graph != nullptr ? VELT::IspUtils::Factory(graph) : nullptr;
    if (!isp) {
        state.SkipWithError("bundled graph missing");
        return;
    }
    const VELT::GdfVersion version = isp->getOrbaVersion();
    for (auto _ : state) {
        VELT::GraphUtil util;
        if (util.init(VELT::kKeyStreamId, graph, version) != 0) {
            state.SkipWithError("GraphUtil::init failed");
            break;
        }
    }
}

}  // namespace

BENCHMARK(BM_InitPekUtilsBundled)
    ->Arg(6000)
    ->Arg(6100)
    ->Arg(6)
    ->Arg(7)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InitPekUtilsWideGen5)->Arg(25)->Arg(200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GraphUtilInitBundled)->Arg(6)->Arg(7)->Unit(benchmark::kMicrosecond);

}  // namespace zovesk_bench
