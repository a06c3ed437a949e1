// The element handlers of the document reader: how elements and their
// attributes become nodes and attribute items.

#include <expat.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "velt_parser.h"
#include "velt_status.h"
#include "zo_camera/velt/parser/name_key_cache.h"
#include "zo_camera/velt/parser/parser_names.h"
#include "zo_camera/velt/tree/tree_builder.h"
#include "zo_log_common.h"

namespace VELT {

using parser::kTag;

namespace {

bool isTopLevelKey(uint32_t key) {
    return key == kKeyGraphDescriptor || key == kKeyGraphSettings;
}

// strtol with base 10 (leading blanks, sign, digits up to the first other
// character, 0 without digits), truncated to 32 bits. Plain numbers of up to
// 18 digits, which cannot overflow, are converted here; anything else is
// left to strtol.
int parseInteger(const char* text) {
    constexpr int kSafeDigits = 18;
    const char* digit = text[0] == '-' ? text + 1 : text;
    uint64_t magnitude = 0;
    int count = 0;
    for (; count < kSafeDigits && *digit >= '0' && *digit <= '9'; ++digit, ++count) {
        magnitude = magnitude * 10 + static_cast<uint64_t>(*digit - '0');
    }
    long parsed = 0;
    if (count > 0 && !(*digit >= '0' && *digit <= '9')) {
        parsed = static_cast<long>(magnitude);
        if (text[0] == '-') {
            parsed = -parsed;
        }
    } else {
        parsed = std::strtol(text, nullptr, 10);
    }
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<unsigned long>(parsed)));
}

}  // namespace

void VELTParser::startElement(void* userData, const char* name, const char** attributes) {
    VELTParser* self = static_cast<VELTParser*>(userData);
    if (self == nullptr || name == nullptr) {
        return;
    }
    self->openElement(name, attributes);
}

void VELTParser::endElement(void* userData, const char* /*name*/) {
    VELTParser* self = static_cast<VELTParser*>(userData);
    if (self == nullptr) {
        return;
    }
    self->closeElement();
}

void VELTParser::openElement(const char* name, const char** attributes) {
    ++elementEvents_;
    ++openDepth_;
    if (skipDepth_ > 0) {
        // Inside a failed element: its whole subtree is dropped.
        ++skipDepth_;
        return;
    }
    if (openDepth_ > kMaxNestingDepth) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Elements nested deeper than %u levels, stopping",
                            kMaxNestingDepth);
        skipDepth_ = 1;
        if (activeParser_ != nullptr) {
            XML_StopParser(activeParser_, XML_FALSE);
        }
        return;
    }
    try {
        const parser::NameKeyCache::Name& element = names_->element(name);
        elementName_ = &element.lowerCase;
        uint32_t elementKey = element.key;
        if (isTopLevelKey(elementKey)) {
            // The document element: it only tells the kind and the version.
            kind_ = static_cast<int32_t>(elementKey);
            for (const char** attribute = attributes;
                 attribute != nullptr && attribute[0] != nullptr; attribute += 2) {
                if (names_->attribute(attribute[0]) == kKeyVersion) {
                    version_.assign(attribute[1]);
                }
            }
            nodelessDepths_.push_back(openDepth_);
            return;
        }
        if (!buildNode(attributes, elementKey) || (!builder_->hasRoot() && !createRoot())) {
            builder_->abandonNode();
            skipDepth_ = 1;
            return;
        }
        // Put in key order when it closes.
        builder_->openNode(elementKey);
    } catch (const std::exception&) {
        // Out of memory: the element is dropped like one that cannot be stored.
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Error while adding attribute");
        builder_->abandonNode();
        skipDepth_ = 1;
    }
}

void VELTParser::closeElement() {
    ++elementEvents_;
    const uint32_t depth = openDepth_;
    if (openDepth_ > 0) {
        --openDepth_;
    }
    if (skipDepth_ > 0) {
        --skipDepth_;
        return;
    }
    if (!nodelessDepths_.empty() && nodelessDepths_.back() == depth) {
        nodelessDepths_.pop_back();
        return;
    }
    try {
        // The root stays open after its own children end.
        builder_->closeNode();
    } catch (const std::bad_alloc&) {
        // Its items found no room: the element is dropped like one that
        // cannot be stored.
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Error while adding attribute");
    }
}

bool VELTParser::buildNode(const char** attributes, uint32_t& elementKey) {
    const uint32_t elementNameKey = elementKey;
    builder_->beginNode();
    for (const char** attribute = attributes; attribute != nullptr && attribute[0] != nullptr;
         attribute += 2) {
        const uint32_t key = names_->attribute(attribute[0]);
        const char* value = attribute[1];
        if (key == kKeyName && kind_ == kKeyGraphDescriptor) {
            // Named descriptor elements are stored under their name and
            // remember their element name as their type.
            if (elementNameKey != kKeyNode &&
                builder_->addString(kKeyType, elementName_->data(), elementName_->size()) !=
                    err_none) {
                zo_log_common_debug(ZO_LOG_ERROR, kTag, "Error adding name attribute");
                return false;
            }
            value_.assign(value);
            elementKey = parser::keyOrNewKey(value_);
        }
        const int result = storeAttribute(key, value);
        if (result != err_none && result != err_exists) {
            zo_log_common_debug(ZO_LOG_ERROR, kTag, "Error while adding attribute");
            return false;
        }
    }
    return true;
}

int VELTParser::storeAttribute(uint32_t key, const char* value) {
    // A later attribute under a key already taken is refused (-512).
    if (key != kKeyName) {
        if (ItemUID::isInteger(key)) {
            return builder_->addInteger(key, parseInteger(value));
        }
        if (key == kKeyAttribute) {
            value_.assign(value);
            return builder_->addInteger(key, static_cast<int32_t>(parser::keyOrNewKey(value_)));
        }
    }
    return builder_->addString(key, value, std::strlen(value));
}

bool VELTParser::createRoot() {
    try {
        builder_->openRoot(version_);
    } catch (const std::bad_alloc&) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Error adding version attribute");
        return false;
    }
    if (version_.empty() && isTopLevelKey(static_cast<uint32_t>(kind_))) {
        zo_log_common_debug(ZO_LOG_WARNING, kTag, "No version information found.");
    }
    return true;
}

}  // namespace VELT
