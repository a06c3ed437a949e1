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
#include "zo_camera/velt/access/subgraph_blocks.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

int GraphCameraUtil::getSubgraphPorts(unsigned key, int value, int direction,
                                      const IGraphConfig& graph, std::vector<IGraphConfig*>& ports,
                                      unsigned typeKey) {
    return guardStatus(__func__, err_argument, [&]() -> int {
        ports.clear();
        appendSubgraphPorts(subgraphBlocksOf(key, value, typeKey, graph), key, value, direction,
                            typeKey, ports);
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
        const int status = getInputPorts(key, value, *graph, ports, typeKey);
        if (status != 0) {
            return status;
        }
        return firstInputPortWithPeer(ports, port);
    });
}

int GraphCameraUtil::getOutputPorts(unsigned key, int value, const IGraphConfig& graph,
                                    std::vector<IGraphConfig*>& ports, unsigned typeKey) {
    return guardStatus(__func__, err_argument, [&]() -> int {
        if (getSubgraphPorts(key, value, 1, graph, ports, typeKey) == 0) {
            return err_none;
        }
        appendSourceOutputPorts(sourcesOf(graph), key, value, typeKey, ports);
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
