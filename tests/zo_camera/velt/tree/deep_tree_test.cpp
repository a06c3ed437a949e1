// Trees nested a million levels deep are copied and freed without
// exhausting the stack.

#include <gtest/gtest.h>

#include <memory>

#include "velt_graph_config_node.h"

namespace {

using namespace VELT;

TEST(DeepTree, MillionLevelChainIsCopiedAndDeleted) {
    constexpr int kDepth = 1000000;
    auto root = std::make_unique<GraphConfigNode>();
    GraphConfigNode* tip = root.get();
    for (int level = 0; level < kDepth; ++level) {
        auto* child = new GraphConfigNode();
        ASSERT_EQ(tip->insertDescendant(child, kKeyNode), 0);
        tip = child;
    }
    tip->addValue(kKeyWidth, 42);

    std::unique_ptr<GraphConfigNode> copy(root->copy());
    ASSERT_NE(copy, nullptr);
    const GraphConfigNode* walk = copy.get();
    int depth = 0;
    while (const IGraphConfig* next = walk->getDescendant(kKeyNode)) {
        EXPECT_EQ(next->getAncestor(), walk);
        walk = static_cast<const GraphConfigNode*>(next);
        ++depth;
    }
    EXPECT_EQ(depth, kDepth);
    int width = 0;
    EXPECT_EQ(walk->getValue(kKeyWidth, width), 0);
    EXPECT_EQ(width, 42);

    root.reset();
    copy.reset();
}

}  // namespace
