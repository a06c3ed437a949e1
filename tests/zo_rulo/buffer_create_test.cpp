// Buffer creation: user memory, every refusal, and the flag-word rules.

#include <gtest/gtest.h>

#include <cstdint>

#include "support/log_capture.h"
#include "zo_log_common.h"
#include "zo_rulo/buffer_test_support.h"
#include "zo_rulo_memory_common.h"

namespace {

using zovesk_test::BufferTest;
using zovesk_test::LogCapture;

using CreateTest = BufferTest;

TEST_F(CreateTest, EmptyBufferHasDefaultsAndNoMemory) {
    LogCapture log;
    zo_rulo_buffer_t* buffer = zo_rulo_buffer_create(256, 0, nullptr);
    ASSERT_NE(buffer, nullptr);
    EXPECT_TRUE(log.contains(ZO_LOG_ENTRY, "E:zo_rulo_buffer_create"));
    EXPECT_EQ(log.records().front().tag, "MEMORY_COMMON[XOS]");
    EXPECT_EQ(buffer->memory.size, 256u);
    EXPECT_EQ(buffer->memory.anchor, buffer);
    EXPECT_EQ(buffer->memory.flags, 0u);
    EXPECT_EQ(buffer->memory.cpuPtr, nullptr);
    EXPECT_EQ(buffer->allocate, &_rulo_memory_common_allocate);
    EXPECT_EQ(buffer->getMemory, &_rulo_memory_common_get_memory);
    EXPECT_EQ(buffer->destroy, nullptr);
    EXPECT_EQ(buffer->migrate, nullptr);
    EXPECT_FALSE(zo_rulo_buffer_is_region(buffer));
    EXPECT_EQ(zo_rulo_buffer_get_device_id(buffer), 0);
    EXPECT_EQ(zo_rulo_buffer_get_device_id(nullptr), 0);
    zo_rulo_buffer_destroy(buffer);
}

TEST_F(CreateTest, ZeroSizeAndFailedObjectAllocation) {
    EXPECT_EQ(zo_rulo_buffer_create(0, 0, nullptr), nullptr);
    LogCapture log;
    g_alloc_error = g_alloc_counter;
    EXPECT_EQ(zo_rulo_buffer_create(64, 0, nullptr), nullptr);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "could not allocate buf"));
}

TEST_F(CreateTest, LargerUserPointerIsTruncatedAndNeverFreed) {
    unsigned char user[100] = {};
    const zo_rulo_memory_t userMemory = hostMemory(user, sizeof(user));
    LogCapture log;
    zo_rulo_buffer_t* buffer = zo_rulo_buffer_create(64, 0, &userMemory);
    ASSERT_NE(buffer, nullptr);
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING,
                             "zo_rulo_buffer_create: requested bytes to allocate less than "
                             "provided user memory in argument, truncating"));

    zo_rulo_memory_t memory{};
    ASSERT_EQ(zo_rulo_buffer_get_memory(buffer, &memory), 0);
    EXPECT_EQ(memory.size, 64u);
    EXPECT_EQ(memory.cpuPtr, user);
    EXPECT_EQ(memory.anchor, buffer);
    EXPECT_EQ(memory.flags, ZO_RULO_MEMORY_USER_PROVIDED | ZO_RULO_MEMORY_CPU_PTR);
    // Allocating over user memory is refused: the pointer is already there.
    EXPECT_EQ(zo_rulo_buffer_allocate(buffer), -32);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "already allocated"));
    zo_rulo_buffer_destroy(buffer);  // the fixture checks that only the object was freed
}

TEST_F(CreateTest, UserHandleIsTakenOver) {
    const zo_rulo_memory_t userMemory = handleMemory(0x1234, 32);
    zo_rulo_buffer_t* buffer = zo_rulo_buffer_create(32, ZO_RULO_MEMORY_HW_ONLY, &userMemory);
    ASSERT_NE(buffer, nullptr);
    zo_rulo_memory_t memory{};
    ASSERT_EQ(zo_rulo_buffer_get_memory(buffer, &memory), 0);
    EXPECT_EQ(memory.handle, 0x1234u);
    EXPECT_EQ(memory.cpuPtr, nullptr);
    EXPECT_EQ(memory.flags,
              ZO_RULO_MEMORY_USER_PROVIDED | ZO_RULO_MEMORY_HANDLE | ZO_RULO_MEMORY_HW_ONLY);
    zo_rulo_buffer_destroy(buffer);
}

struct Refusal {
    const char* name;
    uint32_t size;
    uint32_t flags;
    zo_rulo_memory_t user;
    const char* message;
};

TEST_F(CreateTest, EveryUnusableUserMemoryIsRefused) {
    unsigned char host[128] = {};
    zo_rulo_buffer_t* someBuffer = reinterpret_cast<zo_rulo_buffer_t*>(host);
    const zo_rulo_memory_t cpu = hostMemory(host, 100);
    const zo_rulo_memory_t handle = handleMemory(7, 100);
    zo_rulo_memory_t cpuWithoutPointer = cpu;
    cpuWithoutPointer.cpuPtr = nullptr;
    zo_rulo_memory_t cpuAndHandle = cpu;
    cpuAndHandle.flags |= ZO_RULO_MEMORY_HANDLE;
    cpuAndHandle.handle = 7;
    zo_rulo_memory_t handleWithoutValue = handle;
    handleWithoutValue.handle = 0;
    zo_rulo_memory_t anchored = cpu;
    anchored.anchor = someBuffer;
    zo_rulo_memory_t neither{};
    neither.size = 100;
    neither.cpuPtr = host;

    const Refusal refusals[] = {
        {"user memory too small", 128, 0, cpu,
         "zo_rulo_buffer_create: requested bytes to allocate more than provided user memory in "
         "argument"},
        {"CPU_PTR without pointer", 64, 0, cpuWithoutPointer,
         "user did not provide pointer with ZO_RULO_MEMORY_CPU_PTR"},
        {"pointer and handle", 64, 0, cpuAndHandle,
         "ZO_RULO_MEMORY_CPU_PTR conflict with ZO_RULO_MEMORY_HANDLE"},
        {"pointer and allocation", 64, ZO_RULO_MEMORY_ALLOCATE_CPU_PTR, cpu,
         "ZO_RULO_MEMORY_CPU_PTR conflict with ZO_RULO_MEMORY_ALLOCATE_CPU_PTR"},
        {"HANDLE without handle", 64, 0, handleWithoutValue,
         "user did not provide handle with ZO_RULO_MEMORY_HANDLE"},
        {"handle and copy", 64, ZO_RULO_MEMORY_COPY_FROM_USER, handle,
         "ZO_RULO_MEMORY_COPY_FROM_USER conflict!  Copy from user handle not implemented."},
        {"handle and allocation", 64, ZO_RULO_MEMORY_ALLOCATE_CPU_PTR, handle,
         "ZO_RULO_MEMORY_HANDLE conflict with ZO_RULO_MEMORY_ALLOCATE_CPU_PTR"},
        {"anchored record", 64, 0, anchored, "inheriting object from another not supported!"},
        {"no accessor flag", 64, 0, neither, "Invalid user memory given as argument!"},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.name);
        LogCapture log;
        EXPECT_EQ(zo_rulo_buffer_create(refusal.size, refusal.flags, &refusal.user), nullptr);
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, refusal.message));
    }
}

TEST_F(CreateTest, InconsistentRequestedFlagsAreRefused) {
    {
        LogCapture log;
        EXPECT_EQ(
            zo_rulo_buffer_create(64, ZO_RULO_MEMORY_CPU_ONLY | ZO_RULO_MEMORY_HW_ONLY, nullptr),
            nullptr);
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                                 "Both ZO_RULO_MEMORY_CPU_ONLY and ZO_RULO_MEMORY_HW_ONLY are set "
                                 "at same time, which is the invalid case."));
    }
    {
        LogCapture log;
        EXPECT_EQ(zo_rulo_buffer_create(64, ZO_RULO_MEMORY_CPU_PTR, nullptr), nullptr);
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "ZO_RULO_MEMORY_CPU_PTR (set) ptr = "));
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "memory accessor set before allocation"));
    }
    {
        LogCapture log;
        EXPECT_EQ(zo_rulo_buffer_create(64, ZO_RULO_MEMORY_HANDLE, nullptr), nullptr);
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "ZO_RULO_MEMORY_HANDLE (set) handle = 0"));
    }
    {
        // Memory handed over by the caller is already there, so a pending
        // allocation or copy contradicts it.
        unsigned char host[64] = {};
        const zo_rulo_memory_t user = hostMemory(host, sizeof(host));
        LogCapture log;
        EXPECT_EQ(zo_rulo_buffer_create(
                      64, ZO_RULO_MEMORY_ALLOCATE_CPU_PTR | ZO_RULO_MEMORY_COPY_FROM_USER, &user),
                  nullptr);
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                                 "ZO_RULO_MEMORY_ALLOCATE_CPU_PTR needs to be unset to acknowledge "
                                 "allocation done!"));
        EXPECT_TRUE(log.contains(
            ZO_LOG_ERROR,
            "ZO_RULO_MEMORY_COPY_FROM_USER needs to be unset to acknowledge copy done!"));
    }
}

TEST_F(CreateTest, DestroyNullIsReported) {
    LogCapture log;
    zo_rulo_buffer_destroy(nullptr);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "zo_rulo_buffer_destroy: NULL pointer given!"));
}

}  // namespace
