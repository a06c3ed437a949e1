// Keys, tag and small reads shared by the sources of GraphUtil.
#ifndef ZO_CAMERA_VELT_ANALYSIS_GRAPH_UTIL_COMMON_H
#define ZO_CAMERA_VELT_ANALYSIS_GRAPH_UTIL_COMMON_H

#include <cstdint>
#include <string>
#include <utility>

#include "velt_graph_config.h"
#include "velt_node_iterator.h"
#include "velt_status.h"

namespace VELT {
namespace analysis {

constexpr const char kTag[] = "VELT[XOS]";
constexpr const char kRuleLine[] = "=======================================================";
constexpr const char kDashLine[] = "-------------------------------------------------------";

// Keys of the built-in dictionary; their numbers are fixed by the built-in table.
constexpr unsigned kKeyComputeBlock = 7;
constexpr unsigned kKeyConnection = 8;
constexpr unsigned kKeyDemux = 12;
constexpr unsigned kKeyDestination = 13;
constexpr unsigned kKeyGraph = 17;
constexpr unsigned kKeyKernel = 23;
constexpr unsigned kKeyKlink = 24;
constexpr unsigned kKeyMux = 28;
constexpr unsigned kKeyName = 29;
constexpr unsigned kKeyPeer = 33;
constexpr unsigned kKeyProgramGroup = 35;
constexpr unsigned kKeySink = 46;
constexpr unsigned kKeySource = 47;
constexpr unsigned kKeySplit = 48;
constexpr unsigned kKeyType = 51;
constexpr unsigned kKeyActiveInput = 8193;
constexpr unsigned kKeyActiveOutput = 8195;
constexpr unsigned kKeyEnabled = 8205;
constexpr unsigned kKeyExecCtxId = 8206;
constexpr unsigned kKeyPalUuid = 8217;
constexpr unsigned kKeyStreamId = 8228;
constexpr unsigned kKeyTuningMode = 8231;

// The iterator walks non-const items, but never changes them.
inline IGraphConfig* iterable(const IGraphConfig* item) {
    return const_cast<IGraphConfig*>(item);
}

// The integer under key, or fallback when it cannot be read.
inline int intOr(const IGraphConfig& item, unsigned key, int fallback) {
    int value = fallback;
    return item.getValue(key, value) == 0 ? value : fallback;
}

// The text under key, or empty when it cannot be read.
inline std::string strOr(const IGraphConfig& item, unsigned key) {
    std::string value;
    return item.getValue(key, value) == 0 ? value : std::string();
}

// "node:port" split at the first colon. Without a colon, wholeForPort decides whether
// the port part is the whole text (connections) or empty (klinks).
inline std::pair<std::string, std::string> splitEnd(const std::string& text, bool wholeForPort) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos)
        return {text, wholeForPort ? text : std::string()};
    return {text.substr(0, colon), text.substr(colon + 1)};
}

}  // namespace analysis
}  // namespace VELT

#endif
