// Resolution histories of image sources: what the sensor, a test pattern
// generator or an input buffer did to the image before the first ISP kernel.
#include <string>

#include "velt_qel_pek_utils.h"

#include "velt_graph_camera_util.h"
#include "velt_item_uid.h"

#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/kernel_lists/shared/int32_arithmetic.h"
#include "zo_camera/velt/kernel_lists/shared/node_name.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

namespace {

// The port through which every source hands its image on.
const char kSourcePortPath[] = "port_0";
// The CSI back end's input stage, in order of preference.
const char* const kCsiInputPaths[] = {"qel_pixelformatter:input", "stream2mmio:input"};

Status readSourceSize(const IGraphConfig& source, const IGraphConfig& port, int32_t& width,
                      int32_t& height) {
    const Status status = GraphCameraUtil::getDimensions(&port, &width, &height);
    if (status != err_none) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                      "Failed to get dimensions(width, height) for the source %s",
                      nameOf(source).c_str());
    }
    return status;
}

}  // namespace

Status QelPekUtils::sourceGetResolutionHistory(zo_isp_qel_resolution_info& history,
                                               IGraphConfig& source) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        const std::string name = nameOf(source);
        Status status = err_notsupported;
        switch (ItemUID::str2key(name)) {
            case kKeySensor:
                status = calculateSensorResolutionHistory(source, history);
                break;
            case kKeyTpg:
                status = calculateTPGResolutionHistory(source, history);
                break;
            default:
                if (name.find("buffer_src") != std::string::npos) {
                    status = calculateBufSrcResolutionHistory(source, history);
                } else {
                    ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "No support for source of name: %s",
                                  name.c_str());
                }
                break;
        }
        if (status != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get resolution history for source: %s",
                          name.c_str());
        }
        return status;
    });
}

Status QelPekUtils::calculateSensorResolutionHistory(IGraphConfig& sensor,
                                                     zo_isp_qel_resolution_info& history) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        const std::string name = nameOf(sensor);
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Calculating resolution history for source %s",
                      name.c_str());
        SensorModeInfo mode{};
        mode.binningH = mode.binningV = 1;
        mode.scalingNumerator = mode.scalingDenominator = 1;
        Status status = getSensorModeInfo(sensor, mode);
        if (status != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get sensor mode information");
            return status;
        }
        IGraphConfig* port = sensor.getDescendantByString(kSourcePortPath);
        if (port == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Could not find port_0- check node description");
            return err_internal;
        }
        zo_isp_qel_resolution_info csi{};
        status = getCsiDimensions(*port, csi);
        if (status != err_none) {
            return status;
        }

        history.input_width = mode.pixelArray.input_width;
        history.input_height = mode.pixelArray.input_height;
        history.input_crop = mode.pixelArray.input_crop;
        history.output_crop = zo_rectangle{};
        // Every crop is taken back into pixel-array pixels. The horizontal binning
        // factor serves both directions.
        const int32_t binning = mode.binningH;
        const int32_t scaledMultiplier = int32_arithmetic::mul(binning, mode.scalingDenominator);
        const int32_t scaledDivisor = mode.scalingNumerator;
        accumulateCrop(history.input_crop, mode.binner.input_crop, 1, 1);
        accumulateCrop(history.input_crop, mode.binner.output_crop, 1, binning);
        accumulateCrop(history.input_crop, mode.scaler.input_crop, 1, binning);
        accumulateCrop(history.input_crop, mode.scaler.output_crop, scaledDivisor,
                       scaledMultiplier);
        accumulateCrop(history.input_crop, csi.input_crop, scaledDivisor, scaledMultiplier);
        history.output_width = csi.output_width;
        history.output_height = csi.output_height;

        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Resolution history for source %s DONE", name.c_str());
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "History %s", resInfoToStr(history));
        return err_none;
    });
}

Status QelPekUtils::calculateTPGResolutionHistory(IGraphConfig& tpg,
                                                  zo_isp_qel_resolution_info& history) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        IGraphConfig* port = tpg.getDescendantByString(kSourcePortPath);
        if (port == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Could not find TPG port_0- check node description");
            return err_internal;
        }
        int32_t width = 0;
        int32_t height = 0;
        Status status = readSourceSize(tpg, *port, width, height);
        if (status != err_none) {
            return status;
        }
        zo_isp_qel_resolution_info csi{};
        status = getCsiDimensions(*port, csi);
        if (status != err_none) {
            return status;
        }
        history = csi;
        history.output_crop = zo_rectangle{};
        return err_none;
    });
}

Status QelPekUtils::calculateBufSrcResolutionHistory(IGraphConfig& bufferSource,
                                                     zo_isp_qel_resolution_info& history) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        const IGraphConfig* port = bufferSource.getDescendantByString(kSourcePortPath);
        if (port == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Could not find %s port_0- check node description",
                          nameOf(bufferSource).c_str());
            return err_internal;
        }
        int32_t width = 0;
        int32_t height = 0;
        const Status status = readSourceSize(bufferSource, *port, width, height);
        if (status != err_none) {
            return status;
        }
        history = zo_isp_qel_resolution_info{};
        history.input_width = history.output_width = width;
        history.input_height = history.output_height = height;
        return err_none;
    });
}

Status QelPekUtils::getCsiDimensions(IGraphConfig& sourcePort, zo_isp_qel_resolution_info& csi) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        csi = zo_isp_qel_resolution_info{};
        IGraphConfig* peer = nullptr;
        const Status status = GraphCameraUtil::portGetPeer(&sourcePort, &peer);
        if (status != err_none) {
            return status;
        }
        const IGraphConfig* backEnd = peer->getAncestor();
        if (backEnd == nullptr) {
            return err_none;
        }
        const IGraphConfig* input = nullptr;
        for (const char* path : kCsiInputPaths) {
            input = backEnd->getDescendantByString(path);
            if (input != nullptr) {
                break;
            }
        }
        if (input != nullptr) {
            zo_rectangle& crop = csi.input_crop;
            const Status read =
                GraphCameraUtil::getDimensions(input, &csi.input_width, &csi.input_height,
                                               &crop.left, &crop.top, &crop.right, &crop.bottom);
            if (read != err_none) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get %s dimensions and crop",
                              GraphCameraUtil::print(input).c_str());
                return read;
            }
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "%s: %s", input->getName().c_str(),
                          resInfoToStr(csi));
        }
        const IGraphConfig* output = backEnd->getDescendant(kKeyOutput);
        if (output == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get output node for %s",
                          GraphCameraUtil::print(backEnd).c_str());
            return err_internal;
        }
        const Status read =
            GraphCameraUtil::getDimensions(output, &csi.output_width, &csi.output_height);
        if (read != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get csi be output dimensions");
            return read;
        }
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "%s OUT w: %d, h: %d----", backEnd->getName().c_str(),
                      csi.output_width, csi.output_height);
        return err_none;
    });
}

Status QelPekUtils::getResHistoryForIntermediatePg(const IGraphConfig* programGroup,
                                                   zo_isp_qel_resolution_info& history,
                                                   const PortHistoryMap& portHistories) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        const IGraphConfig* input =
            programGroup != nullptr ? programGroup->getDescendant(kKeyInput) : nullptr;
        if (input == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "PG node %s: no '%s' port",
                          GraphCameraUtil::print(programGroup).c_str(), "input");
            return err_general;
        }
        IGraphConfig* peer = nullptr;
        if (GraphCameraUtil::portGetPeer(input, &peer) != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Intermediate PG connection disabled ?");
            return err_general;
        }
        const auto found = portHistories.find(peer);
        if (found != portHistories.end()) {
            history = found->second;
        } else {
            ZO_MODULE_LOG(ZO_LOG_WARNING, velt, "No res history for stream input (%s:%s)!",
                          GraphCameraUtil::print(peer->getAncestor()).c_str(),
                          GraphCameraUtil::print(peer).c_str());
        }
        return err_none;
    });
}

}  // namespace VELT
