#include "zo_camera/velt/boundary/boundary_guard.h"

#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {
namespace boundary {

namespace {

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
    ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "%s: out of memory", function);
}

void reportFailure(const char* function, const char* what) noexcept {
    ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "%s failed: %s", function, what);
}

}  // namespace boundary
}  // namespace VELT
