// Merging the chosen sensor mode into the sensor block.
#include <gtest/gtest.h>

#include "query_test_support.h"
#include "support/log_capture.h"
#include "support/parse_text.h"
#include "velt_graph_config_node.h"
#include "velt_graph_query_manager.h"
#include "velt_status.h"
#include "zo_log_common.h"

namespace {

using namespace zovesk_test;
using VELT::GraphConfigNode;
using VELT::GraphQueryManager;

const char* const kModes = R"(<graph_settings version="1.0">
  <sensor_modes fps="30">
    <sensor_mode name="sm_full" width="4000" height="3000">
      <binner h_factor="1" v_factor="1"/>
    </sensor_mode>
    <sensor_mode name="sm_binned" width="2000" height="1500" fps="60">
      <binner h_factor="2" v_factor="2"/>
    </sensor_mode>
  </sensor_modes>
</graph_settings>)";

const char* const kSensor = R"(<graph_descriptor version="1">
  <nodes>
    <source name="sensor" width="1" fps="15">
      <binner h_factor="9"/>
    </source>
  </nodes>
</graph_descriptor>)";

class SensorModeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        settings_ = parseText(kModes);
        descriptor_ = parseText(kSensor);
        modes_ = nodeAt(settings_.get(), "sensor_modes");
        sensor_ = nodeAt(descriptor_.get(), "nodes:sensor");
        ASSERT_NE(modes_, nullptr);
        ASSERT_NE(sensor_, nullptr);
    }

    TreePtr settings_;
    TreePtr descriptor_;
    GraphConfigNode* modes_ = nullptr;
    GraphConfigNode* sensor_ = nullptr;
};

TEST_F(SensorModeTest, MergesCommonValuesThenTheChosenMode) {
    ASSERT_EQ(GraphQueryManager::addSensorModeData(sensor_, modes_, "sm_binned"), 0);
    EXPECT_EQ(intAt(sensor_, "width"), 2000);
    EXPECT_EQ(intAt(sensor_, "height"), 1500);
    EXPECT_EQ(intAt(sensor_, "fps"), 60);
    EXPECT_EQ(strAt(sensor_, "name"), "sensor");  // protected
    EXPECT_EQ(intAt(nodeAt(sensor_, "binner"), "h_factor"), 2);
    EXPECT_EQ(intAt(nodeAt(sensor_, "binner"), "v_factor"), 2);
    // The other mode left no trace.
    EXPECT_EQ(countItems(sensor_, "binner"), 1u);
}

TEST_F(SensorModeTest, CommonValuesStayWhereTheModeHasNone) {
    ASSERT_EQ(GraphQueryManager::addSensorModeData(sensor_, modes_, "sm_full"), 0);
    EXPECT_EQ(intAt(sensor_, "fps"), 30);
    EXPECT_EQ(intAt(sensor_, "width"), 4000);
}

TEST_F(SensorModeTest, UnknownModeIsRefused) {
    LogCapture log;
    EXPECT_EQ(GraphQueryManager::addSensorModeData(sensor_, modes_, "sm_none"), VELT::err_data);
    EXPECT_TRUE(
        log.contains(ZO_LOG_ERROR, "Sensor Mode sm_none not in the list of available modes"));
    EXPECT_EQ(GraphQueryManager::addSensorModeData(nullptr, modes_, "sm_full"), VELT::err_argument);
}

}  // namespace
