// Counted, labelled heap allocation with a failure-injection hook.

#include "zo_rulo_memory.h"

#include <cstdlib>

#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace {

constexpr const char* kTag = zo_log::tag(zo_log::Module::ruloAlloc);

}  // namespace

extern "C" {

int32_t g_alloc_counter = 0;
int32_t g_free_counter = 0;
int32_t g_alloc_error = -1;

void zo_rulo_inc_alloc_counter(void* /*pointer*/, const char* /*file*/, int /*line*/) {
    __atomic_add_fetch(&g_alloc_counter, 1, __ATOMIC_SEQ_CST);
}

void zo_rulo_inc_free_counter(void* /*pointer*/) {
    __atomic_add_fetch(&g_free_counter, 1, __ATOMIC_SEQ_CST);
}

int zo_rulo_check_alloc_error(size_t /*size*/) {
    return __atomic_load_n(&g_alloc_error, __ATOMIC_RELAXED) ==
                   __atomic_load_n(&g_alloc_counter, __ATOMIC_RELAXED)
               ? 1
               : 0;
}

void* zo_rulo_malloc(size_t size, const char* label, const char* file, int line) {
    if (zo_rulo_check_alloc_error(size)) {
        return nullptr;
    }
    void* result = malloc(size);
    zo_log_common_debug(ZO_LOG_ALLOC, kTag, "E:%s size %lu from %s res ptr: %p", __func__,
                        static_cast<unsigned long>(size), label, result);
    if (result) {
        zo_rulo_inc_alloc_counter(result, file, line);
    }
    return result;
}

void* zo_rulo_calloc(size_t count, size_t size, const char* label, const char* file, int line) {
    if (zo_rulo_check_alloc_error(size)) {
        return nullptr;
    }
    void* result = calloc(count, size);
    zo_log_common_debug(ZO_LOG_ALLOC, kTag, "E:%s nmemb %lu size %lu from %s res ptr: %p", __func__,
                        static_cast<unsigned long>(count), static_cast<unsigned long>(size), label,
                        result);
    if (result) {
        zo_rulo_inc_alloc_counter(result, file, line);
    }
    return result;
}

void* zo_rulo_alloc_aligned(size_t size, size_t alignment, const char* label, const char* file,
                            int line) {
    if (zo_rulo_check_alloc_error(size)) {
        return nullptr;
    }
    // posix_memalign refuses these too; checking first keeps the answer the same
    // under allocators that abort instead of reporting EINVAL.
    const bool validAlignment =
        alignment != 0 && (alignment & (alignment - 1)) == 0 && alignment % sizeof(void*) == 0;
    void* result = nullptr;
    if (!validAlignment || posix_memalign(&result, alignment, size) != 0) {
        return nullptr;
    }
    zo_log_common_debug(ZO_LOG_ALLOC, kTag, "E:%s size %ld with alignment %lu from %s res ptr: %p",
                        __func__, static_cast<long>(size), static_cast<unsigned long>(alignment),
                        label, result);
    zo_rulo_inc_alloc_counter(result, file, line);
    return result;
}

void zo_rulo_free(void* pointer, const char* label) {
    zo_log_common_debug(ZO_LOG_ALLOC, kTag, "E:%s ptr %p from %s", __func__, pointer, label);
    if (pointer) {
        zo_rulo_inc_free_counter(pointer);
    }
    free(pointer);
}

void* zo_rulo_create(void) {
    zo_log_common_debug(ZO_LOG_ENTRY, zo_log::tag(zo_log::Module::ruloAndroid), "E:%s", __func__);
    return zo_rulo_calloc(1, 8, __func__, __FILE__, __LINE__);
}

void zo_rulo_destroy(void* handle) {
    zo_rulo_free(handle, __func__);
}

}  // extern "C"
