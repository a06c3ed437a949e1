// The stages of a sensor mode: pixel array, binner and scaler.
#include "velt_qel_pek_utils.h"

#include "velt_graph_camera_util.h"

#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/kernel_lists/shared/stage_dimensions.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

namespace {

Status readStageInput(const IGraphConfig& stage, zo_isp_qel_resolution_info& record) {
    return readSymmetricStage(&stage, record.input_width, record.input_height, record.input_crop);
}

Status readStageOutput(const IGraphConfig& stage, zo_isp_qel_resolution_info& record) {
    return readSymmetricStage(&stage, record.output_width, record.output_height,
                              record.output_crop);
}

// The pixel array's output crop is not described by sensor modes; it stays zero.
// Returns true when the rest of the sensor mode is to be read.
bool readPixelArray(IGraphConfig& sensor, int32_t sensorWidth, int32_t sensorHeight,
                    zo_isp_qel_resolution_info& pixelArray, Status& status) {
    const IGraphConfig* input = sensor.getDescendant(ItemUID({kKeyPixelArray, kKeyInput}));
    if (input == nullptr) {
        ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                      "Warning, no pixel_array, make sure source has no pixel array. "
                      "Defaulting to sensor dimensions.");
        pixelArray.input_width = pixelArray.output_width = sensorWidth;
        pixelArray.input_height = pixelArray.output_height = sensorHeight;
        return true;
    }
    status = readStageInput(*input, pixelArray);
    if (status != err_none) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get pixel array dimensions");
        return false;
    }
    const IGraphConfig* output = sensor.getDescendant(ItemUID({kKeyPixelArray, kKeyOutput}));
    if (output == nullptr) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get pixel_array:output");
        return false;
    }
    status =
        GraphCameraUtil::getDimensions(output, &pixelArray.output_width, &pixelArray.output_height);
    if (status != err_none) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get pixel array output dimensions");
        return false;
    }
    return true;
}

bool readBinner(const IGraphConfig* binner, QelPekUtils::SensorModeInfo& info, Status& status) {
    zo_isp_qel_resolution_info& record = info.binner;
    record.input_crop = record.output_crop = zo_rectangle{};
    if (binner == nullptr) {
        // Without a binner the image passes unchanged.
        record.input_width = record.output_width = info.pixelArray.output_width;
        record.input_height = record.output_height = info.pixelArray.output_height;
        info.binningH = info.binningV = 1;
        return true;
    }
    status = GraphCameraUtil::sensorGetBinningFactor(binner, info.binningH, info.binningV);
    if (status != err_none) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Error: Couldn't get binning factor");
        return false;
    }
    if (info.binningH != info.binningV) {
        ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                      "Sensor mode specifies different binning factor for horizontal and "
                      "vertical.this is not supported, resolution history will be wrong ");
    }
    const IGraphConfig* input = binner->getDescendant(kKeyInput);
    if (input == nullptr) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get binner:input");
        return false;
    }
    status = readStageInput(*input, record);
    if (status != err_none) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get binner input dimensions and crop");
        return false;
    }
    const IGraphConfig* output = binner->getDescendant(kKeyOutput);
    if (output == nullptr) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get binner:output");
        return false;
    }
    status = readStageOutput(*output, record);
    if (status != err_none) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get binner output dimensions and crop");
        return false;
    }
    return true;
}

void readScalingFactor(const IGraphConfig* scaler, QelPekUtils::SensorModeInfo& info,
                       Status& status) {
    int32_t& numerator = info.scalingNumerator;
    int32_t& denominator = info.scalingDenominator;
    status = GraphCameraUtil::sensorGetScalingFactor(scaler, numerator, denominator);
    if (status != err_none) {
        ZO_MODULE_LOG(ZO_LOG_WARNING, velt, "Warning: Couldn't get scaling factor: Default to 1/1");
        numerator = denominator = 1;
    }
    if (denominator == 0) {
        ZO_MODULE_LOG(ZO_LOG_WARNING, velt, "Scaling Denominator is 0! Wrong setting! Set to 1");
        denominator = 1;
    }
    if (numerator == 0) {
        ZO_MODULE_LOG(ZO_LOG_WARNING, velt, "Scaling Numerator is 0! Wrong setting! Set to 1");
        numerator = 1;
    }
}

// Like readBinner(); a failed scaling-factor read only ends the read when the
// scaler has no input either.
void readScaler(const IGraphConfig* scaler, QelPekUtils::SensorModeInfo& info, Status& status) {
    zo_isp_qel_resolution_info& record = info.scaler;
    record.input_crop = record.output_crop = zo_rectangle{};
    if (scaler == nullptr) {
        record.input_width = record.output_width = info.binner.output_width;
        record.input_height = record.output_height = info.binner.output_height;
        info.scalingNumerator = info.scalingDenominator = 1;
        return;
    }
    readScalingFactor(scaler, info, status);
    const IGraphConfig* input = scaler->getDescendant(kKeyInput);
    if (input == nullptr) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get scaler:input");
        return;
    }
    status = readStageInput(*input, record);
    if (status != err_none) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get scaler output dimensions and crop");
        return;
    }
    const IGraphConfig* output = scaler->getDescendant(kKeyOutput);
    if (output == nullptr) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get scaler:output");
        return;
    }
    status = readStageOutput(*output, record);
    if (status != err_none) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get scaler output dimensions and crop");
    }
}

}  // namespace

Status QelPekUtils::getSensorModeInfo(IGraphConfig& sensor, SensorModeInfo& info) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        int32_t sensorWidth = 0;
        int32_t sensorHeight = 0;
        Status status = GraphCameraUtil::getDimensions(&sensor, &sensorWidth, &sensorHeight);
        if (status != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                          "Failed to get dimensions(width, height) for the source %s",
                          sensor.getName().c_str());
            GraphCameraUtil::dumpNodeTree(&sensor, 1);
            return status;
        }
        if (!readPixelArray(sensor, sensorWidth, sensorHeight, info.pixelArray, status)) {
            return status;
        }
        if (!readBinner(sensor.getDescendant(kKeyBinner), info, status)) {
            return status;
        }
        readScaler(sensor.getDescendant(kKeyScaler), info, status);
        return status;
    });
}

}  // namespace VELT
