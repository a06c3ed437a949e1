// GraphQueryManager: the trees it works on and the version check.

#include "velt_graph_query_manager.h"

#include <exception>
#include <string>

#include "velt_keys.h"
#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

GraphQueryManager::GraphQueryManager() = default;

GraphQueryManager::~GraphQueryManager() = default;

void GraphQueryManager::setGraphDescriptor(const IGraphConfig* descriptor) {
    guardVoid(__func__, [&] { graphDescriptor_ = descriptor; });
}

void GraphQueryManager::setGraphSettings(const IGraphConfig* settings) {
    guardVoid(__func__, [&] { graphSettings_ = settings; });
}

int GraphQueryManager::validateSettingsAgainstDescriptor() {
    return guardStatus(__func__, err_general, [&]() -> int {
        if (graphDescriptor_ == nullptr || graphSettings_ == nullptr) {
            return err_data;
        }
        try {
            std::string descriptorVersion;
            if (graphDescriptor_->getValue(kKeyVersion, descriptorVersion) != err_none) {
                ZO_MODULE_LOG(ZO_LOG_WARNING, velt, "Couldn't get version from graph descriptor");
                descriptorVersion.clear();
            }
            std::string settingsVersion;
            if (graphSettings_->getValue(kKeyVersion, settingsVersion) != err_none) {
                ZO_MODULE_LOG(ZO_LOG_WARNING, velt, "Couldn't get version from graph settings");
                settingsVersion.clear();
            }
            // A settings version is the descriptor version it belongs to, a point
            // and its own revision.
            const size_t point = settingsVersion.find('.');
            if (settingsVersion.compare(0, point, descriptorVersion) != 0) {
                ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                              "WARNING: graph settings(%s) version is not matching graph "
                              "descriptor(%s). Make sure the settings are compatible with the "
                              "graph descriptor.",
                              settingsVersion.c_str(), descriptorVersion.c_str());
            }
        } catch (const std::exception&) {
            // Only the warning is lost when the texts cannot be allocated.
        }
        return err_none;
    });
}

}  // namespace VELT
