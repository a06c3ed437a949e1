// The two kernel-disabling passes on hand-built inner graphs.
#include <gtest/gtest.h>

#include "inner_graph_helpers.h"
#include "support/graph_util_test_seam.h"
#include "support/log_capture.h"
#include "velt_graph_util.h"
#include "zo_log_common.h"

namespace {

using namespace zovesk_test;
using VELT::GraphUtil;
using VELT::ImagingNode;

constexpr int kEnabled = kernel_enable_enabled;
constexpr int kDisabled = kernel_enable_disabled;

void expectNoMarks(const VELT::SubGraphInfo& sg) {
    for (const auto& node : sg.imagingNodes)
        EXPECT_FALSE(node.second->visited) << node.first;
}

// k1 has no parents (its klink left an inactive demux output):
//   k1 -> k2 -> out          and    in -> ka -> split -> kb -> k3 (no children)
//                                                   split -> kc -> out2
struct Dangling {
    InnerGraph g;
    ImagingNode *k1, *k2, *out, *in, *ka, *split, *kb, *k3, *kc, *out2;
    Dangling() {
        k1 = g.add("pg:k1", VELT::imaging_kernel);
        k2 = g.add("pg:k2", VELT::imaging_kernel);
        out = g.addTerminal("pg:out", VELT::imaging_output_terminal, -1);
        in = g.addTerminal("pg:in", VELT::imaging_input_terminal, -1);
        ka = g.add("pg:ka", VELT::imaging_kernel);
        split = g.add("pg:split", VELT::imaging_split);
        kb = g.add("pg:kb", VELT::imaging_kernel);
        k3 = g.add("pg:k3", VELT::imaging_kernel);
        kc = g.add("pg:kc", VELT::imaging_kernel);
        out2 = g.addTerminal("pg:out2", VELT::imaging_output_terminal, -1);
        InnerGraph::link(k1, k2);
        InnerGraph::link(k2, out, "0", "");
        InnerGraph::link(in, ka, "", "0");
        InnerGraph::link(ka, split);
        InnerGraph::link(split, kb, "0");
        InnerGraph::link(split, kc, "1");
        InnerGraph::link(kb, k3);
        InnerGraph::link(kc, out2, "0", "");
    }
};

TEST(DisableDisconnectedKernels, DisablesDanglingBranchesOnGeneration7) {
    Dangling d;
    GraphUtil util;
    zovesk_test::GraphUtilSeam::orbaVersion(util) = static_cast<VELT::GdfVersion>(7);
    LogCapture log;
    EXPECT_EQ(0, util.disableDisconnectedKernels(d.g.sg));
    EXPECT_EQ(kDisabled, d.k1->runKernel.enable);
    EXPECT_EQ(kDisabled, d.k2->runKernel.enable);
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG, "disable disconnected kernel -> pg:k2 "));
    // Upstream from k3 up to the split.
    EXPECT_EQ(kDisabled, d.k3->runKernel.enable);
    EXPECT_EQ(kDisabled, d.kb->runKernel.enable);
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG, "disable disconnected kernel <- pg:kb "));
    EXPECT_EQ(kEnabled, d.ka->runKernel.enable);
    EXPECT_EQ(kEnabled, d.kc->runKernel.enable);
    expectNoMarks(d.g.sg);
}

TEST(DisableDisconnectedKernels, StopsUpstreamAtAKernelWithTwoChildren) {
    InnerGraph g;
    ImagingNode* in = g.addTerminal("pg:in", VELT::imaging_input_terminal, -1);
    ImagingNode* fork = g.add("pg:fork", VELT::imaging_kernel);
    ImagingNode* dead = g.add("pg:dead", VELT::imaging_kernel);
    ImagingNode* live = g.add("pg:live", VELT::imaging_kernel);
    ImagingNode* out = g.addTerminal("pg:out", VELT::imaging_output_terminal, -1);
    InnerGraph::link(in, fork, "", "0");
    InnerGraph::link(fork, dead, "0");
    InnerGraph::link(fork, live, "1");
    InnerGraph::link(live, out, "0", "");
    GraphUtil util;
    zovesk_test::GraphUtilSeam::orbaVersion(util) = static_cast<VELT::GdfVersion>(7);
    EXPECT_EQ(0, util.disableDisconnectedKernels(g.sg));
    EXPECT_EQ(kDisabled, dead->runKernel.enable);
    EXPECT_EQ(kEnabled, fork->runKernel.enable);
    EXPECT_EQ(kEnabled, live->runKernel.enable);
}

TEST(DisableDisconnectedKernels, LeavesGeneration6Alone) {
    Dangling d;
    GraphUtil util;
    zovesk_test::GraphUtilSeam::orbaVersion(util) = static_cast<VELT::GdfVersion>(6);
    LogCapture log;
    EXPECT_EQ(0, util.disableDisconnectedKernels(d.g.sg));
    for (ImagingNode* k : {d.k1, d.k2, d.k3, d.kb, d.ka, d.kc})
        EXPECT_EQ(kEnabled, k->runKernel.enable) << k->name;
    EXPECT_FALSE(log.contains("Starting to disable disconnected kernels!"));
}

//   in -> k0 -> split -> k1 -> out1
//               split -> k2 -> out2
struct SplitGraph {
    InnerGraph g;
    ImagingNode *in, *k0, *split, *k1, *k2, *out1, *out2;
    SplitGraph(int out1Enabled, int out2Enabled) {
        in = g.addTerminal("pg:in", VELT::imaging_input_terminal, -1);
        k0 = g.add("pg:k0", VELT::imaging_kernel);
        split = g.add("pg:split", VELT::imaging_split);
        k1 = g.add("pg:k1", VELT::imaging_kernel);
        k2 = g.add("pg:k2", VELT::imaging_kernel);
        out1 = g.addTerminal("pg:out1", VELT::imaging_output_terminal, out1Enabled);
        out2 = g.addTerminal("pg:out2", VELT::imaging_output_terminal, out2Enabled);
        InnerGraph::link(in, k0, "", "0");
        InnerGraph::link(k0, split);
        InnerGraph::link(split, k1, "0");
        InnerGraph::link(split, k2, "1");
        InnerGraph::link(k1, out1, "0", "");
        InnerGraph::link(k2, out2, "0", "");
    }
};

TEST(DisableKernelsToDisabledTerminals, StopsAtASplitWithALiveBranch) {
    SplitGraph s(0, 1);
    GraphUtil util;
    LogCapture log;
    EXPECT_EQ(0, util.disableKernelsToDisabledTerminals(s.g.sg));
    EXPECT_EQ(kDisabled, s.k1->runKernel.enable);
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG, "kernel pg:k1 disabled"));
    EXPECT_EQ(kEnabled, s.k2->runKernel.enable);
    EXPECT_EQ(kEnabled, s.k0->runKernel.enable);
    EXPECT_EQ(0u, s.split->flags & VELT::imaging_flag_disabled);
    EXPECT_NE(0u, s.k1->flags & VELT::imaging_flag_disabled);
    expectNoMarks(s.g.sg);
}

TEST(DisableKernelsToDisabledTerminals, ASplitIsRetriedFromItsLastDisabledBranch) {
    SplitGraph s(0, 0);
    GraphUtil util;
    EXPECT_EQ(0, util.disableKernelsToDisabledTerminals(s.g.sg));
    EXPECT_EQ(kDisabled, s.k1->runKernel.enable);
    EXPECT_EQ(kDisabled, s.k2->runKernel.enable);
    EXPECT_EQ(kDisabled, s.k0->runKernel.enable);
    EXPECT_NE(0u, s.split->flags & VELT::imaging_flag_disabled);
    expectNoMarks(s.g.sg);
}

TEST(DisableKernelsToDisabledTerminals, AKernelWithASecondInputStaysEnabled) {
    InnerGraph g;
    ImagingNode* dead = g.addTerminal("pg:in_a", VELT::imaging_input_terminal, 0);
    ImagingNode* live = g.addTerminal("pg:in_b", VELT::imaging_input_terminal, 1);
    ImagingNode* only = g.add("pg:k_only", VELT::imaging_kernel);
    ImagingNode* blend = g.add("pg:k_blend", VELT::imaging_kernel);
    ImagingNode* out = g.addTerminal("pg:out", VELT::imaging_output_terminal, -1);
    InnerGraph::link(dead, only, "", "0");
    InnerGraph::link(only, blend, "0", "0");
    InnerGraph::link(live, blend, "", "1");
    InnerGraph::link(blend, out, "0", "");
    GraphUtil util;
    LogCapture log;
    EXPECT_EQ(0, util.disableKernelsToDisabledTerminals(g.sg));
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG, "disabling kernels from port pg:in_a "));
    EXPECT_EQ(kDisabled, only->runKernel.enable);
    EXPECT_EQ(kEnabled, blend->runKernel.enable);
    EXPECT_EQ(0u, blend->flags & VELT::imaging_flag_disabled);
    expectNoMarks(g.sg);
}

TEST(DisableKernelsToDisabledTerminals, AnOutputTerminalThatFeedsOnIsPassedDownstream) {
    InnerGraph g;
    ImagingNode* in = g.addTerminal("a:in", VELT::imaging_input_terminal, 0);
    ImagingNode* k = g.add("a:k", VELT::imaging_kernel);
    ImagingNode* out = g.addTerminal("a:out", VELT::imaging_output_terminal, -1);
    ImagingNode* nextIn = g.addTerminal("b:in", VELT::imaging_input_terminal, -1);
    ImagingNode* next = g.add("b:k", VELT::imaging_kernel);
    InnerGraph::link(in, k, "", "0");
    InnerGraph::link(k, out, "0", "");
    InnerGraph::link(out, nextIn, "b:in", "a:out");
    InnerGraph::link(nextIn, next, "", "0");
    GraphUtil util;
    EXPECT_EQ(0, util.disableKernelsToDisabledTerminals(g.sg));
    EXPECT_EQ(kDisabled, k->runKernel.enable);
    EXPECT_EQ(kDisabled, next->runKernel.enable);
}

TEST(ResetInnerGraph, ReportsActiveNodesThatNoTraversalReached) {
    InnerGraph g;
    g.add("pg:seen", VELT::imaging_kernel)->visited = true;
    g.add("pg:missed", VELT::imaging_kernel);
    g.add("pg:off", VELT::imaging_kernel)->runKernel.enable = kDisabled;
    g.sg.subGraphId = 9;
    GraphUtil util;
    LogCapture log;
    util.resetInnerGraph(g.sg, true);
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING,
                             "Traversal of inner graph 9 did not reach all ACTIVE nodes 1/2"));
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING, "Imaging Node pg:missed not reached"));
    EXPECT_FALSE(log.contains("Imaging Node pg:off not reached"));
    expectNoMarks(g.sg);
}

}  // namespace
