// Tree items and the two attribute kinds.

#include <cstring>
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

GraphConfigStrAttribute::GraphConfigStrAttribute(const std::string& value)
    : GraphConfigAttribute(kTypeString) {
    assign(value.data(), value.size());
}

GraphConfigStrAttribute::GraphConfigStrAttribute(const GraphConfigStrAttribute& other)
    : GraphConfigAttribute(other) {
    assign(other.text(), other.length());
}

GraphConfigStrAttribute& GraphConfigStrAttribute::operator=(const GraphConfigStrAttribute& other) {
    if (this != &other) {
        assign(other.text(), other.length());
    }
    return *this;
}

// Most of a tree's items are attributes: small enough that a node and its
// attributes share cache lines (sizes on 64-bit platforms).
static_assert(sizeof(void*) != 8 || sizeof(GraphConfigIntAttribute) == 16, "integer attribute");
static_assert(sizeof(void*) != 8 || sizeof(GraphConfigStrAttribute) == 32, "string attribute");

GraphConfigStrAttribute::~GraphConfigStrAttribute() {
    freeHeapText();
}

void GraphConfigStrAttribute::freeHeapText() noexcept {
    if ((size_ & kHeapText) != 0) {
        ::operator delete(const_cast<char*>(text_.external));
    }
}

void GraphConfigStrAttribute::assign(const char* text, size_t length) {
    if (length > kMaxLength) {
        throw std::bad_alloc();
    }
    if (length <= kInlineLength) {
        // text may be this attribute's own external text: copied before it is freed.
        char inlined[kInlineLength + 1] = {};
        std::memcpy(inlined, text, length);
        freeHeapText();
        std::memcpy(text_.inlined, inlined, sizeof inlined);
        size_ = static_cast<uint32_t>(length);
        return;
    }
    // Plain storage of the exact size: the text is bytes, with no objects to construct.
    char* copy = static_cast<char*>(::operator new(length + 1));
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    freeHeapText();
    text_.external = copy;
    size_ = static_cast<uint32_t>(length) | kHeapText;
}

int GraphConfigStrAttribute::getValue(std::string& value) const {
    return guardStatus(__func__, err_noentry, [&]() -> int {
        value.assign(text(), length());
        return err_none;
    });
}

int GraphConfigStrAttribute::setValue(const std::string& value) {
    return insertString(value);
}

int GraphConfigStrAttribute::insertString(const std::string& value) {
    return guardStatus(__func__, err_noentry, [&]() -> int {
        assign(value.data(), value.size());
        return err_none;
    });
}

GraphConfigStrAttribute* GraphConfigStrAttribute::copy() const {
    try {
        return new GraphConfigStrAttribute(*this);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace VELT
