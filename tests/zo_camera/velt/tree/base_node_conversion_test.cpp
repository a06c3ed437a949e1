#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "key_dictionary_fixture.h"
#include "support/graph_builder.h"
#include "support/log_capture.h"
#include "velt_graph_config_node.h"
#include "velt_item_uid.h"
#include "velt_node_iterator.h"
#include "velt_status.h"
#include "zo_log_common.h"

namespace zovesk_test {
namespace {

using VELT::GraphConfigNode;
using VELT::IGraphConfig;
using VELT::NodeIterator;

// A generic ISA definition ("isa_base") and a settings node "isa_main" that
// is built from it and overrides the width of port_0.
class BaseNodeConversionTest : public KeyDictionaryTest {
  protected:
    void SetUp() override {
        KeyDictionaryTest::SetUp();
        base_ = std::make_unique<GraphConfigNode>();
        addStr(base_.get(), "type", "base_node");
        addStr(base_.get(), "name", "isa_base");
        addStr(base_.get(), "base_type", "isa_type");
        port0_ = addPort(base_.get(), "port_0", 0, 1);
        addInt(port0_, "width", 640);
        GraphConfigNode* options = addChild(port0_, "options");
        addInt(options, "attribute", static_cast<int>(keyOf("width")));
        for (const char* value : {"640", "1280"}) {
            GraphConfigNode* option = addChild(options, "option");
            addStr(option, "value", value);
            GraphConfigNode* apply = addChild(option, "apply");
            addInt(addChild(apply, "isa_base"), "bpl", 4096);
        }
        port1_ = addPort(base_.get(), "port_1", 1, 0);

        config_ = addChild(&settings_, "isa_main");
        GraphConfigNode* override = addChild(config_, "override");
        addStr(override, "target", "port_0:width");
        addStr(override, "value", "1280");
    }

    // The "apply" node of the index-th option of port_0.
    const IGraphConfig* applyOf(int index) {
        NodeIterator it(port0_->getDescendant(VELT::kKeyOptions));
        const IGraphConfig* option = it.iterateDescendants();
        for (int i = 0; i < index; ++i) {
            option = it.iterateDescendants();
        }
        return option->getDescendant(VELT::kKeyApply);
    }

    std::unique_ptr<GraphConfigNode> base_;
    GraphConfigNode* port0_ = nullptr;
    GraphConfigNode* port1_ = nullptr;
    GraphConfigNode settings_;
    GraphConfigNode* config_ = nullptr;
};

TEST_F(BaseNodeConversionTest, TakesTypeNameOptionsAndOverrides) {
    LogCapture log;
    ASSERT_EQ(VELT::err_none, base_->changeBaseNodeIntoNode(*config_));
    EXPECT_EQ("isa_type", strOf(base_.get(), "type"));
    EXPECT_EQ("isa_main", strOf(base_.get(), "name"));
    EXPECT_EQ(1280, intOf(port0_, "width"));
    for (int index : {0, 1}) {
        SCOPED_TRACE(index);
        const IGraphConfig* apply = applyOf(index);
        ASSERT_NE(nullptr, apply);
        EXPECT_EQ(nullptr, apply->getDescendant(VELT::ItemUID::str2key("isa_base")));
        const IGraphConfig* moved = apply->getDescendant(keyOf("isa_main"));
        ASSERT_NE(nullptr, moved);
        EXPECT_EQ(4096, intOf(moved, "bpl"));
        EXPECT_EQ(1, apply->getDescendantCount());
    }
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG, "Change base node isa_base into node isa_main"));
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG, "Applying override port_0:width -> 1280"));
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG, "Conversion from base node isa_main  done!"));
}

TEST_F(BaseNodeConversionTest, OverridesMayCreateAttributes) {
    GraphConfigNode* override = addChild(config_, "override");
    addStr(override, "target", "port_1:height");
    addStr(override, "value", "720");
    ASSERT_EQ(VELT::err_none, base_->changeBaseNodeIntoNode(*config_));
    EXPECT_EQ(720, intOf(port1_, "height"));
}

TEST_F(BaseNodeConversionTest, MissingBaseTypeChangesNothing) {
    base_->removeDescendant(VELT::kKeyBaseType);
    LogCapture log;
    EXPECT_EQ(VELT::err_general, base_->changeBaseNodeIntoNode(*config_));
    EXPECT_TRUE(
        log.contains(ZO_LOG_ERROR, "Failed to get base node type, change from base node failed"));
    EXPECT_EQ("base_node", strOf(base_.get(), "type"));
    EXPECT_EQ("isa_base", strOf(base_.get(), "name"));
    EXPECT_EQ(640, intOf(port0_, "width"));
    EXPECT_NE(nullptr, applyOf(0)->getDescendant(VELT::ItemUID::str2key("isa_base")));
}

TEST_F(BaseNodeConversionTest, MissingTypeOrNameAttributeFails) {
    base_->removeDescendant(VELT::kKeyType);
    LogCapture log;
    EXPECT_EQ(VELT::err_general, base_->changeBaseNodeIntoNode(*config_));
    EXPECT_TRUE(
        log.contains(ZO_LOG_ERROR, "Failed to set node type and name from config isa_main"));
    EXPECT_EQ(640, intOf(port0_, "width"));
}

TEST_F(BaseNodeConversionTest, OverrideThatIsNoNumberFailsWithoutThrowing) {
    GraphConfigNode* override = addChild(config_, "override");
    addStr(override, "target", "port_1:height");
    addStr(override, "value", "tall");
    LogCapture log;
    int status = 0;
    EXPECT_NO_THROW(status = base_->changeBaseNodeIntoNode(*config_));
    EXPECT_EQ(VELT::err_data, status);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to apply override port_1:height -> tall"));
    // setValueFromStr itself still reports the malformed number by throwing.
    EXPECT_THROW(base_->setValueFromStr(VELT::ItemUID("port_1:height"), "tall"),
                 std::invalid_argument);
}

TEST_F(BaseNodeConversionTest, OverrideOutOfRangeFailsWithoutThrowing) {
    GraphConfigNode* override = addChild(config_, "override");
    addStr(override, "target", "port_0:width");
    addStr(override, "value", "99999999999");
    int status = 0;
    EXPECT_NO_THROW(status = base_->changeBaseNodeIntoNode(*config_));
    EXPECT_EQ(VELT::err_data, status);
}

TEST_F(BaseNodeConversionTest, OverrideOfAMissingNodeIsReturned) {
    GraphConfigNode* override = addChild(config_, "override");
    addStr(override, "target", "port_9:sensor:width");
    addStr(override, "value", "5");
    LogCapture log;
    EXPECT_EQ(VELT::err_noentry, base_->changeBaseNodeIntoNode(*config_));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to apply override port_9:sensor:width -> 5"));
}

}  // namespace
}  // namespace zovesk_test
