// Settings queries over the 2,000 entries of the synthetic settings document.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "synthetic_documents.h"
#include "velt_graph_config.h"
#include "velt_graph_query_manager.h"
#include "velt_parser.h"

namespace zovesk_bench {

namespace {

struct ReadDocuments {
    std::unique_ptr<VELT::IGraphConfig> descriptor;
    std::unique_ptr<VELT::IGraphConfig> settings;
};

const ReadDocuments& readSynthetic() {
    static const ReadDocuments documents = [] {
        VELT::VELTParser parser;
        VELT::IGraphConfig* descriptor = nullptr;
        VELT::IGraphConfig* settings = nullptr;
        parser.parseVELTXmlFile(syntheticDocuments().descriptorXml.c_str(), &descriptor);
        parser.parseVELTXmlFile(syntheticDocuments().settingsXml.c_str(), &settings);
        return ReadDocuments{std::unique_ptr<VELT::IGraphConfig>(descriptor),
                             std::unique_ptr<VELT::IGraphConfig>(settings)};
    }();
    return documents;
}

void runQuery(benchmark::State& state, const VELT::GraphQueryCriteria& criteria, bool strict) {
    const ReadDocuments& documents = readSynthetic();
    VELT::GraphQueryManager manager;
    manager.setGraphDescriptor(documents.descriptor.get());
    manager.setGraphSettings(documents.settings.get());
    size_t found = 0;
    for (auto _ : state) {
        std::vector<VELT::IGraphConfig*> results;
        manager.queryGraphs(criteria, results, strict);
        found = results.size();
    }
    state.counters["matches"] = static_cast<double>(found);
    state.SetItemsProcessed(state.iterations() * kSettingsEntries);
}

// Entry attributes only: graph id and frame rate.
void BM_QueryGraphsEntryAttributes(benchmark::State& state) {
    runQuery(state, {{VELT::ItemUID("id"), "1042"}, {VELT::ItemUID("fps"), "30"}}, true);
}

// Nested paths, as a camera layer asks for its output streams.
void BM_QueryGraphsNestedPaths(benchmark::State& state) {
    runQuery(state,
             {{VELT::ItemUID("video:width"), "1920"},
              {VELT::ItemUID("video:format"), "GRBG_10"},
              {VELT::ItemUID("sensor:mode_id"), "mode_4"}},
             true);
}

}  // namespace

BENCHMARK(BM_QueryGraphsEntryAttributes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QueryGraphsNestedPaths)->Unit(benchmark::kMicrosecond);

}  // namespace zovesk_bench
