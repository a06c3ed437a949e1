// Adding a stage's crop, scaled into pixel-array pixels, to a running total.
#include "velt_qel_pek_utils.h"

#include "zo_camera/velt/kernel_lists/shared/int32_arithmetic.h"

namespace VELT {

namespace {

// crop * multiplier / divisor with four fractional bits kept through the division.
int32_t scaleCrop(int32_t crop, int32_t divisor, int32_t multiplier) {
    using namespace int32_arithmetic;
    const int32_t fixed = shiftLeft(mul(crop, multiplier), 4);
    return shiftRight(div(fixed, divisor), 4);
}

}  // namespace

void QelPekUtils::accumulateCrop(zo_rectangle& total, const zo_rectangle& crop, int divisor,
                                 int multiplier) {
    if (divisor == 0) {
        return;  // no defined scale; the total stays as it is
    }
    using int32_arithmetic::add;
    total.left = add(total.left, scaleCrop(crop.left, divisor, multiplier));
    total.top = add(total.top, scaleCrop(crop.top, divisor, multiplier));
    total.right = add(total.right, scaleCrop(crop.right, divisor, multiplier));
    total.bottom = add(total.bottom, scaleCrop(crop.bottom, divisor, multiplier));
}

}  // namespace VELT
