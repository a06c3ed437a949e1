// Demuxer outputs and muxer inputs selected in the blocks of one stream.
#include <map>
#include <string>

#include "velt_item_uid.h"
#include "velt_node_iterator.h"
#include "velt_qel_pek_sim_utils.h"
#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

namespace {

// Newer graphs group their kernels in compute blocks instead of program groups.
uint32_t muxOwnerType(const IGraphConfig& graph) {
    std::string version;
    if (graph.getValue(ItemUID({kKeyGraph, kKeyVersion}), version) == err_none &&
        version.find("ORBA7") != std::string::npos) {
        return kKeyComputeBlock;
    }
    return kKeyProgramGroup;
}

// config[name] = the selection under selectionKey of every child of the given type.
int readSelections(const IGraphConfig* block, uint32_t type, uint32_t selectionKey,
                   const char* failure, std::map<std::string, unsigned>& config) {
    NodeIterator iterator(block);
    for (IGraphConfig* mux = iterator.iterateByType(type); mux;
         mux = iterator.iterateByType(type)) {
        int selection = 0;
        const std::string name = mux->getName();
        if (mux->getValue(selectionKey, selection) != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, veltPekSimulationUtils, failure, name.c_str());
            return err_internal;
        }
        config[name] = static_cast<unsigned>(selection);
    }
    return err_none;
}

}  // namespace

int QelPekSimUtils::getMuxConfiguration(const IGraphConfig* graph, int streamId,
                                        std::map<std::string, unsigned>& config) {
    return guardStatus(__func__, err_general, [&]() -> int {
        if (!graph) {
            return err_argument;
        }
        const uint32_t ownerType = muxOwnerType(*graph);
        ZO_MODULE_LOG(ZO_LOG_DEBUG, veltPekSimulationUtils,
                      "Getting mux config from nodes of type %s", ItemUID::key2str(ownerType));
        NodeIterator blocks(graph);
        for (IGraphConfig* block = blocks.iterateByType(ownerType); block;
             block = blocks.iterateByType(ownerType)) {
            int blockStream = -1;
            block->getValue(kKeyStreamId, blockStream);
            if (blockStream != streamId) {
                continue;
            }
            int status = readSelections(block, kKeyDemux, kKeyActiveOutput,
                                        "Failed to get active output for demuxer %s", config);
            if (status == err_none) {
                status = readSelections(block, kKeyMux, kKeyActiveInput,
                                        "Failed to get active input for muxer %s", config);
            }
            if (status != err_none) {
                return status;
            }
        }
        return err_none;
    });
}

}  // namespace VELT
