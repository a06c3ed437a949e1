// The kernel-list builder hands graphs of generation 6 and later, and older
// graphs whose program groups carry klinks, to its embedded GraphUtil: every
// query then answers from the subgraph analysis.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "analysis_graphs.h"
#include "support/graph_util_test_seam.h"
#include "support/log_capture.h"
#include "velt_graph_util.h"
#include "velt_keys.h"
#include "velt_qel_pek_utils.h"
#include "zo_log_common.h"

namespace {

using namespace zovesk_test;
using VELT::GraphUtil;
using VELT::QelPekUtils;

void expectSameHistory(const zo_isp_qel_resolution_info& expected,
                       const zo_isp_qel_resolution_info& actual) {
    EXPECT_EQ(expected.input_width, actual.input_width);
    EXPECT_EQ(expected.input_height, actual.input_height);
    EXPECT_EQ(expected.input_crop.left, actual.input_crop.left);
    EXPECT_EQ(expected.input_crop.top, actual.input_crop.top);
    EXPECT_EQ(expected.input_crop.right, actual.input_crop.right);
    EXPECT_EQ(expected.input_crop.bottom, actual.input_crop.bottom);
    EXPECT_EQ(expected.output_width, actual.output_width);
    EXPECT_EQ(expected.output_height, actual.output_height);
}

// Generation 5 is the generation-6 reference graph under an "ORBA5" version:
// only its klinks send it to the subgraph analysis.
class ForwardedGraph : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        graph = buildReferenceGraph(GetParam() == 5 ? 6 : GetParam());
        if (GetParam() == 5) {
            auto* graphNode =
                static_cast<VELT::GraphConfigNode*>(graph->getDescendant(VELT::kKeyGraph));
            ASSERT_NE(nullptr, graphNode);
            graphNode->removeDescendant(VELT::kKeyVersion);
            addStr(graphNode, "version", "ORBA5");
        }
        const int analysed = GetParam() == 5 ? 6 : GetParam();
        ASSERT_EQ(0, direct.init(VELT::kKeyStreamId, graph.get(),
                                 static_cast<VELT::GdfVersion>(analysed)));
        ASSERT_EQ(0, pek.initPekUtils(graph.get()));
    }

    std::unique_ptr<VELT::GraphConfigNode> graph;
    GraphUtil direct;  // the same analysis, run directly
    QelPekUtils pek{true};
};

TEST_P(ForwardedGraph, KernelLinksAreFoundInProgramGroupsOnly) {
    // Generation 7 keeps its klinks in compute blocks: its version alone decides.
    EXPECT_EQ(GetParam() != 7, pek.nodesHaveKernelLinks());
}

TEST_P(ForwardedGraph, SubgraphGroupsComeFromTheAnalysis) {
    for (const int id : {-1, 0, 1}) {
        SCOPED_TRACE(id);
        zo_isp_qel_program_group expected{};
        zo_isp_qel_program_group group{};
        ASSERT_EQ(direct.getPekData(id, expected), pek.getProgramGroup(id, group));
        ASSERT_EQ(expected.kernel_count, group.kernel_count);
        EXPECT_EQ(expected.tuning_mode, group.tuning_mode);
        for (uint32_t i = 0; i < group.kernel_count; ++i) {
            EXPECT_EQ(expected.run_kernels[i].kernel_uuid, group.run_kernels[i].kernel_uuid);
            EXPECT_EQ(expected.run_kernels[i].enable, group.run_kernels[i].enable);
            ASSERT_NE(nullptr, group.run_kernels[i].resolution_history);
            expectSameHistory(*expected.run_kernels[i].resolution_history,
                              *group.run_kernels[i].resolution_history);
        }
    }
    zo_isp_qel_program_group group{};
    ASSERT_EQ(0, pek.getProgramGroup(0, group));
    EXPECT_EQ(5u, group.kernel_count);
    EXPECT_EQ(3, group.tuning_mode);
    // The analysis refuses an unknown subgraph; the execution-context path would
    // answer an empty group with success.
    EXPECT_EQ(VELT::err_data, pek.getProgramGroup(7, group));
}

TEST_P(ForwardedGraph, ProgramGroupsByNodeComeFromTheAnalysis) {
    zo_isp_qel_program_group group{};
    ASSERT_EQ(0, pek.getProgramGroup(graph->getDescendantByString("post"), group));
    // The group's own kernel order, with the tuning mode of the group.
    ASSERT_EQ(2u, group.kernel_count);
    EXPECT_EQ(7700u, group.run_kernels[0].kernel_uuid);
    EXPECT_EQ(6600u, group.run_kernels[1].kernel_uuid);
    EXPECT_EQ(0, group.tuning_mode);
    ASSERT_EQ(0, pek.getProgramGroup(graph->getDescendantByString("isp"), group));
    EXPECT_EQ(5u, group.kernel_count);
    EXPECT_EQ(3, group.tuning_mode);
    EXPECT_EQ(VELT::err_argument,
              pek.getProgramGroup(graph->getDescendantByString("buffer_src0"), group));
}

TEST_P(ForwardedGraph, SourceHistoryIsTheAnalysedOne) {
    zo_isp_qel_resolution_info history{};
    ASSERT_EQ(0, pek.getSourceResolutionHistory(history));
    expectSameHistory(zovesk_test::GraphUtilSeam::sourceResHistory(direct), history);
    EXPECT_EQ(4000, history.input_width);
    EXPECT_EQ(3000, history.output_height);
}

TEST_P(ForwardedGraph, DumpsOfOneSubgraph) {
    LogCapture log;
    pek.dumpKernels(0);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "FOUND  subgraph id 0 [stream_id] dumping 5 kernels:"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "kernel_uuid: 2200 [ENABLED]"));
    EXPECT_FALSE(log.contains("FOUND index for exec ctx id"));
    pek.dumpKernels(42);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "subgraph id 42 not FOUND"));
}

// A failed analysis leaves the builder empty, as constructed: it hands out
// nothing; a failed build of an older graph after it leaves no trace of the
// analysis; a good init afterwards works again.
TEST_P(ForwardedGraph, FailedInitsKeepTheObjectUsable) {
    VELT::GraphConfigNode* splitInput =
        static_cast<VELT::GraphConfigNode*>(graph->getDescendantByString("isp:b_split:input"));
    ASSERT_NE(nullptr, splitInput);
    splitInput->removeDescendant(VELT::kKeyWidth);
    addInt(splitInput, "width", 1999);  // no longer the history's 2000
    LogCapture log;
    EXPECT_EQ(VELT::err_internal, pek.initPekUtils(graph.get()));
    zo_isp_qel_program_group group{};
    EXPECT_EQ(0, pek.getProgramGroup(0, group));
    EXPECT_EQ(0u, group.kernel_count);
    EXPECT_EQ(VELT::err_argument, pek.getProgramGroup(graph->getDescendantByString("isp"), group));
    EXPECT_EQ(nullptr, group.run_kernels);
    pek.dumpKernels(0);

    // Generation 5 without klinks: the group without stream id fails the count.
    VELT::GraphConfigNode older;
    addStr(addChild(&older, "graph"), "version", "ORBA5");
    addKernel(addBlock(&older, "pg", "program_group"), "k", 1, 0);
    EXPECT_NE(0, pek.initPekUtils(&older));
    EXPECT_EQ(0, pek.getProgramGroup(0, group));
    EXPECT_EQ(0u, group.kernel_count);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "No kernels found with stream id 0"));
    zo_isp_qel_resolution_info history{};
    history.input_width = 1;
    EXPECT_EQ(0, pek.getSourceResolutionHistory(history));
    EXPECT_EQ(0, history.input_width);
    pek.dumpKernels(0);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "COULD NOT FIND index for exec ctx id 0 "));

    splitInput->removeDescendant(VELT::kKeyWidth);
    addInt(splitInput, "width", 2000);
    ASSERT_EQ(0, pek.initPekUtils(graph.get()));
    ASSERT_EQ(0, pek.getProgramGroup(0, group));
    EXPECT_EQ(5u, group.kernel_count);
    EXPECT_EQ(2200u, group.run_kernels[1].kernel_uuid);
}

INSTANTIATE_TEST_SUITE_P(Generations, ForwardedGraph, ::testing::Values(5, 6, 7));

}  // namespace
