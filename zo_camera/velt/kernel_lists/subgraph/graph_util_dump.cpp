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
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/kernel_lists/shared/run_kernel_dump.h"
#include "zo_camera/velt/kernel_lists/subgraph/graph_util_common.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

using namespace analysis;

namespace {

// A heading between two rule lines, all at one level.
__attribute__((format(printf, 2, 3))) void logBanner(uint32_t level, const char* format, ...) {
    zo_log_common_debug(level, zo_log::tag(zo_log::Module::velt), "%s", kRuleLine);
    va_list args;
    va_start(args, format);
    zo_log_common_vdebug(level, zo_log::tag(zo_log::Module::velt), format, args);
    va_end(args);
    zo_log_common_debug(level, zo_log::tag(zo_log::Module::velt), "%s", kRuleLine);
}

// The subgraph with the id, or null after logging missingFormat with the id.
__attribute__((format(printf, 3, 0))) SubGraphInfo* findSubGraph(
    const std::map<int, std::shared_ptr<SubGraphInfo>>& subGraphs, int subgraphId,
    const char* missingFormat) {
    const auto found = subGraphs.find(subgraphId);
    if (found == subGraphs.end()) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, missingFormat, subgraphId);
        return nullptr;
    }
    return found->second.get();
}

}  // namespace

Status GraphUtil::printOuterNode(BaseGraphNode* node) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        if (node == nullptr) {
            return err_internal;
        }
        const GraphNode* outer = static_cast<const GraphNode*>(node);
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "StreamId %d execCtx %d --> Node[%s]%s ", outer->streamId,
                      outer->execCtxId, ItemUID::key2str(static_cast<unsigned>(outer->type)),
                      outer->name.c_str());
        return err_none;
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
            if (entry.second->type != static_cast<int32_t>(kKeySource)) {
                continue;
            }
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "-->START <-- src name: %s", entry.first.c_str());
            const Status result = traverseGraph(entry.second.get(), visitor, true);
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "--> END <-- %d", result);
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
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "----> subgraph id %d Info START", entry.first);
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "KernelCount %lu, Tuning Mode %d ",
                          static_cast<unsigned long>(sg.kernelCount), sg.tuningMode);
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "PG Count %lu ",
                          static_cast<unsigned long>(sg.pgs.size()));
            for (const IGraphConfig* pg : sg.pgs) {
                ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "* %s ", GraphCameraUtil::print(pg).c_str());
            }
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Input Ports %lu ",
                          static_cast<unsigned long>(sg.inputPorts.size()));
            for (const IGraphConfig* port : sg.inputPorts) {
                ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "* [Input] %s ",
                              GraphCameraUtil::print(port).c_str());
            }
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Output Ports %lu ",
                          static_cast<unsigned long>(sg.outputPorts.size()));
            for (const IGraphConfig* port : sg.outputPorts) {
                ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "* [Output]: %s ",
                              GraphCameraUtil::print(port).c_str());
            }
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "<--- subgraph id %d Info END", entry.first);
        }
    });
}

void GraphUtil::dumpPekStructs() {
    guardVoid(__func__, [&] {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "%s", kRuleLine);
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Dumping run-kernels for %lu subgraphs of type %s ",
                      static_cast<unsigned long>(mSubGraphs.size()),
                      ItemUID::key2str(mSubgraphType));
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "%s", kDashLine);
        for (const auto& entry : mSubGraphs) {
            // Freed arrays are cleared, so a null array is simply not dumped.
            if (entry.second->runKernels != nullptr) {
                QelPekUtils::dumpKernels(entry.second->runKernels,
                                         static_cast<unsigned>(entry.second->kernelCount));
            }
        }
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "%s", kRuleLine);
    });
}

void GraphUtil::dumpInnerGraph(int subgraphId) {
    guardVoid(__func__, [&] {
        SubGraphInfo* found = findSubGraph(mSubGraphs, subgraphId, "Invalid Subgraph id %d");
        if (found == nullptr) {
            return;
        }
        SubGraphInfo& sg = *found;
        logBanner(ZO_LOG_ERROR, "Dumping Imaging graph inside subgraph %d of type %s ", subgraphId,
                  ItemUID::key2str(mSubgraphType));

        std::function<int(BaseGraphNode*)> visitor = [](BaseGraphNode* node) {
            return dumpInnerNodeVisitor(node, imaging_none);
        };
        auto search = sg.imagingNodes.begin();
        for (IGraphConfig* port : sg.inputPorts) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Subgraph %s %p",
                          GraphCameraUtil::print(port).c_str(), static_cast<void*>(port));
            while (search != sg.imagingNodes.end() && search->second->node != port) {
                ++search;
            }
            if (search == sg.imagingNodes.end()) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                              "Failed to find input port %s in the Imaging graph- Error",
                              GraphCameraUtil::print(port).c_str());
                break;
            }
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "-->START <-- %s",
                          GraphCameraUtil::print(port).c_str());
            const Status result = traverseGraph(search->second.get(), visitor, true);
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "--> END <-- %d", result);
        }
        resetInnerGraph(sg, true);
    });
}

void GraphUtil::dumpKernels(int subgraphId) {
    guardVoid(__func__, [&] {
        SubGraphInfo* found = findSubGraph(mSubGraphs, subgraphId, "subgraph id %d not FOUND");
        if (found == nullptr) {
            return;
        }
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
                if (entry.second->node != port) {
                    continue;
                }
                const Status result = traverseGraph(entry.second.get(), visitor, true);
                if (result != err_none && result != visit_stop) {
                    ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Inner graph traversal failed %d", result);
                    failed = true;
                    break;
                }
            }
            if (failed) {
                break;
            }
        }
        resetInnerGraph(sg, true);
    });
}

Status GraphUtil::dumpInnerNodeVisitor(BaseGraphNode* node, ImagingNodeType type) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        if (node == nullptr) {
            return err_internal;
        }
        const ImagingNode& inner = *static_cast<const ImagingNode*>(node);
        if (type != imaging_none && inner.type != type) {
            return err_none;
        }
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "%s", kDashLine);
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "[%d]%s ", inner.type, inner.name.c_str());
        if (inner.type != imaging_kernel) {
            return err_none;
        }
        dump::logRecordHeading(inner.runKernel.kernel_uuid, inner.runKernel.enable,
                               dump::Dialect::innerGraph);
        const zo_isp_qel_run_kernels* record = inner.pekRunKernel;
        if (record == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "INVALID output!! Error");
            return err_internal;
        }
        dump::logRecordBody(*record, dump::Dialect::innerGraph);
        return err_none;
    });
}

}  // namespace VELT
