// NodeIterator walks, the deprecated position lookups and the tree dumps.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "key_dictionary_fixture.h"
#include "support/log_capture.h"
#include "velt_graph_config_node.h"
#include "velt_node_iterator.h"
#include "velt_status.h"
#include "zo_log_common.h"

namespace {

using namespace VELT;

GraphConfigNode* addChild(GraphConfigNode& parent, uint32_t key, const std::string& type,
                          const std::string& name) {
    auto* child = new GraphConfigNode();
    child->addValue(kKeyType, type);
    child->addValue(kKeyName, name);
    parent.insertDescendant(child, key);
    return child;
}

// Children under "node", "node" and "port" of types isa, psa and port, an
// attribute under "name" ahead of them and one under "width" behind them.
class IteratedNode : public ::testing::Test {
  protected:
    IteratedNode() {
        root.addValue(kKeyName, std::string("graph"));
        isa = addChild(root, kKeyNode, "isa", "x");
        psa = addChild(root, kKeyNode, "psa", "X");
        port = addChild(root, kKeyPort, "port", "x ");
        root.addValue(kKeyWidth, 5);
    }

    GraphConfigNode root;
    GraphConfigNode* isa;
    GraphConfigNode* psa;
    GraphConfigNode* port;
};

TEST_F(IteratedNode, DescendantsInStoredOrderThenStartOver) {
    NodeIterator it(&root);
    EXPECT_EQ(it.iterateDescendants(), isa);
    EXPECT_EQ(it.iterateDescendants(), psa);
    EXPECT_EQ(it.iterateDescendants(), port);
    EXPECT_EQ(it.iterateDescendants(), nullptr);
    EXPECT_EQ(it.iterateDescendants(), isa);
    EXPECT_EQ(it.reset(), nullptr);
    EXPECT_EQ(it.iterateDescendants(), isa);
}

TEST_F(IteratedNode, FiltersByKeyTypeAndAttributeText) {
    NodeIterator byUid(&root);
    EXPECT_EQ(byUid.iterateByUid(kKeyNode), isa);
    EXPECT_EQ(byUid.iterateByUid(kKeyNode), psa);
    EXPECT_EQ(byUid.iterateByUid(kKeyNode), nullptr);
    EXPECT_EQ(byUid.iterateByUid(kKeyName), nullptr);

    NodeIterator byType(&root);
    EXPECT_EQ(byType.iterateByType(kKeyPort), port);
    EXPECT_EQ(byType.iterateByType(kKeyPort), nullptr);

    NodeIterator byText(&root);
    EXPECT_EQ(byText.iterateNodes(kKeyName, "x"), isa);
    EXPECT_EQ(byText.iterateNodes(kKeyName, "x"), nullptr);
    EXPECT_EQ(byText.iterateNodes(kKeyType, "psa"), psa);

    // Integer attributes never match, even with the same digits.
    isa->addValue(kKeyId, 7);
    NodeIterator byNumber(&root);
    EXPECT_EQ(byNumber.iterateNodes(kKeyId, "7"), nullptr);
}

TEST_F(IteratedNode, PositionCarriesAcrossDifferentFilters) {
    NodeIterator it(&root);
    EXPECT_EQ(it.iterateByUid(kKeyNode), isa);
    EXPECT_EQ(it.iterateByType(kKeyPort), port);
    // Past the port only an attribute is left: end, and the walk restarts.
    EXPECT_EQ(it.iterateDescendants(), nullptr);
    EXPECT_EQ(it.iterateByUid(kKeyPort), port);
    EXPECT_EQ(it.iterateByUid(kKeyNode), nullptr);
    EXPECT_EQ(it.iterateByUid(kKeyNode), isa);
}

TEST_F(IteratedNode, WalkStaysCorrectWhenTheTreeChangesAfterTheEnd) {
    NodeIterator it(&root);
    while (it.iterateDescendants()) {
    }
    GraphConfigNode* early = addChild(root, kKeyGraph, "early", "e");
    EXPECT_EQ(it.iterateDescendants(), early);
    EXPECT_EQ(it.iterateDescendants(), isa);
    // Removing an item moves every later one a place forward.
    root.removeDescendant(kKeyGraph);
    EXPECT_EQ(it.iterateDescendants(), port);
}

TEST_F(IteratedNode, TypeLookupFollowsTheDictionaryFallback) {
    // A key no string carries names the dictionary's first string.
    GraphConfigNode* odd = addChild(root, kKeyNodes, "active_input", "odd");
    NodeIterator it(&root);
    EXPECT_EQ(it.iterateByType(5000), odd);
    EXPECT_EQ(it.iterateByType(5000), nullptr);
    // After a reset the type is looked up again, not taken from the cache.
    GraphConfigNode* na = addChild(root, kKeyNa, "na", "unnamed");
    EXPECT_EQ(it.iterateByType(kKeyNa), na);
    EXPECT_EQ(it.iterateByType(kKeyNa), nullptr);
}

TEST(NodeIteratorOverNull, EveryCallLogsAndAnswersNull) {
    zovesk_test::LogCapture log;
    NodeIterator it(nullptr);
    EXPECT_EQ(it.iterateDescendants(), nullptr);
    EXPECT_EQ(it.iterateByType(kKeyPort), nullptr);
    EXPECT_EQ(it.iterateByUid(kKeyPort), nullptr);
    EXPECT_EQ(it.iterateNodes(kKeyName, "x"), nullptr);
    int logged = 0;
    for (const auto& record : log.records()) {
        logged += record.level == ZO_LOG_ERROR &&
                  record.message == "NodeIterator was constructed with NULL.";
    }
    EXPECT_EQ(logged, 4);
}

TEST(NodeIteratorWalks, LongWalkVisitsEveryMatchOnceInOrder) {
    GraphConfigNode root;
    std::vector<IGraphConfig*> expected;
    for (int i = 0; i < 3000; ++i) {
        auto* child = new GraphConfigNode();
        child->addValue(kKeyType, std::string(i % 3 == 0 ? "port" : "kernel"));
        root.insertDescendant(child, static_cast<uint32_t>(100 + (i * 7919) % 500));
        root.addValue(static_cast<uint32_t>(20000 + i), i);
    }
    for (auto it = root.begin(); it != root.end(); ++it) {
        if (it->second->isNode() &&
            static_cast<GraphConfigNode*>(it->second.get())->isType(kKeyPort)) {
            expected.push_back(static_cast<GraphConfigNode*>(it->second.get()));
        }
    }
    ASSERT_EQ(expected.size(), 1000u);
    NodeIterator it(&root);
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<IGraphConfig*> seen;
        while (IGraphConfig* next = it.iterateByType(kKeyPort)) {
            seen.push_back(next);
        }
        EXPECT_EQ(seen, expected);
    }
}

TEST_F(IteratedNode, DeprecatedLookupsResumeFromThePosition) {
    zovesk_test::LogCapture log;
    isa->addValue(kKeyId, 3);
    port->addValue(kKeyId, 3);

    auto position = root.begin();
    GraphConfigNode* found = nullptr;
    EXPECT_EQ(root.getDescendant(kKeyId, 3, position, &found), err_none);
    EXPECT_EQ(found, isa);
    EXPECT_EQ(root.getDescendant(kKeyId, 3, position, &found), err_none);
    EXPECT_EQ(found, port);
    EXPECT_EQ(root.getDescendant(kKeyId, 3, position, &found), err_end);
    EXPECT_EQ(position, root.end());
    EXPECT_EQ(found, port);

    position = root.begin();
    EXPECT_EQ(root.getDescendant(kKeyType, std::string("psa"), position, &found), err_none);
    EXPECT_EQ(found, psa);
    EXPECT_EQ(position->second.get(), port);
    EXPECT_EQ(root.getDescendant(kKeyType, std::string("psa"), position, &found), err_end);
    EXPECT_EQ(position, root.end());
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING,
                             "WARNING: deprecated funtion getDescendant(). Use NodeIterator "
                             "instead"));
}

TEST(TreeDumps, OneLinePerItemIndentedByDepth) {
    GraphConfigNode root;
    root.addValue(kKeyWidth, 640);
    auto* port = new GraphConfigNode();
    root.insertDescendant(port, kKeyPort);
    port->addValue(kKeyName, std::string("out"));
    root.addValue(kKeyType, std::string("hw"));

    zovesk_test::LogCapture log;
    GraphConfigNode::dumpNodeTree(&root, 1);
    std::vector<std::string> lines;
    for (const auto& record : log.records()) {
        EXPECT_EQ(record.level, ZO_LOG_ERROR);
        EXPECT_EQ(record.tag, "VELT[XOS]");
        lines.push_back(record.message);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"  'port'(34) [Node]", "    'name' str [Attr] 'out'",
                                               "  'type' str [Attr] 'hw'",
                                               "  'width'(8232) int [Attr] '640'"}));

    log.clear();
    port->dumpNode();
    ASSERT_EQ(log.records().size(), 2u);
    char expected[128];
    snprintf(expected, sizeof(expected), "Node %p type:  NODE ancestor %p map size 1",
             static_cast<void*>(port), static_cast<void*>(&root));
    EXPECT_EQ(log.records()[0].message, expected);
    EXPECT_EQ(log.records()[1].message, "Node number of descendants : 1");
}

}  // namespace
