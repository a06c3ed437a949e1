// init(): argument checks, failures and what may be handed out afterwards.
#include <gtest/gtest.h>

#include "analysis_graphs.h"
#include "support/graph_util_test_seam.h"
#include "support/log_capture.h"
#include "velt_graph_util.h"
#include "velt_keys.h"
#include "zo_log_common.h"

namespace {

using namespace zovesk_test;
using VELT::GraphUtil;

constexpr auto kOrba6 = static_cast<VELT::GdfVersion>(6);
constexpr auto kOrba7 = static_cast<VELT::GdfVersion>(7);

TEST(GraphUtilInit, RefusesUnusableArgumentsWithoutTouchingAnEarlierAnalysis) {
    auto graph = buildReferenceGraph(7);
    GraphUtil util;
    ASSERT_EQ(0, util.init(VELT::kKeyStreamId, graph.get(), kOrba7));

    LogCapture log;
    EXPECT_EQ(VELT::err_argument,
              util.init(VELT::kKeyStreamId, graph.get(), static_cast<VELT::GdfVersion>(5)));
    EXPECT_EQ(VELT::err_argument, util.init(VELT::kKeyPort, graph.get(), kOrba7));
    EXPECT_EQ(VELT::err_argument, util.init(VELT::kKeyStreamId, nullptr, kOrba7));
    EXPECT_TRUE(
        log.contains(ZO_LOG_ERROR, "invalid ORBA version, subgraph type used or graph settings"));

    zo_isp_qel_program_group group{};
    EXPECT_EQ(0, util.getPekData(0, group));
    EXPECT_EQ(5u, group.kernel_count);
    EXPECT_EQ(VELT::kKeyComputeBlock, zovesk_test::GraphUtilSeam::pgTypeKey(util));
}

TEST(GraphUtilInit, FreshObjectUsesStreamIdsAndProgramGroups) {
    GraphUtil util;
    EXPECT_EQ(nullptr, zovesk_test::GraphUtilSeam::graphSettings(util));
    EXPECT_EQ(VELT::kKeyStreamId, zovesk_test::GraphUtilSeam::subgraphType(util));
    EXPECT_EQ(VELT::kKeyProgramGroup, zovesk_test::GraphUtilSeam::pgTypeKey(util));
    EXPECT_EQ(0, static_cast<int>(zovesk_test::GraphUtilSeam::orbaVersion(util)));
    zo_isp_qel_program_group group{};
    EXPECT_EQ(VELT::err_data, util.getPekData(0, group));
}

TEST(GraphUtilInit, SettingsWithoutGraphNodeFail) {
    VELT::GraphConfigNode root;
    addInt(addBlock(&root, "lonely_pg", "program_group"), "stream_id", 0);
    GraphUtil util;
    LogCapture log;
    EXPECT_EQ(VELT::err_internal, util.init(VELT::kKeyStreamId, &root, kOrba6));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to locate graph node - Invalid settings"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Graph settings analysis failed"));
}

TEST(GraphUtilInit, ASinkWithoutParentStopsTheRemovalOfUnusedNodes) {
    VELT::GraphConfigNode root;
    addStr(addChild(&root, "graph"), "type", "graph");
    addBlock(&root, "orphan_sink", "sink");
    GraphUtil util;
    LogCapture log;
    EXPECT_EQ(VELT::visit_stop, util.init(VELT::kKeyStreamId, &root, kOrba6));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Removal of unused of nodes failed  -256 "));
}

TEST(GraphUtilInit, AfterAFailedInitNoFreedArrayIsReachable) {
    auto graph = buildReferenceGraph(7);
    GraphUtil util;
    ASSERT_EQ(0, util.init(VELT::kKeyStreamId, graph.get(), kOrba7));

    // Make b_split's settings inconsistent: the population fails after allocation.
    VELT::IGraphConfig* splitInput = graph->getDescendantByString("isp:b_split:input");
    ASSERT_NE(nullptr, splitInput);
    static_cast<VELT::GraphConfigNode*>(splitInput)->removeDescendant(VELT::kKeyWidth);
    addInt(static_cast<VELT::GraphConfigNode*>(splitInput), "width", 1999);

    LogCapture log;
    EXPECT_EQ(VELT::err_internal, util.init(VELT::kKeyStreamId, graph.get(), kOrba7));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "Consistency error in kernel b_split, res info input(1999x1500) is "
                             "different than res history output(2000x1500)- check your "
                             "settings!"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "PEK structures population failed"));

    zo_isp_qel_program_group group{};
    EXPECT_EQ(VELT::err_data, util.getPekData(0, group));
    EXPECT_EQ(VELT::err_argument, util.getPgPekData(graph->getDescendantByString("isp"), group));

    // A failed allocation frees the arrays: nothing keeps pointing at them.
    util.deletePekStructs();
    for (const auto& sg : zovesk_test::GraphUtilSeam::subGraphs(util)) {
        EXPECT_EQ(nullptr, sg.second->runKernels);
        for (const auto& node : sg.second->imagingNodes)
            EXPECT_EQ(nullptr, node.second->pekRunKernel);
    }
    util.dumpPekStructs();  // must not touch freed memory
    util.dumpKernels(0);

    // The next successful init hands out records again.
    static_cast<VELT::GraphConfigNode*>(splitInput)->removeDescendant(VELT::kKeyWidth);
    addInt(static_cast<VELT::GraphConfigNode*>(splitInput), "width", 2000);
    ASSERT_EQ(0, util.init(VELT::kKeyStreamId, graph.get(), kOrba7));
    EXPECT_EQ(0, util.getPekData(0, group));
    EXPECT_EQ(5u, group.kernel_count);
}

TEST(GraphUtilInit, ATuningModeThatIsNotADecimalIntegerIsRefused) {
    auto graph = buildReferenceGraph(7);
    VELT::GraphConfigNode* post =
        static_cast<VELT::GraphConfigNode*>(graph->getDescendantByString("post"));
    // Only a tree built in code can hold text under this integer key.
    ASSERT_EQ(0, post->addValue(VELT::kKeyTuningMode, std::string("fast")));
    GraphUtil util;
    LogCapture log;
    ASSERT_EQ(0, util.init(VELT::kKeyStreamId, graph.get(), kOrba7));
    EXPECT_EQ(0, zovesk_test::GraphUtilSeam::subGraphs(util).at(1)->tuningMode);
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING, "fast"));

    auto second = buildReferenceGraph(7);
    post = static_cast<VELT::GraphConfigNode*>(second->getDescendantByString("post"));
    ASSERT_EQ(0, post->addValue(VELT::kKeyTuningMode, std::string("12")));
    ASSERT_EQ(0, util.init(VELT::kKeyStreamId, second.get(), kOrba7));
    EXPECT_EQ(12, zovesk_test::GraphUtilSeam::subGraphs(util).at(1)->tuningMode);
}

TEST(GraphUtilInit, SubgraphsByExecutionContext) {
    auto graph = buildReferenceGraph(6);
    for (const char* block : {"isp", "post"}) {
        VELT::GraphConfigNode* pg =
            static_cast<VELT::GraphConfigNode*>(graph->getDescendantByString(block));
        addInt(pg, "exec_ctx_id", 4);
    }
    addInt(static_cast<VELT::GraphConfigNode*>(graph->getDescendantByString("video_sink")),
           "exec_ctx_id", 4);
    addInt(static_cast<VELT::GraphConfigNode*>(graph->getDescendantByString("disp_sink")),
           "exec_ctx_id", 4);
    GraphUtil util;
    ASSERT_EQ(0, util.init(VELT::kKeyExecCtxId, graph.get(), kOrba6));
    ASSERT_EQ(2u, zovesk_test::GraphUtilSeam::subGraphs(util).size());
    EXPECT_EQ(7u, zovesk_test::GraphUtilSeam::subGraphs(util).at(4)->kernelCount);
    EXPECT_EQ(2u, zovesk_test::GraphUtilSeam::subGraphs(util).at(4)->pgs.size());
    // isp:out_main -> post:input now joins two groups of one subgraph.
    VELT::ImagingNode* postInput =
        zovesk_test::GraphUtilSeam::subGraphs(util).at(4)->imagingNodes.at("post:input").get();
    ASSERT_EQ(1u, postInput->parents.size());
    EXPECT_EQ("isp:out_main", postInput->parents.begin()->first->name);
    EXPECT_EQ("isp:out_main", postInput->parents.begin()->second);
    EXPECT_EQ(0u, postInput->flags & VELT::imaging_flag_loop_terminal);
    zo_isp_qel_program_group group{};
    ASSERT_EQ(0, util.getPekData(4, group));
    EXPECT_EQ(7u, group.kernel_count);
    // post's kernels still see the history that left isp.
    const zo_isp_qel_resolution_info& p = zovesk_test::GraphUtilSeam::subGraphs(util)
                                              .at(4)
                                              ->imagingNodes.at("post:p_one")
                                              ->resHistory;
    EXPECT_EQ(1920, p.output_width);
    EXPECT_EQ(40, p.input_crop.left);
}

}  // namespace
