// Log dumps of the outer graph, the subgraphs, the inner graphs and the
// run-kernel arrays of GraphUtil.
#include <cstdarg>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "velt_graph_camera_util.h"
#include "velt_graph_util.h"
#include "velt_item_uid.h"
#include "velt_qel_pek_utils.h"
#include "zo_camera/velt/analysis/graph_util_common.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

using namespace analysis;

namespace {

void logResolution(const char* label, const zo_isp_qel_resolution_info& r) {
    zo_log_common_debug(ZO_LOG_ERROR, kTag,
                        "%s: (iw: %d ih: %d (l: %d, t: %d, r: %d, b: %d), ow: %d, oh: %d (l: %d, "
                        "t: %d, r: %d, b: %d))",
                        label, r.input_width, r.input_height, r.input_crop.left, r.input_crop.top,
                        r.input_crop.right, r.input_crop.bottom, r.output_width, r.output_height,
                        r.output_crop.left, r.output_crop.top, r.output_crop.right,
                        r.output_crop.bottom);
}

const char* enableText(int32_t enable) {
    switch (enable) {
        case 0:
            return "[BYPASSED]";
        case 1:
            return "[ENABLED]";
        case 2:
            return "[DISABLED]";
        default:
            return "INVALID!!";
    }
}

// A heading between two rule lines, all at one level.
__attribute__((format(printf, 2, 3))) void logBanner(uint32_t level, const char* format, ...) {
    zo_log_common_debug(level, kTag, "%s", kRuleLine);
    va_list args;
    va_start(args, format);
    zo_log_common_vdebug(level, kTag, format, args);
    va_end(args);
    zo_log_common_debug(level, kTag, "%s", kRuleLine);
}

// The subgraph with the id, or null after logging missingFormat with the id.
__attribute__((format(printf, 3, 0))) SubGraphInfo* findSubGraph(
    const std::map<int, std::shared_ptr<SubGraphInfo>>& subGraphs, int subgraphId,
    const char* missingFormat) {
    const auto found = subGraphs.find(subgraphId);
    if (found == subGraphs.end()) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, missingFormat, subgraphId);
        return nullptr;
    }
    return found->second.get();
}

}  // namespace

int GraphUtil::printOuterNode(BaseGraphNode* node) {
    return guardStatus(__func__, err_internal, [&]() -> int {
        if (node == nullptr)
            return err_internal;
        const GraphNode* outer = static_cast<const GraphNode*>(node);
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "StreamId %d execCtx %d --> Node[%s]%s ",
                            outer->streamId, outer->execCtxId,
                            ItemUID::key2str(static_cast<unsigned>(outer->type)),
                            outer->name.c_str());
        return 0;
    });
}

void GraphUtil::dumpOuterGraph() {
    guardVoid(__func__, [&] {
        // Debug lines around error-level node lines; the walk only serves them.
        if (!zo_log::wanted(ZO_LOG_DEBUG | ZO_LOG_ERROR)) {
            resetGraph();
            return;
        }
        logBanner(ZO_LOG_DEBUG, "Dumping Outer graph");
        std::function<int(BaseGraphNode*)> visitor = &GraphUtil::printOuterNode;
        for (const auto& entry : mGraphNodes) {
            if (entry.second->type != static_cast<int32_t>(kKeySource))
                continue;
            zo_log_common_debug(ZO_LOG_DEBUG, kTag, "-->START <-- src name: %s",
                                entry.first.c_str());
            const int result = traverseGraph(entry.second.get(), visitor, true);
            zo_log_common_debug(ZO_LOG_DEBUG, kTag, "--> END <-- %d", result);
        }
        resetGraph();
    });
}

void GraphUtil::dumpSubGraphInfos() {
    guardVoid(__func__, [&] {
        if (!zo_log::wanted(ZO_LOG_DEBUG)) {
            return;
        }
        logBanner(ZO_LOG_DEBUG, "FOUND %lu subgraphs of type %s ",
                  static_cast<unsigned long>(mSubGraphs.size()), ItemUID::key2str(mSubgraphType));
        for (const auto& entry : mSubGraphs) {
            const SubGraphInfo& sg = *entry.second;
            zo_log_common_debug(ZO_LOG_DEBUG, kTag, "----> subgraph id %d Info START", entry.first);
            zo_log_common_debug(ZO_LOG_DEBUG, kTag, "KernelCount %lu, Tuning Mode %d ",
                                static_cast<unsigned long>(sg.kernelCount), sg.tuningMode);
            zo_log_common_debug(ZO_LOG_DEBUG, kTag, "PG Count %lu ",
                                static_cast<unsigned long>(sg.pgs.size()));
            for (const IGraphConfig* pg : sg.pgs)
                ZO_LOG_IF_WANTED(ZO_LOG_DEBUG, kTag, "* %s ", GraphCameraUtil::print(pg).c_str());
            zo_log_common_debug(ZO_LOG_DEBUG, kTag, "Input Ports %lu ",
                                static_cast<unsigned long>(sg.inputPorts.size()));
            for (const IGraphConfig* port : sg.inputPorts)
                ZO_LOG_IF_WANTED(ZO_LOG_DEBUG, kTag, "* [Input] %s ",
                                 GraphCameraUtil::print(port).c_str());
            zo_log_common_debug(ZO_LOG_DEBUG, kTag, "Output Ports %lu ",
                                static_cast<unsigned long>(sg.outputPorts.size()));
            for (const IGraphConfig* port : sg.outputPorts)
                ZO_LOG_IF_WANTED(ZO_LOG_DEBUG, kTag, "* [Output]: %s ",
                                 GraphCameraUtil::print(port).c_str());
            zo_log_common_debug(ZO_LOG_DEBUG, kTag, "<--- subgraph id %d Info END", entry.first);
        }
    });
}

void GraphUtil::dumpPekStructs() {
    guardVoid(__func__, [&] {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "%s", kRuleLine);
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Dumping run-kernels for %lu subgraphs of type %s ",
                            static_cast<unsigned long>(mSubGraphs.size()),
                            ItemUID::key2str(mSubgraphType));
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "%s", kDashLine);
        for (const auto& entry : mSubGraphs) {
            // Freed arrays are cleared, so a null array is simply not dumped.
            if (entry.second->runKernels != nullptr)
                QelPekUtils::dumpKernels(entry.second->runKernels,
                                         static_cast<unsigned>(entry.second->kernelCount));
        }
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "%s", kRuleLine);
    });
}

void GraphUtil::dumpInnerGraph(int subgraphId) {
    guardVoid(__func__, [&] {
        SubGraphInfo* found = findSubGraph(mSubGraphs, subgraphId, "Invalid Subgraph id %d");
        if (found == nullptr)
            return;
        SubGraphInfo& sg = *found;
        logBanner(ZO_LOG_ERROR, "Dumping Imaging graph inside subgraph %d of type %s ", subgraphId,
                  ItemUID::key2str(mSubgraphType));

        std::function<int(BaseGraphNode*)> visitor = [](BaseGraphNode* node) {
            return dumpInnerNodeVisitor(node, imaging_none);
        };
        auto search = sg.imagingNodes.begin();
        for (IGraphConfig* port : sg.inputPorts) {
            ZO_LOG_IF_WANTED(ZO_LOG_ERROR, kTag, "Subgraph %s %p",
                             GraphCameraUtil::print(port).c_str(), static_cast<void*>(port));
            while (search != sg.imagingNodes.end() && search->second->node != port)
                ++search;
            if (search == sg.imagingNodes.end()) {
                ZO_LOG_IF_WANTED(ZO_LOG_ERROR, kTag,
                                 "Failed to find input port %s in the Imaging graph- Error",
                                 GraphCameraUtil::print(port).c_str());
                break;
            }
            ZO_LOG_IF_WANTED(ZO_LOG_ERROR, kTag, "-->START <-- %s",
                             GraphCameraUtil::print(port).c_str());
            const int result = traverseGraph(search->second.get(), visitor, true);
            zo_log_common_debug(ZO_LOG_ERROR, kTag, "--> END <-- %d", result);
        }
        resetInnerGraph(sg, true);
    });
}

void GraphUtil::dumpKernels(int subgraphId) {
    guardVoid(__func__, [&] {
        SubGraphInfo* found = findSubGraph(mSubGraphs, subgraphId, "subgraph id %d not FOUND");
        if (found == nullptr)
            return;
        SubGraphInfo& sg = *found;
        logBanner(ZO_LOG_ERROR, "FOUND  subgraph id %d [%s] dumping %lu kernels:", subgraphId,
                  ItemUID::key2str(static_cast<unsigned>(sg.type)),
                  static_cast<unsigned long>(sg.kernelCount));

        std::function<int(BaseGraphNode*)> visitor = [](BaseGraphNode* node) {
            return dumpInnerNodeVisitor(node, imaging_kernel);
        };
        bool failed = false;
        for (IGraphConfig* port : sg.inputPorts) {
            for (const auto& entry : sg.imagingNodes) {
                if (entry.second->node != port)
                    continue;
                const int result = traverseGraph(entry.second.get(), visitor, true);
                if (result != 0 && result != visit_stop) {
                    zo_log_common_debug(ZO_LOG_ERROR, kTag, "Inner graph traversal failed %d",
                                        result);
                    failed = true;
                    break;
                }
            }
            if (failed)
                break;
        }
        resetInnerGraph(sg, true);
    });
}

int GraphUtil::dumpInnerNodeVisitor(BaseGraphNode* node, ImagingNodeType type) {
    return guardStatus(__func__, err_internal, [&]() -> int {
        if (node == nullptr)
            return err_internal;
        const ImagingNode& inner = *static_cast<const ImagingNode*>(node);
        if (type != imaging_none && inner.type != type)
            return 0;
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "%s", kDashLine);
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "[%d]%s ", inner.type, inner.name.c_str());
        if (inner.type != imaging_kernel)
            return 0;
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "kernel_uuid: %d %s",
                            static_cast<int>(inner.runKernel.kernel_uuid),
                            enableText(inner.runKernel.enable));
        const zo_isp_qel_run_kernels* record = inner.pekRunKernel;
        if (record == nullptr) {
            zo_log_common_debug(ZO_LOG_ERROR, kTag, "INVALID output!! Error");
            return err_internal;
        }
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "stream_id %d",
                            static_cast<int>(record->stream_id));
        zo_log_common_debug(
            ZO_LOG_ERROR, kTag, "metadata: (%d %d %d %d)", static_cast<int>(record->metadata[0]),
            static_cast<int>(record->metadata[1]), static_cast<int>(record->metadata[2]),
            static_cast<int>(record->metadata[3]));
        if (record->resolution_info != nullptr)
            logResolution("res_info", *record->resolution_info);
        else
            zo_log_common_debug(ZO_LOG_ERROR, kTag, "res info: NULL");
        if (record->resolution_history != nullptr)
            logResolution("res_history", *record->resolution_history);
        else
            zo_log_common_debug(ZO_LOG_ERROR, kTag, "res history: NULL");
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "bpp_info in:%d out:%d",
                            static_cast<int>(record->bpp_info.input_bpp),
                            static_cast<int>(record->bpp_info.output_bpp));
        return 0;
    });
}

}  // namespace VELT
