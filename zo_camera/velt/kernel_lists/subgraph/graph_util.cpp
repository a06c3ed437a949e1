// The analysis driver of GraphUtil: init() runs the outer-graph analysis, the
// subgraph analysis, the allocation of the run-kernel arrays and the
// resolution-history computation, in that order.
#include <memory>
#include <new>
#include <string>

#include "velt_graph_camera_util.h"
#include "velt_graph_util.h"
#include "velt_item_uid.h"
#include "zo_camera/velt/access/subgraph_blocks.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/common/number_text.h"
#include "zo_camera/velt/kernel_lists/subgraph/connection_index.h"
#include "zo_camera/velt/kernel_lists/subgraph/graph_util_common.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

using namespace analysis;

namespace {

// "tuning_mode" is an integer key, so documents store an integer; a tree built in
// code may hold text instead, which must be a whole decimal integer.
void readTuningMode(const GraphNode& node, SubGraphInfo& sg) {
    int mode = 0;
    if (node.node->getValue(kKeyTuningMode, mode) == err_none) {
        sg.tuningMode = mode;
        return;
    }
    std::string text;
    if (node.node->getValue(kKeyTuningMode, text) != err_none) {
        return;
    }
    int32_t value = 0;
    if (!numbers::wholeInt32(text, value)) {
        ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                      "Tuning mode '%s' of node %s is not a decimal integer, ignored", text.c_str(),
                      node.name.c_str());
        return;
    }
    sg.tuningMode = value;
}

// A virtual sink without the subgraph key joins the subgraph of the block
// feeding it: result graphs give sinks "stream_id" only (static connections
// copy "exec_ctx_id"), and a sink left in a subgraph of its own would close
// the meta graph into a loop that no source subgraph starts.
void adoptFeedingSubgraph(std::map<std::string, std::shared_ptr<GraphNode>>& nodes,
                          uint32_t subgraphType) {
    const auto idOf = [subgraphType](const GraphNode& node) -> int32_t {
        return subgraphType == kKeyStreamId ? node.streamId : node.execCtxId;
    };
    for (auto& entry : nodes) {
        GraphNode& sink = *entry.second;
        if (sink.type != static_cast<int32_t>(kKeySink) || idOf(sink) >= 0) {
            continue;
        }
        for (const auto& parent : sink.parents) {
            const int32_t id = idOf(static_cast<const GraphNode&>(*parent.first));
            if (id < 0) {
                continue;
            }
            (subgraphType == kKeyStreamId ? sink.streamId : sink.execCtxId) = id;
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Sink %s joins %s %d of %s", sink.name.c_str(),
                          ItemUID::key2str(subgraphType), id, parent.first->name.c_str());
            break;
        }
    }
}

}  // namespace

GraphUtil::GraphUtil()
    : mSubgraphType(kKeyStreamId), mOrbaVersion(kGdfVersionNone), mPgTypeKey(kKeyProgramGroup) {}

GraphUtil::~GraphUtil() {
    deletePekStructs();
}

Status GraphUtil::init(unsigned subgraphType, const IGraphConfig* graph, GdfVersion version) {
    if ((subgraphType != kKeyStreamId && subgraphType != kKeyExecCtxId) ||
        version <= kGdfVersionOrba5 || graph == nullptr) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                      "invalid ORBA version, subgraph type used or graph settings");
        return err_argument;
    }
    mOrbaVersion = version;
    mPgTypeKey = version == kGdfVersionOrba7 ? kKeyComputeBlock : kKeyProgramGroup;

    clear();
    mSubgraphType = subgraphType;
    mGraphSettings = graph;

    // A failure, also by an exception passing through, leaves the object
    // inactive and empty: no query answers from a half-built analysis.
    Status status = err_internal;
    struct EmptyUnlessBuilt {
        GraphUtil& util;
        const int& status;
        ~EmptyUnlessBuilt() {
            if (status != err_none) {
                util.clear();
            }
        }
    } const emptyUnlessBuilt{*this, status};
    status = guardStatus(__func__, err_internal, [&]() -> Status {
        Status step = analyzeGraphSettings();
        if (step != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Graph settings analysis failed");
            return step;
        }
        step = allocatePekData();
        if (step != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "PEK data allocation failed");
            return step;
        }
        step = populatePekData();
        if (step != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "PEK structures population failed");
            return step;
        }
        return err_none;
    });
    mPekDataReady = status == err_none;
    return status;
}

void GraphUtil::clear() {
    deletePekStructs();
    mSubGraphs.clear();
    mGraphNodes.clear();
    mConnections.clear();
    mSourceResHistory = zo_isp_qel_resolution_info{};
    mGraphSettings = nullptr;
}

Status GraphUtil::analyzeGraphSettings() {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        if (mGraphSettings == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "No graph to analyse: init() first");
            return err_internal;
        }
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt,
                      "--------- GraphSettings analysis started !!---------------");
        NodeIterator blocks(mGraphSettings);
        while (IGraphConfig* block = blocks.iterateDescendants()) {
            const Status status = addGraphNode(*block);
            if (status != err_none) {
                return status;
            }
        }

        IGraphConfig* graph = mGraphSettings->getDescendant(kKeyGraph);
        if (graph == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to locate graph node - Invalid settings");
            return err_internal;
        }
        NodeIterator connections(graph);
        while (IGraphConfig* connection = connections.iterateByUid(kKeyConnection)) {
            const Status linked = addGraphConnection(*connection);
            if (linked != err_none) {
                return linked;
            }
            mConnections.push_back(connection);
        }
        adoptFeedingSubgraph(mGraphNodes, mSubgraphType);

        Status status = removeUnusedNodes();
        if (status != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Removal of unused of nodes failed  %d ", status);
            return status;
        }
        dumpOuterGraph();
        status = analyzeSubGraphs(mSubGraphs);
        if (status != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Analysis of subgraphs failed  %d ", status);
            return status;
        }
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt,
                      "--------- GraphSettings analysis succeeded !!---------------");
        return err_none;
    });
}

Status GraphUtil::analyzeSubGraphs(std::map<int, std::shared_ptr<SubGraphInfo>>& subGraphs) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        subGraphs.clear();
        if (mGraphSettings == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "No graph to analyse: init() first");
            return err_internal;
        }
        // Every subgraph looks up its cross-subgraph inputs, its output ports
        // and its inner connections: the blocks and connections are indexed
        // once for all of them.
        const SubgraphBlocks blocks(mSubgraphType, mPgTypeKey, *mGraphSettings);
        const ConnectionIndex analysedConnections(mConnections);
        const IGraphConfig* graph = mGraphSettings->getDescendant(kKeyGraph);
        std::unique_ptr<ConnectionIndex> graphConnections;
        if (graph != nullptr && connectionsOf(*graph) != mConnections) {
            graphConnections = std::make_unique<ConnectionIndex>(connectionsOf(*graph));
        }
        const ConnectionIndex* innerConnections = graph == nullptr   ? nullptr
                                                  : graphConnections ? graphConnections.get()
                                                                     : &analysedConnections;

        std::set<int> ids;
        getAvailableSubgraphs(ids);
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Found %lu subgraphs of type %s",
                      static_cast<unsigned long>(ids.size()), ItemUID::key2str(mSubgraphType));

        for (const int id : ids) {
            auto sg = std::make_shared<SubGraphInfo>();
            sg->type = static_cast<int32_t>(mSubgraphType);
            sg->subGraphId = id;
            sg->name = std::to_string(id);
            for (const auto& entry : mGraphNodes) {
                GraphNode& node = *entry.second;
                if (subgraphIdOf(node) != id) {
                    continue;
                }
                sg->nodes.push_back(&node);
                if (node.type == static_cast<int32_t>(mPgTypeKey)) {
                    sg->pgs.push_back(node.node);
                    sg->streamId = node.streamId;
                }
                const Status status = crossSgInPorts(node, sg->inputPorts, analysedConnections);
                if (status != err_none) {
                    return status;
                }
                readTuningMode(node, *sg);
            }
            subgraphOutputPorts(blocks, id, sg->outputPorts);

            sg->kernelCount = 0;
            for (IGraphConfig* pg : sg->pgs) {
                const Status status = collectPgInnerGraph(*sg, *pg);
                if (status != err_none) {
                    ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                                  "Failed to collect imaging graph info from %s",
                                  GraphCameraUtil::print(pg).c_str());
                    return status;
                }
            }
            Status status = disableDisconnectedKernels(*sg);
            if (status != err_none) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to disable disconnected filters");
                return status;
            }
            if (sg->inputPorts.empty()) {
                status = collectSourceInnerGraph(*sg);
                if (status != err_none) {
                    ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                                  "Failed to collect imaging graph info from source");
                    return status;
                }
            }
            status = interPgConnections(*sg, innerConnections);
            if (status != err_none) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                              "Failed to add graph connections to imaging graph info %d", id);
                return status;
            }
            subGraphs[id] = sg;
        }

        dumpSubGraphInfos();
        const Status status = collectSubgraphConnections();
        if (status != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                          "Failed to add graph connections to imaging graph info from");
            return status;
        }
        return err_none;
    });
}

}  // namespace VELT
