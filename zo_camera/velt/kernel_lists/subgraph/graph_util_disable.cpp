// The two kernel-disabling passes over a subgraph's inner graph: kernels on
// dangling branches, and kernels that only serve ports whose "enabled" is 0.
#include <functional>
#include <vector>

#include "velt_graph_util.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/kernel_lists/subgraph/graph_util_common.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

using namespace analysis;

namespace {

bool isDisabledKernel(const ImagingNode& node) {
    return node.type == imaging_kernel && node.runKernel.enable >= kernel_enable_disabled;
}

bool portDisabled(const ImagingNode& terminal) {
    int enabled = -1;
    return terminal.node != nullptr && terminal.node->getValue(kKeyEnabled, enabled) == err_none &&
           enabled == 0;
}

// A traversal result other than a completed or a deliberately stopped walk.
bool traversalFailed(Status result) {
    return result != err_none && result != visit_stop;
}

// Reports a failed traversal and clears the inner graph's visits, reporting the nodes it
// missed; returns the traversal's result for the pass to hand on.
Status abandonTraversal(GraphUtil& util, SubGraphInfo& sg, Status result) {
    ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "subgraph %d inner graph traversal stopped with error %d",
                  sg.subGraphId, result);
    util.resetInnerGraph(sg, true);
    return result;
}

}  // namespace

Status GraphUtil::disableDisconnectedKernels(SubGraphInfo& sg) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        if (mOrbaVersion <= kGdfVersionOrba6) {
            return err_none;
        }
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Starting to disable disconnected kernels!");

        std::function<int(BaseGraphNode*)> down = [this](BaseGraphNode* node) {
            return kernelDisconectedVisitor(node, true);
        };
        std::function<int(BaseGraphNode*)> up = [this](BaseGraphNode* node) {
            return kernelDisconectedVisitor(node, false);
        };
        bool traversed = false;
        for (const auto& entry : sg.imagingNodes) {
            ImagingNode* node = entry.second.get();
            if (node->type > imaging_split) {
                continue;
            }
            Status result = 0;
            if (node->parents.empty()) {
                ZO_MODULE_LOG(ZO_LOG_DEBUG, velt,
                              "disabling downstream kernels from disconnected node  %s",
                              node->name.c_str());
                result = traverseGraph(node, down, true);
                traversed = true;
            }
            if (!traversalFailed(result) && node->children.empty()) {
                ZO_MODULE_LOG(ZO_LOG_DEBUG, velt,
                              "disabling upstream kernels from disconnected node  %s",
                              node->name.c_str());
                result = traverseGraph(node, up, false);
                traversed = true;
            }
            if (traversalFailed(result)) {
                return abandonTraversal(*this, sg, result);
            }
        }
        if (traversed) {
            resetInnerGraph(sg, false);
        }
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Finished to disable disconnected kernels!");
        return err_none;
    });
}

Status GraphUtil::kernelDisconectedVisitor(BaseGraphNode* node, bool downstream) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        if (node == nullptr) {
            return err_internal;
        }
        ImagingNode* inner = static_cast<ImagingNode*>(node);
        if (downstream) {
            if (inner->type == imaging_output_terminal) {
                return visit_stop;
            }
            if (inner->type != imaging_kernel) {
                return err_none;
            }
            if (isDisabledKernel(*inner)) {
                return visit_stop;
            }
            inner->runKernel.enable = kernel_enable_disabled;
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "disable disconnected kernel -> %s ",
                          inner->name.c_str());
            return err_none;
        }
        if (inner->type == imaging_split || inner->type == imaging_input_terminal) {
            return visit_stop;
        }
        if (inner->type != imaging_kernel) {
            return err_none;
        }
        if (isDisabledKernel(*inner) || inner->children.size() > 1) {
            return visit_stop;
        }
        inner->runKernel.enable = kernel_enable_disabled;
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "disable disconnected kernel <- %s ",
                      inner->name.c_str());
        return err_none;
    });
}

Status GraphUtil::disableKernelsToDisabledTerminals(SubGraphInfo& sg) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt,
                      "disableKernelsToDisabledTerminals stream id %d has %ld output ports to "
                      "check",
                      sg.streamId, static_cast<long>(sg.outputPorts.size()));

        auto runPhase = [this, &sg](ImagingNodeType terminalType, bool downstream,
                                    const char* message, bool& traversed) -> Status {
            std::function<int(BaseGraphNode*)> visitor = [this, downstream](BaseGraphNode* node) {
                return kernelDisableVisitor(node, downstream);
            };
            for (const auto& entry : sg.imagingNodes) {
                ImagingNode* terminal = entry.second.get();
                if (terminal->type != terminalType || !portDisabled(*terminal)) {
                    continue;
                }
                ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, message, terminal->name.c_str());
                const Status result = traverseGraph(terminal, visitor, downstream);
                traversed = true;
                if (traversalFailed(result)) {
                    return abandonTraversal(*this, sg, result);
                }
            }
            return err_none;
        };

        bool traversed = false;
        Status status =
            runPhase(imaging_output_terminal, false, "disabling kernels to port %s ", traversed);
        if (status != err_none) {
            return status;
        }
        if (traversed) {
            resetInnerGraph(sg, false);
        }

        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt,
                      "disableKernelsToDisabledTerminals - Processing input ports");
        status =
            runPhase(imaging_input_terminal, true, "disabling kernels from port %s ", traversed);
        if (status != err_none) {
            return status;
        }
        if (traversed) {
            resetInnerGraph(sg, false);
        }
        return err_none;
    });
}

Status GraphUtil::kernelDisableVisitor(BaseGraphNode* node, bool downstream) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        if (node == nullptr) {
            return err_internal;
        }
        ImagingNode* inner = static_cast<ImagingNode*>(node);
        inner->flags |= imaging_flag_disabled;

        size_t users = 0;
        if (downstream) {
            if (inner->type == imaging_output_terminal) {
                return inner->children.empty() ? visit_stop : 0;
            }
            users = inner->parents.size();
        } else {
            if (inner->type == imaging_split) {
                for (const auto& child : inner->children) {
                    if (!child.first->visited) {
                        // Another branch may still be live: come back from its last disabled end.
                        inner->flags &= ~imaging_flag_disabled;
                        return visit_retry;
                    }
                }
                return err_none;
            }
            users = inner->children.size();
        }
        if (inner->type != imaging_kernel) {
            return err_none;
        }
        if (users > 1) {
            inner->flags &= ~imaging_flag_disabled;
            return visit_stop;
        }
        inner->runKernel.enable = kernel_enable_disabled;
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "kernel %s disabled", inner->name.c_str());
        return err_none;
    });
}

void GraphUtil::resetInnerGraph(SubGraphInfo& sg, bool report) {
    guardVoid(__func__, [&] {
        unsigned reached = 0;
        unsigned active = 0;
        std::vector<const ImagingNode*> missed;
        for (const auto& entry : sg.imagingNodes) {
            ImagingNode* node = entry.second.get();
            const bool isActive =
                (node->flags & imaging_flag_disabled) == 0 && !isDisabledKernel(*node);
            if (node->visited) {
                node->visited = false;
                ++reached;
            } else if (isActive) {
                missed.push_back(node);
            }
            if (isActive) {
                ++active;
            }
        }
        if (!report || reached >= active) {
            return;
        }
        ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                      "Traversal of inner graph %d did not reach all ACTIVE nodes %u/%u",
                      sg.subGraphId, reached, active);
        for (const ImagingNode* node : missed) {
            ZO_MODULE_LOG(ZO_LOG_WARNING, velt, "Imaging Node %s not reached", node->name.c_str());
        }
    });
}

}  // namespace VELT
