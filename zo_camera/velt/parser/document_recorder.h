// Records an XML document (plain or gzip file) as the reader sees it, for
// compiling: lower-cased element and attribute names, values as written,
// document order and nesting. Text, comments and processing instructions are
// dropped, as the reader drops them.
#ifndef ZO_CAMERA_VELT_PARSER_DOCUMENT_RECORDER_H
#define ZO_CAMERA_VELT_PARSER_DOCUMENT_RECORDER_H

#include <string>

#include "zo_camera/velt/parser/compiled_format.h"

namespace VELT {
namespace parser {

// The status codes of DocumentCompiler::compile. Throws std::bad_alloc when
// out of memory. A failure is logged with what went wrong.
int recordDocument(const char* path, RecordedDocument& document);

}  // namespace parser
}  // namespace VELT

#endif
