// The run-kernel arrays of GraphUtil: allocation per subgraph and per program
// group, filling from the inner graphs, the two queries and the release.
#include <algorithm>
#include <cstring>
#include <string>

#include "velt_graph_camera_util.h"
#include "velt_graph_util.h"
#include "velt_item_uid.h"
#include "zo_camera/velt/analysis/graph_util_common.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

using namespace analysis;

int GraphUtil::allocatePekData() {
    return guardStatus(__func__, err_internal, [&]() -> int {
        if (!mSubgraphPools.empty()) {
            zo_log_common_debug(ZO_LOG_WARNING, kTag,
                                "Allocating kernel structures before deleting.");
            deletePekStructs();
        }

        bool inconsistent = false;
        for (const auto& entry : mSubGraphs) {
            SubGraphInfo& sg = *entry.second;
            const size_t count = sg.kernelCount;
            if (count == 0)
                continue;
            KernelInfoMemPool& pool = mSubgraphPools[entry.first];
            pool.runKernels = new zo_isp_qel_run_kernels[count]();
            pool.count = count;
            sg.runKernels = pool.runKernels;

            size_t next = 0;
            for (const auto& inner : sg.imagingNodes) {
                ImagingNode& node = *inner.second;
                if (node.type != imaging_kernel)
                    continue;
                if (next == count) {
                    zo_log_common_debug(ZO_LOG_ERROR, kTag,
                                        "FATAL: number of subgraph kernels inconsistent with "
                                        "number of imaging nodes");
                    inconsistent = true;
                    break;
                }
                zo_isp_qel_run_kernels& record = pool.runKernels[next++];
                record = zo_isp_qel_run_kernels{};
                // An RCB kernel has one resolution info per output.
                const size_t outputs = (node.flags & imaging_flag_rcb) != 0
                                           ? std::max<size_t>(node.children.size(), 1)
                                           : 1;
                // The slot is made before the record, so that a record whose slot
                // cannot be made is never left unowned when memory runs out.
                pool.resolutionInfos.push_back(nullptr);
                pool.resolutionInfos.back() = new zo_isp_qel_resolution_info[outputs]();
                record.resolution_info = pool.resolutionInfos.back();
                record.output_count = static_cast<uint32_t>(outputs);
                pool.resolutionHistories.push_back(nullptr);
                pool.resolutionHistories.back() = new zo_isp_qel_resolution_info();
                record.resolution_history = pool.resolutionHistories.back();
                node.pekRunKernel = &record;
            }
        }
        if (inconsistent) {
            deletePekStructs();
            return err_general;
        }

        for (const auto& entry : mSubGraphs) {
            for (IGraphConfig* pg : entry.second->pgs) {
                unsigned count = 0;
                if (GraphCameraUtil::getKernelCountInPg(pg, count) != 0) {
                    deletePekStructs();
                    return err_general;
                }
                KernelInfoMemPool& pool = mPgPools[pg];
                delete[] pool.runKernels;
                // Not left dangling should the new array not be made.
                pool.runKernels = nullptr;
                pool.runKernels = new zo_isp_qel_run_kernels[count]();
                pool.count = count;
            }
        }
        zo_log_common_debug(ZO_LOG_DEBUG, kTag, "PEK structure allocation succeeded !!");
        return 0;
    });
}

int GraphUtil::fillPekRunKernels(SubGraphInfo& sg) {
    return guardStatus(__func__, err_internal, [&]() -> int {
        zo_log_common_debug(ZO_LOG_DEBUG, kTag, "Filling PEK run_kernels for subgraph %d",
                            sg.streamId);
        for (const auto& entry : sg.imagingNodes) {
            ImagingNode& node = *entry.second;
            if (node.type != imaging_kernel)
                continue;
            zo_isp_qel_run_kernels* record = node.pekRunKernel;
            if (record == nullptr) {
                zo_log_common_debug(ZO_LOG_ERROR, kTag, "Kernel %s has no run-kernel record - BUG",
                                    node.name.c_str());
                return err_internal;
            }
            record->stream_id = node.runKernel.stream_id;
            record->kernel_uuid = node.runKernel.kernel_uuid;
            record->enable = node.runKernel.enable;
            std::memcpy(&record->bpp_info, &node.runKernel.bpp_info, sizeof(record->bpp_info));
            std::memcpy(record->metadata, node.runKernel.metadata, sizeof(record->metadata));
            *record->resolution_history = node.resHistory;

            const size_t infos = node.outputResInfos.size();
            if (infos == 0) {
                record->resolution_info = nullptr;
                continue;
            }
            if (infos != record->output_count || record->resolution_info == nullptr) {
                zo_log_common_debug(
                    ZO_LOG_ERROR, kTag,
                    "Calculated number of res Infos (%ld) for kernel %s does not match "
                    "allocated(%u) - BUG",
                    static_cast<long>(infos), node.name.c_str(), record->output_count);
                return err_internal;
            }
            size_t slot = 0;
            for (const auto& info : node.outputResInfos)
                record->resolution_info[slot++] = info.second;
        }
        return 0;
    });
}

int GraphUtil::getPekData(int subgraphId, zo_isp_qel_program_group& group) {
    return guardStatus(__func__, err_internal, [&]() -> int {
        const auto found = mSubGraphs.find(subgraphId);
        if (found == mSubGraphs.end() || !mPekDataReady) {
            // Without a successful analysis the arrays are freed or incomplete.
            zo_log_common_debug(ZO_LOG_ERROR, kTag, "Invalid subgraph(%s) id %d",
                                ItemUID::key2str(mSubgraphType), subgraphId);
            return err_data;
        }
        const SubGraphInfo& sg = *found->second;
        group.kernel_count = static_cast<uint32_t>(sg.kernelCount);
        group.run_kernels = sg.runKernels;
        group.tuning_mode = sg.tuningMode;
        return 0;
    });
}

int GraphUtil::getPgPekData(const IGraphConfig* pg, zo_isp_qel_program_group& group) {
    return guardStatus(__func__, err_internal, [&]() -> int {
        const std::string pgName = pg != nullptr ? pg->getName() : std::string("(null)");
        if (!mPekDataReady) {
            zo_log_common_debug(ZO_LOG_ERROR, kTag, "Could not find the PG %s in the Subgraphs map",
                                pgName.c_str());
            return err_argument;
        }
        SubGraphInfo* sg = nullptr;
        for (const auto& entry : mSubGraphs) {
            const auto& pgs = entry.second->pgs;
            if (pg != nullptr && std::find(pgs.begin(), pgs.end(), pg) != pgs.end()) {
                sg = entry.second.get();
                break;
            }
        }
        if (sg == nullptr) {
            zo_log_common_debug(ZO_LOG_ERROR, kTag, "Could not find the PG %s in the Subgraphs map",
                                pgName.c_str());
            return err_argument;
        }
        const auto poolEntry = mPgPools.find(pg);
        if (poolEntry == mPgPools.end()) {
            ZO_LOG_IF_WANTED(ZO_LOG_ERROR, kTag,
                             "Could not find the PG %s in the PG memory pool map", pgName.c_str());
            return err_argument;
        }
        const KernelInfoMemPool& pool = poolEntry->second;
        group.kernel_count = static_cast<uint32_t>(pool.count);
        group.run_kernels = pool.runKernels;
        int tuningMode = 0;
        if (pg->getValue(kKeyTuningMode, tuningMode) != 0) {
            zo_log_common_debug(ZO_LOG_WARNING, kTag,
                                "Could not find the tuning mode for PG %s default to 0",
                                pgName.c_str());
            tuningMode = 0;
        }
        group.tuning_mode = tuningMode;

        size_t index = 0;
        NodeIterator kernels(pg);
        while (IGraphConfig* kernel = kernels.iterateByType(kKeyKernel)) {
            int palUuid = 0;
            if (kernel->getValue(kKeyPalUuid, palUuid) != 0) {
                ZO_LOG_IF_WANTED(ZO_LOG_ERROR, kTag, "Could not find the pal uuid for kernel %s",
                                 kernel->getName().c_str());
                return err_internal;
            }
            std::string name;
            if (kernel->getValue(kKeyName, name) != 0) {
                zo_log_common_debug(ZO_LOG_ERROR, kTag, "getPgPekData - Failed to get kernel Name");
                return err_internal;
            }
            if (index >= pool.count) {
                zo_log_common_debug(ZO_LOG_ERROR, kTag, "over the max kernel number");
                continue;
            }
            const auto inner = sg->imagingNodes.find(pgName + ":" + name);
            if (inner != sg->imagingNodes.end() && inner->second->pekRunKernel != nullptr)
                pool.runKernels[index] = *inner->second->pekRunKernel;
            ++index;
        }
        return 0;
    });
}

void GraphUtil::deletePekStructs() {
    for (auto& entry : mSubgraphPools) {
        KernelInfoMemPool& pool = entry.second;
        for (zo_isp_qel_resolution_info* history : pool.resolutionHistories)
            delete history;
        for (zo_isp_qel_resolution_info* infos : pool.resolutionInfos)
            delete[] infos;
        delete[] pool.runKernels;
    }
    for (auto& entry : mPgPools)
        delete[] entry.second.runKernels;
    mSubgraphPools.clear();
    mPgPools.clear();

    // Nothing may point at the freed arrays any more.
    for (const auto& entry : mSubGraphs) {
        entry.second->runKernels = nullptr;
        for (const auto& inner : entry.second->imagingNodes)
            inner.second->pekRunKernel = nullptr;
    }
    mPekDataReady = false;
}

}  // namespace VELT
