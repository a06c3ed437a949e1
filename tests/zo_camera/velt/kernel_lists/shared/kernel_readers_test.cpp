// Reading kernel values, bits per pixel and resolutions from the graph, and
// the history entering a program group fed by another one.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/log_capture.h"
#include "support/sensor_graph.h"
#include "velt_qel_pek_utils.h"
#include "zo_log_common.h"

namespace {

using VELT::GraphConfigNode;
using VELT::QelPekUtils;
using namespace zovesk_test;

class KernelReaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        GraphConfigNode* pg = addBlock(&root_, "pg", "program_group");
        kernel_ = addChild(pg, "kernel");
        addStr(kernel_, "type", "kernel");
        addStr(kernel_, "name", "gdc");
        addInt(kernel_, "pal_uuid", 11);
        addInt(kernel_, "id", 2);
    }

    GraphConfigNode root_;
    GraphConfigNode* kernel_ = nullptr;
};

TEST_F(KernelReaderTest, ValuesAndTheirDefaults) {
    int palUuid = 0, id = 0, enable = 0, rcb = 9, branchPoint = 9, sinkPort = 0, restorePoint = 0;
    unsigned metadata[4] = {7, 7, 7, 7};
    ASSERT_EQ(0, QelPekUtils::kernelGetValues(kernel_, &palUuid, &id, metadata, &enable, &rcb,
                                              &branchPoint, &sinkPort, &restorePoint));
    EXPECT_EQ(11, palUuid);
    EXPECT_EQ(2, id);
    EXPECT_EQ(1, enable);
    EXPECT_EQ(0, rcb);
    EXPECT_EQ(0, branchPoint);
    EXPECT_EQ(-1, sinkPort);
    EXPECT_EQ(-1, restorePoint);
    EXPECT_EQ(7u, metadata[0]);  // no "metadata": nothing written

    addStr(kernel_, "metadata", "3,0,12");
    addInt(kernel_, "restore_point", 5);
    addInt(kernel_, "branch_point", 4);
    addInt(kernel_, "rcb", 1);
    addInt(kernel_, "enabled", 0);
    addInt(kernel_, "sink_port", 3);
    ASSERT_EQ(0, QelPekUtils::kernelGetValues(kernel_, &palUuid, &id, metadata, &enable, &rcb,
                                              &branchPoint, &sinkPort, &restorePoint));
    EXPECT_EQ(3u, metadata[0]);
    EXPECT_EQ(0u, metadata[1]);
    EXPECT_EQ(12u, metadata[2]);
    EXPECT_EQ(7u, metadata[3]);
    EXPECT_EQ(5, restorePoint);
    EXPECT_EQ(4, branchPoint);
    EXPECT_EQ(1, rcb);
    EXPECT_EQ(0, enable);
    EXPECT_EQ(3, sinkPort);

    // Null outputs are skipped.
    EXPECT_EQ(0, QelPekUtils::kernelGetValues(kernel_, nullptr, nullptr, nullptr, nullptr, nullptr,
                                              nullptr, nullptr, nullptr));
    EXPECT_EQ(VELT::err_argument,
              QelPekUtils::kernelGetValues(nullptr, &palUuid, nullptr, nullptr, nullptr, nullptr,
                                           nullptr, nullptr, &restorePoint));
}

TEST_F(KernelReaderTest, MetadataBeyondFourValuesIsRefused) {
    zovesk_test::LogCapture log;
    addStr(kernel_, "metadata", "1,2,3,4,5");
    unsigned metadata[4] = {};
    EXPECT_EQ(VELT::err_data,
              QelPekUtils::kernelGetValues(kernel_, nullptr, nullptr, metadata, nullptr, nullptr,
                                           nullptr, nullptr, nullptr));
    EXPECT_EQ(0u, metadata[0]);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "1,2,3,4,5"));
}

TEST_F(KernelReaderTest, RequiredValuesAreReported) {
    zovesk_test::LogCapture log;
    GraphConfigNode* bare = addChild(&root_, "bare");
    int palUuid = 0;
    int restorePoint = 0;
    EXPECT_EQ(VELT::err_general,
              QelPekUtils::kernelGetValues(bare, &palUuid, nullptr, nullptr, nullptr, nullptr,
                                           nullptr, nullptr, &restorePoint));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "ERROR: Couldn't get pal_uuid"));
    int id = 0;
    EXPECT_EQ(VELT::err_general, QelPekUtils::kernelGetValues(bare, nullptr, &id, nullptr, nullptr,
                                                              nullptr, nullptr, nullptr, nullptr));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Couldn't get kernel id"));
}

TEST_F(KernelReaderTest, BitsPerPixelOfInputAndOutput) {
    zo_isp_qel_run_kernels rk{};
    rk.bpp_info.input_bpp = 99;
    rk.bpp_info.output_bpp = 99;
    EXPECT_EQ(0, QelPekUtils::kernelGetBppInfo(*kernel_, rk));
    EXPECT_EQ(99u, rk.bpp_info.input_bpp);  // no children: untouched
    EXPECT_EQ(99u, rk.bpp_info.output_bpp);

    addInt(addChild(kernel_, "input"), "bpp", 10);
    addChild(kernel_, "output");  // without "bpp"
    EXPECT_EQ(0, QelPekUtils::kernelGetBppInfo(*kernel_, rk));
    EXPECT_EQ(10u, rk.bpp_info.input_bpp);
    EXPECT_EQ(0u, rk.bpp_info.output_bpp);
}

TEST_F(KernelReaderTest, SingleResolution) {
    EXPECT_FALSE(QelPekUtils::kernelHasResolutions(kernel_));
    addSized(kernel_, "input", 4000, 3000, {16, 8, 16, 8});
    EXPECT_FALSE(QelPekUtils::kernelHasResolutions(kernel_));
    GraphConfigNode* output = addSize(kernel_, "output", 1920, 1080);
    addInt(output, "left", 4);  // an incomplete crop counts as none
    EXPECT_TRUE(QelPekUtils::kernelHasResolutions(kernel_));

    zo_isp_qel_resolution_info info{};
    info.output_crop = {9, 9, 9, 9};
    ASSERT_EQ(0, QelPekUtils::kernelGetResolutions(kernel_, &info));
    EXPECT_EQ(4000, info.input_width);
    EXPECT_EQ(3000, info.input_height);
    EXPECT_EQ(16, info.input_crop.left);
    EXPECT_EQ(8, info.input_crop.bottom);
    EXPECT_EQ(1920, info.output_width);
    EXPECT_EQ(1080, info.output_height);
    EXPECT_EQ(0, info.output_crop.left);
    EXPECT_EQ(0, info.output_crop.top);

    addInt(output, "top", 2);
    addInt(output, "right", 6);
    addInt(output, "bottom", 1);
    ASSERT_EQ(0, QelPekUtils::kernelGetResolutions(kernel_, &info));
    EXPECT_EQ(4, info.output_crop.left);
    EXPECT_EQ(1, info.output_crop.bottom);
}

TEST_F(KernelReaderTest, SingleResolutionNeedsTheWholeInput) {
    zovesk_test::LogCapture log;
    zo_isp_qel_resolution_info info{};
    EXPECT_EQ(VELT::err_argument, QelPekUtils::kernelGetResolutions(kernel_, &info));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "ERROR: couldn't find input resolution info, check "
                             "graph settings xml[gdc]"));
    GraphConfigNode* input = addSize(kernel_, "input", 4000, 3000);
    addSize(kernel_, "output", 1920, 1080);
    EXPECT_EQ(VELT::err_argument, QelPekUtils::kernelGetResolutions(kernel_, &info));
    EXPECT_TRUE(
        log.contains(ZO_LOG_ERROR, "ERROR: couldn't get input resolution info for kernel gdc"));
    addInt(input, "left", 0);
    addInt(input, "top", 0);
    addInt(input, "right", 0);
    addInt(input, "bottom", 0);
    EXPECT_EQ(0, QelPekUtils::kernelGetResolutions(kernel_, &info));
}

TEST_F(KernelReaderTest, SeveralOutputsAreKeyedByChildName) {
    addSized(kernel_, "input", 4000, 3000, {8, 8, 8, 8});
    GraphConfigNode* output = addChild(kernel_, "output");
    addSized(output, "main", 1920, 1080, {2, 2, 2, 2});
    addSize(output, "preview", 640, 480);
    EXPECT_TRUE(QelPekUtils::kernelHasResolutions(kernel_));

    std::map<std::string, zo_isp_qel_resolution_info> infos;
    infos["main"] = zo_isp_qel_resolution_info{};
    infos["other"] = zo_isp_qel_resolution_info{};
    ASSERT_EQ(0, QelPekUtils::kernelGetResolutions(kernel_, infos));
    ASSERT_EQ(3u, infos.size());
    EXPECT_EQ(1920, infos["main"].output_width);
    EXPECT_EQ(2, infos["main"].output_crop.right);
    EXPECT_EQ(640, infos["preview"].output_width);
    EXPECT_EQ(0, infos["preview"].output_crop.left);
    for (const char* name : {"main", "preview"}) {
        EXPECT_EQ(4000, infos[name].input_width);
        EXPECT_EQ(8, infos[name].input_crop.top);
    }
}

TEST_F(KernelReaderTest, SingleOutputIsKeyedByTheEmptyName) {
    addSized(kernel_, "input", 4000, 3000, {0, 0, 0, 0});
    addSize(kernel_, "output", 2000, 1500);
    std::map<std::string, zo_isp_qel_resolution_info> infos;
    ASSERT_EQ(0, QelPekUtils::kernelGetResolutions(kernel_, infos));
    ASSERT_EQ(1u, infos.count(""));
    EXPECT_EQ(2000, infos[""].output_width);
}

TEST_F(KernelReaderTest, AnUnreadableOutputEndsTheCall) {
    zovesk_test::LogCapture log;
    addSized(kernel_, "input", 4000, 3000, {0, 0, 0, 0});
    GraphConfigNode* output = addChild(kernel_, "output");
    std::map<std::string, zo_isp_qel_resolution_info> infos;
    // No outputs at all.
    EXPECT_EQ(VELT::err_argument, QelPekUtils::kernelGetResolutions(kernel_, infos));
    addInt(addChild(output, "main"), "width", 1920);
    EXPECT_EQ(VELT::err_argument, QelPekUtils::kernelGetResolutions(kernel_, infos));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "ERROR: couldn't get output resolution info dimensions "
                             "for kernel [gdc]"));
    EXPECT_TRUE(infos.empty());
}

TEST(IntermediatePgHistory, TakesTheHistoryOfTheFeedingPort) {
    zovesk_test::LogCapture log;
    GraphConfigNode root;
    GraphConfigNode* upstream = addBlock(&root, "pg_a", "program_group");
    GraphConfigNode* out = addPort(upstream, "output", 1, 1, "pg_b:input");
    GraphConfigNode* downstream = addBlock(&root, "pg_b", "program_group");
    GraphConfigNode* in = addPort(downstream, "input", 0, 0, "pg_a:output");

    zo_isp_qel_resolution_info history{};
    history.input_width = 1;
    QelPekUtils::PortHistoryMap histories;
    EXPECT_EQ(0, QelPekUtils::getResHistoryForIntermediatePg(downstream, history, histories));
    EXPECT_EQ(1, history.input_width);
    EXPECT_TRUE(
        log.contains(ZO_LOG_WARNING,
                     "No res history for stream input (program_group[pg_a]:port[pg_a:output])!"));

    histories[out].input_width = 4000;
    EXPECT_EQ(0, QelPekUtils::getResHistoryForIntermediatePg(downstream, history, histories));
    EXPECT_EQ(4000, history.input_width);

    addInt(in, "enabled", 0);
    EXPECT_EQ(VELT::err_general,
              QelPekUtils::getResHistoryForIntermediatePg(downstream, history, histories));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Intermediate PG connection disabled ?"));
    EXPECT_EQ(VELT::err_general,
              QelPekUtils::getResHistoryForIntermediatePg(upstream, history, histories));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "PG node program_group[pg_a]: no 'input' port"));
}

}  // namespace
