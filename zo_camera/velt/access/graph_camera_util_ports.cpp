// Port accessors: identity, direction, the program-group values a port
// belongs to, and its peer.
#include <string>

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

IGraphConfig* GraphCameraUtil::nodeGetPortById(const IGraphConfig* node, int id) {
    return guardValue<IGraphConfig*>(__func__, nullptr, [&]() -> IGraphConfig* {
        if (node == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Couldn't get port. Node is NULL");
            return nullptr;
        }
        NodeIterator it(node);
        for (IGraphConfig* port = it.iterateByType(kKeyPort); port != nullptr;
             port = it.iterateByType(kKeyPort)) {
            int portId = 0;
            if (port->getValue(kKeyId, portId) == 0 && portId == id) {
                return port;
            }
        }
        return nullptr;
    });
}

int GraphCameraUtil::portGetDirection(const IGraphConfig* port) {
    return guardValue<int>(__func__, 0, [&]() -> int {
        int direction = 0;
        if (port == nullptr || port->getValue(kKeyDirection, direction) != 0) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                          "Failed to retrieve port direction, default to input");
            return 0;
        }
        return direction;
    });
}

int GraphCameraUtil::portGetKey(const IGraphConfig* port, unsigned key) {
    return guardValue<int>(__func__, -1, [&]() -> int {
        if (port == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Invalid Node, cannot get the port execCtx id");
            return -1;
        }
        std::string type;
        if (port->getValue(kKeyType, type) != 0) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get Node Type");
            return -1;
        }
        // A virtual sink carries its stream's values itself; a real port inherits
        // them from its program group.
        const IGraphConfig* holder = port;
        if (type != "sink") {
            holder = port->getAncestor();
            if (holder == nullptr) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get port's ancestor");
                return -1;
            }
        }
        return intOr(*holder, key, -1);
    });
}

int GraphCameraUtil::portGetExecCtxId(const IGraphConfig* port) {
    return guardValue<int>(__func__, -1, [&]() -> int { return portGetKey(port, kKeyExecCtxId); });
}

int GraphCameraUtil::portGetStreamId(const IGraphConfig* port) {
    return guardValue<int>(__func__, -1, [&]() -> int {
        const int streamId = portGetKey(port, kKeyStreamId);
        if (streamId < 0) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get %s for port %s", "stream_id",
                          print(port).c_str());
        }
        return streamId;
    });
}

std::string GraphCameraUtil::portGetContentType(const IGraphConfig* port) {
    return guardValue<std::string>(__func__, std::string(), [&]() -> std::string {
        std::string contentType = "pixel_data";
        if (port != nullptr) {
            port->getValue(kKeyContentType, contentType);
        }
        return contentType;
    });
}

bool GraphCameraUtil::portIsVirtual(const IGraphConfig* port) {
    return guardValue<bool>(__func__, false, [&]() -> bool {
        if (port == nullptr) {
            return false;
        }
        std::string type;
        if (port->getValue(kKeyType, type) != 0) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to retrieve port(%s) type, default to input",
                          print(port).c_str());
            return false;
        }
        return type == "sink";
    });
}

int GraphCameraUtil::portGetPeer(const IGraphConfig* port, IGraphConfig** peer) {
    return guardStatus(__func__, err_argument, [&]() -> int {
        if (port == nullptr || peer == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Invalid Node, cannot get the peer port");
            return err_argument;
        }
        // Disabled and private ports lead nowhere, whatever their "peer" says.
        if (intOr(*port, kKeyEnabled, 1) == 0 || intOr(*port, kKeyPrivate, 0) != 0) {
            return err_noentry;
        }
        const IGraphConfig* root = port->getRoot();
        if (root == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get root");
            return err_internal;
        }
        std::string peerName;
        if (port->getValue(kKeyPeer, peerName) != 0) {
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Couldn't find peer value for %s",
                          print(port).c_str());
            return err_argument;
        }
        IGraphConfig* found = root->getDescendantByString(peerName);
        if (found == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to find peer by name %s", peerName.c_str());
            return err_argument;
        }
        *peer = found;
        return err_none;
    });
}

bool GraphCameraUtil::isEdgePort(const IGraphConfig* port) {
    return guardValue<bool>(__func__, false, [&]() -> bool {
        const int direction = portGetDirection(port);
        IGraphConfig* peer = nullptr;
        const int status = portGetPeer(port, &peer);
        if (status != 0) {
            if (status != err_noentry) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to create fourcc info for source port");
            }
            return false;
        }

        int context = portGetExecCtxId(port);
        if (context < 0) {
            context = portGetStreamId(port);
            if (context < 0) {
                return false;
            }
        }

        const bool peerIsVirtual = portIsVirtual(peer);
        int peerContext = -1;
        std::string peerBlockType;
        if (!peerIsVirtual) {
            const IGraphConfig* peerBlock = peer->getAncestor();
            if (peerBlock == nullptr) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get peer's ancestor");
                return false;
            }
            if (peerBlock->getValue(kKeyExecCtxId, peerContext) != 0 &&
                peerBlock->getValue(kKeyStreamId, peerContext) != 0) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get stream ID of peer PG %s",
                              print(peerBlock).c_str());
                return false;
            }
            peerBlock->getValue(kKeyType, peerBlockType);
        }

        if (direction == 0) {
            // An input fed by a block outside any program group starts a context.
            return context != peerContext || peerBlockType == "hw" || peerBlockType == "source";
        }
        return peerIsVirtual || context != peerContext;
    });
}

}  // namespace VELT
