/*
 * Debug dumps: raw memory written to files for offline inspection.
 *
 * Whether a dump is wanted is the caller's decision (see g_zo_dump_enabled
 * and g_zo_burstisp_dump_enable in zo_log_common.h).
 */
#ifndef ZO_DUMP_H
#define ZO_DUMP_H

#include <stdint.h>

#include "velt_export.h"

ZO_EXTERN_C_BEGIN

/*
 * Writes size bytes of data to path, creating or truncating the file.
 * Returns 0, -32 for NULL data, a NULL path or a size of 0, and -2 when the
 * file cannot be created or written completely.
 */
ZO_EXPORT int32_t zo_dump_to_file(const char* path, const void* data, uint32_t size);

/*
 * Writes the buffer of a DVS output terminal to
 * "<dump directory>/dvs_<terminal name>_bufid_<bufferId>.bin". Only the low
 * 8 bits of terminal count: 17-19 are "mv_l0".."mv_l2", 24-26 "fe_l0".."fe_l2".
 * Returns zo_dump_to_file()'s status, -32 for NULL data or a size of 0, and
 * -16 for an unknown terminal.
 */
ZO_EXPORT int32_t zo_dump_dvs_terminal(uint32_t terminal, int32_t bufferId, const void* data,
                                       uint32_t size);

ZO_EXTERN_C_END

#endif /* ZO_DUMP_H */
