// The log tag of settings queries and result-graph construction.
#ifndef ZO_CAMERA_VELT_QUERY_QUERY_LOG_H
#define ZO_CAMERA_VELT_QUERY_QUERY_LOG_H

#include "zo_camera/velt/tree/tree_log.h"

namespace VELT {

// Queries report under the same module tag as the tree they read.
constexpr const char* kQueryTag = kTreeTag;

}  // namespace VELT

#endif
