// Tree items and the two attribute kinds.

#include <new>

#include "velt_graph_config_node.h"
#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"

namespace VELT {

int GraphConfigItem::getValue(int& /*value*/) const {
    return err_noentry;
}

int GraphConfigItem::getValue(std::string& /*value*/) const {
    return err_noentry;
}

int GraphConfigItem::setValue(const std::string& /*value*/) {
    return err_noentry;
}

int GraphConfigItem::setValue(int /*value*/) {
    return err_noentry;
}

GraphConfigItem::~GraphConfigItem() = default;

const char* GraphConfigItem::typeLabel(int32_t type) {
    switch (type) {
        case kTypeString:
            return "STRING";
        case kTypeInt:
            return "INT";
        case kTypeNode:
            return " NODE";
        default:
            return "NA";
    }
}

GraphConfigAttribute::~GraphConfigAttribute() = default;

GraphConfigIntAttribute::~GraphConfigIntAttribute() = default;

int GraphConfigIntAttribute::getValue(int& value) const {
    value = value_;
    return err_none;
}

int GraphConfigIntAttribute::setValue(int value) {
    return insertInteger(value);
}

int GraphConfigIntAttribute::insertInteger(int value) {
    value_ = value;
    return err_none;
}

GraphConfigIntAttribute* GraphConfigIntAttribute::copy() const {
    return new (std::nothrow) GraphConfigIntAttribute(value_);
}

GraphConfigStrAttribute::~GraphConfigStrAttribute() = default;

int GraphConfigStrAttribute::getValue(std::string& value) const {
    return guardStatus(__func__, err_noentry, [&]() -> int {
        value = value_;
        return err_none;
    });
}

int GraphConfigStrAttribute::setValue(const std::string& value) {
    return insertString(value);
}

int GraphConfigStrAttribute::insertString(const std::string& value) {
    return guardStatus(__func__, err_noentry, [&]() -> int {
        value_ = value;
        return err_none;
    });
}

GraphConfigStrAttribute* GraphConfigStrAttribute::copy() const {
    try {
        return new GraphConfigStrAttribute(value_);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace VELT
