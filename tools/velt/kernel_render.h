// Printing kernel lists (table, JSON) and drawing the inner kernel graph of
// the subgraph path (DOT).
#ifndef VELT_TOOL_KERNEL_RENDER_H
#define VELT_TOOL_KERNEL_RENDER_H

#include <ostream>

#include "kernel_lists.h"
#include "velt_graph_config.h"

namespace velt_tool {

void renderKernelTable(const KernelListsView& view, std::ostream& out);
void renderKernelJson(const KernelListsView& view, std::ostream& out);

// Runs the subgraph analysis on the graph and draws every subgraph's inner
// graph: kernels, routing nodes and terminals, linked by klinks and internal
// connections. ToolError (failed) when the analysis fails.
void renderInnerGraphDot(const VELT::IGraphConfig& graph, std::ostream& out);

}  // namespace velt_tool

#endif
