// Makes allocation number N of the road fail, for every N from 0 to the
// number of allocations the road makes, on the documents of each generation
// (so both kernel-list builders are swept): through the runtime's failure hook
// (g_alloc_error) and through a global operator new that throws. Every run
// must end in a result, a failure status or a caught std::bad_alloc, never
// in a crash, and must leave nothing allocated (the sanitized build adds
// LeakSanitizer and AddressSanitizer checks to the counts made here).
#include <gtest/gtest.h>

#include <cstdint>
#include <new>

#include "reliability/alloc_sweep/failing_new.h"
#include "reliability/alloc_sweep/road.h"
#include "velt_item_uid.h"
#include "zo_log_common.h"
#include "zo_rulo_memory.h"

namespace {

using zovesk_test::RoadOutcome;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// Drops every message: formatting still runs, and the sink never allocates.
void dropMessages(uint32_t, const char*, const char*, void*) {}

class AllocFailureSweep : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        VELT::getVeltKeys(keys_);
        zo_log_common_set_sink(dropMessages, nullptr);
        documents_ = zovesk_test::roadDocuments(GetParam());
        // One clean run adds the documents' names to the key dictionary and
        // fills every lazily built table, so later runs allocate the same.
        clean_ = travel();
    }
    void TearDown() override {
        g_alloc_error = -1;
        zovesk_test::disarmFailingNew();
        zo_log_common_set_sink(nullptr, nullptr);
        VELT::copyVeltKeys(keys_);
    }

    RoadOutcome travel() const { return zovesk_test::travelRoad(documents_); }

    RoadOutcome clean_;

  private:
    zovesk_test::RoadDocuments documents_;
    VELT::KeyMap keys_;
};

TEST_P(AllocFailureSweep, CleanRoadBuildsEveryGraph) {
    EXPECT_TRUE(clean_.descriptorRead);
    EXPECT_TRUE(clean_.settingsRead);
    EXPECT_EQ(clean_.queryStatus, 0);
    EXPECT_GT(clean_.entries, 0u);
    EXPECT_EQ(clean_.graphsBuilt, clean_.entries);
    EXPECT_EQ(clean_.graphsDestroyed, clean_.entries);
    EXPECT_EQ(clean_.kernelListsBuilt, clean_.graphsBuilt);
    EXPECT_GE(clean_.programGroups, clean_.graphsBuilt);
    EXPECT_GT(clean_.runKernels, clean_.programGroups);
    EXPECT_EQ(clean_.frameParams, clean_.graphsBuilt);
}

TEST_P(AllocFailureSweep, EveryRuntimeAllocationCanFail) {
    int32_t runs = 0;
    for (int32_t n = 0;; ++n) {
        const int32_t allocatedBefore = g_alloc_counter;
        const int32_t freedBefore = g_free_counter;
        g_alloc_error = allocatedBefore + n;
        const RoadOutcome outcome = travel();
        g_alloc_error = -1;
        ++runs;
        const int32_t allocated = g_alloc_counter - allocatedBefore;
        EXPECT_EQ(g_free_counter - freedBefore, allocated) << "allocation " << n;
        if (allocated < n) {
            FAIL() << "allocation " << n << ": only " << allocated << " made";
        }
        if (allocated == n && outcome == clean_) {
            // No allocation was refused: the whole road has been swept.
            break;
        }
        // A refused allocation is never passed off as success: what it was
        // for (a document, a result graph's kernel lists) is not done.
        EXPECT_NE(outcome, clean_) << "allocation " << n;
        ASSERT_LT(n, 1000) << "the road never finished";
    }
    // The reader takes one block per file, the kernel lists more.
    EXPECT_GE(runs, 3);
}

TEST_P(AllocFailureSweep, EveryOperatorNewCanThrow) {
    zovesk_test::armFailingNew(-1);
    travel();
    zovesk_test::disarmFailingNew();
    const int64_t total = zovesk_test::failingNewAttempts();
    ASSERT_GT(total, 100);

    int64_t caught = 0;
    int64_t completed = 0;
    // The plain build sweeps every allocation (and finds leaks by its own
    // count); the sanitized build, many times slower, takes every seventh
    // with LeakSanitizer and AddressSanitizer watching, plus the last.
    const int64_t stride = kSanitized ? 7 : 1;
    for (int64_t n = 0; n <= total; n = (n < total && n + stride > total) ? total : n + stride) {
        const int64_t liveBefore = zovesk_test::failingNewLiveBlocks();
        const int32_t rulo = g_alloc_counter - g_free_counter;
        RoadOutcome outcome;
        bool threw = false;
        zovesk_test::armFailingNew(n);
        try {
            outcome = travel();
        } catch (const std::bad_alloc&) {
            threw = true;
        }
        zovesk_test::disarmFailingNew();
        caught += threw ? 1 : 0;
        if (!threw && outcome == clean_) {
            ++completed;
        }
        EXPECT_EQ(zovesk_test::failingNewLiveBlocks(), liveBefore) << "leak at allocation " << n;
        EXPECT_EQ(g_alloc_counter - g_free_counter, rulo) << "leak at allocation " << n;
    }
    // Only the run past the last allocation travels the whole road unharmed.
    EXPECT_GE(completed, 1);
    std::printf("operator new sweep (%s): %lld allocations, %lld runs ended in bad_alloc\n",
                GetParam(), static_cast<long long>(total), static_cast<long long>(caught));
}

INSTANTIATE_TEST_SUITE_P(Generations, AllocFailureSweep,
                         ::testing::Values("camera", "orba6", "orba7"));

}  // namespace
