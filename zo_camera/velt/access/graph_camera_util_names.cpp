// Printable names of graph items, for messages and connection lists.
#include <string>

#include "velt_graph_camera_util.h"
#include "velt_graph_config_node.h"
#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/tree/item_names.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

std::string GraphCameraUtil::getFullName(const IGraphConfig& item) {
    return guardValue<std::string>(__func__, std::string(),
                                   [&]() -> std::string { return itemFullName(item); });
}

std::string GraphCameraUtil::print(const IGraphConfig* item) {
    return guardValue<std::string>(__func__, std::string(),
                                   [&]() -> std::string { return printItem(item); });
}

void GraphCameraUtil::dumpNodeTree(const IGraphConfig* node, int depth) {
    guardVoid(__func__, [&] {
        if (node == nullptr) {
            return;
        }
        GraphConfigNode::dumpNodeTree(static_cast<const GraphConfigNode*>(node), depth);
    });
}

int getPgAndPortNames(const IGraphConfig& port, std::string& pgName, std::string& portName) {
    return guardStatus(__func__, err_general, [&]() -> int {
        int status = err_none;
        const IGraphConfig* parent = port.getAncestor();
        if (parent != nullptr && parent->getValue(kKeyName, pgName) != 0) {
            status = err_general;
        }
        if (port.getValue(kKeyName, portName) != 0) {
            status = err_general;
        }
        return status;
    });
}

}  // namespace VELT
