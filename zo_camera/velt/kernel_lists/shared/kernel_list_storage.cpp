// Allocation and release of the run-kernel arrays and resolution records.
#include "velt_qel_pek_utils.h"

#include "velt_graph_camera_util.h"
#include "velt_node_iterator.h"

#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/kernel_lists/shared/run_kernel_records.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo/zo_log_wanted.h"
#include "zo_rulo_memory.h"

namespace VELT {

Status QelPekUtils::countKernels() {
    NodeIterator blocks(graphRoot);
    while (blocks.iterateByType(kKeyHw) != nullptr) {
        // The hardware blocks share context 0, which gets one spare slot.
        ctxKernelGroups.insert({0, KernelGroupInfo{nullptr, 1}});
    }
    // Counted contexts without arrays would be handed out as null lists: a
    // failure releases everything counted so far.
    const auto outOfMemory = [this]() {
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Cannot allocate memory for kernel structures.");
        releaseKernelLists();
        return err_nomemory;
    };
    for (IGraphConfig* pg = blocks.iterateByType(kKeyProgramGroup); pg != nullptr;
         pg = blocks.iterateByType(kKeyProgramGroup)) {
        int ctxId = 0;
        const Status status = pg->getValue(contextKey(), ctxId);
        if (status != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Couldn't get stream id or exec ctx id for pg %s",
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
            group.kernels =
                records::allocateZeroed<zo_isp_qel_run_kernels>(group.count, "exec ctx kernels");
            resolutionPools.emplace_back();
            ResolutionMemPool& pool = resolutionPools.back();
            // A failed allocation leaves what was made to deleteKernelInfo().
            if ((group.count != 0 && group.kernels == nullptr) ||
                !records::allocateEach(pool.histories, group.count, "resolution history") ||
                !records::allocateEach(pool.infos, group.count, "resolution info")) {
                return err_nomemory;
            }
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Allocated %d kernels for exec ctx %d. Index: %d",
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
        kernels = records::allocateZeroed<zo_isp_qel_run_kernels>(kernelCount, "pg kernels");
        if (kernelCount != 0 && kernels == nullptr) {
            pgKernelGroups.erase(inserted.first);
            return err_nomemory;
        }
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Allocated %d kernels for pg %s",
                      static_cast<int>(kernelCount), GraphCameraUtil::print(pg).c_str());
        return err_none;
    });
}

void QelPekUtils::deleteKernelInfo() {
    guardVoid(__func__, [&] {
        size_t index = 0;
        for (auto& entry : ctxKernelGroups) {
            if (index < resolutionPools.size()) {
                records::releaseEach(resolutionPools[index].histories, "resolution history");
                records::releaseEach(resolutionPools[index].infos, "resolution info");
            }
            ++index;
            records::release(entry.second.kernels, "exec ctx kernels");
        }
        for (auto& entry : pgKernelGroups) {
            records::release(entry.second.kernels, "pg kernels");
        }
        pgKernelGroups.clear();
        resolutionPools.clear();
    });
}

}  // namespace VELT
