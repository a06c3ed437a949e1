// Storage of run-kernel arrays and resolution records, shared by both
// kernel-list builders.
//
// The records are plain C records handed to the ISP configuration library, so
// they come from the runtime allocator like the runtime's own blocks: every
// array is counted, traced at the allocation level and refused by the
// runtime's failure hook, whichever builder made it.
#ifndef ZO_CAMERA_VELT_KERNEL_LISTS_SHARED_RUN_KERNEL_RECORDS_H
#define ZO_CAMERA_VELT_KERNEL_LISTS_SHARED_RUN_KERNEL_RECORDS_H

#include <cstddef>
#include <vector>

#include "zo_isp_qel_records.h"
#include "zo_rulo_memory.h"

namespace VELT {
namespace records {

// count zeroed records; null for none, or when the allocation is refused.
template <typename Record>
Record* allocateZeroed(size_t count, const char* label) {
    if (count == 0) {
        return nullptr;
    }
    return static_cast<Record*>(ZO_CALLOC(count, sizeof(Record), label));
}

// Frees what allocateZeroed() made (null is accepted) and clears the pointer.
template <typename Record>
void release(Record*& records, const char* label) {
    ZO_FREE(records, label);
    records = nullptr;
}

// One zeroed resolution record per slot; false when an allocation is refused
// (the records made so far stay in the vector for releaseEach()).
inline bool allocateEach(std::vector<zo_isp_qel_resolution_info*>& records, size_t count,
                         const char* label) {
    records.assign(count, nullptr);
    for (auto& record : records) {
        record = allocateZeroed<zo_isp_qel_resolution_info>(1, label);
        if (record == nullptr) {
            return false;
        }
    }
    return true;
}

// Frees every record of the vector and clears its pointers.
inline void releaseEach(std::vector<zo_isp_qel_resolution_info*>& records, const char* label) {
    for (auto& record : records) {
        release(record, label);
    }
}

}  // namespace records
}  // namespace VELT

#endif
