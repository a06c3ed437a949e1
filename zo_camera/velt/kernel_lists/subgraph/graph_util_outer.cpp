// The outer graph (one node per block of the result graph), removal of the
// blocks that feed no sink, the links of the meta graph and the depth-first
// traversal that every analysis step uses.
#include <string>
#include <unordered_set>
#include <vector>

#include "velt_graph_camera_util.h"
#include "velt_graph_util.h"
#include "velt_item_uid.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/kernel_lists/subgraph/connection_index.h"
#include "zo_camera/velt/kernel_lists/subgraph/graph_util_common.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

using namespace analysis;

int GraphUtil::subgraphIdOf(const GraphNode& node) const {
    return mSubgraphType == kKeyStreamId ? node.streamId : node.execCtxId;
}

void GraphUtil::getAvailableSubgraphs(std::set<int>& ids) {
    guardVoid(__func__, [&] {
        for (const auto& entry : mGraphNodes) {
            ids.insert(subgraphIdOf(*entry.second));
        }
    });
}

Status GraphUtil::traverseGraph(BaseGraphNode* start, std::function<int(BaseGraphNode*)>& visitor,
                                bool downstream) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        if (start == nullptr || !visitor) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Graph traversal needs a start node and a visitor");
            return err_argument;
        }
        if (start->visited) {
            return err_none;
        }
        const Status result = visitor(start);
        if (result == visit_retry) {
            start->visited = false;
            return visit_stop;
        }
        start->visited = true;
        if (result == visit_stop) {
            return visit_stop;
        }
        if (result != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Graph traversal interrupted at node %s [%d]",
                          start->name.c_str(), result);
            return result;
        }
        // Copy the neighbours: a visitor may not change the links, but keep the walk safe.
        const NeighbourMap next = downstream ? start->children : start->parents;
        for (const auto& neighbour : next) {
            const Status status = traverseGraph(neighbour.first, visitor, downstream);
            if (status != err_none && status != visit_stop) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Graph traversal interrupted at node %s [%d]",
                              start->name.c_str(), status);
                return status;
            }
        }
        return err_none;
    });
}

Status GraphUtil::addGraphNode(IGraphConfig& node) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        std::string type;
        if (node.getValue(kKeyType, type) != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Could not get type of graph node %s ignoring",
                          GraphCameraUtil::print(&node).c_str());
            GraphCameraUtil::dumpNodeTree(&node, 0);
            return err_none;
        }
        if (type == "graph") {
            return err_none;
        }

        auto graphNode = std::make_shared<GraphNode>();
        graphNode->type = static_cast<int32_t>(ItemUID::str2key(type));
        graphNode->node = &node;
        if (node.getValue(kKeyName, graphNode->name) != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Could not get name of graph node %s ignoring",
                          GraphCameraUtil::print(&node).c_str());
            return err_none;
        }
        graphNode->streamId = intOr(node, kKeyStreamId, -1);
        graphNode->execCtxId = intOr(node, kKeyExecCtxId, -1);

        const auto inserted = mGraphNodes.emplace(graphNode->name, graphNode);
        if (!inserted.second) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Graph node %s insertion failed",
                          graphNode->name.c_str());
            return err_data;
        }
        ZO_MODULE_LOG(
            ZO_LOG_DEBUG, velt, "Node %s of type %s stream-id %d exeCtxId %d added to graph",
            graphNode->name.c_str(), type.c_str(), graphNode->streamId, graphNode->execCtxId);
        return err_none;
    });
}

Status GraphUtil::addGraphConnection(IGraphConfig& connection) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        const std::string source = strOr(connection, kKeySource);
        const std::string sink = strOr(connection, kKeySink);
        const auto sourceEnd = splitEnd(source, true);
        const auto sinkEnd = splitEnd(sink, true);

        const auto sourceNode = mGraphNodes.find(sourceEnd.first);
        if (sourceNode == mGraphNodes.end()) {
            ZO_MODULE_LOG(
                ZO_LOG_WARNING, velt,
                "Connection %s->%s skipped due to source not FOUND, Partial graph settings in use!",
                source.c_str(), sink.c_str());
            return err_none;
        }
        const auto sinkNode = mGraphNodes.find(sinkEnd.first);
        if (sinkNode == mGraphNodes.end()) {
            return err_none;
        }

        sourceNode->second->children.emplace(sinkNode->second.get(), sinkEnd.second);
        sinkNode->second->parents.emplace(sourceNode->second.get(), sourceEnd.second);
        return err_none;
    });
}

Status GraphUtil::activeNodeVisitor(BaseGraphNode* node, std::vector<std::string>* active) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        if (node == nullptr || active == nullptr) {
            return err_internal;
        }
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Visiting  node %s ", node->name.c_str());
        if (node->visited) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "node %s already visited, skipping",
                          node->name.c_str());
            return err_none;
        }
        active->push_back(node->name);
        if (!node->parents.empty()) {
            return err_none;
        }
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "node %s is last one, stopping", node->name.c_str());
        return visit_stop;
    });
}

Status GraphUtil::removeUnusedNodes() {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Removing Unusued Nodes");
        std::vector<std::string> active;
        std::function<int(BaseGraphNode*)> visitor = [this, &active](BaseGraphNode* node) {
            return activeNodeVisitor(node, &active);
        };
        for (const auto& entry : mGraphNodes) {
            if (entry.second->type != static_cast<int32_t>(kKeySink)) {
                continue;
            }
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Starting traversal at node %s ",
                          entry.first.c_str());
            const Status status = traverseGraph(entry.second.get(), visitor, false);
            if (status != err_none) {
                return status;
            }
        }
        resetGraph();

        const size_t before = mGraphNodes.size();
        const std::unordered_set<std::string> reached(active.begin(), active.end());
        for (auto it = mGraphNodes.begin(); it != mGraphNodes.end();) {
            if (reached.count(it->first) != 0) {
                ++it;
                continue;
            }
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Node %s not active, removing", it->first.c_str());
            GraphNode* unused = it->second.get();
            for (const auto& parent : unused->parents) {
                parent.first->children.erase(unused);
            }
            for (const auto& child : unused->children) {
                child.first->parents.erase(unused);
            }
            it = mGraphNodes.erase(it);
        }
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Removed %lu Unusued Nodes - Done!",
                      static_cast<unsigned long>(before - active.size()));
        return err_none;
    });
}

void GraphUtil::resetGraph() {
    guardVoid(__func__, [&] {
        unsigned visited = 0;
        for (const auto& entry : mGraphNodes) {
            if (entry.second->visited) {
                ++visited;
            }
            entry.second->visited = false;
        }
        const unsigned long total = mGraphNodes.size();
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Visited graph nodes %u/%lu", visited, total);
        if (visited != total) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Traversal of graph did not reach all nodes %u/%lu",
                          visited, total);
        }
    });
}

void GraphUtil::resetMetaGraph() {
    guardVoid(__func__, [&] {
        unsigned visited = 0;
        for (const auto& entry : mSubGraphs) {
            if (entry.second->visited) {
                ++visited;
            }
            entry.second->visited = false;
        }
        const unsigned long total = mSubGraphs.size();
        if (visited != total) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                          "Traversal of meta graph did not reach all nodes %u/%lu", visited, total);
        }
    });
}

Status GraphUtil::getCrossSgInPorts(GraphNode& node, std::vector<IGraphConfig*>& ports) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        if (mGraphSettings == nullptr) {
            return err_internal;
        }
        return crossSgInPorts(node, ports, ConnectionIndex(mConnections));
    });
}

int GraphUtil::crossSgInPorts(GraphNode& node, std::vector<IGraphConfig*>& ports,
                              const ConnectionIndex& connections) {
    if (mGraphSettings == nullptr) {
        return err_internal;
    }
    const int id = subgraphIdOf(node);
    std::vector<GraphNode*> foreignParents;
    for (const auto& parent : node.parents) {
        GraphNode* parentNode = static_cast<GraphNode*>(parent.first);
        if (subgraphIdOf(*parentNode) == id) {
            continue;
        }
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "found parent %s in different subgraph id %d",
                      parentNode->name.c_str(), parentNode->streamId);
        foreignParents.push_back(parentNode);
    }

    for (GraphNode* parent : foreignParents) {
        for (const size_t position : connections.between(parent->name, node.name)) {
            const std::string& sink = connections.at(position).sink;
            IGraphConfig* port = mGraphSettings->getDescendant(ItemUID(sink));
            if (port == nullptr) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Could not find input port %s - impossible",
                              sink.c_str());
                return err_internal;
            }
            ports.push_back(port);
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "found input port %s",
                          GraphCameraUtil::print(port).c_str());
        }
    }
    return 0;
}

Status GraphUtil::subgraphConnectionVisitor(BaseGraphNode* node) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        if (node == nullptr) {
            return err_internal;
        }
        GraphNode* graphNode = static_cast<GraphNode*>(node);
        const int id = subgraphIdOf(*graphNode);
        for (const auto& child : graphNode->children) {
            GraphNode* childNode = static_cast<GraphNode*>(child.first);
            const int childId = subgraphIdOf(*childNode);
            if (childId == id) {
                continue;
            }
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Connection %s (%d)-->%s(%d) crosses subgraphs",
                          graphNode->name.c_str(), id, childNode->name.c_str(), childId);
            const auto from = mSubGraphs.find(id);
            const auto to = mSubGraphs.find(childId);
            if (from == mSubGraphs.end() || to == mSubGraphs.end()) {
                return err_internal;
            }
            from->second->children.emplace(to->second.get(), std::to_string(childId));
            to->second->parents.emplace(from->second.get(), std::to_string(id));
        }
        return err_none;
    });
}

Status GraphUtil::collectSubgraphConnections() {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Looking for connections between subgraphs");
        std::function<int(BaseGraphNode*)> visitor = [this](BaseGraphNode* node) {
            return subgraphConnectionVisitor(node);
        };
        Status result = 0;
        for (const auto& entry : mGraphNodes) {
            if (entry.second->type == static_cast<int32_t>(kKeySource)) {
                result = traverseGraph(entry.second.get(), visitor, true);
            }
        }
        resetGraph();
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Connections between subgraphs analysis completed!!");
        return result;
    });
}

}  // namespace VELT
