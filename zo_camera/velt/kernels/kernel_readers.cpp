// Reading a kernel's values and bits per pixel from the graph.
#include "velt_qel_pek_utils.h"

#include "velt_graph_camera_util.h"

#include "zo_camera/velt/tree/tree_log.h"

namespace VELT {

Status QelPekUtils::kernelGetValues(const IGraphConfig* kernel, int* palUuid, int* kernelId,
                                    unsigned* metadata, int* enable, int* rcb, int* branchPoint,
                                    int* sinkPort, int* restorePoint) {
    if (kernel == nullptr) {
        return err_argument;
    }
    if (restorePoint != nullptr && kernel->getValue(kKeyRestorePoint, *restorePoint) != 0) {
        *restorePoint = -1;  // no restore point
    }
    return GraphCameraUtil::kernelGetValues(kernel, palUuid, kernelId, metadata, enable, rcb,
                                            branchPoint, sinkPort);
}

Status QelPekUtils::kernelGetBppInfo(const IGraphConfig& kernel, zo_isp_qel_run_kernels& rk) {
    const auto readBpp = [&kernel](unsigned childKey, uint32_t& bpp) {
        const IGraphConfig* child = kernel.getDescendant(childKey);
        if (child == nullptr) {
            return;
        }
        int value = 0;
        bpp = child->getValue(kKeyBpp, value) == 0 ? static_cast<uint32_t>(value) : 0;
    };
    readBpp(kKeyInput, rk.bpp_info.input_bpp);
    readBpp(kKeyOutput, rk.bpp_info.output_bpp);
    return err_none;
}

}  // namespace VELT
