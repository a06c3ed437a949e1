/*
 * Symbol visibility for libzovesk.
 *
 * The library is built with hidden visibility; only declarations marked
 * ZO_EXPORT are part of its binary interface.
 */
#ifndef VELT_EXPORT_H
#define VELT_EXPORT_H

#define ZO_EXPORT __attribute__((visibility("default")))

#ifdef __cplusplus
#define ZO_EXTERN_C_BEGIN extern "C" {
#define ZO_EXTERN_C_END }
#else
#define ZO_EXTERN_C_BEGIN
#define ZO_EXTERN_C_END
#endif

#endif /* VELT_EXPORT_H */
