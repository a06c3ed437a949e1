// Port peers and the switching off of ports that lead nowhere.
#include <string>

#include "velt_graph_camera_util.h"
#include "velt_graph_query_utils.h"
#include "velt_item_uid.h"
#include "velt_node_iterator.h"
#include "velt_status.h"
#include "zo_camera/velt/access/graph_access_helpers.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

int GraphQueryUtils::disableNode(GraphConfigNode* node) {
    if (node == nullptr) {
        return err_none;
    }
    // A port that could not be switched off would pass for a live one.
    GraphConfigItem* enabled = node->getItem(kKeyEnabled);
    return enabled == nullptr ? node->addValue(kKeyEnabled, 0) : enabled->setValue(0);
}

GraphConfigNode* GraphQueryUtils::getPortPeer(GraphConfigNode* port) {
    return guardValue<GraphConfigNode*>(__func__, nullptr, [&]() -> GraphConfigNode* {
        std::string peer;
        if (port == nullptr || port->getValue(kKeyPeer, peer) != 0) {
            return nullptr;
        }
        const GraphConfigNode* root = port->getRootNode();
        GraphConfigNode* node = nullptr;
        const size_t colon = peer.find(':');
        if (root->getDescendant(ItemUID::str2key(peer.substr(0, colon)), &node) != 0) {
            return nullptr;
        }
        if (colon == std::string::npos) {
            return node;
        }
        GraphConfigNode* peerPort = nullptr;
        if (node->getDescendant(ItemUID::str2key(peer.substr(colon + 1)), &peerPort) != 0) {
            return nullptr;
        }
        return peerPort;
    });
}

int GraphQueryUtils::disableUnusedPorts(GraphConfigNode* root) {
    return guardStatus(__func__, err_general, [&]() -> int {
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "disableUnusedPorts");
        if (root == nullptr) {
            return err_none;
        }
        NodeIterator blockIt(root);
        for (IGraphConfig* block = blockIt.iterateDescendants(); block != nullptr;
             block = blockIt.iterateDescendants()) {
            NodeIterator portIt(block);
            for (IGraphConfig* item = portIt.iterateDescendants(); item != nullptr;
                 item = portIt.iterateDescendants()) {
                if (!hasTypeName(item, "port") ||
                    GraphCameraUtil::portGetContentType(item) != "pixel_data") {
                    continue;
                }
                // Private ports are wired by their owner; disabled ones are done.
                if (intOr(*item, kKeyPrivate, 0) != 0 || intOr(*item, kKeyEnabled, 1) == 0) {
                    continue;
                }
                auto* port = static_cast<GraphConfigNode*>(item);
                const std::string name = port->getName();
                IGraphConfig* peer = nullptr;
                int status = err_none;
                if (GraphCameraUtil::portGetPeer(item, &peer) != 0) {
                    ZO_MODULE_LOG(ZO_LOG_WARNING, velt, "port %s has no peer, disabling it.",
                                  name.c_str());
                    status = disableNode(port);
                } else if (intOr(*peer, kKeyEnabled, 1) == 0) {
                    ZO_MODULE_LOG(ZO_LOG_WARNING, velt, "peer disabled, disabling port %s",
                                  name.c_str());
                    status = disableNode(port);
                }
                if (status != err_none) {
                    ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to disable port %s", name.c_str());
                    return status;
                }
            }
        }
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "disableUnusedPorts done!");
        return err_none;
    });
}

}  // namespace VELT
