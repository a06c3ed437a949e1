/*
 * Status codes: 0 for success, a negative power of two for a failure.
 *
 * C++ names them in namespace VELT (VELT::err_none, type VELT::Status); C
 * gets the same names and values as plain enumeration constants, and the
 * plain functions return them as int32_t.
 */
#ifndef VELT_STATUS_H
#define VELT_STATUS_H

#ifdef __cplusplus
#include <cstdint>

namespace VELT {

using Status = int32_t;

enum : Status {
#else
enum {
#endif
    err_none = 0,            /* success */
    err_general = -2,        /* nothing found, no match, a missing element or a null item */
    err_nomemory = -4,       /* an allocation or copy failed */
    err_data = -8,           /* data missing or inconsistent in a document or graph */
    err_internal = -16,      /* inconsistent internal state, missing graph node, null visitor */
    err_argument = -32,      /* a null or unusable argument */
    err_noentry = -64,       /* no item or attribute of that kind under the key or path */
    err_end = -256,          /* end of an iteration */
    err_exists = -512,       /* an item with that key already exists */
    err_notready = -1024,    /* a graph node cannot be visited yet */
    err_notsupported = -2048 /* not available for this generation, source kind or option */
};

#ifdef __cplusplus
}  // namespace VELT
#endif

#endif /* VELT_STATUS_H */
