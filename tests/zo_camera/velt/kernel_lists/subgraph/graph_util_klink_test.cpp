// Inner graphs from kernels, routing nodes and klinks.
#include <gtest/gtest.h>

#include "analysis_graphs.h"
#include "support/graph_util_test_seam.h"
#include "support/log_capture.h"
#include "velt_graph_util.h"
#include "zo_log_common.h"

namespace {

using namespace zovesk_test;
using VELT::GraphConfigNode;
using VELT::GraphUtil;
using VELT::ImagingNode;

// Program group "route_pg": kernels kin, kout, kside, a mux (active input 2),
// a demux (active output 1) and two ports.
struct RoutingGroup {
    VELT::GraphConfigNode root;
    GraphConfigNode* pg;
    GraphUtil util;
    VELT::SubGraphInfo sg;
    explicit RoutingGroup(int generation) {
        pg = addBlock(&root, "route_pg", generation >= 7 ? "compute_block" : "program_group");
        addPort(pg, "in_port", 0, 0);
        addPort(pg, "out_port", 1, 1);
        addKernel(pg, "kin", 10, 0);
        addKernel(pg, "kout", 20, 1);
        addKernel(pg, "kside", 30, 2, true);
        addRouting(pg, "mux", "sel_mux", 2);
        addRouting(pg, "demux", "fan_demux", 1);
        zovesk_test::GraphUtilSeam::orbaVersion(util) = static_cast<VELT::GdfVersion>(generation);
        sg.streamId = 4;
    }
    int collect() { return util.collectPgInnerGraph(sg, *pg); }
    ImagingNode* node(const std::string& key) {
        auto found = sg.imagingNodes.find(key);
        return found == sg.imagingNodes.end() ? nullptr : found->second.get();
    }
};

TEST(InnerGraph, KernelsAndRoutingNodesAreKeyedByGroupAndName) {
    RoutingGroup g(7);
    ASSERT_EQ(0, g.collect());
    EXPECT_EQ(3u, g.sg.kernelCount);
    ASSERT_NE(nullptr, g.node("route_pg:kside"));
    EXPECT_EQ(VELT::imaging_kernel, g.node("route_pg:kside")->type);
    EXPECT_NE(0u, g.node("route_pg:kside")->flags & VELT::imaging_flag_rcb);
    EXPECT_EQ(30u, g.node("route_pg:kside")->runKernel.kernel_uuid);
    EXPECT_EQ(4u, g.node("route_pg:kside")->runKernel.stream_id);
    EXPECT_EQ(1, g.node("route_pg:kside")->runKernel.enable);
    EXPECT_EQ(0u, g.node("route_pg:kin")->flags);
    EXPECT_EQ(VELT::imaging_mux, g.node("route_pg:sel_mux")->type);
    EXPECT_EQ(2, g.node("route_pg:sel_mux")->activePath);
    EXPECT_EQ(VELT::imaging_demux, g.node("route_pg:fan_demux")->type);
    EXPECT_EQ(1, g.node("route_pg:fan_demux")->activePath);
}

TEST(InnerGraph, ABarePortBecomesAnInputTerminal) {
    RoutingGroup g(6);
    addKlink(g.pg, "in_port", "kin:0");
    addKlink(g.pg, "kin:0", "out_port");
    ASSERT_EQ(0, g.collect());
    ImagingNode* terminal = g.node("route_pg:in_port");
    ImagingNode* kin = g.node("route_pg:kin");
    ImagingNode* out = g.node("route_pg:out_port");
    ASSERT_NE(nullptr, terminal);
    ASSERT_NE(nullptr, out);
    EXPECT_EQ(VELT::imaging_input_terminal, terminal->type);
    EXPECT_EQ(VELT::imaging_output_terminal, out->type);
    EXPECT_EQ("route_pg:in_port", terminal->name);
    EXPECT_EQ(g.pg->getDescendantByString("in_port"), terminal->node);
    ASSERT_EQ(1u, kin->parents.count(terminal));
    EXPECT_EQ("0", kin->parents.at(terminal));
    EXPECT_EQ("", terminal->children.at(kin));
    EXPECT_EQ("", out->parents.at(kin));
    EXPECT_EQ("0", kin->children.at(out));
}

TEST(InnerGraph, APortNamedByTwoKlinksKeepsOneTerminal) {
    RoutingGroup g(7);
    addKlink(g.pg, "in_port", "kin:0");
    addKlink(g.pg, "in_port", "kout:0");
    ASSERT_EQ(0, g.collect());
    ImagingNode* terminal = g.node("route_pg:in_port");
    ASSERT_NE(nullptr, terminal);
    EXPECT_EQ(2u, terminal->children.size());
    EXPECT_EQ(1u, g.node("route_pg:kin")->parents.count(terminal));
    EXPECT_EQ(1u, g.node("route_pg:kout")->parents.count(terminal));
    // The source pass names the port once more and reuses the terminal too.
    g.sg.outputPorts.push_back(g.pg->getDescendantByString("in_port"));
    EXPECT_EQ(0, g.util.collectSourceInnerGraph(g.sg));
    EXPECT_EQ(terminal, g.node("route_pg:in_port"));
    EXPECT_EQ(2u, terminal->children.size());
}

TEST(InnerGraph, AKlinkFromAnInactiveDemuxOutputMakesNoLink) {
    for (int generation : {6, 7}) {
        RoutingGroup g(generation);
        addKlink(g.pg, "fan_demux:0", "kout:0");
        addKlink(g.pg, "fan_demux:1", "kside:0");
        LogCapture log;
        ASSERT_EQ(0, g.collect());
        EXPECT_TRUE(g.node("route_pg:kout")->parents.empty());
        EXPECT_EQ(1u, g.node("route_pg:kside")->parents.size());
        EXPECT_EQ(1u, g.node("route_pg:fan_demux")->children.size());
        const bool warned = log.contains(
            ZO_LOG_WARNING,
            "Found klink from a demux non active output fan_demux:0->kout:0- FIX your GDF!!");
        EXPECT_EQ(generation == 6, warned) << generation;
        EXPECT_TRUE(
            log.contains(ZO_LOG_DEBUG, "Klink fan_demux:0->kout:0 skipped due to mux config"));
    }
}

TEST(InnerGraph, AKlinkIntoAnInactiveMuxInputIsSkippedOnGeneration7Only) {
    {
        RoutingGroup g(7);
        addKlink(g.pg, "kin:0", "sel_mux:1");
        addKlink(g.pg, "kout:0", "sel_mux:2");
        LogCapture log;
        ASSERT_EQ(0, g.collect());
        ImagingNode* mux = g.node("route_pg:sel_mux");
        ASSERT_EQ(1u, mux->parents.size());
        EXPECT_EQ(g.node("route_pg:kout"), mux->parents.begin()->first);
        EXPECT_EQ("2", mux->parents.begin()->second);
        EXPECT_TRUE(g.node("route_pg:kin")->children.empty());
        EXPECT_TRUE(log.contains(ZO_LOG_DEBUG, "Klink kin:0->sel_mux:1 skipped due to mux config"));
    }
    {
        RoutingGroup g(6);
        addKlink(g.pg, "kin:0", "sel_mux:1");
        LogCapture log;
        EXPECT_EQ(VELT::err_internal, g.collect());
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                                 "Found klink to a mux non active input kin:0->sel_mux:1 - "
                                 "incorrect GDF"));
    }
}

TEST(InnerGraph, KlinksNamingUnknownNodesOrPortsFail) {
    {
        RoutingGroup g(7);
        addKlink(g.pg, "ghost:0", "kin:0");
        LogCapture log;
        EXPECT_EQ(VELT::err_data, g.collect());
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to find Imaging Node ghost named in klink"));
    }
    {
        RoutingGroup g(7);
        addKlink(g.pg, "kin:0", "no_such_port");
        EXPECT_EQ(VELT::err_data, g.collect());
    }
}

TEST(InnerGraph, AKernelWithoutPalUuidIsCountedButNotAdded) {
    RoutingGroup g(7);
    GraphConfigNode* broken = addChild(g.pg, "kbroken");
    addStr(broken, "type", "kernel");
    addStr(broken, "name", "kbroken");
    addInt(broken, "id", 3);
    LogCapture log;
    EXPECT_EQ(VELT::err_data, g.collect());
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to retrieve kernel info from IGraphConfig"));
    EXPECT_EQ(4u, g.sg.kernelCount);
    EXPECT_EQ(nullptr, g.node("route_pg:kbroken"));
}

}  // namespace
