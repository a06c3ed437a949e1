// Arithmetic of the resolution histories: 32-bit results taken modulo 2^32,
// computed without signed overflow.
#ifndef ZO_CAMERA_VELT_ANALYSIS_FIXED_POINT_H
#define ZO_CAMERA_VELT_ANALYSIS_FIXED_POINT_H

#include <cstdint>

namespace VELT {
namespace analysis {

// Fraction bits of the scaling ratios.
constexpr int kRatioShift = 10;

inline int32_t wrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

inline int32_t wrapSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

inline int32_t wrapMul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

// (span << 10) / divisor in 32-bit arithmetic, truncating toward zero. divisor is not 0.
inline int32_t fixedRatio(int32_t span, int32_t divisor) {
    const int32_t shifted = static_cast<int32_t>(static_cast<uint32_t>(span) << kRatioShift);
    // 64-bit division keeps INT32_MIN / -1 defined; the result wraps like the 32-bit one.
    return static_cast<int32_t>(static_cast<int64_t>(shifted) / divisor);
}

// (value * ratio) >> 10 with the product taken modulo 2^32 and an arithmetic shift.
inline int32_t scaleByRatio(int32_t value, int32_t ratio) {
    return wrapMul(value, ratio) >> kRatioShift;
}

}  // namespace analysis
}  // namespace VELT

#endif
