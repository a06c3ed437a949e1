// The key dictionary used from several threads at once: new names get one
// key whichever thread brings them first, lookups stay right while others
// generate, merge, copy and replace.

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "key_dictionary_fixture.h"
#include "support/parse_text.h"
#include "velt_graph_config.h"
#include "velt_item_uid.h"
#include "velt_keys.h"

namespace {

using VELT::ItemUID;
using zovesk_test::KeyDictionaryTest;

constexpr int kThreads = 4;

// Runs body(thread index) on kThreads threads released at the same moment.
template <typename Body>
void runTogether(Body body) {
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            ready.fetch_add(1);
            while (ready.load() < kThreads) {
                std::this_thread::yield();
            }
            body(t);
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
}

using KeyDictionaryThreadsTest = KeyDictionaryTest;

// Reads a descriptor whose blocks have the given names and returns, per
// name, the key the dictionary gives it afterwards; 0 when the block is not
// stored under that key (the reader used another one).
std::map<std::string, uint32_t> readBlockKeys(const std::vector<std::string>& names) {
    std::string text = "<graph_descriptor version=\"1.0\"><nodes>";
    for (const std::string& name : names) {
        text += "<node name=\"" + name + "\" type=\"isa\"/>";
    }
    text += "</nodes></graph_descriptor>";
    std::map<std::string, uint32_t> keys;
    zovesk_test::TreePtr root = zovesk_test::parseText(text);
    for (const std::string& name : names) {
        const uint32_t key = ItemUID::str2key(name);
        VELT::IGraphConfig* block =
            root ? root->getDescendant(ItemUID({VELT::kKeyNodes, key})) : nullptr;
        std::string stored;
        const bool found = block != nullptr && block->getValue(VELT::kKeyName, stored) == 0;
        keys[name] = found && stored == name ? key : 0;
    }
    return keys;
}

TEST_F(KeyDictionaryThreadsTest, SameNewNameGetsOneKeyWhicheverThreadIsFirst) {
    constexpr int kNames = 400;
    constexpr int kPerDocument = 20;
    const size_t before = velt_key_map.size();
    // Every thread reads documents naming the same new blocks, half of the
    // threads from the last name down.
    std::vector<std::map<std::string, uint32_t>> seen(kThreads);
    runTogether([&](int t) {
        for (int first = 0; first < kNames; first += kPerDocument) {
            std::vector<std::string> names;
            for (int n = first; n < first + kPerDocument; ++n) {
                names.push_back("shared_block_" + std::to_string(t % 2 == 0 ? n : kNames - 1 - n));
            }
            for (const auto& [name, key] : readBlockKeys(names)) {
                seen[t][name] = key;
            }
        }
    });
    ASSERT_EQ(seen[0].size(), static_cast<size_t>(kNames));
    std::set<uint32_t> keys;
    for (const auto& [name, key] : seen[0]) {
        for (int t = 1; t < kThreads; ++t) {
            ASSERT_EQ(seen[t].count(name), 1u) << name;
            EXPECT_EQ(seen[t].at(name), key) << name;
        }
        EXPECT_EQ(ItemUID::str2key(name), key) << name;
        EXPECT_STREQ(ItemUID::key2str(key), name.c_str());
        EXPECT_FALSE(ItemUID::isInteger(key)) << name;
        keys.insert(key);
    }
    // Distinct names, distinct keys, numbered as one thread would: the
    // dictionary's size at each insertion.
    EXPECT_EQ(keys.size(), static_cast<size_t>(kNames));
    EXPECT_EQ(*keys.begin(), before);
    EXPECT_EQ(*keys.rbegin(), before + kNames - 1);
    EXPECT_EQ(velt_key_map.size(), before + kNames);
}

TEST_F(KeyDictionaryThreadsTest, LookupsStayRightWhileOthersWrite) {
    constexpr int kRounds = 300;
    std::atomic<int> wrong{0};
    VELT::KeyMap saved;
    VELT::getVeltKeys(saved);
    runTogether([&](int t) {
        for (int i = 0; i < kRounds; ++i) {
            switch (t) {
                case 0:
                    // Generates names of its own, enough to outgrow the lookup table.
                    ItemUID::generateKey("writer_" + std::to_string(i));
                    break;
                case 1: {
                    ItemUID::addCustomKeyMap({{"merged_" + std::to_string(i), 20000u + i}});
                    VELT::KeyMap copy;
                    VELT::getVeltKeys(copy);
                    // A copy is a state the dictionary had: built-ins intact.
                    if (copy.at("width") != VELT::kKeyWidth || copy.at("na") != 0) {
                        ++wrong;
                    }
                    break;
                }
                case 2:
                    // Replacements keep the built-in names where they are.
                    if (i % 50 == 49) {
                        VELT::copyVeltKeys(saved);
                    }
                    break;
                default:
                    break;
            }
            // Everybody reads built-in names all the time.
            if (ItemUID::str2key("width") != VELT::kKeyWidth ||
                ItemUID::str2key("port") != VELT::kKeyPort ||
                std::string(ItemUID::key2str(VELT::kKeyPeer)) != "peer" ||
                ItemUID("port:peer").toString() != "port.peer" || ItemUID::str2key("Width") != 0) {
                ++wrong;
            }
        }
    });
    EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
