// Per-stream routing summary: the program groups (or compute blocks) of each
// stream with their RBM.
#include <string>

#include "velt_qel_pek_utils.h"

#include "velt_item_uid.h"
#include "velt_node_iterator.h"

#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

Status QelPekUtils::getRoutingInfo(RoutingInfo& routing) {
    return guardStatus(__func__, err_general, [&]() -> Status {
        routing.clear();
        const uint32_t type = hwGeneration < kGdfVersionOrba7 ? kKeyProgramGroup : kKeyComputeBlock;
        NodeIterator blocks(graphRoot);
        for (IGraphConfig* block = blocks.iterateByType(type); block != nullptr;
             block = blocks.iterateByType(type)) {
            const std::string name = block->getName();
            int streamId = 0;
            if (block->getValue(kKeyStreamId, streamId) != err_none) {
                ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                              "PG %s does not have stream id defined default to 0", name.c_str());
                streamId = 0;
            }
            int pgId = 0;
            if (block->getValue(kKeyPgId, pgId) != err_none) {
                ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                              "PG %s does not have PG/CB id defined default to 0", name.c_str());
                pgId = 0;
            }
            std::string rbm;
            if (block->getValue(ItemUID({kKeyPifo, kKeyRbm}), rbm) != err_none) {
                ZO_MODULE_LOG(ZO_LOG_WARNING, velt, "PG %s does not have RBM defined default 0",
                              name.c_str());
                rbm = "0";
            }
            routing[streamId].emplace_back(pgId, rbm);
        }
        return err_none;
    });
}

}  // namespace VELT
