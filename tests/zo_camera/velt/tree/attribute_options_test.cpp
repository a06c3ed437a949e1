#include <gtest/gtest.h>

#include <string>

#include "key_dictionary_fixture.h"
#include "support/graph_builder.h"
#include "support/log_capture.h"
#include "velt_graph_config_node.h"
#include "velt_status.h"
#include "zo_log_common.h"

namespace zovesk_test {
namespace {

using VELT::GraphConfigNode;

// A sensor whose "fps" may be 30 or 60 (which switches the receiver to
// two lanes) or 15 (nothing else changes), and whose "mode" text has options.
class AttributeOptionsTest : public KeyDictionaryTest {
  protected:
    void SetUp() override {
        KeyDictionaryTest::SetUp();
        sensor_ = addBlock(&graph_, "sensor", "source");
        addInt(sensor_, "fps", 30);
        addStr(sensor_, "mode_id", "full");
        addInt(sensor_, "h_factor", 1);
        receiver_ = addBlock(&graph_, "csi_be", "hw");
        addInt(receiver_, "lanes", 4);

        GraphConfigNode* fpsOptions = addChild(sensor_, "options");
        addInt(fpsOptions, "attribute", static_cast<int>(keyOf("fps")));
        GraphConfigNode* fast = addChild(fpsOptions, "option");
        addStr(fast, "value", "30,60");
        GraphConfigNode* apply = addChild(fast, "apply");
        addInt(addChild(apply, "csi_be"), "lanes", 2);
        addStr(addChild(fpsOptions, "option"), "value", "15");
        addStr(addChild(fpsOptions, "option"), "value", "12, 48");

        GraphConfigNode* modeOptions = addChild(sensor_, "options");
        addInt(modeOptions, "attribute", static_cast<int>(keyOf("mode_id")));
        addStr(addChild(modeOptions, "option"), "value", "full,binned,");
    }

    GraphConfigNode graph_;
    GraphConfigNode* sensor_ = nullptr;
    GraphConfigNode* receiver_ = nullptr;
};

TEST_F(AttributeOptionsTest, MatchingOptionWithApplyChangesTheGraph) {
    EXPECT_EQ(VELT::err_none, sensor_->setValue(keyOf("fps"), 60));
    EXPECT_EQ(60, intOf(sensor_, "fps"));
    EXPECT_EQ(2, intOf(receiver_, "lanes"));
}

TEST_F(AttributeOptionsTest, MatchingOptionWithoutApplyStillSetsTheValue) {
    LogCapture log;
    EXPECT_EQ(VELT::err_none, sensor_->setValue(keyOf("fps"), 15));
    EXPECT_EQ(15, intOf(sensor_, "fps"));
    EXPECT_EQ(4, intOf(receiver_, "lanes"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Found option for 15, but no apply node. Skipping."));
    EXPECT_EQ(VELT::err_notsupported,
              GraphConfigNode::handleAttributeOptions(sensor_, keyOf("fps"), "15"));
}

TEST_F(AttributeOptionsTest, ValuesOutsideTheOptionsAreRefused) {
    LogCapture log;
    // 6 is only part of a piece, and " 48" keeps its blank.
    for (int value : {24, 6, 48, -30}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(VELT::err_noentry, sensor_->setValue(keyOf("fps"), value));
        EXPECT_EQ(30, intOf(sensor_, "fps"));
    }
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING,
                             "Trying to apply value but no options list available for "
                             "source[sensor]."));
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG,
                             "setValue() restricted to attributes that have predefined options"));
}

TEST_F(AttributeOptionsTest, TextOptionsAndTheirEmptyPieces) {
    LogCapture log;
    EXPECT_EQ(VELT::err_none, sensor_->setValue(keyOf("mode_id"), std::string("binned")));
    EXPECT_EQ("binned", strOf(sensor_, "mode_id"));
    // A trailing comma does not admit the empty text.
    EXPECT_EQ(VELT::err_noentry, sensor_->setValue(keyOf("mode_id"), std::string("")));
    EXPECT_EQ("binned", strOf(sensor_, "mode_id"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "setValue() restricted to attributes that have predefined options"));

    GraphConfigNode* lists = addChild(sensor_, "options");
    addInt(lists, "attribute", static_cast<int>(keyOf("format")));
    addStr(addChild(lists, "option"), "value", ",RAW10");
    EXPECT_EQ(VELT::err_notsupported,
              GraphConfigNode::handleAttributeOptions(sensor_, keyOf("format"), ""));
    // An option without "value" is the empty text, which matches only "".
    GraphConfigNode* bare = addChild(sensor_, "options");
    addInt(bare, "attribute", static_cast<int>(keyOf("bpp")));
    addChild(bare, "option");
    EXPECT_EQ(VELT::err_notsupported,
              GraphConfigNode::handleAttributeOptions(sensor_, keyOf("bpp"), ""));
    EXPECT_EQ(VELT::err_noentry,
              GraphConfigNode::handleAttributeOptions(sensor_, keyOf("bpp"), "10"));
}

TEST_F(AttributeOptionsTest, AttributesWithoutOptionsOnlyChangeFromText) {
    LogCapture log;
    EXPECT_EQ(VELT::err_noentry, sensor_->setValue(keyOf("h_factor"), 2));
    EXPECT_EQ(1, intOf(sensor_, "h_factor"));
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG,
                             "setValue() restricted to attributes that have predefined options"));
    EXPECT_EQ(VELT::err_none, sensor_->setValueFromStr(VELT::ItemUID({keyOf("h_factor")}), "2"));
    EXPECT_EQ(2, intOf(sensor_, "h_factor"));
}

TEST_F(AttributeOptionsTest, KindAndPresenceAreCheckedFirst) {
    LogCapture log;
    EXPECT_EQ(VELT::err_argument, sensor_->setValue(keyOf("fps"), std::string("60")));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Attribute is of wrong type"));
    EXPECT_EQ(VELT::err_argument, sensor_->setValue(keyOf("mode_id"), 1));
    EXPECT_EQ(30, intOf(sensor_, "fps"));
    log.clear();
    EXPECT_EQ(VELT::err_noentry, sensor_->setValue(keyOf("v_factor"), 1));
    EXPECT_TRUE(log.records().empty());
    EXPECT_EQ(VELT::err_argument,
              GraphConfigNode::handleAttributeOptions(nullptr, keyOf("fps"), "60"));
}

}  // namespace
}  // namespace zovesk_test
