// Documents that do not come from a named file: standard input, plain or
// gzip-compressed, told apart by the gzip magic bytes.
#ifndef VELT_TOOL_INPUT_BYTES_H
#define VELT_TOOL_INPUT_BYTES_H

#include <string>

namespace velt_tool {

// Whether the bytes begin with the gzip magic number 0x1f 0x8b.
bool startsWithGzipMagic(const std::string& bytes);

// The first two bytes of a file ("" when it cannot be read).
std::string fileHead(const std::string& path);

// Everything on standard input, as it stands.
std::string readStandardInput();

// The decompressed content of gzip data (one or more members); ToolError
// (bad input) naming what when the data is not valid gzip.
std::string gunzip(const std::string& compressed, const std::string& what);

}  // namespace velt_tool

#endif
