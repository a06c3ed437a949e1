// Whether anybody listens to a log level, answered without a call or a lock,
// so that call sites can skip building costly message arguments (dumps,
// printed node names) when the message would be discarded anyway.
#ifndef ZO_RULO_ZO_LOG_WANTED_H
#define ZO_RULO_ZO_LOG_WANTED_H

#include <atomic>
#include <cstdint>

#include "zo_log_common.h"

namespace zo_log {

// 0 while no sink is installed. Otherwise the levels the sink receives in
// the low 32 bits, or kFollowsSettings when it receives the levels of
// g_zo_log_common_level.
extern std::atomic<uint64_t> gListening;
constexpr uint64_t kFollowsSettings = 1ull << 32;

inline bool wanted(uint32_t level) {
    const uint64_t listening = gListening.load(std::memory_order_relaxed);
    const uint32_t levels = (listening & kFollowsSettings) != 0
                                ? __atomic_load_n(&g_zo_log_common_level, __ATOMIC_RELAXED)
                                : static_cast<uint32_t>(listening);
    return (level & levels) != 0;
}

}  // namespace zo_log

// zo_log_common_debug, but the arguments are evaluated only when a sink
// receives the level: for messages whose arguments cost something to build.
#define ZO_LOG_IF_WANTED(level, tag, ...)                     \
    do {                                                      \
        if (zo_log::wanted(level)) {                          \
            zo_log_common_debug((level), (tag), __VA_ARGS__); \
        }                                                     \
    } while (0)

#endif
