/*
 * A minimal singly linked list of untyped pointers.
 *
 * A list is a pointer to its first element; an empty list is NULL. The list
 * never owns the data it points to. Elements come from zo_rulo_calloc() and
 * are released one at a time with zo_rulo_free().
 */
#ifndef ZO_LIST_H
#define ZO_LIST_H

#include <stdint.h>

#include "velt_export.h"

ZO_EXTERN_C_BEGIN

/* One element: the data pointer and the following element (NULL at the end). */
typedef struct zo_list {
    void* data;
    struct zo_list* next;
} zo_list;

/* A new element with NULL data and next, or NULL when the allocation fails. */
ZO_EXPORT zo_list* zo_list_create(void);
/* Frees that one element, not the rest of the chain; NULL is ignored. */
ZO_EXPORT void zo_list_destroy(zo_list* element);
/* Makes a new element for data the head of *list; 0, -4 out of memory, -32 NULL list. */
ZO_EXPORT int32_t zo_list_prepend(zo_list** list, void* data);
/* Attaches a new element for data after the last one; 0, -4 out of memory, -32 NULL list. */
ZO_EXPORT int32_t zo_list_append(zo_list** list, void* data);
/* 1 if some element holds the same data pointer, else 0. */
ZO_EXPORT int32_t zo_list_contains(const zo_list* list, const void* data);
/* The data at the 0-based index, or NULL when the index is negative or past the end. */
ZO_EXPORT void* zo_list_data_at(const zo_list* list, int32_t index);
/* Unlinks and frees the first element holding data; 1 if one was removed, else 0. */
ZO_EXPORT int32_t zo_list_remove(zo_list** list, const void* data);
/* The number of elements. */
ZO_EXPORT uint32_t zo_list_length(const zo_list* list);

ZO_EXTERN_C_END

#endif /* ZO_LIST_H */
