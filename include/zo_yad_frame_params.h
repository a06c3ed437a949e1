/*
 * Sensor frame parameters handed to the 3A library: which part of the
 * sensor's pixel array ends up in the image and how it was scaled.
 *
 * Values wider than a field are stored truncated to the field's width.
 */
#ifndef ZO_YAD_FRAME_PARAMS_H
#define ZO_YAD_FRAME_PARAMS_H

#include <stdint.h>

#include "zo_record_layout.h"

typedef struct zo_yad_frame_params {
    uint16_t horizontal_crop_offset; /* left offset of the used image, pixel-array pixels */
    uint16_t vertical_crop_offset;   /* top offset of the used image, pixel-array pixels */
    uint16_t cropped_image_width;    /* width of the used image, pixel-array pixels */
    uint16_t cropped_image_height;   /* height of the used image, pixel-array pixels */
    uint8_t horizontal_scaling_numerator;
    uint8_t horizontal_scaling_denominator;
    uint8_t vertical_scaling_numerator;
    uint8_t vertical_scaling_denominator;
} zo_yad_frame_params;

ZO_CHECK_SIZE(zo_yad_frame_params, 12);
ZO_CHECK_OFFSET(zo_yad_frame_params, horizontal_crop_offset, 0);
ZO_CHECK_OFFSET(zo_yad_frame_params, vertical_crop_offset, 2);
ZO_CHECK_OFFSET(zo_yad_frame_params, cropped_image_width, 4);
ZO_CHECK_OFFSET(zo_yad_frame_params, cropped_image_height, 6);
ZO_CHECK_OFFSET(zo_yad_frame_params, horizontal_scaling_numerator, 8);
ZO_CHECK_OFFSET(zo_yad_frame_params, horizontal_scaling_denominator, 9);
ZO_CHECK_OFFSET(zo_yad_frame_params, vertical_scaling_numerator, 10);
ZO_CHECK_OFFSET(zo_yad_frame_params, vertical_scaling_denominator, 11);

#endif /* ZO_YAD_FRAME_PARAMS_H */
