// The input port of an execution context, looked up in the program groups
// indexed by context while the kernel lists are generated.
#include "velt_qel_pek_utils.h"

#include "velt_graph_camera_util.h"
#include "velt_keys.h"
#include "zo_camera/velt/access/subgraph_blocks.h"

namespace VELT {

Status QelPekUtils::contextInputPort(int32_t ctx, IGraphConfig** port) const {
    if (contextBlocks_ && graphRoot != nullptr && port != nullptr) {
        return subgraphInputPort(*contextBlocks_, ctx, port);
    }
    return GraphCameraUtil::getInputPort(contextKey(), ctx, graphRoot, port, kKeyProgramGroup);
}

}  // namespace VELT
