// Resolution and crop arithmetic is defined on signed 32-bit values. These
// helpers give the same results wherever plain int arithmetic stays in range,
// and the two's-complement wrap-around where it would overflow (which for
// plain int is undefined behaviour), so hostile graph values cannot crash or
// miscompile the library.
#ifndef ZO_CAMERA_VELT_KERNELS_INT32_ARITHMETIC_H
#define ZO_CAMERA_VELT_KERNELS_INT32_ARITHMETIC_H

#include <cstdint>

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

}  // namespace int32_arithmetic
}  // namespace VELT

#endif
