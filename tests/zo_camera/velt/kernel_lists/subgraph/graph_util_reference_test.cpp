// The whole analysis on the reference graph: outer graph, subgraphs, inner
// graphs, histories and run-kernel records, on generations 6 and 7.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis_graphs.h"
#include "support/graph_util_test_seam.h"
#include "support/log_capture.h"
#include "velt_graph_util.h"
#include "velt_keys.h"
#include "zo_log_common.h"

namespace {

using namespace zovesk_test;
using VELT::GraphUtil;

void expectHistory(const zo_isp_qel_resolution_info& h, Size in, Crop crop, Size out) {
    EXPECT_EQ(in.width, h.input_width);
    EXPECT_EQ(in.height, h.input_height);
    EXPECT_EQ(crop.left, h.input_crop.left);
    EXPECT_EQ(crop.top, h.input_crop.top);
    EXPECT_EQ(crop.right, h.input_crop.right);
    EXPECT_EQ(crop.bottom, h.input_crop.bottom);
    EXPECT_EQ(out.width, h.output_width);
    EXPECT_EQ(out.height, h.output_height);
}

VELT::ImagingNode* inner(GraphUtil& util, int subgraph, const std::string& key) {
    auto sg = zovesk_test::GraphUtilSeam::subGraphs(util).find(subgraph);
    if (sg == zovesk_test::GraphUtilSeam::subGraphs(util).end())
        return nullptr;
    auto node = sg->second->imagingNodes.find(key);
    return node == sg->second->imagingNodes.end() ? nullptr : node->second.get();
}

// True when the message stands between two rule lines of its own level.
bool framedByRules(const LogCapture& log, const std::string& heading) {
    const std::string rule(55, '=');
    const std::vector<LogRecord>& records = log.records();
    for (size_t i = 1; i + 1 < records.size(); ++i) {
        if (records[i].message != heading)
            continue;
        return records[i - 1].message == rule && records[i + 1].message == rule &&
               records[i - 1].level == records[i].level && records[i + 1].level == records[i].level;
    }
    return false;
}

class ReferenceGraph : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        graph = buildReferenceGraph(GetParam());
        ASSERT_EQ(0, util.init(VELT::kKeyStreamId, graph.get(),
                               static_cast<VELT::GdfVersion>(GetParam())));
    }
    std::unique_ptr<VELT::GraphConfigNode> graph;
    GraphUtil util;
};

TEST_P(ReferenceGraph, RemovesTheBlockThatFeedsNoSinkAndSplitsByStreamId) {
    EXPECT_EQ(0u, zovesk_test::GraphUtilSeam::graphNodes(util).count("stats"));
    VELT::GraphNode* isp = zovesk_test::GraphUtilSeam::graphNodes(util).at("isp").get();
    for (const auto& child : isp->children)
        EXPECT_NE("stats", child.first->name);

    ASSERT_EQ(3u, zovesk_test::GraphUtilSeam::subGraphs(util).size());
    const VELT::SubGraphInfo& source = *zovesk_test::GraphUtilSeam::subGraphs(util).at(-1);
    const VELT::SubGraphInfo& main = *zovesk_test::GraphUtilSeam::subGraphs(util).at(0);
    const VELT::SubGraphInfo& post = *zovesk_test::GraphUtilSeam::subGraphs(util).at(1);
    EXPECT_TRUE(source.inputPorts.empty());
    ASSERT_EQ(1u, main.pgs.size());
    EXPECT_EQ(graph->getDescendantByString("isp"), main.pgs[0]);
    ASSERT_EQ(1u, main.inputPorts.size());
    EXPECT_EQ(graph->getDescendantByString("isp:input"), main.inputPorts[0]);
    ASSERT_EQ(2u, main.nodes.size());
    EXPECT_EQ("disp_sink", main.nodes[0]->name);
    EXPECT_EQ("isp", main.nodes[1]->name);
    EXPECT_EQ(5u, main.kernelCount);
    EXPECT_EQ(2u, post.kernelCount);
    EXPECT_EQ(3, main.tuningMode);
    EXPECT_EQ(0, post.tuningMode);

    // Meta graph: -1 -> 0 -> 1, one link each way.
    ASSERT_EQ(1u, main.parents.size());
    EXPECT_EQ(&source, main.parents.begin()->first);
    EXPECT_EQ("-1", main.parents.begin()->second);
    ASSERT_EQ(1u, main.children.size());
    EXPECT_EQ(&post, main.children.begin()->first);
    EXPECT_EQ("1", main.children.begin()->second);

    // Every mark is cleared again after the analysis.
    for (const auto& node : zovesk_test::GraphUtilSeam::graphNodes(util))
        EXPECT_FALSE(node.second->visited);
    for (const auto& sg : zovesk_test::GraphUtilSeam::subGraphs(util)) {
        EXPECT_FALSE(sg.second->visited);
        for (const auto& node : sg.second->imagingNodes)
            EXPECT_FALSE(node.second->visited) << node.first;
    }
}

TEST_P(ReferenceGraph, TheLoopBackIntoTheSameGroupMarksBothTerminals) {
    VELT::ImagingNode* loopOut = inner(util, 0, "isp:loop_out");
    VELT::ImagingNode* loopIn = inner(util, 0, "isp:loop_in");
    ASSERT_NE(nullptr, loopOut);
    ASSERT_NE(nullptr, loopIn);
    EXPECT_EQ(VELT::imaging_output_terminal, loopOut->type);
    EXPECT_EQ(VELT::imaging_input_terminal, loopIn->type);
    EXPECT_NE(0u, loopOut->flags & VELT::imaging_flag_loop_terminal);
    EXPECT_NE(0u, loopIn->flags & VELT::imaging_flag_loop_terminal);
    EXPECT_EQ(1u, loopOut->children.count(loopIn));
}

TEST_P(ReferenceGraph, HistoriesFollowTheScalingAndCropOfTheRcbKernels) {
    // a_scale halves 4000x3000; b_split crops 20/10/20/10 of 2000x1500, which is
    // 40/20/40/20 in source pixels (ratio 2048 / 1024).
    expectHistory(zovesk_test::GraphUtilSeam::sourceResHistory(util), {4000, 3000}, {0, 0, 0, 0},
                  {4000, 3000});
    expectHistory(inner(util, 0, "isp:a_scale")->resHistory, {4000, 3000}, {0, 0, 0, 0},
                  {4000, 3000});
    expectHistory(inner(util, 0, "isp:b_split")->resHistory, {4000, 3000}, {0, 0, 0, 0},
                  {2000, 1500});
    expectHistory(inner(util, 0, "isp:c_main")->resHistory, {4000, 3000}, {40, 20, 40, 20},
                  {1920, 1080});
    expectHistory(inner(util, 0, "isp:d_disp")->resHistory, {4000, 3000}, {40, 20, 40, 20},
                  {1264, 720});
    // The loop terminal is seeded with its own port size before the group is walked.
    expectHistory(inner(util, 0, "isp:e_tnr")->resHistory, {960, 540}, {0, 0, 0, 0}, {960, 540});
    // Across the subgraph border, and through both kernels of post.
    expectHistory(inner(util, 1, "post:z_first")->resHistory, {4000, 3000}, {40, 20, 40, 20},
                  {1920, 1080});
    expectHistory(inner(util, 1, "post:p_one")->resHistory, {4000, 3000}, {40, 20, 40, 20},
                  {1920, 1080});
}

TEST_P(ReferenceGraph, SubgraphRecordsAreInInnerNodeKeyOrder) {
    zo_isp_qel_program_group group{};
    ASSERT_EQ(0, util.getPekData(0, group));
    ASSERT_EQ(5u, group.kernel_count);
    EXPECT_EQ(3, group.tuning_mode);
    const unsigned uuids[] = {1100, 2200, 3300, 4400, 5500};
    for (unsigned i = 0; i < 5; ++i) {
        EXPECT_EQ(uuids[i], group.run_kernels[i].kernel_uuid) << i;
        EXPECT_EQ(0u, group.run_kernels[i].stream_id);
        EXPECT_EQ(1, group.run_kernels[i].enable);
        ASSERT_NE(nullptr, group.run_kernels[i].resolution_history);
    }
    // The multi-output RCB kernel: two infos in output-port order.
    const zo_isp_qel_run_kernels& split = group.run_kernels[1];
    ASSERT_EQ(2u, split.output_count);
    ASSERT_NE(nullptr, split.resolution_info);
    EXPECT_EQ(1920, split.resolution_info[0].output_width);
    EXPECT_EQ(1280, split.resolution_info[1].output_width);
    EXPECT_EQ(8, split.resolution_info[1].output_crop.left);
    EXPECT_EQ(20, split.resolution_info[0].input_crop.left);
    // A plain kernel without resolution settings has no resolution info.
    EXPECT_EQ(1u, group.run_kernels[2].output_count);
    EXPECT_EQ(nullptr, group.run_kernels[2].resolution_info);
    expectHistory(*group.run_kernels[2].resolution_history, {4000, 3000}, {40, 20, 40, 20},
                  {1920, 1080});

    ASSERT_EQ(0, util.getPekData(1, group));
    ASSERT_EQ(2u, group.kernel_count);
    EXPECT_EQ(6600u, group.run_kernels[0].kernel_uuid);  // post:p_one
    EXPECT_EQ(7700u, group.run_kernels[1].kernel_uuid);  // post:z_first
    EXPECT_EQ(1u, group.run_kernels[0].stream_id);
}

TEST_P(ReferenceGraph, ProgramGroupRecordsAreInTheGroupsOwnKernelOrder) {
    LogCapture log;
    const VELT::IGraphConfig* post = graph->getDescendantByString("post");
    zo_isp_qel_program_group group{};
    ASSERT_EQ(0, util.getPgPekData(post, group));
    ASSERT_EQ(2u, group.kernel_count);
    EXPECT_EQ(7700u, group.run_kernels[0].kernel_uuid);
    EXPECT_EQ(6600u, group.run_kernels[1].kernel_uuid);
    // The copies point at the subgraph's resolution records.
    zo_isp_qel_program_group sub{};
    ASSERT_EQ(0, util.getPekData(1, sub));
    EXPECT_EQ(sub.run_kernels[1].resolution_history, group.run_kernels[0].resolution_history);
    EXPECT_EQ(0, group.tuning_mode);
    EXPECT_TRUE(
        log.contains(ZO_LOG_WARNING, "Could not find the tuning mode for PG post default to 0"));

    ASSERT_EQ(0, util.getPgPekData(graph->getDescendantByString("isp"), group));
    EXPECT_EQ(3, group.tuning_mode);
    EXPECT_EQ(5u, group.kernel_count);
}

TEST_P(ReferenceGraph, UnknownSubgraphsAndGroupsAreRefused) {
    LogCapture log;
    zo_isp_qel_program_group group{};
    EXPECT_EQ(VELT::err_data, util.getPekData(7, group));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Invalid subgraph(stream_id) id 7"));
    EXPECT_EQ(VELT::err_argument,
              util.getPgPekData(graph->getDescendantByString("buffer_src0"), group));
    EXPECT_EQ(VELT::err_argument, util.getPgPekData(nullptr, group));
}

TEST_P(ReferenceGraph, ASecondInitReplacesEveryArrayWithoutReallocationWarning) {
    zo_isp_qel_program_group first{};
    ASSERT_EQ(0, util.getPekData(0, first));
    LogCapture log;
    ASSERT_EQ(
        0, util.init(VELT::kKeyStreamId, graph.get(), static_cast<VELT::GdfVersion>(GetParam())));
    EXPECT_FALSE(log.contains("Allocating kernel structures before deleting."));
    zo_isp_qel_program_group second{};
    ASSERT_EQ(0, util.getPekData(0, second));
    EXPECT_EQ(5u, second.kernel_count);
    EXPECT_EQ(3u, zovesk_test::GraphUtilSeam::subGraphs(util).size());
    EXPECT_EQ(2200u, second.run_kernels[1].kernel_uuid);
}

TEST_P(ReferenceGraph, DumpsWalkTheInnerGraphsFromTheirInputPorts) {
    LogCapture log;
    util.dumpKernels(0);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "FOUND  subgraph id 0 [stream_id] dumping 5 kernels:"));
    EXPECT_TRUE(framedByRules(log, "FOUND  subgraph id 0 [stream_id] dumping 5 kernels:"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "kernel_uuid: 2200 [ENABLED]"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "res_history: (iw: 4000 ih: 3000 (l: 0, t: 0, r: 0, b: 0), ow: 2000, "
                             "oh: 1500 (l: 0, t: 0, r: 0, b: 0))"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "res info: NULL"));
    util.dumpInnerGraph(1);
    EXPECT_TRUE(
        log.contains(ZO_LOG_ERROR, "Dumping Imaging graph inside subgraph 1 of type stream_id "));
    EXPECT_TRUE(framedByRules(log, "Dumping Imaging graph inside subgraph 1 of type stream_id "));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "[4]post:input "));
    util.dumpKernels(42);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "subgraph id 42 not FOUND"));
    util.dumpInnerGraph(42);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Invalid Subgraph id 42"));
    util.dumpPekStructs();
    EXPECT_TRUE(
        log.contains(ZO_LOG_ERROR, "Dumping run-kernels for 3 subgraphs of type stream_id "));
    for (const auto& sg : zovesk_test::GraphUtilSeam::subGraphs(util))
        for (const auto& node : sg.second->imagingNodes)
            EXPECT_FALSE(node.second->visited);
}

TEST_P(ReferenceGraph, ADisabledOutputPortDisablesTheKernelsThatOnlyFeedIt) {
    VELT::GraphConfigNode* outDisp =
        static_cast<VELT::GraphConfigNode*>(graph->getDescendantByString("isp:out_disp"));
    addInt(outDisp, "enabled", 0);
    ASSERT_EQ(
        0, util.init(VELT::kKeyStreamId, graph.get(), static_cast<VELT::GdfVersion>(GetParam())));
    zo_isp_qel_program_group group{};
    ASSERT_EQ(0, util.getPekData(0, group));
    EXPECT_EQ(kernel_enable_disabled, group.run_kernels[3].enable);  // d_disp
    EXPECT_EQ(kernel_enable_enabled, group.run_kernels[1].enable);   // b_split feeds c_main too
    // A disabled kernel is never visited: its history stays zero.
    expectHistory(*group.run_kernels[3].resolution_history, {0, 0}, {0, 0, 0, 0}, {0, 0});
}

INSTANTIATE_TEST_SUITE_P(Generations, ReferenceGraph, ::testing::Values(6, 7));

}  // namespace
