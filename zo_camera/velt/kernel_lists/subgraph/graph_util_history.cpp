// Resolution histories: from the source subgraph across subgraph borders and
// through every inner graph in topological order, transformed by the RCB
// kernels that scale or crop.
#include <functional>
#include <string>
#include <vector>

#include "velt_graph_camera_util.h"
#include "velt_graph_util.h"
#include "velt_qel_pek_utils.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/kernel_lists/shared/int32_arithmetic.h"
#include "zo_camera/velt/kernel_lists/subgraph/connection_index.h"
#include "zo_camera/velt/kernel_lists/subgraph/graph_util_common.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

using namespace analysis;

Status GraphUtil::populatePekData() {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        // Every subgraph input asks which connection feeds it: index them once.
        const analysis::ConnectionIndex connections(mConnections);
        struct IndexInUse {
            const analysis::ConnectionIndex*& slot;
            ~IndexInUse() { slot = nullptr; }
        } inUse{historyConnections_};
        historyConnections_ = &connections;
        std::function<int(BaseGraphNode*)> visitor = [this](BaseGraphNode* node) {
            return resHistoryCalcVisitor(node);
        };
        for (const auto& entry : mSubGraphs) {
            if (!entry.second->inputPorts.empty()) {
                continue;
            }
            const Status result = traverseGraph(entry.second.get(), visitor, true);
            if (result != err_none) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Traversal of subgraphs failed on subgraph %d",
                              entry.first);
                return result;
            }
        }
        resetMetaGraph();
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Resolution History calculation succeeded !!");
        return err_none;
    });
}

Status GraphUtil::resHistoryCalcVisitor(BaseGraphNode* subgraph) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        if (subgraph == nullptr) {
            return err_internal;
        }
        SubGraphInfo& sg = *static_cast<SubGraphInfo*>(subgraph);

        Status status = disableKernelsToDisabledTerminals(sg);
        if (status != err_none) {
            ZO_MODULE_LOG(ZO_LOG_WARNING, velt, "Disablement of kernels in subgraph %d failed[%d]",
                          sg.subGraphId, status);
            return status;
        }
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt,
                      "---- Starting Res-history graph traversal for subgraph %d ----",
                      sg.streamId);
        if (sg.inputPorts.empty()) {
            return calculateSourceResHistory(sg, mSourceResHistory);
        }

        std::function<int(BaseGraphNode*)> visitor = [this](BaseGraphNode* node) {
            return resHistoryINodeVisitor(node);
        };
        auto traverseFrom = [this, &sg, &visitor](ImagingNode* start) -> Status {
            const Status result = traverseGraph(start, visitor, true);
            if (result != err_none && result != visit_stop) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                              "subgraph %d inner graph traversal stopped with error %d",
                              sg.subGraphId, result);
                return result;
            }
            return err_none;
        };

        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "-- Starting graph traversal from main input ports --");
        for (IGraphConfig* port : sg.inputPorts) {
            ImagingNode* last = nullptr;
            for (const auto& entry : sg.imagingNodes) {
                if (entry.second->node != port) {
                    continue;
                }
                if (getUpstreamResHistory(*entry.second) != err_none) {
                    ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get res history for input port %s",
                                  GraphCameraUtil::print(port).c_str());
                    return err_internal;
                }
                last = entry.second.get();
            }
            if (last == nullptr) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                              "Failed to find input port %s in the Imaging graph- Error",
                              GraphCameraUtil::print(port).c_str());
                return err_internal;
            }
            status = traverseFrom(last);
            if (status != err_none) {
                return status;
            }
        }

        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt,
                      "-- Starting graph traversal from secondary input ports -- ");
        std::vector<ImagingNode*> secondary;
        status = getUnvisitedInputPortsPeers(sg, secondary);
        if (status != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get unvisited input peers for subgraph %d",
                          sg.subGraphId);
            return status;
        }
        for (ImagingNode* terminal : secondary) {
            if (getUpstreamResHistory(*terminal) != err_none) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get res history for input port %s",
                              terminal->name.c_str());
                return err_internal;
            }
        }
        for (ImagingNode* terminal : secondary) {
            status = traverseFrom(terminal);
            if (status != err_none) {
                return status;
            }
        }

        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt,
                      "---- Res-history graph traversal for subgraph %d done! ----", sg.streamId);
        resetInnerGraph(sg, true);
        return fillPekRunKernels(sg);
    });
}

Status GraphUtil::calculateSourceResHistory(SubGraphInfo& sg, zo_isp_qel_resolution_info& history) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        const GraphNode* source = nullptr;
        for (const GraphNode* node : sg.nodes) {
            if (node->type == static_cast<int32_t>(kKeySource)) {
                source = node;
                break;
            }
        }
        if (source == nullptr || source->node == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Could not find source node in subgraph %d",
                          sg.subGraphId);
            return err_internal;
        }
        const Status status = QelPekUtils::sourceGetResolutionHistory(history, *source->node);
        if (status != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get source resolution history");
            return status;
        }
        for (const auto& entry : sg.imagingNodes) {
            ImagingNode& node = *entry.second;
            node.resHistory = history;
            int width = 0;
            int height = 0;
            if (GraphCameraUtil::getDimensions(node.node, &width, &height) == err_none) {
                node.resHistory.output_width = width;
                node.resHistory.output_height = height;
            } else {
                ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                              "Failed to get dimensions for port %s using default resolution "
                              "history",
                              node.name.c_str());
            }
        }
        return err_none;
    });
}

Status GraphUtil::getUpstreamResHistory(ImagingNode& inputTerminal) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        const std::string source =
            historyConnections_ != nullptr
                ? historyConnections_->firstSourceInto(inputTerminal.name)
                : analysis::ConnectionIndex(mConnections).firstSourceInto(inputTerminal.name);
        const auto sourceNode = mGraphNodes.find(splitEnd(source, true).first);
        if (sourceNode == mGraphNodes.end()) {
            return err_internal;
        }
        const int upstreamId = subgraphIdOf(*sourceNode->second);
        ImagingNode* upstream = nullptr;
        const auto upstreamSg = mSubGraphs.find(upstreamId);
        if (upstreamSg != mSubGraphs.end()) {
            const auto found = upstreamSg->second->imagingNodes.find(source);
            if (found != upstreamSg->second->imagingNodes.end()) {
                upstream = found->second.get();
            }
        }
        if (upstream == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Could not find inner node %s in subgraph %d- Error",
                          source.c_str(), upstreamId);
            return err_internal;
        }
        if (!upstream->visited && (upstream->flags & imaging_flag_loop_terminal) != 0) {
            // The connection leaves and re-enters one program group: the port's own size is all
            // that is known before the group has been walked.
            int width = 0;
            int height = 0;
            if (GraphCameraUtil::getDimensions(upstream->node, &width, &height) == err_none) {
                upstream->resHistory.output_width = width;
                upstream->resHistory.output_height = height;
            } else {
                ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                              "Failed to get dimensions for private port %s using default "
                              "resolution history",
                              upstream->name.c_str());
            }
            upstream->resHistory.input_width = upstream->resHistory.output_width;
            upstream->resHistory.input_height = upstream->resHistory.output_height;
        }
        inputTerminal.portResHistories[inputTerminal.name] = upstream->resHistory;
        return err_none;
    });
}

Status GraphUtil::getParentHistory(ImagingNode& node, zo_isp_qel_resolution_info& history) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Getting parent history for node %s", node.name.c_str());
        if (node.parents.empty()) {
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "node %s has no parent, looking inside",
                          node.name.c_str());
            if (node.portResHistories.empty()) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                              "Node %s with no parents has not been seeded with initial "
                              "reshistory- BUG",
                              node.name.c_str());
                return err_internal;
            }
            history = node.portResHistories.begin()->second;
        } else if (node.type == imaging_input_terminal &&
                   (node.flags & imaging_flag_loop_terminal) != 0) {
            const auto seed = node.portResHistories.find(node.name);
            history =
                seed == node.portResHistories.end() ? zo_isp_qel_resolution_info{} : seed->second;
        } else {
            for (const auto& parent : node.parents) {
                const ImagingNode* parentNode = static_cast<const ImagingNode*>(parent.first);
                if (!parentNode->visited && (parentNode->flags & imaging_flag_disabled) == 0) {
                    ZO_MODULE_LOG(ZO_LOG_DEBUG, velt,
                                  "Node %s not ready to be visited, not all active parents have "
                                  "been visited yet ex: %s",
                                  node.name.c_str(), parentNode->name.c_str());
                    return visit_retry;
                }
            }
            zo_isp_qel_resolution_info candidate{};
            for (const auto& parent : node.parents) {
                const ImagingNode* parentNode = static_cast<const ImagingNode*>(parent.first);
                if ((parentNode->flags & imaging_flag_disabled) != 0) {
                    continue;
                }
                const auto self = parentNode->children.find(&node);
                if (self == parentNode->children.end()) {
                    ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                                  "Node %s could not find itself in the list of children of its "
                                  "parent- BUG",
                                  node.name.c_str());
                    return err_internal;
                }
                const auto output = parentNode->portResHistories.find(self->second);
                if (output == parentNode->portResHistories.end()) {
                    ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                                  "Could not find the res history for  parent output port %s ",
                                  self->second.c_str());
                    return err_internal;
                }
                // The largest image wins: a smaller branch is a side output of the same data.
                if (output->second.output_width > candidate.output_width &&
                    output->second.output_height > candidate.output_height) {
                    candidate = output->second;
                }
            }
            history = candidate;
        }
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Parent history for node %s found: %s", node.name.c_str(),
                      QelPekUtils::resInfoToStr(history));
        node.portResHistories.clear();
        return err_none;
    });
}

Status GraphUtil::getKernelResolutionInfos(ImagingNode& kernel) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        std::map<std::string, zo_isp_qel_resolution_info> infos;
        if (QelPekUtils::kernelGetResolutions(kernel.node, infos) != err_none) {
            return err_argument;
        }

        zo_isp_qel_resolution_info fallback{};
        if (infos.size() != kernel.children.size()) {
            ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                          "Node %s settings have %ld res info but node has %ld children",
                          kernel.name.c_str(), static_cast<long>(infos.size()),
                          static_cast<long>(kernel.children.size()));
            if (infos.empty()) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                              "Node %s settings have no res info - fix settings",
                              kernel.name.c_str());
                return err_internal;
            }
            fallback = infos.begin()->second;
            ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                          "Node %s ports without settings will default to res-info %s",
                          kernel.name.c_str(), QelPekUtils::resInfoToStr(fallback));
        }
        if (kernel.children.size() == 1) {
            kernel.outputResInfos[kernel.children.begin()->second] = infos.begin()->second;
            return err_none;
        }
        for (const auto& child : kernel.children) {
            const auto match = infos.find(child.second);
            if (match != infos.end()) {
                kernel.outputResInfos[child.second] = match->second;
                continue;
            }
            ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                          "Node %s settings have no output id that matches output port %s "
                          "defaulting %s",
                          kernel.name.c_str(), child.second.c_str(),
                          QelPekUtils::resInfoToStr(fallback));
            kernel.outputResInfos[child.second] = fallback;
        }
        return err_none;
    });
}

namespace {

// An RCB kernel without resolution settings hands the history's size on
// through every output, uncropped.
void passThroughOutputs(ImagingNode& kernel) {
    const zo_isp_qel_resolution_info& history = kernel.resHistory;
    zo_isp_qel_resolution_info passThrough{};
    passThrough.input_width = passThrough.output_width = history.output_width;
    passThrough.input_height = passThrough.output_height = history.output_height;
    for (const auto& child : kernel.children) {
        kernel.outputResInfos[child.second] = passThrough;
    }
}

// The history leaving each output of a kernel with resolution infos: the
// output's input crop is taken back into the history's input pixels, and its
// size is the output's size less its own crop.
Status computeOutputHistories(ImagingNode& kernel) {
    const zo_isp_qel_resolution_info& history = kernel.resHistory;
    const char* name = kernel.name.c_str();
    if (history.output_width == 0 || history.output_height == 0) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Resolution history output width or height is 0");
        return err_internal;
    }
    using namespace int32_arithmetic;
    ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "RCB node %s history", name);
    for (const auto& entry : kernel.outputResInfos) {
        const zo_isp_qel_resolution_info& info = entry.second;
        if (info.input_width != history.output_width ||
            info.input_height != history.output_height) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                          "Consistency error in kernel %s, res info input(%dx%d) is "
                          "different than res history output(%dx%d)- check your "
                          "settings!",
                          name, info.input_width, info.input_height, history.output_width,
                          history.output_height);
            return err_internal;
        }
        zo_isp_qel_resolution_info output = history;
        addKernelInputCrop(output.input_crop, history, info.input_crop);
        output.output_width =
            sub(sub(info.output_width, info.output_crop.left), info.output_crop.right);
        output.output_height =
            sub(sub(info.output_height, info.output_crop.top), info.output_crop.bottom);
        kernel.portResHistories[entry.first] = output;
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "[%s]: %s", entry.first.c_str(),
                      QelPekUtils::resInfoToStr(output));
    }
    return err_none;
}

}  // namespace

Status GraphUtil::resHistoryINodeVisitor(BaseGraphNode* node) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        if (node == nullptr) {
            return err_internal;
        }
        ImagingNode& inner = *static_cast<ImagingNode*>(node);
        const char* name = inner.name.c_str();
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "--- Visiting node %s ---", name);
        if ((inner.flags & imaging_flag_disabled) != 0) {
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt,
                          "--- Res history Visit of node %s  SKIPPED node disabled ---", name);
            return visit_stop;
        }
        const Status status = getParentHistory(inner, inner.resHistory);
        if (status == visit_retry) {
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt,
                          "--- Res history node %s  SKIPPED, will try again later ---", name);
            return status;
        }
        if (status != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Could not find parent history for node %s", name);
            return status;
        }
        for (const auto& child : inner.children) {
            inner.portResHistories[child.second] = inner.resHistory;
        }

        if (inner.type != imaging_kernel) {
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Resolution history: %s",
                          QelPekUtils::resInfoToStr(inner.resHistory));
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "--- Res history Visit of node %s  DONE ---", name);
            return err_none;
        }

        if (QelPekUtils::kernelHasResolutions(inner.node)) {
            if (getKernelResolutionInfos(inner) != err_none) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                              "Retrieval of resolution info for RCB kernel %s Failed", name);
                return err_internal;
            }
        } else if ((inner.flags & imaging_flag_rcb) != 0) {
            passThroughOutputs(inner);
        }
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "node %s has %ld resinfo(s)", name,
                      static_cast<long>(inner.outputResInfos.size()));
        for (auto& info : inner.outputResInfos) {
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "[%s]: %s", info.first.c_str(),
                          QelPekUtils::resInfoToStr(info.second));
        }
        if (!inner.outputResInfos.empty()) {
            const Status computed = computeOutputHistories(inner);
            if (computed != err_none) {
                return computed;
            }
        }
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "--- Res history Visit of node %s  DONE ---", name);
        return err_none;
    });
}

}  // namespace VELT
