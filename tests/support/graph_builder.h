// Builds small configuration trees in code, the way the reader and the
// result-graph construction lay them out, so tests need no documents.
#ifndef ZOVESK_TESTS_GRAPH_BUILDER_H
#define ZOVESK_TESTS_GRAPH_BUILDER_H

#include <cstdint>
#include <string>

#include "velt_graph_config_node.h"

namespace zovesk_test {

// The key of a name, giving the name a key first when the dictionary lacks it.
uint32_t keyOf(const std::string& name);

// A new empty child node of parent under the name's key.
VELT::GraphConfigNode* addChild(VELT::GraphConfigNode* parent, const std::string& key);

// A block of a result graph: stored under its name, with "name" and "type".
VELT::GraphConfigNode* addBlock(VELT::GraphConfigNode* root, const std::string& name,
                                const std::string& type);

// A port of a block: "type" "port", "name", "id", "direction" and, unless
// empty, "peer".
VELT::GraphConfigNode* addPort(VELT::GraphConfigNode* block, const std::string& name, int id,
                               int direction, const std::string& peer = "");

// Adds an attribute by name; the test fails when the attribute exists already.
void addInt(VELT::GraphConfigNode* node, const std::string& key, int value);
void addStr(VELT::GraphConfigNode* node, const std::string& key, const std::string& value);

// The integer or text under a key name; the fallback when it cannot be read.
int intOf(const VELT::IGraphConfig* node, const std::string& key, int fallback = -12345);
std::string strOf(const VELT::IGraphConfig* node, const std::string& key,
                  const std::string& fallback = "<missing>");

}  // namespace zovesk_test

#endif
