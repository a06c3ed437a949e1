// Makes allocation number N of the road fail, for every N from 0 to the
// number of allocations the road makes, on the documents of each generation
// (so both kernel-list builders are swept): through the runtime's failure hook
// (g_alloc_error) and through a global operator new that throws. Every run
// must end without an exception leaving the library, must report every
// refused allocation as a failure (a call that says it succeeded hands back
// what it hands back when nothing fails) and must leave nothing allocated
// (the sanitized build adds LeakSanitizer and AddressSanitizer checks to the
// counts made here).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

#include "reliability/alloc_sweep/failing_new.h"
#include "reliability/alloc_sweep/road.h"
#include "velt_item_uid.h"
#include "zo_log_common.h"
#include "zo_rulo_memory.h"
#include "zo_tree_cache.h"

namespace {

using zovesk_test::RoadCall;
using zovesk_test::RoadOutcome;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// Drops every message: formatting still runs, and the sink never allocates.
void dropMessages(uint32_t, const char*, const char*, void*) {}

// What the clean road's calls handed back, by place. A place seen twice with
// different results is not compared.
struct CleanCall {
    int32_t status;
    uint64_t digest;
    bool ambiguous;
};

class AllocFailureSweep : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        VELT::getVeltKeys(keys_);
        zo_log_common_set_sink(dropMessages, nullptr);
        // Blocks kept for the next tree would make one run's allocations
        // depend on the last and count as left allocated.
        cacheLimit_ = zo_tree_cache_set_limit(0);
        documents_ = zovesk_test::roadDocuments(GetParam());
        // One clean run adds the documents' names to the key dictionary and
        // fills every lazily built table, so later runs allocate the same.
        travel(clean_);
        for (const RoadCall& call : clean_.journal.calls) {
            const auto [it, inserted] =
                cleanCalls_.insert({call.place, {call.status, call.digest, false}});
            if (!inserted &&
                (it->second.status != call.status || it->second.digest != call.digest)) {
                it->second.ambiguous = true;
            }
        }
    }
    void TearDown() override {
        g_alloc_error = -1;
        zovesk_test::disarmFailingNew();
        zo_log_common_set_sink(nullptr, nullptr);
        VELT::copyVeltKeys(keys_);
        zo_tree_cache_set_limit(cacheLimit_);
    }

    // Travels the road into outcome; false when an exception left it.
    bool travel(RoadOutcome& outcome) const {
        outcome.journal.keepCalls = true;
        outcome.journal.suspendFaults = &zovesk_test::pauseFailingNew;
        outcome.journal.resumeFaults = &zovesk_test::resumeFailingNew;
        try {
            zovesk_test::travelRoad(documents_, outcome);
            return true;
        } catch (...) {
            zovesk_test::resumeFailingNew();
            return false;
        }
    }

    // The calls that reported success with another result than the clean
    // road's, and the exceptions that left the library: both must be none.
    void expectTruthful(const RoadOutcome& outcome, int64_t n) const {
        EXPECT_EQ(outcome.journal.escapes, 0u) << "exception left the library, allocation " << n;
        size_t wrong = 0;
        for (const RoadCall& call : outcome.journal.calls) {
            if (call.status != VELT::err_none) {
                continue;
            }
            const auto clean = cleanCalls_.find(call.place);
            if (clean == cleanCalls_.end() || clean->second.ambiguous) {
                continue;
            }
            if (clean->second.status != VELT::err_none || clean->second.digest != call.digest) {
                ADD_FAILURE() << "allocation " << n << ": the call noted at road line " << call.line
                              << " reported success with another result";
                ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0u) << "success with a wrong result, allocation " << n;
    }

    RoadOutcome clean_;

  private:
    zovesk_test::RoadDocuments documents_;
    std::map<uint64_t, CleanCall> cleanCalls_;
    VELT::KeyMap keys_;
    size_t cacheLimit_ = 0;
};

TEST_P(AllocFailureSweep, CleanRoadBuildsEveryGraph) {
    EXPECT_TRUE(clean_.descriptorRead);
    EXPECT_TRUE(clean_.settingsRead);
    EXPECT_EQ(clean_.queryStatus, 0);
    EXPECT_GT(clean_.entries, 0u);
    EXPECT_EQ(clean_.graphsBuilt, clean_.entries);
    EXPECT_EQ(clean_.graphsDestroyed, clean_.entries);
    // Contexts by "stream_id" and by "exec_ctx_id" both build every graph's lists.
    EXPECT_EQ(clean_.kernelListsBuilt, clean_.graphsBuilt);
    EXPECT_EQ(clean_.contextListsBuilt, clean_.graphsBuilt);
    EXPECT_GE(clean_.programGroups, clean_.graphsBuilt);
    EXPECT_GT(clean_.runKernels, clean_.programGroups);
    EXPECT_EQ(clean_.frameParams, clean_.graphsBuilt);
    EXPECT_EQ(clean_.journal.escapes, 0u);
    EXPECT_GT(clean_.journal.calls.size(), 200u);
}

TEST_P(AllocFailureSweep, EveryRuntimeAllocationCanFail) {
    int32_t runs = 0;
    for (int32_t n = 0;; ++n) {
        const int32_t allocatedBefore = g_alloc_counter;
        const int32_t freedBefore = g_free_counter;
        g_alloc_error = allocatedBefore + n;
        RoadOutcome outcome;
        const bool returned = travel(outcome);
        g_alloc_error = -1;
        ++runs;
        EXPECT_TRUE(returned) << "allocation " << n;
        expectTruthful(outcome, n);
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
    {
        RoadOutcome counting;
        zovesk_test::armFailingNew(-1);
        travel(counting);
        zovesk_test::disarmFailingNew();
    }
    const int64_t total = zovesk_test::failingNewAttempts();
    ASSERT_GT(total, 100);

    int64_t completed = 0;
    // The plain build sweeps every allocation (and finds leaks by its own
    // count); the sanitized build, many times slower, takes every seventh
    // with LeakSanitizer and AddressSanitizer watching, plus the last.
    const int64_t stride = kSanitized ? 7 : 1;
    for (int64_t n = 0; n <= total; n = (n < total && n + stride > total) ? total : n + stride) {
        const int64_t liveBefore = zovesk_test::failingNewLiveBlocks();
        const int32_t rulo = g_alloc_counter - g_free_counter;
        bool returned = false;
        {
            RoadOutcome outcome;
            zovesk_test::armFailingNew(n);
            returned = travel(outcome);
            zovesk_test::disarmFailingNew();
            EXPECT_TRUE(returned) << "exception left the road, allocation " << n;
            expectTruthful(outcome, n);
            if (returned && outcome == clean_) {
                ++completed;
            }
        }
        EXPECT_EQ(zovesk_test::failingNewLiveBlocks(), liveBefore) << "leak at allocation " << n;
        EXPECT_EQ(g_alloc_counter - g_free_counter, rulo) << "leak at allocation " << n;
        if (HasFailure()) {
            break;  // one broken allocation tells enough; the rest would repeat it
        }
    }
    // Only the run past the last allocation travels the whole road unharmed.
    EXPECT_GE(completed, 1);
    std::printf("operator new sweep (%s): %lld allocations\n", GetParam(),
                static_cast<long long>(total));
}

INSTANTIATE_TEST_SUITE_P(Generations, AllocFailureSweep,
                         ::testing::Values("camera", "orba6", "orba7"));

}  // namespace
