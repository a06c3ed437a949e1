// Hand-over of a buffer to a device driver.

#include "velt_status.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_rulo_buffer_validation.h"
#include "zo_rulo_memory_common.h"

using zo_rulo::kBufferTag;
using zo_rulo::logBufferEntry;

extern "C" {

int32_t zo_rulo_memory_device_migrate_buffer(const zo_rulo_memory_device_t* device,
                                             zo_rulo_buffer_t* buffer) {
    logBufferEntry(__func__);
    if (!device || !buffer) {
        return VELT::err_argument;
    }
    if (zo_rulo_buffer_is_region(buffer)) {
        zo_log_common_debug(ZO_LOG_ERROR, kBufferTag,
                            "%s: buffer regions cannot be independently migrated", __func__);
        return VELT::err_argument;
    }
    // The device replaces only what it provides; the buffer keeps the rest.
    if (device->allocate) {
        buffer->allocate = device->allocate;
    }
    if (device->migrate) {
        buffer->migrate = device->migrate;
    }
    if (device->getMemory) {
        buffer->getMemory = device->getMemory;
    }
    if (device->destroy) {
        buffer->destroy = device->destroy;
    }
    buffer->deviceContext = device->deviceContext;
    return buffer->migrate ? buffer->migrate(buffer) : VELT::err_argument;
}

}  // extern "C"
