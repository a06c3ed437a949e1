// A log sink that drops every message. Installing it makes the library format
// its messages (so bad format arguments are found) without printing them.
#ifndef ZOVESK_FUZZ_QUIET_LOG_H
#define ZOVESK_FUZZ_QUIET_LOG_H

#include <cstdint>

#include "zo_log_common.h"

namespace zovesk_fuzz {

inline void dropMessage(uint32_t, const char*, const char*, void*) {}

inline void installQuietLog() {
    zo_log_common_set_sink(dropMessage, nullptr);
}

}  // namespace zovesk_fuzz

#endif
