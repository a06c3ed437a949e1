/*
 * Logging, tracing and debug configuration.
 *
 * Every diagnostic of the library goes through zo_log_common_debug() with a
 * level bit and a module tag. The library's own sink discards messages unless
 * a host installs one with zo_log_common_set_sink(). While nobody listens to
 * a level, its messages are not formatted and dumps are not built.
 *
 * Threads: any thread may log, trace or install a sink at any time; the
 * settings functions may run while other threads log. A host that writes the
 * g_ globals itself does so before other threads use the library (a plain
 * store of g_zo_log_common_level while others log is tolerated: it is read
 * as one word).
 */
#ifndef ZO_LOG_COMMON_H
#define ZO_LOG_COMMON_H

#include <stdarg.h>
#include <stdint.h>

#include "velt_export.h"

ZO_EXTERN_C_BEGIN

/* Log level bits: the first argument of every log call. */
#define ZO_LOG_INFO 1u
#define ZO_LOG_DEBUG 2u
#define ZO_LOG_ALLOC 4u
#define ZO_LOG_ENTRY 8u
#define ZO_LOG_ERROR 16u
#define ZO_LOG_WARNING 32u

/* Debug level bit mask; 0x30 (error and warning) unless "camera_vesk_debug" adds bits. */
ZO_EXPORT extern uint32_t g_zo_log_common_level;
/* Statistics dump switch for host libraries, from "stats_dump". */
ZO_EXPORT extern int32_t g_zo_dump_enabled;
/* Burst-ISP dump switch for host libraries, from "Enable_BurstIsp_Dump". */
ZO_EXPORT extern int32_t g_zo_burstisp_dump_enable;
/* Directory that debug dumps go to, from "camera_vesk_debug_dump_path"; "." by default. */
ZO_EXPORT extern char g_zo_log_dump_path[256];
/* Trace switch from "camera_vesk_trace": 0 turns every trace marker off. */
ZO_EXPORT extern uint32_t g_zo_trace_level;
/* Mask of trace tags that are written; bit 63 until the marker file opens, then 1. */
ZO_EXPORT extern uint64_t zo_trace_enabled_tags;
/* 1 once the trace marker file is open. */
ZO_EXPORT extern int32_t zo_trace_is_ready;
/* Descriptor of the trace marker file, -1 while it is not open. */
ZO_EXPORT extern int32_t zo_trace_marker_fd;

/* A small named log context; name points at the record's own text. */
typedef struct zo_log_context {
    const char* name;
    char text[8];
} zo_log_context;

/*
 * Receives the library's messages: the level bit, the module tag and the
 * fully formatted text. It is called on the thread that logs, possibly on
 * several threads at once, and must not install a sink itself.
 */
typedef void (*zo_log_sink_fn)(uint32_t level, const char* tag, const char* message, void* context);

/* Levels for zo_log_common_set_sink_levels(): every level. */
#define ZO_LOG_ALL_LEVELS 0xffffffffu
/* Levels for zo_log_common_set_sink_levels(): those in g_zo_log_common_level at each message. */
#define ZO_LOG_LEVELS_FROM_SETTINGS 0u

/*
 * Installs a sink that receives every message (ZO_LOG_ALL_LEVELS); NULL
 * restores discarding (the default). Once it returns, the sink it replaced is
 * no longer called, on any thread.
 */
ZO_EXPORT void zo_log_common_set_sink(zo_log_sink_fn sink, void* context);
/*
 * Installs a sink that receives only messages whose level bit is in levels,
 * or, for ZO_LOG_LEVELS_FROM_SETTINGS, in g_zo_log_common_level. Messages of
 * other levels are neither formatted nor built. NULL restores discarding.
 */
ZO_EXPORT void zo_log_common_set_sink_levels(zo_log_sink_fn sink, void* context, uint32_t levels);
/*
 * 1 when an installed sink receives messages of this level, else 0: a caller
 * can skip building the arguments of a message nobody receives. Cheap: one
 * atomic read, no lock.
 */
ZO_EXPORT int zo_log_common_wants(uint32_t level);

/* Reports one message with a level bit, a module tag and a printf-style format. */
ZO_EXPORT void zo_log_common_debug(uint32_t level, const char* tag, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
/* The va_list form of zo_log_common_debug(). */
ZO_EXPORT void zo_log_common_vdebug(uint32_t level, const char* tag, const char* format,
                                    va_list args) __attribute__((format(printf, 3, 0)));

/* ORs "camera_vesk_debug" into the level, reads the dump switches, logs the version. */
ZO_EXPORT void zo_log_common_init(void);
/* Logs the level, reads the dump path and the trace level from the environment. */
ZO_EXPORT void zo_log_set_debug_level(void);
/* Re-reads every setting and returns the debug level mask. */
ZO_EXPORT uint32_t zo_vesk_debug_level(void);
/* The dump directory, g_zo_log_dump_path. */
ZO_EXPORT char* zo_vesk_debug_dump_path(void);
/* An environment variable as a number (0x hex, leading 0 octal, else decimal); 0 if unset. */
ZO_EXPORT int32_t zo_log_get_config_int32(const char* name);
/*
 * The library's build identifier: 40 lower-case hexadecimal digits, the commit
 * the library was built from when the build knew it, else a fixed value.
 * Static storage; never NULL.
 */
ZO_EXPORT const char* zo_vesk_get_version_string(void);
/*
 * The version of the loaded library, "MAJOR.MINOR.PATCH" (the headers' own is
 * ZOVESK_VERSION_STRING in zo_version.h). Static storage; never NULL.
 */
ZO_EXPORT const char* zo_vesk_get_version(void);

/* Writes one syslog record "[tid]:tag:" followed by the formatted message. */
ZO_EXPORT void zo_vesk_vdebug(uint32_t level, const char* tag, const char* format, va_list args)
    __attribute__((format(printf, 3, 0)));
/* The variable-argument form of zo_vesk_vdebug(). */
ZO_EXPORT void zo_vesk_debug(uint32_t level, const char* tag, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
/* Opens the syslog connection as "libzovesk" and reads the debug settings. */
ZO_EXPORT void start_logging(void);
/* Closes the syslog connection. */
ZO_EXPORT void end_logging(void);

/* Writes a begin marker "B|pid|name" for the tag bits, when tracing is on. */
ZO_EXPORT void zo_vesk_trace_begin(uint64_t tag, const char* name);
/* Writes an end marker "E" for the tag bits, when tracing is on. */
ZO_EXPORT void zo_vesk_trace_end(uint64_t tag);
/* Opens the trace marker file, once per process; returns the once facility's result. */
ZO_EXPORT int zo_trace_setup(void);

/* A new log context named from the id, or NULL when the allocation fails. */
ZO_EXPORT zo_log_context* zo_log_create_context(uint64_t id);
/* Frees a log context. */
ZO_EXPORT void zo_log_destroy_context(zo_log_context* context);
/* Names a context from the lowest eight decimal digits of the id, e.g. 12345678 -> "MIEA". */
ZO_EXPORT void _prettify(zo_log_context* context, uint64_t id);

ZO_EXTERN_C_END

#endif /* ZO_LOG_COMMON_H */
