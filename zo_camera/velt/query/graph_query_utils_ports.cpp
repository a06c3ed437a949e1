// Port peers and the switching off of ports that lead nowhere.
#include <string>

#include "velt_graph_camera_util.h"
#include "velt_graph_query_utils.h"
#include "velt_item_uid.h"
#include "velt_node_iterator.h"
#include "velt_status.h"
#include "zo_camera/velt/access/graph_access_helpers.h"
#include "zo_camera/velt/query/query_log.h"

namespace VELT {

int GraphQueryUtils::disableNode(GraphConfigNode* node) {
    if (node == nullptr) {
        return err_none;
    }
    GraphConfigItem* enabled = node->getItem(kKeyEnabled);
    if (enabled == nullptr) {
        node->addValue(kKeyEnabled, 0);
    } else {
        enabled->setValue(0);
    }
    return err_none;
}

GraphConfigNode* GraphQueryUtils::getPortPeer(GraphConfigNode* port) {
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
}

void GraphQueryUtils::disableUnusedPorts(GraphConfigNode* root) {
    zo_log_common_debug(ZO_LOG_DEBUG, kQueryTag, "disableUnusedPorts");
    if (root == nullptr) {
        return;
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
            if (GraphCameraUtil::portGetPeer(item, &peer) != 0) {
                zo_log_common_debug(ZO_LOG_WARNING, kQueryTag, "port %s has no peer, disabling it.",
                                    name.c_str());
                disableNode(port);
            } else if (intOr(*peer, kKeyEnabled, 1) == 0) {
                zo_log_common_debug(ZO_LOG_WARNING, kQueryTag, "peer disabled, disabling port %s",
                                    name.c_str());
                disableNode(port);
            }
        }
    }
    zo_log_common_debug(ZO_LOG_DEBUG, kQueryTag, "disableUnusedPorts done!");
}

}  // namespace VELT
