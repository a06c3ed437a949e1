// Resolution-history rules on hand-built inner graphs.
#include <gtest/gtest.h>

#include "analysis_graphs.h"
#include "inner_graph_helpers.h"
#include "support/log_capture.h"
#include "velt_graph_util.h"
#include "zo_log_common.h"

namespace {

using namespace zovesk_test;
using VELT::GraphUtil;
using VELT::ImagingNode;

zo_isp_qel_resolution_info sized(int width, int height) {
    zo_isp_qel_resolution_info info{};
    info.input_width = 4000;
    info.input_height = 3000;
    info.output_width = width;
    info.output_height = height;
    return info;
}

// Two visited parents feeding node "pg:sink" through their output port "0".
struct TwoParents {
    InnerGraph g;
    ImagingNode *first, *second, *sink;
    TwoParents(zo_isp_qel_resolution_info a, zo_isp_qel_resolution_info b) {
        ImagingNode* p = g.add("pg:p", VELT::imaging_kernel);
        ImagingNode* q = g.add("pg:q", VELT::imaging_kernel);
        sink = g.add("pg:sink", VELT::imaging_kernel);
        InnerGraph::link(p, sink, "0", "0");
        InnerGraph::link(q, sink, "0", "1");
        // The parents map is ordered by address: name them by that order.
        first = static_cast<ImagingNode*>(sink->parents.begin()->first);
        second = static_cast<ImagingNode*>(std::next(sink->parents.begin())->first);
        first->portResHistories["0"] = a;
        second->portResHistories["0"] = b;
        first->visited = second->visited = true;
    }
};

TEST(ParentHistory, TheLargestParentOutputWinsWhateverTheOrder) {
    for (bool swap : {false, true}) {
        zo_isp_qel_resolution_info big = sized(1920, 1080);
        zo_isp_qel_resolution_info small = sized(1280, 720);
        TwoParents t(swap ? small : big, swap ? big : small);
        GraphUtil util;
        zo_isp_qel_resolution_info history{};
        ASSERT_EQ(0, util.getParentHistory(*t.sink, history));
        EXPECT_EQ(1920, history.output_width);
        EXPECT_EQ(1080, history.output_height);
    }
}

TEST(ParentHistory, WithoutAParentLargerInBothDirectionsTheFirstOneStays) {
    TwoParents t(sized(1920, 720), sized(1280, 1080));
    GraphUtil util;
    zo_isp_qel_resolution_info history{};
    ASSERT_EQ(0, util.getParentHistory(*t.sink, history));
    EXPECT_EQ(1920, history.output_width);
    EXPECT_EQ(720, history.output_height);
}

TEST(ParentHistory, AnUnvisitedActiveParentMeansRetryLater) {
    TwoParents t(sized(1920, 1080), sized(1280, 720));
    t.second->visited = false;
    GraphUtil util;
    LogCapture log;
    zo_isp_qel_resolution_info history{};
    EXPECT_EQ(VELT::visit_retry, util.getParentHistory(*t.sink, history));
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG, "not all active parents have been visited yet"));

    // A parent disabled by the terminal pass does not hold the node back.
    t.second->flags |= VELT::imaging_flag_disabled;
    t.second->portResHistories["0"] = sized(9999, 9999);
    ASSERT_EQ(0, util.getParentHistory(*t.sink, history));
    EXPECT_EQ(t.first->portResHistories.at("0").output_width, history.output_width);
    EXPECT_NE(9999, history.output_width);
}

TEST(ParentHistory, ANodeWithoutParentsNeedsASeed) {
    InnerGraph g;
    ImagingNode* lone = g.add("pg:lone", VELT::imaging_input_terminal);
    GraphUtil util;
    zo_isp_qel_resolution_info history{};
    LogCapture log;
    EXPECT_EQ(VELT::err_internal, util.getParentHistory(*lone, history));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "has not been seeded with initial reshistory- BUG"));
    lone->portResHistories["pg:lone"] = sized(640, 480);
    ASSERT_EQ(0, util.getParentHistory(*lone, history));
    EXPECT_EQ(640, history.output_width);
    EXPECT_TRUE(lone->portResHistories.empty());  // the seed is consumed
}

// An RCB kernel with settings: input 4000x3000 cropped 40 on the left, output
// 1920x1080; its history comes from a seeded input terminal.
struct RcbKernel {
    VELT::GraphConfigNode tree;
    InnerGraph g;
    ImagingNode *in, *kernel, *out;
    explicit RcbKernel(zo_isp_qel_resolution_info seed) {
        VELT::GraphConfigNode* k = addKernel(&tree, "rcb_k", 77, 0, true);
        addResolution(k, "input", {4000, 3000}, {40, 0, 0, 0});
        addResolution(k, "output", {1920, 1080});
        in = g.add("pg:in", VELT::imaging_input_terminal);
        kernel = g.add("pg:rcb_k", VELT::imaging_kernel);
        kernel->node = k;
        kernel->flags |= VELT::imaging_flag_rcb;
        out = g.add("pg:out", VELT::imaging_output_terminal);
        InnerGraph::link(in, kernel, "", "0");
        InnerGraph::link(kernel, out, "0", "");
        in->portResHistories["pg:in"] = seed;
    }
    int walk(GraphUtil& util) {
        std::function<int(VELT::BaseGraphNode*)> visitor = [&util](VELT::BaseGraphNode* node) {
            return util.resHistoryINodeVisitor(node);
        };
        return util.traverseGraph(in, visitor, true);
    }
};

TEST(RcbHistory, TheInputCropIsScaledBackToSourcePixels) {
    zo_isp_qel_resolution_info seed{};
    seed.input_width = seed.output_width = 4000;
    seed.input_height = seed.output_height = 3000;
    RcbKernel r(seed);
    GraphUtil util;
    ASSERT_EQ(0, r.walk(util));
    const zo_isp_qel_resolution_info& out = r.out->resHistory;
    EXPECT_EQ(4000, out.input_width);
    EXPECT_EQ(40, out.input_crop.left);
    EXPECT_EQ(0, out.input_crop.right);
    EXPECT_EQ(1920, out.output_width);
    EXPECT_EQ(1080, out.output_height);
    ASSERT_EQ(1u, r.kernel->outputResInfos.size());
    EXPECT_EQ(1920, r.kernel->outputResInfos.at("0").output_width);
}

TEST(RcbHistory, SettingsThatDoNotMatchTheHistoryAreAConsistencyError) {
    zo_isp_qel_resolution_info seed{};
    seed.input_width = 4000;
    seed.input_height = 3000;
    seed.output_width = 2000;
    seed.output_height = 1500;
    RcbKernel r(seed);
    GraphUtil util;
    LogCapture log;
    EXPECT_EQ(VELT::err_internal, r.walk(util));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "Consistency error in kernel pg:rcb_k, res info input(4000x3000) is "
                             "different than res history output(2000x1500)- check your "
                             "settings!"));
}

TEST(RcbHistory, AnRcbKernelWithoutSettingsPassesItsSizeThrough) {
    VELT::GraphConfigNode bare;
    InnerGraph g;
    ImagingNode* kernel = g.add("pg:pass", VELT::imaging_kernel);
    kernel->node = &bare;
    kernel->flags |= VELT::imaging_flag_rcb;
    ImagingNode* a = g.add("pg:a", VELT::imaging_kernel);
    ImagingNode* b = g.add("pg:b", VELT::imaging_kernel);
    InnerGraph::link(kernel, a, "0");
    InnerGraph::link(kernel, b, "1");
    zo_isp_qel_resolution_info seed{};
    seed.input_width = 3000;
    seed.input_height = 2000;
    seed.input_crop.left = 10;
    seed.output_width = 1500;
    seed.output_height = 1000;
    kernel->portResHistories["seed"] = seed;
    GraphUtil util;
    ASSERT_EQ(0, util.resHistoryINodeVisitor(kernel));
    ASSERT_EQ(2u, kernel->outputResInfos.size());
    for (const char* port : {"0", "1"}) {
        const zo_isp_qel_resolution_info& info = kernel->outputResInfos.at(port);
        EXPECT_EQ(1500, info.input_width);
        EXPECT_EQ(1500, info.output_width);
        EXPECT_EQ(1000, info.output_height);
        const zo_isp_qel_resolution_info& out = kernel->portResHistories.at(port);
        EXPECT_EQ(10, out.input_crop.left);
        EXPECT_EQ(1500, out.output_width);
    }
}

TEST(RcbHistory, ExtremeValuesWrapInsteadOfOverflowing) {
    VELT::GraphConfigNode tree;
    VELT::GraphConfigNode* k = addKernel(&tree, "huge_k", 78, 0, true);
    addResolution(k, "input", {1, 1}, {2147483647, 2147483647, -2147483647, 5});
    addResolution(k, "output", {1, 1});
    InnerGraph g;
    ImagingNode* kernel = g.add("pg:huge_k", VELT::imaging_kernel);
    kernel->node = k;
    kernel->flags |= VELT::imaging_flag_rcb;
    ImagingNode* out = g.add("pg:out", VELT::imaging_output_terminal);
    InnerGraph::link(kernel, out, "0", "");
    zo_isp_qel_resolution_info seed{};
    seed.input_width = 2147483647;
    seed.input_height = -2147483647;
    seed.output_width = 1;
    seed.output_height = 1;
    kernel->portResHistories["seed"] = seed;
    GraphUtil util;
    ASSERT_EQ(0, util.resHistoryINodeVisitor(kernel));
    // Horizontal ratio: (2147483647 << 10) / 1 wraps to -1024; 2147483647 * -1024 wraps to
    // 1024, shifted right by 10 is 1.
    EXPECT_EQ(1, kernel->portResHistories.at("0").input_crop.left);
}

}  // namespace
