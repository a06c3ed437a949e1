// The key dictionary, key numbering and ItemUID paths.

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>

#include "key_dictionary_fixture.h"
#include "velt_item_uid.h"

namespace {

using VELT::ItemUID;
using zovesk_test::KeyDictionaryTest;

// key2str as a plain scan: first string in order with the key, else the first string.
std::string linearKey2str(uint32_t key) {
    for (const auto& [name, number] : velt_key_map) {
        if (number == key) {
            return name;
        }
    }
    return velt_key_map.empty() ? std::string() : velt_key_map.begin()->first;
}

TEST(BuiltinKeys, TableHasTheFixedNamesAndNumbers) {
    EXPECT_EQ(velt_key_map.size(), 116u);
    EXPECT_EQ(ItemUID::str2key("na"), 0u);
    EXPECT_EQ(ItemUID::str2key("graph_descriptor"), 19u);
    EXPECT_EQ(ItemUID::str2key("port"), 34u);
    EXPECT_EQ(ItemUID::str2key("version"), 59u);
    EXPECT_EQ(ItemUID::str2key("pipeline"), 72u);
    EXPECT_EQ(ItemUID::str2key("generic_keys_end"), 4095u);
    EXPECT_EQ(ItemUID::str2key("num_start"), 8192u);
    EXPECT_EQ(ItemUID::str2key("active_input"), 8193u);
    EXPECT_EQ(ItemUID::str2key("exec_ctx_id"), 8206u);
    EXPECT_EQ(ItemUID::str2key("stream_id"), 8228u);
    EXPECT_EQ(ItemUID::str2key("width"), 8232u);
    EXPECT_EQ(ItemUID::str2key("num_end"), 12287u);
    EXPECT_EQ(ItemUID::str2key("Width"), 0u);
    EXPECT_EQ(ItemUID::str2key("unknown_name"), 0u);

    EXPECT_STREQ(ItemUID::key2str(8232), "width");
    EXPECT_STREQ(ItemUID::key2str(33), "peer");
    EXPECT_STREQ(ItemUID::key2str(0), "na");
    // A number no string carries falls back to the first string in order.
    EXPECT_STREQ(ItemUID::key2str(5000), "active_input");
}

TEST(BuiltinKeys, IntegerKeysLieStrictlyBetweenTheMarkers) {
    EXPECT_FALSE(ItemUID::isInteger(8192));
    EXPECT_TRUE(ItemUID::isInteger(8193));
    EXPECT_TRUE(ItemUID::isInteger(8232));
    EXPECT_TRUE(ItemUID::isInteger(12286));
    EXPECT_FALSE(ItemUID::isInteger(12287));
    EXPECT_FALSE(ItemUID::isInteger(34));
}

TEST(ItemUIDPath, TextIsSplitAtColons) {
    ItemUID portPeer(std::string("port:peer"));
    ASSERT_EQ(portPeer.size(), 2u);
    EXPECT_EQ(portPeer[0], 34u);
    EXPECT_EQ(portPeer[1], 33u);
    EXPECT_EQ(portPeer.toString(), "port.peer");

    ItemUID dotted(std::string("a.b"));
    ASSERT_EQ(dotted.size(), 1u);
    EXPECT_EQ(dotted[0], 0u);

    ItemUID unknownFirst(std::string("foo:width"));
    ASSERT_EQ(unknownFirst.size(), 2u);
    EXPECT_EQ(unknownFirst[0], 0u);
    EXPECT_EQ(unknownFirst[1], 8232u);

    EXPECT_EQ(ItemUID(std::string("port:")).keys(), (std::vector<uint32_t>{34}));
    EXPECT_EQ(ItemUID(std::string(":port")).keys(), (std::vector<uint32_t>{0, 34}));
    EXPECT_EQ(ItemUID(std::string("port::peer")).keys(), (std::vector<uint32_t>{34, 0, 33}));
    EXPECT_TRUE(ItemUID(std::string()).empty());
    EXPECT_EQ(ItemUID().toString(), "");
}

TEST(ItemUIDPath, OrdersLexicographicallyForUseAsMapKey) {
    std::map<ItemUID, int> paths;
    paths[ItemUID{34, 33}] = 1;
    paths[ItemUID{34}] = 2;
    paths[ItemUID{8232}] = 3;
    paths[ItemUID{34, 33}] = 4;
    ASSERT_EQ(paths.size(), 3u);
    auto it = paths.begin();
    EXPECT_EQ(it->first, (ItemUID{34}));
    EXPECT_EQ((++it)->first, (ItemUID{34, 33}));
    EXPECT_EQ(it->second, 4);
    EXPECT_EQ((++it)->first, (ItemUID{8232}));
    EXPECT_FALSE(ItemUID{34} < ItemUID{34});
}

TEST_F(KeyDictionaryTest, GeneratedKeysFollowTheDictionarySize) {
    EXPECT_EQ(ItemUID::generateKey("isa_node"), 116u);
    EXPECT_EQ(ItemUID::str2key("isa_node"), 116u);
    EXPECT_STREQ(ItemUID::key2str(116), "isa_node");
    EXPECT_EQ(ItemUID::generateKey("psa_node"), 117u);
    // A known name is left alone; the number it would have got is returned.
    EXPECT_EQ(ItemUID::generateKey("width"), 118u);
    EXPECT_EQ(ItemUID::str2key("width"), 8232u);
    EXPECT_EQ(velt_key_map.size(), 118u);
}

TEST_F(KeyDictionaryTest, CustomMapsAddOnlyMissingNames) {
    ItemUID::addCustomKeyMap({{"width", 9}, {"my_key", 5000}});
    EXPECT_EQ(ItemUID::str2key("width"), 8232u);
    EXPECT_EQ(ItemUID::str2key("my_key"), 5000u);
    EXPECT_STREQ(ItemUID::key2str(5000), "my_key");
    EXPECT_STREQ(ItemUID::key2str(9), "content_type");
    EXPECT_FALSE(ItemUID::isInteger(5000));
    ItemUID::addCustomKeyMap({});
    EXPECT_EQ(velt_key_map.size(), 117u);
}

TEST_F(KeyDictionaryTest, GeneratedKeyNeverReusesANumberTakenByACustomName) {
    // The dictionary will hold 117 names, so 117 would be next: it is taken.
    ItemUID::addCustomKeyMap({{"custom_name", 117}});
    const uint32_t key = ItemUID::generateKey("fresh_name");
    EXPECT_EQ(key, 12288u);
    EXPECT_STREQ(ItemUID::key2str(117), "custom_name");
    EXPECT_STREQ(ItemUID::key2str(12288), "fresh_name");
    // The size is free again (118), so numbering resumes there.
    EXPECT_EQ(ItemUID::generateKey("another_name"), 118u);
    // 119 free, but a second clash moves past 12288, which is taken now.
    ItemUID::addCustomKeyMap({{"z_custom", 120}});
    EXPECT_EQ(ItemUID::generateKey("third_name"), 12289u);
}

TEST_F(KeyDictionaryTest, GeneratedKeyAfterRestoringASmallDictionary) {
    VELT::copyVeltKeys({{"first", 1}, {"second", 2}});
    EXPECT_EQ(velt_key_map.size(), 2u);
    EXPECT_EQ(ItemUID::str2key("port"), 0u);
    EXPECT_STREQ(ItemUID::key2str(34), "first");
    // Size 2 is already "second"'s number.
    const uint32_t key = ItemUID::generateKey("third");
    EXPECT_EQ(key, 12288u);
    EXPECT_STREQ(ItemUID::key2str(2), "second");
    EXPECT_STREQ(ItemUID::key2str(key), "third");

    VELT::copyVeltKeys({{"only", 7}});
    EXPECT_EQ(ItemUID::generateKey("next"), 1u);
}

TEST_F(KeyDictionaryTest, LargeDictionariesSkipTheIntegerRangeAndTakenNumbers) {
    std::set<uint32_t> generated;
    for (int i = 0; i < 8300; ++i) {
        const std::string name = "gen_" + std::to_string(i);
        const uint32_t key = ItemUID::generateKey(name);
        EXPECT_FALSE(ItemUID::isInteger(key)) << name << " got " << key;
        EXPECT_TRUE(generated.insert(key).second) << name << " reused " << key;
        ASSERT_EQ(ItemUID::str2key(name), key);
        ASSERT_STREQ(ItemUID::key2str(key), name.c_str());
    }
    // Below the markers the numbering is the size, as always.
    EXPECT_EQ(ItemUID::str2key("gen_0"), 116u);
    EXPECT_EQ(ItemUID::str2key("gen_3978"), 4094u);
    // 4095 is "generic_keys_end": the next name moves above the integer range.
    EXPECT_EQ(ItemUID::str2key("gen_3979"), 12288u);
    EXPECT_STREQ(ItemUID::key2str(4095), "generic_keys_end");
    EXPECT_STREQ(ItemUID::key2str(8232), "width");
    EXPECT_STREQ(ItemUID::key2str(8192), "num_start");
}

TEST_F(KeyDictionaryTest, SavedDictionaryCanBeRestored) {
    VELT::KeyMap saved;
    VELT::getVeltKeys(saved);
    EXPECT_EQ(saved, velt_key_map);
    ItemUID::generateKey("temporary_one");
    ItemUID::generateKey("temporary_two");
    VELT::copyVeltKeys(saved);
    EXPECT_EQ(ItemUID::str2key("temporary_one"), 0u);
    EXPECT_EQ(velt_key_map.size(), 116u);
    EXPECT_EQ(ItemUID::generateKey("after_restore"), 116u);

    // Handing the dictionary its own content changes nothing.
    VELT::copyVeltKeys(velt_key_map);
    VELT::getVeltKeys(const_cast<VELT::KeyMap&>(velt_key_map));
    EXPECT_EQ(velt_key_map.size(), 117u);
}

TEST_F(KeyDictionaryTest, Key2strMatchesALinearScanAfterRandomInserts) {
    std::mt19937 random(20261208);
    std::uniform_int_distribution<uint32_t> number(0, 400);
    std::uniform_int_distribution<int> letter('a', 'z');
    for (int round = 0; round < 40; ++round) {
        VELT::KeyMap batch;
        for (int i = 0; i < 25; ++i) {
            std::string name;
            for (int length = 1 + round % 6; length > 0; --length) {
                name += static_cast<char>(letter(random));
            }
            batch[name] = number(random);
        }
        ItemUID::addCustomKeyMap(batch);
        ItemUID::generateKey("g" + std::to_string(round));
        for (uint32_t key = 0; key <= 420; ++key) {
            ASSERT_EQ(ItemUID::key2str(key), linearKey2str(key)) << "key " << key;
        }
        for (uint32_t key : {4095u, 8192u, 8232u, 12287u, 12288u, 12300u, 70000u}) {
            ASSERT_EQ(ItemUID::key2str(key), linearKey2str(key)) << "key " << key;
        }
    }
    VELT::copyVeltKeys({{"m", 3}, {"b", 3}, {"x", 1}});
    EXPECT_STREQ(ItemUID::key2str(3), "b");
    EXPECT_STREQ(ItemUID::key2str(2), "b");
    VELT::copyVeltKeys({});
    EXPECT_STREQ(ItemUID::key2str(3), "");
}

}  // namespace
