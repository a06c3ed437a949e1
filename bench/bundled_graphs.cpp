// Reading the bundled documents and building result graphs from them.

#include "bundled_graphs.h"

#include <utility>
#include <vector>

#include "synthetic_documents.h"
#include "velt_item_uid.h"
#include "velt_parser.h"

namespace zovesk_bench {

std::unique_ptr<VELT::IGraphConfig> readBundled(const std::string& name) {
    VELT::VELTParser parser;
    VELT::IGraphConfig* root = nullptr;
    parser.parseVELTXmlFile(examplePath(name).c_str(), &root);
    return std::unique_ptr<VELT::IGraphConfig>(root);
}

QueriedDocuments::QueriedDocuments(std::unique_ptr<VELT::IGraphConfig> descriptor,
                                   std::unique_ptr<VELT::IGraphConfig> settings,
                                   const VELT::GraphQueryCriteria& criteria)
    : descriptor_(std::move(descriptor)), settings_(std::move(settings)) {
    if (!descriptor_ || !settings_) {
        return;
    }
    manager_.setGraphDescriptor(descriptor_.get());
    manager_.setGraphSettings(settings_.get());
    std::vector<VELT::IGraphConfig*> entries;
    if (manager_.queryGraphs(criteria, entries, true) == 0 && !entries.empty()) {
        entry_ = entries.front();
    }
}

BundledDocuments::BundledDocuments(const std::string& prefix, int entryKey)
    : QueriedDocuments(readBundled(prefix + "_descriptor.xml"),
                       readBundled(prefix + "_settings.xml"),
                       {{VELT::ItemUID("key"), std::to_string(entryKey)}}) {}

void createGraphEachIteration(benchmark::State& state, QueriedDocuments& documents) {
    if (documents.entry() == nullptr) {
        state.SkipWithError("documents or entry missing");
        return;
    }
    for (auto _ : state) {
        VELT::IGraphConfig* graph = nullptr;
        const int status = documents.manager().createGraph(documents.entry(), &graph);
        VELT::GraphQueryManager::destroyGraph(graph);
        if (status != 0) {
            state.SkipWithError("createGraph failed");
            break;
        }
    }
}

BundledGraph::BundledGraph(const std::string& prefix, int entryKey) : documents_(prefix, entryKey) {
    if (documents_.entry() != nullptr &&
        documents_.manager().createGraph(documents_.entry(), &graph_) != 0) {
        VELT::GraphQueryManager::destroyGraph(graph_);
        graph_ = nullptr;
    }
}

BundledGraph::~BundledGraph() {
    VELT::GraphQueryManager::destroyGraph(graph_);
}

}  // namespace zovesk_bench
