// Finding the base block a descriptor block is built on.
#ifndef ZO_CAMERA_VELT_QUERY_BASE_NODE_LOOKUP_H
#define ZO_CAMERA_VELT_QUERY_BASE_NODE_LOOKUP_H

#include <string>

#include "velt_graph_config.h"

namespace VELT {

// The first child of nodes (the descriptor's "nodes") whose "type" is
// "base_node" and whose "name" is baseName, in nodes' stored order; null when
// there is none. The reader stores every named descriptor element under the
// key of its name, so the base block is among the items under that key and is
// found by one binary search instead of a walk over every block. Only when
// nothing matches there (a tree built in code may key a block otherwise) are
// all children walked.
IGraphConfig* findBaseNode(const IGraphConfig& nodes, const std::string& baseName);

}  // namespace VELT

#endif
