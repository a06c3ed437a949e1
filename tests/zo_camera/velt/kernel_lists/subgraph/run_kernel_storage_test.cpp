// The run-kernel arrays and resolution records of the subgraph path come from
// the runtime allocator: counted, released in full, and refusable.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "analysis_graphs.h"
#include "velt_graph_util.h"
#include "velt_keys.h"
#include "zo_rulo_memory.h"

namespace {

using namespace zovesk_test;
using VELT::GraphUtil;

// Restores the runtime's failure hook however a test ends.
struct FailureHookReset {
    ~FailureHookReset() { g_alloc_error = -1; }
};

class RunKernelStorage : public ::testing::TestWithParam<int> {
  protected:
    VELT::GdfVersion generation() const { return static_cast<VELT::GdfVersion>(GetParam()); }

    // The run-kernel records handed out for every subgraph.
    static uint32_t recordsHandedOut(GraphUtil& util) {
        std::set<int> ids;
        util.getAvailableSubgraphs(ids);
        uint32_t records = 0;
        for (const int id : ids) {
            zo_isp_qel_program_group group{};
            if (util.getPekData(id, group) == VELT::err_none) {
                records += group.kernel_count;
            }
        }
        return records;
    }
};

TEST_P(RunKernelStorage, EveryArrayAndRecordIsCountedAndReleased) {
    auto graph = buildReferenceGraph(GetParam());
    const int32_t allocatedBefore = g_alloc_counter;
    const int32_t freedBefore = g_free_counter;
    int32_t allocated = 0;
    {
        GraphUtil util;
        ASSERT_EQ(VELT::err_none, util.init(VELT::kKeyStreamId, graph.get(), generation()));
        allocated = g_alloc_counter - allocatedBefore;
        const uint32_t records = recordsHandedOut(util);
        ASSERT_GT(records, 0u);
        // Per kernel a history and its infos, plus the subgraph array.
        EXPECT_GE(allocated, static_cast<int32_t>(2 * records + 1));
        // A second analysis frees the first one's storage before it allocates.
        ASSERT_EQ(VELT::err_none, util.init(VELT::kKeyStreamId, graph.get(), generation()));
        EXPECT_EQ(2 * allocated, g_alloc_counter - allocatedBefore);
        EXPECT_EQ(allocated, g_free_counter - freedBefore);
    }
    EXPECT_EQ(g_alloc_counter - allocatedBefore, g_free_counter - freedBefore);
}

TEST_P(RunKernelStorage, ARefusedAllocationFailsInitAndLeavesNothingBehind) {
    auto graph = buildReferenceGraph(GetParam());
    int32_t allocations = 0;
    {
        const int32_t before = g_alloc_counter;
        GraphUtil util;
        ASSERT_EQ(VELT::err_none, util.init(VELT::kKeyStreamId, graph.get(), generation()));
        allocations = g_alloc_counter - before;
    }
    ASSERT_GT(allocations, 0);

    const FailureHookReset reset;
    for (int32_t n = 0; n < allocations; ++n) {
        const int32_t allocatedBefore = g_alloc_counter;
        const int32_t freedBefore = g_free_counter;
        {
            GraphUtil util;
            g_alloc_error = g_alloc_counter + n;
            EXPECT_EQ(VELT::err_nomemory, util.init(VELT::kKeyStreamId, graph.get(), generation()))
                << "allocation " << n;
            g_alloc_error = -1;
            EXPECT_EQ(0u, recordsHandedOut(util)) << "allocation " << n;
            EXPECT_EQ(g_alloc_counter - allocatedBefore, g_free_counter - freedBefore)
                << "allocation " << n;
            // The object is usable again once memory is there.
            ASSERT_EQ(VELT::err_none, util.init(VELT::kKeyStreamId, graph.get(), generation()));
            EXPECT_GT(recordsHandedOut(util), 0u);
        }
        EXPECT_EQ(g_alloc_counter - allocatedBefore, g_free_counter - freedBefore)
            << "allocation " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Generations, RunKernelStorage, ::testing::Values(6, 7));

}  // namespace
