/*
 * Memory, string and file wrappers.
 *
 * Every allocation carries a label and the caller's source position, is
 * counted, traced at log level 4 and can be made to fail on purpose: setting
 * g_alloc_error to N lets exactly N allocations (counted by g_alloc_counter)
 * succeed.
 */
#ifndef ZO_RULO_MEMORY_H
#define ZO_RULO_MEMORY_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include "velt_export.h"

ZO_EXTERN_C_BEGIN

/* Successful allocations made through this layer. */
ZO_EXPORT extern int32_t g_alloc_counter;
/* Non-null pointers released through this layer. */
ZO_EXPORT extern int32_t g_free_counter;
/* Failure threshold: allocations fail once g_alloc_counter equals it; -1 never. */
ZO_EXPORT extern int32_t g_alloc_error;

/* Allocates size bytes; NULL on failure or when the failure hook fires. */
ZO_EXPORT void* zo_rulo_malloc(size_t size, const char* label, const char* file, int line);
/* Allocates count zero-filled items of size bytes. */
ZO_EXPORT void* zo_rulo_calloc(size_t count, size_t size, const char* label, const char* file,
                               int line);
/* Allocates size bytes aligned to alignment (a power of two times sizeof(void*)). */
ZO_EXPORT void* zo_rulo_alloc_aligned(size_t size, size_t alignment, const char* label,
                                      const char* file, int line);
/* Releases a block of this layer; NULL is accepted and not counted. */
ZO_EXPORT void zo_rulo_free(void* pointer, const char* label);

/* Copies min(destinationSize, sourceSize) bytes, warning when the destination is smaller. */
ZO_EXPORT void* zo_rulo_memcopy(void* destination, size_t destinationSize, const void* source,
                                size_t sourceSize);
/* Bounded formatting into min(destinationSize, maxLength) bytes; returns the full length. */
ZO_EXPORT int zo_rulo_snprintf_s(char* destination, size_t destinationSize, size_t maxLength,
                                 const char* format, ...) __attribute__((format(printf, 4, 5)));
/* Length of text, at most maxLength. */
ZO_EXPORT size_t zo_rulo_strnlen(const char* text, size_t maxLength);
/* The system's page size in bytes. */
ZO_EXPORT size_t zo_rulo_pagesize(void);

/* Counts one allocation (atomically). */
ZO_EXPORT void zo_rulo_inc_alloc_counter(void* pointer, const char* file, int line);
/* Counts one release (atomically). */
ZO_EXPORT void zo_rulo_inc_free_counter(void* pointer);
/* 1 when the next allocation must fail (g_alloc_error == g_alloc_counter), else 0. */
ZO_EXPORT int zo_rulo_check_alloc_error(size_t size);

/* A new zero-filled 8-byte platform handle, or NULL. */
ZO_EXPORT void* zo_rulo_create(void);
/* Releases a platform handle. */
ZO_EXPORT void zo_rulo_destroy(void* handle);

/* stdio pass-throughs, so the layer can be ported. */
ZO_EXPORT FILE* zo_rulo_fopen(const char* path, const char* mode);
ZO_EXPORT int zo_rulo_fclose(FILE* file);
ZO_EXPORT size_t zo_rulo_fread(void* buffer, size_t size, size_t count, FILE* file);
ZO_EXPORT size_t zo_rulo_fwrite(const void* data, size_t size, size_t count, FILE* file);
ZO_EXPORT int zo_rulo_fseek(FILE* file, long offset, int whence);
ZO_EXPORT long zo_rulo_ftell(FILE* file);
ZO_EXPORT int zo_rulo_ferror(FILE* file);
ZO_EXPORT void zo_rulo_clearerr(FILE* file);

/* Allocation helpers that fill in the caller's label and source position. */
#define ZO_MALLOC(size, label) zo_rulo_malloc((size), (label), __FILE__, __LINE__)
#define ZO_CALLOC(count, size, label) zo_rulo_calloc((count), (size), (label), __FILE__, __LINE__)
#define ZO_FREE(pointer, label) zo_rulo_free((pointer), (label))

ZO_EXTERN_C_END

#endif /* ZO_RULO_MEMORY_H */
