// Building result graphs of settings entries, freed with the library's
// destroyGraph.
#ifndef VELT_TOOL_RESULT_GRAPH_H
#define VELT_TOOL_RESULT_GRAPH_H

#include "cli_common.h"
#include "documents.h"
#include "velt_graph_config.h"
#include "velt_graph_query_manager.h"

namespace velt_tool {

// A result graph, freed with the library's destroyGraph.
class ResultGraph {
  public:
    ResultGraph() = default;
    ~ResultGraph();
    ResultGraph(const ResultGraph&) = delete;
    ResultGraph& operator=(const ResultGraph&) = delete;

    // Builds the graph of entry; the createGraph status.
    int build(VELT::GraphQueryManager& manager, VELT::IGraphConfig* entry);
    VELT::IGraphConfig* root() const { return root_; }

  private:
    VELT::IGraphConfig* root_ = nullptr;
};

// Builds the graph of the entry with the given key; ToolError (failed) with
// the library's messages when the build fails.
void buildResultGraph(Documents& documents, int key, ResultGraph& graph);

// Reads the entry's documents and builds its graph, as buildResultGraph does.
// The graph is self-contained: the documents are not needed afterwards.
void buildEntryGraph(const EntryOptions& options, ResultGraph& graph);

}  // namespace velt_tool

#endif
