// Reading compiled documents: the file is checked whole, then its elements
// go through the same element rules as XML start and end tags, so the tree
// and the dictionary come out as reading the XML would leave them.

#include <cstdint>
#include <new>
#include <string>

#include "velt_parser.h"
#include "zo_camera/velt/parser/compiled_format.h"
#include "zo_camera/velt/parser/compiled_names.h"
#include "zo_camera/velt/parser/element_source.h"
#include "zo_camera/velt/parser/parser_names.h"
#include "zo_log_common.h"
#include "zo_rulo_memory.h"

namespace VELT {

using parser::kTag;

namespace {

constexpr const char* kFileLabel = "parseCompiled";

// One element record; attributes index the attribute table from first.
class CompiledElement final : public parser::ElementSource {
  public:
    CompiledElement(const parser::CompiledView& view, parser::CompiledNames& names,
                    std::string& nameBuffer, uint32_t element, uint64_t first)
        : view_(view), names_(names), nameBuffer_(nameBuffer), element_(element), first_(first) {}

    uint32_t nameKey() override { return names_.keyOrNewKey(view_.elementName(element_)); }
    const std::string& nameText() override {
        const uint32_t name = view_.elementName(element_);
        nameBuffer_.assign(view_.string(name), view_.stringLength(name));
        return nameBuffer_;
    }
    size_t attributeCount() const override { return view_.elementAttributes(element_); }
    uint32_t attributeKey(size_t index) override {
        return names_.key(view_.attributeName(first_ + index));
    }
    const char* attributeValue(size_t index, size_t& length) override {
        const uint32_t value = view_.attributeValue(first_ + index);
        length = view_.stringLength(value);
        return view_.string(value);
    }
    int attributeInteger(size_t index) override {
        return names_.integer(view_.attributeValue(first_ + index));
    }
    uint32_t attributeTextKey(size_t index) override {
        return names_.keyOrNewKey(view_.attributeValue(first_ + index));
    }

  private:
    const parser::CompiledView& view_;
    parser::CompiledNames& names_;
    std::string& nameBuffer_;
    uint32_t element_;
    uint64_t first_;
};

// The whole file in a block from the runtime allocator (size in size); null
// after logging when it cannot be read.
uint8_t* readWholeFile(const char* fileName, size_t& size) {
    FILE* file = zo_rulo_fopen(fileName, "rb");
    if (file == nullptr) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Failed to open compiled document %s", fileName);
        return nullptr;
    }
    long length = -1;
    if (zo_rulo_fseek(file, 0, SEEK_END) == 0) {
        length = zo_rulo_ftell(file);
    }
    if (length < 0 || zo_rulo_fseek(file, 0, SEEK_SET) != 0) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Error reading from file");
        zo_rulo_fclose(file);
        return nullptr;
    }
    if (static_cast<uint64_t>(length) > parser::kMaxCompiledFileSize) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag,
                            "%s: compiled document of %ld bytes refused (more than %llu)", fileName,
                            length, static_cast<unsigned long long>(parser::kMaxCompiledFileSize));
        zo_rulo_fclose(file);
        return nullptr;
    }
    size = static_cast<size_t>(length);
    // One byte more, so an empty file still gets a block and a file that grew
    // meanwhile shows as a short read.
    auto* bytes = static_cast<uint8_t*>(zo_rulo_malloc(size + 1, kFileLabel, __FILE__, __LINE__));
    if (bytes == nullptr) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "@%s, line:%d, pBuf is NULL", __func__, __LINE__);
        zo_rulo_fclose(file);
        return nullptr;
    }
    const size_t count = zo_rulo_fread(bytes, 1, size + 1, file);
    const bool failed = zo_rulo_ferror(file) != 0 || count != size;
    zo_rulo_fclose(file);
    if (failed) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Error reading from file");
        zo_rulo_free(bytes, kFileLabel);
        return nullptr;
    }
    return bytes;
}

}  // namespace

void VELTParser::parseCompiled(const char* fileName) {
    size_t size = 0;
    uint8_t* bytes = readWholeFile(fileName, size);
    if (bytes == nullptr) {
        return;
    }
    parser::CompiledView view;
    std::string error;
    try {
        if (!view.decode(bytes, size, kMaxNestingDepth, error)) {
            zo_log_common_debug(ZO_LOG_ERROR, kTag, "%s: %s", fileName, error.c_str());
            zo_rulo_free(bytes, kFileLabel);
            return;
        }
        beginDocument(nullptr);
        parser::CompiledNames names(view);
        std::string nameBuffer;
        uint64_t attribute = 0;
        for (uint32_t element = 0; element < view.elementCount(); ++element) {
            // Depths were checked: each element opens at most one level down.
            while (openDepth_ > view.elementDepth(element)) {
                closeElement();
            }
            CompiledElement source(view, names, nameBuffer, element, attribute);
            openElement(source);
            attribute += view.elementAttributes(element);
        }
        while (openDepth_ > 0) {
            closeElement();
        }
    } catch (const std::bad_alloc&) {
        // Outside an element (the message, the name table): nothing is kept.
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Out of memory reading %s", fileName);
        dropTree();
    }
    zo_rulo_free(bytes, kFileLabel);
}

}  // namespace VELT
