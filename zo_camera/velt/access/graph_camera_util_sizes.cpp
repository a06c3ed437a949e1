// Dimensions of ports and blocks, sensor binning and scaling, sensor type.
#include <string>

#include "velt_graph_camera_util.h"
#include "velt_node_iterator.h"
#include "velt_status.h"
#include "zo_camera/velt/access/graph_access_helpers.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

int GraphCameraUtil::getDimensions(const IGraphConfig* node, int* width, int* height, int* left,
                                   int* top, int* right, int* bottom) {
    return guardStatus(__func__, err_noentry, [&]() -> int {
        if (node == nullptr) {
            return err_argument;
        }
        struct Dimension {
            int* out;
            unsigned key;
            const char* failure;
        };
        const Dimension dimensions[] = {
            {width, kKeyWidth, "Error: Couldn't get width"},
            {height, kKeyHeight, "Error: Couldn't get height"},
            {left, kKeyLeft, "Error: Couldn't get left crop"},
            {top, kKeyTop, "Error: Couldn't get top crop"},
            {right, kKeyRight, "Error: Couldn't get right crop"},
            {bottom, kKeyBottom, "Error: Couldn't get bottom crop"},
        };
        for (const Dimension& dimension : dimensions) {
            if (dimension.out != nullptr && node->getValue(dimension.key, *dimension.out) != 0) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "%s", dimension.failure);
                return err_noentry;
            }
        }
        return err_none;
    });
}

int GraphCameraUtil::sensorGetBinningFactor(const IGraphConfig* sensor, int& horizontal,
                                            int& vertical) {
    return guardStatus(__func__, err_argument, [&]() -> int {
        if (sensor == nullptr) {
            return err_argument;
        }
        int status = sensor->getValue(kKeyHFactor, horizontal);
        if (status != 0) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Error: Couldn't get horizontal binning factor");
            return status;
        }
        status = sensor->getValue(kKeyVFactor, vertical);
        if (status != 0) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Error: Couldn't get vertical binning factor");
        }
        return status;
    });
}

int GraphCameraUtil::sensorGetScalingFactor(const IGraphConfig* sensor, int& numerator,
                                            int& denominator) {
    return guardStatus(__func__, err_argument, [&]() -> int {
        if (sensor == nullptr) {
            return err_argument;
        }
        int status = sensor->getValue(kKeyNumFactor, numerator);
        if (status == 0) {
            status = sensor->getValue(kKeyDenomFactor, denominator);
        }
        if (status != 0) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Error: Couldn't get width scaling num ratio");
        }
        return status;
    });
}

int GraphCameraUtil::sensorGetType(const IGraphConfig* item, std::string& sensorType) {
    return guardStatus(__func__, err_noentry, [&]() -> int {
        if (item == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Null pointer given");
            return err_argument;
        }
        sensorType = "NONE";
        NodeIterator it(item->getRoot());
        const IGraphConfig* source = it.iterateByType(kKeySource);
        if (source == nullptr || source->getValue(kKeySensorType, sensorType) != 0) {
            return err_noentry;
        }
        return err_none;
    });
}

}  // namespace VELT
