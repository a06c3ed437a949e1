// Graph overrides: attribute values that a descriptor graph forces onto every
// result graph built from it.
#include <string>

#include "velt_graph_camera_util.h"
#include "velt_graph_config_node.h"
#include "velt_item_uid.h"
#include "velt_node_iterator.h"
#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/common/number_text.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

namespace {

// The attribute an override writes, created when only the attribute itself is missing.
GraphConfigAttribute* findOverrideTarget(GraphConfigNode& root, const ItemUID& path) {
    GraphConfigAttribute* attribute = nullptr;
    const std::string pathText = path.toString();
    if (root.getAttribute(path, &attribute) == err_none && attribute) {
        return attribute;
    }
    // A one-key path names an attribute of the root itself.
    const bool holderExists = path.size() == 1 || root.getGraphConfigItem(path) != nullptr;
    if (holderExists) {
        ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                      "Adding the missing attribute %s required in graph override.",
                      pathText.c_str());
        if (root.createAttribute(path, &attribute) == err_none && attribute) {
            return attribute;
        }
    }
    ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                  "Warning: Couldn't to get attribute %s for override. Skipping.",
                  pathText.c_str());
    return nullptr;
}

int setOverrideValue(GraphConfigAttribute* attribute, const std::string& value) {
    if (attribute->getType() != GraphConfigItem::kTypeInt) {
        return attribute->setValue(value);
    }
    int number = 0;
    if (!numbers::prefixInt32(value, number)) {
        return err_data;
    }
    return attribute->setValue(number);
}

}  // namespace

int GraphCameraUtil::processGraphOverrides(GraphConfigNode& graph, GraphConfigNode& root) {
    return guardStatus(__func__, err_data, [&]() -> int {
        NodeIterator overrides(&graph);
        const unsigned applyKey = kKeyApply;
        for (IGraphConfig* item = overrides.iterateByUid(applyKey); item;
             item = overrides.iterateByUid(applyKey)) {
            std::string target;
            int status = item->getValue(kKeyTarget, target);
            if (status != err_none) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                              "Error: override tag with no attribute target node");
                return status;
            }
            const ItemUID path(target);
            std::string value;
            status = item->getValue(kKeyValue, value);
            if (status != err_none) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Error: override tag with no attribute value");
                return status;
            }
            GraphConfigAttribute* attribute = findOverrideTarget(root, path);
            if (!attribute) {
                continue;
            }
            status = setOverrideValue(attribute, value);
            if (status != err_none) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                              "Error: Failed to set override of attribute %s to %s",
                              path.toString().c_str(), value.c_str());
                return status;
            }
        }
        return err_none;
    });
}

}  // namespace VELT
