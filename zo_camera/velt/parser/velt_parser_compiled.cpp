// Reading compiled documents: the file is checked whole, then built by the
// compiled reader (compiled_reader.h), which applies the element rules of
// XML start and end tags, so the tree and the dictionary come out as reading
// the XML would leave them.

#include <cstdint>
#include <new>
#include <string>

#include "velt_parser.h"
#include "zo_camera/velt/parser/compiled_format.h"
#include "zo_camera/velt/parser/compiled_reader.h"
#include "zo_camera/velt/parser/parser_names.h"
#include "zo_camera/velt/tree/tree_builder.h"
#include "zo_log_common.h"
#include "zo_rulo_memory.h"

namespace VELT {

using parser::kTag;

namespace {

constexpr const char* kFileLabel = "parseCompiled";

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
    if (!usable()) {
        // Out of memory when the reader was made: no builder to build with.
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Out of memory reading %s", fileName);
        return;
    }
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
        // The root is made by the element rules' own function.
        class Host final : public parser::CompiledReaderHost {
          public:
            explicit Host(VELTParser& parser) : parser_(parser) {}
            bool createRoot() override { return parser_.createRoot(); }

          private:
            VELTParser& parser_;
        } host(*this);
        parser::CompiledReader reader(view, *builder_, kind_, version_, host);
        try {
            reader.read();
        } catch (const std::bad_alloc&) {
            // As when an XML element cannot be stored: a tree without it
            // would pass for the whole document.
            zo_log_common_debug(ZO_LOG_ERROR, kTag, "Error while adding attribute");
            dropTree();
        }
    } catch (const std::bad_alloc&) {
        // Outside an element (the message, the name table): nothing is kept.
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Out of memory reading %s", fileName);
        dropTree();
    }
    zo_rulo_free(bytes, kFileLabel);
}

}  // namespace VELT
