// Shared fixture for the buffer tests: checks that every test releases what it
// allocated and resets the allocation failure hook.
#ifndef ZOVESK_TESTS_ZO_RULO_BUFFER_TEST_SUPPORT_H
#define ZOVESK_TESTS_ZO_RULO_BUFFER_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include "zo_rulo_memory.h"
#include "zo_rulo_memory_common.h"

namespace zovesk_test {

class BufferTest : public ::testing::Test {
  protected:
    void SetUp() override { live_ = g_alloc_counter - g_free_counter; }
    void TearDown() override {
        g_alloc_error = -1;
        EXPECT_EQ(g_alloc_counter - g_free_counter, live_) << "allocations leaked or double-freed";
    }

    // A user memory record wrapping a host pointer.
    static zo_rulo_memory_t hostMemory(void* pointer, uint32_t size) {
        zo_rulo_memory_t memory{};
        memory.size = size;
        memory.cpuPtr = pointer;
        memory.flags = ZO_RULO_MEMORY_CPU_PTR;
        return memory;
    }

    // A user memory record wrapping a device handle.
    static zo_rulo_memory_t handleMemory(uint64_t handle, uint32_t size) {
        zo_rulo_memory_t memory{};
        memory.size = size;
        memory.handle = handle;
        memory.flags = ZO_RULO_MEMORY_HANDLE;
        return memory;
    }

  private:
    int32_t live_ = 0;
};

}  // namespace zovesk_test

#endif
