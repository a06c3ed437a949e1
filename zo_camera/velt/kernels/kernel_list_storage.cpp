// Allocation and release of the run-kernel arrays and resolution records.
#include "velt_qel_pek_utils.h"

#include "velt_graph_camera_util.h"
#include "velt_node_iterator.h"

#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/tree/tree_log.h"
#include "zo_rulo/zo_log_wanted.h"
#include "zo_rulo_memory.h"

namespace VELT {

namespace {

template <typename Record>
Record* allocateZeroed(size_t count, const char* label) {
    if (count == 0) {
        return nullptr;
    }
    return static_cast<Record*>(ZO_CALLOC(count, sizeof(Record), label));
}

// One zeroed record per slot; false when an allocation fails.
bool allocateRecords(std::vector<zo_isp_qel_resolution_info*>& records, size_t count,
                     const char* label) {
    records.assign(count, nullptr);
    for (auto& record : records) {
        record = allocateZeroed<zo_isp_qel_resolution_info>(1, label);
        if (record == nullptr) {
            return false;
        }
    }
    return true;
}

void freeRecords(std::vector<zo_isp_qel_resolution_info*>& records, const char* label) {
    for (auto& record : records) {
        ZO_FREE(record, label);
        record = nullptr;
    }
}

}  // namespace

Status QelPekUtils::countKernels() {
    NodeIterator blocks(graphRoot);
    while (blocks.iterateByType(kKeyHw) != nullptr) {
        // The hardware blocks share context 0, which gets one spare slot.
        ctxKernelGroups.insert({0, KernelGroupInfo{nullptr, 1}});
    }
    // Counted contexts without arrays would be handed out as null lists: a
    // failure releases everything counted so far.
    const auto outOfMemory = [this]() {
        zo_log_common_debug(ZO_LOG_DEBUG, kTreeTag,
                            "Cannot allocate memory for kernel structures.");
        releaseKernelLists();
        return err_nomemory;
    };
    for (IGraphConfig* pg = blocks.iterateByType(kKeyProgramGroup); pg != nullptr;
         pg = blocks.iterateByType(kKeyProgramGroup)) {
        int ctxId = 0;
        const Status status = pg->getValue(contextKey(), ctxId);
        if (status != err_none) {
            ZO_LOG_IF_WANTED(ZO_LOG_ERROR, kTreeTag,
                             "Couldn't get stream id or exec ctx id for pg %s",
                             pg->getName().c_str());
            releaseKernelLists();
            return status;
        }
        unsigned kernels = 0;
        NodeIterator kernelNodes(pg);
        while (kernelNodes.iterateByType(kKeyKernel) != nullptr) {
            const auto inserted = ctxKernelGroups.insert({ctxId, KernelGroupInfo{nullptr, 1}});
            if (!inserted.second) {
                ++inserted.first->second.count;
            }
            ++kernels;
        }
        if (createPerPgKernelListStructures(pg, kernels) != err_none) {
            return outOfMemory();
        }
    }
    if (createKernelListStructures() != err_none) {
        return outOfMemory();
    }
    return err_none;
}

void QelPekUtils::releaseKernelLists() {
    // deleteKernelInfo() finds the arrays through ctxKernelGroups: clear after it.
    deleteKernelInfo();
    execCtxIndexMap.clear();
    ctxKernelGroups.clear();
}

Status QelPekUtils::createKernelListStructures() {
    return guardStatus(__func__, err_nomemory, [&]() -> Status {
        execCtxIndexMap.clear();
        uint32_t index = 0;
        for (auto& entry : ctxKernelGroups) {
            KernelGroupInfo& group = entry.second;
            group.kernels = allocateZeroed<zo_isp_qel_run_kernels>(group.count, "exec ctx kernels");
            resolutionPools.emplace_back();
            ResolutionMemPool& pool = resolutionPools.back();
            // A failed allocation leaves what was made to deleteKernelInfo().
            if ((group.count != 0 && group.kernels == nullptr) ||
                !allocateRecords(pool.histories, group.count, "resolution history") ||
                !allocateRecords(pool.infos, group.count, "resolution info")) {
                return err_nomemory;
            }
            zo_log_common_debug(
                ZO_LOG_DEBUG, kTreeTag, "Allocated %d kernels for exec ctx %d. Index: %d",
                static_cast<int>(group.count), entry.first, static_cast<int>(index));
            execCtxIndexMap.insert({entry.first, index});
            ++index;
        }
        return err_none;
    });
}

Status QelPekUtils::createPerPgKernelListStructures(const IGraphConfig* pg, unsigned kernelCount) {
    return guardStatus(__func__, err_nomemory, [&]() -> Status {
        // The map owns the array from the moment it exists, so nothing that
        // fails later (the message's name can throw std::bad_alloc) leaks it.
        const auto inserted = pgKernelGroups.insert({pg, KernelGroupInfo{nullptr, kernelCount}});
        if (!inserted.second) {
            return err_none;
        }
        auto*& kernels = inserted.first->second.kernels;
        kernels = allocateZeroed<zo_isp_qel_run_kernels>(kernelCount, "pg kernels");
        if (kernelCount != 0 && kernels == nullptr) {
            pgKernelGroups.erase(inserted.first);
            return err_nomemory;
        }
        ZO_LOG_IF_WANTED(ZO_LOG_DEBUG, kTreeTag, "Allocated %d kernels for pg %s",
                         static_cast<int>(kernelCount), GraphCameraUtil::print(pg).c_str());
        return err_none;
    });
}

void QelPekUtils::deleteKernelInfo() {
    guardVoid(__func__, [&] {
        size_t index = 0;
        for (auto& entry : ctxKernelGroups) {
            if (index < resolutionPools.size()) {
                freeRecords(resolutionPools[index].histories, "resolution history");
                freeRecords(resolutionPools[index].infos, "resolution info");
            }
            ++index;
            ZO_FREE(entry.second.kernels, "exec ctx kernels");
            entry.second.kernels = nullptr;
        }
        for (auto& entry : pgKernelGroups) {
            ZO_FREE(entry.second.kernels, "pg kernels");
        }
        pgKernelGroups.clear();
        resolutionPools.clear();
    });
}

}  // namespace VELT
