// The outer graph (one node per block of the result graph), removal of the
// blocks that feed no sink, the links of the meta graph and the depth-first
// traversal that every analysis step uses.
#include <string>
#include <unordered_set>
#include <vector>

#include "velt_graph_camera_util.h"
#include "velt_graph_util.h"
#include "velt_item_uid.h"
#include "zo_camera/velt/analysis/connection_index.h"
#include "zo_camera/velt/analysis/graph_util_common.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

using namespace analysis;

int GraphUtil::subgraphIdOf(const GraphNode& node) const {
    return mSubgraphType == kKeyStreamId ? node.streamId : node.execCtxId;
}

void GraphUtil::getAvailableSubgraphs(std::set<int>& ids) {
    guardVoid(__func__, [&] {
        for (const auto& entry : mGraphNodes)
            ids.insert(subgraphIdOf(*entry.second));
    });
}

int GraphUtil::traverseGraph(BaseGraphNode* start, std::function<int(BaseGraphNode*)>& visitor,
                             bool downstream) {
    return guardStatus(__func__, err_internal, [&]() -> int {
        if (start == nullptr || !visitor) {
            zo_log_common_debug(ZO_LOG_ERROR, kTag,
                                "Graph traversal needs a start node and a visitor");
            return err_argument;
        }
        if (start->visited)
            return 0;
        const int result = visitor(start);
        if (result == visit_retry) {
            start->visited = false;
            return visit_stop;
        }
        start->visited = true;
        if (result == visit_stop)
            return visit_stop;
        if (result != 0) {
            zo_log_common_debug(ZO_LOG_ERROR, kTag, "Graph traversal interrupted at node %s [%d]",
                                start->name.c_str(), result);
            return result;
        }
        // Copy the neighbours: a visitor may not change the links, but keep the walk safe.
        const NeighbourMap next = downstream ? start->children : start->parents;
        for (const auto& neighbour : next) {
            const int status = traverseGraph(neighbour.first, visitor, downstream);
            if (status != 0 && status != visit_stop) {
                zo_log_common_debug(ZO_LOG_ERROR, kTag,
                                    "Graph traversal interrupted at node %s [%d]",
                                    start->name.c_str(), status);
                return status;
            }
        }
        return 0;
    });
}

int GraphUtil::addGraphNode(IGraphConfig& node) {
    return guardStatus(__func__, err_internal, [&]() -> int {
        std::string type;
        if (node.getValue(kKeyType, type) != 0) {
            ZO_LOG_IF_WANTED(ZO_LOG_ERROR, kTag, "Could not get type of graph node %s ignoring",
                             GraphCameraUtil::print(&node).c_str());
            GraphCameraUtil::dumpNodeTree(&node, 0);
            return 0;
        }
        if (type == "graph")
            return 0;

        auto graphNode = std::make_shared<GraphNode>();
        graphNode->type = static_cast<int32_t>(ItemUID::str2key(type));
        graphNode->node = &node;
        if (node.getValue(kKeyName, graphNode->name) != 0) {
            ZO_LOG_IF_WANTED(ZO_LOG_ERROR, kTag, "Could not get name of graph node %s ignoring",
                             GraphCameraUtil::print(&node).c_str());
            return 0;
        }
        graphNode->streamId = intOr(node, kKeyStreamId, -1);
        graphNode->execCtxId = intOr(node, kKeyExecCtxId, -1);

        const auto inserted = mGraphNodes.emplace(graphNode->name, graphNode);
        if (!inserted.second) {
            zo_log_common_debug(ZO_LOG_ERROR, kTag, "Graph node %s insertion failed",
                                graphNode->name.c_str());
            return err_data;
        }
        zo_log_common_debug(
            ZO_LOG_DEBUG, kTag, "Node %s of type %s stream-id %d exeCtxId %d added to graph",
            graphNode->name.c_str(), type.c_str(), graphNode->streamId, graphNode->execCtxId);
        return 0;
    });
}

int GraphUtil::addGraphConnection(IGraphConfig& connection) {
    return guardStatus(__func__, err_internal, [&]() -> int {
        const std::string source = strOr(connection, kKeySource);
        const std::string sink = strOr(connection, kKeySink);
        const auto sourceEnd = splitEnd(source, true);
        const auto sinkEnd = splitEnd(sink, true);

        const auto sourceNode = mGraphNodes.find(sourceEnd.first);
        if (sourceNode == mGraphNodes.end()) {
            zo_log_common_debug(
                ZO_LOG_WARNING, kTag,
                "Connection %s->%s skipped due to source not FOUND, Partial graph settings in use!",
                source.c_str(), sink.c_str());
            return 0;
        }
        const auto sinkNode = mGraphNodes.find(sinkEnd.first);
        if (sinkNode == mGraphNodes.end())
            return 0;

        sourceNode->second->children.emplace(sinkNode->second.get(), sinkEnd.second);
        sinkNode->second->parents.emplace(sourceNode->second.get(), sourceEnd.second);
        return 0;
    });
}

int GraphUtil::activeNodeVisitor(BaseGraphNode* node, std::vector<std::string>* active) {
    return guardStatus(__func__, err_internal, [&]() -> int {
        if (node == nullptr || active == nullptr)
            return err_internal;
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Visiting  node %s ", node->name.c_str());
        if (node->visited) {
            zo_log_common_debug(ZO_LOG_ERROR, kTag, "node %s already visited, skipping",
                                node->name.c_str());
            return 0;
        }
        active->push_back(node->name);
        if (!node->parents.empty())
            return 0;
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "node %s is last one, stopping",
                            node->name.c_str());
        return visit_stop;
    });
}

int GraphUtil::removeUnusedNodes() {
    return guardStatus(__func__, err_internal, [&]() -> int {
        zo_log_common_debug(ZO_LOG_DEBUG, kTag, "Removing Unusued Nodes");
        std::vector<std::string> active;
        std::function<int(BaseGraphNode*)> visitor = [this, &active](BaseGraphNode* node) {
            return activeNodeVisitor(node, &active);
        };
        for (const auto& entry : mGraphNodes) {
            if (entry.second->type != static_cast<int32_t>(kKeySink))
                continue;
            zo_log_common_debug(ZO_LOG_DEBUG, kTag, "Starting traversal at node %s ",
                                entry.first.c_str());
            const int status = traverseGraph(entry.second.get(), visitor, false);
            if (status != 0)
                return status;
        }
        resetGraph();

        const size_t before = mGraphNodes.size();
        const std::unordered_set<std::string> reached(active.begin(), active.end());
        for (auto it = mGraphNodes.begin(); it != mGraphNodes.end();) {
            if (reached.count(it->first) != 0) {
                ++it;
                continue;
            }
            zo_log_common_debug(ZO_LOG_DEBUG, kTag, "Node %s not active, removing",
                                it->first.c_str());
            GraphNode* unused = it->second.get();
            for (const auto& parent : unused->parents)
                parent.first->children.erase(unused);
            for (const auto& child : unused->children)
                child.first->parents.erase(unused);
            it = mGraphNodes.erase(it);
        }
        zo_log_common_debug(ZO_LOG_DEBUG, kTag, "Removed %lu Unusued Nodes - Done!",
                            static_cast<unsigned long>(before - active.size()));
        return 0;
    });
}

void GraphUtil::resetGraph() {
    guardVoid(__func__, [&] {
        unsigned visited = 0;
        for (const auto& entry : mGraphNodes) {
            if (entry.second->visited)
                ++visited;
            entry.second->visited = false;
        }
        const unsigned long total = mGraphNodes.size();
        zo_log_common_debug(ZO_LOG_DEBUG, kTag, "Visited graph nodes %u/%lu", visited, total);
        if (visited != total)
            zo_log_common_debug(ZO_LOG_ERROR, kTag,
                                "Traversal of graph did not reach all nodes %u/%lu", visited,
                                total);
    });
}

void GraphUtil::resetMetaGraph() {
    guardVoid(__func__, [&] {
        unsigned visited = 0;
        for (const auto& entry : mSubGraphs) {
            if (entry.second->visited)
                ++visited;
            entry.second->visited = false;
        }
        const unsigned long total = mSubGraphs.size();
        if (visited != total)
            zo_log_common_debug(ZO_LOG_ERROR, kTag,
                                "Traversal of meta graph did not reach all nodes %u/%lu", visited,
                                total);
    });
}

int GraphUtil::getCrossSgInPorts(GraphNode& node, std::vector<IGraphConfig*>& ports) {
    return guardStatus(__func__, err_internal, [&]() -> int {
        if (mGraphSettings == nullptr)
            return err_internal;
        return crossSgInPorts(node, ports, ConnectionIndex(mConnections));
    });
}

int GraphUtil::crossSgInPorts(GraphNode& node, std::vector<IGraphConfig*>& ports,
                              const ConnectionIndex& connections) {
    if (mGraphSettings == nullptr)
        return err_internal;
    const int id = subgraphIdOf(node);
    std::vector<GraphNode*> foreignParents;
    for (const auto& parent : node.parents) {
        GraphNode* parentNode = static_cast<GraphNode*>(parent.first);
        if (subgraphIdOf(*parentNode) == id)
            continue;
        zo_log_common_debug(ZO_LOG_DEBUG, kTag, "found parent %s in different subgraph id %d",
                            parentNode->name.c_str(), parentNode->streamId);
        foreignParents.push_back(parentNode);
    }

    for (GraphNode* parent : foreignParents) {
        for (const size_t position : connections.between(parent->name, node.name)) {
            const std::string& sink = connections.at(position).sink;
            IGraphConfig* port = mGraphSettings->getDescendant(ItemUID(sink));
            if (port == nullptr) {
                zo_log_common_debug(ZO_LOG_ERROR, kTag, "Could not find input port %s - impossible",
                                    sink.c_str());
                return err_internal;
            }
            ports.push_back(port);
            ZO_LOG_IF_WANTED(ZO_LOG_DEBUG, kTag, "found input port %s",
                             GraphCameraUtil::print(port).c_str());
        }
    }
    return 0;
}

int GraphUtil::subgraphConnectionVisitor(BaseGraphNode* node) {
    return guardStatus(__func__, err_internal, [&]() -> int {
        if (node == nullptr)
            return err_internal;
        GraphNode* graphNode = static_cast<GraphNode*>(node);
        const int id = subgraphIdOf(*graphNode);
        for (const auto& child : graphNode->children) {
            GraphNode* childNode = static_cast<GraphNode*>(child.first);
            const int childId = subgraphIdOf(*childNode);
            if (childId == id)
                continue;
            zo_log_common_debug(ZO_LOG_DEBUG, kTag, "Connection %s (%d)-->%s(%d) crosses subgraphs",
                                graphNode->name.c_str(), id, childNode->name.c_str(), childId);
            const auto from = mSubGraphs.find(id);
            const auto to = mSubGraphs.find(childId);
            if (from == mSubGraphs.end() || to == mSubGraphs.end())
                return err_internal;
            from->second->children.emplace(to->second.get(), std::to_string(childId));
            to->second->parents.emplace(from->second.get(), std::to_string(id));
        }
        return 0;
    });
}

int GraphUtil::collectSubgraphConnections() {
    return guardStatus(__func__, err_internal, [&]() -> int {
        zo_log_common_debug(ZO_LOG_DEBUG, kTag, "Looking for connections between subgraphs");
        std::function<int(BaseGraphNode*)> visitor = [this](BaseGraphNode* node) {
            return subgraphConnectionVisitor(node);
        };
        int result = 0;
        for (const auto& entry : mGraphNodes) {
            if (entry.second->type == static_cast<int32_t>(kKeySource))
                result = traverseGraph(entry.second.get(), visitor, true);
        }
        resetGraph();
        zo_log_common_debug(ZO_LOG_DEBUG, kTag,
                            "Connections between subgraphs analysis completed!!");
        return result;
    });
}

}  // namespace VELT
