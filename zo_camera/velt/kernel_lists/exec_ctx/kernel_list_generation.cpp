// Building the kernel lists of every execution context along the stream
// chains, upstream contexts first.
#include <memory>
#include <set>
#include <string>

#include "velt_qel_pek_utils.h"

#include "velt_graph_camera_util.h"
#include "velt_item_uid.h"
#include "velt_node_iterator.h"

#include "zo_camera/velt/access/subgraph_blocks.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

namespace {

// The history entering a context that no other context feeds.
Status sourceHistory(IGraphConfig& source, zo_isp_qel_resolution_info& history, const char* message,
                     int ctx) {
    if (QelPekUtils::sourceGetResolutionHistory(history, source) != err_none) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, message, ctx);
        return err_general;
    }
    return err_none;
}

// The context of a sink: its own value under the builder's key, else that of
// the program group feeding it, else, fed by a hardware block, context 0 of
// the hardware blocks. Result graphs give virtual sinks "stream_id" (only
// static connections copy "exec_ctx_id" onto them), so with contexts by
// "exec_ctx_id" the feeding block tells the sink's context.
int32_t sinkContext(const IGraphConfig* sink, uint32_t key) {
    const int32_t own = GraphCameraUtil::portGetKey(sink, key);
    if (own >= 0) {
        return own;
    }
    IGraphConfig* peer = nullptr;
    if (GraphCameraUtil::portGetPeer(sink, &peer) != err_none || peer == nullptr) {
        return -1;
    }
    const IGraphConfig* feeder = peer->getAncestor();
    int value = -1;
    if (feeder != nullptr && feeder->getValue(key, value) == err_none) {
        return value;
    }
    return feeder != nullptr && feeder->isType(kKeyHw) ? 0 : -1;
}

}  // namespace

Status QelPekUtils::initPekUtils(const IGraphConfig* graph) {
    if (graph == nullptr) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "GC Handle NULL");
        return err_argument;  // nothing changes
    }
    // Whatever fails later, also by an exception passing through, no kernel
    // list is left: no query answers from lists half built or from a previous
    // graph. The graph itself stays known, for its side data.
    Status status = err_internal;
    struct NoListsUnlessBuilt {
        QelPekUtils& builder;
        const Status& status;
        ~NoListsUnlessBuilt() {
            if (status != err_none) {
                builder.releaseKernelLists();
                builder.graphUtil.clear();
            }
        }
    } const noListsUnlessBuilt{*this, status};
    status = guardStatus(__func__, err_internal, [&]() -> Status {
        clearGraph();
        graphRoot = graph->getRoot();
        if (graphRoot == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "GC Handle root is NULL");
            return err_argument;
        }
        ispUtils = IspUtils::Factory(graph);
        if (!ispUtils) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "ISP utils init failed");
            return err_internal;
        }
        if (takesSubgraphPath(*graph, ispUtils, &hwGeneration)) {
            return graphUtil.init(contextKey(), graphRoot, static_cast<GdfVersion>(hwGeneration));
        }
        const Status generated = generateKernelListsForExecCtxs();
        if (generated != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Generating kernel lists failed");
        }
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "PEK utils initialized with %lu exec contexts",
                      static_cast<unsigned long>(ctxKernelGroups.size()));
        for (const auto& entry : ctxKernelGroups) {
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "PEK utils exec-context %d has %d kernels",
                          entry.first, static_cast<int>(entry.second.count));
        }
        return generated;
    });
    return status;
}

void QelPekUtils::clearGraph() {
    releaseKernelLists();
    graphUtil.clear();
    inputHistory = zo_isp_qel_resolution_info{};
    hwGeneration = kGdfVersionNone;
    graphRoot = nullptr;
    ispUtils.reset();
}

Status QelPekUtils::generateKernelListsForExecCtxs() {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        // Every context asks for its input port, so the program groups are
        // read into contexts once; the index goes with this call, whichever
        // way it ends.
        struct ContextBlocksForThisCall {
            std::shared_ptr<const SubgraphBlocks>& blocks;
            ~ContextBlocksForThisCall() { blocks.reset(); }
        } const contextBlocksForThisCall{contextBlocks_};
        if (graphRoot != nullptr) {
            contextBlocks_ =
                std::make_shared<const SubgraphBlocks>(contextKey(), kKeyProgramGroup, *graphRoot);
        }

        StreamChains chains;
        Status status = getStreamChains(chains);
        if (status != err_none) {
            return status;
        }
        status = countKernels();
        if (status != err_none) {
            return status;
        }
        std::vector<IGraphConfig*> sources;
        if (GraphCameraUtil::getSourceNode(graphRoot, sources) != err_none || sources.empty() ||
            sources.front() == nullptr) {
            return err_data;
        }
        IGraphConfig& source = *sources.front();

        PortHistoryMap portHistories;
        std::set<int32_t> built;
        for (const auto& chain : chains) {
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Handling stream-chain ctx %d", chain.first);
            for (auto element = chain.second.rbegin(); element != chain.second.rend(); ++element) {
                const int32_t ctx = element->first;
                IGraphConfig* port = element->second;
                ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Handling stream port ctx-%d - %s", ctx,
                              GraphCameraUtil::print(port).c_str());
                if (built.count(ctx) != 0) {
                    continue;
                }
                IGraphConfig* input = nullptr;
                if (contextInputPort(ctx, &input) != err_none || input == nullptr) {
                    status = sourceHistory(source, inputHistory,
                                           "No Input port or source in stream %d", ctx);
                    if (status != err_none) {
                        return status;
                    }
                    portHistories[port] = inputHistory;
                } else {
                    IGraphConfig* peer = nullptr;
                    if (GraphCameraUtil::portGetPeer(input, &peer) != err_none) {
                        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "No input peer for stream %d", ctx);
                        return err_general;
                    }
                    const auto upstream = portHistories.find(peer);
                    if (upstream != portHistories.end()) {
                        inputHistory = upstream->second;
                    } else {
                        status = sourceHistory(source, inputHistory,
                                               "No kernel history or source in stream %d", ctx);
                        if (status != err_none) {
                            return status;
                        }
                        portHistories[port] = inputHistory;
                    }
                }
                const auto group = ctxKernelGroups.find(ctx);
                if (group == ctxKernelGroups.end()) {
                    ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                                  "Could not find the exec ctx %d in the run kernels map", ctx);
                    return err_argument;
                }
                if (populateKernelArray(ctx, group->second.kernels, execCtxIndexMap[ctx],
                                        portHistories) != err_none) {
                    ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                                  "Creating kernel list for exec ctx id %d failed", ctx);
                    return err_internal;
                }
                built.insert(ctx);
            }
        }
        return err_none;
    });
}

Status QelPekUtils::getStreamChains(StreamChains& chains) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        std::vector<int32_t> visited;
        const auto wasVisited = [&visited](int32_t ctx) {
            for (int32_t id : visited) {
                if (id == ctx) {
                    return true;
                }
            }
            return false;
        };
        NodeIterator sinks(graphRoot);
        for (IGraphConfig* sink = sinks.iterateByType(kKeySink); sink != nullptr;
             sink = sinks.iterateByType(kKeySink)) {
            if (GraphCameraUtil::portGetContentType(sink) != "pixel_data") {
                continue;
            }
            const int32_t sinkCtx = sinkContext(sink, contextKey());
            if (sinkCtx < 0) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get %s for port %s",
                              ItemUID::key2str(contextKey()), GraphCameraUtil::print(sink).c_str());
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                              "Sink node lacks exec ctx id attribute - fix your config");
                return err_general;
            }
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "%s is connected to exec-ctx-id %d",
                          GraphCameraUtil::print(sink).c_str(), sinkCtx);
            if (chains.count(sinkCtx) != 0) {
                continue;
            }
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Generating stream chain for exec-ctx-id %d",
                          sinkCtx);
            visited.push_back(sinkCtx);
            IGraphConfig* peer = nullptr;
            if (GraphCameraUtil::portGetPeer(sink, &peer) != err_none) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to find peer port for %s",
                              GraphCameraUtil::print(sink).c_str());
                return err_internal;
            }
            std::vector<std::pair<int32_t, IGraphConfig*>> chain{{sinkCtx, peer}};
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Trying to find upstream contexts from %d", sinkCtx);
            while (true) {
                IGraphConfig* output = nullptr;
                const int32_t upstream = getUpstreamStreamId(chain.back().first, &output);
                if (upstream < 0) {
                    break;
                }
                ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Found ctx-id %d, with output %s", upstream,
                              GraphCameraUtil::print(output).c_str());
                chain.emplace_back(upstream, output);
                if (wasVisited(upstream)) {
                    break;  // that context and everything above it has a chain already
                }
                visited.push_back(upstream);
            }
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt,
                          "Adding to stream-chain[%d] the following items:", sinkCtx);
            for (size_t i = 0; i < chain.size(); ++i) {
                ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "stream-chain[%lu]: ctx %d - %s",
                              static_cast<unsigned long>(i), chain[i].first,
                              GraphCameraUtil::print(chain[i].second).c_str());
            }
            chains[sinkCtx] = std::move(chain);
        }
        return err_none;
    });
}

int32_t QelPekUtils::getUpstreamStreamId(int streamId, IGraphConfig** port) {
    return guardValue<int32_t>(__func__, -1, [&]() -> int32_t {
        IGraphConfig* input = nullptr;
        if (contextInputPort(streamId, &input) != err_none || input == nullptr) {
            return -1;
        }
        IGraphConfig* peer = nullptr;
        if (GraphCameraUtil::portGetPeer(input, &peer) != err_none) {
            return -1;
        }
        if (port != nullptr) {
            *port = peer;
        }
        const IGraphConfig* parent = peer->getAncestor();
        int upstream = -1;
        if (parent == nullptr || parent->getValue(contextKey(), upstream) != err_none) {
            return -1;
        }
        return upstream;
    });
}

}  // namespace VELT
