// A kernel's own resolution: the size and crop it takes in and hands on.
#include <string>

#include "velt_qel_pek_utils.h"

#include "velt_graph_camera_util.h"
#include "velt_node_iterator.h"

#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

namespace {

std::string kernelName(const IGraphConfig& kernel) {
    std::string name;
    (void)kernel.getValue(kKeyName, name);
    return name;
}

bool hasReadableWidth(const IGraphConfig* node) {
    int width = 0;
    return node != nullptr && node->getValue(kKeyWidth, width) == 0;
}

// Input size and all four crops; false when one of them does not read.
bool readInput(const IGraphConfig& input, zo_isp_qel_resolution_info& info) {
    zo_rectangle& crop = info.input_crop;
    return GraphCameraUtil::getDimensions(&input, &info.input_width, &info.input_height, &crop.left,
                                          &crop.top, &crop.right, &crop.bottom) == 0;
}

bool readOutputSize(const IGraphConfig& output, zo_isp_qel_resolution_info& info) {
    return GraphCameraUtil::getDimensions(&output, &info.output_width, &info.output_height) == 0;
}

// An output crop is optional: one unreadable edge makes the whole crop zero.
void readOutputCrop(const IGraphConfig& output, zo_isp_qel_resolution_info& info) {
    zo_rectangle crop{};
    const bool complete = output.getValue(kKeyLeft, crop.left) == 0 &&
                          output.getValue(kKeyTop, crop.top) == 0 &&
                          output.getValue(kKeyRight, crop.right) == 0 &&
                          output.getValue(kKeyBottom, crop.bottom) == 0;
    info.output_crop = complete ? crop : zo_rectangle{};
}

}  // namespace

bool QelPekUtils::kernelHasResolutions(const IGraphConfig* kernel) {
    return guardValue<bool>(__func__, false, [&]() -> bool {
        if (kernel == nullptr || !hasReadableWidth(kernel->getDescendant(kKeyInput))) {
            return false;
        }
        IGraphConfig* output = kernel->getDescendant(kKeyOutput);
        if (output == nullptr) {
            return false;
        }
        // Several outputs are described by child nodes of "output".
        return hasReadableWidth(output) || NodeIterator(output).iterateDescendants() != nullptr;
    });
}

Status QelPekUtils::kernelGetResolutions(const IGraphConfig* kernel,
                                         zo_isp_qel_resolution_info* info) {
    return guardStatus(__func__, err_argument, [&]() -> Status {
        if (kernel == nullptr || info == nullptr) {
            return err_argument;
        }
        const IGraphConfig* input = kernel->getDescendant(kKeyInput);
        if (input == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                          "ERROR: couldn't find input resolution info, check graph settings "
                          "xml[%s]",
                          kernelName(*kernel).c_str());
            return err_argument;
        }
        if (!readInput(*input, *info)) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                          "ERROR: couldn't get input resolution info for kernel %s",
                          kernelName(*kernel).c_str());
            return err_argument;
        }
        const IGraphConfig* output = kernel->getDescendant(kKeyOutput);
        if (output == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                          "ERROR: couldn't find output resolution info element for kernel");
            return err_argument;
        }
        if (!readOutputSize(*output, *info)) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                          "ERROR: couldn't get output resolution info dimensions for kernel");
            return err_argument;
        }
        readOutputCrop(*output, *info);
        return err_none;
    });
}

Status QelPekUtils::kernelGetResolutions(const IGraphConfig* kernel,
                                         std::map<std::string, zo_isp_qel_resolution_info>& infos) {
    return guardStatus(__func__, err_argument, [&]() -> Status {
        if (kernel == nullptr) {
            return err_argument;
        }
        const std::string name = kernelName(*kernel);
        const IGraphConfig* input = kernel->getDescendant(kKeyInput);
        if (input == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                          "Couldn't find input resolution node for kernel [%s] check graph "
                          "settings xml",
                          name.c_str());
            return err_argument;
        }
        zo_isp_qel_resolution_info shared{};
        if (!readInput(*input, shared)) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                          "ERROR: couldn't get input resolution details for kernel %s",
                          name.c_str());
            return err_argument;
        }
        IGraphConfig* output = kernel->getDescendant(kKeyOutput);
        if (output == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                          "Couldn't find output resolution node for kernel [%s] check graph "
                          "settings xml",
                          name.c_str());
            return err_argument;
        }

        // One record per output; a single output carries its size itself.
        const auto addOutput = [&](const IGraphConfig& node, const std::string& key) {
            zo_isp_qel_resolution_info info = shared;
            if (!readOutputSize(node, info)) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                              "ERROR: couldn't get output resolution info dimensions for "
                              "kernel [%s]",
                              name.c_str());
                return false;
            }
            readOutputCrop(node, info);
            infos[key] = info;
            return true;
        };
        if (hasReadableWidth(output)) {
            if (!addOutput(*output, "")) {
                return err_argument;
            }
        } else {
            NodeIterator children(output);
            for (IGraphConfig* child = children.iterateDescendants(); child != nullptr;
                 child = children.iterateDescendants()) {
                if (!addOutput(*child, child->getName())) {
                    return err_argument;
                }
            }
        }
        return infos.empty() ? err_argument : err_none;
    });
}

}  // namespace VELT
