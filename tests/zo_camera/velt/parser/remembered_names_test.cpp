// The reader remembers the keys of names within a document; what it
// remembers must never differ from a fresh dictionary lookup.

#include <gtest/gtest.h>

#include <string>

#include "support/parse_text.h"
#include "velt_graph_config.h"
#include "velt_item_uid.h"
#include "velt_keys.h"
#include "velt_parser.h"

namespace {

using VELT::IGraphConfig;
using VELT::ItemUID;
using zovesk_test::parseText;

TEST(RememberedNamesTest, AnAttributeNameLearntMidDocumentIsKeyedFromThenOn) {
    EXPECT_EQ(ItemUID::str2key("rn_late"), 0u);
    auto root = parseText(
        "<graph_settings version=\"1\">"
        "<first rn_late=\"a\"/><rn_late/><second rn_late=\"b\" Rn_Late=\"c\"/>"
        "</graph_settings>");
    ASSERT_TRUE(root);
    const uint32_t late = ItemUID::str2key("rn_late");
    ASSERT_NE(late, 0u);
    std::string value;
    // Before the element named it, the name was unknown: stored under "na".
    IGraphConfig* first = root->getDescendant(ItemUID::str2key("first"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->getValue(VELT::kKeyNa, value), 0);
    EXPECT_EQ(value, "a");
    EXPECT_NE(first->getValue(late, value), 0);
    // After it, both spellings fold to the learnt key; the first one stays.
    IGraphConfig* second = root->getDescendant(ItemUID::str2key("second"));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->getValue(late, value), 0);
    EXPECT_EQ(value, "b");
    EXPECT_NE(second->getValue(VELT::kKeyNa, value), 0);
}

TEST(RememberedNamesTest, AReusedReaderFollowsAReplacedDictionary) {
    VELT::KeyMap saved;
    VELT::getVeltKeys(saved);
    VELT::VELTParser parser;
    const std::string document =
        "<graph_settings version=\"1\"><rn_block rn_attr=\"x\"/></graph_settings>";
    auto before = parseText(parser, document);
    ASSERT_TRUE(before);
    const uint32_t generated = ItemUID::str2key("rn_block");
    ASSERT_NE(generated, 0u);

    // The host restores a dictionary in which the names carry other numbers.
    VELT::KeyMap replaced = saved;
    replaced["rn_block"] = 20001;
    replaced["rn_attr"] = 20002;
    VELT::copyVeltKeys(replaced);
    auto after = parseText(parser, document);
    VELT::copyVeltKeys(saved);

    ASSERT_TRUE(after);
    EXPECT_NE(before->getDescendant(generated), nullptr);
    EXPECT_EQ(after->getDescendant(generated), nullptr);
    IGraphConfig* block = after->getDescendant(20001u);
    ASSERT_NE(block, nullptr);
    std::string value;
    EXPECT_EQ(block->getValue(20002u, value), 0);
    EXPECT_EQ(value, "x");
}

}  // namespace
