// Port peers and the switching off of ports that lead nowhere.
#include <string>

#include "velt_graph_camera_util.h"
#include "velt_graph_query_utils.h"
#include "velt_item_uid.h"
#include "velt_node_iterator.h"
#include "velt_status.h"
#include "zo_camera/velt/query/query_log.h"

namespace VELT {

namespace {

bool isPort(const IGraphConfig& node) {
    std::string type;
    return node.getValue(kKeyType, type) == 0 && ItemUID::str2key(type) == kKeyPort;
}

bool hasIntEqualTo(const IGraphConfig& node, uint32_t key, int expected) {
    int value = 0;
    return node.getValue(key, value) == 0 && value == expected;
}

}  // namespace

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
            if (!isPort(*item) || GraphCameraUtil::portGetContentType(item) != "pixel_data") {
                continue;
            }
            int isPrivate = 0;
            if ((item->getValue(kKeyPrivate, isPrivate) == 0 && isPrivate != 0) ||
                hasIntEqualTo(*item, kKeyEnabled, 0)) {
                continue;
            }
            auto* port = static_cast<GraphConfigNode*>(item);
            const std::string name = port->getName();
            IGraphConfig* peer = nullptr;
            if (GraphCameraUtil::portGetPeer(item, &peer) != 0) {
                zo_log_common_debug(ZO_LOG_WARNING, kQueryTag, "port %s has no peer, disabling it.",
                                    name.c_str());
                disableNode(port);
            } else if (hasIntEqualTo(*peer, kKeyEnabled, 0)) {
                zo_log_common_debug(ZO_LOG_WARNING, kQueryTag, "peer disabled, disabling port %s",
                                    name.c_str());
                disableNode(port);
            }
        }
    }
    zo_log_common_debug(ZO_LOG_DEBUG, kQueryTag, "disableUnusedPorts done!");
}

}  // namespace VELT
