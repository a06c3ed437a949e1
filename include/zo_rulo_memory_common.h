/*
 * Memory buffer objects.
 *
 * A buffer describes a block of memory in host memory, behind a device
 * handle, or both. It can wrap memory the caller already has, allocate host
 * memory on demand, be cut into regions (windows at an offset into a parent
 * buffer) and be handed to a device driver that takes over allocation and
 * memory access through callbacks. The flag word says what is valid and what
 * has been done; it is validated after every step.
 *
 * Callers fill and read zo_rulo_memory_t and zo_rulo_memory_device_t
 * directly; both layouts are fixed. Memory provided by the caller is never
 * freed by a buffer.
 */
#ifndef ZO_RULO_MEMORY_COMMON_H
#define ZO_RULO_MEMORY_COMMON_H

#include <stdbool.h>
#include <stdint.h>

#include "velt_export.h"
#include "zo_list.h"
#include "zo_record_layout.h"

ZO_EXTERN_C_BEGIN

/* Flag bits of zo_rulo_memory_t.flags. */
#define ZO_RULO_MEMORY_CPU_PTR 0x1u          /* cpuPtr is valid */
#define ZO_RULO_MEMORY_HANDLE 0x2u           /* handle is valid */
#define ZO_RULO_MEMORY_ALLOCATE_CPU_PTR 0x4u /* allocate host memory on first access */
#define ZO_RULO_MEMORY_COPY_FROM_USER 0x8u   /* copy the caller's memory into new host memory */
#define ZO_RULO_MEMORY_HW_ONLY 0x10u         /* only the device accesses the memory */
#define ZO_RULO_MEMORY_CPU_ONLY 0x400u       /* only the host accesses the memory */
#define ZO_RULO_MEMORY_ALLOCATED 0x2000u     /* allocated by the buffer, which owns it */
#define ZO_RULO_MEMORY_USER_PROVIDED 0x4000u /* provided by the caller */
/* Bits from 0x10000 up: memory that a device driver must provide. */
#define ZO_RULO_MEMORY_DEVICE_FLAGS 0xFFFF0000u

struct zo_rulo_buffer;

/* The memory a buffer or region describes; also the first 40 bytes of every buffer. */
typedef struct zo_rulo_memory {
    uint32_t size;                 /* size in bytes */
    void* cpuPtr;                  /* host address, or NULL */
    uint64_t handle;               /* device handle, or 0 */
    uint32_t flags;                /* ZO_RULO_MEMORY_* bits */
    struct zo_rulo_buffer* anchor; /* the buffer this memory belongs to */
} zo_rulo_memory_t;

/* Device callbacks: each takes the buffer and returns a status (0 success). */
typedef int32_t (*zo_rulo_buffer_allocate_fn)(struct zo_rulo_buffer* buffer);
typedef int32_t (*zo_rulo_buffer_migrate_fn)(struct zo_rulo_buffer* buffer);
/* Fills memory with a record describing the buffer's accessible memory. */
typedef int32_t (*zo_rulo_buffer_get_memory_fn)(struct zo_rulo_buffer* buffer,
                                                zo_rulo_memory_t* memory);
typedef void (*zo_rulo_buffer_destroy_fn)(struct zo_rulo_buffer* buffer);

/*
 * A buffer object. memory.anchor is the buffer itself for a buffer, the parent
 * for a region and NULL for a region whose parent was destroyed first.
 */
typedef struct zo_rulo_buffer {
    zo_rulo_memory_t memory;
    uint8_t deviceId; /* 0 = none; set by device drivers, not by this library */
    uint8_t unused[15];
    zo_rulo_buffer_allocate_fn allocate;
    zo_rulo_buffer_migrate_fn migrate;
    zo_rulo_buffer_get_memory_fn getMemory;
    zo_rulo_buffer_destroy_fn destroy;
    void* deviceContext; /* the device driver's context */
    uint32_t offset;     /* for a region: offset into the parent */
    zo_list* regions;    /* the regions cut from this buffer */
} zo_rulo_buffer_t;

/* What a device driver hands over; NULL callbacks keep the buffer's own. */
typedef struct zo_rulo_memory_device {
    zo_rulo_buffer_allocate_fn allocate;
    zo_rulo_buffer_migrate_fn migrate;
    zo_rulo_buffer_get_memory_fn getMemory;
    zo_rulo_buffer_destroy_fn destroy;
    void* deviceContext;
} zo_rulo_memory_device_t;

/*
 * A new buffer of size bytes with the requested flags, wrapping userMemory
 * when given (a host pointer or a device handle, never both); NULL when size
 * is 0, the user memory is unusable or the flags are inconsistent.
 * Release with zo_rulo_buffer_destroy().
 */
ZO_EXPORT zo_rulo_buffer_t* zo_rulo_buffer_create(uint32_t size, uint32_t flags,
                                                  const zo_rulo_memory_t* userMemory);
/* Releases a buffer or region; a buffer's own allocation is freed, user memory is not. */
ZO_EXPORT void zo_rulo_buffer_destroy(zo_rulo_buffer_t* buffer);
/* Runs the buffer's allocate callback and validates the result; a status. */
ZO_EXPORT int32_t zo_rulo_buffer_allocate(zo_rulo_buffer_t* buffer);
/*
 * Fills memoryOut with the accessible memory of a buffer or region,
 * allocating first when allocation on first access was requested; a status.
 */
ZO_EXPORT int32_t zo_rulo_buffer_get_memory(zo_rulo_buffer_t* buffer, zo_rulo_memory_t* memoryOut);
/* A new region of size bytes at offset into parent, or NULL; regions do not nest. */
ZO_EXPORT zo_rulo_buffer_t* zo_rulo_buffer_create_region(zo_rulo_buffer_t* parent, uint32_t offset,
                                                         uint32_t size);
/* True for a region (anchor is not the buffer itself); false for NULL. */
ZO_EXPORT bool zo_rulo_buffer_is_region(const zo_rulo_buffer_t* buffer);
/* The parent of a region (NULL once the parent is gone); NULL and an error for a buffer. */
ZO_EXPORT zo_rulo_buffer_t* zo_rulo_buffer_get_parent(const zo_rulo_buffer_t* region);
/* The buffer's device id, 0 for NULL. */
ZO_EXPORT uint8_t zo_rulo_buffer_get_device_id(const zo_rulo_buffer_t* buffer);
/*
 * Hands a buffer (not a region) to a device driver: copies the device's
 * non-NULL callbacks and its context, then returns the migrate callback's
 * status, or -32 when there is none.
 */
ZO_EXPORT int32_t zo_rulo_memory_device_migrate_buffer(const zo_rulo_memory_device_t* device,
                                                       zo_rulo_buffer_t* buffer);

/* Default allocate callback: host memory of the buffer's size, copying user memory if asked. */
ZO_EXPORT int32_t _rulo_memory_common_allocate(zo_rulo_buffer_t* buffer);
/* Default getMemory callback: allocates when pending, then copies the buffer's record. */
ZO_EXPORT int32_t _rulo_memory_common_get_memory(zo_rulo_buffer_t* buffer,
                                                 zo_rulo_memory_t* memoryOut);
/* Default destroy callback: frees host memory that the buffer allocated itself. */
ZO_EXPORT void _rulo_memory_common_destroy(zo_rulo_buffer_t* buffer);

ZO_EXTERN_C_END

ZO_CHECK_SIZE(zo_rulo_memory_t, 40);
ZO_CHECK_OFFSET(zo_rulo_memory_t, size, 0);
ZO_CHECK_OFFSET(zo_rulo_memory_t, cpuPtr, 8);
ZO_CHECK_OFFSET(zo_rulo_memory_t, handle, 16);
ZO_CHECK_OFFSET(zo_rulo_memory_t, flags, 24);
ZO_CHECK_OFFSET(zo_rulo_memory_t, anchor, 32);

ZO_CHECK_SIZE(zo_rulo_buffer_t, 112);
ZO_CHECK_OFFSET(zo_rulo_buffer_t, memory, 0);
ZO_CHECK_OFFSET(zo_rulo_buffer_t, deviceId, 40);
ZO_CHECK_OFFSET(zo_rulo_buffer_t, unused, 41);
ZO_CHECK_OFFSET(zo_rulo_buffer_t, allocate, 56);
ZO_CHECK_OFFSET(zo_rulo_buffer_t, migrate, 64);
ZO_CHECK_OFFSET(zo_rulo_buffer_t, getMemory, 72);
ZO_CHECK_OFFSET(zo_rulo_buffer_t, destroy, 80);
ZO_CHECK_OFFSET(zo_rulo_buffer_t, deviceContext, 88);
ZO_CHECK_OFFSET(zo_rulo_buffer_t, offset, 96);
ZO_CHECK_OFFSET(zo_rulo_buffer_t, regions, 104);

ZO_CHECK_SIZE(zo_rulo_memory_device_t, 40);
ZO_CHECK_OFFSET(zo_rulo_memory_device_t, allocate, 0);
ZO_CHECK_OFFSET(zo_rulo_memory_device_t, migrate, 8);
ZO_CHECK_OFFSET(zo_rulo_memory_device_t, getMemory, 16);
ZO_CHECK_OFFSET(zo_rulo_memory_device_t, destroy, 24);
ZO_CHECK_OFFSET(zo_rulo_memory_device_t, deviceContext, 32);

#endif /* ZO_RULO_MEMORY_COMMON_H */
