// DEC400 sizing by fourcc, on top of the frame-format layout functions.

#include "velt_dec400util.h"

#include "zo_camera/velt/formats/formats_common.h"
#include "zo_dec400_util.h"
#include "zo_pifo_format.h"

using VELTFormats::detail::kFrameFormatNone;
using VELTFormats::detail::kFrameFormatNv12Tiled;

unsigned dec400util::calcBufferSize(unsigned fourcc, unsigned bitDepth, bool tnr, unsigned stride,
                                    unsigned height, unsigned extraMem, unsigned* tsOffsets,
                                    unsigned* tsSizes) {
    // An unknown fourcc keeps the preset: the tiled 8-bit layout.
    int frameFormat = kFrameFormatNv12Tiled;
    fourcc_to_vesk_frame_format(fourcc, &frameFormat, nullptr, nullptr);
    return nuv_dec400_cmprs_calc_buf_size(frameFormat, bitDepth, tnr, stride, height, extraMem,
                                          tsOffsets, tsSizes);
}

unsigned dec400util::numberOfPlanes(unsigned fourcc) {
    int frameFormat = kFrameFormatNone;
    fourcc_to_vesk_frame_format(fourcc, &frameFormat, nullptr, nullptr);
    return nuv_dec400_cmpr_get_num_planes(frameFormat);
}
