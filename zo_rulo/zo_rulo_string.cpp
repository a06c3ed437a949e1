// Bounded copies and formatting.

#include <unistd.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo_memory.h"

namespace {

constexpr const char* kSmallerDestination =
    "%s: destination size is smaller than source size, potential coding error";

}  // namespace

extern "C" {

void* zo_rulo_memcopy(void* destination, size_t destinationSize, const void* source,
                      size_t sourceSize) {
    if (destinationSize < sourceSize) {
        zo_log_common_debug(ZO_LOG_WARNING, zo_log::tag(zo_log::Module::ruloAlloc),
                            kSmallerDestination, __func__);
    }
    const size_t count = std::min(destinationSize, sourceSize);
    if (count > 0) {
        memcpy(destination, source, count);
    }
    return destination;
}

int zo_rulo_snprintf_s(char* destination, size_t destinationSize, size_t maxLength,
                       const char* format, ...) {
    if (destinationSize < maxLength) {
        zo_log_common_debug(ZO_LOG_WARNING, zo_log::tag(zo_log::Module::ruloString),
                            kSmallerDestination, __func__);
    }
    va_list args;
    va_start(args, format);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const int result = vsnprintf(destination, std::min(destinationSize, maxLength), format, args);
#pragma GCC diagnostic pop
    va_end(args);
    return result;
}

size_t zo_rulo_strnlen(const char* text, size_t maxLength) {
    return strnlen(text, maxLength);
}

size_t zo_rulo_pagesize(void) {
    return static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

}  // extern "C"
