// Frame buffer sizes per format family, including DEC400-compressed buffers.

#include "velt_dec400util.h"
#include "velt_formats.h"
#include "zo_camera/velt/formats/formats_common.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo_memory.h"

namespace {

using VELTFormats::detail::alignUp;
using VELTFormats::detail::fourccOf;
using VELTFormats::detail::sizeOrZero;
using VELTFormats::detail::truncatedSizeOrZero;

// The formats whose buffers follow the DEC400 compressed layout.
bool isDec400Fourcc(uint32_t fourcc) {
    switch (fourcc) {
        case fourccOf("BG1C"):
        case fourccOf("BG8C"):
        case fourccOf("C010"):
        case fourccOf("C012"):
        case fourccOf("C420"):
        case fourccOf("CILE"):
        case fourccOf("CIYU"):
        case fourccOf("CN12"):
        case fourccOf("CT12"):
        case fourccOf("GB1C"):
        case fourccOf("GB8C"):
        case fourccOf("GR1C"):
        case fourccOf("GR8C"):
        case fourccOf("P01Y"):
        case fourccOf("PC10"):
        case fourccOf("PC12"):
        case fourccOf("RG1C"):
        case fourccOf("RG8C"):
            return true;
        default:
            return false;
    }
}

}  // namespace

namespace VELTFormats {

unsigned calculateBufferSize(const zo_format_t& format, unsigned width, unsigned height,
                             unsigned bpl, unsigned* tsOffsets, unsigned* tsSizes) {
    const unsigned stride = bpl != 0 ? bpl : getBpl(format, width);
    switch (format.fourcc) {
        // Single-plane raw layouts.
        case fourccOf("BA10"):
        case fourccOf("BG10"):
        case fourccOf("BGGR"):
        case fourccOf("CSBA"):
        case fourccOf("GB10"):
        case fourccOf("GBRG"):
        case fourccOf("GR10"):
        case fourccOf("GRBG"):
        case fourccOf("RG10"):
        case fourccOf("RGGB"):
        case fourccOf("bV0K"):
            return sizeOrZero(uint64_t{height} * stride);

        // Tiled semi-planar: luma and half-height chroma, each padded to 32 lines.
        case fourccOf("T010"):
        case fourccOf("T012"):
        case fourccOf("TILE"):
            return sizeOrZero((alignUp(height, 32) + alignUp(height / 2, 32)) * stride);

        case fourccOf("y032"): {
            const uint32_t halfHeight = height / 2;  // whole lines, as the layout counts them
            const float size = static_cast<float>(halfHeight) * static_cast<float>(stride) * 1.0f;
            return truncatedSizeOrZero(size);
        }

        default:
            break;
    }
    if (isDec400Fourcc(format.fourcc)) {
        return calculateDec400BufferSize(format.fourcc, width, height, stride, format.depth,
                                         tsOffsets, tsSizes);
    }
    // 4:2:0 with one full and two quarter planes. Single precision is what
    // buffer allocators have always been given for these sizes.
    const float size = static_cast<float>(height) * static_cast<float>(stride) * 1.5f;
    return truncatedSizeOrZero(size);
}

unsigned calculateDec400BufferSize(unsigned fourcc, unsigned /*width*/, unsigned height,
                                   unsigned stride, unsigned bitDepth, unsigned* tsOffsets,
                                   unsigned* tsSizes) {
    unsigned offsets[3] = {};
    unsigned sizes[3] = {};
    unsigned size = 0;
    if (isDec400Fourcc(fourcc)) {
        // CT12 is the temporal-noise-reduction reference layout.
        const bool tnr = fourcc == fourccOf("CT12");
        size = dec400util::calcBufferSize(fourcc, bitDepth, tnr, stride, height, 0, offsets, sizes);
    } else {
        ZO_MODULE_LOG(ZO_LOG_WARNING, veltFormats,
                      "Unsupported compressed format 0x%x, not calculating buffer size.", fourcc);
    }
    if (tsOffsets) {
        zo_rulo_memcopy(tsOffsets, sizeof(offsets), offsets, sizeof(offsets));
    }
    if (tsSizes) {
        zo_rulo_memcopy(tsSizes, sizeof(sizes), sizes, sizeof(sizes));
    }
    return size;
}

}  // namespace VELTFormats
