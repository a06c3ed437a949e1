// Raw memory dumps to files.

#include "zo_dump.h"

#include <cstdio>

#include "velt_status.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_settings.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo_memory.h"

namespace {

constexpr const char* kTag = zo_log::tag(zo_log::Module::ruloDump);
constexpr size_t kPathSize = 128;

// File-name part of a DVS terminal type, or nullptr for one that has none.
const char* dvsTerminalName(uint32_t type) {
    switch (type) {
        case 17:
            return "mv_l0";
        case 18:
            return "mv_l1";
        case 19:
            return "mv_l2";
        case 24:
            return "fe_l0";
        case 25:
            return "fe_l1";
        case 26:
            return "fe_l2";
        default:
            return nullptr;
    }
}

}  // namespace

extern "C" {

int32_t zo_dump_to_file(const char* path, const void* data, uint32_t size) {
    if (!data || size == 0 || !path) {
        return VELT::err_argument;
    }
    FILE* file = zo_rulo_fopen(path, "wb");
    if (!file) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "%s: failed to create file %s", __func__, path);
        return VELT::err_general;
    }
    if (zo_rulo_fwrite(data, size, 1, file) != 1) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "%s: error occurs during writing file %s", __func__,
                            path);
        zo_rulo_fclose(file);
        return VELT::err_general;
    }
    // Buffered data reaches the file only on close, so a full disk shows up here.
    if (zo_rulo_fclose(file) != 0) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "%s: error occurs during writing file %s", __func__,
                            path);
        return VELT::err_general;
    }
    zo_log_common_debug(ZO_LOG_INFO, kTag, "%s: successfully created dump file %s", __func__, path);
    return VELT::err_none;
}

int32_t zo_dump_dvs_terminal(uint32_t terminal, int32_t bufferId, const void* data, uint32_t size) {
    if (!data || size == 0) {
        return VELT::err_argument;
    }
    const uint32_t type = terminal & 0xFFu;
    const char* name = dvsTerminalName(type);
    if (!name) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "%s: Undefined dvs terminal %d", __func__,
                            static_cast<int>(type));
        return VELT::err_internal;
    }
    char directory[sizeof(g_zo_log_dump_path)];
    zo_log::copyDumpPath(directory);
    char path[kPathSize];
    zo_rulo_snprintf_s(path, sizeof(path), kPathSize, "%s/dvs_%s_bufid_%d.bin", directory, name,
                       bufferId);
    return zo_dump_to_file(path, data, size);
}

}  // extern "C"
