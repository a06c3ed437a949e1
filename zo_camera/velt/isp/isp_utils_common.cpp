// The generation-independent part of the hardware-generation utilities.
#include "velt_isp_utils.h"

#include "zo_camera/velt/access/graph_access_helpers.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

IspUtils::~IspUtils() = default;

IspUtilsCommon::IspUtilsCommon() : mGraphConfig(nullptr), mOrbaVersion(kGdfVersionNone) {}

IspUtilsCommon::IspUtilsCommon(const IGraphConfig* graph, GdfVersion version)
    : mGraphConfig(graph), mOrbaVersion(version) {}

IspUtilsCommon::~IspUtilsCommon() = default;

bool IspUtilsCommon::isDvsEnabled() const {
    return guardValue<bool>(__func__, false, [&]() -> bool {
        if (mGraphConfig == nullptr) {
            // Without a graph nothing may be switched off on DVS's behalf.
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "velt isp utils uninitialized");
            return true;
        }
        return intOr(*mGraphConfig, kKeyDvs, 0) != 0;
    });
}

GdfVersion IspUtilsCommon::getOrbaVersion() const {
    return mOrbaVersion;
}

}  // namespace VELT
