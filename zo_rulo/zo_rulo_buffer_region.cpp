// Regions: windows at an offset into a parent buffer, living inside its lifetime.

#include <cstdint>

#include "velt_status.h"
#include "zo_list.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_rulo_buffer_validation.h"
#include "zo_rulo_memory.h"
#include "zo_rulo_memory_common.h"

using zo_rulo::kBufferTag;
using zo_rulo::logBufferEntry;

extern "C" {

zo_rulo_buffer_t* zo_rulo_buffer_create_region(zo_rulo_buffer_t* parent, uint32_t offset,
                                               uint32_t size) {
    logBufferEntry(__func__);
    if (!parent || size == 0) {
        return nullptr;
    }
    if (uint64_t{offset} + size > parent->memory.size) {
        zo_log_common_debug(
            ZO_LOG_ERROR, kBufferTag,
            "%s: parent buffer size %d not enough for region requested (offset %d, size %d)",
            __func__, static_cast<int>(parent->memory.size), static_cast<int>(offset),
            static_cast<int>(size));
        return nullptr;
    }
    if (zo_rulo_buffer_is_region(parent)) {
        zo_log_common_debug(ZO_LOG_ERROR, kBufferTag, "%s: nested regions are illecal", __func__);
        return nullptr;
    }
    auto* region = static_cast<zo_rulo_buffer_t*>(
        zo_rulo_calloc(1, sizeof(zo_rulo_buffer_t), __func__, __FILE__, __LINE__));
    if (!region) {
        zo_log_common_debug(ZO_LOG_ERROR, kBufferTag, "%s: failed to allocate buffer", __func__);
        return nullptr;
    }
    region->memory.size = size;
    region->memory.flags = parent->memory.flags;
    region->memory.anchor = parent;
    region->offset = offset;
    if (zo_list_append(&parent->regions, region) != VELT::err_none) {
        zo_log_common_debug(ZO_LOG_ERROR, kBufferTag,
                            "%s: failed to append to parent buffer regions", __func__);
        zo_rulo_free(region, __func__);
        return nullptr;
    }
    return region;
}

}  // extern "C"
