#include "support/graph_builder.h"

#include <gtest/gtest.h>

#include "velt_item_uid.h"

namespace zovesk_test {

using VELT::GraphConfigNode;
using VELT::ItemUID;

uint32_t keyOf(const std::string& name) {
    const uint32_t key = ItemUID::str2key(name);
    if (key != 0 || name == "na") {
        return key;
    }
    ItemUID::generateKey(name);
    return ItemUID::str2key(name);
}

GraphConfigNode* addChild(GraphConfigNode* parent, const std::string& key) {
    auto* child = new GraphConfigNode();
    EXPECT_EQ(0, parent->insertDescendant(child, keyOf(key)));
    return child;
}

GraphConfigNode* addBlock(GraphConfigNode* root, const std::string& name, const std::string& type) {
    GraphConfigNode* block = addChild(root, name);
    addStr(block, "name", name);
    addStr(block, "type", type);
    return block;
}

GraphConfigNode* addPort(GraphConfigNode* block, const std::string& name, int id, int direction,
                         const std::string& peer) {
    GraphConfigNode* port = addChild(block, name);
    addStr(port, "type", "port");
    addStr(port, "name", name);
    addInt(port, "id", id);
    addInt(port, "direction", direction);
    if (!peer.empty()) {
        addStr(port, "peer", peer);
    }
    return port;
}

void addInt(GraphConfigNode* node, const std::string& key, int value) {
    EXPECT_EQ(0, node->addValue(keyOf(key), value)) << key;
}

void addStr(GraphConfigNode* node, const std::string& key, const std::string& value) {
    EXPECT_EQ(0, node->addValue(keyOf(key), value)) << key;
}

int intOf(const VELT::IGraphConfig* node, const std::string& key, int fallback) {
    int value = fallback;
    return node->getValue(keyOf(key), value) == 0 ? value : fallback;
}

std::string strOf(const VELT::IGraphConfig* node, const std::string& key,
                  const std::string& fallback) {
    std::string value = fallback;
    return node->getValue(keyOf(key), value) == 0 ? value : fallback;
}

}  // namespace zovesk_test
