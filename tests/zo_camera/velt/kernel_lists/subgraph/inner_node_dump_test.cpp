// The inner-graph dump of a kernel node: its own enable names and resolution
// text, next to the kernel-list dump's.
#include <gtest/gtest.h>

#include <string>

#include "support/log_capture.h"
#include "velt_graph_util.h"
#include "zo_log_common.h"

namespace {

using VELT::GraphUtil;
using VELT::ImagingNode;

struct EnableCase {
    int32_t enable;
    const char* heading;
};

TEST(InnerNodeDump, EnableStatesInBrackets) {
    const EnableCase cases[] = {
        {kernel_enable_bypass, "kernel_uuid: 9 [BYPASSED]"},
        {kernel_enable_enabled, "kernel_uuid: 9 [ENABLED]"},
        {kernel_enable_disabled, "kernel_uuid: 9 [DISABLED]"},
        {3, "kernel_uuid: 9 INVALID!!"},
        {-1, "kernel_uuid: 9 INVALID!!"},
    };
    for (const EnableCase& c : cases) {
        zo_isp_qel_run_kernels record{};
        ImagingNode node;
        node.type = VELT::imaging_kernel;
        node.runKernel.kernel_uuid = 9;
        node.runKernel.enable = c.enable;
        node.pekRunKernel = &record;
        zovesk_test::LogCapture log;
        EXPECT_EQ(0, GraphUtil::dumpInnerNodeVisitor(&node, VELT::imaging_kernel));
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, c.heading)) << c.enable;
    }
}

TEST(InnerNodeDump, ResolutionsCloseTheirParenthesesAndShowTheFirstOutput) {
    zo_isp_qel_resolution_info infos[2] = {{4000, 3000, {1, 2, 3, 4}, 1920, 1080, {5, 6, 7, 8}},
                                           {4000, 3000, {}, 640, 480, {}}};
    zo_isp_qel_resolution_info history{4100, 3100, {9, 10, 11, 12}, 4000, 3000, {}};
    zo_isp_qel_run_kernels record{};
    record.stream_id = 3;
    record.metadata[1] = 7;
    record.bpp_info = {10, 12};
    record.resolution_info = infos;
    record.output_count = 2;
    record.resolution_history = &history;
    ImagingNode node;
    node.type = VELT::imaging_kernel;
    node.name = "pg:kernel";
    node.runKernel.enable = kernel_enable_enabled;
    node.pekRunKernel = &record;

    zovesk_test::LogCapture log;
    EXPECT_EQ(0, GraphUtil::dumpInnerNodeVisitor(&node, VELT::imaging_none));
    std::string lines;
    for (const auto& entry : log.records()) {
        lines += entry.message + "\n";
    }
    EXPECT_EQ(std::string(55, '-') + "\n" +
                  "[0]pg:kernel \n"
                  "kernel_uuid: 0 [ENABLED]\n"
                  "stream_id 3\n"
                  "metadata: (0 7 0 0)\n"
                  "res_info: (iw: 4000 ih: 3000 (l: 1, t: 2, r: 3, b: 4), ow: 1920, oh: 1080 (l: "
                  "5, t: 6, r: 7, b: 8))\n"
                  "res_history: (iw: 4100 ih: 3100 (l: 9, t: 10, r: 11, b: 12), ow: 4000, oh: "
                  "3000 (l: 0, t: 0, r: 0, b: 0))\n"
                  "bpp_info in:10 out:12\n",
              lines);
}

TEST(InnerNodeDump, MissingRecordsAreNamed) {
    ImagingNode node;
    node.type = VELT::imaging_kernel;
    zovesk_test::LogCapture log;
    EXPECT_EQ(VELT::err_internal, GraphUtil::dumpInnerNodeVisitor(&node, VELT::imaging_kernel));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "INVALID output!! Error"));

    zo_isp_qel_run_kernels record{};
    node.pekRunKernel = &record;
    log.clear();
    EXPECT_EQ(0, GraphUtil::dumpInnerNodeVisitor(&node, VELT::imaging_kernel));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "res info: NULL"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "res history: NULL"));
}

}  // namespace
