// Copying descriptor blocks into a result graph, directly or from a base node.
#include <gtest/gtest.h>

#include <string>

#include "query_test_support.h"
#include "support/log_capture.h"
#include "support/parse_text.h"
#include "velt_graph_config_node.h"
#include "velt_graph_query_manager.h"
#include "velt_item_uid.h"
#include "zo_log_common.h"

namespace {

using namespace zovesk_test;
using VELT::GraphConfigNode;
using VELT::ItemUID;

const char* const kDescriptor = R"(<graph_descriptor version="3">
  <nodes>
    <hw name="cp_plain">
      <port name="cp_in" id="0" direction="0"/>
    </hw>
    <base_node name="cp_base" base_type="program_group" tuning_mode="2">
      <port name="cp_out" id="1" direction="1" format="YUV420_8_SP">
        <options attribute="format">
          <option value="YUV420_8_SP"><apply><cp_base><cp_k enabled="1"/></cp_base></apply></option>
        </options>
      </port>
    </base_node>
    <program_group name="cp_built" base_node="cp_base">
      <override target="stream_id" value="3"/>
      <override target="cp_out:width" value="1280"/>
    </program_group>
    <program_group name="cp_orphan" base_node="cp_missing"/>
    <program_group name="cp_bad" base_node="cp_base">
      <override target="stream_id" value="three"/>
    </program_group>
  </nodes>
</graph_descriptor>)";

class CopyNodeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        descriptor_ = parseText(kDescriptor);
        nodes_ = nodeAt(descriptor_.get(), "nodes");
        ASSERT_NE(nodes_, nullptr);
    }

    VELT::IGraphConfig* copy(const std::string& name) {
        return manager_.copyNodeToResult(nodes_, ItemUID::str2key(name), &result_);
    }

    TreePtr descriptor_;
    GraphConfigNode* nodes_ = nullptr;
    GraphConfigNode result_;
    VELT::GraphQueryManager manager_;
};

TEST_F(CopyNodeTest, CopiesABlockOnFirstUseOnly) {
    VELT::IGraphConfig* first = copy("cp_plain");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, result_.getDescendant(ItemUID::str2key("cp_plain")));
    EXPECT_NE(first, nodes_->getDescendant(ItemUID::str2key("cp_plain")));
    EXPECT_EQ(strAt(first, "type"), "hw");
    EXPECT_NE(nodeAt(first, "cp_in"), nullptr);

    EXPECT_EQ(copy("cp_plain"), first);
    EXPECT_EQ(result_.getDescendantCount(), 1);
}

TEST_F(CopyNodeTest, BuildsABlockFromItsBaseNode) {
    std::string baseName = "unchanged";
    EXPECT_FALSE(manager_.nodeHasBaseNode(*nodeAt(nodes_, "cp_plain"), baseName));
    EXPECT_EQ(baseName, "unchanged");
    EXPECT_TRUE(manager_.nodeHasBaseNode(*nodeAt(nodes_, "cp_built"), baseName));
    EXPECT_EQ(baseName, "cp_base");

    VELT::IGraphConfig* built = copy("cp_built");
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(strAt(built, "name"), "cp_built");
    EXPECT_EQ(strAt(built, "type"), "program_group");
    EXPECT_EQ(intAt(built, "tuning_mode"), 2);
    EXPECT_EQ(intAt(built, "stream_id"), 3);
    EXPECT_EQ(intAt(nodeAt(built, "cp_out"), "width"), 1280);
    // The option's apply subtree now names the new block.
    EXPECT_NE(nodeAt(built, "cp_out:options:option:apply:cp_built:cp_k"), nullptr);
    // The base node itself stays generic.
    EXPECT_EQ(strAt(nodeAt(nodes_, "cp_base"), "name"), "cp_base");
}

TEST_F(CopyNodeTest, MissingOrBrokenBlocksAreNotCopied) {
    LogCapture log;
    EXPECT_EQ(copy("cp_nowhere_to_be_found"), nullptr);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Node(na) not found from descriptor"));

    EXPECT_EQ(copy("cp_orphan"), nullptr);
    EXPECT_TRUE(
        log.contains(ZO_LOG_ERROR, "Failed to find base node cp_missing for node cp_orphan"));
    EXPECT_TRUE(
        log.contains(ZO_LOG_ERROR, "Node(cp_orphan) could not be built from base node cp_missing"));

    // An override that is not a number for an integer attribute fails the build, not the process.
    EXPECT_EQ(copy("cp_bad"), nullptr);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to change base node cp_base into node cp_bad"));
    EXPECT_EQ(result_.getDescendantCount(), 0);

    EXPECT_EQ(manager_.copyNodeToResult(nullptr, ItemUID::str2key("cp_plain"), &result_), nullptr);
    EXPECT_EQ(manager_.copyNodeToResult(nodes_, ItemUID::str2key("cp_plain"), nullptr), nullptr);
    std::string base = "cp_base";
    EXPECT_EQ(manager_.constructNodeFromBase(nullptr, base, nodes_), nullptr);
}

}  // namespace
