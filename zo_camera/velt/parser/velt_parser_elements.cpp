// The element handlers of the document reader: how elements and their
// attributes become nodes and attribute items.

#include <expat.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <new>
#include <string>

#include "velt_parser.h"
#include "velt_status.h"
#include "zo_camera/velt/common/number_text.h"
#include "zo_camera/velt/parser/element_rules.h"
#include "zo_camera/velt/parser/element_source.h"
#include "zo_camera/velt/parser/name_key_cache.h"
#include "zo_camera/velt/parser/parser_names.h"
#include "zo_camera/velt/tree/tree_builder.h"
#include "zo_log_common.h"

namespace VELT {

using parser::kTag;

namespace {

// An expat start tag: names as written, looked up through the document's
// name cache.
class ExpatElement final : public parser::ElementSource {
  public:
    ExpatElement(parser::NameKeyCache& names, const char* name, const char** attributes)
        : names_(names), name_(name), attributes_(attributes) {}

    uint32_t nameKey() override {
        element_ = &names_.element(name_);
        return element_->key;
    }
    const std::string& nameText() override { return element_->lowerCase; }
    size_t attributeCount() const override {
        size_t count = 0;
        for (const char** attribute = attributes_; attribute != nullptr && attribute[0] != nullptr;
             attribute += 2) {
            ++count;
        }
        return count;
    }
    uint32_t attributeKey(size_t index) override {
        return names_.attribute(attributes_[2 * index]);
    }
    const char* attributeValue(size_t index, size_t& length) override {
        const char* value = attributes_[2 * index + 1];
        length = std::strlen(value);
        return value;
    }
    int attributeInteger(size_t index) override {
        return numbers::truncatedInt32(attributes_[2 * index + 1]);
    }
    uint32_t attributeTextKey(size_t index) override {
        text_.assign(attributes_[2 * index + 1]);
        return parser::keyOrNewKey(text_);
    }

  private:
    parser::NameKeyCache& names_;
    const char* name_;
    const char** attributes_;
    const parser::NameKeyCache::Name* element_ = nullptr;
    std::string text_;
};

// The attribute rules adding to the node begun in the tree builder.
class BuilderSink {
  public:
    BuilderSink(TreeBuilder& builder, parser::ElementSource& source)
        : builder_(builder), source_(source) {}

    int addType() {
        const std::string& type = source_.nameText();
        return builder_.addString(kKeyType, type.data(), type.size());
    }
    uint32_t rename(size_t index) { return source_.attributeTextKey(index); }
    int addInteger(uint32_t key, size_t index) {
        return builder_.addInteger(key, source_.attributeInteger(index));
    }
    int addKeyOfValue(uint32_t key, size_t index) {
        return builder_.addInteger(key, static_cast<int32_t>(source_.attributeTextKey(index)));
    }
    int addText(uint32_t key, size_t index) {
        size_t length = 0;
        const char* value = source_.attributeValue(index, length);
        return builder_.addString(key, value, length);
    }

  private:
    TreeBuilder& builder_;
    parser::ElementSource& source_;
};

}  // namespace

void VELTParser::startElement(void* userData, const char* name, const char** attributes) {
    VELTParser* self = static_cast<VELTParser*>(userData);
    if (self == nullptr || name == nullptr) {
        return;
    }
    ExpatElement element(*self->names_, name, attributes);
    self->openElement(element);
}

void VELTParser::endElement(void* userData, const char* /*name*/) {
    VELTParser* self = static_cast<VELTParser*>(userData);
    if (self == nullptr) {
        return;
    }
    self->closeElement();
}

void VELTParser::openElement(parser::ElementSource& source) {
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
        uint32_t elementKey = source.nameKey();
        if (parser::isTopLevelKey(elementKey)) {
            kind_ = static_cast<int32_t>(elementKey);
            parser::findVersionAttributes(
                source, [&](size_t index) { source.attributeText(index, version_); });
            nodelessDepths_.push_back(openDepth_);
            return;
        }
        if (!buildNode(source, elementKey) || (!builder_->hasRoot() && !createRoot())) {
            builder_->abandonNode();
            skipDepth_ = 1;
            return;
        }
        // Put in key order when it closes.
        builder_->openNode(elementKey);
    } catch (const std::exception&) {
        // Out of memory: a tree without the element would pass for the whole
        // document, so reading stops and nothing is handed out.
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Error while adding attribute");
        builder_->abandonNode();
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
    try {
        // The root stays open after its own children end.
        builder_->closeNode();
    } catch (const std::bad_alloc&) {
        // Its items found no room: as when an element cannot be begun, the
        // document is dropped rather than handed out incomplete.
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Error while adding attribute");
        outOfMemory_ = true;
        if (activeParser_ != nullptr) {
            XML_StopParser(activeParser_, XML_FALSE);
        }
    }
}

bool VELTParser::buildNode(parser::ElementSource& source, uint32_t& elementKey) {
    builder_->beginNode();
    BuilderSink sink(*builder_, source);
    return parser::applyAttributeRules(source, kind_, elementKey, sink);
}

bool VELTParser::createRoot() {
    try {
        builder_->openRoot(version_);
    } catch (const std::bad_alloc&) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Error adding version attribute");
        throw;  // the document is dropped, see openElement()
    }
    if (version_.empty() && parser::isTopLevelKey(static_cast<uint32_t>(kind_))) {
        zo_log_common_debug(ZO_LOG_WARNING, kTag, "No version information found.");
    }
    return true;
}

}  // namespace VELT
