// Generation detection: the graph's version text names the hardware it was
// written for.
#include <memory>
#include <string>

#include "velt_isp_utils.h"
#include "velt_item_uid.h"

#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

namespace {

// Tags in search order: the first that occurs wins, wherever it stands.
struct GenerationTag {
    const char* tag;
    GdfVersion version;
};
constexpr GenerationTag kGenerationTags[] = {
    {"ORBA5", kGdfVersionOrba5}, {"ORBA6", kGdfVersionOrba6}, {"ORBA7", kGdfVersionOrba7}};

GdfVersion detectVersion(const std::string& versionText) {
    for (const GenerationTag& entry : kGenerationTags) {
        if (versionText.find(entry.tag) != std::string::npos) {
            return entry.version;
        }
    }
    return kGdfVersionNone;
}

}  // namespace

std::shared_ptr<IspUtils> IspUtils::Factory(const IGraphConfig* graph) {
    // Out of memory there is no utility, rather than one of no known generation
    // because the version could not be read.
    return guardValue<std::shared_ptr<IspUtils>>(
        __func__, nullptr, [&]() -> std::shared_ptr<IspUtils> {
            if (graph == nullptr) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                              "Given pointer is null. VELT Isp Utils not initialized.");
                return nullptr;
            }
            std::string versionText;
            // A graph without a version is simply of no known generation.
            (void)graph->getValue(ItemUID({kKeyGraph, kKeyVersion}), versionText);

            const GdfVersion version = detectVersion(versionText);
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Detected ORBA version in the graph: %s enum[%d]",
                          versionText.c_str(), static_cast<int>(version));
            switch (version) {
                case kGdfVersionOrba5:
                    return std::make_shared<Orba5IspUtils>(graph, version);
                case kGdfVersionOrba6:
                    return std::make_shared<Orba6IspUtils>(graph, version);
                case kGdfVersionOrba7:
                    return std::make_shared<Orba7IspUtils>(graph, version);
                default:
                    ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                                  "ORBA version not supported in VELT Isp Utils.");
                    return std::make_shared<Orba4IspUtils>(graph, version);
            }
        });
}

}  // namespace VELT
