// Rule lines and small reads shared by the sources of GraphUtil.
#ifndef ZO_CAMERA_VELT_KERNEL_LISTS_SUBGRAPH_GRAPH_UTIL_COMMON_H
#define ZO_CAMERA_VELT_KERNEL_LISTS_SUBGRAPH_GRAPH_UTIL_COMMON_H

#include <cstdint>
#include <string>
#include <utility>

#include "velt_graph_config.h"
#include "velt_keys.h"
#include "velt_node_iterator.h"
#include "velt_status.h"

namespace VELT {
namespace analysis {

constexpr const char kRuleLine[] = "=======================================================";
constexpr const char kDashLine[] = "-------------------------------------------------------";

// The integer under key, or fallback when it cannot be read.
inline int intOr(const IGraphConfig& item, unsigned key, int fallback) {
    int value = fallback;
    return item.getValue(key, value) == err_none ? value : fallback;
}

// The text under key, or empty when it cannot be read.
inline std::string strOr(const IGraphConfig& item, unsigned key) {
    std::string value;
    return item.getValue(key, value) == err_none ? value : std::string();
}

// "node:port" split at the first colon. Without a colon, wholeForPort decides whether
// the port part is the whole text (connections) or empty (klinks).
inline std::pair<std::string, std::string> splitEnd(const std::string& text, bool wholeForPort) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos) {
        return {text, wholeForPort ? text : std::string()};
    }
    return {text.substr(0, colon), text.substr(colon + 1)};
}

}  // namespace analysis
}  // namespace VELT

#endif
