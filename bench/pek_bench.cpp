// Kernel-list building on result graphs of the bundled documents: the
// execution-context path of generation 5 (camera_*), the subgraph path of
// generations 6 and 7 (orba6_*, orba7_*) through initPekUtils, and that
// path's GraphUtil::init on its own.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "bundled_graphs.h"
#include "instruction_counts.h"
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

// Wide graphs of 25 and 200 program groups (plus the input system's) of 20
// kernels each, one execution context per group, by generation.
constexpr int kKernelsPerWideGroup = 20;

const VELT::IGraphConfig* wideGraph(int generation, int groups) {
    static WideGraph narrow5(25, kKernelsPerWideGroup, 5);
    static WideGraph wide5(200, kKernelsPerWideGroup, 5);
    static WideGraph narrow7(25, kKernelsPerWideGroup, 7);
    static WideGraph wide7(200, kKernelsPerWideGroup, 7);
    if (generation == 7) {
        return (groups == 200 ? wide7 : narrow7).graph();
    }
    return (groups == 200 ? wide5 : narrow5).graph();
}

void initPekUtilsLoop(benchmark::State& state, int generation) {
    const VELT::IGraphConfig* graph = wideGraph(generation, static_cast<int>(state.range(0)));
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
    state.counters["kernels"] = static_cast<double>((state.range(0) + 1) * kKernelsPerWideGroup);
}

// Cost per kernel should not grow with the width of the graph: the
// execution-context path of generation 5 and the subgraph path of generation 7.
void BM_InitPekUtilsWideGen5(benchmark::State& state) {
    initPekUtilsLoop(state, 5);
}

void BM_InitPekUtilsWideGen7(benchmark::State& state) {
    initPekUtilsLoop(state, 7);
}

// One initPekUtils on a wide graph, for instruction counts.
void initPekUtilsOnce(int generation, int groups) {
    const VELT::IGraphConfig* graph = wideGraph(generation, groups);
    if (graph == nullptr) {
        std::fprintf(stderr, "zovesk_bench: wide graph missing\n");
        std::exit(1);
    }
    VELT::QelPekUtils pek(true);
    if (pek.initPekUtils(graph) != 0) {
        std::fprintf(stderr, "zovesk_bench: initPekUtils failed\n");
        std::exit(1);
    }
}

// The graphs are built (and their names put into the key dictionary) before
// anything is counted.
[[maybe_unused]] const bool kCounted[] = {
    registerCountedOperation(
        {"init_pek_wide_gen5_25", [] { wideGraph(5, 25); }, [] { initPekUtilsOnce(5, 25); }, {}}),
    registerCountedOperation({"init_pek_wide_gen5_200",
                              [] { wideGraph(5, 200); },
                              [] { initPekUtilsOnce(5, 200); },
                              {}}),
    registerCountedOperation(
        {"init_pek_wide_gen7_25", [] { wideGraph(7, 25); }, [] { initPekUtilsOnce(7, 25); }, {}}),
    registerCountedOperation({"init_pek_wide_gen7_200",
                              [] { wideGraph(7, 200); },
                              [] { initPekUtilsOnce(7, 200); },
                              {}}),
};

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
BENCHMARK(BM_InitPekUtilsWideGen7)->Arg(25)->Arg(200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GraphUtilInitBundled)->Arg(6)->Arg(7)->Unit(benchmark::kMicrosecond);

}  // namespace zovesk_bench
