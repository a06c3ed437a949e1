// Kernel values of a program group, as the kernel-list builders need them.
#include <string>

#include "velt_graph_camera_util.h"
#include "velt_node_iterator.h"
#include "velt_status.h"
#include "zo_camera/velt/access/graph_access_helpers.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/common/number_text.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

namespace {

// Room the callers give the metadata array of a kernel.
constexpr size_t kMaxKernelMetadata = 4;

// Parses the whole list before anything is written, so a refused list leaves
// the caller's array as it was.
int readMetadata(const std::string& text, unsigned* metadata) {
    unsigned values[kMaxKernelMetadata] = {};
    size_t count = 0;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        const std::string piece = text.substr(start, comma - start);
        if (count == kMaxKernelMetadata) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Kernel metadata '%s' holds more than %zu values",
                          text.c_str(), kMaxKernelMetadata);
            return err_data;
        }
        if (!numbers::paddedUint32(piece, values[count])) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                          "Kernel metadata '%s' is not a list of decimal integers", text.c_str());
            return err_data;
        }
        ++count;
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    for (size_t i = 0; i < count; ++i) {
        metadata[i] = values[i];
    }
    return err_none;
}

}  // namespace

int GraphCameraUtil::getKernelCountInPg(const IGraphConfig* programGroup, unsigned& count) {
    return guardStatus(__func__, err_argument, [&]() -> int {
        if (programGroup == nullptr) {
            return err_argument;
        }
        count = 0;
        NodeIterator it(programGroup);
        while (it.iterateByType(kKeyKernel) != nullptr) {
            ++count;
        }
        return err_none;
    });
}

int GraphCameraUtil::kernelGetValues(const IGraphConfig* kernel, int* palUuid, int* kernelId,
                                     unsigned* metadata, int* enabled, int* rcb, int* branchPoint,
                                     int* sinkPort) {
    return guardStatus(__func__, err_data, [&]() -> int {
        if (kernel == nullptr) {
            return err_argument;
        }
        std::string metadataText;
        if (metadata != nullptr && kernel->getValue(kKeyMetadata, metadataText) == 0 &&
            !metadataText.empty()) {
            const int status = readMetadata(metadataText, metadata);
            if (status != 0) {
                return status;
            }
        }
        if (rcb != nullptr) {
            *rcb = intOr(*kernel, kKeyRcb, 0);
        }
        if (branchPoint != nullptr) {
            *branchPoint = intOr(*kernel, kKeyBranchPoint, 0);
        }
        if (enabled != nullptr) {
            *enabled = intOr(*kernel, kKeyEnabled, 1);
        }
        if (palUuid != nullptr) {
            const int status = kernel->getValue(kKeyPalUuid, *palUuid);
            if (status != 0) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "ERROR: Couldn't get pal_uuid");
                return status;
            }
        }
        if (kernelId != nullptr) {
            const int status = kernel->getValue(kKeyId, *kernelId);
            if (status != 0) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Couldn't get kernel id");
                return status;
            }
        }
        if (sinkPort != nullptr) {
            *sinkPort = intOr(*kernel, kKeySinkPort, -1);
        }
        return err_none;
    });
}

}  // namespace VELT
