/*
 * The pixel-format table: every frame format a port of a graph may name,
 * with its fourcc, colour family, bit sizes, compression flag and planes,
 * and the bytes-per-line and buffer-size arithmetic built on it.
 *
 * Lookups search gVELTFormats, which stays empty until initVELTFormats()
 * copies the built-in records into it. initVELTFormats() may run on several
 * threads at once, and alongside lookups by threads that called it first
 * (the library's own lookups do). Changing the table (setFormatId, writing
 * gVELTFormats) must not run concurrently with any other use of it.
 */
#ifndef VELT_FORMATS_H
#define VELT_FORMATS_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "velt_export.h"
#include "zo_pifo_format.h"

namespace VELTFormats {

/* One format record. */
struct zo_format_t {
    std::string name;      // as written in graph files, e.g. "YUV420_8_SP"
    uint32_t fourcc;       // four characters, the first in the top byte
    std::string type;      // colour family: "BAYER", "YUV", "sRGB", "IR" or "META"
    uint32_t bpp;          // bits per pixel over all planes
    uint32_t depth;        // significant bits per sample
    uint32_t storageBits;  // bits one sample occupies in memory
    uint32_t packing;      // 0 ordinary, 1 line-interleaved, 32 vectorised; not interpreted
    uint8_t valid;         // 1 in every built-in record
    uint8_t compressed;    // 1 for DEC400-compressed formats
    std::vector<std::pair<std::string, int32_t>> planes;  // (name, bits) in memory order
    uint32_t formatId;  // caller's id from setFormatId(); 0 in the built-in table
};

/* The built-in records, complete from library load to unload. */
ZO_EXPORT extern std::vector<zo_format_t> gVELTFormatsInternal;
/* The table every lookup searches; empty until initVELTFormats(). */
ZO_EXPORT extern std::vector<zo_format_t> gVELTFormats;

/* Copies the built-in records into gVELTFormats when it is empty; harmless to repeat. */
ZO_EXPORT void initVELTFormats();

/*
 * Copies the first record with exactly this (case-sensitive) name into
 * format. Returns 0, or -8 (err_data) with format untouched when none.
 */
ZO_EXPORT int getFormatByName(const std::string& name, zo_format_t& format);

/* The same by fourcc: 0, or -8 with format untouched. */
ZO_EXPORT int getFormatByFourcc(unsigned fourcc, zo_format_t& format);

/* Stores id as the format id of the named record: 0, or -32 when there is none. */
ZO_EXPORT int setFormatId(const std::string& name, unsigned id);

/* Number of planes of the format (0 for packed and Bayer ones), -1 when unknown. */
ZO_EXPORT int getPlaneCountByFourcc(unsigned fourcc);

/* Initialises the table when needed; true when the named format is compressed. */
ZO_EXPORT bool isCompressedFormat(const std::string& name);

/* Bytes per line for the record's fourcc; see ::getBpl(). */
ZO_EXPORT unsigned getBpl(const zo_format_t& format, unsigned width);

/*
 * Size in bytes of one frame buffer. bpl is the line stride, or 0 to use
 * getBpl(format, width). For compressed formats the tile-status offsets and
 * sizes (three entries each) are stored into the non-null arrays. Returns 0
 * when the size does not fit in 32 bits or cannot be computed.
 */
ZO_EXPORT unsigned calculateBufferSize(const zo_format_t& format, unsigned width, unsigned height,
                                       unsigned bpl, unsigned* tsOffsets, unsigned* tsSizes);

/*
 * Size in bytes of a DEC400-compressed frame buffer of the fourcc with the
 * given stride, height and bit depth; width is not used. Copies the
 * tile-status offsets and sizes (three entries each) to the non-null arrays.
 * Returns 0, with a warning and zero arrays, for a fourcc that is not one of
 * the compressed formats.
 */
ZO_EXPORT unsigned calculateDec400BufferSize(unsigned fourcc, unsigned width, unsigned height,
                                             unsigned stride, unsigned bitDepth,
                                             unsigned* tsOffsets, unsigned* tsSizes);

}  // namespace VELTFormats

#endif /* VELT_FORMATS_H */
