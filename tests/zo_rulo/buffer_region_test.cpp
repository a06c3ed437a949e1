// Regions: windows into a parent buffer, their limits and their lifetime.

#include <gtest/gtest.h>

#include <cstdint>

#include "support/log_capture.h"
#include "zo_list.h"
#include "zo_log_common.h"
#include "zo_rulo/buffer_test_support.h"
#include "zo_rulo_memory_common.h"

namespace {

using zovesk_test::LogCapture;

class RegionTest : public zovesk_test::BufferTest {
  protected:
    void SetUp() override {
        BufferTest::SetUp();
        parent_ = zo_rulo_buffer_create(64, ZO_RULO_MEMORY_ALLOCATE_CPU_PTR, nullptr);
        ASSERT_NE(parent_, nullptr);
    }
    void TearDown() override {
        zo_rulo_buffer_destroy(parent_);
        BufferTest::TearDown();
    }
    zo_rulo_buffer_t* parent_ = nullptr;
};

TEST_F(RegionTest, RegionSeesItsWindowOfTheParent) {
    zo_rulo_buffer_t* region = zo_rulo_buffer_create_region(parent_, 16, 32);
    ASSERT_NE(region, nullptr);
    EXPECT_TRUE(zo_rulo_buffer_is_region(region));
    EXPECT_EQ(zo_rulo_buffer_get_parent(region), parent_);
    EXPECT_EQ(region->offset, 16u);
    EXPECT_EQ(region->allocate, nullptr);
    EXPECT_EQ(region->getMemory, nullptr);
    EXPECT_EQ(zo_list_contains(parent_->regions, region), 1);

    // The region's first access allocates the parent's memory.
    zo_rulo_memory_t memory{};
    ASSERT_EQ(zo_rulo_buffer_get_memory(region, &memory), 0);
    ASSERT_NE(parent_->memory.cpuPtr, nullptr);
    EXPECT_EQ(memory.cpuPtr, static_cast<unsigned char*>(parent_->memory.cpuPtr) + 16);
    EXPECT_EQ(memory.size, 32u);
    EXPECT_EQ(memory.anchor, region);
    EXPECT_EQ(memory.flags, ZO_RULO_MEMORY_ALLOCATED | ZO_RULO_MEMORY_CPU_PTR);

    // A region takes the parent's flag word as it was when the region was cut.
    EXPECT_EQ(region->memory.flags, ZO_RULO_MEMORY_ALLOCATE_CPU_PTR);
    EXPECT_EQ(zo_rulo_buffer_allocate(region), -16);

    zo_rulo_buffer_destroy(region);
    EXPECT_EQ(parent_->regions, nullptr);
}

TEST_F(RegionTest, RegionMustFitInsideTheParent) {
    LogCapture log;
    EXPECT_EQ(zo_rulo_buffer_create_region(parent_, 40, 32), nullptr);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "zo_rulo_buffer_create_region: parent buffer size 64 not enough for "
                             "region requested (offset 40, size 32)"));
    // Offsets near the top of the range do not wrap around.
    EXPECT_EQ(zo_rulo_buffer_create_region(parent_, 0xFFFFFFF0u, 32), nullptr);
    EXPECT_EQ(zo_rulo_buffer_create_region(parent_, 0, 0), nullptr);
    EXPECT_EQ(zo_rulo_buffer_create_region(nullptr, 0, 8), nullptr);

    zo_rulo_buffer_t* tail = zo_rulo_buffer_create_region(parent_, 32, 32);
    ASSERT_NE(tail, nullptr);
    zo_rulo_memory_t memory{};
    ASSERT_EQ(zo_rulo_buffer_get_memory(tail, &memory), 0);
    EXPECT_EQ(memory.cpuPtr, static_cast<unsigned char*>(parent_->memory.cpuPtr) + 32);
    zo_rulo_buffer_destroy(tail);
}

TEST_F(RegionTest, RegionsDoNotNest) {
    zo_rulo_buffer_t* region = zo_rulo_buffer_create_region(parent_, 0, 32);
    ASSERT_NE(region, nullptr);
    LogCapture log;
    EXPECT_EQ(zo_rulo_buffer_create_region(region, 0, 16), nullptr);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "nested regions are illecal"));
    EXPECT_EQ(zo_rulo_memory_device_migrate_buffer(nullptr, region), -32);
    zo_rulo_memory_device_t device{};
    EXPECT_EQ(zo_rulo_memory_device_migrate_buffer(&device, region), -32);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "buffer regions cannot be independently migrated"));
    zo_rulo_buffer_destroy(region);
}

TEST_F(RegionTest, OnlyRegionsHaveAParent) {
    LogCapture log;
    EXPECT_EQ(zo_rulo_buffer_get_parent(parent_), nullptr);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "zo_rulo_buffer_get_parent: not a child object"));
    EXPECT_FALSE(zo_rulo_buffer_is_region(nullptr));
}

TEST_F(RegionTest, ParentDestroyedBeforeItsRegionDetachesIt) {
    zo_rulo_buffer_t* first = zo_rulo_buffer_create_region(parent_, 0, 8);
    zo_rulo_buffer_t* second = zo_rulo_buffer_create_region(parent_, 8, 8);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(zo_list_length(parent_->regions), 2u);
    {
        LogCapture log;
        zo_rulo_buffer_destroy(parent_);
        parent_ = nullptr;
        EXPECT_TRUE(log.contains(ZO_LOG_WARNING, "parent buffer destroy leaves stale regions"));
    }
    for (zo_rulo_buffer_t* region : {first, second}) {
        EXPECT_EQ(region->memory.anchor, nullptr);
        EXPECT_TRUE(zo_rulo_buffer_is_region(region));
        EXPECT_EQ(zo_rulo_buffer_get_parent(region), nullptr);
        zo_rulo_memory_t memory{};
        EXPECT_EQ(zo_rulo_buffer_get_memory(region, &memory), -32);
        LogCapture log;
        zo_rulo_buffer_destroy(region);
        EXPECT_TRUE(
            log.contains(ZO_LOG_WARNING, "zo_rulo_buffer_destroy: parent already released"));
    }
}

TEST_F(RegionTest, RegionMissingFromItsParentsListIsReported) {
    zo_rulo_buffer_t* region = zo_rulo_buffer_create_region(parent_, 0, 8);
    ASSERT_NE(region, nullptr);
    ASSERT_EQ(zo_list_remove(&parent_->regions, region), 1);
    LogCapture log;
    zo_rulo_buffer_destroy(region);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "region parent reference missing"));
}

TEST_F(RegionTest, FailedAllocationsLeaveNoRegionBehind) {
    {
        LogCapture log;
        g_alloc_error = g_alloc_counter;
        EXPECT_EQ(zo_rulo_buffer_create_region(parent_, 0, 8), nullptr);
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "failed to allocate buffer"));
    }
    {
        LogCapture log;
        g_alloc_error = g_alloc_counter + 1;  // the region, but not its list element
        EXPECT_EQ(zo_rulo_buffer_create_region(parent_, 0, 8), nullptr);
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "failed to append to parent buffer regions"));
    }
    g_alloc_error = -1;
    EXPECT_EQ(parent_->regions, nullptr);
}

// A parent whose driver reports less memory than the buffer was created with.
int32_t handOutShortRecord(zo_rulo_buffer_t* buffer, zo_rulo_memory_t* out) {
    *out = buffer->memory;
    out->size = 16;
    return 0;
}

TEST_F(RegionTest, RegionOutsideTheParentsMemoryIsRefusedOnAccess) {
    zo_rulo_buffer_t* region = zo_rulo_buffer_create_region(parent_, 8, 16);
    ASSERT_NE(region, nullptr);
    parent_->getMemory = handOutShortRecord;
    LogCapture log;
    zo_rulo_memory_t memory{};
    EXPECT_EQ(zo_rulo_buffer_get_memory(region, &memory), -16);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "memory region doesn't fit in parent store!"));
    parent_->getMemory = nullptr;
    EXPECT_EQ(zo_rulo_buffer_get_memory(region, &memory), -16);
    zo_rulo_buffer_destroy(region);
}

}  // namespace
