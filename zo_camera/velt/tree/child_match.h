// The value tests that node lookups apply to a candidate child node.
#ifndef ZO_CAMERA_VELT_TREE_CHILD_MATCH_H
#define ZO_CAMERA_VELT_TREE_CHILD_MATCH_H

#include <cstdint>
#include <string>

#include "velt_graph_config_node.h"
#include "velt_status.h"

namespace VELT {

// Looks at node's items under key in order: the first one whose value reads
// and equals value matches; one whose value (of type Value) does not read
// ends the test without a match.
template <typename Value>
bool holdsValue(const GraphConfigNode& node, uint32_t key, const Value& value) {
    auto [it, last] = node.equalRange(key);
    for (; it != last; ++it) {
        Value held{};
        if (it->second->getValue(held) != err_none) {
            return false;
        }
        if (held == value) {
            return true;
        }
    }
    return false;
}

}  // namespace VELT

#endif
