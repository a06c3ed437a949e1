// Helpers shared by the format table, bytes-per-line and buffer-size code.

#ifndef ZO_CAMERA_VELT_FORMATS_FORMATS_COMMON_H
#define ZO_CAMERA_VELT_FORMATS_FORMATS_COMMON_H

#include <cstdint>
#include <limits>

namespace VELTFormats {
namespace detail {

// The fourcc of four characters, the first one in the top byte: fourccOf("NV12") == 0x4E563132.
constexpr uint32_t fourccOf(const char (&text)[5]) {
    return (static_cast<uint32_t>(static_cast<unsigned char>(text[0])) << 24) |
           (static_cast<uint32_t>(static_cast<unsigned char>(text[1])) << 16) |
           (static_cast<uint32_t>(static_cast<unsigned char>(text[2])) << 8) |
           static_cast<uint32_t>(static_cast<unsigned char>(text[3]));
}

// Rounds value up to a multiple of alignment (non-zero). Sizes are worked out
// in 64 bits so that 32-bit overflow can be detected instead of wrapping.
constexpr uint64_t alignUp(uint64_t value, uint64_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

constexpr bool fitsIn32(uint64_t value) {
    return value <= std::numeric_limits<uint32_t>::max();
}

// A size as the 32-bit result of the interface, 0 when it does not fit.
constexpr uint32_t sizeOrZero(uint64_t value) {
    return fitsIn32(value) ? static_cast<uint32_t>(value) : 0;
}

// A non-negative floating-point size truncated to 32 bits, 0 when it does not fit.
template <typename Real>
uint32_t truncatedSizeOrZero(Real value) {
    if (!(value >= 0) || !(value < static_cast<Real>(4294967296.0))) {
        return 0;
    }
    return static_cast<uint32_t>(value);
}

// Frame format numbers of the camera subsystem (zo_vesk_frame_format_type).
enum FrameFormat : int {
    kFrameFormatNone = 0,
    kFrameFormatYuv420Planar = 3,
    kFrameFormatYv12 = 4,
    kFrameFormatNv12 = 5,
    kFrameFormatNv12Tiled = 7,
    kFrameFormatNv21 = 8,
    kFrameFormatNv16 = 11,
    kFrameFormatYuyv = 14,
    kFrameFormatYuv420PackedCsyp = 16,
    kFrameFormatBayerGrbg = 20,
    kFrameFormatBayerRggb = 21,
    kFrameFormatBayerBggr = 22,
    kFrameFormatBayerGbrg = 23,
    kFrameFormatYuv420Line = 24,
    kFrameFormatRaw = 25,
    kFrameFormatBinary8 = 28,
    kFrameFormatBayerLineInterleaved = 42,
    kFrameFormatBayerVectorized = 43,
    kFrameFormatYuv420Vectorized = 47,
    kFrameFormatP010Lsb = 49,
    kFrameFormatP010 = 50,
    kFrameFormatP012Lsb = 51,
    kFrameFormatP012 = 52,
    kFrameFormatP010Tiled = 54,
    kFrameFormatP012Tiled = 56,
    kFrameFormatPafNonInterleaved = 61,
    kFrameFormatPafInterleaved = 62,
    kFrameFormatIr = 63,
};

}  // namespace detail
}  // namespace VELTFormats

#endif
