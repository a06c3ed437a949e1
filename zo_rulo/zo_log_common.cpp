// The library's message sink and the debug settings read from the environment.

#include "zo_log_common.h"

#include <pthread.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "zo_rulo/zo_build_id.h"
#include "zo_rulo/zo_log_settings.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo/zo_log_wanted.h"
#include "zo_rulo_memory.h"
#include "zo_version.h"

namespace zo_log {

std::atomic<uint64_t> gListening{0};

}  // namespace zo_log

namespace {

constexpr const char* kTag = zo_log::tag(zo_log::Module::zoLog);
constexpr size_t kMessageSize = 1024;

// A host-installed receiver; nothing is kept or written without one. Held
// shared while a message is handed over and exclusively while a sink is
// installed, so a sink that has been replaced is never called again. Read
// locks may nest (a sink that logs), which glibc's default rwlock allows.
pthread_rwlock_t g_sinkLock = PTHREAD_RWLOCK_INITIALIZER;
zo_log_sink_fn g_sink = nullptr;
void* g_sinkContext = nullptr;

// Serialises the writers of the settings globals.
std::mutex g_settingsLock;

}  // namespace

namespace zo_log {

void copyDumpPath(char (&path)[256]) {
    std::lock_guard<std::mutex> lock(g_settingsLock);
    memcpy(path, g_zo_log_dump_path, sizeof(path));
    path[sizeof(path) - 1] = '\0';
}

}  // namespace zo_log

extern "C" {

uint32_t g_zo_log_common_level = 0x30;
int32_t g_zo_dump_enabled = 0;
int32_t g_zo_burstisp_dump_enable = 0;
char g_zo_log_dump_path[256] = ".";
uint32_t g_zo_trace_level = 0;

void zo_log_common_set_sink_levels(zo_log_sink_fn sink, void* context, uint32_t levels) {
    pthread_rwlock_wrlock(&g_sinkLock);
    g_sink = sink;
    g_sinkContext = sink ? context : nullptr;
    uint64_t listening = 0;
    if (sink != nullptr) {
        listening = levels == ZO_LOG_LEVELS_FROM_SETTINGS ? zo_log::kFollowsSettings : levels;
    }
    zo_log::gListening.store(listening, std::memory_order_relaxed);
    pthread_rwlock_unlock(&g_sinkLock);
}

void zo_log_common_set_sink(zo_log_sink_fn sink, void* context) {
    zo_log_common_set_sink_levels(sink, context, ZO_LOG_ALL_LEVELS);
}

int zo_log_common_wants(uint32_t level) {
    return zo_log::wanted(level) ? 1 : 0;
}

void zo_log_common_debug(uint32_t level, const char* tag, const char* format, ...) {
    if (!zo_log::wanted(level)) {
        return;
    }
    va_list args;
    va_start(args, format);
    zo_log_common_vdebug(level, tag, format, args);
    va_end(args);
}

void zo_log_common_vdebug(uint32_t level, const char* tag, const char* format, va_list args) {
    if (!format || !zo_log::wanted(level)) {
        return;
    }
    char message[kMessageSize];
    if (vsnprintf(message, sizeof(message), format, args) < 0) {
        message[0] = '\0';
    }
    pthread_rwlock_rdlock(&g_sinkLock);
    // The sink may have gone or changed its levels since the look above.
    if (g_sink != nullptr && zo_log::wanted(level)) {
        g_sink(level, tag ? tag : "", message, g_sinkContext);
    }
    pthread_rwlock_unlock(&g_sinkLock);
}

int32_t zo_log_get_config_int32(const char* name) {
    const char* value = name ? getenv(name) : nullptr;
    if (!value) {
        return 0;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(strtoul(value, nullptr, 0)));
}

void zo_log_common_init(void) {
    {
        std::lock_guard<std::mutex> lock(g_settingsLock);
        __atomic_fetch_or(&g_zo_log_common_level,
                          static_cast<uint32_t>(zo_log_get_config_int32("camera_vesk_debug")),
                          __ATOMIC_RELAXED);
        __atomic_store_n(&g_zo_dump_enabled, zo_log_get_config_int32("stats_dump"),
                         __ATOMIC_RELAXED);
        __atomic_store_n(&g_zo_burstisp_dump_enable,
                         zo_log_get_config_int32("Enable_BurstIsp_Dump"), __ATOMIC_RELAXED);
    }
    zo_log_common_debug(ZO_LOG_INFO, kTag, "Libzovesk version: %s\n", zo_vesk_get_version_string());
}

void zo_log_set_debug_level(void) {
    zo_log_common_debug(ZO_LOG_INFO, kTag, "Debug level is 0x%x",
                        __atomic_load_n(&g_zo_log_common_level, __ATOMIC_RELAXED));
    const char* path = getenv("camera_vesk_debug_dump_path");
    if (path) {
        zo_log_common_debug(ZO_LOG_INFO, kTag, "Debug dump path set to %s", path);
        std::lock_guard<std::mutex> lock(g_settingsLock);
        memset(g_zo_log_dump_path, 0, sizeof(g_zo_log_dump_path));
        zo_rulo_snprintf_s(g_zo_log_dump_path, sizeof(g_zo_log_dump_path),
                           sizeof(g_zo_log_dump_path), "%s", path);
    }
    const auto traceLevel = static_cast<uint32_t>(zo_log_get_config_int32("camera_vesk_trace"));
    __atomic_store_n(&g_zo_trace_level, traceLevel, __ATOMIC_RELAXED);
    zo_log_common_debug(ZO_LOG_INFO, kTag, "zo trace level is 0x%x", traceLevel);
}

uint32_t zo_vesk_debug_level(void) {
    zo_log_set_debug_level();
    zo_log_common_init();
    return __atomic_load_n(&g_zo_log_common_level, __ATOMIC_RELAXED);
}

char* zo_vesk_debug_dump_path(void) {
    return g_zo_log_dump_path;
}

const char* zo_vesk_get_version_string(void) {
    return zo_rulo::kBuildId;
}

const char* zo_vesk_get_version(void) {
    return ZOVESK_VERSION_STRING;
}

}  // extern "C"
