// Allocation on first access, explicit allocation and validation of the
// records a getMemory callback hands out.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "support/log_capture.h"
#include "zo_log_common.h"
#include "zo_rulo/buffer_test_support.h"
#include "zo_rulo_memory_common.h"

namespace {

using zovesk_test::BufferTest;
using zovesk_test::LogCapture;

using AccessTest = BufferTest;

TEST_F(AccessTest, FirstAccessAllocatesOnceAndDestroyFreesIt) {
    zo_rulo_buffer_t* buffer =
        zo_rulo_buffer_create(4096, ZO_RULO_MEMORY_ALLOCATE_CPU_PTR, nullptr);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->memory.cpuPtr, nullptr);

    zo_rulo_memory_t first{};
    ASSERT_EQ(zo_rulo_buffer_get_memory(buffer, &first), 0);
    EXPECT_EQ(first.size, 4096u);
    ASSERT_NE(first.cpuPtr, nullptr);
    EXPECT_EQ(first.flags, ZO_RULO_MEMORY_ALLOCATED | ZO_RULO_MEMORY_CPU_PTR);
    EXPECT_EQ(buffer->destroy, &_rulo_memory_common_destroy);
    static_cast<unsigned char*>(first.cpuPtr)[4095] = 0xA5;  // the whole size is usable

    const int32_t allocations = g_alloc_counter;
    zo_rulo_memory_t second{};
    ASSERT_EQ(zo_rulo_buffer_get_memory(buffer, &second), 0);
    EXPECT_EQ(second.cpuPtr, first.cpuPtr);
    EXPECT_EQ(g_alloc_counter, allocations);
    zo_rulo_buffer_destroy(buffer);  // the fixture checks the memory went with it
}

TEST_F(AccessTest, ExplicitAllocationAndItsFailures) {
    EXPECT_EQ(zo_rulo_buffer_allocate(nullptr), -32);

    zo_rulo_buffer_t* buffer = zo_rulo_buffer_create(128, 0, nullptr);
    ASSERT_NE(buffer, nullptr);
    ASSERT_EQ(zo_rulo_buffer_allocate(buffer), 0);
    EXPECT_NE(buffer->memory.cpuPtr, nullptr);
    EXPECT_EQ(buffer->memory.flags, ZO_RULO_MEMORY_ALLOCATED | ZO_RULO_MEMORY_CPU_PTR);
    {
        LogCapture log;
        EXPECT_EQ(zo_rulo_buffer_allocate(buffer), -32);
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "_rulo_memory_common_allocate: already allocated"));
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "zo_rulo_buffer_allocate: allocation failed"));
    }
    zo_rulo_buffer_destroy(buffer);

    buffer = zo_rulo_buffer_create(128, ZO_RULO_MEMORY_ALLOCATE_CPU_PTR, nullptr);
    ASSERT_NE(buffer, nullptr);
    g_alloc_error = g_alloc_counter;
    zo_rulo_memory_t memory{};
    EXPECT_EQ(zo_rulo_buffer_get_memory(buffer, &memory), -4);
    g_alloc_error = -1;
    // Nothing changed: the next access allocates.
    EXPECT_EQ(buffer->memory.flags, ZO_RULO_MEMORY_ALLOCATE_CPU_PTR);
    EXPECT_EQ(zo_rulo_buffer_get_memory(buffer, &memory), 0);
    zo_rulo_buffer_destroy(buffer);

    buffer = zo_rulo_buffer_create(128, 0, nullptr);
    ASSERT_NE(buffer, nullptr);
    buffer->allocate = nullptr;
    EXPECT_EQ(zo_rulo_buffer_allocate(buffer), -16);
    zo_rulo_buffer_destroy(buffer);
}

TEST_F(AccessTest, DeviceMemoryFlagsNeedAMigrationFirst) {
    zo_rulo_buffer_t* buffer =
        zo_rulo_buffer_create(64, 0x10000 | ZO_RULO_MEMORY_ALLOCATE_CPU_PTR, nullptr);
    ASSERT_NE(buffer, nullptr);
    LogCapture log;
    zo_rulo_memory_t memory{};
    EXPECT_EQ(zo_rulo_buffer_get_memory(buffer, &memory), -32);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "device memory flags specified, migrate first!"));
    // Once a driver has claimed the buffer, host memory may be allocated.
    buffer->deviceId = 2;
    EXPECT_EQ(zo_rulo_buffer_get_memory(buffer, &memory), 0);
    EXPECT_NE(memory.cpuPtr, nullptr);
    zo_rulo_buffer_destroy(buffer);
}

TEST_F(AccessTest, PendingAllocationWithAPointerAlreadyThereIsInternalError) {
    zo_rulo_buffer_t* buffer = zo_rulo_buffer_create(64, ZO_RULO_MEMORY_ALLOCATE_CPU_PTR, nullptr);
    ASSERT_NE(buffer, nullptr);
    unsigned char elsewhere[64];
    buffer->memory.cpuPtr = elsewhere;
    LogCapture log;
    zo_rulo_memory_t memory{};
    EXPECT_EQ(zo_rulo_buffer_get_memory(buffer, &memory), -16);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "ALLOCATE_CPU_PTR not handled but pointer exists!"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "zo_rulo_buffer_get_memory: operation failed"));
    buffer->memory.cpuPtr = nullptr;
    zo_rulo_buffer_destroy(buffer);
}

TEST_F(AccessTest, CopyWithoutUserMemoryFailsInsteadOfReadingNothing) {
    zo_rulo_buffer_t* buffer = zo_rulo_buffer_create(
        64, ZO_RULO_MEMORY_ALLOCATE_CPU_PTR | ZO_RULO_MEMORY_COPY_FROM_USER, nullptr);
    ASSERT_NE(buffer, nullptr);
    LogCapture log;
    zo_rulo_memory_t memory{};
    EXPECT_EQ(zo_rulo_buffer_get_memory(buffer, &memory), -2);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "no user memory to copy from"));
    EXPECT_EQ(buffer->memory.cpuPtr, nullptr);
    zo_rulo_buffer_destroy(buffer);
}

TEST_F(AccessTest, CopyFromUserPointerFillsNewHostMemory) {
    // Reached by a caller that fills the record itself: creation refuses a
    // copy request together with user memory.
    zo_rulo_buffer_t* buffer = zo_rulo_buffer_create(8, 0, nullptr);
    ASSERT_NE(buffer, nullptr);
    unsigned char user[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    buffer->memory.cpuPtr = user;
    buffer->memory.flags = ZO_RULO_MEMORY_COPY_FROM_USER | ZO_RULO_MEMORY_ALLOCATE_CPU_PTR;
    ASSERT_EQ(_rulo_memory_common_allocate(buffer), 0);
    ASSERT_NE(buffer->memory.cpuPtr, user);
    EXPECT_EQ(memcmp(buffer->memory.cpuPtr, user, sizeof(user)), 0);
    EXPECT_EQ(buffer->memory.flags, ZO_RULO_MEMORY_ALLOCATED | ZO_RULO_MEMORY_CPU_PTR);
    zo_rulo_buffer_destroy(buffer);

    buffer = zo_rulo_buffer_create(8, 0, nullptr);
    ASSERT_NE(buffer, nullptr);
    buffer->memory.handle = 9;
    buffer->memory.flags = ZO_RULO_MEMORY_COPY_FROM_USER;
    LogCapture log;
    EXPECT_EQ(_rulo_memory_common_allocate(buffer), -2);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "copy from handle to host only memory notimplemented"));
    zo_rulo_buffer_destroy(buffer);
}

// A device getMemory callback that hands out whatever the test put in the
// buffer's driver context.
int32_t handOutContextRecord(zo_rulo_buffer_t* buffer, zo_rulo_memory_t* out) {
    *out = *static_cast<const zo_rulo_memory_t*>(buffer->deviceContext);
    return 0;
}

TEST_F(AccessTest, RecordsHandedOutAreValidated) {
    zo_rulo_buffer_t* buffer = zo_rulo_buffer_create(64, 0, nullptr);
    ASSERT_NE(buffer, nullptr);
    zo_rulo_memory_t record{};
    buffer->getMemory = handOutContextRecord;
    buffer->deviceContext = &record;
    unsigned char host[64];

    struct Case {
        const char* name;
        void* pointer;
        uint64_t handle;
        uint32_t flags;
        const char* message;  // nullptr: the record is valid
    };
    const Case cases[] = {
        {"pointer without flag", host, 0, ZO_RULO_MEMORY_ALLOCATED | ZO_RULO_MEMORY_HW_ONLY,
         "ZO_RULO_MEMORY_CPU_PTR (not set) ptr = "},
        {"handle without flag", nullptr, 5, ZO_RULO_MEMORY_ALLOCATED | ZO_RULO_MEMORY_HW_ONLY,
         "ZO_RULO_MEMORY_HANDLE (not set) handle = 5"},
        {"no accessor", nullptr, 0, ZO_RULO_MEMORY_ALLOCATED,
         "missing memory accessor or HW_ONLY flag for allocated memory"},
        {"handle before allocation", nullptr, 5, ZO_RULO_MEMORY_HANDLE,
         "memory accessor set before allocation"},
        {"device-only memory", nullptr, 0, ZO_RULO_MEMORY_ALLOCATED | ZO_RULO_MEMORY_HW_ONLY,
         nullptr},
        {"nothing allocated yet", nullptr, 0, ZO_RULO_MEMORY_ALLOCATE_CPU_PTR, nullptr},
        {"pointer and handle", host, 5,
         ZO_RULO_MEMORY_USER_PROVIDED | ZO_RULO_MEMORY_CPU_PTR | ZO_RULO_MEMORY_HANDLE, nullptr},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        record.size = 64;
        record.cpuPtr = test.pointer;
        record.handle = test.handle;
        record.flags = test.flags;
        LogCapture log;
        zo_rulo_memory_t out{};
        if (test.message) {
            EXPECT_EQ(zo_rulo_buffer_get_memory(buffer, &out), -2);
            EXPECT_TRUE(log.contains(ZO_LOG_ERROR, test.message));
            EXPECT_TRUE(
                log.contains(ZO_LOG_ERROR, "bitfield validation failed for memory returned"));
        } else {
            EXPECT_EQ(zo_rulo_buffer_get_memory(buffer, &out), 0);
            EXPECT_EQ(out.flags, test.flags);
        }
    }
    EXPECT_EQ(zo_rulo_buffer_get_memory(buffer, nullptr), -32);
    EXPECT_EQ(zo_rulo_buffer_get_memory(nullptr, &record), -32);
    buffer->getMemory = nullptr;
    EXPECT_EQ(zo_rulo_buffer_get_memory(buffer, &record), -16);
    zo_rulo_buffer_destroy(buffer);
}

TEST_F(AccessTest, AllocationLeavingInconsistentFlagsIsReported) {
    zo_rulo_buffer_t* buffer = zo_rulo_buffer_create(64, 0, nullptr);
    ASSERT_NE(buffer, nullptr);
    // An allocate callback that claims memory without any way to reach it.
    buffer->allocate = [](zo_rulo_buffer_t* b) -> int32_t {
        b->memory.flags |= ZO_RULO_MEMORY_ALLOCATED;
        return 0;
    };
    LogCapture log;
    EXPECT_EQ(zo_rulo_buffer_allocate(buffer), -2);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "bitfield validation after allocate failed"));
    zo_rulo_buffer_destroy(buffer);
}

}  // namespace
