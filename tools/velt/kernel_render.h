// Printing kernel lists (table, JSON) and drawing the inner kernel graph of
// the subgraph path (DOT).
#ifndef VELT_TOOL_KERNEL_RENDER_H
#define VELT_TOOL_KERNEL_RENDER_H

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "kernel_lists.h"
#include "velt_graph_config.h"

namespace velt_tool {

// "4192x3104 crop(48,16,48,16) -> 4096x3072": input size and crop, output
// size and crop (crops left out when zero).
std::string resolutionText(const zo_isp_qel_resolution_info& info);
// {input_width, input_height, input_crop, output_width, output_height, output_crop}.
nlohmann::json resolutionJson(const zo_isp_qel_resolution_info& info);

void renderKernelTable(const KernelListsView& view, std::ostream& out);
nlohmann::json kernelListsJson(const KernelListsView& view);

// Draws the kernel lists of the execution-context path: a cluster per
// execution context holding its program groups, their kernels in slot order
// with resolution histories on the edges, branch and restore points, kernels
// the lists never reached marked, and a legend. title heads the picture.
void renderContextGraphDot(const VELT::IGraphConfig& graph, const KernelListsView& view,
                           const std::string& title, std::ostream& out);

// Runs the subgraph analysis on the graph and draws every subgraph's inner
// graph: kernels (with their resolution history and infos), routing nodes
// and terminals, linked by klinks and internal connections; kernels the
// analysis never reached marked, and a legend. ToolError (failed) when the
// analysis fails.
void renderInnerGraphDot(const VELT::IGraphConfig& graph, const std::string& title,
                         std::ostream& out);

}  // namespace velt_tool

#endif
