// Blocks of deleted trees are kept, up to the limit, and the next trees are
// built in them: the trees must come out the same as in fresh memory, the
// limit must hold, and trees read and deleted on several threads at once must
// share the cache safely (the sanitized builds watch the last).

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

#include "key_dictionary_fixture.h"
#include "support/parse_text.h"
#include "velt_item_uid.h"
#include "velt_status.h"
#include "zo_camera/velt/tree/block_cache.h"
#include "zo_tree_cache.h"

namespace {

using zovesk_test::asNode;
using zovesk_test::parseText;
using zovesk_test::TreePtr;

using VELT::block_cache::kBlockBytes;

// A settings document whose tree takes many of the largest blocks; the
// values differ with seed, so a tree built in another tree's blocks shows
// any of their old contents.
std::string settingsText(int entries, int seed) {
    std::string text = "<graph_settings version=\"CACHE1.0\">\n";
    for (int entry = 0; entry < entries; ++entry) {
        const std::string id = std::to_string(entry * 7 + seed);
        text += "  <settings key=\"" + std::to_string(entry) + "\" id=\"" + id +
                "\">\n    <video format=\"YUV420_8_SP_COMPRESSED_TILED_" + id +
                "\" width=\"1920\" height=\"" + id + "\"/>\n  </settings>\n";
    }
    return text + "</graph_settings>\n";
}

// The settings entries of a read tree, in document order.
std::vector<VELT::IGraphConfig*> entriesOf(VELT::IGraphConfig* root) {
    std::vector<VELT::IGraphConfig*> entries;
    for (const auto& item : *asNode(root)) {
        if (item.second->isNode()) {
            entries.push_back(static_cast<VELT::GraphConfigNode*>(item.second.get()));
        }
    }
    return entries;
}

// Checks every entry's values against the seed they were written with.
void expectEntries(VELT::IGraphConfig* root, int entries, int seed) {
    ASSERT_NE(root, nullptr);
    const std::vector<VELT::IGraphConfig*> read = entriesOf(root);
    ASSERT_EQ(read.size(), static_cast<size_t>(entries));
    for (int entry = 0; entry < entries; ++entry) {
        int key = -1;
        int height = 0;
        std::string format;
        EXPECT_EQ(read[entry]->getValue(VELT::ItemUID(std::string("key")), key), VELT::err_none);
        EXPECT_EQ(read[entry]->getValue(VELT::ItemUID(std::string("video:height")), height),
                  VELT::err_none);
        EXPECT_EQ(read[entry]->getValue(VELT::ItemUID(std::string("video:format")), format),
                  VELT::err_none);
        EXPECT_EQ(key, entry);
        EXPECT_EQ(height, entry * 7 + seed);
        EXPECT_EQ(format, "YUV420_8_SP_COMPRESSED_TILED_" + std::to_string(entry * 7 + seed));
        if (::testing::Test::HasFailure()) {
            FAIL() << "entry " << entry;
        }
    }
}

// Starts with an empty cache at the default limit; the documents' names
// leave the dictionary with the test.
class TreeBlockCache : public zovesk_test::KeyDictionaryTest {
  protected:
    void SetUp() override {
        KeyDictionaryTest::SetUp();
        limit_ = zo_tree_cache_set_limit(0);
        zo_tree_cache_set_limit(ZO_TREE_CACHE_DEFAULT_LIMIT);
    }
    void TearDown() override {
        zo_tree_cache_set_limit(limit_);
        KeyDictionaryTest::TearDown();
    }

  private:
    size_t limit_ = 0;
};

constexpr int kEntries = 3000;

TEST_F(TreeBlockCache, DeletedTreesLeaveBlocksThatTheNextTreeIsBuiltIn) {
    ASSERT_EQ(zo_tree_cache_bytes(), 0u);
    parseText(settingsText(kEntries, 1)).reset();
    const size_t kept = zo_tree_cache_bytes();
    ASSERT_GE(kept, 4 * kBlockBytes);
    EXPECT_EQ(kept % kBlockBytes, 0u);

    TreePtr again = parseText(settingsText(kEntries, 2));
    EXPECT_LT(zo_tree_cache_bytes(), kept);
    expectEntries(again.get(), kEntries, 2);
    again.reset();
    EXPECT_EQ(zo_tree_cache_bytes(), kept);
}

TEST_F(TreeBlockCache, TheLimitBoundsWhatIsKept) {
    parseText(settingsText(kEntries, 1)).reset();
    ASSERT_GT(zo_tree_cache_bytes(), kBlockBytes);

    // Lowering the limit frees what is above it at once.
    EXPECT_EQ(zo_tree_cache_set_limit(kBlockBytes), ZO_TREE_CACHE_DEFAULT_LIMIT);
    EXPECT_EQ(zo_tree_cache_bytes(), kBlockBytes);
    parseText(settingsText(kEntries, 3)).reset();
    EXPECT_EQ(zo_tree_cache_bytes(), kBlockBytes);

    // A limit below one block keeps none.
    zo_tree_cache_set_limit(kBlockBytes - 1);
    EXPECT_EQ(zo_tree_cache_bytes(), 0u);
    parseText(settingsText(kEntries, 4)).reset();
    EXPECT_EQ(zo_tree_cache_bytes(), 0u);
}

TEST_F(TreeBlockCache, ReleaseFreesEverythingAndKeepsTheLimit) {
    parseText(settingsText(kEntries, 1)).reset();
    ASSERT_GT(zo_tree_cache_bytes(), 0u);
    zo_tree_cache_release();
    EXPECT_EQ(zo_tree_cache_bytes(), 0u);
    parseText(settingsText(kEntries, 5)).reset();
    EXPECT_GT(zo_tree_cache_bytes(), 0u);
    EXPECT_EQ(zo_tree_cache_set_limit(ZO_TREE_CACHE_DEFAULT_LIMIT), ZO_TREE_CACHE_DEFAULT_LIMIT);
}

TEST_F(TreeBlockCache, KeepsNoMoreThanTheLimitWhenManyTreesGo) {
    zo_tree_cache_set_limit(6 * kBlockBytes);
    std::vector<TreePtr> trees;
    for (int seed = 0; seed < 4; ++seed) {
        trees.push_back(parseText(settingsText(kEntries, seed)));
    }
    trees.clear();
    EXPECT_EQ(zo_tree_cache_bytes(), 6 * kBlockBytes);
}

#if defined(__SANITIZE_ADDRESS__)
TEST_F(TreeBlockCache, KeptBlocksStayPoisoned) {
    TreePtr tree = parseText(settingsText(kEntries, 1));
    ASSERT_NE(tree, nullptr);
    // The last entry, which sits in one of the largest blocks.
    VELT::IGraphConfig* last = entriesOf(tree.get()).back();
    EXPECT_FALSE(__asan_address_is_poisoned(last));
    tree.reset();
    ASSERT_GT(zo_tree_cache_bytes(), 0u);
    EXPECT_TRUE(__asan_address_is_poisoned(last));
}
#endif

TEST_F(TreeBlockCache, ThreadsReadingAndDeletingTreesShareTheCache) {
    zo_tree_cache_set_limit(8 * kBlockBytes);
    constexpr int kThreads = 4;
    constexpr int kRounds = 6;
    std::vector<std::string> texts;
    for (int seed = 0; seed < kThreads; ++seed) {
        texts.push_back(settingsText(1000, seed * 11));
    }
    std::vector<int> good(kThreads, 0);
    std::vector<std::thread> threads;
    for (int thread = 0; thread < kThreads; ++thread) {
        threads.emplace_back([&, thread] {
            for (int round = 0; round < kRounds; ++round) {
                TreePtr tree = parseText(texts[thread]);
                int height = 0;
                const std::vector<VELT::IGraphConfig*> entries =
                    tree == nullptr ? std::vector<VELT::IGraphConfig*>{} : entriesOf(tree.get());
                if (entries.size() == 1000 &&
                    entries.back()->getValue(VELT::ItemUID(std::string("video:height")), height) ==
                        VELT::err_none &&
                    height == 999 * 7 + thread * 11) {
                    ++good[thread];
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (int thread = 0; thread < kThreads; ++thread) {
        EXPECT_EQ(good[thread], kRounds) << "thread " << thread;
    }
    EXPECT_LE(zo_tree_cache_bytes(), 8 * kBlockBytes);
}

}  // namespace
