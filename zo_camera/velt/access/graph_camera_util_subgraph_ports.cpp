// Ports through which a subgraph (the program groups sharing one execution
// context or stream) is entered or left, and connections across contexts.
#include <string>
#include <utility>
#include <vector>

#include "velt_graph_camera_util.h"
#include "velt_item_uid.h"
#include "velt_node_iterator.h"
#include "velt_status.h"
#include "zo_camera/velt/access/graph_access_helpers.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

namespace {

// Whether a port of a subgraph block leads out of the subgraph.
bool leavesSubgraph(const IGraphConfig* port, int direction, unsigned key, int value,
                    unsigned typeKey) {
    IGraphConfig* peer = nullptr;
    if (GraphCameraUtil::portGetPeer(port, &peer) != 0) {
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "%s: no peer found for port %s", "getSubgraphPorts",
                      port->getName().c_str());
        return true;
    }
    ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "%s: peer for %s is %s", "getSubgraphPorts",
                  port->getName().c_str(), peer->getName().c_str());
    if (direction == 1 && hasTypeName(peer, "sink")) {
        return true;
    }
    const IGraphConfig* peerBlock = peer->getAncestor();
    if (!hasTypeName(peerBlock, ItemUID::key2str(typeKey))) {
        return true;
    }
    int peerValue = 0;
    if (peerBlock->getValue(key, peerValue) != 0) {
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "%s: no %s for peer %s", "getSubgraphPorts",
                      ItemUID::key2str(key), GraphCameraUtil::print(peer).c_str());
        return false;
    }
    return peerValue != value;
}

// Source ports that feed a subgraph which has no output ports of its own.
void addSourceOutputPorts(unsigned key, int value, const IGraphConfig& graph,
                          std::vector<IGraphConfig*>& ports, unsigned typeKey) {
    const std::string typeName = ItemUID::key2str(typeKey);
    NodeIterator sourceIt(&graph);
    for (IGraphConfig* source = sourceIt.iterateByType(kKeySource); source != nullptr;
         source = sourceIt.iterateByType(kKeySource)) {
        NodeIterator portIt(source);
        for (IGraphConfig* port = portIt.iterateByType(kKeyPort); port != nullptr;
             port = portIt.iterateByType(kKeyPort)) {
            IGraphConfig* peer = nullptr;
            if (GraphCameraUtil::portGetPeer(port, &peer) != 0) {
                ZO_MODULE_LOG(
                    ZO_LOG_DEBUG, velt,
                    "Source port %s has no peer found. Added to list of subgraph output ports",
                    port->getName().c_str());
                ports.push_back(port);
                continue;
            }
            IGraphConfig* peerBlock = peer->getAncestor();
            if (peerBlock == nullptr) {
                continue;
            }
            if (!hasTypeName(peerBlock, typeName)) {
                // A block between the source and the subgraph, such as a
                // receiver: its outputs are what the subgraph sees.
                NodeIterator blockIt(peerBlock);
                for (IGraphConfig* blockPort = blockIt.iterateByType(kKeyPort);
                     blockPort != nullptr; blockPort = blockIt.iterateByType(kKeyPort)) {
                    if (intOr(*blockPort, kKeyDirection, 0) == 1) {
                        ports.push_back(blockPort);
                    }
                }
                continue;
            }
            int pgValue = 0;
            if (peerBlock->getValue(key, pgValue) != 0) {
                ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                              "PG %s does not have stream id or exec ctx- FIX it!",
                              peerBlock->getName().c_str());
                continue;
            }
            if (pgValue == value) {
                continue;
            }
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Source port %s crosses Subgraph boundary (%d)->(%d)",
                          port->getName().c_str(), value, pgValue);
            ports.push_back(port);
        }
    }
}

}  // namespace

int GraphCameraUtil::getSubgraphPorts(unsigned key, int value, int direction,
                                      const IGraphConfig& graph, std::vector<IGraphConfig*>& ports,
                                      unsigned typeKey) {
    return guardStatus(__func__, err_argument, [&]() -> int {
        ports.clear();
        NodeIterator blockIt(&graph);
        for (IGraphConfig* block = blockIt.iterateByType(typeKey); block != nullptr;
             block = blockIt.iterateByType(typeKey)) {
            int blockValue = 0;
            if (block->getValue(key, blockValue) != 0 || blockValue != value) {
                continue;
            }
            NodeIterator portIt(block);
            for (IGraphConfig* port = portIt.iterateByType(kKeyPort); port != nullptr;
                 port = portIt.iterateByType(kKeyPort)) {
                if (portGetDirection(port) == direction &&
                    leavesSubgraph(port, direction, key, value, typeKey)) {
                    ports.push_back(port);
                }
            }
        }
        return ports.empty() ? err_argument : err_none;
    });
}

int GraphCameraUtil::getInputPorts(unsigned key, int value, const IGraphConfig& graph,
                                   std::vector<IGraphConfig*>& ports, unsigned typeKey) {
    return guardStatus(__func__, err_argument, [&]() -> int {
        return getSubgraphPorts(key, value, 0, graph, ports, typeKey);
    });
}

int GraphCameraUtil::getInputPort(unsigned key, int value, const IGraphConfig* graph,
                                  IGraphConfig** port, unsigned typeKey) {
    return guardStatus(__func__, err_argument, [&]() -> int {
        if (graph == nullptr || port == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "NULL pointer given");
            return err_argument;
        }
        std::vector<IGraphConfig*> ports;
        int status = getInputPorts(key, value, *graph, ports, typeKey);
        if (status != 0) {
            return status;
        }
        for (IGraphConfig* candidate : ports) {
            IGraphConfig* peer = nullptr;
            status = portGetPeer(candidate, &peer);
            if (status == 0) {
                *port = candidate;
                return err_none;
            }
        }
        return status;
    });
}

int GraphCameraUtil::getOutputPorts(unsigned key, int value, const IGraphConfig& graph,
                                    std::vector<IGraphConfig*>& ports, unsigned typeKey) {
    return guardStatus(__func__, err_argument, [&]() -> int {
        if (getSubgraphPorts(key, value, 1, graph, ports, typeKey) == 0) {
            return err_none;
        }
        addSourceOutputPorts(key, value, graph, ports, typeKey);
        return ports.empty() ? err_argument : err_none;
    });
}

int GraphCameraUtil::getExecCtxConnectionPorts(
    const IGraphConfig* graph, std::vector<std::pair<std::string, std::string>>& connections,
    std::vector<std::string>& sourcePeers, std::vector<std::string>& sinkNames) {
    return guardStatus(__func__, err_argument, [&]() -> int {
        if (graph == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "NULL pointer given");
            return err_argument;
        }
        size_t added = 0;
        NodeIterator pgIt(graph);
        for (IGraphConfig* pg = pgIt.iterateByType(kKeyProgramGroup); pg != nullptr;
             pg = pgIt.iterateByType(kKeyProgramGroup)) {
            const int context = intOr(*pg, kKeyExecCtxId, -1);
            NodeIterator portIt(pg);
            for (IGraphConfig* port = portIt.iterateByType(kKeyPort); port != nullptr;
                 port = portIt.iterateByType(kKeyPort)) {
                std::string peerName;
                IGraphConfig* peer = nullptr;
                if (port->getValue(kKeyPeer, peerName) != 0 || portGetPeer(port, &peer) != 0) {
                    ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "%s: no peer", "getExecCtxConnectionPorts");
                    continue;
                }
                const bool edge = isEdgePort(port);
                const bool pixelData = portGetContentType(port) == "pixel_data";
                const std::string fullName = getFullName(*port);

                if (portGetDirection(port) == 0) {
                    const IGraphConfig* peerBlock = peer->getAncestor();
                    if (peerBlock == nullptr) {
                        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "ancestor of %s is null",
                                      print(peer).c_str());
                        return err_data;
                    }
                    int peerContext = -1;
                    if (peerBlock->getValue(kKeyExecCtxId, peerContext) != 0) {
                        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "No Execution Contex for ancestor of %s",
                                      print(peer).c_str());
                    }
                    if (peerContext != context) {
                        connections.emplace_back(peerName, fullName);
                        ++added;
                    }
                    if (pixelData &&
                        (hasTypeName(peerBlock, "source") || hasTypeName(peerBlock, "hw"))) {
                        sourcePeers.push_back(peerName);
                    }
                } else if (edge && hasTypeName(peer, "sink")) {
                    connections.emplace_back(fullName, peerName);
                    ++added;
                    if (pixelData) {
                        sinkNames.push_back(peerName);
                    }
                }
            }
        }
        return added == 0 ? err_argument : err_none;
    });
}

}  // namespace VELT
