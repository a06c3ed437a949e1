/*
 * Helpers that result-graph construction uses to merge settings into copied
 * descriptor nodes, to find the peer of a port and to switch off ports that
 * lead nowhere.
 */
#ifndef VELT_GRAPH_QUERY_UTILS_H
#define VELT_GRAPH_QUERY_UTILS_H

#include "velt_export.h"
#include "velt_graph_config_node.h"

namespace VELT {

class ZO_EXPORT GraphQueryUtils {
  public:
    // Merge flags of addDescendantsFromNode(), combined bitwise.
    // Copy child nodes that the destination lacks, whole subtrees.
    static constexpr signed char kMergeAddNodes = 1;
    // Apply the attribute options of every attribute value written.
    static constexpr signed char kMergeApplyOptions = 2;
    // Afterwards, push an output port into its peer.
    static constexpr signed char kMergeIntoPeer = 4;
    // Recurse into child nodes both sides have and overwrite attributes, except "id",
    // "direction", "name", "peer" and "type", which are only added when missing.
    static constexpr signed char kMergeDeep = 8;

    // Sets the node's integer "enabled" to 0, adding it when missing. Returns 0, or the
    // failure of adding or setting it (the node is then not disabled).
    static int disableNode(GraphConfigNode* node);
    // The node, or node and port, that the port's "peer" names; null when there is none.
    // The result points into the port's tree.
    static GraphConfigNode* getPortPeer(GraphConfigNode* port);
    // Disables every pixel-data port of a result graph whose peer is missing or disabled.
    // Private and already disabled ports are left alone. Returns 0, or the failure of
    // disabling a port (ports passed before stay disabled).
    static int disableUnusedPorts(GraphConfigNode* root);
    // Merges the children of source into destination as the merge flags say; source is
    // only read. Returns 0, -32 for a null node, -4 when a copy or add fails, or the
    // failure of applying an attribute option. What was merged before a failure stays.
    static int addDescendantsFromNode(GraphConfigNode* destination, GraphConfigNode* source,
                                      signed char flags);
};

}  // namespace VELT

#endif /* VELT_GRAPH_QUERY_UTILS_H */
