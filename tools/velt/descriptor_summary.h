// What a graph descriptor offers, graph by graph: the blocks each graph's
// connections use and the kernels of each block, with counts. Used by list.
#ifndef VELT_TOOL_DESCRIPTOR_SUMMARY_H
#define VELT_TOOL_DESCRIPTOR_SUMMARY_H

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "velt_graph_config.h"

namespace velt_tool {

struct BlockSummary {
    std::string name;
    std::string type;      // "" when the descriptor lacks the block
    std::string baseNode;  // the "base_node" it is built from, or ""
    std::vector<std::string> kernels;
};

struct GraphSummary {
    std::string name;
    std::optional<int> id;
    size_t connections;
    std::vector<BlockSummary> blocks;  // in the order the connections name them
    size_t kernelCount() const;
};

std::vector<GraphSummary> summarizeDescriptor(const VELT::IGraphConfig& descriptor);

void printGraphSummaries(const std::vector<GraphSummary>& graphs, std::ostream& out);
nlohmann::json graphSummariesJson(const std::vector<GraphSummary>& graphs);

}  // namespace velt_tool

#endif
