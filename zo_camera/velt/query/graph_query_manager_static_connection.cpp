// Static connections: present in every result graph of the descriptor graph,
// whatever the settings entry says.
#include <string>

#include "velt_graph_config_node.h"
#include "velt_graph_query_manager.h"
#include "velt_status.h"
#include "zo_camera/velt/query/connection_end.h"
#include "zo_camera/velt/query/query_log.h"
#include "zo_log_common.h"

namespace VELT {

int GraphQueryManager::getStaticConnectionData(const std::string& source, const std::string& sink,
                                               GraphConfigNode* result) {
    if (!result) {
        return err_argument;
    }
    IGraphConfig* nodes = findDescriptorNodes(graphDescriptor_);
    if (!nodes) {
        return err_general;
    }
    const ConnectionEnd sourceEnd(source);
    const ConnectionEnd destinationEnd(sink);

    IGraphConfig* sourceBlock = copyNodeToResult(nodes, sourceEnd.nodeKey, result);
    if (!sourceBlock) {
        zo_log_common_debug(ZO_LOG_ERROR, kQueryTag,
                            "Failed to copy src node(%s) from descriptor to settings",
                            sourceEnd.nodeName());
        return err_general;
    }
    IGraphConfig* destinationBlock = copyNodeToResult(nodes, destinationEnd.nodeKey, result);
    if (!destinationBlock) {
        zo_log_common_debug(ZO_LOG_ERROR, kQueryTag,
                            "Failed to copy dst node(%s) from descriptor to settings",
                            destinationEnd.nodeName());
        return err_general;
    }
    GraphConfigNode* sourceNode = static_cast<GraphConfigNode*>(sourceBlock);
    GraphConfigNode* destinationNode = static_cast<GraphConfigNode*>(destinationBlock);

    if (!destinationEnd.hasPort()) {
        int status = destinationNode->addValue(kKeyDirection, 0);
        if (status != err_none) {
            return status;
        }
        GraphConfigNode* sourceItem = findConnectionEndItem(sourceNode, sourceEnd);
        if (!sourceItem) {
            return err_general;
        }
        // A static sink runs in the context of what feeds it; either may be missing.
        propagateIntAttribute(sourceNode, destinationNode, kKeyExecCtxId);
        propagateStrAttribute(sourceNode, destinationNode, kKeyContentType);
        return linkConnectionEnds(sourceItem, sourceEnd, destinationNode, destinationEnd, sink,
                                  source);
    }

    GraphConfigNode* sourceItem = findConnectionEndItem(sourceNode, sourceEnd);
    if (!sourceItem) {
        return err_general;
    }
    GraphConfigNode* destinationPort = findConnectionEndItem(destinationNode, destinationEnd);
    if (!destinationPort) {
        return err_general;
    }
    return linkConnectionEnds(sourceItem, sourceEnd, destinationPort, destinationEnd, sink, source);
}

}  // namespace VELT
