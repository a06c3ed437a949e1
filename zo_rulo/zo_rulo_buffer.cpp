// Buffer creation, allocation, memory access and destruction.

#include <cstdint>

#include "velt_status.h"
#include "zo_list.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_rulo_buffer_validation.h"
#include "zo_rulo_memory.h"
#include "zo_rulo_memory_common.h"

using zo_rulo::kBufferTag;
using zo_rulo::logBufferEntry;
using zo_rulo::validateMemoryFlags;

namespace {

void logError(const char* format, const char* function) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    zo_log_common_debug(ZO_LOG_ERROR, kBufferTag, format, function);
#pragma GCC diagnostic pop
}

// Takes over the caller's memory as the buffer's, or returns false after
// logging why it cannot be used with the requested flags.
bool adoptUserMemory(zo_rulo_buffer_t& buffer, uint32_t requestedFlags,
                     const zo_rulo_memory_t& user, const char* function) {
    if (user.size > buffer.memory.size) {
        zo_log_common_debug(ZO_LOG_WARNING, kBufferTag,
                            "%s: requested bytes to allocate less than provided user memory in "
                            "argument, truncating",
                            function);
    } else if (user.size < buffer.memory.size) {
        logError("%s: requested bytes to allocate more than provided user memory in argument",
                 function);
        return false;
    }

    if (user.flags & ZO_RULO_MEMORY_CPU_PTR) {
        if (!user.cpuPtr) {
            logError("%s: user did not provide pointer with ZO_RULO_MEMORY_CPU_PTR", function);
            return false;
        }
        if (user.flags & ZO_RULO_MEMORY_HANDLE) {
            logError("%s: ZO_RULO_MEMORY_CPU_PTR conflict with ZO_RULO_MEMORY_HANDLE", function);
            return false;
        }
        if ((requestedFlags & ZO_RULO_MEMORY_ALLOCATE_CPU_PTR) &&
            !(requestedFlags & ZO_RULO_MEMORY_COPY_FROM_USER)) {
            logError("%s: ZO_RULO_MEMORY_CPU_PTR conflict with ZO_RULO_MEMORY_ALLOCATE_CPU_PTR",
                     function);
            return false;
        }
        buffer.memory.cpuPtr = user.cpuPtr;
        buffer.memory.flags |= ZO_RULO_MEMORY_USER_PROVIDED | ZO_RULO_MEMORY_CPU_PTR;
    } else if (user.flags & ZO_RULO_MEMORY_HANDLE) {
        if (user.handle == 0) {
            logError("%s: user did not provide handle with ZO_RULO_MEMORY_HANDLE", function);
            return false;
        }
        if (requestedFlags & ZO_RULO_MEMORY_COPY_FROM_USER) {
            logError(
                "%s: ZO_RULO_MEMORY_COPY_FROM_USER conflict!  Copy from user handle not "
                "implemented.",
                function);
            return false;
        }
        if (requestedFlags & ZO_RULO_MEMORY_ALLOCATE_CPU_PTR) {
            logError("%s: ZO_RULO_MEMORY_HANDLE conflict with ZO_RULO_MEMORY_ALLOCATE_CPU_PTR",
                     function);
            return false;
        }
        buffer.memory.handle = user.handle;
        buffer.memory.flags |= ZO_RULO_MEMORY_USER_PROVIDED | ZO_RULO_MEMORY_HANDLE;
    }

    if (user.anchor) {
        logError("%s: inheriting object from another not supported!", function);
        return false;
    }
    if (!(user.flags & (ZO_RULO_MEMORY_CPU_PTR | ZO_RULO_MEMORY_HANDLE))) {
        logError("%s: Invalid user memory given as argument!", function);
        return false;
    }
    return true;
}

// Detaches the regions a destroyed parent leaves behind and frees its list.
void releaseRegions(zo_rulo_buffer_t& buffer, const char* function) {
    if (!buffer.regions) {
        return;
    }
    zo_log_common_debug(ZO_LOG_WARNING, kBufferTag,
                        "%s: parent buffer destroy leaves stale regions", function);
    zo_list* element = buffer.regions;
    while (element) {
        zo_list* next = element->next;
        static_cast<zo_rulo_buffer_t*>(element->data)->memory.anchor = nullptr;
        zo_list_destroy(element);
        element = next;
    }
    buffer.regions = nullptr;
}

}  // namespace

extern "C" {

zo_rulo_buffer_t* zo_rulo_buffer_create(uint32_t size, uint32_t flags,
                                        const zo_rulo_memory_t* userMemory) {
    logBufferEntry(__func__);
    if (size == 0) {
        return nullptr;
    }
    auto* buffer = static_cast<zo_rulo_buffer_t*>(
        zo_rulo_calloc(1, sizeof(zo_rulo_buffer_t), __func__, __FILE__, __LINE__));
    if (!buffer) {
        zo_log_common_debug(ZO_LOG_ERROR, kBufferTag, "could not allocate buf");
        return nullptr;
    }
    buffer->memory.anchor = buffer;
    buffer->memory.size = size;

    if (userMemory && !adoptUserMemory(*buffer, flags, *userMemory, __func__)) {
        zo_rulo_free(buffer, __func__);
        return nullptr;
    }
    buffer->memory.flags |= flags;
    buffer->allocate = _rulo_memory_common_allocate;
    buffer->getMemory = _rulo_memory_common_get_memory;

    if (validateMemoryFlags(buffer->memory, __func__) != VELT::err_none) {
        zo_rulo_free(buffer, __func__);
        return nullptr;
    }
    return buffer;
}

void zo_rulo_buffer_destroy(zo_rulo_buffer_t* buffer) {
    logBufferEntry(__func__);
    if (!buffer) {
        logError("%s: NULL pointer given!", __func__);
        return;
    }
    if (zo_rulo_buffer_is_region(buffer)) {
        zo_rulo_buffer_t* parent = buffer->memory.anchor;
        if (!parent) {
            zo_log_common_debug(ZO_LOG_WARNING, kBufferTag, "%s: parent already released",
                                __func__);
        } else if (!zo_list_remove(&parent->regions, buffer)) {
            logError("%s: region parent reference missing", __func__);
        }
    } else {
        releaseRegions(*buffer, __func__);
    }
    if (buffer->destroy) {
        buffer->destroy(buffer);
    }
    zo_rulo_free(buffer, __func__);
}

int32_t zo_rulo_buffer_allocate(zo_rulo_buffer_t* buffer) {
    logBufferEntry(__func__);
    if (!buffer) {
        return VELT::err_argument;
    }
    if (!buffer->allocate) {
        return VELT::err_internal;
    }
    int32_t status = buffer->allocate(buffer);
    if (status != VELT::err_none) {
        logError("%s: allocation failed", __func__);
        return status;
    }
    status = validateMemoryFlags(buffer->memory, __func__);
    if (status != VELT::err_none) {
        logError("%s: bitfield validation after allocate failed", __func__);
    }
    return status;
}

int32_t zo_rulo_buffer_get_memory(zo_rulo_buffer_t* buffer, zo_rulo_memory_t* memoryOut) {
    logBufferEntry(__func__);
    if (!buffer || !memoryOut) {
        return VELT::err_argument;
    }
    const bool region = zo_rulo_buffer_is_region(buffer);
    // A region reads its parent's memory and narrows it to its window.
    zo_rulo_buffer_t* owner = region ? buffer->memory.anchor : buffer;
    if (!owner) {
        return VELT::err_argument;
    }
    if (!owner->getMemory) {
        return VELT::err_internal;
    }
    int32_t status = owner->getMemory(owner, memoryOut);
    if (status != VELT::err_none) {
        logError("%s: operation failed", __func__);
        return status;
    }
    status = validateMemoryFlags(*memoryOut, __func__);
    if (status != VELT::err_none) {
        logError("%s: bitfield validation failed for memory returned", __func__);
        return status;
    }
    if (region) {
        const uint64_t end = uint64_t{buffer->offset} + buffer->memory.size;
        if (memoryOut->size < end) {
            logError("%s: memory region doesn't fit in parent store!", __func__);
            return VELT::err_internal;
        }
        if (memoryOut->cpuPtr) {
            memoryOut->cpuPtr = static_cast<uint8_t*>(memoryOut->cpuPtr) + buffer->offset;
        }
        memoryOut->size = buffer->memory.size;
        memoryOut->anchor = buffer;
    }
    return VELT::err_none;
}

bool zo_rulo_buffer_is_region(const zo_rulo_buffer_t* buffer) {
    logBufferEntry(__func__);
    return buffer && buffer->memory.anchor != buffer;
}

zo_rulo_buffer_t* zo_rulo_buffer_get_parent(const zo_rulo_buffer_t* region) {
    logBufferEntry(__func__);
    if (!zo_rulo_buffer_is_region(region)) {
        logError("%s: not a child object", __func__);
        return nullptr;
    }
    return region->memory.anchor;
}

uint8_t zo_rulo_buffer_get_device_id(const zo_rulo_buffer_t* buffer) {
    logBufferEntry(__func__);
    return buffer ? buffer->deviceId : 0;
}

}  // extern "C"
