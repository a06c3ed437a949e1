#include "descriptor_summary.h"

#include <algorithm>

#include "node_view.h"
#include "text_table.h"

namespace velt_tool {

namespace {

std::vector<std::string> kernelNames(const VELT::IGraphConfig& block) {
    std::vector<std::string> names;
    for (VELT::IGraphConfig* kernel : childNodesOfType(block, "kernel")) {
        names.push_back(displayName(*kernel));
    }
    return names;
}

const VELT::IGraphConfig* baseNodeNamed(const VELT::IGraphConfig& nodes, const std::string& name) {
    for (VELT::IGraphConfig* base : childNodesOfType(nodes, "base_node")) {
        if (textAttribute(*base, "name").value_or("") == name) {
            return base;
        }
    }
    return nullptr;
}

BlockSummary summarizeBlock(const VELT::IGraphConfig* nodes, const std::string& name) {
    BlockSummary block{name, "", "", {}};
    VELT::IGraphConfig* node = nodes != nullptr ? childNamed(*nodes, name) : nullptr;
    if (node == nullptr) {
        return block;
    }
    block.type = typeOf(*node);
    block.baseNode = textAttribute(*node, "base_node").value_or("");
    const VELT::IGraphConfig* base =
        block.baseNode.empty() ? nullptr : baseNodeNamed(*nodes, block.baseNode);
    if (base != nullptr) {
        block.type = textAttribute(*base, "base_type").value_or(block.type);
    }
    block.kernels = kernelNames(base != nullptr ? *base : *node);
    return block;
}

void addBlock(GraphSummary& graph, const VELT::IGraphConfig* nodes, const std::string& end) {
    std::string name = end.substr(0, end.find(':'));
    bool known = std::any_of(graph.blocks.begin(), graph.blocks.end(),
                             [&name](const BlockSummary& block) { return block.name == name; });
    if (!name.empty() && !known) {
        graph.blocks.push_back(summarizeBlock(nodes, name));
    }
}

nlohmann::json textOrNull(const std::string& text) {
    return text.empty() ? nlohmann::json() : nlohmann::json(text);
}

}  // namespace

size_t GraphSummary::kernelCount() const {
    size_t count = 0;
    for (const BlockSummary& block : blocks) {
        count += block.kernels.size();
    }
    return count;
}

std::vector<GraphSummary> summarizeDescriptor(const VELT::IGraphConfig& descriptor) {
    std::vector<GraphSummary> graphs;
    VELT::IGraphConfig* nodes = childNamed(descriptor, "nodes");
    VELT::IGraphConfig* all = childNamed(descriptor, "graphs");
    if (all == nullptr) {
        return graphs;
    }
    for (VELT::IGraphConfig* node : childNodesOf(*all)) {
        GraphSummary graph{displayName(*node), intAttribute(*node, "id"), 0, {}};
        for (VELT::IGraphConfig* connection : childNodesNamed(*node, "connection")) {
            ++graph.connections;
            addBlock(graph, nodes, textAttribute(*connection, "source").value_or(""));
            addBlock(graph, nodes, textAttribute(*connection, "sink").value_or(""));
        }
        graphs.push_back(graph);
    }
    return graphs;
}

void printGraphSummaries(const std::vector<GraphSummary>& graphs, std::ostream& out) {
    for (const GraphSummary& graph : graphs) {
        out << "graph " << (graph.id ? std::to_string(*graph.id) : "-") << " " << graph.name << ": "
            << graph.connections << " connections, " << graph.blocks.size() << " blocks, "
            << graph.kernelCount() << " kernels\n";
        TextTable table({"block", "type", "kernels", "kernel names"});
        for (const BlockSummary& block : graph.blocks) {
            std::string names;
            for (const std::string& kernel : block.kernels) {
                names += (names.empty() ? "" : ", ") + kernel;
            }
            std::string type = block.type.empty() ? "(not in the descriptor)" : block.type;
            if (!block.baseNode.empty()) {
                type += " from " + block.baseNode;
            }
            table.addRow({block.name, type, std::to_string(block.kernels.size()),
                          names.empty() ? "-" : names});
        }
        table.print(out);
        out << '\n';
    }
}

nlohmann::json graphSummariesJson(const std::vector<GraphSummary>& graphs) {
    nlohmann::json list = nlohmann::json::array();
    for (const GraphSummary& graph : graphs) {
        nlohmann::json blocks = nlohmann::json::array();
        for (const BlockSummary& block : graph.blocks) {
            blocks.push_back({{"name", block.name},
                              {"type", textOrNull(block.type)},
                              {"base_node", textOrNull(block.baseNode)},
                              {"kernels", block.kernels},
                              {"kernel_count", block.kernels.size()}});
        }
        list.push_back({{"name", graph.name},
                        {"id", graph.id ? nlohmann::json(*graph.id) : nlohmann::json()},
                        {"connection_count", graph.connections},
                        {"block_count", graph.blocks.size()},
                        {"kernel_count", graph.kernelCount()},
                        {"blocks", blocks}});
    }
    return list;
}

}  // namespace velt_tool
