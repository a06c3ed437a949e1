// Hand-over of a buffer to a device driver.

#include <gtest/gtest.h>

#include <cstdint>

#include "support/log_capture.h"
#include "zo_log_common.h"
#include "zo_rulo/buffer_test_support.h"
#include "zo_rulo_memory_common.h"

namespace {

using zovesk_test::LogCapture;

// What the fake driver saw.
struct Driver {
    int migrated = 0;
    int destroyed = 0;
    int32_t migrateResult = 0;
};

int32_t driverMigrate(zo_rulo_buffer_t* buffer) {
    auto* driver = static_cast<Driver*>(buffer->deviceContext);
    ++driver->migrated;
    buffer->deviceId = 3;
    return driver->migrateResult;
}

void driverDestroy(zo_rulo_buffer_t* buffer) {
    ++static_cast<Driver*>(buffer->deviceContext)->destroyed;
    _rulo_memory_common_destroy(buffer);
}

int32_t driverGetMemory(zo_rulo_buffer_t* buffer, zo_rulo_memory_t* out) {
    *out = buffer->memory;
    out->handle = 0x77;
    out->flags = ZO_RULO_MEMORY_ALLOCATED | ZO_RULO_MEMORY_HANDLE | ZO_RULO_MEMORY_HW_ONLY;
    return 0;
}

using DeviceTest = zovesk_test::BufferTest;

TEST_F(DeviceTest, BufferKeepsItsOwnCallbacksWhereTheDeviceHasNone) {
    zo_rulo_buffer_t* buffer =
        zo_rulo_buffer_create(64, 0x10000 | ZO_RULO_MEMORY_ALLOCATE_CPU_PTR, nullptr);
    ASSERT_NE(buffer, nullptr);
    Driver driver;
    const zo_rulo_memory_device_t device{nullptr, driverMigrate, nullptr, driverDestroy, &driver};
    EXPECT_EQ(zo_rulo_memory_device_migrate_buffer(&device, buffer), 0);
    EXPECT_EQ(driver.migrated, 1);
    EXPECT_EQ(buffer->deviceContext, &driver);
    EXPECT_EQ(buffer->allocate, &_rulo_memory_common_allocate);
    EXPECT_EQ(buffer->getMemory, &_rulo_memory_common_get_memory);
    EXPECT_EQ(buffer->migrate, &driverMigrate);
    EXPECT_EQ(buffer->destroy, &driverDestroy);
    EXPECT_EQ(zo_rulo_buffer_get_device_id(buffer), 3);

    // The device flags no longer block host allocation once a driver owns the buffer.
    zo_rulo_memory_t memory{};
    ASSERT_EQ(zo_rulo_buffer_get_memory(buffer, &memory), 0);
    EXPECT_NE(memory.cpuPtr, nullptr);
    // The default allocation installs its own destroy over the driver's.
    EXPECT_EQ(buffer->destroy, &_rulo_memory_common_destroy);
    zo_rulo_buffer_destroy(buffer);
}

TEST_F(DeviceTest, DeviceCallbacksReplaceTheDefaults) {
    zo_rulo_buffer_t* buffer = zo_rulo_buffer_create(64, 0, nullptr);
    ASSERT_NE(buffer, nullptr);
    Driver driver;
    driver.migrateResult = -8;
    const zo_rulo_memory_device_t device{nullptr, driverMigrate, driverGetMemory, driverDestroy,
                                         &driver};
    EXPECT_EQ(zo_rulo_memory_device_migrate_buffer(&device, buffer), -8);
    zo_rulo_memory_t memory{};
    ASSERT_EQ(zo_rulo_buffer_get_memory(buffer, &memory), 0);
    EXPECT_EQ(memory.handle, 0x77u);
    zo_rulo_buffer_destroy(buffer);
    EXPECT_EQ(driver.destroyed, 1);
}

TEST_F(DeviceTest, MigrationWithoutAMigrateCallbackFails) {
    zo_rulo_buffer_t* buffer = zo_rulo_buffer_create(64, 0, nullptr);
    ASSERT_NE(buffer, nullptr);
    Driver driver;
    const zo_rulo_memory_device_t device{nullptr, nullptr, driverGetMemory, nullptr, &driver};
    EXPECT_EQ(zo_rulo_memory_device_migrate_buffer(&device, buffer), -32);
    // The hand-over itself still happened.
    EXPECT_EQ(buffer->getMemory, &driverGetMemory);
    EXPECT_EQ(buffer->deviceContext, &driver);
    EXPECT_EQ(zo_rulo_memory_device_migrate_buffer(&device, nullptr), -32);
    EXPECT_EQ(zo_rulo_memory_device_migrate_buffer(nullptr, buffer), -32);
    zo_rulo_buffer_destroy(buffer);
}

}  // namespace
