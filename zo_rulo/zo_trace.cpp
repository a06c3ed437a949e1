// Begin/end markers in the kernel's function-trace marker file.

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <cstdio>

#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace {

constexpr const char* kTag = zo_log::tag(zo_log::Module::zoLog);
constexpr const char* kMarkerPath = "/sys/kernel/debug/tracing/trace_marker";
pthread_once_t g_traceOnce = PTHREAD_ONCE_INIT;

// Runs once. The ready flag is set last, with release order, so a thread
// that sees it set without entering the once facility also sees the
// descriptor and the mask.
void openMarkerFile() {
    const int fd = open(kMarkerPath, O_WRONLY);
    __atomic_store_n(&zo_trace_marker_fd, fd, __ATOMIC_RELAXED);
    if (fd >= 0) {
        __atomic_store_n(&zo_trace_enabled_tags, 1, __ATOMIC_RELAXED);
        __atomic_store_n(&zo_trace_is_ready, 1, __ATOMIC_RELEASE);
    }
}

// Tracing is off, or the tag is not enabled: nothing to write.
bool markerWanted(uint64_t tag) {
    if (__atomic_load_n(&g_zo_trace_level, __ATOMIC_RELAXED) == 0) {
        return false;
    }
    if (__atomic_load_n(&zo_trace_is_ready, __ATOMIC_ACQUIRE) == 0) {
        zo_trace_setup();
    }
    return (tag & __atomic_load_n(&zo_trace_enabled_tags, __ATOMIC_RELAXED)) != 0;
}

int markerFd() {
    return __atomic_load_n(&zo_trace_marker_fd, __ATOMIC_RELAXED);
}

}  // namespace

extern "C" {

uint64_t zo_trace_enabled_tags = 0x8000000000000000ull;
int32_t zo_trace_is_ready = 0;
int32_t zo_trace_marker_fd = -1;

int zo_trace_setup(void) {
    return pthread_once(&g_traceOnce, openMarkerFile);
}

void zo_vesk_trace_begin(uint64_t tag, const char* name) {
    if (!markerWanted(tag)) {
        return;
    }
    char marker[1024];
    int length =
        snprintf(marker, sizeof(marker), "B|%d|%s", static_cast<int>(getpid()), name ? name : "");
    if (length < 0) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "snprintf error!");
        return;
    }
    // An over-long span name is cut to what the buffer holds.
    if (static_cast<size_t>(length) >= sizeof(marker)) {
        length = sizeof(marker) - 1;
    }
    if (write(markerFd(), marker, static_cast<size_t>(length)) != length) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "write error!");
    }
}

void zo_vesk_trace_end(uint64_t tag) {
    if (!markerWanted(tag)) {
        return;
    }
    if (write(markerFd(), "E", 1) != 1) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "write error!");
    }
}

}  // extern "C"
