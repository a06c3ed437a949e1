// The kernel-list builder's state, generation test and queries.
#include "velt_qel_pek_utils.h"

#include <algorithm>
#include <cstring>

#include "velt_graph_camera_util.h"
#include "velt_node_iterator.h"

#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

QelPekUtils::QelPekUtils(bool useStreamIdKey)
    : inputHistory{},
      graphRoot(nullptr),
      useStreamIdKey(useStreamIdKey),
      hwGeneration(kGdfVersionNone) {}

QelPekUtils::~QelPekUtils() {
    releaseKernelLists();
    ispUtils.reset();
}

uint32_t QelPekUtils::contextKey() const {
    return useStreamIdKey ? kKeyStreamId : kKeyExecCtxId;
}

bool QelPekUtils::detectNewGraphVersion() {
    return guardValue<bool>(__func__, false, [&]() -> bool {
        if (!ispUtils) {
            return false;
        }
        hwGeneration = ispUtils->getOrbaVersion();
        return hwGeneration > kGdfVersionOrba5;
    });
}

bool QelPekUtils::nodesHaveKernelLinks() {
    return guardValue<bool>(__func__, false, [&]() -> bool {
        NodeIterator groups(graphRoot);
        for (IGraphConfig* pg = groups.iterateByType(kKeyProgramGroup); pg != nullptr;
             pg = groups.iterateByType(kKeyProgramGroup)) {
            if (pg->getDescendant(kKeyKlink) != nullptr) {
                // Kernel links are how newer graphs describe a program group.
                hwGeneration = kGdfVersionOrba6;
                return true;
            }
        }
        return false;
    });
}

Status QelPekUtils::getProgramGroup(int id, zo_isp_qel_program_group& group) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        group.kernel_count = 0;
        if (graphUtil.isActive()) {
            return graphUtil.getPekData(id, group);
        }
        if (id < 0) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Invalid stream id %d", id);
            return err_none;
        }
        const auto found = ctxKernelGroups.find(id);
        if (found == ctxKernelGroups.end()) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "No kernels found with stream id %d", id);
            return err_none;
        }
        group.run_kernels = found->second.kernels;
        group.kernel_count = found->second.count;
        group.tuning_mode = 0;
        return err_none;
    });
}

Status QelPekUtils::getProgramGroup(const IGraphConfig* pg, zo_isp_qel_program_group& group) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        if (pg == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Invalid parameter provided (nullptr)");
            return err_argument;
        }
        group.kernel_count = 0;
        group.tuning_mode = 0;
        group.run_kernels = nullptr;
        if (graphUtil.isActive()) {
            return graphUtil.getPgPekData(pg, group);
        }
        const auto pgGroup = pgKernelGroups.find(pg);
        if (pgGroup == pgKernelGroups.end()) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Could not find the PG %s in the PG memory pool map",
                          pg->getName().c_str());
            return err_argument;
        }
        group.kernel_count = pgGroup->second.count;
        group.run_kernels = pgGroup->second.kernels;

        // The context's array is found by the key the contexts were counted by.
        int ctxId = -1;
        (void)pg->getValue(contextKey(), ctxId);
        const auto ctx = ctxKernelGroups.find(ctxId);
        if (ctx == ctxKernelGroups.end()) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                          "Could not find the stream id %d. Cannot get kernel count.", ctxId);
            return err_argument;
        }
        const zo_isp_qel_run_kernels* ctxBegin = ctx->second.kernels;
        const zo_isp_qel_run_kernels* ctxEnd = ctxBegin + (ctxBegin ? ctx->second.count : 0);
        NodeIterator kernels(pg);
        for (IGraphConfig* kernel = kernels.iterateByType(kKeyKernel); kernel != nullptr;
             kernel = kernels.iterateByType(kKeyKernel)) {
            int palUuid = 0;
            int id = 0;
            if (kernel->getValue(kKeyPalUuid, palUuid) != err_none ||
                kernel->getValue(kKeyId, id) != err_none) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to get pal uuid or kernel id.");
                return err_data;
            }
            if (id < 0 || static_cast<uint32_t>(id) >= group.kernel_count) {
                continue;
            }
            const auto* record =
                std::find_if(ctxBegin, ctxEnd, [palUuid](const zo_isp_qel_run_kernels& rk) {
                    return rk.kernel_uuid == static_cast<uint32_t>(palUuid);
                });
            if (record != ctxEnd) {
                std::memcpy(&group.run_kernels[id], record, sizeof(*record));
            }
        }
        return err_none;
    });
}

Status QelPekUtils::getSourceResolutionHistory(zo_isp_qel_resolution_info& history) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        history = graphUtil.isActive() ? graphUtil.sourceResolutionHistory() : inputHistory;
        return err_none;
    });
}

Status QelPekUtils::collectNodesIntAttribute(std::vector<int32_t>& values, uint32_t key,
                                             uint32_t type) const {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        NodeIterator nodes(graphRoot);
        for (IGraphConfig* node = nodes.iterateByType(type); node != nullptr;
             node = nodes.iterateByType(type)) {
            int value = 0;
            if (node->getValue(key, value) == err_none &&
                std::find(values.begin(), values.end(), value) == values.end()) {
                values.push_back(value);
            }
        }
        return err_none;
    });
}

Status QelPekUtils::getStreamIds(std::vector<int32_t>& ids, bool sinks) const {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        const uint32_t type = sinks                             ? kKeySink
                              : hwGeneration < kGdfVersionOrba7 ? kKeyProgramGroup
                                                                : kKeyComputeBlock;
        return collectNodesIntAttribute(ids, kKeyStreamId, type);
    });
}

Status QelPekUtils::handleSinkPort(KernelInfo& info, const IGraphConfig* pg,
                                   std::vector<uint32_t>& disabledSlots, uint32_t slot) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        info.sinkPortNode = GraphCameraUtil::nodeGetPortById(pg, info.sink_port);
        if (info.sinkPortNode == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Kernel sink port id %d invalid", info.sink_port);
            return err_argument;
        }
        int enabled = 1;
        if (info.sinkPortNode->getValue(kKeyEnabled, enabled) == err_none && enabled == 0) {
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt,
                          "Found disabled terminal %d, going to disable its kernels.",
                          info.sink_port);
            disabledSlots.push_back(slot);
        }
        return err_none;
    });
}

void QelPekUtils::dumpKernels(int id) {
    guardVoid(__func__, [&] {
        if (graphUtil.isActive()) {
            graphUtil.dumpKernels(id);
            return;
        }
        const auto found = ctxKernelGroups.find(id);
        if (found == ctxKernelGroups.end()) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "COULD NOT FIND index for exec ctx id %d ", id);
            return;
        }
        const char* const line = "=======================================================";
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "%s", line);
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "FOUND index for exec ctx id %d dumping %u kernels:", id,
                      found->second.count);
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "%s", line);
        dumpKernels(found->second.kernels, found->second.count);
    });
}

}  // namespace VELT
