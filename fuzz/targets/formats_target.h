// The format arithmetic on arbitrary fourccs, sizes, strides and bit depths:
// bytes per line, buffer sizes, DEC400 layouts and the frame-format helpers.
// Besides crashes and undefined behaviour it checks that a DEC400 layout
// that was computed (a size above 0) holds every tile-status buffer it lists.
#ifndef ZOVESK_FUZZ_FORMATS_TARGET_H
#define ZOVESK_FUZZ_FORMATS_TARGET_H

#include <cstdint>
#include <cstdlib>

#include "fuzz/targets/fuzz_input.h"
#include "velt_dec400util.h"
#include "velt_formats.h"
#include "zo_dec400_util.h"
#include "zo_pifo_format.h"

namespace zovesk_fuzz {

// Aborts (a finding) unless every listed tile-status buffer ends within size.
inline void checkLayout(unsigned size, unsigned planes, const unsigned* offsets,
                        const unsigned* sizes) {
    if (size == 0) {
        return;
    }
    for (unsigned plane = 0; plane < planes && plane < 3; ++plane) {
        if (uint64_t{offsets[plane]} + sizes[plane] > size) {
            abort();
        }
    }
}

inline void runFormatsTarget(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const uint32_t fourcc = in.u32();
    const uint32_t width = in.u32();
    const uint32_t height = in.u32();
    const uint32_t bpl = in.u32();
    const uint32_t bitDepth = in.u32();
    const uint32_t extraMem = in.u32();
    const bool tnr = in.flag();
    const bool withOutputs = in.flag();
    const int frameFormat = static_cast<int>(in.u32());

    VELTFormats::initVELTFormats();
    unsigned offsets[3] = {};
    unsigned sizes[3] = {};
    unsigned* offsetsOut = withOutputs ? offsets : nullptr;
    unsigned* sizesOut = withOutputs ? sizes : nullptr;

    // Through the table when the fourcc is known, and through a made-up
    // record with the same fourcc either way, so unknown codes reach every
    // branch of the size arithmetic too.
    VELTFormats::zo_format_t format{};
    if (VELTFormats::getFormatByFourcc(fourcc, format) == 0) {
        VELTFormats::getBpl(format, width);
        VELTFormats::calculateBufferSize(format, width, height, bpl, offsetsOut, sizesOut);
        VELTFormats::isCompressedFormat(format.name);
    }
    format.fourcc = fourcc;
    format.depth = bitDepth;
    VELTFormats::getBpl(format, width);
    VELTFormats::calculateBufferSize(format, width, height, bpl, offsetsOut, sizesOut);
    getBpl(fourcc, width);
    VELTFormats::getPlaneCountByFourcc(fourcc);
    isCompressedFormat(fourcc);
    zo_pifo_is_compressed_format(fourcc);

    unsigned result = VELTFormats::calculateDec400BufferSize(fourcc, width, height, bpl, bitDepth,
                                                             offsets, sizes);
    checkLayout(result, dec400util::numberOfPlanes(fourcc), offsets, sizes);
    result =
        dec400util::calcBufferSize(fourcc, bitDepth, tnr, bpl, height, extraMem, offsets, sizes);
    checkLayout(result, dec400util::numberOfPlanes(fourcc), offsets, sizes);

    int mapped = 0;
    bool bayer = false;
    bool packed = false;
    fourcc_to_vesk_frame_format(fourcc, &mapped, &bayer, &packed);

    // The frame-format helpers take any number, not only mapped ones.
    result = nuv_dec400_cmprs_calc_buf_size(frameFormat, bitDepth, tnr, bpl, height, extraMem,
                                            offsets, sizes);
    checkLayout(result, nuv_dec400_cmpr_get_num_planes(frameFormat), offsets, sizes);
    unsigned imageSize = 0;
    unsigned tsSize = 0;
    nuv_dec400_cmprs_calc_plane_buf_size(bpl, height, extraMem, tnr, &imageSize, &tsSize);
    for (uint32_t plane = 0; plane < 4; ++plane) {
        nuv_dec400_cmpr_get_tile_size(frameFormat, bitDepth, plane, tnr);
    }
    nuv_dec400_cmpr_get_chroma_height_div(frameFormat);
    nuv_dec400_cmpr_get_chroma_stride_div(frameFormat);
    nuv_dec400_cmprs_is_tiled(frameFormat);
    nuv_dec400_psys_cmprs_validate_format(frameFormat);
    nuv_dec400_psys_cmprs_validate_bit_depth(frameFormat, bitDepth);
    nuv_dec400_psys_cmprs_get_bit_depth(frameFormat);
    uint32_t multiplier = 0;
    uint32_t alignOffset = 0;
    nuv_dec400_cmprs_get_stride_alignment(frameFormat, bitDepth, tnr, &multiplier,
                                          withOutputs ? &alignOffset : nullptr);
    nuv_dec400_isys_cmprs_get_stride_alignment(width, height, bpl, &multiplier);
}

}  // namespace zovesk_fuzz

#endif
