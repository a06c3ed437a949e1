// Sensor frame parameters for the 3A library.
#include "velt_graph_yad_util.h"

#include <cstdint>

#include "velt_graph_camera_util.h"

#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/kernel_lists/shared/int32_arithmetic.h"
#include "zo_camera/velt/kernel_lists/shared/stage_dimensions.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

namespace {

constexpr char kFunction[] = "getSensorFrameParams";

// A zero factor would divide by zero or erase the image; it counts as 1.
void fixZeroFactor(int32_t& factor, const char* message) {
    if (factor == 0) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, veltYadUtils, "%s", message);
        factor = 1;
    }
}

// Left and top crop of the pixel array plus the binner's output crop in
// pixel-array pixels.
struct CropOffsets {
    int32_t horizontal;
    int32_t vertical;
};

Status addBinner(const IGraphConfig& binner, CropOffsets& offsets, int32_t& hb, int32_t& vb) {
    Status status = GraphCameraUtil::sensorGetBinningFactor(&binner, hb, vb);
    if (status != err_none) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, veltYadUtils, "Error: Couldn't get binning factor");
        return status;
    }
    fixZeroFactor(hb, "Horizontal binning is 0! Wrong setting! Set to 1");
    fixZeroFactor(vb, "Vertical binning is 0! Wrong setting! Set to 1");
    const IGraphConfig* output = binner.getDescendant(kKeyOutput);
    if (output == nullptr) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, veltYadUtils, "Failed to get binner:output");
        return err_internal;
    }
    int32_t width = 0;
    int32_t height = 0;
    zo_rectangle crop{};
    status = readSymmetricStage(output, width, height, crop);
    if (status != err_none) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, veltYadUtils,
                      "Failed to get binner output dimensions and crop");
        return status;
    }
    ZO_MODULE_LOG(ZO_LOG_DEBUG, veltYadUtils,
                  "%s: binner output w: %d, %d, binning: w: %d, h: %d, crop w: %d, crop h: %d",
                  kFunction, width, height, hb, vb, crop.left, crop.top);
    using namespace int32_arithmetic;
    offsets.horizontal = add(offsets.horizontal, mul(crop.left, hb));
    offsets.vertical = add(offsets.vertical, mul(crop.top, vb));
    return err_none;
}

// The scaler's factor and output size; its crop does not move the offsets.
Status readScaler(const IGraphConfig& scaler, int32_t& n, int32_t& d, int32_t& width,
                  int32_t& height) {
    Status status = GraphCameraUtil::sensorGetScalingFactor(&scaler, n, d);
    if (status != err_none) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, veltYadUtils, "Error: Couldn't get scaling factor");
        return status;
    }
    fixZeroFactor(d, "Scaling Denominator is 0! Wrong setting! Set to 1");
    fixZeroFactor(n, "Scaling Numerator is 0! Wrong setting! Set to 1");
    const IGraphConfig* output = scaler.getDescendant(kKeyOutput);
    if (output == nullptr) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, veltYadUtils, "Failed to get scaler:output");
        return err_internal;
    }
    zo_rectangle crop{};
    status = readSymmetricStage(output, width, height, crop);
    if (status != err_none) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, veltYadUtils,
                      "Failed to get scaler output dimensions and crop");
        return status;
    }
    ZO_MODULE_LOG(ZO_LOG_DEBUG, veltYadUtils,
                  "%s: scaler output  w: %d, h: %d, crop w: %d, crop h: %d", kFunction, width,
                  height, crop.left, crop.top);
    return err_none;
}

}  // namespace

Status GraphYadUtil::getSensorFrameParams(zo_yad_frame_params& params,
                                          std::shared_ptr<const IGraphConfig> graph) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        const IGraphConfig* sensor = graph ? graph->getDescendant(kKeySensor) : nullptr;
        if (sensor == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, veltYadUtils,
                          "Error: Couldn't get sensor mode node from the graph");
            return err_general;
        }
        const IGraphConfig* pixelArray = sensor->getDescendantByString("pixel_array:output");
        if (pixelArray == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, veltYadUtils, "Failed to get pixel_array:output");
            return err_general;
        }
        int32_t width = 0;
        int32_t height = 0;
        zo_rectangle crop{};
        Status status = readSymmetricStage(pixelArray, width, height, crop);
        if (status != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, veltYadUtils,
                          "Failed to get pixel array output dimension and crop");
            return status;
        }
        ZO_MODULE_LOG(ZO_LOG_DEBUG, veltYadUtils,
                      "%s: PixelArray output: w: %d, h: %d, crop l: %d, crop t: %d", kFunction,
                      width, height, crop.left, crop.top);
        CropOffsets offsets{crop.left, crop.top};

        int32_t hb = 1;
        int32_t vb = 1;
        const IGraphConfig* binner = sensor->getDescendant(kKeyBinner);
        if (binner != nullptr) {
            status = addBinner(*binner, offsets, hb, vb);
            if (status != err_none) {
                return status;
            }
        } else {
            ZO_MODULE_LOG(ZO_LOG_WARNING, veltYadUtils,
                          "Warning, no binner found, make sure sensor has no binner");
        }

        int32_t n = 1;
        int32_t d = 1;
        int32_t scaledWidth = width;
        int32_t scaledHeight = height;
        const IGraphConfig* scaler = sensor->getDescendant(kKeyScaler);
        if (scaler != nullptr) {
            status = readScaler(*scaler, n, d, scaledWidth, scaledHeight);
            if (status != err_none) {
                return status;
            }
        } else {
            ZO_MODULE_LOG(ZO_LOG_WARNING, veltYadUtils,
                          "Warning, no scaler found, make sure sensor has no scaler");
        }

        using namespace int32_arithmetic;
        const int32_t croppedWidth = mul(hb, div(mul(d, scaledWidth), n));
        const int32_t croppedHeight = mul(vb, div(mul(d, scaledHeight), n));
        const int32_t horizontalDenominator = mul(d, hb);
        const int32_t verticalDenominator = mul(d, vb);

        ZO_MODULE_LOG(ZO_LOG_DEBUG, veltYadUtils,
                      "------------------- frameParams ---------------------------");
        ZO_MODULE_LOG(ZO_LOG_DEBUG, veltYadUtils,
                      "%s: Final cropped Image w = %d, Final cropped Image h = %d", kFunction,
                      croppedWidth, croppedHeight);
        ZO_MODULE_LOG(ZO_LOG_DEBUG, veltYadUtils,
                      "%s: Horizontal_crop_offset = %d, Vertical_crop_offset = %d", kFunction,
                      offsets.horizontal, offsets.vertical);
        ZO_MODULE_LOG(ZO_LOG_DEBUG, veltYadUtils,
                      "%s: Horizontal_scaling_factor = %d/%d, Vertical_scaling factor = %d/%d",
                      kFunction, n, horizontalDenominator, n, verticalDenominator);
        ZO_MODULE_LOG(ZO_LOG_DEBUG, veltYadUtils,
                      "-----------------------------------------------------------------");

        // The record's fields are narrower than the arithmetic: keep the low bits.
        params.horizontal_crop_offset = static_cast<uint16_t>(offsets.horizontal);
        params.vertical_crop_offset = static_cast<uint16_t>(offsets.vertical);
        params.cropped_image_width = static_cast<uint16_t>(croppedWidth);
        params.cropped_image_height = static_cast<uint16_t>(croppedHeight);
        params.horizontal_scaling_numerator = static_cast<uint8_t>(n);
        params.horizontal_scaling_denominator = static_cast<uint8_t>(horizontalDenominator);
        params.vertical_scaling_numerator = static_cast<uint8_t>(n);
        params.vertical_scaling_denominator = static_cast<uint8_t>(verticalDenominator);
        return err_none;
    });
}

Status GraphYadUtil::getPortFrameParams(zo_yad_frame_params& params,
                                        std::shared_ptr<const IGraphConfig> graph,
                                        const std::string& portName) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        const IGraphConfig* port = graph ? graph->getDescendantByString(portName) : nullptr;
        if (port == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, veltYadUtils,
                          "Error: Couldn't get port \"%s\" node from the graph", portName.c_str());
            return err_internal;
        }
        int32_t width = 0;
        int32_t height = 0;
        if (GraphCameraUtil::getDimensions(port, &width, &height) != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, veltYadUtils,
                          "Failed to get dimension for port \"%s\" node", portName.c_str());
            return err_internal;
        }
        params.horizontal_crop_offset = 0;
        params.vertical_crop_offset = 0;
        params.cropped_image_width = static_cast<uint16_t>(width);
        params.cropped_image_height = static_cast<uint16_t>(height);
        params.horizontal_scaling_numerator = 1;
        params.horizontal_scaling_denominator = 1;
        params.vertical_scaling_numerator = 1;
        params.vertical_scaling_denominator = 1;
        return err_none;
    });
}

}  // namespace VELT
