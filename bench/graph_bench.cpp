// Result-graph construction from the bundled example documents.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "synthetic_documents.h"
#include "velt_graph_config.h"
#include "velt_graph_query_manager.h"
#include "velt_parser.h"

namespace zovesk_bench {

namespace {

std::unique_ptr<VELT::IGraphConfig> readBundled(const std::string& name) {
    VELT::VELTParser parser;
    VELT::IGraphConfig* root = nullptr;
    parser.parseVELTXmlFile(examplePath(name).c_str(), &root);
    return std::unique_ptr<VELT::IGraphConfig>(root);
}

// One result graph per iteration for the settings entry with the given key.
void BM_CreateGraphBundled(benchmark::State& state) {
    const auto descriptor = readBundled("camera_descriptor.xml");
    const auto settings = readBundled("camera_settings.xml");
    VELT::GraphQueryManager manager;
    manager.setGraphDescriptor(descriptor.get());
    manager.setGraphSettings(settings.get());
    std::vector<VELT::IGraphConfig*> entries;
    if (!descriptor || !settings ||
        manager.queryGraphs({{VELT::ItemUID("key"), std::to_string(state.range(0))}}, entries,
                            true) != 0) {
        state.SkipWithError("bundled documents or entry missing");
        return;
    }
    for (auto _ : state) {
        VELT::IGraphConfig* graph = nullptr;
        const int status = manager.createGraph(entries.front(), &graph);
        VELT::GraphQueryManager::destroyGraph(graph);
        if (status != 0) {
            state.SkipWithError("createGraph failed");
            break;
        }
    }
}

}  // namespace

// The preview/capture graph (dynamic connections) and the raw graph (static).
BENCHMARK(BM_CreateGraphBundled)->Arg(6000)->Arg(6100)->Unit(benchmark::kMicrosecond);

}  // namespace zovesk_bench
