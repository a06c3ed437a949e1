// DocumentCompiler: recording a document and encoding what was recorded.

#include "velt_document_compiler.h"

#include <new>

#include "velt_status.h"
#include "zo_camera/velt/parser/compiled_format.h"
#include "zo_camera/velt/parser/document_recorder.h"
#include "zo_camera/velt/parser/parser_names.h"
#include "zo_log_common.h"

namespace VELT {

static_assert(DocumentCompiler::kFormatVersion == parser::kCompiledFormatVersion,
              "the exported format version is the one written");

int DocumentCompiler::compile(const char* documentPath, std::vector<uint8_t>& image) {
    image.clear();
    if (documentPath == nullptr) {
        zo_log_common_debug(ZO_LOG_ERROR, parser::kTag, "NULL pointer given!");
        return err_argument;
    }
    try {
        parser::RecordedDocument document;
        const int status = parser::recordDocument(documentPath, document);
        if (status != err_none) {
            return status;
        }
        image = parser::encodeCompiled(document);
        return err_none;
    } catch (const std::bad_alloc&) {
        zo_log_common_debug(ZO_LOG_ERROR, parser::kTag, "Out of memory compiling %s", documentPath);
        image.clear();
        return err_nomemory;
    }
}

}  // namespace VELT
