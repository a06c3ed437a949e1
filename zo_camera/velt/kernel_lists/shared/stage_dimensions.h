// Reading the size and crop of one sensor stage ("input" or "output" child of
// a pixel array, binner or scaler).
#ifndef ZO_CAMERA_VELT_KERNEL_LISTS_SHARED_STAGE_DIMENSIONS_H
#define ZO_CAMERA_VELT_KERNEL_LISTS_SHARED_STAGE_DIMENSIONS_H

#include <cstdint>

#include "velt_graph_camera_util.h"
#include "zo_isp_qel_records.h"

namespace VELT {

// Width, height, left and top of a stage node. Stages crop symmetrically, so
// right repeats left and bottom repeats top. Returns the read failure.
inline int readSymmetricStage(const IGraphConfig* stage, int32_t& width, int32_t& height,
                              zo_rectangle& crop) {
    int left = 0;
    int top = 0;
    const int status = GraphCameraUtil::getDimensions(stage, &width, &height, &left, &top);
    if (status == 0) {
        crop.left = left;
        crop.top = top;
        crop.right = left;
        crop.bottom = top;
    }
    return status;
}

}  // namespace VELT

#endif
