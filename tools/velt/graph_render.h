// The three pictures of a result graph that "velt build" prints.
#ifndef VELT_TOOL_GRAPH_RENDER_H
#define VELT_TOOL_GRAPH_RENDER_H

#include <ostream>

#include "velt_graph_config.h"

namespace velt_tool {

// Every node on its own line, indented by depth: name, [type], attributes.
void renderGraphTree(const VELT::IGraphConfig& graph, std::ostream& out);
// {"key", "graph": {attributes, connections}, "blocks": [node...]}, each
// node {"name", "key", "type", "attributes", "children"}.
void renderGraphJson(const VELT::IGraphConfig& graph, std::ostream& out);
// Blocks as clusters of their ports, virtual sinks as their own shape,
// connections as edges labelled with size and format, disabled ports grey.
void renderGraphDot(const VELT::IGraphConfig& graph, std::ostream& out);

}  // namespace velt_tool

#endif
