// Kernel names and PAL uuids of program groups, for simulation tools.
#include <set>
#include <string>
#include <vector>

#include "velt_node_iterator.h"
#include "velt_qel_pek_sim_utils.h"
#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

int QelPekSimUtils::getKernelPalUuid(const IGraphConfig* graph, const std::string& kernelName,
                                     int& palUuid) {
    return guardStatus(__func__, err_general, [&]() -> int {
        if (!graph) {
            return err_argument;
        }
        int status = err_none;
        NodeIterator programGroups(graph->getRoot());
        for (IGraphConfig* pg = programGroups.iterateByType(kKeyProgramGroup); pg;
             pg = programGroups.iterateByType(kKeyProgramGroup)) {
            NodeIterator kernels(pg);
            for (IGraphConfig* kernel = kernels.iterateByType(kKeyKernel); kernel;
                 kernel = kernels.iterateByType(kKeyKernel)) {
                std::string name;
                status = kernel->getValue(kKeyName, name);
                if (status != err_none || name != kernelName) {
                    continue;
                }
                status = kernel->getValue(kKeyPalUuid, palUuid);
                if (status != err_none) {
                    ZO_MODULE_LOG(ZO_LOG_ERROR, veltPekSimulationUtils,
                                  "Couldn't get pal uuid for %s", kernelName.c_str());
                }
                return status;
            }
        }
        ZO_MODULE_LOG(ZO_LOG_ERROR, veltPekSimulationUtils, "Couldn't find %s", kernelName.c_str());
        return status;
    });
}

int QelPekSimUtils::getKernelInfoList(const IGraphConfig& pg, std::vector<KernelInfo>& kernels) {
    return guardStatus(__func__, err_general, [&]() -> int {
        NodeIterator iterator(&pg);
        for (IGraphConfig* kernel = iterator.iterateByType(kKeyKernel); kernel;
             kernel = iterator.iterateByType(kKeyKernel)) {
            KernelInfo info{std::string(), 0};
            int nameStatus = kernel->getValue(kKeyName, info.name);
            int uuidStatus = kernel->getValue(kKeyPalUuid, info.palUuid);
            if (nameStatus != err_none || uuidStatus != err_none) {
                return nameStatus | uuidStatus;
            }
            kernels.push_back(info);
        }
        return err_none;
    });
}

int QelPekSimUtils::getKernelList(const IGraphConfig* descriptor, int graphId, int streamId,
                                  std::vector<KernelInfo>& kernels) {
    return guardStatus(__func__, err_general, [&]() -> int {
        std::set<IGraphConfig*> programGroups;
        int status = getPgsInGraph(descriptor, graphId, programGroups);
        if (status != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, veltPekSimulationUtils,
                          "Error retrieving pg from graph info!");
            return status;
        }
        // In document order, not in the set's order of addresses, so the list is
        // the same from run to run.
        IGraphConfig* nodes = descriptor->getRoot()->getDescendant(kKeyNodes);
        NodeIterator blocks(nodes);
        for (IGraphConfig* pg = blocks.iterateDescendants(); pg != nullptr;
             pg = blocks.iterateDescendants()) {
            if (programGroups.count(pg) == 0) {
                continue;
            }
            int pgStream = 0;
            pg->getValue(kKeyStreamId, pgStream);
            if (pgStream == streamId) {
                getKernelInfoList(*pg, kernels);
            }
        }
        return err_none;
    });
}

}  // namespace VELT
