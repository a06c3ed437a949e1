// Base blocks by name: a keyed lookup first, the walk over all blocks last.
#include "zo_camera/velt/query/base_node_lookup.h"

#include "velt_graph_config_node.h"
#include "velt_item_uid.h"
#include "velt_keys.h"
#include "velt_node_iterator.h"
#include "velt_status.h"
#include "zo_camera/velt/tree/child_match.h"

namespace VELT {

namespace {

bool isNamedBaseNode(const IGraphConfig& candidate, const std::string& baseName) {
    std::string name;
    return candidate.getValue(kKeyName, name) == err_none && name == baseName;
}

}  // namespace

IGraphConfig* findBaseNode(const IGraphConfig& nodes, const std::string& baseName) {
    const auto& blocks = static_cast<const GraphConfigNode&>(nodes);
    const std::string baseType = ItemUID::key2str(kKeyBaseNode);
    const uint32_t key = ItemUID::str2key(baseName);
    if (key != 0) {
        auto [it, last] = blocks.equalRange(key);
        for (; it != last; ++it) {
            if (!it->second->isNode()) {
                continue;
            }
            auto* candidate = static_cast<GraphConfigNode*>(it->second.get());
            if (holdsValue(*candidate, kKeyType, baseType) &&
                isNamedBaseNode(*candidate, baseName)) {
                return candidate;
            }
        }
    }
    NodeIterator baseNodes(&nodes);
    const unsigned typeKey = kKeyBaseNode;
    for (IGraphConfig* candidate = baseNodes.iterateByType(typeKey); candidate != nullptr;
         candidate = baseNodes.iterateByType(typeKey)) {
        if (isNamedBaseNode(*candidate, baseName)) {
            return candidate;
        }
    }
    return nullptr;
}

}  // namespace VELT
