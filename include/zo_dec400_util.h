/*
 * DEC400 lossless-compression layouts on frame format numbers (see
 * zo_pifo_format.h).
 *
 * A compressed buffer holds the compressed image planes (luma, then chroma)
 * followed by one tile-status buffer per plane, each at a 4096-byte-aligned
 * offset. Tile-status offsets and sizes are reported in arrays of three
 * entries, one per plane; entries beyond the plane count stay 0.
 *
 * A format or bit depth without DEC400 tiles (tile size 0) cannot be laid
 * out: such requests, and sizes that do not fit in 32 bits, give 0.
 */
#ifndef ZO_DEC400_UTIL_H
#define ZO_DEC400_UTIL_H

#include <stdint.h>
#ifndef __cplusplus
#include <stdbool.h>
#endif

#include "velt_export.h"
#include "zo_pifo_format.h"

ZO_EXTERN_C_BEGIN

/*
 * Size in bytes of a whole compressed buffer: image planes, extraMem bytes,
 * then the aligned tile-status buffers. Fills tsOffsets and tsSizes (three
 * entries each; either may be NULL). Returns 0 when the format cannot be laid
 * out.
 */
ZO_EXPORT uint32_t nuv_dec400_cmprs_calc_buf_size(zo_vesk_frame_format_type format,
                                                  uint32_t bitDepth, bool tnr, uint32_t stride,
                                                  uint32_t height, uint32_t extraMem,
                                                  uint32_t* tsOffsets, uint32_t* tsSizes);

/*
 * One plane: image size stride * height and the size of its tile-status
 * buffer, stored through the non-NULL pointers; returns their sum. A tile
 * size of 0 gives 0 with both outputs 0.
 */
ZO_EXPORT uint32_t nuv_dec400_cmprs_calc_plane_buf_size(uint32_t stride, uint32_t height,
                                                        uint32_t tileSize, bool tiled,
                                                        uint32_t* imageSize, uint32_t* tsSize);

/* DEC400 tile size in bytes of a plane (0 luma, 1 and 2 chroma); 0 when there is none. */
ZO_EXPORT uint32_t nuv_dec400_cmpr_get_tile_size(zo_vesk_frame_format_type format,
                                                 uint32_t bitDepth, uint32_t plane, bool tnr);

/* Number of image planes of the format (1 for unknown formats). */
ZO_EXPORT uint32_t nuv_dec400_cmpr_get_num_planes(zo_vesk_frame_format_type format);

/* Divisor from the luma height to the chroma height. */
ZO_EXPORT uint32_t nuv_dec400_cmpr_get_chroma_height_div(zo_vesk_frame_format_type format);

/* Divisor from the luma stride to the chroma stride. */
ZO_EXPORT uint32_t nuv_dec400_cmpr_get_chroma_stride_div(zo_vesk_frame_format_type format);

/* True for the tiled layouts (7, 54, 56). */
ZO_EXPORT bool nuv_dec400_cmprs_is_tiled(zo_vesk_frame_format_type format);

/* True for the formats the processing system can compress (3, 5, 7, 20 to 23, 50, 54, 56). */
ZO_EXPORT bool nuv_dec400_psys_cmprs_validate_format(zo_vesk_frame_format_type format);

/* True when the processing system can compress the format at this bit depth. */
ZO_EXPORT bool nuv_dec400_psys_cmprs_validate_bit_depth(zo_vesk_frame_format_type format,
                                                        uint32_t bitDepth);

/* The one bit depth a compressed format implies: 8, 10 or 12; 0 when not fixed. */
ZO_EXPORT uint32_t nuv_dec400_psys_cmprs_get_bit_depth(zo_vesk_frame_format_type format);

/*
 * Stride alignment in bytes for compressing the format on the processing
 * system. Sets *alignMultiplier (when given) to the number of alignment units
 * a line must span and *alignOffset (when given) to 0. bitDepth is not used.
 */
ZO_EXPORT uint32_t nuv_dec400_cmprs_get_stride_alignment(zo_vesk_frame_format_type format,
                                                         uint32_t bitDepth, bool tnr,
                                                         uint32_t* alignMultiplier,
                                                         uint32_t* alignOffset);

/*
 * Stride alignment in bytes for compressing on the input system: 512 with
 * *alignMultiplier 1 for pin types 1 and 3 with input formats 20 or 24 and
 * MIPI data types 42 to 44; otherwise 0 with *alignMultiplier 0.
 */
ZO_EXPORT uint32_t nuv_dec400_isys_cmprs_get_stride_alignment(uint32_t pinType, uint32_t isysFormat,
                                                              uint32_t mipiDataType,
                                                              uint32_t* alignMultiplier);

ZO_EXTERN_C_END

#endif /* ZO_DEC400_UTIL_H */
