// The element handlers of the document reader: how elements and their
// attributes become nodes and attribute items.

#include <expat.h>

#include <cstdint>
#include <cstdlib>
#include <exception>
#include <memory>
#include <new>

#include "velt_graph_config_node.h"
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
        std::unique_ptr<GraphConfigNode> node(buildNode(attributes, elementKey));
        if (!node) {
            skipDepth_ = 1;
            return;
        }
        if (current_ == nullptr) {
            current_ = createRoot();
            if (current_ == nullptr) {
                skipDepth_ = 1;
                return;
            }
        }
        // Put in key order when current_ closes.
        TreeBuilder::append(*current_, elementKey, node.get());
        current_ = node.release();
    } catch (const std::exception&) {
        // Out of memory: a tree without the element would pass for the whole
        // document, so reading stops and nothing is handed out.
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Error while adding attribute");
        outOfMemory_ = true;
        skipDepth_ = 1;
        if (activeParser_ != nullptr) {
            XML_StopParser(activeParser_, XML_FALSE);
        }
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
    if (current_ != nullptr && current_->getAncestor() != nullptr) {
        TreeBuilder::finish(*current_);
        current_ = static_cast<GraphConfigNode*>(current_->getAncestor());
    }
}

GraphConfigNode* VELTParser::buildNode(const char** attributes, uint32_t& elementKey) {
    const uint32_t elementNameKey = elementKey;
    std::unique_ptr<GraphConfigNode> node(new GraphConfigNode());
    // One allocation for all attributes (and the type a named descriptor
    // element adds).
    size_t count = kind_ == kKeyGraphDescriptor ? 1 : 0;
    for (const char** attribute = attributes; attribute != nullptr && attribute[0] != nullptr;
         attribute += 2) {
        ++count;
    }
    TreeBuilder::reserve(*node, count);
    for (const char** attribute = attributes; attribute != nullptr && attribute[0] != nullptr;
         attribute += 2) {
        const uint32_t key = names_->attribute(attribute[0]);
        const char* value = attribute[1];
        if (key == kKeyName && kind_ == kKeyGraphDescriptor) {
            // Named descriptor elements are stored under their name and
            // remember their element name as their type.
            const int typed =
                elementNameKey != kKeyNode ? node->addValue(kKeyType, *elementName_) : err_none;
            if (typed == err_nomemory) {
                throw std::bad_alloc();  // the document is dropped, see openElement()
            }
            if (typed != err_none) {
                zo_log_common_debug(ZO_LOG_ERROR, kTag, "Error adding name attribute");
                return nullptr;
            }
            value_.assign(value);
            elementKey = parser::keyOrNewKey(value_);
        }
        const int result = storeAttribute(*node, key, value);
        if (result == err_nomemory) {
            throw std::bad_alloc();
        }
        if (result != err_none && result != err_exists) {
            zo_log_common_debug(ZO_LOG_ERROR, kTag, "Error while adding attribute");
            return nullptr;
        }
    }
    return node.release();
}

int VELTParser::storeAttribute(GraphConfigNode& node, uint32_t key, const char* value) {
    // A later attribute under a key already taken is refused by addValue (-512).
    if (key != kKeyName) {
        if (ItemUID::isInteger(key)) {
            return node.addValue(key, parseInteger(value));
        }
        if (key == kKeyAttribute) {
            value_.assign(value);
            return node.addValue(key, static_cast<int>(parser::keyOrNewKey(value_)));
        }
    }
    value_.assign(value);
    return node.addValue(key, value_);
}

GraphConfigNode* VELTParser::createRoot() {
    std::unique_ptr<GraphConfigNode> root(new GraphConfigNode());
    if (!version_.empty()) {
        const int added = root->addValue(kKeyVersion, version_);
        if (added == err_nomemory) {
            throw std::bad_alloc();  // the document is dropped, see openElement()
        }
        if (added != err_none) {
            zo_log_common_debug(ZO_LOG_ERROR, kTag, "Error adding version attribute");
            return nullptr;
        }
    } else if (isTopLevelKey(static_cast<uint32_t>(kind_))) {
        zo_log_common_debug(ZO_LOG_WARNING, kTag, "No version information found.");
    }
    return root.release();
}

}  // namespace VELT
