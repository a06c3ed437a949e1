// Resolution and crop arithmetic is defined on signed 32-bit values, in the
// kernel lists and in the subgraph analysis alike. These
// helpers give the same results wherever plain int arithmetic stays in range,
// and the two's-complement wrap-around where it would overflow (which for
// plain int is undefined behaviour), so hostile graph values cannot crash or
// miscompile the library.
#ifndef ZO_CAMERA_VELT_KERNEL_LISTS_SHARED_INT32_ARITHMETIC_H
#define ZO_CAMERA_VELT_KERNEL_LISTS_SHARED_INT32_ARITHMETIC_H

#include <cstdint>

#include "zo_isp_qel_records.h"

namespace VELT {
namespace int32_arithmetic {

inline int32_t fromBits(uint32_t bits) {
    return static_cast<int32_t>(bits);
}

inline int32_t add(int32_t a, int32_t b) {
    return fromBits(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

inline int32_t sub(int32_t a, int32_t b) {
    return fromBits(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

inline int32_t mul(int32_t a, int32_t b) {
    return fromBits(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

// Division truncating toward zero; divisor must not be 0.
inline int32_t div(int32_t a, int32_t b) {
    if (b == -1) {
        return fromBits(0u - static_cast<uint32_t>(a));  // INT32_MIN / -1 wraps
    }
    return a / b;
}

inline int32_t shiftLeft(int32_t a, unsigned bits) {
    return fromBits(static_cast<uint32_t>(a) << bits);
}

// Arithmetic shift: rounds toward minus infinity for negative values.
inline int32_t shiftRight(int32_t a, unsigned bits) {
    return a >> bits;
}

// Fraction bits of the fixed-point ratios between two resolutions.
constexpr unsigned kRatioShift = 10;

// (span << 10) / divisor: input pixels per output pixel with 10 fraction bits,
// truncating toward zero. divisor must not be 0.
inline int32_t fixedRatio(int32_t span, int32_t divisor) {
    return div(shiftLeft(span, kRatioShift), divisor);
}

// (value * ratio) >> 10: a length scaled by a fixedRatio().
inline int32_t scaleByRatio(int32_t value, int32_t ratio) {
    return shiftRight(mul(value, ratio), kRatioShift);
}

// Adds a kernel's input crop, given in the kernel's input pixels (the output of
// the history in front of it), to total in the history's source pixels. The
// ratios are taken before total is written, so total may be history's own
// input crop. The history's output size must not be 0.
inline void addKernelInputCrop(zo_rectangle& total, const zo_isp_qel_resolution_info& history,
                               const zo_rectangle& kernelCrop) {
    const zo_rectangle& seen = history.input_crop;
    const int32_t rx =
        fixedRatio(sub(sub(history.input_width, seen.left), seen.right), history.output_width);
    const int32_t ry =
        fixedRatio(sub(sub(history.input_height, seen.top), seen.bottom), history.output_height);
    total.left = add(total.left, scaleByRatio(kernelCrop.left, rx));
    total.top = add(total.top, scaleByRatio(kernelCrop.top, ry));
    total.right = add(total.right, scaleByRatio(kernelCrop.right, rx));
    total.bottom = add(total.bottom, scaleByRatio(kernelCrop.bottom, ry));
}

}  // namespace int32_arithmetic
}  // namespace VELT

#endif
