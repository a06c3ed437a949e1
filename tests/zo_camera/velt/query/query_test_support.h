// Readers for what result-graph construction writes, shared by its tests.
#ifndef ZOVESK_TESTS_QUERY_TEST_SUPPORT_H
#define ZOVESK_TESTS_QUERY_TEST_SUPPORT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "velt_graph_config.h"
#include "velt_graph_config_node.h"

namespace zovesk_test {

// A node of a tree by ':'-separated path, as a node (null when missing).
VELT::GraphConfigNode* nodeAt(const VELT::IGraphConfig* root, const std::string& path);

// Every "peer" text of an item, in stored order.
std::vector<std::string> peersOf(const VELT::IGraphConfig* item);

// Number of items stored under the name's key.
size_t countItems(const VELT::IGraphConfig* node, const std::string& key);

// intOf() and strOf() that also take a missing node: the fallback.
int intAt(const VELT::IGraphConfig* node, const std::string& key, int fallback = -12345);
std::string strAt(const VELT::IGraphConfig* node, const std::string& key,
                  const std::string& fallback = "<missing>");

}  // namespace zovesk_test

#endif
