// Generations whose differences are not handled here: every
// generation-dependent operation reports err_notsupported and changes nothing.
#include "velt_isp_utils.h"

namespace VELT {

Orba4IspUtils::~Orba4IspUtils() = default;

Status Orba4IspUtils::getKernelConfigurations(std::vector<KernelConfigContainer>&) const {
    return err_notsupported;
}

Status Orba4IspUtils::applyFormat(const IGraphConfig*, const std::string&) const {
    return err_notsupported;
}

Status Orba4IspUtils::applyCompression(const IGraphConfig*, const std::string&) const {
    return err_notsupported;
}

Orba6IspUtils::~Orba6IspUtils() = default;

Status Orba6IspUtils::getKernelConfigurations(std::vector<KernelConfigContainer>&) const {
    return err_notsupported;
}

Status Orba6IspUtils::applyFormat(const IGraphConfig*, const std::string&) const {
    return err_notsupported;
}

Status Orba6IspUtils::applyCompression(const IGraphConfig*, const std::string&) const {
    return err_notsupported;
}

Orba7IspUtils::~Orba7IspUtils() = default;

Status Orba7IspUtils::getKernelConfigurations(std::vector<KernelConfigContainer>&) const {
    return err_notsupported;
}

Status Orba7IspUtils::applyFormat(const IGraphConfig*, const std::string&) const {
    return err_notsupported;
}

Status Orba7IspUtils::applyCompression(const IGraphConfig*, const std::string&) const {
    return err_notsupported;
}

}  // namespace VELT
