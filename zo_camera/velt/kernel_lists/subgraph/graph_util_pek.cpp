// The run-kernel arrays of GraphUtil: allocation per subgraph and per program
// group, filling from the inner graphs, the two queries and the release.
#include <algorithm>
#include <cstring>
#include <string>

#include "velt_graph_camera_util.h"
#include "velt_graph_util.h"
#include "velt_item_uid.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/kernel_lists/shared/run_kernel_records.h"
#include "zo_camera/velt/kernel_lists/subgraph/graph_util_common.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

using namespace analysis;

namespace {

constexpr char kSubgraphKernelsLabel[] = "subgraph kernels";
constexpr char kResolutionInfosLabel[] = "subgraph resolution infos";
constexpr char kResolutionHistoryLabel[] = "subgraph resolution history";
constexpr char kPgKernelsLabel[] = "subgraph pg kernels";

// An RCB kernel has one resolution info per output, any other kernel one.
size_t resolutionInfoCount(const ImagingNode& kernel) {
    if ((kernel.flags & imaging_flag_rcb) == 0) {
        return 1;
    }
    return std::max<size_t>(kernel.children.size(), 1);
}

// Gives the kernel the record with its own resolution records, all zeroed.
Status allocateKernelRecord(ImagingNode& kernel, zo_isp_qel_run_kernels& record,
                            KernelInfoMemPool& pool) {
    record = zo_isp_qel_run_kernels{};
    const size_t outputs = resolutionInfoCount(kernel);
    // The slot is made before the records, so that records whose slot cannot
    // be made are never left unowned when memory runs out.
    pool.resolutionInfos.push_back(nullptr);
    pool.resolutionInfos.back() =
        records::allocateZeroed<zo_isp_qel_resolution_info>(outputs, kResolutionInfosLabel);
    pool.resolutionHistories.push_back(nullptr);
    pool.resolutionHistories.back() =
        records::allocateZeroed<zo_isp_qel_resolution_info>(1, kResolutionHistoryLabel);
    if (pool.resolutionInfos.back() == nullptr || pool.resolutionHistories.back() == nullptr) {
        return err_nomemory;
    }
    record.resolution_info = pool.resolutionInfos.back();
    record.output_count = static_cast<uint32_t>(outputs);
    record.resolution_history = pool.resolutionHistories.back();
    kernel.pekRunKernel = &record;
    return err_none;
}

// The subgraph's array, one record per kernel node in inner-node key order.
// err_general when the subgraph has more kernel nodes than counted kernels.
Status allocateSubgraphPool(SubGraphInfo& sg, KernelInfoMemPool& pool) {
    const size_t count = sg.kernelCount;
    pool.runKernels = records::allocateZeroed<zo_isp_qel_run_kernels>(count, kSubgraphKernelsLabel);
    if (pool.runKernels == nullptr) {
        return err_nomemory;
    }
    pool.count = count;
    sg.runKernels = pool.runKernels;

    size_t next = 0;
    for (const auto& inner : sg.imagingNodes) {
        ImagingNode& node = *inner.second;
        if (node.type != imaging_kernel) {
            continue;
        }
        if (next == count) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                          "FATAL: number of subgraph kernels inconsistent with "
                          "number of imaging nodes");
            return err_general;
        }
        const Status status = allocateKernelRecord(node, pool.runKernels[next++], pool);
        if (status != err_none) {
            return status;
        }
    }
    return err_none;
}

// A fresh zeroed array for the program group, sized by its kernel elements.
Status allocatePgPool(const IGraphConfig* pg, KernelInfoMemPool& pool) {
    unsigned count = 0;
    if (GraphCameraUtil::getKernelCountInPg(pg, count) != err_none) {
        return err_general;
    }
    records::release(pool.runKernels, kPgKernelsLabel);
    pool.count = 0;
    if (count == 0) {
        return err_none;
    }
    pool.runKernels = records::allocateZeroed<zo_isp_qel_run_kernels>(count, kPgKernelsLabel);
    if (pool.runKernels == nullptr) {
        return err_nomemory;
    }
    pool.count = count;
    return err_none;
}

}  // namespace

Status GraphUtil::allocatePekData() {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        if (!mSubgraphPools.empty()) {
            ZO_MODULE_LOG(ZO_LOG_WARNING, velt, "Allocating kernel structures before deleting.");
            deletePekStructs();
        }

        // An inconsistent subgraph is reported, and the others are still walked.
        bool inconsistent = false;
        for (const auto& entry : mSubGraphs) {
            if (entry.second->kernelCount == 0) {
                continue;
            }
            const Status status = allocateSubgraphPool(*entry.second, mSubgraphPools[entry.first]);
            if (status == err_general) {
                inconsistent = true;
            } else if (status != err_none) {
                deletePekStructs();
                return status;
            }
        }
        if (inconsistent) {
            deletePekStructs();
            return err_general;
        }

        for (const auto& entry : mSubGraphs) {
            for (IGraphConfig* pg : entry.second->pgs) {
                const Status status = allocatePgPool(pg, mPgPools[pg]);
                if (status != err_none) {
                    deletePekStructs();
                    return status;
                }
            }
        }
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "PEK structure allocation succeeded !!");
        return err_none;
    });
}

Status GraphUtil::fillPekRunKernels(SubGraphInfo& sg) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Filling PEK run_kernels for subgraph %d", sg.streamId);
        for (const auto& entry : sg.imagingNodes) {
            ImagingNode& node = *entry.second;
            if (node.type != imaging_kernel) {
                continue;
            }
            zo_isp_qel_run_kernels* record = node.pekRunKernel;
            if (record == nullptr) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Kernel %s has no run-kernel record - BUG",
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
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                              "Calculated number of res Infos (%ld) for kernel %s does not match "
                              "allocated(%u) - BUG",
                              static_cast<long>(infos), node.name.c_str(), record->output_count);
                return err_internal;
            }
            size_t slot = 0;
            for (const auto& info : node.outputResInfos) {
                record->resolution_info[slot++] = info.second;
            }
        }
        return err_none;
    });
}

Status GraphUtil::getPekData(int subgraphId, zo_isp_qel_program_group& group) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        const auto found = mSubGraphs.find(subgraphId);
        if (found == mSubGraphs.end() || !mPekDataReady) {
            // Without a successful analysis the arrays are freed or incomplete.
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Invalid subgraph(%s) id %d",
                          ItemUID::key2str(mSubgraphType), subgraphId);
            return err_data;
        }
        const SubGraphInfo& sg = *found->second;
        group.kernel_count = static_cast<uint32_t>(sg.kernelCount);
        group.run_kernels = sg.runKernels;
        group.tuning_mode = sg.tuningMode;
        return err_none;
    });
}

Status GraphUtil::getPgPekData(const IGraphConfig* pg, zo_isp_qel_program_group& group) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        const std::string pgName = pg != nullptr ? pg->getName() : std::string("(null)");
        if (!mPekDataReady) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Could not find the PG %s in the Subgraphs map",
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
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Could not find the PG %s in the Subgraphs map",
                          pgName.c_str());
            return err_argument;
        }
        const auto poolEntry = mPgPools.find(pg);
        if (poolEntry == mPgPools.end()) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Could not find the PG %s in the PG memory pool map",
                          pgName.c_str());
            return err_argument;
        }
        const KernelInfoMemPool& pool = poolEntry->second;
        group.kernel_count = static_cast<uint32_t>(pool.count);
        group.run_kernels = pool.runKernels;
        int tuningMode = 0;
        if (pg->getValue(kKeyTuningMode, tuningMode) != err_none) {
            ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                          "Could not find the tuning mode for PG %s default to 0", pgName.c_str());
            tuningMode = 0;
        }
        group.tuning_mode = tuningMode;

        size_t index = 0;
        NodeIterator kernels(pg);
        while (IGraphConfig* kernel = kernels.iterateByType(kKeyKernel)) {
            int palUuid = 0;
            if (kernel->getValue(kKeyPalUuid, palUuid) != err_none) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Could not find the pal uuid for kernel %s",
                              kernel->getName().c_str());
                return err_internal;
            }
            std::string name;
            if (kernel->getValue(kKeyName, name) != err_none) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "getPgPekData - Failed to get kernel Name");
                return err_internal;
            }
            if (index >= pool.count) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "over the max kernel number");
                continue;
            }
            const auto inner = sg->imagingNodes.find(pgName + ":" + name);
            if (inner != sg->imagingNodes.end() && inner->second->pekRunKernel != nullptr) {
                pool.runKernels[index] = *inner->second->pekRunKernel;
            }
            ++index;
        }
        return err_none;
    });
}

void GraphUtil::deletePekStructs() {
    for (auto& entry : mSubgraphPools) {
        KernelInfoMemPool& pool = entry.second;
        records::releaseEach(pool.resolutionHistories, kResolutionHistoryLabel);
        records::releaseEach(pool.resolutionInfos, kResolutionInfosLabel);
        records::release(pool.runKernels, kSubgraphKernelsLabel);
    }
    for (auto& entry : mPgPools) {
        records::release(entry.second.runKernels, kPgKernelsLabel);
    }
    mSubgraphPools.clear();
    mPgPools.clear();

    // Nothing may point at the freed arrays any more.
    for (const auto& entry : mSubGraphs) {
        entry.second->runKernels = nullptr;
        for (const auto& inner : entry.second->imagingNodes) {
            inner.second->pekRunKernel = nullptr;
        }
    }
    mPekDataReady = false;
}

}  // namespace VELT
