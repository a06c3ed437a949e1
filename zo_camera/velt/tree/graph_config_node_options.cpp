// The option rule that decides whether setValue may change an attribute.

#include <string>

#include "velt_graph_config_node.h"
#include "velt_status.h"
#include "zo_camera/velt/tree/tree_log.h"

namespace VELT {

namespace {

// True when some "options" child of node governs the attribute under key.
bool hasOptionList(const GraphConfigNode& node, uint32_t key) {
    for (auto it = node.begin(); it != node.end(); ++it) {
        if (it->first != kKeyOptions || !it->second->isNode()) {
            continue;
        }
        int governed = 0;
        const auto* options = static_cast<const GraphConfigNode*>(it->second.get());
        if (options->getValue(kKeyAttribute, governed) == err_none &&
            static_cast<uint32_t>(governed) == key) {
            return true;
        }
    }
    return false;
}

}  // namespace

int GraphConfigNode::admitByOptions(uint32_t key, const std::string& text) {
    if (!hasOptionList(*this, key)) {
        zo_log_common_debug(ZO_LOG_WARNING, kTreeTag,
                            "Trying to apply value but no options list available for %s.",
                            getName().c_str());
        return err_noentry;
    }
    // Matching an option and applying its subtree are not available yet, so
    // no value is admitted.
    zo_log_common_debug(ZO_LOG_ERROR, kTreeTag, "Options for %s are not handled, %s not set",
                        ItemUID::key2str(key), text.c_str());
    return err_noentry;
}

}  // namespace VELT
