// Graph overrides forced onto a result graph by the descriptor graph.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/log_capture.h"
#include "support/parse_text.h"
#include "velt_graph_camera_util.h"
#include "velt_graph_config_node.h"
#include "velt_item_uid.h"
#include "velt_status.h"
#include "zo_log_common.h"

namespace {

using VELT::GraphCameraUtil;
using VELT::GraphConfigNode;
using VELT::IGraphConfig;
using VELT::ItemUID;

// A result graph with one block and one port, as construction leaves it.
const char* const kResult = R"(<graph_settings version="1">
  <go_isa fps="30" mode="auto">
    <go_out width="640" format="NV12"/>
  </go_isa>
</graph_settings>)";

class GraphOverridesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resultTree_ = zovesk_test::parseText(kResult);
        result_ = zovesk_test::asNode(resultTree_.get());
        ASSERT_NE(result_, nullptr);
    }

    // Applies the overrides written as "apply" elements of a graph.
    int apply(const std::string& overrides) {
        graphRoot_ = zovesk_test::parseText("<graph_settings version=\"1\"><graph>" + overrides +
                                            "</graph></graph_settings>");
        GraphConfigNode* graph = static_cast<GraphConfigNode*>(
            graphRoot_ ? graphRoot_->getDescendant(VELT::kKeyGraph) : nullptr);
        EXPECT_NE(graph, nullptr);
        return graph ? GraphCameraUtil::processGraphOverrides(*graph, *result_) : -1;
    }

    int intAt(const std::string& path) {
        int value = -12345;
        result_->getValue(ItemUID(path), value);
        return value;
    }
    std::string strAt(const std::string& path) {
        std::string value = "<missing>";
        result_->getValue(ItemUID(path), value);
        return value;
    }

    zovesk_test::TreePtr resultTree_;
    GraphConfigNode* result_ = nullptr;
    zovesk_test::TreePtr graphRoot_;
};

TEST_F(GraphOverridesTest, SetsAttributesByKindAndTheLastOverrideWins) {
    EXPECT_EQ(apply(R"(<apply target="go_isa:go_out:width" value="1"/>
                       <apply target="go_isa:go_out:format" value="1"/>
                       <apply target="go_isa:fps" value=" -15"/>
                       <apply target="go_isa:fps" value="60"/>)"),
              0);
    EXPECT_EQ(intAt("go_isa:go_out:width"), 1);
    EXPECT_EQ(strAt("go_isa:go_out:format"), "1");
    EXPECT_EQ(intAt("go_isa:fps"), 60);
}

TEST_F(GraphOverridesTest, AddsAMissingAttributeAndSkipsMissingBlocks) {
    ItemUID::generateKey("go_absent");
    zovesk_test::LogCapture log;
    EXPECT_EQ(apply(R"(<apply target="go_isa:go_out:height" value="480"/>
                       <apply target="go_absent:go_out:width" value="5"/>
                       <apply target="go_isa:go_absent:width" value="5"/>
                       <apply target="go_isa:go_out:bpl" value="2048"/>)"),
              0);
    EXPECT_EQ(intAt("go_isa:go_out:height"), 480);
    EXPECT_EQ(intAt("go_isa:go_out:bpl"), 2048);
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING,
                             "Adding the missing attribute go_isa.go_out.height required in "
                             "graph override."));
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING,
                             "Warning: Couldn't to get attribute go_absent.go_out.width for "
                             "override. Skipping."));
    // A missing port is not made up either.
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING,
                             "Warning: Couldn't to get attribute go_isa.go_absent.width for "
                             "override. Skipping."));
    EXPECT_EQ(result_->getDescendantByString("go_isa:go_absent"), nullptr);
}

TEST_F(GraphOverridesTest, MalformedOverridesStopTheProcessing) {
    zovesk_test::LogCapture log;
    EXPECT_EQ(apply(R"(<apply value="1"/><apply target="go_isa:fps" value="90"/>)"),
              VELT::err_general);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Error: override tag with no attribute target node"));
    EXPECT_EQ(apply(R"(<apply target="go_isa:fps"/>)"), VELT::err_general);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Error: override tag with no attribute value"));
    EXPECT_EQ(intAt("go_isa:fps"), 30);
}

TEST_F(GraphOverridesTest, IntegerAttributesRefuseTextThatIsNotA32BitNumber) {
    zovesk_test::LogCapture log;
    EXPECT_EQ(apply(R"(<apply target="go_isa:fps" value="fast"/>)"), VELT::err_data);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "Error: Failed to set override of attribute go_isa.fps to fast"));
    EXPECT_EQ(apply(R"(<apply target="go_isa:fps" value="4294967296"/>)"), VELT::err_data);
    EXPECT_EQ(apply(R"(<apply target="go_isa:fps" value="-2147483649"/>)"), VELT::err_data);
    EXPECT_EQ(intAt("go_isa:fps"), 30);
    // Conversion stops at the first non-digit, and the limits themselves are fine.
    EXPECT_EQ(apply(R"(<apply target="go_isa:fps" value="24fps"/>)"), 0);
    EXPECT_EQ(intAt("go_isa:fps"), 24);
    EXPECT_EQ(apply(R"(<apply target="go_isa:fps" value="-2147483648"/>)"), 0);
    EXPECT_EQ(intAt("go_isa:fps"), -2147483647 - 1);
}

}  // namespace
