// The library's promise at its boundary: nothing thrown inside an exported
// function leaves it. Each exported function runs its body through one of the
// guards below, which turn an escaping exception into the function's failure
// value: err_nomemory for std::bad_alloc and the function's own failure
// status for anything else, or, for a function without a status, its natural
// failure value (null, false, empty text) after a log line.
//
// Only the outermost guard on a thread settles an exception. A guarded
// function called from inside another one lets it pass on, so the outer
// function fails as a whole instead of carrying on with a result that a
// refused allocation made wrong (a peer reported missing, a port disabled).
#ifndef ZO_CAMERA_VELT_BOUNDARY_BOUNDARY_GUARD_H
#define ZO_CAMERA_VELT_BOUNDARY_BOUNDARY_GUARD_H

#include <new>
#include <stdexcept>
#include <utility>

#include "velt_status.h"

namespace VELT {
namespace boundary {

// Marks one guarded call in progress on this thread.
class Scope {
  public:
    Scope() noexcept;
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
    // True when no other guarded call encloses this one.
    bool outermost() const noexcept { return outermost_; }

  private:
    bool outermost_;
};

// The log lines of a settled exception.
void reportNoMemory(const char* function) noexcept;
void reportFailure(const char* function, const char* what) noexcept;

// Runs body and settles what it throws; answers noMemory for std::bad_alloc
// and failure for anything else. With LetConversionErrorsOut the standard
// number-conversion errors leave even the outermost guard.
template <bool LetConversionErrorsOut = false, typename Result, typename Body>
Result settle(const char* function, Result noMemory, Result failure, Body&& body) {
    const Scope scope;
    try {
        return body();
    } catch (const std::bad_alloc&) {
        if (!scope.outermost()) {
            throw;
        }
        reportNoMemory(function);
        return noMemory;
    } catch (const std::invalid_argument& error) {
        if (LetConversionErrorsOut || !scope.outermost()) {
            throw;
        }
        reportFailure(function, error.what());
        return failure;
    } catch (const std::out_of_range& error) {
        if (LetConversionErrorsOut || !scope.outermost()) {
            throw;
        }
        reportFailure(function, error.what());
        return failure;
    } catch (const std::exception& error) {
        if (!scope.outermost()) {
            throw;
        }
        reportFailure(function, error.what());
        return failure;
    } catch (...) {
        if (!scope.outermost()) {
            throw;
        }
        reportFailure(function, "unknown exception");
        return failure;
    }
}

}  // namespace boundary

// A function with a status: err_nomemory for an allocation failure, failure
// for any other exception.
template <typename Body>
Status guardStatus(const char* function, Status failure, Body&& body) {
    return boundary::settle<false, Status>(function, err_nomemory, failure,
                                           std::forward<Body>(body));
}

// A function without a status: fallback for every exception.
template <typename Result, typename Body>
Result guardValue(const char* function, Result fallback, Body&& body) {
    Result other = fallback;
    return boundary::settle<false, Result>(function, std::move(fallback), std::move(other),
                                           std::forward<Body>(body));
}

// A function without a result.
template <typename Body>
void guardVoid(const char* function, Body&& body) {
    boundary::settle<false, bool>(function, false, false, [&body]() {
        body();
        return true;
    });
}

}  // namespace VELT

#endif
