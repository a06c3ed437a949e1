#include "kernel_lists.h"

#include <memory>

#include "cli_common.h"
#include "documents.h"
#include "log_router.h"
#include "node_view.h"
#include "velt_graph_yad_util.h"
#include "velt_isp_utils.h"
#include "velt_qel_pek_utils.h"
#include "zo_log_common.h"

namespace velt_tool {

namespace {

const uint32_t kReported = ZO_LOG_ERROR | ZO_LOG_WARNING;

// The name of the kernel with this uuid among the program groups given.
std::string kernelName(const std::vector<VELT::IGraphConfig*>& groups, uint32_t uuid) {
    for (VELT::IGraphConfig* group : groups) {
        for (VELT::IGraphConfig* kernel : childNodesOfType(*group, "kernel")) {
            auto palUuid = intAttribute(*kernel, "pal_uuid");
            if (palUuid && static_cast<uint32_t>(*palUuid) == uuid) {
                return group->getName() + ":" + kernel->getName();
            }
        }
    }
    return "";
}

RunKernelView kernelView(const zo_isp_qel_run_kernels& rk,
                         const std::vector<VELT::IGraphConfig*>& namingGroups) {
    RunKernelView kernel{};
    kernel.streamId = rk.stream_id;
    kernel.uuid = rk.kernel_uuid;
    kernel.name = kernelName(namingGroups, rk.kernel_uuid);
    kernel.enable = rk.enable;
    for (int m = 0; m < 4; ++m) {
        kernel.metadata[m] = rk.metadata[m];
    }
    kernel.bppIn = rk.bpp_info.input_bpp;
    kernel.bppOut = rk.bpp_info.output_bpp;
    if (rk.resolution_info != nullptr) {
        // An output count of 0 means a single record.
        uint32_t count = rk.output_count == 0 ? 1 : rk.output_count;
        kernel.resolutionInfos.assign(rk.resolution_info, rk.resolution_info + count);
    }
    kernel.hasHistory = rk.resolution_history != nullptr;
    if (kernel.hasHistory) {
        kernel.history = *rk.resolution_history;
    }
    return kernel;
}

KernelGroupView groupView(const std::string& name, int32_t streamId, int status,
                          const zo_isp_qel_program_group& group,
                          const std::vector<VELT::IGraphConfig*>& namingGroups) {
    KernelGroupView view{name, streamId, group.tuning_mode, status, {}};
    for (uint32_t i = 0; group.run_kernels != nullptr && i < group.kernel_count; ++i) {
        view.kernels.push_back(kernelView(group.run_kernels[i], namingGroups));
    }
    return view;
}

int32_t streamIdOf(const VELT::IGraphConfig& group) {
    return intAttribute(group, "stream_id").value_or(-1);
}

std::vector<KernelGroupView> streamLists(VELT::QelPekUtils& builder,
                                         const std::vector<VELT::IGraphConfig*>& groups) {
    std::vector<int32_t> ids;
    builder.getStreamIds(ids, false);
    std::vector<KernelGroupView> streams;
    for (int32_t id : ids) {
        std::vector<VELT::IGraphConfig*> streamGroups;
        for (VELT::IGraphConfig* group : groups) {
            if (streamIdOf(*group) == id) {
                streamGroups.push_back(group);
            }
        }
        zo_isp_qel_program_group lists{};
        int status = builder.getProgramGroup(id, lists);
        streams.push_back(
            groupView("stream " + std::to_string(id), id, status, lists, streamGroups));
    }
    return streams;
}

std::vector<KernelGroupView> programGroupLists(VELT::QelPekUtils& builder,
                                               const std::vector<VELT::IGraphConfig*>& groups) {
    std::vector<KernelGroupView> views;
    for (VELT::IGraphConfig* group : groups) {
        zo_isp_qel_program_group lists{};
        int status = builder.getProgramGroup(static_cast<const VELT::IGraphConfig*>(group), lists);
        views.push_back(groupView(group->getName(), streamIdOf(*group), status, lists, {group}));
    }
    return views;
}

}  // namespace

std::vector<VELT::IGraphConfig*> programGroupsOf(const VELT::IGraphConfig& graph) {
    std::vector<VELT::IGraphConfig*> groups;
    for (VELT::IGraphConfig* child : childNodesOf(graph)) {
        std::string type = typeOf(*child);
        if (type == "program_group" || type == "compute_block") {
            groups.push_back(child);
        }
    }
    return groups;
}

int32_t graphGeneration(const VELT::IGraphConfig& graph) {
    std::shared_ptr<VELT::IspUtils> isp = VELT::IspUtils::Factory(&graph);
    return isp ? static_cast<int32_t>(isp->getOrbaVersion()) : 0;
}

bool usesSubgraphPath(const VELT::IGraphConfig& graph) {
    return VELT::QelPekUtils::takesSubgraphPath(graph, VELT::IspUtils::Factory(&graph));
}

int buildKernelLists(const VELT::IGraphConfig& graph) {
    VELT::QelPekUtils builder(true);
    return builder.initPekUtils(&graph);
}

KernelListsView collectKernelLists(const VELT::IGraphConfig& graph) {
    KernelListsView view{};
    view.generation = graphGeneration(graph);
    view.subgraphPath = usesSubgraphPath(graph);

    VELT::QelPekUtils builder(true);
    {
        LogCapture messages(kReported);
        int status = builder.initPekUtils(&graph);
        if (status != 0) {
            throw failedStep("building the kernel lists", status, messages.messages());
        }
    }
    // What the queries below log is already in their statuses and results.
    LogCapture quiet(kReported);
    std::vector<VELT::IGraphConfig*> groups = programGroupsOf(graph);
    view.streams = streamLists(builder, groups);
    view.programGroups = programGroupLists(builder, groups);

    // The graph outlives the call; the shared pointer must not free it.
    std::shared_ptr<const VELT::IGraphConfig> shared(&graph, [](const VELT::IGraphConfig*) {});
    view.frameParamsStatus = VELT::GraphYadUtil::getSensorFrameParams(view.frameParams, shared);
    return view;
}

std::string enableName(int32_t enable) {
    switch (enable) {
        case kernel_enable_bypass:
            return "bypass";
        case kernel_enable_enabled:
            return "enabled";
        case kernel_enable_disabled:
            return "disabled";
        default:
            return "invalid(" + std::to_string(enable) + ")";
    }
}

}  // namespace velt_tool
