// The name a message gives a block or kernel.
#ifndef ZO_CAMERA_VELT_KERNEL_LISTS_SHARED_NODE_NAME_H
#define ZO_CAMERA_VELT_KERNEL_LISTS_SHARED_NODE_NAME_H

#include <string>

#include "velt_graph_config.h"

namespace VELT {

// The node's "name", or the key it is stored under when it has none.
inline std::string nameOf(const IGraphConfig& node) {
    std::string name;
    if (node.getValue(kKeyName, name) != 0) {
        name = node.getName();
    }
    return name;
}

}  // namespace VELT

#endif
