/*
 * Compile-time layout checks for the records that outside libraries read byte
 * for byte. Works in C (C11) and C++.
 */
#ifndef ZO_RECORD_LAYOUT_H
#define ZO_RECORD_LAYOUT_H

#include <stddef.h>

#ifdef __cplusplus
#define ZO_LAYOUT_CHECK(condition, message) static_assert(condition, message)
#else
#define ZO_LAYOUT_CHECK(condition, message) _Static_assert(condition, message)
#endif

/* Fails the build when a record does not have the given size. */
#define ZO_CHECK_SIZE(type, bytes) ZO_LAYOUT_CHECK(sizeof(type) == (bytes), #type " size")
/* Fails the build when a field does not sit at the given offset. */
#define ZO_CHECK_OFFSET(type, field, bytes) \
    ZO_LAYOUT_CHECK(offsetof(type, field) == (bytes), #type "." #field " offset")

#endif /* ZO_RECORD_LAYOUT_H */
