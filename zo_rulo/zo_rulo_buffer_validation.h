// Consistency rules of a buffer's flag word, shared by every buffer operation.
#ifndef ZO_RULO_ZO_RULO_BUFFER_VALIDATION_H
#define ZO_RULO_ZO_RULO_BUFFER_VALIDATION_H

#include <cstdint>

#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo_memory_common.h"

namespace zo_rulo {

// Log tag of every buffer operation.
constexpr const char* kBufferTag = zo_log::tag(zo_log::Module::memoryCommon);

// Logs the function's entry at level 8.
void logBufferEntry(const char* function);

// 0 when the flag word agrees with the pointer, the handle and the allocation
// state of the record, else -2 after logging every broken rule under caller.
int32_t validateMemoryFlags(const zo_rulo_memory_t& memory, const char* caller);

}  // namespace zo_rulo

#endif  // ZO_RULO_ZO_RULO_BUFFER_VALIDATION_H
