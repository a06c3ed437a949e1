// Filling one execution context's run-kernel array: which kernels run in
// which slot, with which values, and the resolution history in front of each.
#include <algorithm>
#include <cstring>
#include <string>

#include "velt_qel_pek_utils.h"

#include "velt_graph_camera_util.h"
#include "velt_node_iterator.h"

#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/kernels/int32_arithmetic.h"
#include "zo_camera/velt/kernels/node_name.h"
#include "zo_camera/velt/tree/tree_log.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

namespace {

using KernelInfos = std::map<int32_t, QelPekUtils::KernelInfo>;
using BranchPoints = std::map<int32_t, zo_isp_qel_resolution_info>;

// A slot that was never stored reads as a zero record.
QelPekUtils::KernelInfo infoOf(const KernelInfos& infos, int32_t slot) {
    const auto found = infos.find(slot);
    return found != infos.end() ? found->second : QelPekUtils::KernelInfo{};
}

// Disables the kernels in front of a disabled sink terminal, back to the last
// restore point or branch point; a bypassed kernel stays bypassed.
void disableTowardsTerminal(zo_isp_qel_run_kernels* kernels, const KernelInfos& infos,
                            int32_t slot) {
    for (int32_t g = slot;; --g) {
        if (kernels[g].enable != kernel_enable_bypass) {
            kernels[g].enable = kernel_enable_disabled;
        }
        if (infoOf(infos, g).restore_point > 0 || infoOf(infos, g - 1).branch_point > 0 || g == 0) {
            return;
        }
    }
}

// Moves the history through a kernel with its own resolution: the kernel's
// input crop is taken back into the history's input pixels with a 10-bit
// fixed-point ratio.
Status passThroughKernel(zo_isp_qel_resolution_info& history,
                         const zo_isp_qel_resolution_info& resolution) {
    if (history.output_width == 0 || history.output_height == 0) {
        zo_log_common_debug(ZO_LOG_ERROR, kTreeTag, "output width or height is 0");
        return err_internal;
    }
    int32_arithmetic::addKernelInputCrop(history.input_crop, history, resolution.input_crop);
    history.output_width = resolution.output_width;
    history.output_height = resolution.output_height;
    return err_none;
}

}  // namespace

Status QelPekUtils::kernelIdSanityCheck(unsigned idSum, unsigned count) {
    if (idSum != count * (count - 1) / 2) {
        zo_log_common_debug(ZO_LOG_ERROR, kTreeTag,
                            "Error: Bad kernel id(s). Kernel ids need to run from 0 to n. Check "
                            "the GDF.");
        return err_data;
    }
    return err_none;
}

void QelPekUtils::applyKernelConfigs(const std::vector<KernelConfigContainer>& configs,
                                     zo_isp_qel_run_kernels& rk) {
    guardVoid(__func__, [&] {
        for (const KernelConfigContainer& config : configs) {
            if (config.kernel_uuid != rk.kernel_uuid) {
                continue;
            }
            if ((config.mask & KernelConfigContainer::kEnable) != 0) {
                rk.enable = config.enable;
            }
            if ((config.mask & KernelConfigContainer::kBppInfo) != 0) {
                rk.bpp_info = config.bpp_info;
            }
            if ((config.mask & KernelConfigContainer::kMetadata) != 0) {
                std::memcpy(rk.metadata, config.metadata, sizeof(rk.metadata));
            }
        }
    });
}

Status QelPekUtils::populateKernelArray(int ctxId, zo_isp_qel_run_kernels* kernels,
                                        unsigned poolIndex, PortHistoryMap& portHistories) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        zo_log_common_debug(ZO_LOG_DEBUG, kTreeTag, "Enter %s for ctx %d, index %d",
                            "populateKernelArray", ctxId, static_cast<int>(poolIndex));
        dumpResHistory(inputHistory, "inputHistory");
        dumpPortResHistoryMap(portHistories);
        const auto group = ctxKernelGroups.find(ctxId);
        if (kernels == nullptr || group == ctxKernelGroups.end() ||
            poolIndex >= resolutionPools.size()) {
            return err_argument;
        }
        const int32_t slotCount = static_cast<int32_t>(group->second.count);
        ResolutionMemPool& pool = resolutionPools[poolIndex];

        zo_isp_qel_resolution_info history = inputHistory;
        KernelInfos infos;
        std::vector<uint32_t> disabledSlots;
        int32_t slotOffset = 0;
        bool first = true;

        NodeIterator groups(graphRoot);
        for (IGraphConfig* pg = groups.iterateByType(kKeyProgramGroup); pg != nullptr;
             pg = groups.iterateByType(kKeyProgramGroup)) {
            int pgCtxId = 0;
            Status status = pg->getValue(contextKey(), pgCtxId);
            if (status != err_none) {
                ZO_LOG_IF_WANTED(ZO_LOG_ERROR, kTreeTag, "Failed to get stream id from node %s",
                                 pg->getName().c_str());
                return status;
            }
            if (pgCtxId != ctxId) {
                continue;
            }
            ZO_LOG_IF_WANTED(ZO_LOG_DEBUG, kTreeTag, "Handling PG: %s",
                             GraphCameraUtil::print(pg).c_str());

            // First pass: values, slots and own resolutions.
            unsigned idSum = 0;
            unsigned kernelCount = 0;
            NodeIterator kernelNodes(pg);
            for (IGraphConfig* kernel = kernelNodes.iterateByType(kKeyKernel); kernel != nullptr;
                 kernel = kernelNodes.iterateByType(kKeyKernel)) {
                int palUuid = 0;
                int id = 0;
                int enable = kernel_enable_enabled;
                unsigned metadata[4] = {};
                KernelInfo info{};
                if (kernelGetValues(kernel, &palUuid, &id, metadata, &enable, &info.rcb,
                                    &info.branch_point, &info.sink_port,
                                    &info.restore_point) != err_none) {
                    zo_log_common_debug(ZO_LOG_ERROR, kTreeTag,
                                        "Failed to fetch kernel values '%s'",
                                        nameOf(*kernel).c_str());
                    return err_argument;
                }
                std::string sourcePath;
                if (kernel->getValue(kKeySource, sourcePath) == err_none) {
                    info.sourceNode = graphRoot->getDescendantByString(sourcePath);
                }
                idSum += static_cast<unsigned>(id);
                ++kernelCount;
                const int32_t slot = int32_arithmetic::add(id, slotOffset);
                // An id beyond the context's kernels would write outside its array.
                if (slot < 0 || slot >= slotCount) {
                    ZO_LOG_IF_WANTED(ZO_LOG_ERROR, kTreeTag,
                                     "Error: kernel id %d of %s is outside the %d kernels of exec "
                                     "ctx %d",
                                     id, GraphCameraUtil::print(kernel).c_str(), slotCount, ctxId);
                    return err_data;
                }
                if (info.sink_port >= 0) {
                    status = handleSinkPort(info, pg, disabledSlots, static_cast<uint32_t>(slot));
                    if (status != err_none) {
                        return status;
                    }
                }
                infos[slot] = info;
                ZO_LOG_IF_WANTED(ZO_LOG_DEBUG, kTreeTag,
                                 "storing info for '%s': id: %d, rcb %d, branch-point %d sink-id "
                                 "0x%x restore-point %d",
                                 GraphCameraUtil::print(kernel).c_str(), slot, info.rcb,
                                 info.branch_point, static_cast<unsigned>(info.sink_port),
                                 info.restore_point);
                zo_isp_qel_run_kernels& rk = kernels[slot];
                rk.resolution_info = nullptr;
                if (kernelHasResolutions(kernel)) {
                    rk.resolution_info = pool.infos[slot];
                    if (kernelGetResolutions(kernel, rk.resolution_info) != err_none) {
                        return err_argument;
                    }
                }
                kernelGetBppInfo(*kernel, rk);
                rk.enable = enable;
                rk.stream_id = static_cast<uint32_t>(ctxId);
                rk.kernel_uuid = static_cast<uint32_t>(palUuid);
                std::memcpy(rk.metadata, metadata, sizeof(rk.metadata));
            }
            ZO_LOG_IF_WANTED(ZO_LOG_DEBUG, kTreeTag, "PG: %s got %d kernels",
                             GraphCameraUtil::print(pg).c_str(), static_cast<int>(kernelCount));
            const int32_t slotEnd = slotOffset + static_cast<int32_t>(kernelCount);
            if (kernelIdSanityCheck(idSum, kernelCount) != err_none || slotEnd > slotCount) {
                return err_data;
            }
            std::vector<KernelConfigContainer> overrides;
            status = ispUtils ? ispUtils->getKernelConfigurations(overrides) : err_notsupported;
            if (status != err_none) {
                zo_log_common_debug(ZO_LOG_ERROR, kTreeTag,
                                    "Getting kernel configurations failed(%d)", status);
            }
            if (!first && kernelCount > 0) {
                status = getResHistoryForIntermediatePg(pg, history, portHistories);
                if (status != err_none) {
                    return status;
                }
            }

            // Second pass, in slot order: histories along the kernels.
            BranchPoints branchPoints;
            for (int32_t i = slotOffset; i < slotEnd; ++i) {
                const KernelInfo k = infoOf(infos, i);
                zo_isp_qel_run_kernels& rk = kernels[i];
                if (std::find(disabledSlots.begin(), disabledSlots.end(),
                              static_cast<uint32_t>(i)) != disabledSlots.end()) {
                    disableTowardsTerminal(kernels, infos, i);
                }
                applyKernelConfigs(overrides, rk);
                if (k.restore_point != -1) {
                    const auto restored = branchPoints.find(k.restore_point);
                    if (restored != branchPoints.end()) {
                        history = restored->second;
                    } else {
                        zo_log_common_debug(ZO_LOG_ERROR, kTreeTag,
                                            "Found restore_point attribute, but no branch points. "
                                            "Ignoring attribute and continuing.");
                    }
                }
                rk.resolution_history = pool.histories[i];
                if (k.sourceNode != nullptr) {
                    int width = history.input_width;
                    int height = history.input_height;
                    (void)k.sourceNode->getValue(kKeyWidth, width);
                    (void)k.sourceNode->getValue(kKeyHeight, height);
                    history.input_width = history.output_width = width;
                    history.input_height = history.output_height = height;
                }
                if (rk.resolution_history == nullptr) {
                    zo_log_common_debug(ZO_LOG_ERROR, kTreeTag,
                                        "Error: We run out out resolution history items - BUG");
                    return err_data;
                }
                *rk.resolution_history = history;
                if (rk.resolution_info != nullptr) {
                    status = passThroughKernel(history, *rk.resolution_info);
                    if (status != err_none) {
                        return status;
                    }
                } else if (k.rcb == 1) {
                    rk.resolution_info = pool.infos[i];
                    *rk.resolution_info = zo_isp_qel_resolution_info{};
                    rk.resolution_info->input_width = rk.resolution_info->output_width =
                        history.output_width;
                    rk.resolution_info->input_height = rk.resolution_info->output_height =
                        history.output_height;
                }
                if (k.branch_point != 0 && k.sinkPortNode == nullptr) {
                    branchPoints.insert({k.branch_point, history});
                } else if (k.sinkPortNode != nullptr) {
                    if (k.branch_point != 0) {
                        zo_log_common_debug(ZO_LOG_DEBUG, kTreeTag,
                                            "Branch point with kernel at edge has no effect");
                    }
                    portHistories[k.sinkPortNode] = history;
                    ZO_LOG_IF_WANTED(ZO_LOG_DEBUG, kTreeTag, "Sink port %s info stored",
                                     k.sinkPortNode->getName().c_str());
                }
            }
            slotOffset = slotEnd;
            first = false;
        }

        // Slots no kernel was found for stay empty.
        for (int32_t i = slotOffset; i < slotCount; ++i) {
            kernels[i].kernel_uuid = 0;
            kernels[i].enable = kernel_enable_bypass;
            kernels[i].resolution_info = nullptr;
            kernels[i].resolution_history = nullptr;
        }
        return err_none;
    });
}

}  // namespace VELT
