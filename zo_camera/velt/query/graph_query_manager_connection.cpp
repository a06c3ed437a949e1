// Settings-dependent connections: both ends are copied into the result graph
// and joined only when the settings entry uses them.
#include <string>

#include "velt_graph_config_node.h"
#include "velt_graph_query_manager.h"
#include "velt_item_uid.h"
#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/query/connection_end.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

namespace {

// A connection into a virtual sink: the sink learns its direction and, unless the
// descriptor fixed one, the stream of the block that feeds it.
int connectVirtualSink(GraphConfigNode* sourceBlock, GraphConfigNode* sink,
                       const ConnectionEnd& source, const ConnectionEnd& destination,
                       const std::string& peerText, const std::string& sourceText) {
    int status = sink->addValue(kKeyDirection, 0);
    if (status != err_none) {
        return status;
    }
    GraphConfigNode* sourceItem = findConnectionEndItem(sourceBlock, source);
    if (!sourceItem) {
        return err_general;
    }
    std::string type;
    status = sink->getValue(kKeyType, type);
    if (status != err_none) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "No type for connected peer node");
        return status;
    }
    if (type != "sink") {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                      "sink connection attribute without port '%s' not pointing to "
                      "virtual sink",
                      type.c_str());
        return err_general;
    }
    int streamId = 0;
    if (sink->getValue(kKeyStreamId, streamId) != err_none) {
        status = sourceBlock->getValue(kKeyStreamId, streamId);
        if (status != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "No stream_id set for connected peer");
            return status;
        }
        status = sink->addValue(kKeyStreamId, streamId);
        if (status != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to add stream ID to sink peer");
            return status;
        }
    }
    return linkConnectionEnds(sourceItem, source, sink, destination, peerText, sourceText);
}

}  // namespace

int GraphQueryManager::getConnectionData(const std::string& source, const std::string& sink,
                                         GraphConfigNode* settings, GraphConfigNode* result) {
    return guardStatus(__func__, err_general, [&]() -> int {
        if (!result || !settings) {
            return err_argument;
        }
        IGraphConfig* nodes = findDescriptorNodes(graphDescriptor_);
        if (!nodes) {
            return err_general;
        }
        const ConnectionEnd sourceEnd(source);
        ConnectionEnd destinationEnd(sink);

        IGraphConfig* settingsNode = settings->getDescendant(sourceEnd.nodeKey);
        if (!settingsNode) {
            ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                          "WARNING: Node(%s) not found from settings(%d), ignoring connection.",
                          sourceEnd.nodeName(), settingsKey_);
            return err_none;
        }
        IGraphConfig* settingsSource = settingsNode;
        if (sourceEnd.hasPort()) {
            settingsSource = settingsNode->getDescendant(sourceEnd.portKey);
            if (!settingsSource) {
                ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                              "WARNING: Node(%s) port %s not found from settings(%d).",
                              sourceEnd.nodeName(), sourceEnd.portName(), settingsKey_);
                return err_none;
            }
        }

        GraphConfigNode* sourceBlock =
            copyConnectionEndBlock(*this, nodes, sourceEnd, "src", result);
        if (!sourceBlock) {
            return err_general;
        }

        int enabled = 1;
        if (settingsSource->getValue(kKeyEnabled, enabled) == err_none && enabled == 0) {
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt,
                          "Source port %s disabled, skip destination and peer processing",
                          sourceEnd.portName());
            return err_none;
        }

        std::string peerText = sink;
        if (!destinationEnd.hasPort()) {
            std::string peerOverride;
            if (settingsSource->getValue(kKeyPeer, peerOverride) == err_none) {
                destinationEnd.nodeKey = ItemUID::str2key(peerOverride);
                peerText = peerOverride;
                ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Overriding destination node %s with %s",
                              destinationEnd.nodeName(), peerOverride.c_str());
            } else {
                ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Using default connection %s", source.c_str());
            }
        }

        if (!settings->getDescendant(destinationEnd.nodeKey)) {
            ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                          "Skipping port %s:%s for not being active in settings.",
                          sourceEnd.nodeName(), sourceEnd.portName());
            return err_none;
        }

        GraphConfigNode* destinationBlock =
            copyConnectionEndBlock(*this, nodes, destinationEnd, "dst", result);
        if (!destinationBlock) {
            return err_general;
        }
        if (!destinationEnd.hasPort()) {
            return connectVirtualSink(sourceBlock, destinationBlock, sourceEnd, destinationEnd,
                                      peerText, source);
        }
        return linkConnectionBlocks(sourceBlock, sourceEnd, destinationBlock, destinationEnd,
                                    peerText, source);
    });
}

}  // namespace VELT
