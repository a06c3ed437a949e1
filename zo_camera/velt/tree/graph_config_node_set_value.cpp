// GraphConfigNode: setValue by key, which only changes attributes whose
// option list admits the new value, and the type test.

#include <string>

#include "velt_graph_config_node.h"
#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

namespace {

constexpr const char* kRestricted =
    "setValue() restricted to attributes that have predefined options";

}  // namespace

int GraphConfigNode::setValue(uint32_t key, int value) {
    return guardStatus(__func__, err_noentry, [&]() -> int {
        GraphConfigItem* item = firstItem(key);
        if (!item) {
            return err_noentry;
        }
        if (item->getType() != kTypeInt) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Attribute is of wrong type");
            return err_argument;
        }
        int result = admitByOptions(key, std::to_string(value));
        if (result != err_none && result != err_notsupported) {
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "%s", kRestricted);
            return result;
        }
        return item->setValue(value);
    });
}

int GraphConfigNode::setValue(uint32_t key, const std::string& value) {
    return guardStatus(__func__, err_noentry, [&]() -> int {
        GraphConfigItem* item = firstItem(key);
        if (!item) {
            return err_noentry;
        }
        if (item->getType() != kTypeString) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Attribute is of wrong type");
            return err_argument;
        }
        int result = admitByOptions(key, value);
        if (result != err_none && result != err_notsupported) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "%s", kRestricted);
            return result;
        }
        return item->setValue(value);
    });
}

bool GraphConfigNode::isType(uint32_t typeKey) const {
    return guardValue<bool>(__func__, false, [&]() -> bool {
        std::string type;
        if (getValue(kKeyType, type) != err_none) {
            // Printed as an untyped node: "NODE[name]".
            ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                          "Trying to find type for %s, but it doesn't have one.",
                          ("NODE[" + getName() + "]").c_str());
            return false;
        }
        return ItemUID::str2key(type) == typeKey;
    });
}

}  // namespace VELT
