// The allocation counters, the failure hook and the bounded copy helpers.

#include <gtest/gtest.h>

#include <cstring>

#include "support/log_capture.h"
#include "zo_log_common.h"
#include "zo_rulo_memory.h"

namespace {

class FailureHookTest : public ::testing::Test {
  protected:
    void TearDown() override { g_alloc_error = -1; }
};

TEST_F(FailureHookTest, FiresAtTheThresholdUntilRaised) {
    g_alloc_error = g_alloc_counter;
    const int32_t counted = g_alloc_counter;
    EXPECT_EQ(zo_rulo_malloc(16, "test", __FILE__, __LINE__), nullptr);
    EXPECT_EQ(zo_rulo_calloc(2, 8, "test", __FILE__, __LINE__), nullptr);
    EXPECT_EQ(zo_rulo_alloc_aligned(64, 64, "test", __FILE__, __LINE__), nullptr);
    EXPECT_EQ(g_alloc_counter, counted);

    g_alloc_error += 1;
    void* block = zo_rulo_malloc(16, "test", __FILE__, __LINE__);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(g_alloc_counter, counted + 1);
    // The threshold is reached again: the next one fails.
    EXPECT_EQ(zo_rulo_malloc(16, "test", __FILE__, __LINE__), nullptr);
    zo_rulo_free(block, "test");
}

TEST_F(FailureHookTest, SettingNLetsExactlyNAllocationsSucceed) {
    g_alloc_error = g_alloc_counter + 3;
    int succeeded = 0;
    void* blocks[5] = {};
    for (void*& block : blocks) {
        block = zo_rulo_malloc(8, "test", __FILE__, __LINE__);
        succeeded += block != nullptr;
    }
    EXPECT_EQ(succeeded, 3);
    for (void* block : blocks) {
        zo_rulo_free(block, "test");
    }
}

TEST(MemoryTest, CountersFollowAllocationsAndNonNullFrees) {
    const int32_t allocs = g_alloc_counter;
    const int32_t frees = g_free_counter;
    auto* zeroed = static_cast<unsigned char*>(zo_rulo_calloc(4, 4, "test", __FILE__, __LINE__));
    ASSERT_NE(zeroed, nullptr);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(zeroed[i], 0);
    }
    void* aligned = zo_rulo_alloc_aligned(100, 128, "test", __FILE__, __LINE__);
    ASSERT_NE(aligned, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(aligned) % 128, 0u);
    EXPECT_EQ(g_alloc_counter, allocs + 2);

    zo_rulo_free(nullptr, "test");
    EXPECT_EQ(g_free_counter, frees);
    zo_rulo_free(zeroed, "test");
    zo_rulo_free(aligned, "test");
    EXPECT_EQ(g_free_counter, frees + 2);
}

TEST(MemoryTest, AlignmentThatIsNotAPowerOfTwoTimesPointerSizeFails) {
    const int32_t allocs = g_alloc_counter;
    EXPECT_EQ(zo_rulo_alloc_aligned(64, 24, "test", __FILE__, __LINE__), nullptr);
    EXPECT_EQ(zo_rulo_alloc_aligned(64, 4, "test", __FILE__, __LINE__), nullptr);
    EXPECT_EQ(g_alloc_counter, allocs);
}

TEST(MemoryTest, AllocationsAreTracedAtLevelFour) {
    zovesk_test::LogCapture log;
    void* block = zo_rulo_malloc(24, "tree_node", __FILE__, __LINE__);
    zo_rulo_free(block, "tree_node");
    ASSERT_EQ(log.records().size(), 2u);
    EXPECT_EQ(log.records()[0].level, ZO_LOG_ALLOC);
    EXPECT_EQ(log.records()[0].tag, "RULO_ALLOC[XOS]");
    EXPECT_NE(log.records()[0].message.find("E:zo_rulo_malloc size 24 from tree_node res ptr: "),
              std::string::npos);
    EXPECT_NE(log.records()[1].message.find("E:zo_rulo_free ptr "), std::string::npos);
}

TEST(MemoryTest, PlatformHandleIsEightZeroedBytes) {
    auto* handle = static_cast<unsigned char*>(zo_rulo_create());
    ASSERT_NE(handle, nullptr);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(handle[i], 0);
    }
    zo_rulo_destroy(handle);
}

TEST(BoundedCopyTest, MemcopyCopiesWhatFitsAndWarns) {
    zovesk_test::LogCapture log;
    char destination[4] = {0, 0, 0, 0};
    const char source[8] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};
    EXPECT_EQ(zo_rulo_memcopy(destination, 4, source, 8), destination);
    EXPECT_EQ(memcmp(destination, "abcd", 4), 0);
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING, "destination size is smaller than source size"));
}

TEST(BoundedCopyTest, SnprintfTruncatesAndReturnsTheFullLength) {
    zovesk_test::LogCapture log;
    char destination[8];
    memset(destination, 'x', sizeof(destination));
    EXPECT_EQ(zo_rulo_snprintf_s(destination, 4, 4, "%s", "abcdef"), 6);
    EXPECT_STREQ(destination, "abc");
    EXPECT_EQ(destination[4], 'x');
    EXPECT_TRUE(log.records().empty());

    EXPECT_EQ(zo_rulo_snprintf_s(destination, 2, 8, "%d", 1234), 4);
    EXPECT_STREQ(destination, "1");
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING, "zo_rulo_snprintf_s: destination size is smaller"));
}

TEST(BoundedCopyTest, StrnlenAndPageSize) {
    EXPECT_EQ(zo_rulo_strnlen("camera", 3), 3u);
    EXPECT_EQ(zo_rulo_strnlen("cam", 10), 3u);
    const size_t page = zo_rulo_pagesize();
    EXPECT_GE(page, 4096u);
    EXPECT_EQ(page & (page - 1), 0u);
}

}  // namespace
