/*
 * Pixel-format queries of the plain C interface: the camera subsystem's frame
 * format numbers for fourcc codes, the compression flag and the bytes per
 * line of a fourcc.
 *
 * A fourcc packs four characters with the first one in the most significant
 * byte: "NV12" is 0x4E563132.
 */
#ifndef ZO_PIFO_FORMAT_H
#define ZO_PIFO_FORMAT_H

#include <stdint.h>
#ifndef __cplusplus
#include <stdbool.h>
#endif

#include "velt_export.h"

ZO_EXTERN_C_BEGIN

/*
 * A frame format number of the camera subsystem, e.g. 3 planar 4:2:0,
 * 5 semi-planar 8-bit 4:2:0, 7 tiled semi-planar 8-bit, 20 to 23 Bayer
 * GRBG, RGGB, BGGR, GBRG, 50 semi-planar 10-bit, 52 semi-planar 12-bit,
 * 54 tiled 10-bit, 56 tiled 12-bit.
 */
typedef int zo_vesk_frame_format_type;

/*
 * Maps a fourcc to its frame format number and whether it is a Bayer and a
 * packed layout. Returns 0, or -32 for an unknown fourcc with the outputs
 * untouched. Every output pointer may be NULL and is then skipped.
 */
ZO_EXPORT int fourcc_to_vesk_frame_format(unsigned fourcc, int* frameFormat, bool* bayer,
                                          bool* packed);

/* 1 when the fourcc is a DEC400-compressed format of the format table, else 0. */
ZO_EXPORT int zo_pifo_is_compressed_format(unsigned fourcc);

/*
 * Initialises the format table when needed and returns the compressed flag of
 * the format with this fourcc (1 or 0); 0 for an unknown fourcc.
 */
ZO_EXPORT int isCompressedFormat(unsigned fourcc);

/*
 * Bytes per line of a frame of the given width in the layout of the fourcc.
 * Unknown fourccs default to the width aligned to 64 (with a warning). Returns
 * 0 when the result does not fit in 32 bits.
 */
ZO_EXPORT unsigned getBpl(unsigned fourcc, unsigned width);

ZO_EXTERN_C_END

#endif /* ZO_PIFO_FORMAT_H */
