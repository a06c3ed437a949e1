// Copying descriptor blocks into a result graph, directly or from a base node.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "query_test_support.h"
#include "support/log_capture.h"
#include "support/parse_text.h"
#include "velt_graph_config_node.h"
#include "velt_graph_query_manager.h"
#include "velt_item_uid.h"
#include "velt_keys.h"
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

namespace {

// Which base node a block is built from, when several blocks share a name's key.
struct BaseLookupCase {
    const char* what;
    const char* descriptor;
    int tuningMode;  // of the base node that must be chosen
};

class BaseNodeLookupTest : public ::testing::TestWithParam<BaseLookupCase> {};

TEST_P(BaseNodeLookupTest, BuildsFromTheFirstBaseNodeOfThatName) {
    TreePtr descriptor = parseText(GetParam().descriptor);
    GraphConfigNode* nodes = nodeAt(descriptor.get(), "nodes");
    ASSERT_NE(nodes, nullptr);
    VELT::GraphQueryManager manager;
    GraphConfigNode result;
    VELT::IGraphConfig* built =
        manager.copyNodeToResult(nodes, ItemUID::str2key("bl_user"), &result);
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(strAt(built, "type"), "program_group");
    EXPECT_EQ(intAt(built, "tuning_mode"), GetParam().tuningMode);
}

INSTANTIATE_TEST_SUITE_P(
    CopyNode, BaseNodeLookupTest,
    ::testing::Values(
        // A block of another type under the same name is no base node, before or after it.
        BaseLookupCase{"OtherBlockFirst", R"(<graph_descriptor version="3"><nodes>
            <hw name="bl_base" tuning_mode="9"/>
            <base_node name="bl_base" base_type="program_group" tuning_mode="1"/>
            <program_group name="bl_user" base_node="bl_base"/>
          </nodes></graph_descriptor>)",
                       1},
        BaseLookupCase{"OtherBlockAfter", R"(<graph_descriptor version="3"><nodes>
            <program_group name="bl_user" base_node="bl_base"/>
            <base_node name="bl_base" base_type="program_group" tuning_mode="2"/>
            <hw name="bl_base" tuning_mode="9"/>
          </nodes></graph_descriptor>)",
                       2},
        // Two base nodes of one name: the first in the document.
        BaseLookupCase{"TwoOfOneName", R"(<graph_descriptor version="3"><nodes>
            <base_node name="bl_base" base_type="program_group" tuning_mode="3"/>
            <base_node name="bl_base" base_type="program_group" tuning_mode="4"/>
            <program_group name="bl_user" base_node="bl_base"/>
          </nodes></graph_descriptor>)",
                       3},
        // A "node" element typed base_node is one too.
        BaseLookupCase{"NodeElement", R"(<graph_descriptor version="3"><nodes>
            <node name="bl_base" type="base_node" base_type="program_group" tuning_mode="5"/>
            <program_group name="bl_user" base_node="bl_base"/>
          </nodes></graph_descriptor>)",
                       5}),
    [](const ::testing::TestParamInfo<BaseLookupCase>& info) { return info.param.what; });

// A tree built in code may store a base node under a key other than its name's.
TEST(BaseNodeLookup, FindsABaseNodeStoredUnderAnotherKey) {
    GraphConfigNode nodes;
    auto* base = new GraphConfigNode;
    base->addValue(VELT::kKeyType, std::string("base_node"));
    base->addValue(VELT::kKeyName, std::string("bl_keyed_base"));
    base->addValue(VELT::kKeyBaseType, std::string("program_group"));
    base->addValue(ItemUID::str2key("tuning_mode"), 6);
    ASSERT_EQ(0, nodes.insertDescendant(base, VELT::kKeyNode));
    auto* block = new GraphConfigNode;
    block->addValue(VELT::kKeyBaseNode, std::string("bl_keyed_base"));
    ASSERT_EQ(0, nodes.insertDescendant(block, VELT::kKeyProgramGroup));

    VELT::GraphQueryManager manager;
    std::string baseName = "bl_keyed_base";
    std::unique_ptr<GraphConfigNode> built(manager.constructNodeFromBase(block, baseName, &nodes));
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(strAt(built.get(), "type"), "program_group");
    EXPECT_EQ(intAt(built.get(), "tuning_mode"), 6);
}

}  // namespace
