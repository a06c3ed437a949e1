// The host-memory callbacks a buffer starts with, until a device driver
// replaces them.

#include "velt_status.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_rulo_buffer_validation.h"
#include "zo_rulo_memory.h"
#include "zo_rulo_memory_common.h"

using zo_rulo::kBufferTag;
using zo_rulo::logBufferEntry;

extern "C" {

int32_t _rulo_memory_common_allocate(zo_rulo_buffer_t* buffer) {
    logBufferEntry(__func__);
    if (!buffer) {
        return VELT::err_argument;
    }
    zo_rulo_memory_t& memory = buffer->memory;
    if ((memory.flags & ZO_RULO_MEMORY_DEVICE_FLAGS) && buffer->deviceId == 0) {
        zo_log_common_debug(ZO_LOG_ERROR, kBufferTag,
                            "%s: device memory flags specified, migrate first!", __func__);
        return VELT::err_argument;
    }
    const bool copyFromUser = (memory.flags & ZO_RULO_MEMORY_COPY_FROM_USER) != 0;
    if (memory.cpuPtr && !copyFromUser) {
        zo_log_common_debug(ZO_LOG_ERROR, kBufferTag, "%s: already allocated", __func__);
        return VELT::err_argument;
    }
    void* host = zo_rulo_malloc(memory.size, __func__, __FILE__, __LINE__);
    if (!host) {
        return VELT::err_nomemory;
    }
    if (copyFromUser) {
        if (memory.cpuPtr) {
            zo_rulo_memcopy(host, memory.size, memory.cpuPtr, memory.size);
        } else {
            // Nothing to copy from: a handle cannot be read from the host, and
            // without either there is no source at all.
            zo_log_common_debug(ZO_LOG_ERROR, kBufferTag,
                                memory.handle
                                    ? "%s: copy from handle to host only memory notimplemented"
                                    : "%s: no user memory to copy from",
                                __func__);
            zo_rulo_free(host, __func__);
            return VELT::err_general;
        }
        memory.flags &= ~ZO_RULO_MEMORY_COPY_FROM_USER;
    }
    memory.cpuPtr = host;
    memory.flags &= ~ZO_RULO_MEMORY_ALLOCATE_CPU_PTR;
    memory.flags |= ZO_RULO_MEMORY_ALLOCATED | ZO_RULO_MEMORY_CPU_PTR;
    buffer->destroy = _rulo_memory_common_destroy;
    return VELT::err_none;
}

int32_t _rulo_memory_common_get_memory(zo_rulo_buffer_t* buffer, zo_rulo_memory_t* memoryOut) {
    logBufferEntry(__func__);
    if (!buffer || !memoryOut) {
        return VELT::err_argument;
    }
    if (buffer->memory.flags & ZO_RULO_MEMORY_ALLOCATE_CPU_PTR) {
        if (buffer->memory.cpuPtr) {
            zo_log_common_debug(ZO_LOG_ERROR, kBufferTag,
                                "%s: ALLOCATE_CPU_PTR not handled but pointer exists!", __func__);
            return VELT::err_internal;
        }
        const int32_t status = zo_rulo_buffer_allocate(buffer);
        if (status != VELT::err_none) {
            return status;
        }
    }
    *memoryOut = buffer->memory;
    return VELT::err_none;
}

void _rulo_memory_common_destroy(zo_rulo_buffer_t* buffer) {
    logBufferEntry(__func__);
    if (!buffer) {
        return;
    }
    const uint32_t owned = ZO_RULO_MEMORY_ALLOCATED | ZO_RULO_MEMORY_CPU_PTR;
    if ((buffer->memory.flags & owned) == owned) {
        zo_rulo_free(buffer->memory.cpuPtr, __func__);
        buffer->memory.cpuPtr = nullptr;
        buffer->memory.flags &= ~owned;
    }
}

}  // extern "C"
