// Streaming plain and gzip files into expat, one block at a time (blocks
// grow only while expat is inside one huge token: file_blocks.h).

#include <expat.h>
#include <zlib.h>

#include "velt_parser.h"
#include "zo_camera/velt/parser/file_blocks.h"
#include "zo_camera/velt/parser/parser_names.h"
#include "zo_log_common.h"
#include "zo_rulo_memory.h"

namespace VELT {

using parser::kTag;

void VELTParser::parseXML(XML_Parser& parser, const char* fileName, void* buffer) {
    if (parser == nullptr || fileName == nullptr || buffer == nullptr) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "NULL pointer given!");
        return;
    }
    beginErrorRecord(fileName);
    FILE* file = zo_rulo_fopen(fileName, "r");
    if (file == nullptr) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Failed to open XML %s", fileName);
        return;
    }
    parser::FileBlocks blocks(parser, static_cast<char*>(buffer), kBlockSize, elementEvents_);
    for (;;) {
        size_t size = 0;
        char* block = blocks.next(size);
        if (block == nullptr) {
            parsed(parser, XML_STATUS_ERROR, __func__, __LINE__);
            zo_rulo_fclose(file);
            return;
        }
        const size_t count = zo_rulo_fread(block, 1, size, file);
        if (count == 0) {
            break;
        }
        const bool final = count < size;
        if (!parsed(parser, blocks.parse(count, final), __func__, __LINE__) || final) {
            zo_rulo_fclose(file);
            return;
        }
    }
    if (zo_rulo_ferror(file) != 0) {
        // Not a document end: the tree read so far is all there is.
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Error reading from file");
        zo_rulo_clearerr(file);
    } else {
        // The document filled whole blocks: tell expat it has ended.
        parsed(parser, blocks.parse(0, true), __func__, __LINE__);
    }
    zo_rulo_fclose(file);
}

void VELTParser::parseGz(XML_Parser& parser, const char* fileName, void* buffer) {
    if (parser == nullptr || fileName == nullptr || buffer == nullptr) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "NULL pointer given!");
        return;
    }
    beginErrorRecord(fileName);
    gzFile file = gzopen(fileName, "rb");
    if (file == nullptr) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Failed to open GZ %s", fileName);
        return;
    }
    parser::FileBlocks blocks(parser, static_cast<char*>(buffer), kBlockSize, elementEvents_);
    for (;;) {
        size_t size = 0;
        char* block = blocks.next(size);
        if (block == nullptr) {
            parsed(parser, XML_STATUS_ERROR, __func__, __LINE__);
            break;
        }
        const int count = gzread(file, block, static_cast<unsigned>(size));
        if (count < 0) {
            zo_log_common_debug(ZO_LOG_ERROR, kTag, "Error reading from file");
            gzclose(file);
            return;
        }
        if (count == 0) {
            // As for plain files, a document that filled whole blocks still
            // needs its end announced, or a truncated one would pass unnoticed.
            parsed(parser, blocks.parse(0, true), __func__, __LINE__);
            break;
        }
        const bool final = static_cast<size_t>(count) < size;
        if (!parsed(parser, blocks.parse(static_cast<size_t>(count), final), __func__, __LINE__) ||
            final) {
            break;
        }
    }
    // zlib hands out what a stream cut short still holds and then reports an
    // end of file, not an error; a stream missing only its checksum trailer
    // even yields a complete document. Its error state tells the difference.
    int error = Z_OK;
    gzerror(file, &error);
    if (error != Z_OK) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Error reading from file");
    }
    gzclose(file);
}

}  // namespace VELT
