// Sensor and port frame parameters for the 3A library.
#include <gtest/gtest.h>

#include <memory>

#include "support/log_capture.h"
#include "support/sensor_graph.h"
#include "velt_graph_yad_util.h"
#include "zo_log_common.h"

namespace {

using VELT::GraphConfigNode;
using VELT::GraphYadUtil;
using namespace zovesk_test;

struct Expected {
    int hOffset, vOffset, width, height, hNum, hDen, vNum, vDen;
};

void expectParams(const zo_yad_frame_params& p, const Expected& e) {
    EXPECT_EQ(e.hOffset, p.horizontal_crop_offset);
    EXPECT_EQ(e.vOffset, p.vertical_crop_offset);
    EXPECT_EQ(e.width, p.cropped_image_width);
    EXPECT_EQ(e.height, p.cropped_image_height);
    EXPECT_EQ(e.hNum, p.horizontal_scaling_numerator);
    EXPECT_EQ(e.hDen, p.horizontal_scaling_denominator);
    EXPECT_EQ(e.vNum, p.vertical_scaling_numerator);
    EXPECT_EQ(e.vDen, p.vertical_scaling_denominator);
}

// A sensor whose pixel array delivers 4000 x 3000 after cropping (8, 4).
class FrameParamsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = std::make_shared<GraphConfigNode>();
        sensor_ = addBlock(root_.get(), "sensor", "source");
        addSized(addChild(sensor_, "pixel_array"), "output", 4000, 3000, {8, 4, 8, 4});
    }

    int frameParams(zo_yad_frame_params& params) {
        return GraphYadUtil::getSensorFrameParams(params, root_);
    }

    std::shared_ptr<GraphConfigNode> root_;
    GraphConfigNode* sensor_ = nullptr;
};

TEST_F(FrameParamsTest, BinnerAndScaler) {
    GraphConfigNode* binner = addBinner(sensor_, 2, 2);
    addSized(binner, "output", 2000, 1500, {10, 6, 10, 6});
    GraphConfigNode* scaler = addScaler(sensor_, 1, 2);
    addSized(scaler, "output", 1000, 750, {30, 30, 30, 30});  // does not move the offsets
    zo_yad_frame_params params{};
    ASSERT_EQ(0, frameParams(params));
    // Offsets 8 + 10 * 2 and 4 + 6 * 2; size 2 * (2 * 1000 / 1) by 2 * (2 * 750 / 1).
    expectParams(params, {28, 16, 4000, 3000, 1, 4, 1, 4});
}

TEST_F(FrameParamsTest, NoBinnerNoScaler) {
    zovesk_test::LogCapture log;
    zo_yad_frame_params params{};
    ASSERT_EQ(0, frameParams(params));
    expectParams(params, {8, 4, 4000, 3000, 1, 1, 1, 1});
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING, "no binner found"));
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING, "no scaler found"));
}

TEST_F(FrameParamsTest, BinnerWithoutScalerScalesThePixelArrayOutput) {
    addSized(addBinner(sensor_, 2, 2), "output", 2000, 1500, {0, 0, 0, 0});
    zo_yad_frame_params params{};
    ASSERT_EQ(0, frameParams(params));
    expectParams(params, {8, 4, 8000, 6000, 1, 2, 1, 2});
}

TEST_F(FrameParamsTest, ZeroFactorsCountAsOne) {
    zovesk_test::LogCapture log;
    addSized(addBinner(sensor_, 0, 0), "output", 4000, 3000, {1, 1, 1, 1});
    addSized(addScaler(sensor_, 0, 0), "output", 4000, 3000, {0, 0, 0, 0});
    zo_yad_frame_params params{};
    ASSERT_EQ(0, frameParams(params));
    expectParams(params, {9, 5, 4000, 3000, 1, 1, 1, 1});
    for (const char* message : {"Horizontal binning is 0! Wrong setting! Set to 1",
                                "Vertical binning is 0! Wrong setting! Set to 1",
                                "Scaling Denominator is 0! Wrong setting! Set to 1",
                                "Scaling Numerator is 0! Wrong setting! Set to 1"}) {
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, message)) << message;
    }
}

TEST_F(FrameParamsTest, ScalerDenominatorZeroAloneIsOne) {
    addSized(addScaler(sensor_, 2, 0), "output", 2000, 1500, {0, 0, 0, 0});
    zo_yad_frame_params params{};
    ASSERT_EQ(0, frameParams(params));
    // As for 2/1: 1 * (1 * 2000 / 2).
    expectParams(params, {8, 4, 1000, 750, 2, 1, 2, 1});
}

TEST_F(FrameParamsTest, WideValuesAreTruncatedToTheirFields) {
    addSized(addScaler(sensor_, 300, 300), "output", 70000, 3000, {0, 0, 0, 0});
    zo_yad_frame_params params{};
    ASSERT_EQ(0, frameParams(params));
    // Width 300 * 70000 / 300 keeps its low 16 bits, the factors their low 8.
    expectParams(params,
                 {8, 4, 70000 & 0xFFFF, 3000, 300 & 0xFF, 300 & 0xFF, 300 & 0xFF, 300 & 0xFF});
}

TEST_F(FrameParamsTest, FailuresLeaveTheRecordAlone) {
    zovesk_test::LogCapture log;
    const zo_yad_frame_params untouched{1, 2, 3, 4, 5, 6, 7, 8};
    zo_yad_frame_params params = untouched;
    addBinner(sensor_, 2, 2);  // without "output"
    EXPECT_EQ(VELT::err_internal, frameParams(params));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to get binner:output"));
    expectParams(params, {1, 2, 3, 4, 5, 6, 7, 8});

    ASSERT_EQ(0, root_->removeDescendant(VELT::kKeySensor));
    EXPECT_EQ(VELT::err_general, frameParams(params));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Error: Couldn't get sensor mode node from the graph"));

    auto noPixelArray = std::make_shared<GraphConfigNode>();
    addBlock(noPixelArray.get(), "sensor", "source");
    EXPECT_EQ(VELT::err_general, GraphYadUtil::getSensorFrameParams(params, noPixelArray));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to get pixel_array:output"));
    expectParams(params, {1, 2, 3, 4, 5, 6, 7, 8});
}

TEST(PortFrameParams, PortSizeWithoutScaling) {
    auto root = std::make_shared<GraphConfigNode>();
    GraphConfigNode* isa = addBlock(root.get(), "isa", "hw");
    GraphConfigNode* port = addPort(isa, "main", 0, 1);
    addInt(port, "width", 1920);
    addInt(port, "height", 1080);
    zo_yad_frame_params params{9, 9, 9, 9, 9, 9, 9, 9};
    ASSERT_EQ(0, GraphYadUtil::getPortFrameParams(params, root, "isa:main"));
    expectParams(params, {0, 0, 1920, 1080, 1, 1, 1, 1});

    zovesk_test::LogCapture log;
    EXPECT_EQ(VELT::err_internal, GraphYadUtil::getPortFrameParams(params, root, "isa:nothing"));
    EXPECT_TRUE(
        log.contains(ZO_LOG_ERROR, "Error: Couldn't get port \"isa:nothing\" node from the graph"));
    EXPECT_EQ(VELT::err_internal, GraphYadUtil::getPortFrameParams(params, root, "isa"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to get dimension for port \"isa\" node"));
}

}  // namespace
