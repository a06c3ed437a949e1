// The library's message sink and the debug settings read from the environment.

#include "zo_log_common.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "zo_rulo/zo_build_id.h"
#include "zo_rulo_memory.h"
#include "zo_version.h"

namespace {

constexpr const char* kTag = "ZO_LOG[XOS]";
constexpr size_t kMessageSize = 1024;

// A host-installed receiver; nothing is kept or written without one.
zo_log_sink_fn g_sink = nullptr;
void* g_sinkContext = nullptr;

}  // namespace

extern "C" {

uint32_t g_zo_log_common_level = 0x30;
int32_t g_zo_dump_enabled = 0;
int32_t g_zo_burstisp_dump_enable = 0;
char g_zo_log_dump_path[256] = ".";
uint32_t g_zo_trace_level = 0;

void zo_log_common_set_sink(zo_log_sink_fn sink, void* context) {
    g_sink = sink;
    g_sinkContext = sink ? context : nullptr;
}

void zo_log_common_debug(uint32_t level, const char* tag, const char* format, ...) {
    va_list args;
    va_start(args, format);
    zo_log_common_vdebug(level, tag, format, args);
    va_end(args);
}

void zo_log_common_vdebug(uint32_t level, const char* tag, const char* format, va_list args) {
    zo_log_sink_fn sink = g_sink;
    if (!sink || !format) {
        return;
    }
    char message[kMessageSize];
    if (vsnprintf(message, sizeof(message), format, args) < 0) {
        message[0] = '\0';
    }
    sink(level, tag ? tag : "", message, g_sinkContext);
}

int32_t zo_log_get_config_int32(const char* name) {
    const char* value = name ? getenv(name) : nullptr;
    if (!value) {
        return 0;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(strtoul(value, nullptr, 0)));
}

void zo_log_common_init(void) {
    g_zo_log_common_level |= static_cast<uint32_t>(zo_log_get_config_int32("camera_vesk_debug"));
    g_zo_dump_enabled = zo_log_get_config_int32("stats_dump");
    g_zo_burstisp_dump_enable = zo_log_get_config_int32("Enable_BurstIsp_Dump");
    zo_log_common_debug(ZO_LOG_INFO, kTag, "Libzovesk version: %s\n", zo_vesk_get_version_string());
}

void zo_log_set_debug_level(void) {
    zo_log_common_debug(ZO_LOG_INFO, kTag, "Debug level is 0x%x", g_zo_log_common_level);
    const char* path = getenv("camera_vesk_debug_dump_path");
    if (path) {
        zo_log_common_debug(ZO_LOG_INFO, kTag, "Debug dump path set to %s", path);
        memset(g_zo_log_dump_path, 0, sizeof(g_zo_log_dump_path));
        zo_rulo_snprintf_s(g_zo_log_dump_path, sizeof(g_zo_log_dump_path),
                           sizeof(g_zo_log_dump_path), "%s", path);
    }
    g_zo_trace_level = static_cast<uint32_t>(zo_log_get_config_int32("camera_vesk_trace"));
    zo_log_common_debug(ZO_LOG_INFO, kTag, "zo trace level is 0x%x", g_zo_trace_level);
}

uint32_t zo_vesk_debug_level(void) {
    zo_log_set_debug_level();
    zo_log_common_init();
    return g_zo_log_common_level;
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
