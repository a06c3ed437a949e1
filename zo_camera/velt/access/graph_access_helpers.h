// Small reads shared by the graph accessors.
#ifndef ZO_CAMERA_VELT_ACCESS_GRAPH_ACCESS_HELPERS_H
#define ZO_CAMERA_VELT_ACCESS_GRAPH_ACCESS_HELPERS_H

#include <cstddef>
#include <string>
#include <vector>

#include "velt_graph_config.h"
#include "velt_node_iterator.h"
#include "zo_rulo/zo_log_tags.h"

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

// Appends, in tree order, the children of parent whose type key is typeKey
// and that keep() accepts; returns how many were appended.
template <typename Keep>
size_t appendChildrenOfType(const IGraphConfig& parent, uint32_t typeKey,
                            std::vector<IGraphConfig*>& out, Keep keep) {
    size_t appended = 0;
    NodeIterator it(&parent);
    for (IGraphConfig* child = it.iterateByType(typeKey); child != nullptr;
         child = it.iterateByType(typeKey)) {
        if (keep(*child)) {
            out.push_back(child);
            ++appended;
        }
    }
    return appended;
}

}  // namespace VELT

#endif
