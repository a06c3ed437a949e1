// Bulk building of trees for the document reader. A reader adds a node's
// children in document order, which is seldom key order; inserting each one
// at its sorted place would cost time quadratic in the width of a node.
// Children are appended instead and put in key order once the node is
// complete.
#ifndef ZO_CAMERA_VELT_TREE_TREE_BUILDER_H
#define ZO_CAMERA_VELT_TREE_TREE_BUILDER_H

#include <cstddef>
#include <cstdint>

#include "velt_graph_config_node.h"

namespace VELT {

class TreeBuilder {
  public:
    // Room for count more items in node, so that adding them allocates once.
    // Throws std::bad_alloc when out of memory.
    static void reserve(GraphConfigNode& node, size_t count);
    // Stores child under key after all of parent's items, whatever its key,
    // and makes parent its ancestor. Until finish(parent), parent's items may
    // be out of key order, and nothing but appending and finish may use them.
    // Throws std::bad_alloc when out of memory; the caller keeps child then.
    static void append(GraphConfigNode& parent, uint32_t key, GraphConfigNode* child);
    // Puts node's items back in key order, keeping the order of equal keys,
    // and gives back the room appending left unused. Never fails.
    static void finish(GraphConfigNode& node);
};

}  // namespace VELT

#endif
