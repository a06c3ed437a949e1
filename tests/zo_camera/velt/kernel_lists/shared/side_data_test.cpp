// Side data of the kernel-list builder: CMC tag, DOL mode and MBR limits.
#include <gtest/gtest.h>

#include <string>

#include "support/log_capture.h"
#include "support/sensor_graph.h"
#include "velt_qel_pek_utils.h"
#include "zo_log_common.h"

namespace {

using VELT::GraphConfigNode;
using VELT::QelPekUtils;
using namespace zovesk_test;

std::string numbers(int count, const std::string& separator = ",") {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += (i ? separator : "") + std::to_string(i) + ".5";
    }
    return text;
}

// A generation-5 graph without kernels; its builder is initialised.
class SideDataTest : public ::testing::Test {
  protected:
    void SetUp() override {
        addStr(addChild(&root_, "graph"), "version", "ORBA5");
        sensor_ = addBlock(&root_, "sensor", "source");
        mbr_ = addChild(&root_, "mbr_data");
        pek_.initPekUtils(&root_);
    }

    void addMbr(int streamId, const std::string& values) {
        GraphConfigNode* stream = addChild(mbr_, "stream_id");
        addInt(stream, "id", streamId);
        addStr(stream, "value", values);
    }

    GraphConfigNode root_;
    GraphConfigNode* sensor_ = nullptr;
    GraphConfigNode* mbr_ = nullptr;
    QelPekUtils pek_{true};
};

TEST_F(SideDataTest, CmcTag) {
    zovesk_test::LogCapture log;
    std::string tag = "old";
    addStr(sensor_, "cmc_tag", "");
    EXPECT_EQ(VELT::err_data, pek_.getSensorCmcId(tag));
    EXPECT_TRUE(tag.empty());
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Error: Couldn't get cmc tag. Check your settings."));
}

TEST_F(SideDataTest, DolModeAndConversionGain) {
    float gain = 0;
    std::string mode = "x";
    EXPECT_EQ(0, pek_.getDolInfo(gain, mode));
    EXPECT_FLOAT_EQ(1.0f, gain);
    EXPECT_TRUE(mode.empty());

    addStr(sensor_, "conversion_gain", "2.5");
    EXPECT_EQ(0, pek_.getDolInfo(gain, mode));
    EXPECT_FLOAT_EQ(1.0f, gain);  // no DOL mode, no gain

    addStr(sensor_, "dol_mode", "dol_2");
    EXPECT_EQ(0, pek_.getDolInfo(gain, mode));
    EXPECT_FLOAT_EQ(2.5f, gain);
    EXPECT_EQ("dol_2", mode);
}

TEST_F(SideDataTest, NotANumberGain) {
    addStr(sensor_, "conversion_gain", "high");
    addStr(sensor_, "dol_mode", "dol_2");
    float gain = 0;
    std::string mode;
    EXPECT_EQ(VELT::err_data, pek_.getDolInfo(gain, mode));
    EXPECT_FLOAT_EQ(1.0f, gain);
}

TEST_F(SideDataTest, MbrLimitsFillSevenRows) {
    zovesk_test::LogCapture log;
    addMbr(1, numbers(8));
    addMbr(2, numbers(64));
    zo_view_mbr_limits_t limits{};
    ASSERT_EQ(0, pek_.getMbrData(2, &limits));
    EXPECT_TRUE(
        log.contains(ZO_LOG_WARNING, "MBR data size (64) does not match expected size (56)"));
    EXPECT_FLOAT_EQ(0.5f, limits.limits[0][0]);
    EXPECT_FLOAT_EQ(9.5f, limits.limits[1][1]);
    EXPECT_FLOAT_EQ(55.5f, limits.limits[6][7]);
}

TEST_F(SideDataTest, MbrTrailingCommaAndEmptyPieces) {
    addMbr(0, numbers(56) + ",");
    zo_view_mbr_limits_t limits{};
    EXPECT_EQ(0, pek_.getMbrData(0, &limits));
    EXPECT_FLOAT_EQ(55.5f, limits.limits[6][7]);

    // Two commas in a row make an empty piece, which is no number.
    addMbr(3, "1,,2," + numbers(53));
    zovesk_test::LogCapture log;
    EXPECT_EQ(VELT::err_data, pek_.getMbrData(3, &limits));
    EXPECT_FALSE(log.contains(ZO_LOG_WARNING, "does not match expected size"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "MBR value '' is not a number"));
}

TEST_F(SideDataTest, MbrWithTooFewValuesFillsCompleteRows) {
    addMbr(4, numbers(16));
    zo_view_mbr_limits_t limits;
    limits.limits[3][0] = 9.0f;
    EXPECT_EQ(VELT::err_data, pek_.getMbrData(4, &limits));
    EXPECT_FLOAT_EQ(15.5f, limits.limits[1][7]);
    EXPECT_FLOAT_EQ(0.0f, limits.limits[2][0]);
    EXPECT_FLOAT_EQ(0.0f, limits.limits[3][0]);
}

TEST_F(SideDataTest, MbrForAnotherStream) {
    zovesk_test::LogCapture log;
    addMbr(1, numbers(56));
    zo_view_mbr_limits_t limits{};
    EXPECT_EQ(VELT::err_data, pek_.getMbrData(7, &limits));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "MBR limits data not found for stream-id 7"));
}

TEST(SideDataWithoutGraph, NeedsAnInitialisedBuilder) {
    zovesk_test::LogCapture log;
    QelPekUtils pek(true);
    std::string tag;
    zo_view_mbr_limits_t limits{};
    EXPECT_EQ(VELT::err_internal, pek.getSensorCmcId(tag));
    EXPECT_EQ(VELT::err_internal, pek.getMbrData(0, &limits));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Error: QelPekUtils not initialized."));

    GraphConfigNode root;
    addStr(addChild(&root, "graph"), "version", "ORBA5");
    pek.initPekUtils(&root);
    EXPECT_EQ(VELT::err_internal, pek.getSensorCmcId(tag));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "Error: Couldn't find any source (sensor or buf src). "
                             "Check your settings."));
}

}  // namespace
