// Line strides of the pixel formats: each fourcc's hardware alignment rule.

#include <cmath>

#include "velt_formats.h"
#include "zo_camera/velt/formats/formats_common.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace {

using VELTFormats::detail::alignUp;
using VELTFormats::detail::fourccOf;
using VELTFormats::detail::sizeOrZero;

// Smallest power of two (2 to 2^31) not below value, at least 64; 64 for 0 and
// 0 when value exceeds 2^31. Compressed planar strides must be powers of two.
uint32_t powerOfTwoStride(uint64_t value) {
    constexpr uint64_t kLargest = uint64_t{1} << 31;
    if (value == 0) {
        return 64;
    }
    if (value > kLargest) {
        return 0;
    }
    uint64_t power = 2;
    while (power < value) {
        power <<= 1;
    }
    return static_cast<uint32_t>(power < 64 ? 64 : power);
}

// Packed 12-bit 4:2:0: 42 pixel pairs share one 128-byte block.
uint32_t packedYuv12Stride(uint32_t width) {
    const double blocks = std::ceil(static_cast<double>(width) * 0.5 / 42.0);
    return sizeOrZero(static_cast<uint64_t>(blocks) * 128);
}

}  // namespace

extern "C" unsigned getBpl(unsigned fourcc, unsigned width) {
    const uint64_t w = width;
    switch (fourcc) {
        case fourccOf("NV12"):
            return sizeOrZero(alignUp(w, 64));

        case fourccOf("IYUV"):
        case fourccOf("TILE"):
        case fourccOf("CN12"):
        case fourccOf("CT12"):
        case fourccOf("CILE"):
            return sizeOrZero(alignUp(w, 128));

        case fourccOf("BG8C"):
        case fourccOf("GB8C"):
        case fourccOf("GR8C"):
        case fourccOf("RG8C"):
            return sizeOrZero(alignUp(w, 512));

        case fourccOf("BA10"):
        case fourccOf("BG10"):
        case fourccOf("GB10"):
        case fourccOf("GR10"):
        case fourccOf("RG10"):
        case fourccOf("IR16"):
        case fourccOf("P010"):
        case fourccOf("P012"):
        case fourccOf("P01L"):
        case fourccOf("PL12"):
        case fourccOf("bV0K"):
        case fourccOf("PAFi"):
        case fourccOf("PAFn"):
        case fourccOf("PF8i"):
        case fourccOf("PF1n"):
        case fourccOf("PF2n"):
        case fourccOf("PF4n"):
        case fourccOf("PF6n"):
            return sizeOrZero(alignUp(2 * w, 64));

        case fourccOf("P412"):
        case fourccOf("PC10"):
        case fourccOf("PC12"):
        case fourccOf("T010"):
        case fourccOf("T012"):
        case fourccOf("V420"):
        case fourccOf("C010"):
        case fourccOf("C012"):
            return sizeOrZero(alignUp(2 * w, 128));

        case fourccOf("BG1C"):
        case fourccOf("GB1C"):
        case fourccOf("GR1C"):
        case fourccOf("RG1C"):
            return sizeOrZero(alignUp(2 * w, 512));

        case fourccOf("PF1i"):
        case fourccOf("PF2i"):
        case fourccOf("PF4i"):
        case fourccOf("PF6i"):
        case fourccOf("CSL0"):
        case fourccOf("CSL1"):
        case fourccOf("CSL2"):
        case fourccOf("CSL3"):
        case fourccOf("CSL4"):
        case fourccOf("CSL5"):
        case fourccOf("CSL6"):
        case fourccOf("CSL7"):
            return sizeOrZero(alignUp(4 * w, 64));

        case fourccOf("y032"):
            return sizeOrZero(alignUp(6 * w, 64));

        case fourccOf("CS42"):
            return packedYuv12Stride(width);

        case fourccOf("C420"):
        case fourccOf("P01Y"):
            return powerOfTwoStride(alignUp(2 * w, 256));

        case fourccOf("CIYU"):
            return powerOfTwoStride(alignUp(w, 256));

        default:
            ZO_MODULE_LOG(ZO_LOG_WARNING, veltFormats, "bpl defaulting to width");
            return sizeOrZero(alignUp(w, 64));
    }
}

namespace VELTFormats {

unsigned getBpl(const zo_format_t& format, unsigned width) {
    return ::getBpl(format.fourcc, width);
}

}  // namespace VELTFormats
