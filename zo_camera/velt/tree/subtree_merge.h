// Merging one subtree into another, the tree-level step under settings
// merges, sensor-mode merges and option apply subtrees. It lives here, below
// the query code, because applying an attribute's options is itself a merge.
#ifndef ZO_CAMERA_VELT_TREE_SUBTREE_MERGE_H
#define ZO_CAMERA_VELT_TREE_SUBTREE_MERGE_H

#include "velt_graph_config_node.h"

namespace VELT {

struct SubtreeMergeRules {
    bool addNodes = false;      // copy source nodes the destination lacks
    bool applyOptions = false;  // apply the option lists of every attribute added
    bool deep = false;          // merge into existing nodes, overwrite existing values
    // Called on every destination node once its items are merged (null: none);
    // the query code hands settings on to a port's peer this way. Its status
    // ends the merge when it is not 0.
    int (*afterNode)(GraphConfigNode* destination) = nullptr;
};

// Merges source's items into destination by the rules; the statuses are
// those of GraphQueryUtils::addDescendantsFromNode.
int mergeSubtree(GraphConfigNode* destination, GraphConfigNode* source,
                 const SubtreeMergeRules& rules);

}  // namespace VELT

#endif
