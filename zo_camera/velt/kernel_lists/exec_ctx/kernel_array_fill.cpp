// Filling one execution context's run-kernel array: which kernels run in
// which slot, with which values, and the resolution history in front of each.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "velt_qel_pek_utils.h"

#include "velt_graph_camera_util.h"
#include "velt_node_iterator.h"

#include "zo_camera/velt/access/subgraph_blocks.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/kernel_lists/shared/int32_arithmetic.h"
#include "zo_camera/velt/kernel_lists/shared/node_name.h"
#include "zo_rulo/zo_log_tags.h"
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
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "output width or height is 0");
        return err_internal;
    }
    int32_arithmetic::addKernelInputCrop(history.input_crop, history, resolution.input_crop);
    history.output_width = resolution.output_width;
    history.output_height = resolution.output_height;
    return err_none;
}

// What the fill of one execution context carries from one program group to
// the next: its array and records, the kernels seen so far and the history.
struct ContextFill {
    int ctxId;
    zo_isp_qel_run_kernels* kernels;
    QelPekUtils::ResolutionMemPool& pool;
    int32_t slotCount;
    zo_isp_qel_resolution_info history;
    KernelInfos infos;
    std::vector<uint32_t> disabledSlots;
    int32_t slotOffset = 0;
};

// The slot's values from the kernel node: enable, ids, metadata, bpp and its
// own resolution when it has one.
Status fillKernelValues(IGraphConfig& kernel, int palUuid, int enable, const unsigned* metadata,
                        ContextFill& fill, int32_t slot) {
    zo_isp_qel_run_kernels& rk = fill.kernels[slot];
    rk.resolution_info = nullptr;
    if (QelPekUtils::kernelHasResolutions(&kernel)) {
        rk.resolution_info = fill.pool.infos[slot];
        if (QelPekUtils::kernelGetResolutions(&kernel, rk.resolution_info) != err_none) {
            return err_argument;
        }
    }
    // A kernel without readable bpp keeps 0 for it: a missing "bpp" is no
    // reason to leave the kernel out of the list.
    (void)QelPekUtils::kernelGetBppInfo(kernel, rk);
    rk.enable = enable;
    rk.stream_id = static_cast<uint32_t>(fill.ctxId);
    rk.kernel_uuid = static_cast<uint32_t>(palUuid);
    std::memcpy(rk.metadata, metadata, sizeof(rk.metadata));
    return err_none;
}

// First pass, one kernel: reads its values, finds its slot (id plus the slot
// offset) and stores what the second pass needs under the slot.
Status storeKernel(QelPekUtils& utils, IGraphConfig& root, const IGraphConfig* pg,
                   IGraphConfig& kernel, ContextFill& fill, unsigned& idSum) {
    int palUuid = 0;
    int id = 0;
    int enable = kernel_enable_enabled;
    unsigned metadata[4] = {};
    QelPekUtils::KernelInfo info{};
    if (QelPekUtils::kernelGetValues(&kernel, &palUuid, &id, metadata, &enable, &info.rcb,
                                     &info.branch_point, &info.sink_port,
                                     &info.restore_point) != err_none) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to fetch kernel values '%s'",
                      nameOf(kernel).c_str());
        return err_argument;
    }
    std::string sourcePath;
    if (kernel.getValue(kKeySource, sourcePath) == err_none) {
        info.sourceNode = root.getDescendantByString(sourcePath);
    }
    idSum += static_cast<unsigned>(id);
    const int32_t slot = int32_arithmetic::add(id, fill.slotOffset);
    // An id beyond the context's kernels would write outside its array.
    if (slot < 0 || slot >= fill.slotCount) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                      "Error: kernel id %d of %s is outside the %d kernels of exec "
                      "ctx %d",
                      id, GraphCameraUtil::print(&kernel).c_str(), fill.slotCount, fill.ctxId);
        return err_data;
    }
    if (info.sink_port >= 0) {
        const Status status =
            utils.handleSinkPort(info, pg, fill.disabledSlots, static_cast<uint32_t>(slot));
        if (status != err_none) {
            return status;
        }
    }
    fill.infos[slot] = info;
    ZO_MODULE_LOG(ZO_LOG_DEBUG, velt,
                  "storing info for '%s': id: %d, rcb %d, branch-point %d sink-id "
                  "0x%x restore-point %d",
                  GraphCameraUtil::print(&kernel).c_str(), slot, info.rcb, info.branch_point,
                  static_cast<unsigned>(info.sink_port), info.restore_point);
    return fillKernelValues(kernel, palUuid, enable, metadata, fill, slot);
}

// First pass over a program group's kernels, in document order.
Status storeKernels(QelPekUtils& utils, IGraphConfig& root, const IGraphConfig* pg,
                    ContextFill& fill, unsigned& kernelCount) {
    unsigned idSum = 0;
    kernelCount = 0;
    NodeIterator kernelNodes(pg);
    for (IGraphConfig* kernel = kernelNodes.iterateByType(kKeyKernel); kernel != nullptr;
         kernel = kernelNodes.iterateByType(kKeyKernel)) {
        ++kernelCount;
        const Status status = storeKernel(utils, root, pg, *kernel, fill, idSum);
        if (status != err_none) {
            return status;
        }
    }
    ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "PG: %s got %d kernels", GraphCameraUtil::print(pg).c_str(),
                  static_cast<int>(kernelCount));
    const int32_t slotEnd = fill.slotOffset + static_cast<int32_t>(kernelCount);
    if (QelPekUtils::kernelIdSanityCheck(idSum, kernelCount) != err_none ||
        slotEnd > fill.slotCount) {
        return err_data;
    }
    return err_none;
}

// A kernel that names a source node starts again from that node's size.
void restartAtSource(zo_isp_qel_resolution_info& history, const IGraphConfig& sourceNode) {
    int width = history.input_width;
    int height = history.input_height;
    // An unreadable size keeps the history's own, as a missing one does.
    (void)sourceNode.getValue(kKeyWidth, width);
    (void)sourceNode.getValue(kKeyHeight, height);
    history.input_width = history.output_width = width;
    history.input_height = history.output_height = height;
}

// Remembers the history after a kernel: at its branch point, or at the sink
// port it feeds.
void rememberHistory(const QelPekUtils::KernelInfo& k, const zo_isp_qel_resolution_info& history,
                     BranchPoints& branchPoints, QelPekUtils::PortHistoryMap& portHistories) {
    if (k.branch_point != 0 && k.sinkPortNode == nullptr) {
        branchPoints.insert({k.branch_point, history});
        return;
    }
    if (k.sinkPortNode == nullptr) {
        return;
    }
    if (k.branch_point != 0) {
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Branch point with kernel at edge has no effect");
    }
    portHistories[k.sinkPortNode] = history;
    ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Sink port %s info stored",
                  k.sinkPortNode->getName().c_str());
}

// Second pass, one slot: its enable state, the history in front of it and
// the history it hands on.
Status advanceHistory(ContextFill& fill, int32_t i,
                      const std::vector<KernelConfigContainer>& overrides,
                      BranchPoints& branchPoints, QelPekUtils::PortHistoryMap& portHistories) {
    const QelPekUtils::KernelInfo k = infoOf(fill.infos, i);
    zo_isp_qel_run_kernels& rk = fill.kernels[i];
    zo_isp_qel_resolution_info& history = fill.history;
    if (std::find(fill.disabledSlots.begin(), fill.disabledSlots.end(), static_cast<uint32_t>(i)) !=
        fill.disabledSlots.end()) {
        disableTowardsTerminal(fill.kernels, fill.infos, i);
    }
    QelPekUtils::applyKernelConfigs(overrides, rk);
    if (k.restore_point != -1) {
        const auto restored = branchPoints.find(k.restore_point);
        if (restored != branchPoints.end()) {
            history = restored->second;
        } else {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                          "Found restore_point attribute, but no branch points. "
                          "Ignoring attribute and continuing.");
        }
    }
    rk.resolution_history = fill.pool.histories[i];
    if (k.sourceNode != nullptr) {
        restartAtSource(history, *k.sourceNode);
    }
    if (rk.resolution_history == nullptr) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Error: We run out out resolution history items - BUG");
        return err_data;
    }
    *rk.resolution_history = history;
    if (rk.resolution_info != nullptr) {
        const Status status = passThroughKernel(history, *rk.resolution_info);
        if (status != err_none) {
            return status;
        }
    } else if (k.rcb == 1) {
        rk.resolution_info = fill.pool.infos[i];
        *rk.resolution_info = zo_isp_qel_resolution_info{};
        rk.resolution_info->input_width = rk.resolution_info->output_width = history.output_width;
        rk.resolution_info->input_height = rk.resolution_info->output_height =
            history.output_height;
    }
    rememberHistory(k, history, branchPoints, portHistories);
    return err_none;
}

// Second pass over the slots of one program group, in slot order.
Status walkHistories(ContextFill& fill, int32_t slotEnd,
                     const std::vector<KernelConfigContainer>& overrides,
                     QelPekUtils::PortHistoryMap& portHistories) {
    BranchPoints branchPoints;
    for (int32_t i = fill.slotOffset; i < slotEnd; ++i) {
        const Status status = advanceHistory(fill, i, overrides, branchPoints, portHistories);
        if (status != err_none) {
            return status;
        }
    }
    return err_none;
}

// Slots no kernel was found for stay empty.
void clearUnfilledSlots(ContextFill& fill) {
    for (int32_t i = fill.slotOffset; i < fill.slotCount; ++i) {
        fill.kernels[i].kernel_uuid = 0;
        fill.kernels[i].enable = kernel_enable_bypass;
        fill.kernels[i].resolution_info = nullptr;
        fill.kernels[i].resolution_history = nullptr;
    }
}

}  // namespace

Status QelPekUtils::kernelIdSanityCheck(unsigned idSum, unsigned count) {
    if (idSum != count * (count - 1) / 2) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
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
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Enter %s for ctx %d, index %d", "populateKernelArray",
                      ctxId, static_cast<int>(poolIndex));
        dumpResHistory(inputHistory, "inputHistory");
        dumpPortResHistoryMap(portHistories);
        const auto group = ctxKernelGroups.find(ctxId);
        if (kernels == nullptr || graphRoot == nullptr || group == ctxKernelGroups.end() ||
            poolIndex >= resolutionPools.size()) {
            return err_argument;
        }
        ContextFill fill{ctxId,
                         kernels,
                         resolutionPools[poolIndex],
                         static_cast<int32_t>(group->second.count),
                         inputHistory,
                         {},
                         {}};
        // The program groups of this context in graph order, up to the first
        // group of any context whose context does not read: the fill stops
        // there as a walk over every group would. Outside a generation the
        // index is made for this call.
        std::shared_ptr<const SubgraphBlocks> index = contextBlocks_;
        if (!index) {
            index =
                std::make_shared<const SubgraphBlocks>(contextKey(), kKeyProgramGroup, *graphRoot);
        }
        const std::vector<IGraphConfig*>& groups = index->withValue(ctxId);
        const size_t readable = index->countBeforeUnreadable(ctxId);
        bool first = true;
        for (size_t n = 0; n < readable; ++n) {
            IGraphConfig* pg = groups[n];
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Handling PG: %s",
                          GraphCameraUtil::print(pg).c_str());

            unsigned kernelCount = 0;
            Status status = storeKernels(*this, *graphRoot, pg, fill, kernelCount);
            if (status != err_none) {
                return status;
            }
            std::vector<KernelConfigContainer> overrides;
            status = ispUtils ? ispUtils->getKernelConfigurations(overrides) : err_notsupported;
            if (status != err_none) {
                // Generations without overrides answer err_notsupported: the
                // list is built without them.
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Getting kernel configurations failed(%d)",
                              status);
            }
            if (!first && kernelCount > 0) {
                status = getResHistoryForIntermediatePg(pg, fill.history, portHistories);
                if (status != err_none) {
                    return status;
                }
            }
            const int32_t slotEnd = fill.slotOffset + static_cast<int32_t>(kernelCount);
            status = walkHistories(fill, slotEnd, overrides, portHistories);
            if (status != err_none) {
                return status;
            }
            fill.slotOffset = slotEnd;
            first = false;
        }
        if (index->firstUnreadable() != nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get stream id from node %s",
                          index->firstUnreadable()->getName().c_str());
            return index->firstUnreadableStatus();
        }
        clearUnfilledSlots(fill);
        return err_none;
    });
}

}  // namespace VELT
