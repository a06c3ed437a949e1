// Static connections: present in every result graph of the descriptor graph,
// whatever the settings entry says.
#include <string>

#include "velt_graph_config_node.h"
#include "velt_graph_query_manager.h"
#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/query/connection_end.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

int GraphQueryManager::getStaticConnectionData(const std::string& source, const std::string& sink,
                                               GraphConfigNode* result) {
    return guardStatus(__func__, err_general, [&]() -> int {
        if (!result) {
            return err_argument;
        }
        IGraphConfig* nodes = findDescriptorNodes(graphDescriptor_);
        if (!nodes) {
            return err_general;
        }
        const ConnectionEnd sourceEnd(source);
        const ConnectionEnd destinationEnd(sink);

        GraphConfigNode* sourceBlock =
            copyConnectionEndBlock(*this, nodes, sourceEnd, "src", result);
        if (!sourceBlock) {
            return err_general;
        }
        GraphConfigNode* destinationBlock =
            copyConnectionEndBlock(*this, nodes, destinationEnd, "dst", result);
        if (!destinationBlock) {
            return err_general;
        }

        if (!destinationEnd.hasPort()) {
            int status = destinationBlock->addValue(kKeyDirection, 0);
            if (status != err_none) {
                return status;
            }
            GraphConfigNode* sourceItem = findConnectionEndItem(sourceBlock, sourceEnd);
            if (!sourceItem) {
                return err_general;
            }
            // A static sink runs in the context of what feeds it; either may be missing.
            propagateIntAttribute(sourceBlock, destinationBlock, kKeyExecCtxId);
            propagateStrAttribute(sourceBlock, destinationBlock, kKeyContentType);
            return linkConnectionEnds(sourceItem, sourceEnd, destinationBlock, destinationEnd, sink,
                                      source);
        }
        return linkConnectionBlocks(sourceBlock, sourceEnd, destinationBlock, destinationEnd, sink,
                                    source);
    });
}

}  // namespace VELT
