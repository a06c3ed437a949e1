// A test-only replacement of the global operator new that can be armed to
// throw std::bad_alloc at the Nth allocation, and that counts the blocks
// allocated while armed and not yet freed.
#ifndef ZOVESK_TESTS_FAILING_NEW_H
#define ZOVESK_TESTS_FAILING_NEW_H

#include <cstddef>
#include <cstdint>

namespace zovesk_test {

// Starts counting; allocation number failAt (0 the first) throws, and every
// later one too (like g_alloc_error). failAt < 0 never fails.
void armFailingNew(int64_t failAt);
// Stops counting and failing.
void disarmFailingNew();
// While paused, allocations neither count nor fail nor count as live: the
// harness's own bookkeeping runs paused. Pauses do not nest.
void pauseFailingNew();
void resumeFailingNew();
// Allocations attempted since armFailingNew.
int64_t failingNewAttempts();
// Blocks allocated while armed that have not been freed yet.
int64_t failingNewLiveBlocks();

}  // namespace zovesk_test

#endif
