// Merging one subtree into another: settings into copied descriptor nodes,
// sensor modes into the sensor, option apply subtrees into a graph. The item
// rules are the tree's (tree/subtree_merge.h); what is added here is handing
// an output port's settings on to its peer.
#include <string>

#include "velt_graph_query_utils.h"
#include "velt_keys.h"
#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/tree/subtree_merge.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

namespace {

SubtreeMergeRules rulesOf(signed char flags);

// An output port hands its settings on to what it feeds: everything missing
// into a virtual sink, overwritten values into an input port.
int mergeIntoPeer(GraphConfigNode* port) {
    int direction = 0;
    if (port->getValue(kKeyDirection, direction) != 0 || direction != 1) {
        return err_none;
    }
    GraphConfigNode* peer = GraphQueryUtils::getPortPeer(port);
    if (peer == nullptr) {
        return err_none;
    }
    std::string type;
    peer->getValue(kKeyType, type);
    const signed char flags =
        type == "sink" ? GraphQueryUtils::kMergeAddNodes : GraphQueryUtils::kMergeDeep;
    return mergeSubtree(peer, port, rulesOf(flags));
}

SubtreeMergeRules rulesOf(signed char flags) {
    SubtreeMergeRules rules;
    rules.addNodes = (flags & GraphQueryUtils::kMergeAddNodes) != 0;
    rules.applyOptions = (flags & GraphQueryUtils::kMergeApplyOptions) != 0;
    rules.deep = (flags & GraphQueryUtils::kMergeDeep) != 0;
    if ((flags & GraphQueryUtils::kMergeIntoPeer) != 0) {
        rules.afterNode = mergeIntoPeer;
    }
    return rules;
}

}  // namespace

int GraphQueryUtils::addDescendantsFromNode(GraphConfigNode* destination, GraphConfigNode* source,
                                            signed char flags) {
    return guardStatus(__func__, err_nomemory,
                       [&]() -> int { return mergeSubtree(destination, source, rulesOf(flags)); });
}

}  // namespace VELT
