#include "result_graph.h"

#include "cli_common.h"
#include "log_router.h"
#include "zo_log_common.h"

namespace velt_tool {

ResultGraph::~ResultGraph() {
    VELT::GraphQueryManager::destroyGraph(root_);
}

int ResultGraph::build(VELT::GraphQueryManager& manager, VELT::IGraphConfig* entry) {
    VELT::GraphQueryManager::destroyGraph(root_);
    root_ = nullptr;
    return manager.createGraph(entry, &root_);
}

void buildResultGraph(Documents& documents, int key, ResultGraph& graph) {
    VELT::IGraphConfig* entry = findSettingsEntry(*documents.settings, key);
    LogCapture errors(ZO_LOG_ERROR | ZO_LOG_WARNING);
    int status = graph.build(documents.manager, entry);
    if (status != 0) {
        throw failedStep("building the result graph of settings " + std::to_string(key), status,
                         errors.messages());
    }
}

void buildEntryGraph(const EntryOptions& options, ResultGraph& graph) {
    auto documents = readDocuments(options.descriptor, options.settings);
    buildResultGraph(*documents, options.key, graph);
}

}  // namespace velt_tool
