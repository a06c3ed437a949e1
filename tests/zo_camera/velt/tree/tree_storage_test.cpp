// Trees read from documents keep their items in storage that the root owns.
// The ownership rules of every tree hold for them all the same: items are
// inserted, removed, copied and changed one by one, and a read root moved
// into another tree lives as long as that tree. The sanitized build checks
// that no item is leaked, freed twice or used after its removal.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

#include "support/parse_text.h"
#include "velt_graph_config_node.h"
#include "velt_item_uid.h"
#include "velt_keys.h"
#include "velt_status.h"

namespace {

using namespace VELT;
using zovesk_test::asNode;
using zovesk_test::parseText;
using zovesk_test::TreePtr;

// A settings entry with a long text (beyond what an attribute keeps inside
// itself) and a short one.
const char* const kSettings = R"(<graph_settings version="BENCH1.0">
  <settings key="6000" id="100">
    <sensor mode_id="mode_0">
      <port_0 format="GRBG_10" width="4208" height="3120"/>
    </sensor>
    <video format="YUV420_8_SP_COMPRESSED" width="1920" height="1080"/>
  </settings>
</graph_settings>)";

GraphConfigNode* child(IGraphConfig* node, const char* path) {
    return asNode(node->getDescendantByString(path));
}

std::string text(IGraphConfig* node, uint32_t key) {
    std::string value;
    EXPECT_EQ(node->getValue(key, value), err_none);
    return value;
}

int number(IGraphConfig* node, uint32_t key) {
    int value = 0;
    EXPECT_EQ(node->getValue(key, value), err_none);
    return value;
}

// Whether each item of the subtree lives in tree storage, in depth-first order.
std::vector<bool> storedFlags(const GraphConfigNode& root) {
    std::vector<bool> flags;
    std::vector<const GraphConfigNode*> pending{&root};
    while (!pending.empty()) {
        const GraphConfigNode* node = pending.back();
        pending.pop_back();
        for (const auto& entry : *node) {
            flags.push_back(entry.second.inTreeStorage());
            if (entry.second->isNode()) {
                pending.push_back(static_cast<const GraphConfigNode*>(entry.second.get()));
            }
        }
    }
    return flags;
}

TEST(TreeStorage, ReadItemsLiveInTheTreeAndEveryOtherItemOnTheHeap) {
    TreePtr root = parseText(kSettings);
    ASSERT_NE(root, nullptr);
    const std::vector<bool> read = storedFlags(*asNode(root.get()));
    ASSERT_EQ(read.size(), 14u);
    EXPECT_EQ(std::count(read.begin(), read.end(), false), 0);

    GraphConfigNode* settings = child(root.get(), "settings");
    ASSERT_NE(settings, nullptr);
    ASSERT_EQ(settings->addValue(kKeyName, std::string("preview")), err_none);
    EXPECT_FALSE(settings->begin()->second.inTreeStorage()) << "items added later are heap items";

    // A copy depends on nothing of its source.
    std::unique_ptr<GraphConfigNode> copy(settings->copy());
    ASSERT_NE(copy, nullptr);
    const std::vector<bool> copied = storedFlags(*copy);
    EXPECT_EQ(std::count(copied.begin(), copied.end(), true), 0);
    root.reset();
    EXPECT_EQ(text(child(copy.get(), "video"), kKeyFormat), "YUV420_8_SP_COMPRESSED");
    EXPECT_EQ(text(copy.get(), kKeyName), "preview");
    EXPECT_EQ(number(child(copy.get(), "sensor:port_0"), kKeyWidth), 4208);
}

TEST(TreeStorage, ReadTreesTakeInsertionsRemovalsAndChangesItemByItem) {
    TreePtr root = parseText(kSettings);
    ASSERT_NE(root, nullptr);
    GraphConfigNode* video = child(root.get(), "settings:video");
    ASSERT_NE(video, nullptr);

    // Long and short texts read from the document, changed both ways.
    GraphConfigAttribute* format = nullptr;
    ASSERT_EQ(video->getAttribute(kKeyFormat, &format), err_none);
    EXPECT_EQ(format->setValue(std::string("NV12")), err_none);
    EXPECT_EQ(text(video, kKeyFormat), "NV12");
    EXPECT_EQ(format->setValue(std::string("YUV420_10_SP_COMPRESSED_TILED")), err_none);
    EXPECT_EQ(text(video, kKeyFormat), "YUV420_10_SP_COMPRESSED_TILED");

    // A read node grows past the array it was read into, holding heap nodes
    // with subtrees of their own.
    for (int i = 0; i < 40; ++i) {
        auto* port = new GraphConfigNode();
        ASSERT_EQ(port->addValue(kKeyId, i), err_none);
        ASSERT_EQ(port->addValue(kKeyName, "port_with_a_long_name_" + std::to_string(i)), err_none);
        ASSERT_EQ(video->insertDescendant(port, kKeyPort), err_none);
    }
    EXPECT_EQ(video->getDescendantCount(), 43);
    EXPECT_EQ(number(video, kKeyWidth), 1920);
    EXPECT_EQ(text(video, kKeyFormat), "YUV420_10_SP_COMPRESSED_TILED");

    // Read items removed one by one, nodes with their subtrees.
    GraphConfigNode* settings = child(root.get(), "settings");
    EXPECT_EQ(settings->removeDescendant(ItemUID::str2key("sensor")), err_none);
    EXPECT_EQ(child(root.get(), "settings:sensor"), nullptr);
    EXPECT_EQ(video->removeDescendant(kKeyWidth), err_none);
    EXPECT_FALSE(video->hasItem(kKeyWidth));
    EXPECT_EQ(number(video, kKeyHeight), 1080);
    EXPECT_EQ(video->removeDescendant(kKeyPort), err_none);
    EXPECT_EQ(number(child(video, "port"), kKeyId), 1);

    // Attributes created where the reader left none.
    GraphConfigAttribute* created = nullptr;
    const ItemUID portWidth({kKeySettings, kKeyPort, kKeyWidth});
    ASSERT_EQ(asNode(root.get())->createAttribute(portWidth, &created), err_none);
    EXPECT_EQ(asNode(root.get())->setValueFromStr(portWidth, "640"), err_none);
    EXPECT_EQ(number(child(settings, "port"), kKeyWidth), 640);
}

TEST(TreeStorage, AReadRootMovedIntoAnotherTreeLivesUntilThatTreeGoes) {
    VELT::VELTParser parser;
    TreePtr first = parseText(parser, kSettings);
    TreePtr second = parseText(parser, kSettings);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);

    // The reader builds every tree in storage of its own.
    GraphConfigNode* moved = asNode(first.release());
    ASSERT_EQ(child(second.get(), "settings")->insertDescendant(moved, kKeyGraph), err_none);
    EXPECT_EQ(moved->getAncestor(), second->getDescendantByString("settings"));
    EXPECT_EQ(text(child(moved, "settings:video"), kKeyFormat), "YUV420_8_SP_COMPRESSED");
    EXPECT_EQ(moved->getRoot(), second.get());

    // A heap tree holding a read root, which is deleted with it.
    auto holder = std::make_unique<GraphConfigNode>();
    TreePtr third = parseText(parser, kSettings);
    ASSERT_EQ(holder->insertDescendant(asNode(third.release()), kKeyGraph), err_none);
    TreePtr fourth = parseText(parser, kSettings);
    ASSERT_EQ(holder->insertDescendant(asNode(fourth.release()), kKeyGraph), err_none);
    EXPECT_EQ(holder->removeDescendant(kKeyGraph), err_none);
    EXPECT_EQ(holder->getDescendantCount(), 1);
    EXPECT_EQ(number(child(holder.get(), "graph:settings"), kKeyKey), 6000);
    holder.reset();

    second.reset();
}

#if defined(__SANITIZE_ADDRESS__)
TEST(TreeStorage, RemovedReadItemsCannotBeUsedUnnoticed) {
    TreePtr root = parseText(kSettings);
    ASSERT_NE(root, nullptr);
    GraphConfigNode* video = child(root.get(), "settings:video");
    ASSERT_NE(video, nullptr);
    GraphConfigItem* width = video->getItem(kKeyWidth);
    GraphConfigItem* format = video->getItem(kKeyFormat);
    const void* items = &*video->begin();
    ASSERT_FALSE(__asan_address_is_poisoned(width));
    ASSERT_FALSE(__asan_address_is_poisoned(items));

    EXPECT_EQ(video->removeDescendant(kKeyWidth), err_none);
    EXPECT_TRUE(__asan_address_is_poisoned(width));
    EXPECT_FALSE(__asan_address_is_poisoned(format));
    // The array a read node outgrows is given up as well.
    ASSERT_EQ(video->addValue(kKeyBpl, 3840), err_none);
    EXPECT_TRUE(__asan_address_is_poisoned(items));

    GraphConfigNode* settings = child(root.get(), "settings");
    EXPECT_EQ(settings->removeDescendant(ItemUID::str2key("video")), err_none);
    EXPECT_TRUE(__asan_address_is_poisoned(video));
    EXPECT_TRUE(__asan_address_is_poisoned(format));
}
#endif

}  // namespace
