// How elements and attributes become keyed nodes and attribute items, in
// descriptor and settings documents.

#include <gtest/gtest.h>

#include <string>

#include "support/log_capture.h"
#include "support/parse_text.h"
#include "velt_graph_config_node.h"
#include "velt_item_uid.h"
#include "velt_keys.h"
#include "zo_log_common.h"

namespace {

using VELT::GraphConfigNode;
using VELT::IGraphConfig;
using VELT::ItemUID;
using zovesk_test::asNode;
using zovesk_test::parseText;

std::string text(const IGraphConfig* node, uint32_t key) {
    std::string value = "<unset>";
    if (node != nullptr) {
        node->getValue(key, value);
    }
    return value;
}

int number(const IGraphConfig* node, uint32_t key) {
    int value = -12345;
    if (node != nullptr) {
        node->getValue(key, value);
    }
    return value;
}

IGraphConfig* child(const IGraphConfig* node, const std::string& name) {
    const uint32_t key = ItemUID::str2key(name);
    return node != nullptr && key != 0 ? node->getDescendant(key) : nullptr;
}

TEST(ElementKeyingTest, DescriptorNodesAreKeyedByTheirNameWithNewKeys) {
    EXPECT_EQ(ItemUID::str2key("kd_isa"), 0u);
    auto root = parseText(
        "<graph_descriptor version=\"1.0\"><nodes>"
        "<node name=\"kd_isa\" type=\"isa_type\"/><node name=\"kd_psa\"/>"
        "</nodes></graph_descriptor>");
    ASSERT_TRUE(root);
    EXPECT_EQ(text(root.get(), VELT::kKeyVersion), "1.0");
    EXPECT_EQ(root->getAncestor(), nullptr);

    IGraphConfig* nodes = root->getDescendant(VELT::kKeyNodes);
    ASSERT_NE(nodes, nullptr);
    EXPECT_EQ(nodes->getDescendantCount(), 2);
    EXPECT_GT(ItemUID::str2key("kd_isa"), static_cast<uint32_t>(VELT::kKeyPipeline));

    IGraphConfig* isa = child(nodes, "kd_isa");
    ASSERT_NE(isa, nullptr);
    EXPECT_EQ(isa->getName(), "kd_isa");
    EXPECT_EQ(text(isa, VELT::kKeyName), "kd_isa");
    EXPECT_EQ(text(isa, VELT::kKeyType), "isa_type");

    IGraphConfig* psa = child(nodes, "kd_psa");
    ASSERT_NE(psa, nullptr);
    EXPECT_EQ(text(psa, VELT::kKeyName), "kd_psa");
    // "node" elements get no type from their element name.
    EXPECT_FALSE(asNode(psa)->hasItem(VELT::kKeyType));
}

TEST(ElementKeyingTest, NamedDescriptorElementsTakeTheirElementNameAsType) {
    auto root = parseText(
        "<graph_descriptor version=\"1\"><nodes>"
        "<port name=\"kd_port_0\" direction=\"1\"/>"
        "</nodes></graph_descriptor>");
    ASSERT_TRUE(root);
    IGraphConfig* port = child(root->getDescendant(VELT::kKeyNodes), "kd_port_0");
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(text(port, VELT::kKeyType), "port");
    EXPECT_EQ(text(port, VELT::kKeyName), "kd_port_0");
    EXPECT_EQ(number(port, VELT::kKeyDirection), 1);
    EXPECT_EQ(port->getDescendantCount(), 3);
}

TEST(ElementKeyingTest, SettingsElementsAreKeyedByElementName) {
    auto root = parseText(
        "<graph_settings version=\"1\"><settings key=\"7\">"
        "<port name=\"kd_port_s\" direction=\"1\"/>"
        "</settings></graph_settings>");
    ASSERT_TRUE(root);
    IGraphConfig* settings = root->getDescendant(VELT::kKeySettings);
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(number(settings, VELT::kKeyKey), 7);
    IGraphConfig* port = settings->getDescendant(VELT::kKeyPort);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(text(port, VELT::kKeyName), "kd_port_s");
    EXPECT_FALSE(asNode(port)->hasItem(VELT::kKeyType));
    // The name is not a key of its own in settings documents.
    EXPECT_EQ(ItemUID::str2key("kd_port_s"), 0u);
}

TEST(ElementKeyingTest, NamesAreLowerCasedButValuesAreNot) {
    auto root = parseText(
        "<GRAPH_DESCRIPTOR Version=\"2\"><Nodes>"
        "<PORT NAME=\"Kd_Case_0\" Direction=\"1\"/><Port name=\"kd_case_0\"/>"
        "</Nodes></GRAPH_DESCRIPTOR>");
    ASSERT_TRUE(root);
    EXPECT_EQ(text(root.get(), VELT::kKeyVersion), "2");
    IGraphConfig* nodes = root->getDescendant(VELT::kKeyNodes);
    ASSERT_NE(nodes, nullptr);
    const uint32_t upper = ItemUID::str2key("Kd_Case_0");
    const uint32_t lower = ItemUID::str2key("kd_case_0");
    EXPECT_NE(upper, 0u);
    EXPECT_NE(lower, 0u);
    EXPECT_NE(upper, lower);

    IGraphConfig* first = nodes->getDescendant(upper);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(text(first, VELT::kKeyType), "port");
    EXPECT_EQ(text(first, VELT::kKeyName), "Kd_Case_0");
    EXPECT_EQ(number(first, VELT::kKeyDirection), 1);
    EXPECT_NE(nodes->getDescendant(lower), nullptr);
}

TEST(ElementKeyingTest, UnknownElementNamesGetNewKeys) {
    EXPECT_EQ(ItemUID::str2key("kd_block"), 0u);
    auto root = parseText("<graph_settings version=\"1\"><kd_block/><KD_BLOCK/></graph_settings>");
    ASSERT_TRUE(root);
    const uint32_t key = ItemUID::str2key("kd_block");
    ASSERT_NE(key, 0u);
    // Both elements fold to one name and so share one key.
    EXPECT_EQ(root->getDescendantCount(), 3);
    EXPECT_NE(root->getDescendant(key), nullptr);
}

TEST(ElementKeyingTest, AnElementNamedNaKeepsKeyZeroAndTakesNoOtherNamesKey) {
    auto root = parseText("<graph_settings version=\"1\"><na/><kd_after_na/></graph_settings>");
    ASSERT_TRUE(root);
    EXPECT_NE(root->getDescendant(VELT::kKeyNa), nullptr);
    const uint32_t after = ItemUID::str2key("kd_after_na");
    ASSERT_NE(after, 0u);
    IGraphConfig* node = root->getDescendant(after);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->getDescendantCount(), 0);
    EXPECT_EQ(root->getDescendantCount(), 3);
}

TEST(ElementKeyingTest, AttributeValuesAreStoredAsKeys) {
    EXPECT_EQ(ItemUID::str2key("kd_governed"), 0u);
    auto root = parseText(
        "<graph_settings version=\"1\"><options attribute=\"format\"/>"
        "<kd_opts attribute=\"kd_governed\"/></graph_settings>");
    ASSERT_TRUE(root);
    EXPECT_EQ(number(root->getDescendant(VELT::kKeyOptions), VELT::kKeyAttribute),
              static_cast<int>(VELT::kKeyFormat));
    const uint32_t governed = ItemUID::str2key("kd_governed");
    ASSERT_NE(governed, 0u);
    EXPECT_EQ(number(child(root.get(), "kd_opts"), VELT::kKeyAttribute),
              static_cast<int>(governed));
}

TEST(ElementKeyingTest, IntegerKeysParseLeadingDigitsOnly) {
    auto root = parseText(
        "<graph_settings version=\"1\"><kd_sizes width=\"640px\" height=\"abc\" left=\" -12\" "
        "top=\"+7\" format=\"640\"/></graph_settings>");
    ASSERT_TRUE(root);
    IGraphConfig* sizes = child(root.get(), "kd_sizes");
    ASSERT_NE(sizes, nullptr);
    EXPECT_EQ(number(sizes, VELT::kKeyWidth), 640);
    EXPECT_EQ(number(sizes, VELT::kKeyHeight), 0);
    EXPECT_EQ(number(sizes, VELT::kKeyLeft), -12);
    EXPECT_EQ(number(sizes, VELT::kKeyTop), 7);
    // Keys outside the integer range keep text, even when it is a number.
    EXPECT_EQ(text(sizes, VELT::kKeyFormat), "640");
    EXPECT_EQ(number(sizes, VELT::kKeyFormat), -12345);
}

TEST(ElementKeyingTest, TheFirstOfTwoAttributesUnderOneKeyStays) {
    zovesk_test::LogCapture log;
    auto root = parseText(
        "<graph_descriptor version=\"1\"><nodes>"
        "<node name=\"kd_unknowns\" kd_foo=\"first\" kd_bar=\"second\"/>"
        "<port name=\"kd_typed\" type=\"other\" WIDTH=\"1\" width=\"2\"/>"
        "</nodes></graph_descriptor>");
    ASSERT_TRUE(root);
    IGraphConfig* nodes = root->getDescendant(VELT::kKeyNodes);
    IGraphConfig* unknowns = child(nodes, "kd_unknowns");
    ASSERT_NE(unknowns, nullptr);
    // Unknown attribute names are only looked up, so both land on "na".
    EXPECT_EQ(text(unknowns, VELT::kKeyNa), "first");
    EXPECT_EQ(unknowns->getDescendantCount(), 2);
    EXPECT_EQ(ItemUID::str2key("kd_foo"), 0u);

    IGraphConfig* typed = child(nodes, "kd_typed");
    ASSERT_NE(typed, nullptr);
    EXPECT_EQ(text(typed, VELT::kKeyType), "port");
    EXPECT_EQ(number(typed, VELT::kKeyWidth), 1);
    EXPECT_FALSE(log.contains(ZO_LOG_ERROR, "Error"));
}

TEST(ElementKeyingTest, TypeBeforeNameFailsTheElementAndReadingGoesOn) {
    zovesk_test::LogCapture log;
    auto root = parseText(
        "<graph_descriptor version=\"1\"><nodes>"
        "<port type=\"port\" name=\"kd_bad\"><kd_inner name=\"kd_in_bad\"/>"
        "<kd_inner2><kd_deeper/></kd_inner2></port>"
        "<port name=\"kd_after_bad\"><kd_leaf name=\"kd_leaf_0\"/></port>"
        "</nodes><graphs/></graph_descriptor>");
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Error adding name attribute"));
    ASSERT_TRUE(root);
    IGraphConfig* nodes = root->getDescendant(VELT::kKeyNodes);
    ASSERT_NE(nodes, nullptr);
    // The failed element and everything inside it are gone ...
    EXPECT_EQ(ItemUID::str2key("kd_bad"), 0u);
    EXPECT_EQ(child(nodes, "kd_in_bad"), nullptr);
    EXPECT_EQ(nodes->getDescendantCount(), 1);
    // ... and the elements after it sit where the document puts them.
    IGraphConfig* after = child(nodes, "kd_after_bad");
    ASSERT_NE(after, nullptr);
    EXPECT_NE(child(after, "kd_leaf_0"), nullptr);
    EXPECT_NE(root->getDescendant(VELT::kKeyGraphs), nullptr);
    EXPECT_EQ(root->getDescendantCount(), 3);
}

TEST(ElementKeyingTest, NestedDocumentElementsMakeNoNodeAndKeepTheNesting) {
    auto root = parseText(
        "<graph_settings version=\"1\"><settings key=\"1\">"
        "<graph_descriptor/><kd_in_entry/></settings>"
        "<kd_top_level/></graph_settings>");
    ASSERT_TRUE(root);
    IGraphConfig* settings = root->getDescendant(VELT::kKeySettings);
    ASSERT_NE(settings, nullptr);
    EXPECT_NE(child(settings, "kd_in_entry"), nullptr);
    EXPECT_NE(child(root.get(), "kd_top_level"), nullptr);
    EXPECT_EQ(root->getDescendantCount(), 3);
}

// Children come in document order, which is seldom key order. However wide
// the node, its items end up in ascending key order with each key's items in
// document order, also when the document breaks off inside the node.
TEST(ElementKeyingTest, WideNodesKeepKeyOrderAndDocumentOrderWithinAKey) {
    const char* const names[] = {"sink", "port", "kernel", "output", "input"};
    constexpr int kChildren = 300;
    std::string body;
    for (int i = 0; i < kChildren; ++i) {
        body += "<" + std::string(names[i % 5]) + " id=\"" + std::to_string(i) + "\"/>";
    }
    for (const bool complete : {true, false}) {
        SCOPED_TRACE(complete ? "complete" : "broken off");
        std::string document = "<graph_settings version=\"1\"><settings key=\"1\" id=\"5\">";
        document += body;
        if (complete) {
            document += "</settings></graph_settings>";
        }
        auto root = parseText(document);
        ASSERT_TRUE(root);
        GraphConfigNode* settings = asNode(root->getDescendant(VELT::kKeySettings));
        ASSERT_NE(settings, nullptr);
        ASSERT_EQ(settings->getDescendantCount(), kChildren + 2);
        uint32_t lastKey = 0;
        int lastId = -1;
        for (auto it = settings->begin(); it != settings->end(); ++it) {
            ASSERT_GE(it->first, lastKey);
            if (!it->second->isNode()) {
                continue;
            }
            int childId = -1;
            static_cast<const GraphConfigNode&>(*it->second).getValue(VELT::kKeyId, childId);
            if (it->first == lastKey) {
                EXPECT_GT(childId, lastId);
            }
            lastKey = it->first;
            lastId = childId;
        }
        // A lookup by key finds the first child of that name in the document.
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(number(child(settings, names[i]), VELT::kKeyId), i) << names[i];
        }
        EXPECT_EQ(number(settings, VELT::kKeyId), 5);
    }
}

}  // namespace
