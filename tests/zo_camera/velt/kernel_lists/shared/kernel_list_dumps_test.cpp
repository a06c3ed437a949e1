// Dump text of resolution records and run-kernel arrays.
#include <gtest/gtest.h>

#include <string>

#include "support/log_capture.h"
#include "velt_qel_pek_utils.h"
#include "zo_log_common.h"

namespace {

using VELT::QelPekUtils;

size_t countMessages(const zovesk_test::LogCapture& log, const std::string& text) {
    size_t count = 0;
    for (const auto& record : log.records()) {
        count += record.message == text ? 1 : 0;
    }
    return count;
}

TEST(ResInfoToStr, OneSharedBuffer) {
    const zo_isp_qel_resolution_info first{4000, 3000, {1, 2, 3, 4}, 1920, 1080, {5, 6, 7, 8}};
    const char* text = QelPekUtils::resInfoToStr(first);
    EXPECT_STREQ(
        "(iw: 4000 ih: 3000 (l: 1, t: 2, r: 3, b: 4),ow: 1920, oh: 1080 (l: 5, t: 6, "
        "r: 7, b: 8)",
        text);
    const zo_isp_qel_resolution_info second{-1, 0, {}, 0, 0, {}};
    EXPECT_EQ(text, QelPekUtils::resInfoToStr(second));
    EXPECT_STREQ("(iw: -1 ih: 0 (l: 0, t: 0, r: 0, b: 0),ow: 0, oh: 0 (l: 0, t: 0, r: 0, b: 0)",
                 text);
}

TEST(DumpKernels, EveryFieldOfEveryRecord) {
    zo_isp_qel_resolution_info outputs[2] = {{10, 10, {}, 5, 5, {}}, {10, 10, {}, 2, 2, {}}};
    zo_isp_qel_resolution_info history{100, 100, {}, 10, 10, {}};
    zo_isp_qel_run_kernels kernels[3] = {};
    kernels[0].kernel_uuid = 5;
    kernels[0].enable = 3;
    kernels[0].stream_id = 2;
    kernels[0].metadata[0] = 1;
    kernels[0].metadata[3] = 4;
    kernels[0].bpp_info = {10, 12};
    kernels[1].kernel_uuid = 6;
    kernels[1].enable = kernel_enable_bypass;
    kernels[1].resolution_info = outputs;
    kernels[1].output_count = 2;
    kernels[1].resolution_history = &history;
    kernels[2].enable = kernel_enable_disabled;
    kernels[2].resolution_info = outputs;

    zovesk_test::LogCapture log;
    QelPekUtils::dumpKernels(kernels, 3);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "kernel_uuid: 5 [NOT SUPPORTED (3)]"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "kernel_uuid: 6 [BYPASS (0)]"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "kernel_uuid: 0 [DISABLED (2)]"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "stream_id 2"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "metadata: (1 0 0 4)"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "bpp_info in:10 out:12"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "res_info[1]: (iw: 10 ih: 10 (l: 0, t: 0, r: 0, b: 0),"
                             "ow: 2, oh: 2"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "res_info: (iw: 10 ih: 10 (l: 0, t: 0, r: 0, b: 0),"
                             "ow: 5, oh: 5"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "resolution_history:(iw: 100 ih: 100"));
    EXPECT_EQ(1u, countMessages(log, "res info: NULL"));
    EXPECT_EQ(2u, countMessages(log, "res history: NULL"));
    // Separators between records only.
    EXPECT_EQ(2u, countMessages(log, std::string(55, '-')));

    log.clear();
    QelPekUtils::dumpKernels(kernels, 0);
    EXPECT_TRUE(log.records().empty());
}

TEST(DumpKernels, EnableStatesByName) {
    zo_isp_qel_run_kernels kernel{};
    kernel.kernel_uuid = 1;
    kernel.enable = kernel_enable_enabled;
    zovesk_test::LogCapture log;
    QelPekUtils::dumpKernels(&kernel, 1);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "kernel_uuid: 1 [ENABLED (1)]"));
    EXPECT_EQ(0u, countMessages(log, std::string(55, '-')));
}

}  // namespace
