// The syslog writer: one record per call, prefixed with the caller's thread id and tag.

#include <sys/syscall.h>
#include <syslog.h>
#include <unistd.h>

#include "zo_log_common.h"
#include "zo_rulo_memory.h"

extern "C" {

void zo_vesk_vdebug(uint32_t level, const char* tag, const char* format, va_list args) {
    char prefixed[1024];
    const long threadId = static_cast<long>(syscall(SYS_gettid));
    zo_rulo_snprintf_s(prefixed, sizeof(prefixed), sizeof(prefixed), "[%ld]:%s:%s", threadId,
                       tag ? tag : "", format ? format : "");
    int priority = LOG_DEBUG;
    if (level == ZO_LOG_ERROR) {
        priority = LOG_ERR;
    } else if (level == ZO_LOG_WARNING) {
        priority = LOG_WARNING;
    }
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    // The caller's conversions travel behind the prefix; syslog fills them in.
    vsyslog(priority, prefixed, args);
#pragma GCC diagnostic pop
}

void zo_vesk_debug(uint32_t level, const char* tag, const char* format, ...) {
    va_list args;
    va_start(args, format);
    zo_vesk_vdebug(level, tag, format, args);
    va_end(args);
}

void start_logging(void) {
    openlog("libzovesk", LOG_PID | LOG_CONS | LOG_NDELAY, LOG_USER);
    zo_log_set_debug_level();
}

void end_logging(void) {
    closelog();
}

}  // extern "C"
