// Prints a configuration tree as indented text, one item per line.
#ifndef ZOVESK_TOOLS_DEMO_PRINT_TREE_H
#define ZOVESK_TOOLS_DEMO_PRINT_TREE_H

#include <cstdio>

#include "velt_graph_config_node.h"

namespace zovesk_demo {

// Attributes as "name = value", child nodes as "name:" followed by their items, indented by
// two blanks per level; items in stored order.
void printTree(const VELT::GraphConfigNode& node, FILE* out, int depth = 0);

}  // namespace zovesk_demo

#endif
