// The log tag shared by the configuration tree's messages.
#ifndef ZO_CAMERA_VELT_TREE_TREE_LOG_H
#define ZO_CAMERA_VELT_TREE_TREE_LOG_H

#include "zo_log_common.h"

namespace VELT {

constexpr const char* kTreeTag = "VELT[XOS]";

}  // namespace VELT

#endif
