/*
 * DocumentCompiler: turns a graph descriptor or graph settings document (XML
 * or gzip-compressed XML) into a compiled document, a binary file of type
 * "veltbin" that VELTParser::parseVELTXmlFile reads into the very tree the
 * XML would give, without parsing any text.
 *
 * A compiled document holds the elements as the reader sees them: names
 * lower-cased, values as written, in document order. Keys are not stored;
 * they are looked up (or generated) while the compiled file is read, exactly
 * as when reading the XML, so the key dictionary ends up the same whichever
 * form of a document is read. The format is described byte by byte in
 * docs/compiled-format.md. Failures are logged with the tag
 * "VELT_PARSER[XOS]".
 */
#ifndef VELT_DOCUMENT_COMPILER_H
#define VELT_DOCUMENT_COMPILER_H

#include <cstdint>
#include <vector>

#include "velt_export.h"

namespace VELT {

class ZO_EXPORT DocumentCompiler {
  public:
    /* The file type VELTParser::parseVELTXmlFile reads compiled documents by. */
    static constexpr const char* kFileType = "veltbin";
    /* The format version this library writes, and the only one it reads. */
    static constexpr uint32_t kFormatVersion = 2;

    /*
     * Compiles the document at documentPath, chosen by its file type as the
     * reader chooses ("xml" plain, "gz" gzip), into image (replaced), ready
     * to be written to a file as it is. The same document always gives the
     * same bytes. Returns 0; -32 for a null path; -2048 for another file
     * type; -8 when the file cannot be read or is not well-formed XML
     * (image is then empty); -4 when out of memory. Reading the dictionary
     * is not involved: compiling adds no keys.
     */
    static int compile(const char* documentPath, std::vector<uint8_t>& image);
};

}  // namespace VELT

#endif /* VELT_DOCUMENT_COMPILER_H */
