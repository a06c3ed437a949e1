// The option rule that decides whether setValue may change an attribute.

#include <string>

#include "velt_graph_config_node.h"

namespace VELT {

// Only a value that one of the attribute's options admits may be stored; the
// option's apply subtree comes along with it.
int GraphConfigNode::admitByOptions(uint32_t key, const std::string& text) {
    return handleAttributeOptions(this, key, text);
}

}  // namespace VELT
