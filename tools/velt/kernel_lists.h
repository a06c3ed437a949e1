// The kernel lists of a result graph as velt shows them: per stream and per
// program group, each run kernel with its enable state, metadata, bits per
// pixel, resolution info and history; then the sensor frame parameters.
#ifndef VELT_TOOL_KERNEL_LISTS_H
#define VELT_TOOL_KERNEL_LISTS_H

#include <cstdint>
#include <string>
#include <vector>

#include "velt_graph_config.h"
#include "zo_isp_qel_records.h"
#include "zo_yad_frame_params.h"

namespace velt_tool {

struct RunKernelView {
    uint32_t streamId;
    uint32_t uuid;
    std::string name;  // "program_group:kernel" found by uuid, or ""
    int32_t enable;
    uint32_t metadata[4];
    uint32_t bppIn;
    uint32_t bppOut;
    std::vector<zo_isp_qel_resolution_info> resolutionInfos;  // empty when none
    bool hasHistory;
    zo_isp_qel_resolution_info history;
};

struct KernelGroupView {
    std::string name;  // "stream 1" or the program group's name
    int32_t streamId;
    int32_t tuningMode;
    int status;  // what the library returned for this group
    std::vector<RunKernelView> kernels;
};

struct KernelListsView {
    int32_t generation;
    bool subgraphPath;  // the newer-generation analysis built the lists
    std::vector<KernelGroupView> streams;
    std::vector<KernelGroupView> programGroups;
    int frameParamsStatus;
    zo_yad_frame_params frameParams;  // meaningful when frameParamsStatus is 0
};

// The graph's hardware generation (0 when it names none).
int32_t graphGeneration(const VELT::IGraphConfig& graph);
// Whether the builder hands the graph to the subgraph analysis: generation 6
// and later, or program groups with "klink"s.
bool usesSubgraphPath(const VELT::IGraphConfig& graph);

// The graph's program groups ("compute_block" nodes from generation 7 on).
std::vector<VELT::IGraphConfig*> programGroupsOf(const VELT::IGraphConfig& graph);

// Builds the kernel lists of a result graph: the builder's status.
int buildKernelLists(const VELT::IGraphConfig& graph);

// Builds and reads everything; ToolError (failed) with the library's
// messages when the lists cannot be built.
KernelListsView collectKernelLists(const VELT::IGraphConfig& graph);

// "enabled", "bypass", "disabled" or "invalid(N)".
std::string enableName(int32_t enable);

}  // namespace velt_tool

#endif
