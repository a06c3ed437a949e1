#include "zo_camera/velt/query/connection_end.h"

#include <memory>

#include "velt_graph_query_manager.h"
#include "velt_item_uid.h"
#include "velt_status.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

namespace {

// Adds a "peer" even where the item already has one: a port may feed several others.
int appendPeer(GraphConfigNode* item, const std::string& text) {
    // Owned here until the item has taken it: both steps can run out of memory.
    auto peer = std::make_unique<GraphConfigStrAttribute>();
    int status = peer->insertString(text);
    if (status != err_none) {
        return status;
    }
    status = item->insertDescendant(peer.get(), kKeyPeer);
    if (status == err_none) {
        (void)peer.release();  // the port owns it now
    }
    return status;
}

}  // namespace

ConnectionEnd::ConnectionEnd(const std::string& text) {
    ItemUID path(text);
    if (path.size() > 0) {
        nodeKey = path[0];
    }
    if (path.size() > 1) {
        portKey = path[1];
        namesPort = true;
    }
}

const char* ConnectionEnd::nodeName() const {
    return ItemUID::key2str(nodeKey);
}

const char* ConnectionEnd::portName() const {
    return ItemUID::key2str(portKey);
}

IGraphConfig* findDescriptorNodes(const IGraphConfig* descriptor) {
    IGraphConfig* nodes = descriptor ? descriptor->getDescendant(kKeyNodes) : nullptr;
    if (!nodes) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Error, graph_descriptor does not have a 'nodes' node");
    }
    return nodes;
}

GraphConfigNode* copyConnectionEndBlock(GraphQueryManager& manager, IGraphConfig* nodes,
                                        const ConnectionEnd& end, const char* role,
                                        GraphConfigNode* result) {
    IGraphConfig* block = manager.copyNodeToResult(nodes, end.nodeKey, result);
    if (!block) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to copy %s node(%s) from descriptor to settings",
                      role, end.nodeName());
        return nullptr;
    }
    return static_cast<GraphConfigNode*>(block);
}

GraphConfigNode* findConnectionEndItem(GraphConfigNode* block, const ConnectionEnd& end) {
    if (!end.hasPort()) {
        return block;
    }
    GraphConfigNode* port = nullptr;
    if (block->getDescendant(end.portKey, &port) != err_none || !port) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Node(%s) has no port named '%s'", end.nodeName(),
                      end.portName());
        return nullptr;
    }
    return port;
}

int linkConnectionEnds(GraphConfigNode* sourceItem, const ConnectionEnd& source,
                       GraphConfigNode* destinationItem, const ConnectionEnd& destination,
                       const std::string& peerText, const std::string& sourceText) {
    std::string existing;
    if (sourceItem->getValue(kKeyPeer, existing) == err_none) {
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Node(%s) port '%s' already connected once to '%s'",
                      source.nodeName(), source.portName(), existing.c_str());
    }
    int status = appendPeer(sourceItem, peerText);
    if (status != err_none) {
        return status;
    }
    if (destinationItem->getValue(kKeyPeer, existing) == err_none) {
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt,
                      "Node(%s) port '%s' already connected once to '%s' adding new peer",
                      destination.nodeName(), destination.portName(), existing.c_str());
        appendPeer(destinationItem, sourceText);
        return err_none;
    }
    return destinationItem->addValue(kKeyPeer, sourceText);
}

int linkConnectionBlocks(GraphConfigNode* sourceBlock, const ConnectionEnd& source,
                         GraphConfigNode* destinationBlock, const ConnectionEnd& destination,
                         const std::string& peerText, const std::string& sourceText) {
    GraphConfigNode* sourceItem = findConnectionEndItem(sourceBlock, source);
    if (!sourceItem) {
        return err_general;
    }
    GraphConfigNode* destinationItem = findConnectionEndItem(destinationBlock, destination);
    if (!destinationItem) {
        return err_general;
    }
    return linkConnectionEnds(sourceItem, source, destinationItem, destination, peerText,
                              sourceText);
}

}  // namespace VELT
