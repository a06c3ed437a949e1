/*
 * The cache of tree storage blocks.
 *
 * A tree read from a document lives in large blocks of memory owned by its
 * root. When a root is deleted its blocks are kept here, up to a limit, and
 * the next document read in the process takes them first: without this, a
 * camera that reads its documents again at every open would make the system
 * hand it fresh pages (one fault per page) each time. The cache is shared by
 * every thread of the process.
 */
#ifndef ZO_TREE_CACHE_H
#define ZO_TREE_CACHE_H

#include <stddef.h>

#include "velt_export.h"

ZO_EXTERN_C_BEGIN

/* The limit a process starts with, in bytes: room for the trees of a camera's
 * descriptor and settings of some 13 MB of XML together. What is kept is
 * memory the previous trees had, never more. */
#define ZO_TREE_CACHE_DEFAULT_LIMIT ((size_t)64 << 20)

/* Sets how many bytes of blocks the cache may keep (0: none) and returns the
 * previous limit. Blocks above the new limit are freed at once. */
ZO_EXPORT size_t zo_tree_cache_set_limit(size_t bytes);
/* Frees every block the cache keeps, for a host that has to give memory back
 * (the limit stays). */
ZO_EXPORT void zo_tree_cache_release(void);
/* Bytes of blocks the cache keeps now. */
ZO_EXPORT size_t zo_tree_cache_bytes(void);

ZO_EXTERN_C_END

#endif /* ZO_TREE_CACHE_H */
