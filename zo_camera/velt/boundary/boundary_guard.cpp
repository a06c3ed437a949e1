#include "zo_camera/velt/boundary/boundary_guard.h"

#include "zo_log_common.h"

namespace VELT {
namespace boundary {

namespace {

constexpr const char* kTag = "VELT[XOS]";

// Guarded calls in progress on this thread; the library makes no threads,
// but a host may call it from several.
thread_local unsigned t_depth = 0;

}  // namespace

Scope::Scope() noexcept : outermost_(t_depth == 0) {
    ++t_depth;
}

Scope::~Scope() {
    --t_depth;
}

void reportNoMemory(const char* function) noexcept {
    zo_log_common_debug(ZO_LOG_ERROR, kTag, "%s: out of memory", function);
}

void reportFailure(const char* function, const char* what) noexcept {
    zo_log_common_debug(ZO_LOG_ERROR, kTag, "%s failed: %s", function, what);
}

}  // namespace boundary
}  // namespace VELT
