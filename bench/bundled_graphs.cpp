// Reading the bundled documents and building result graphs from them.

#include "bundled_graphs.h"

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

BundledDocuments::BundledDocuments(const std::string& prefix, int entryKey)
    : descriptor_(readBundled(prefix + "_descriptor.xml")),
      settings_(readBundled(prefix + "_settings.xml")) {
    if (!descriptor_ || !settings_) {
        return;
    }
    manager_.setGraphDescriptor(descriptor_.get());
    manager_.setGraphSettings(settings_.get());
    std::vector<VELT::IGraphConfig*> entries;
    if (manager_.queryGraphs({{VELT::ItemUID("key"), std::to_string(entryKey)}}, entries, true) ==
            0 &&
        !entries.empty()) {
        entry_ = entries.front();
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
