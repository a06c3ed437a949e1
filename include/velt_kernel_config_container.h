/*
 * One override of a run-kernel record, as a hardware generation reports it.
 *
 * Applied to every run kernel whose kernel_uuid matches; mask says which
 * fields replace the run kernel's.
 */
#ifndef VELT_KERNEL_CONFIG_CONTAINER_H
#define VELT_KERNEL_CONFIG_CONTAINER_H

#include <cstddef>
#include <cstdint>

#include "zo_isp_qel_records.h"

namespace VELT {

struct KernelConfigContainer {
    // Mask bits: which of the fields below are valid.
    static constexpr uint32_t kEnable = 0x2;
    static constexpr uint32_t kBppInfo = 0x4;
    static constexpr uint32_t kMetadata = 0x8;

    uint32_t mask;
    uint32_t kernel_uuid;  // the kernel (PAL uuid) the override is for
    int32_t enable;
    uint32_t metadata[4];
    zo_isp_qel_bpp_info bpp_info;
};

// Every field is 32-bit, so the natural layout is already packed.
static_assert(sizeof(KernelConfigContainer) == 36, "KernelConfigContainer size");
static_assert(offsetof(KernelConfigContainer, mask) == 0, "mask offset");
static_assert(offsetof(KernelConfigContainer, kernel_uuid) == 4, "kernel_uuid offset");
static_assert(offsetof(KernelConfigContainer, enable) == 8, "enable offset");
static_assert(offsetof(KernelConfigContainer, metadata) == 12, "metadata offset");
static_assert(offsetof(KernelConfigContainer, bpp_info) == 28, "bpp_info offset");

}  // namespace VELT

#endif /* VELT_KERNEL_CONFIG_CONTAINER_H */
