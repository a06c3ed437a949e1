// Reading a kernel's values and bits per pixel from the graph.
#include "velt_qel_pek_utils.h"

#include "velt_graph_camera_util.h"

#include "zo_camera/velt/access/graph_access_helpers.h"
#include "zo_camera/velt/boundary/boundary_guard.h"

namespace VELT {

Status QelPekUtils::kernelGetValues(const IGraphConfig* kernel, int* palUuid, int* kernelId,
                                    unsigned* metadata, int* enable, int* rcb, int* branchPoint,
                                    int* sinkPort, int* restorePoint) {
    return guardStatus(__func__, err_argument, [&]() -> Status {
        if (kernel == nullptr) {
            return err_argument;
        }
        if (restorePoint != nullptr) {
            *restorePoint = intOr(*kernel, kKeyRestorePoint, -1);
        }
        return GraphCameraUtil::kernelGetValues(kernel, palUuid, kernelId, metadata, enable, rcb,
                                                branchPoint, sinkPort);
    });
}

Status QelPekUtils::kernelGetBppInfo(const IGraphConfig& kernel, zo_isp_qel_run_kernels& rk) {
    return guardStatus(__func__, err_argument, [&]() -> Status {
        const auto readBpp = [&kernel](unsigned childKey, uint32_t& bpp) {
            const IGraphConfig* child = kernel.getDescendant(childKey);
            if (child == nullptr) {
                return;
            }
            bpp = static_cast<uint32_t>(intOr(*child, kKeyBpp, 0));
        };
        readBpp(kKeyInput, rk.bpp_info.input_bpp);
        readBpp(kKeyOutput, rk.bpp_info.output_bpp);
        return err_none;
    });
}

}  // namespace VELT
