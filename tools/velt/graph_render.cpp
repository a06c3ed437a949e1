#include "graph_render.h"

#include <map>
#include <nlohmann/json.hpp>

#include "dot_writer.h"
#include "node_view.h"

namespace velt_tool {

namespace {

const char* const kGraphNode = "graph";

std::string nodeLine(const VELT::IGraphConfig& node) {
    std::string line = node.getName();
    std::string type = typeOf(node);
    if (!type.empty()) {
        line += " [" + type + "]";
    }
    for (const AttributeView& attribute : attributesOf(node)) {
        if (attribute.name == "type") {
            continue;
        }
        line += " " + attribute.name + "=" +
                (attribute.isInteger ? attribute.text : "\"" + attribute.text + "\"");
    }
    return line;
}

void renderTreeNode(const VELT::IGraphConfig& node, int depth, std::ostream& out) {
    out << std::string(2 * static_cast<size_t>(depth), ' ') << nodeLine(node) << '\n';
    for (VELT::IGraphConfig* child : childNodesOf(node)) {
        renderTreeNode(*child, depth + 1, out);
    }
}

nlohmann::json nodeJson(const VELT::IGraphConfig& node) {
    nlohmann::json children = nlohmann::json::array();
    for (VELT::IGraphConfig* child : childNodesOf(node)) {
        children.push_back(nodeJson(*child));
    }
    return {{"name", displayName(node)},
            {"key", node.getName()},
            {"type", typeOf(node)},
            {"attributes", attributesJson(node)},
            {"children", children}};
}

struct Connection {
    std::string source;
    std::string sink;
    bool isStatic;
};

std::vector<Connection> connectionsOf(const VELT::IGraphConfig& graph) {
    std::vector<Connection> connections;
    VELT::IGraphConfig* graphNode = childNamed(graph, kGraphNode);
    if (graphNode == nullptr) {
        return connections;
    }
    for (VELT::IGraphConfig* connection : childNodesNamed(*graphNode, "connection")) {
        std::string isStatic = textAttribute(*connection, "static").value_or("false");
        connections.push_back({textAttribute(*connection, "source").value_or(""),
                               textAttribute(*connection, "sink").value_or(""),
                               isStatic != "false"});
    }
    return connections;
}

// The blocks of a result graph: its typed child nodes other than "graph".
std::vector<VELT::IGraphConfig*> blocksOf(const VELT::IGraphConfig& graph) {
    std::vector<VELT::IGraphConfig*> blocks;
    for (VELT::IGraphConfig* child : childNodesOf(graph)) {
        if (child->getName() != kGraphNode && !typeOf(*child).empty()) {
            blocks.push_back(child);
        }
    }
    return blocks;
}

bool isDisabled(const VELT::IGraphConfig& node) {
    auto enabled = intAttribute(node, "enabled");
    return enabled && *enabled == 0;
}

const char* const kDisabledStyle = "color=grey70, fontcolor=grey60, style=\"rounded,dashed\"";

}  // namespace

nlohmann::json attributesJson(const VELT::IGraphConfig& node) {
    nlohmann::json attributes = nlohmann::json::object();
    for (const AttributeView& attribute : attributesOf(node)) {
        nlohmann::json value = attribute.isInteger ? nlohmann::json(attribute.integer)
                                                   : nlohmann::json(attribute.text);
        auto known = attributes.find(attribute.name);
        if (known == attributes.end()) {
            attributes[attribute.name] = value;
        } else if (known->is_array()) {
            known->push_back(value);
        } else {
            *known = nlohmann::json::array({*known, value});
        }
    }
    return attributes;
}

std::string entryGraphTitle(const VELT::IGraphConfig& graph) {
    std::string title = "settings";
    if (auto key = intAttribute(graph, "key")) {
        title += " " + std::to_string(*key);
    }
    if (VELT::IGraphConfig* graphNode = childNamed(graph, kGraphNode)) {
        if (auto name = textAttribute(*graphNode, "name")) {
            title += ": " + *name;
        }
        if (auto id = intAttribute(*graphNode, "id")) {
            title += " (graph " + std::to_string(*id) + ")";
        }
    }
    return title;
}

void renderGraphTree(const VELT::IGraphConfig& graph, std::ostream& out) {
    out << "result graph";
    for (const AttributeView& attribute : attributesOf(graph)) {
        out << " " << attribute.name << "=" << attribute.text;
    }
    out << '\n';
    for (VELT::IGraphConfig* child : childNodesOf(graph)) {
        renderTreeNode(*child, 1, out);
    }
}

nlohmann::json graphJson(const VELT::IGraphConfig& graph) {
    nlohmann::json result = attributesJson(graph);
    nlohmann::json graphJson = {{"attributes", nlohmann::json::object()},
                                {"connections", nlohmann::json::array()}};
    if (VELT::IGraphConfig* graphNode = childNamed(graph, kGraphNode)) {
        graphJson["attributes"] = attributesJson(*graphNode);
    }
    for (const Connection& connection : connectionsOf(graph)) {
        graphJson["connections"].push_back({{"source", connection.source},
                                            {"sink", connection.sink},
                                            {"static", connection.isStatic}});
    }
    result["graph"] = graphJson;
    nlohmann::json blocks = nlohmann::json::array();
    for (VELT::IGraphConfig* child : childNodesOf(graph)) {
        if (child->getName() != kGraphNode) {
            blocks.push_back(nodeJson(*child));
        }
    }
    result["blocks"] = blocks;
    return result;
}

void renderGraphDot(const VELT::IGraphConfig& graph, std::ostream& out) {
    std::string title = "result graph of " + entryGraphTitle(graph);
    out << "digraph result_graph {\n"
        << "    label=" << dotQuote(title) << ";\n"
        << "    labelloc=t;\n"
        << "    rankdir=LR;\n"
        << "    compound=true;\n"
        << "    node [fontname=\"Helvetica\", fontsize=10];\n"
        << "    edge [fontname=\"Helvetica\", fontsize=9];\n";

    // The size and format each port node shows, for labelling the edges.
    std::map<std::string, std::string> portLabels;
    for (VELT::IGraphConfig* block : blocksOf(graph)) {
        std::string blockName = block->getName();
        std::string type = typeOf(*block);
        if (type == "sink") {
            std::string size = sizeAndFormat(*block);
            portLabels[blockName] = size;
            out << "    " << dotQuote(blockName) << " [shape=cds, style=filled, "
                << "fillcolor=lightyellow, label="
                << dotQuote(dotLabel({blockName, "(virtual sink)", size,
                                      anyAttribute(*block, "stream_id")
                                          ? "stream " + *anyAttribute(*block, "stream_id")
                                          : ""}))
                << (isDisabled(*block) ? std::string(", ") + kDisabledStyle : "") << "];\n";
            continue;
        }
        std::vector<std::string> clusterLines = {blockName, "(" + type + ")"};
        if (auto stream = intAttribute(*block, "stream_id")) {
            clusterLines.push_back("stream " + std::to_string(*stream));
        }
        size_t kernels = childNodesOfType(*block, "kernel").size();
        if (kernels > 0) {
            clusterLines.push_back(std::to_string(kernels) + " kernels");
        }
        out << "    subgraph " << dotClusterId(blockName) << " {\n"
            << "        label=" << dotQuote(dotLabel(clusterLines)) << ";\n"
            << "        style=\"rounded,filled\";\n"
            << "        fillcolor=" << (type == "source" ? "lightblue" : "whitesmoke") << ";\n";
        std::vector<VELT::IGraphConfig*> ports = childNodesOfType(*block, "port");
        if (ports.empty()) {
            // An empty cluster is not drawn; keep the block visible.
            out << "        " << dotQuote(blockName) << " [shape=point, style=invis];\n";
        }
        for (VELT::IGraphConfig* port : ports) {
            std::string id = blockName + ":" + port->getName();
            std::string size = sizeAndFormat(*port);
            portLabels[id] = size;
            auto direction = intAttribute(*port, "direction");
            std::string content = textAttribute(*port, "content_type").value_or("");
            out << "        " << dotQuote(id)
                << " [shape=" << (direction && *direction == 1 ? "rarrow" : "box") << ", label="
                << dotQuote(dotLabel({port->getName(), size, content == "pixel_data" ? "" : content,
                                      isDisabled(*port) ? "disabled" : ""}))
                << (isDisabled(*port) ? std::string(", ") + kDisabledStyle
                                      : std::string(", style=\"rounded,filled\", "
                                                    "fillcolor=white"))
                << "];\n";
        }
        out << "    }\n";
    }
    for (const Connection& connection : connectionsOf(graph)) {
        // A connection the entry does not use reaches a block that was never
        // copied into the result; it is not part of the picture.
        auto blockOf = [](const std::string& end) { return end.substr(0, end.find(':')); };
        if (childNamed(graph, blockOf(connection.source)) == nullptr ||
            childNamed(graph, blockOf(connection.sink)) == nullptr) {
            continue;
        }
        std::string label = portLabels[connection.source];
        if (label.empty()) {
            label = portLabels[connection.sink];
        }
        out << "    " << dotQuote(connection.source) << " -> " << dotQuote(connection.sink)
            << " [label=" << dotQuote(label) << (connection.isStatic ? ", style=bold" : "")
            << "];\n";
    }
    out << "}\n";
}

}  // namespace velt_tool
