// Resolution histories of sensors, test pattern generators and input buffers.
#include <gtest/gtest.h>

#include <climits>

#include "support/log_capture.h"
#include "support/sensor_graph.h"
#include "velt_qel_pek_utils.h"
#include "zo_log_common.h"

namespace {

using VELT::GraphConfigNode;
using VELT::QelPekUtils;
using namespace zovesk_test;

void expectCrop(const zo_rectangle& crop, int left, int top, int right, int bottom) {
    EXPECT_EQ(left, crop.left);
    EXPECT_EQ(top, crop.top);
    EXPECT_EQ(right, crop.right);
    EXPECT_EQ(bottom, crop.bottom);
}

TEST(AccumulateCrop, KeepsFourFractionalBitsAndRoundsTheShiftDown) {
    zo_rectangle total{100, 100, 100, 100};
    // 1/3: 16 / 3 = 5, 5 >> 4 = 0. 5/3: 80 / 3 = 26 >> 4 = 1. 10 * 3 / 2 = 15.
    QelPekUtils::accumulateCrop(total, {1, 5, 10, 0}, 3, 1);
    expectCrop(total, 100, 101, 103, 100);
    QelPekUtils::accumulateCrop(total, {10, 0, 0, 0}, 2, 3);
    expectCrop(total, 115, 101, 103, 100);
    // Negative crops: -16 / 3 = -5, and the arithmetic shift rounds to -1.
    QelPekUtils::accumulateCrop(total, {-1, -3, 0, 0}, 3, 1);
    expectCrop(total, 114, 100, 103, 100);
}

TEST(AccumulateCrop, OutOfRangeValuesWrapInsteadOfOverflowing) {
    zo_rectangle total{0, INT_MAX, 0, 0};
    // INT_MAX * 2 is -2 in 32 bits; the sum wraps around as well.
    QelPekUtils::accumulateCrop(total, {INT_MAX, 1, 0, 0}, 1, 2);
    expectCrop(total, -2, INT_MIN + 1, 0, 0);
    // A zero divisor has no defined scale and leaves the total as it is.
    QelPekUtils::accumulateCrop(total, {5, 5, 5, 5}, 0, 1);
    expectCrop(total, -2, INT_MIN + 1, 0, 0);
}

// Sensor 4208 x 3120: pixel array cropping 8 on each edge, binner 2 x 2.
class SensorHistoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sensor_ = addBlock(&root_, "sensor", "source");
        addInt(sensor_, "width", 4208);
        addInt(sensor_, "height", 3120);
        GraphConfigNode* pixelArray = addChild(sensor_, "pixel_array");
        addSized(pixelArray, "input", 4208, 3120, {8, 8, 8, 8});
        addSize(pixelArray, "output", 4192, 3104);
        addPort(sensor_, "port_0", 0, 1, "csi_be:input");
        csi_ = addCsiBackEnd(&root_, "sensor", 2096, 1552);
    }

    GraphConfigNode* addBinnerStage(const Crop& input, const Crop& output) {
        GraphConfigNode* binner = addBinner(sensor_, 2, 2);
        addSized(binner, "input", 4192, 3104, input);
        addSized(binner, "output", 2096, 1552, output);
        return binner;
    }

    GraphConfigNode root_;
    GraphConfigNode* sensor_ = nullptr;
    GraphConfigNode* csi_ = nullptr;
};

TEST_F(SensorHistoryTest, BinnerCropCountsInPixelArrayPixels) {
    addBinnerStage({0, 0, 0, 0}, {4, 4, 4, 4});
    addSized(addChild(csi_, "qel_pixelformatter"), "input", 2096, 1552, {0, 0, 0, 0});
    zo_isp_qel_resolution_info history{};
    ASSERT_EQ(0, QelPekUtils::sourceGetResolutionHistory(history, *sensor_));
    EXPECT_EQ(4208, history.input_width);
    EXPECT_EQ(3120, history.input_height);
    expectCrop(history.input_crop, 16, 16, 16, 16);  // 8 + 4 * 2
    EXPECT_EQ(2096, history.output_width);
    EXPECT_EQ(1552, history.output_height);
    expectCrop(history.output_crop, 0, 0, 0, 0);
}

TEST_F(SensorHistoryTest, EveryStageAddsItsCrop) {
    // Only left and top of a stage are read: right and bottom repeat them.
    addBinnerStage({2, 1, 99, 99}, {4, 3, 99, 99});
    GraphConfigNode* scaler = addScaler(sensor_, 2, 3);  // output is 2/3 of the input
    addSized(scaler, "input", 2096, 1552, {6, 5, 99, 99});
    addSized(scaler, "output", 1394, 1032, {10, 20, 99, 99});
    // The stream2mmio input stands in when there is no pixel formatter.
    addSized(addChild(csi_, "stream2mmio"), "input", 1374, 992, {5, 3, 7, 1});

    zo_isp_qel_resolution_info history{};
    ASSERT_EQ(0, QelPekUtils::calculateSensorResolutionHistory(*sensor_, history));
    // left:   8 + 2 + 4*2 + 6*2 + 10*2*3/2 + 5*2*3/2 = 8 + 2 + 8 + 12 + 30 + 15
    // top:    8 + 1 + 3*2 + 5*2 + 20*2*3/2 + 3*2*3/2 = 8 + 1 + 6 + 10 + 60 + 9
    // right:  8 + 2 + 8 + 12 + 30 + 7*3 ; bottom: 8 + 1 + 6 + 10 + 60 + 1*3
    expectCrop(history.input_crop, 75, 94, 81, 88);
    EXPECT_EQ(4208, history.input_width);
    EXPECT_EQ(2096, history.output_width);
    EXPECT_EQ(1552, history.output_height);
}

TEST_F(SensorHistoryTest, ModeInfoDefaultsAndFallbacks) {
    zovesk_test::LogCapture log;
    GraphConfigNode* binner = addBinner(sensor_, 2, 1);
    addSized(binner, "input", 4192, 3104, {1, 2, 0, 0});
    addSized(binner, "output", 2096, 3104, {3, 4, 0, 0});
    GraphConfigNode* scaler = addScaler(sensor_, 0, 0);
    addSized(scaler, "input", 2096, 3104, {0, 0, 0, 0});

    QelPekUtils::SensorModeInfo info{};
    info.binningH = info.binningV = info.scalingNumerator = info.scalingDenominator = 1;
    // The scaler has no output: reading ends there, successfully.
    EXPECT_EQ(0, QelPekUtils::getSensorModeInfo(*sensor_, info));
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING, "different binning factor"));
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING, "Scaling Denominator is 0! Wrong setting! Set to 1"));
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING, "Scaling Numerator is 0! Wrong setting! Set to 1"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to get scaler:output"));
    EXPECT_EQ(2, info.binningH);
    EXPECT_EQ(1, info.binningV);
    EXPECT_EQ(1, info.scalingNumerator);
    EXPECT_EQ(1, info.scalingDenominator);
    expectCrop(info.pixelArray.input_crop, 8, 8, 8, 8);
    expectCrop(info.pixelArray.output_crop, 0, 0, 0, 0);  // never read
    EXPECT_EQ(4192, info.pixelArray.output_width);
    expectCrop(info.binner.input_crop, 1, 2, 1, 2);
    expectCrop(info.binner.output_crop, 3, 4, 3, 4);
    EXPECT_EQ(2096, info.scaler.input_width);
    EXPECT_EQ(0, info.scaler.output_width);
}

TEST_F(SensorHistoryTest, StagesWithoutBinnerOrScalerPassTheImageOn) {
    QelPekUtils::SensorModeInfo info{};
    info.binningH = info.binningV = info.scalingNumerator = info.scalingDenominator = 1;
    ASSERT_EQ(0, QelPekUtils::getSensorModeInfo(*sensor_, info));
    EXPECT_EQ(4192, info.binner.input_width);
    EXPECT_EQ(4192, info.binner.output_width);
    EXPECT_EQ(4192, info.scaler.input_width);
    EXPECT_EQ(3104, info.scaler.output_height);
}

TEST_F(SensorHistoryTest, WithoutPixelArrayTheSensorSizeIsUsed) {
    zovesk_test::LogCapture log;
    ASSERT_EQ(0, sensor_->removeDescendant(zovesk_test::keyOf("pixel_array")));
    zo_isp_qel_resolution_info history{};
    ASSERT_EQ(0, QelPekUtils::calculateSensorResolutionHistory(*sensor_, history));
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING, "Warning, no pixel_array"));
    EXPECT_EQ(4208, history.input_width);
    EXPECT_EQ(3120, history.input_height);
    expectCrop(history.input_crop, 0, 0, 0, 0);
    EXPECT_EQ(2096, history.output_width);
}

TEST_F(SensorHistoryTest, MissingPiecesFail) {
    zovesk_test::LogCapture log;
    zo_isp_qel_resolution_info history{};
    // A CSI back end without "output".
    ASSERT_EQ(0, csi_->removeDescendant(VELT::kKeyOutput));
    EXPECT_EQ(VELT::err_internal, QelPekUtils::calculateSensorResolutionHistory(*sensor_, history));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to get output node for hw[csi_be]"));

    // A sensor without "port_0".
    ASSERT_EQ(0, sensor_->removeDescendant(zovesk_test::keyOf("port_0")));
    EXPECT_EQ(VELT::err_internal, QelPekUtils::calculateSensorResolutionHistory(*sensor_, history));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Could not find port_0- check node description"));
}

TEST(SourceHistory, TestPatternGeneratorTakesTheCsiRecord) {
    GraphConfigNode root;
    GraphConfigNode* tpg = addBlock(&root, "tpg", "source");
    GraphConfigNode* port = addPort(tpg, "port_0", 0, 1, "csi_be:input");
    addInt(port, "width", 1920);
    addInt(port, "height", 1080);
    GraphConfigNode* csi = addCsiBackEnd(&root, "tpg", 1904, 1072);
    addSized(addChild(csi, "qel_pixelformatter"), "input", 1920, 1080, {8, 4, 8, 4});

    zo_isp_qel_resolution_info history{};
    history.output_crop = {1, 1, 1, 1};
    ASSERT_EQ(0, QelPekUtils::sourceGetResolutionHistory(history, *tpg));
    EXPECT_EQ(1920, history.input_width);
    EXPECT_EQ(1080, history.input_height);
    expectCrop(history.input_crop, 8, 4, 8, 4);
    EXPECT_EQ(1904, history.output_width);
    EXPECT_EQ(1072, history.output_height);
    expectCrop(history.output_crop, 0, 0, 0, 0);
}

TEST(SourceHistory, BufferSourceIsItsPortSize) {
    GraphConfigNode root;
    GraphConfigNode* source = addBlock(&root, "buffer_src0", "source");
    GraphConfigNode* port = addPort(source, "port_0", 0, 1);
    addInt(port, "width", 1280);
    addInt(port, "height", 720);

    zo_isp_qel_resolution_info history{};
    history.input_crop = {3, 3, 3, 3};
    ASSERT_EQ(0, QelPekUtils::sourceGetResolutionHistory(history, *source));
    EXPECT_EQ(1280, history.input_width);
    EXPECT_EQ(720, history.input_height);
    EXPECT_EQ(1280, history.output_width);
    EXPECT_EQ(720, history.output_height);
    expectCrop(history.input_crop, 0, 0, 0, 0);
}

TEST(SourceHistory, OtherSourcesAreNotSupported) {
    zovesk_test::LogCapture log;
    GraphConfigNode root;
    GraphConfigNode* camera = addBlock(&root, "camera", "source");
    zo_isp_qel_resolution_info history{};
    EXPECT_EQ(VELT::err_notsupported, QelPekUtils::sourceGetResolutionHistory(history, *camera));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "No support for source of name: camera"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to get resolution history for source: camera"));
}

TEST(SourceHistory, BufferSourceWithoutPortFails) {
    zovesk_test::LogCapture log;
    GraphConfigNode root;
    GraphConfigNode* source = addBlock(&root, "buffer_src1", "source");
    zo_isp_qel_resolution_info history{};
    EXPECT_EQ(VELT::err_internal, QelPekUtils::sourceGetResolutionHistory(history, *source));
    EXPECT_TRUE(
        log.contains(ZO_LOG_ERROR, "Could not find buffer_src1 port_0- check node description"));
}

}  // namespace
