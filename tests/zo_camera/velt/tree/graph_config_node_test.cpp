// Tree elements: attributes, storage order, ownership, identity and copies.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/log_capture.h"
#include "velt_graph_config_node.h"
#include "velt_status.h"
#include "zo_log_common.h"

namespace {

using namespace VELT;

// The keys and kinds of a node's items, in stored order.
std::vector<std::pair<uint32_t, int32_t>> layout(const GraphConfigNode& node) {
    std::vector<std::pair<uint32_t, int32_t>> entries;
    for (const auto& [key, item] : node) {
        entries.emplace_back(key, item->getType());
    }
    return entries;
}

TEST(GraphConfigAttributes, HoldOnlyTheirOwnKindOfValue) {
    GraphConfigIntAttribute number;
    int value = 7;
    ASSERT_EQ(number.getValue(value), err_none);
    EXPECT_EQ(value, -1);
    EXPECT_EQ(number.getType(), GraphConfigItem::kTypeInt);
    EXPECT_EQ(number.setValue(-42), err_none);
    number.getValue(value);
    EXPECT_EQ(value, -42);
    std::string text = "kept";
    EXPECT_EQ(number.getValue(text), err_noentry);
    EXPECT_EQ(number.setValue(std::string("x")), err_noentry);
    EXPECT_EQ(text, "kept");

    GraphConfigStrAttribute word;
    EXPECT_EQ(word.getType(), GraphConfigItem::kTypeString);
    ASSERT_EQ(word.getValue(text), err_none);
    EXPECT_EQ(text, "");
    EXPECT_EQ(word.setValue(std::string("isa")), err_none);
    value = 3;
    EXPECT_EQ(word.getValue(value), err_noentry);
    EXPECT_EQ(value, 3);
    EXPECT_EQ(word.setValue(5), err_noentry);

    std::unique_ptr<GraphConfigIntAttribute> numberCopy(number.copy());
    std::unique_ptr<GraphConfigStrAttribute> wordCopy(word.copy());
    number.setValue(1);
    word.setValue(std::string("changed"));
    numberCopy->getValue(value);
    wordCopy->getValue(text);
    EXPECT_EQ(value, -42);
    EXPECT_EQ(text, "isa");

    EXPECT_STREQ(GraphConfigItem::typeLabel(GraphConfigItem::kTypeNode), " NODE");
    EXPECT_STREQ(GraphConfigItem::typeLabel(GraphConfigItem::kTypeNA), "NA");
}

TEST(GraphConfigNodeItems, AddValueRefusesAnOccupiedKey) {
    GraphConfigNode node;
    EXPECT_EQ(node.addValue(kKeyName, std::string("a")), err_none);
    EXPECT_EQ(node.addValue(kKeyName, std::string("b")), err_exists);
    EXPECT_EQ(node.addValue(kKeyName, 5), err_exists);
    std::string name;
    EXPECT_EQ(node.getValue(kKeyName, name), err_none);
    EXPECT_EQ(name, "a");
    ASSERT_EQ(node.insertDescendant(new GraphConfigNode(), kKeyPort), err_none);
    EXPECT_EQ(node.addValue(kKeyPort, 1), err_exists);
    EXPECT_EQ(node.getDescendantCount(), 2);
}

TEST(GraphConfigNodeItems, EqualKeysKeepInsertionOrderAndRemoveTakesTheFirst) {
    GraphConfigNode node;
    auto* first = new GraphConfigNode();
    auto* second = new GraphConfigNode();
    first->addValue(kKeyName, std::string("first"));
    second->addValue(kKeyName, std::string("second"));
    ASSERT_EQ(node.insertDescendant(first, kKeyPort), err_none);
    ASSERT_EQ(node.addValue(kKeyWidth, 640), err_none);
    ASSERT_EQ(node.insertDescendant(second, kKeyPort), err_none);
    ASSERT_EQ(node.addValue(kKeyName, std::string("n")), err_none);
    EXPECT_EQ(node.insertDescendant(nullptr, 5), err_general);
    EXPECT_EQ(node.getDescendantCount(), 4);
    using Entry = std::pair<uint32_t, int32_t>;
    EXPECT_EQ(layout(node), (std::vector<Entry>{{kKeyName, GraphConfigItem::kTypeString},
                                                {kKeyPort, GraphConfigItem::kTypeNode},
                                                {kKeyPort, GraphConfigItem::kTypeNode},
                                                {kKeyWidth, GraphConfigItem::kTypeInt}}));
    EXPECT_EQ(node.getDescendant(kKeyPort), first);

    EXPECT_EQ(node.removeDescendant(kKeyPort), err_none);
    EXPECT_EQ(node.getDescendantCount(), 3);
    EXPECT_EQ(node.getDescendant(kKeyPort), second);
    EXPECT_EQ(node.removeDescendant(kKeySensor), err_none);
    EXPECT_EQ(node.getDescendantCount(), 3);
}

TEST(GraphConfigNodeItems, GetAttributeHandsOutAnyKindOfItem) {
    GraphConfigNode node;
    node.addValue(kKeyWidth, 640);
    auto* child = new GraphConfigNode();
    node.insertDescendant(child, kKeyPort);

    GraphConfigAttribute* attribute = nullptr;
    ASSERT_EQ(node.getAttribute(kKeyWidth, &attribute), err_none);
    int value = 0;
    EXPECT_EQ(attribute->getValue(value), err_none);
    EXPECT_EQ(value, 640);

    ASSERT_EQ(node.getAttribute(kKeyPort, &attribute), err_none);
    EXPECT_EQ(attribute, static_cast<GraphConfigAttribute*>(child));
    EXPECT_EQ(attribute->getType(), GraphConfigItem::kTypeNode);
    EXPECT_EQ(attribute->getValue(value), err_noentry);
    EXPECT_EQ(attribute->setValue(std::string("x")), err_noentry);

    GraphConfigAttribute* untouched = attribute;
    EXPECT_EQ(node.getAttribute(kKeyHeight, &untouched), err_general);
    EXPECT_EQ(untouched, attribute);
    EXPECT_TRUE(node.hasItem(kKeyPort));
    EXPECT_FALSE(node.hasItem(kKeyHeight));
}

TEST(GraphConfigNodeItems, NodeLookupByKeyDistinguishesKinds) {
    GraphConfigNode node;
    node.addValue(kKeyName, std::string("n"));
    auto* child = new GraphConfigNode();
    node.insertDescendant(child, kKeyPort);

    GraphConfigNode* out = &node;
    EXPECT_EQ(node.getDescendant(kKeyName, &out), err_argument);
    EXPECT_EQ(out, &node);
    EXPECT_EQ(node.getDescendant(kKeyHeight, &out), err_general);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(node.getDescendant(kKeyPort, &out), err_none);
    EXPECT_EQ(out, child);
    EXPECT_EQ(node.getDescendant(kKeyName), nullptr);
}

TEST(GraphConfigNodeItems, NextAttributeSkipsNodes) {
    GraphConfigNode node;
    node.insertDescendant(new GraphConfigNode(), kKeyNa);
    node.addValue(kKeyName, std::string("n"));
    node.insertDescendant(new GraphConfigNode(), kKeyPort);
    node.addValue(kKeyWidth, 1);

    std::vector<uint32_t> keys;
    for (auto it = node.begin(); node.getNextAttribute(it) != node.end(); ++it) {
        keys.push_back(it->first);
    }
    EXPECT_EQ(keys, (std::vector<uint32_t>{kKeyName, kKeyWidth}));
}

TEST(GraphConfigNodeIdentity, NamesUidsAncestorsAndRoots) {
    GraphConfigNode root;
    EXPECT_EQ(root.getName(), "NA");
    EXPECT_EQ(root.getUid(), 0u);
    EXPECT_EQ(root.getAncestor(), nullptr);
    EXPECT_EQ(root.getRoot(), &root);

    auto* block = new GraphConfigNode();
    auto* width = new GraphConfigNode();
    root.addValue(kKeyName, std::string("graph"));
    root.insertDescendant(block, kKeyProgramGroup);
    block->insertDescendant(width, kKeyWidth);
    EXPECT_EQ(block->getName(), "program_group");
    EXPECT_EQ(width->getName(), "width");
    EXPECT_EQ(width->getUid(), static_cast<uint32_t>(kKeyWidth));
    EXPECT_EQ(width->getAncestor(), block);
    EXPECT_EQ(width->getRoot(), &root);
    EXPECT_EQ(width->getRootNode(), &root);

    zovesk_test::LogCapture log;
    GraphConfigNode* parent = nullptr;
    EXPECT_EQ(width->getAncestor(&parent), err_none);
    EXPECT_EQ(parent, block);
    EXPECT_EQ(root.getAncestor(&parent), err_none);
    EXPECT_EQ(parent, nullptr);
    EXPECT_EQ(root.getAncestor(nullptr), err_argument);
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING,
                             "WARNING: GraphConfigNode implementation of getAncestor is "
                             "deprecated."));
}

TEST(GraphConfigNodeCopy, DeepCopyKeepsOrderAndHasNoParent) {
    GraphConfigNode root;
    auto* block = new GraphConfigNode();
    root.insertDescendant(block, kKeyNode);
    block->addValue(kKeyName, std::string("isa"));
    block->addValue(kKeyWidth, 1920);
    auto* portA = new GraphConfigNode();
    auto* portB = new GraphConfigNode();
    portA->addValue(kKeyName, std::string("a"));
    portB->addValue(kKeyName, std::string("b"));
    block->insertDescendant(portA, kKeyPort);
    block->insertDescendant(portB, kKeyPort);

    std::unique_ptr<GraphConfigNode> copy(block->copy());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->getAncestor(), nullptr);
    EXPECT_EQ(layout(*copy), layout(*block));
    int width = 0;
    EXPECT_EQ(copy->getValue(kKeyWidth, width), err_none);
    EXPECT_EQ(width, 1920);

    std::vector<std::string> portNames;
    for (auto [it, last] = copy->equalRange(kKeyPort); it != last; ++it) {
        auto* port = static_cast<GraphConfigNode*>(it->second.get());
        EXPECT_EQ(port->getAncestor(), copy.get());
        std::string name;
        port->getValue(kKeyName, name);
        portNames.push_back(name);
        EXPECT_NE(port, portA);
        EXPECT_NE(port, portB);
    }
    EXPECT_EQ(portNames, (std::vector<std::string>{"a", "b"}));

    // The copy is independent of its source.
    portA->removeDescendant(kKeyName);
    std::string name;
    auto* copiedA = static_cast<GraphConfigNode*>(copy->getDescendant(kKeyPort));
    EXPECT_EQ(copiedA->getValue(kKeyName, name), err_none);
    EXPECT_EQ(name, "a");
}

// A node that counts its destructions, to see what deleting a root reaches.
struct TrackedNode : GraphConfigNode {
    explicit TrackedNode(int& destroyed) : destroyed_(destroyed) {}
    ~TrackedNode() override { ++destroyed_; }
    int& destroyed_;
};

TEST(GraphConfigNodeCopy, DeletingTheRootThroughTheInterfaceFreesTheTree) {
    int destroyed = 0;
    IGraphConfig* root = new TrackedNode(destroyed);
    auto* node = static_cast<GraphConfigNode*>(root);
    auto* child = new TrackedNode(destroyed);
    ASSERT_EQ(node->insertDescendant(child, kKeyPort), err_none);
    ASSERT_EQ(child->addValue(kKeyPeer, std::string("isa:input")), err_none);
    ASSERT_EQ(child->insertDescendant(new TrackedNode(destroyed), kKeyOptions), err_none);
    ASSERT_EQ(node->insertDescendant(new TrackedNode(destroyed), kKeyPort), err_none);

    delete root;
    EXPECT_EQ(destroyed, 4);
}

}  // namespace
