// The three pictures of a result graph that "velt build" prints.
#ifndef VELT_TOOL_GRAPH_RENDER_H
#define VELT_TOOL_GRAPH_RENDER_H

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "velt_graph_config.h"

namespace velt_tool {

// "settings 6000: preview_capture (graph 100)": the entry and graph a result
// graph was built from, for titles.
std::string entryGraphTitle(const VELT::IGraphConfig& graph);

// Every node on its own line, indented by depth: name, [type], attributes.
void renderGraphTree(const VELT::IGraphConfig& graph, std::ostream& out);
// {"key", "graph": {attributes, connections}, "blocks": [node...]}, each
// node {"name", "key", "type", "attributes", "children"}.
nlohmann::json graphJson(const VELT::IGraphConfig& graph);
// A node's attributes by name; an attribute stored more than once (a port
// connected twice has two "peer"s) is the list of its values in stored order.
nlohmann::json attributesJson(const VELT::IGraphConfig& node);
// Blocks as clusters of their ports, virtual sinks as their own shape,
// connections as edges labelled with size and format, disabled ports grey.
void renderGraphDot(const VELT::IGraphConfig& graph, std::ostream& out);

}  // namespace velt_tool

#endif
