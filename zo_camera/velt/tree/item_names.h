// Printable names of tree nodes for messages: "block:port" and
// "type[name]". Kept with the tree, whose own messages print them too.
#ifndef ZO_CAMERA_VELT_TREE_ITEM_NAMES_H
#define ZO_CAMERA_VELT_TREE_ITEM_NAMES_H

#include <string>

#include "velt_graph_config.h"

namespace VELT {

// "<parent's name>:<own name>", "NA" for either name that is missing.
std::string itemFullName(const IGraphConfig& item);

// "<type>[<name>]": the full name for demux, kernel, mux and port nodes,
// "NODE" for a node without a type, "NULL" for null.
std::string printItem(const IGraphConfig* item);

}  // namespace VELT

#endif
