// Small reads shared by the graph accessors.
#ifndef ZO_CAMERA_VELT_ACCESS_GRAPH_ACCESS_HELPERS_H
#define ZO_CAMERA_VELT_ACCESS_GRAPH_ACCESS_HELPERS_H

#include <string>

#include "velt_graph_config.h"
#include "zo_camera/velt/tree/tree_log.h"

namespace VELT {

// True when the item's "type" text equals typeName. Unlike isType() it stays
// quiet for items without a type, such as the root of a graph.
inline bool hasTypeName(const IGraphConfig* item, const std::string& typeName) {
    std::string type;
    return item != nullptr && item->getValue(kKeyType, type) == 0 && type == typeName;
}

// The integer under key, or fallback when the item lacks it.
inline int intOr(const IGraphConfig& item, unsigned key, int fallback) {
    int value = fallback;
    return item.getValue(key, value) == 0 ? value : fallback;
}

}  // namespace VELT

#endif
