// GraphConfigNode: the position-based lookups kept for old callers.

#include "velt_graph_config_node.h"
#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/tree/child_match.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

namespace {

void warnDeprecated() {
    ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                  "WARNING: deprecated funtion getDescendant(). Use NodeIterator instead");
}

template <typename Value>
int findFrom(const GraphConfigNode& node, uint32_t attributeKey, const Value& value,
             GraphConfigNode::const_iterator& position, GraphConfigNode** out) {
    if (!out) {
        return err_argument;
    }
    for (; position != node.end(); ++position) {
        GraphConfigItem* item = position->second.get();
        if (item->isNode() &&
            holdsValue(*static_cast<const GraphConfigNode*>(item), attributeKey, value)) {
            *out = static_cast<GraphConfigNode*>(item);
            ++position;
            return err_none;
        }
    }
    return err_end;
}

}  // namespace

int GraphConfigNode::getDescendant(uint32_t attributeKey, const std::string& value,
                                   const_iterator& position, GraphConfigNode** out) const {
    return guardStatus(__func__, err_general, [&]() -> int {
        warnDeprecated();
        return findFrom(*this, attributeKey, value, position, out);
    });
}

int GraphConfigNode::getDescendant(uint32_t attributeKey, int value, const_iterator& position,
                                   GraphConfigNode** out) const {
    return guardStatus(__func__, err_general, [&]() -> int {
        warnDeprecated();
        return findFrom(*this, attributeKey, value, position, out);
    });
}

}  // namespace VELT
