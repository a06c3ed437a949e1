/*
 * Records handed to the ISP configuration library: crop rectangles,
 * resolutions, run-kernel lists, program groups and MBR limits.
 *
 * The layouts are fixed byte for byte for a 64-bit little-endian target with
 * natural alignment; the checks below fail the build otherwise. Arrays that
 * these records point to belong to the kernel-list builder that filled them.
 */
#ifndef ZO_ISP_QEL_RECORDS_H
#define ZO_ISP_QEL_RECORDS_H

#include <stdint.h>

#include "zo_record_layout.h"

/* Enable state of a run kernel (zo_isp_qel_run_kernels.enable). */
typedef enum zo_isp_qel_kernel_enable {
    kernel_enable_bypass = 0,
    kernel_enable_enabled = 1,
    kernel_enable_disabled = 2
} zo_isp_qel_kernel_enable;

/* A crop: the number of pixels removed from each edge, not coordinates. */
typedef struct zo_rectangle {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
} zo_rectangle;

/*
 * Input and output size and crop of one kernel or sensor stage; also the
 * accumulated history of what happened to the image before a kernel.
 */
typedef struct zo_isp_qel_resolution_info {
    int32_t input_width;
    int32_t input_height;
    zo_rectangle input_crop;
    int32_t output_width;
    int32_t output_height;
    zo_rectangle output_crop;
} zo_isp_qel_resolution_info;

/* Bits per pixel of a kernel's input and output ports; 0 when absent. */
typedef struct zo_isp_qel_bpp_info {
    uint32_t input_bpp;
    uint32_t output_bpp;
} zo_isp_qel_bpp_info;

/* One kernel to run. Arrays of these are contiguous. */
typedef struct zo_isp_qel_run_kernels {
    uint32_t stream_id;   /* stream or execution-context id of the program group */
    uint32_t kernel_uuid; /* the kernel's PAL uuid */
    int32_t enable;       /* a zo_isp_qel_kernel_enable value */
    /* resolution_info: the kernel's own resolution (output_count records), or NULL */
    zo_isp_qel_resolution_info* resolution_info;
    /* resolution_history: the history in front of the kernel; NULL only in unfilled slots */
    zo_isp_qel_resolution_info* resolution_history;
    uint32_t metadata[4];
    zo_isp_qel_bpp_info bpp_info;
    uint32_t output_count; /* records behind resolution_info; 0 means a single one */
    uint32_t reserved[5];  /* defined by the ISP configuration library; kept zero */
} zo_isp_qel_run_kernels;

/* The kernels of one program group or execution context, owned by the producer. */
typedef struct zo_isp_qel_program_group {
    uint32_t kernel_count;
    zo_isp_qel_run_kernels* run_kernels;
    int32_t tuning_mode;
} zo_isp_qel_program_group;

/* MBR limits of one stream: seven rows of eight values, zeroed before filling. */
typedef struct zo_view_mbr_limits_t {
    float limits[7][8];
} zo_view_mbr_limits_t;

ZO_CHECK_SIZE(zo_rectangle, 16);
ZO_CHECK_OFFSET(zo_rectangle, left, 0);
ZO_CHECK_OFFSET(zo_rectangle, top, 4);
ZO_CHECK_OFFSET(zo_rectangle, right, 8);
ZO_CHECK_OFFSET(zo_rectangle, bottom, 12);

ZO_CHECK_SIZE(zo_isp_qel_resolution_info, 48);
ZO_CHECK_OFFSET(zo_isp_qel_resolution_info, input_width, 0);
ZO_CHECK_OFFSET(zo_isp_qel_resolution_info, input_height, 4);
ZO_CHECK_OFFSET(zo_isp_qel_resolution_info, input_crop, 8);
ZO_CHECK_OFFSET(zo_isp_qel_resolution_info, output_width, 24);
ZO_CHECK_OFFSET(zo_isp_qel_resolution_info, output_height, 28);
ZO_CHECK_OFFSET(zo_isp_qel_resolution_info, output_crop, 32);

ZO_CHECK_SIZE(zo_isp_qel_bpp_info, 8);
ZO_CHECK_SIZE(zo_isp_qel_run_kernels, 80);
ZO_CHECK_OFFSET(zo_isp_qel_run_kernels, stream_id, 0);
ZO_CHECK_OFFSET(zo_isp_qel_run_kernels, kernel_uuid, 4);
ZO_CHECK_OFFSET(zo_isp_qel_run_kernels, enable, 8);
ZO_CHECK_OFFSET(zo_isp_qel_run_kernels, resolution_info, 16);
ZO_CHECK_OFFSET(zo_isp_qel_run_kernels, resolution_history, 24);
ZO_CHECK_OFFSET(zo_isp_qel_run_kernels, metadata, 32);
ZO_CHECK_OFFSET(zo_isp_qel_run_kernels, bpp_info, 48);
ZO_CHECK_OFFSET(zo_isp_qel_run_kernels, bpp_info.input_bpp, 48);
ZO_CHECK_OFFSET(zo_isp_qel_run_kernels, bpp_info.output_bpp, 52);
ZO_CHECK_OFFSET(zo_isp_qel_run_kernels, output_count, 56);
ZO_CHECK_OFFSET(zo_isp_qel_run_kernels, reserved, 60);

ZO_CHECK_OFFSET(zo_isp_qel_program_group, kernel_count, 0);
ZO_CHECK_OFFSET(zo_isp_qel_program_group, run_kernels, 8);
ZO_CHECK_OFFSET(zo_isp_qel_program_group, tuning_mode, 16);

ZO_CHECK_SIZE(zo_view_mbr_limits_t, 224);
ZO_CHECK_OFFSET(zo_view_mbr_limits_t, limits[1][0], 32);
ZO_CHECK_OFFSET(zo_view_mbr_limits_t, limits[6][7], 6 * 32 + 7 * 4);

#endif /* ZO_ISP_QEL_RECORDS_H */
