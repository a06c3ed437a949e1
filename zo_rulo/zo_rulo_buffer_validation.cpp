// The rules that keep a flag word consistent after every buffer operation.

#include "zo_rulo/zo_rulo_buffer_validation.h"

#include "velt_status.h"
#include "zo_log_common.h"

namespace zo_rulo {

void logBufferEntry(const char* function) {
    zo_log_common_debug(ZO_LOG_ENTRY, kBufferTag, "E:%s", function);
}

int32_t validateMemoryFlags(const zo_rulo_memory_t& memory, const char* caller) {
    const uint32_t flags = memory.flags;
    bool valid = true;

    const bool hasCpuPtr = (flags & ZO_RULO_MEMORY_CPU_PTR) != 0;
    if (hasCpuPtr != (memory.cpuPtr != nullptr)) {
        zo_log_common_debug(ZO_LOG_ERROR, kBufferTag, "%s: ZO_RULO_MEMORY_CPU_PTR (%s) ptr = %p",
                            caller, hasCpuPtr ? "set" : "not set", memory.cpuPtr);
        valid = false;
    }
    const bool hasHandle = (flags & ZO_RULO_MEMORY_HANDLE) != 0;
    if (hasHandle != (memory.handle != 0)) {
        zo_log_common_debug(
            ZO_LOG_ERROR, kBufferTag, "%s: ZO_RULO_MEMORY_HANDLE (%s) handle = %llu", caller,
            hasHandle ? "set" : "not set", static_cast<unsigned long long>(memory.handle));
        valid = false;
    }
    if ((flags & ZO_RULO_MEMORY_CPU_ONLY) && (flags & ZO_RULO_MEMORY_HW_ONLY)) {
        zo_log_common_debug(ZO_LOG_ERROR, kBufferTag,
                            "%s: Both ZO_RULO_MEMORY_CPU_ONLY and ZO_RULO_MEMORY_HW_ONLY are set "
                            "at same time, which is the invalid case.",
                            caller);
        valid = false;
    }

    const bool accessorSet = (flags & (ZO_RULO_MEMORY_CPU_PTR | ZO_RULO_MEMORY_HANDLE)) != 0;
    const bool memoryExists =
        (flags & (ZO_RULO_MEMORY_ALLOCATED | ZO_RULO_MEMORY_USER_PROVIDED)) != 0;
    if (!memoryExists) {
        if (accessorSet) {
            zo_log_common_debug(ZO_LOG_ERROR, kBufferTag,
                                "%s: memory accessor set before allocation", caller);
            valid = false;
        }
    } else {
        if (flags & ZO_RULO_MEMORY_ALLOCATE_CPU_PTR) {
            zo_log_common_debug(ZO_LOG_ERROR, kBufferTag,
                                "%s: ZO_RULO_MEMORY_ALLOCATE_CPU_PTR needs to be unset to "
                                "acknowledge allocation done!",
                                caller);
            valid = false;
        }
        if (flags & ZO_RULO_MEMORY_COPY_FROM_USER) {
            zo_log_common_debug(ZO_LOG_ERROR, kBufferTag,
                                "%s: ZO_RULO_MEMORY_COPY_FROM_USER needs to be unset to "
                                "acknowledge copy done!",
                                caller);
            valid = false;
        }
        if (!accessorSet && !(flags & ZO_RULO_MEMORY_HW_ONLY)) {
            zo_log_common_debug(ZO_LOG_ERROR, kBufferTag,
                                "%s: missing memory accessor or HW_ONLY flag for allocated memory",
                                caller);
            valid = false;
        }
    }
    return valid ? VELT::err_none : VELT::err_general;
}

}  // namespace zo_rulo
