#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/graph_builder.h"
#include "support/log_capture.h"
#include "velt_graph_query_utils.h"
#include "velt_status.h"
#include "zo_log_common.h"

namespace zovesk_test {
namespace {

using VELT::GraphConfigNode;
using VELT::GraphQueryUtils;

TEST(DisableNode, AddsOrClearsEnabled) {
    GraphConfigNode root;
    GraphConfigNode* fresh = addPort(addBlock(&root, "isa", "program_group"), "input", 0, 0);
    EXPECT_EQ(0, GraphQueryUtils::disableNode(fresh));
    EXPECT_EQ(0, intOf(fresh, "enabled"));

    GraphConfigNode* on =
        addPort(static_cast<GraphConfigNode*>(root.getDescendant(keyOf("isa"))), "output", 1, 1);
    addInt(on, "enabled", 1);
    EXPECT_EQ(0, GraphQueryUtils::disableNode(on));
    EXPECT_EQ(0, intOf(on, "enabled"));
    EXPECT_EQ(0, GraphQueryUtils::disableNode(nullptr));
}

// A port that cannot be switched off is reported, and the pass stops there, so
// a result graph is never passed off as complete with a live-looking dead port.
TEST(DisableNode, ReportsAnEnabledThatCannotBeSet) {
    GraphConfigNode root;
    GraphConfigNode* isa = addBlock(&root, "isa", "program_group");
    GraphConfigNode* odd = addPort(isa, "output", 1, 1);
    addStr(odd, "enabled", "yes");  // text, so no integer can be stored
    EXPECT_EQ(VELT::err_noentry, GraphQueryUtils::disableNode(odd));
    LogCapture log;
    EXPECT_EQ(VELT::err_noentry, GraphQueryUtils::disableUnusedPorts(&root));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to disable port output"));
    EXPECT_FALSE(log.contains("disableUnusedPorts done!"));
}

TEST(GetPortPeer, FindsNodesAndPortsFromTheRoot) {
    GraphConfigNode root;
    GraphConfigNode* isa = addBlock(&root, "isa", "program_group");
    GraphConfigNode* isaOut = addPort(isa, "output", 1, 1, "psa:input");
    GraphConfigNode* psa = addBlock(&root, "psa", "program_group");
    GraphConfigNode* psaIn = addPort(psa, "input", 0, 0, "isa:output");
    GraphConfigNode* toSink = addPort(psa, "main", 1, 1, "video_sink");
    GraphConfigNode* sink = addBlock(&root, "video_sink", "sink");
    GraphConfigNode* missingPort = addPort(psa, "spare", 2, 1, "isa:spare_in");
    GraphConfigNode* onAttribute = addPort(psa, "odd", 3, 1, "isa:name");

    EXPECT_EQ(psaIn, GraphQueryUtils::getPortPeer(isaOut));
    EXPECT_EQ(isaOut, GraphQueryUtils::getPortPeer(psaIn));
    EXPECT_EQ(sink, GraphQueryUtils::getPortPeer(toSink));
    EXPECT_EQ(nullptr, GraphQueryUtils::getPortPeer(missingPort));
    // "name" holds an attribute, and only nodes are peers.
    EXPECT_EQ(nullptr, GraphQueryUtils::getPortPeer(onAttribute));
    EXPECT_EQ(nullptr, GraphQueryUtils::getPortPeer(addPort(psa, "lonely", 4, 1)));
    EXPECT_EQ(nullptr, GraphQueryUtils::getPortPeer(nullptr));
}

TEST(DisableUnusedPorts, DisablesPixelPortsWithoutLivePeer) {
    GraphConfigNode root;
    GraphConfigNode* isa = addBlock(&root, "isa", "program_group");
    GraphConfigNode* live = addPort(isa, "output", 1, 1, "psa:input");
    GraphConfigNode* orphan = addPort(isa, "orphan", 2, 1);
    GraphConfigNode* privatePort = addPort(isa, "private_out", 3, 1);
    addInt(privatePort, "private", 1);
    GraphConfigNode* stats = addPort(isa, "stats", 4, 1);
    addStr(stats, "content_type", "metadata");
    GraphConfigNode* toDead = addPort(isa, "to_dead", 5, 1, "psa:dead_in");
    GraphConfigNode* off = addPort(isa, "off", 6, 1);
    addInt(off, "enabled", 0);

    GraphConfigNode* psa = addBlock(&root, "psa", "program_group");
    GraphConfigNode* psaIn = addPort(psa, "input", 0, 0, "isa:output");
    GraphConfigNode* deadIn = addPort(psa, "dead_in", 1, 0, "isa:to_dead");
    addInt(deadIn, "enabled", 0);

    LogCapture log;
    EXPECT_EQ(0, GraphQueryUtils::disableUnusedPorts(&root));
    EXPECT_EQ(-12345, intOf(live, "enabled"));
    EXPECT_EQ(-12345, intOf(psaIn, "enabled"));
    EXPECT_EQ(0, intOf(orphan, "enabled"));
    EXPECT_EQ(0, intOf(toDead, "enabled"));
    EXPECT_EQ(-12345, intOf(privatePort, "enabled"));
    EXPECT_EQ(-12345, intOf(stats, "enabled"));
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING, "port orphan has no peer, disabling it."));
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING, "peer disabled, disabling port to_dead"));
    EXPECT_FALSE(log.contains("port off"));
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG, "disableUnusedPorts done!"));
}

// A result graph in the making: isa feeds psa and a virtual sink; settings
// for both programs groups are merged into it.
class MergeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        isa_ = addBlock(&graph_, "isa", "program_group");
        addInt(isa_, "id", 10);
        addInt(isa_, "fps", 30);
        isaOut_ = addPort(isa_, "output", 1, 1, "psa:input");
        isaMain_ = addPort(isa_, "main", 2, 1, "video_sink");
        psa_ = addBlock(&graph_, "psa", "program_group");
        psaIn_ = addPort(psa_, "input", 0, 0, "isa:output");
        addInt(psaIn_, "width", 640);
        sink_ = addBlock(&graph_, "video_sink", "sink");
        addStr(sink_, "peer", "isa:main");
        addStr(sink_, "format", "NV12");
    }

    GraphConfigNode graph_;
    GraphConfigNode* isa_ = nullptr;
    GraphConfigNode* isaOut_ = nullptr;
    GraphConfigNode* isaMain_ = nullptr;
    GraphConfigNode* psa_ = nullptr;
    GraphConfigNode* psaIn_ = nullptr;
    GraphConfigNode* sink_ = nullptr;
};

TEST_F(MergeTest, NullNodesAreRefused) {
    EXPECT_EQ(VELT::err_argument, GraphQueryUtils::addDescendantsFromNode(nullptr, &graph_, 13));
    EXPECT_EQ(VELT::err_argument, GraphQueryUtils::addDescendantsFromNode(&graph_, nullptr, 13));
}

TEST_F(MergeTest, DeepMergeOverwritesAllButIdentity) {
    GraphConfigNode settings;
    GraphConfigNode* isa = addChild(&settings, "isa");
    addInt(isa, "id", 99);
    addStr(isa, "name", "renamed");
    addStr(isa, "type", "hw");
    addInt(isa, "fps", 60);
    addInt(isa, "pg_id", 4);
    GraphConfigNode* out = addChild(isa, "output");
    addInt(out, "direction", 0);
    addStr(out, "peer", "elsewhere");
    addInt(out, "width", 1920);
    addChild(isa, "new_child");

    ASSERT_EQ(VELT::err_none, GraphQueryUtils::addDescendantsFromNode(&graph_, &settings, 8));
    EXPECT_EQ(10, intOf(isa_, "id"));
    EXPECT_EQ("isa", strOf(isa_, "name"));
    EXPECT_EQ("program_group", strOf(isa_, "type"));
    EXPECT_EQ(60, intOf(isa_, "fps"));
    EXPECT_EQ(4, intOf(isa_, "pg_id"));
    EXPECT_EQ(1, intOf(isaOut_, "direction"));
    EXPECT_EQ("psa:input", strOf(isaOut_, "peer"));
    EXPECT_EQ(1920, intOf(isaOut_, "width"));
    // Without the add-nodes flag nothing new appears.
    EXPECT_EQ(nullptr, isa_->getDescendant(keyOf("new_child")));
}

TEST_F(MergeTest, ProtectedKeysAreAddedWhereMissing) {
    GraphConfigNode* bare = addChild(&graph_, "bare");
    GraphConfigNode settings;
    GraphConfigNode* source = addChild(&settings, "bare");
    addInt(source, "id", 3);
    addInt(source, "direction", 1);
    addStr(source, "name", "bare");
    addStr(source, "peer", "isa:input");
    addStr(source, "type", "port");
    ASSERT_EQ(VELT::err_none, GraphQueryUtils::addDescendantsFromNode(&graph_, &settings, 8));
    EXPECT_EQ(3, intOf(bare, "id"));
    EXPECT_EQ(1, intOf(bare, "direction"));
    EXPECT_EQ("bare", strOf(bare, "name"));
    EXPECT_EQ("isa:input", strOf(bare, "peer"));
    EXPECT_EQ("port", strOf(bare, "type"));
}

TEST_F(MergeTest, ShallowMergeAddsMissingOnly) {
    GraphConfigNode settings;
    addInt(&settings, "key", 7);
    GraphConfigNode* isa = addChild(&settings, "isa");
    addInt(isa, "fps", 60);
    GraphConfigNode* gdc = addChild(&settings, "gdc");
    addStr(gdc, "type", "program_group");
    addChild(gdc, "output");

    ASSERT_EQ(VELT::err_none, GraphQueryUtils::addDescendantsFromNode(&graph_, &settings, 1));
    EXPECT_EQ(7, intOf(&graph_, "key"));
    // isa exists in both; only a deep merge would look inside.
    EXPECT_EQ(30, intOf(isa_, "fps"));
    const VELT::IGraphConfig* copied = graph_.getDescendant(keyOf("gdc"));
    ASSERT_NE(nullptr, copied);
    EXPECT_NE(static_cast<VELT::IGraphConfig*>(gdc), copied);
    EXPECT_EQ("program_group", strOf(copied, "type"));
    EXPECT_NE(nullptr, copied->getDescendant(keyOf("output")));
    EXPECT_EQ(&graph_, copied->getAncestor());
}

TEST_F(MergeTest, OptionListsAreNeverMergedInto) {
    GraphConfigNode* options = addChild(isa_, "options");
    addInt(options, "attribute", static_cast<int>(keyOf("fps")));
    GraphConfigNode settings;
    GraphConfigNode* isa = addChild(&settings, "isa");
    GraphConfigNode* otherOptions = addChild(isa, "options");
    addInt(otherOptions, "attribute", 1);
    addChild(otherOptions, "extra_option");
    GraphConfigNode* psa = addChild(&settings, "psa");
    GraphConfigNode* psaOptions = addChild(psa, "options");
    addInt(psaOptions, "attribute", 2);

    ASSERT_EQ(VELT::err_none, GraphQueryUtils::addDescendantsFromNode(&graph_, &settings, 9));
    EXPECT_EQ(static_cast<int>(keyOf("fps")), intOf(options, "attribute"));
    EXPECT_EQ(nullptr, options->getDescendant(keyOf("extra_option")));
    // psa had no option list; with the add-nodes flag it gets the settings' one.
    const VELT::IGraphConfig* copied = psa_->getDescendant(VELT::kKeyOptions);
    ASSERT_NE(nullptr, copied);
    EXPECT_EQ(2, intOf(copied, "attribute"));
}

TEST_F(MergeTest, OutputPortsPushTheirSettingsIntoPeers) {
    GraphConfigNode settings;
    GraphConfigNode* isa = addChild(&settings, "isa");
    GraphConfigNode* out = addChild(isa, "output");
    addInt(out, "width", 1280);
    addStr(out, "format", "YUV420_8_SP");
    GraphConfigNode* main = addChild(isa, "main");
    addStr(main, "format", "P010");
    addInt(main, "height", 720);
    addChild(main, "crop");

    ASSERT_EQ(VELT::err_none, GraphQueryUtils::addDescendantsFromNode(&graph_, &settings, 13));
    // Into an input port: values overwritten, identity kept.
    EXPECT_EQ(1280, intOf(psaIn_, "width"));
    EXPECT_EQ("YUV420_8_SP", strOf(psaIn_, "format"));
    EXPECT_EQ(0, intOf(psaIn_, "direction"));
    EXPECT_EQ("isa:output", strOf(psaIn_, "peer"));
    // Into a virtual sink: only what is missing, child nodes included.
    EXPECT_EQ("NV12", strOf(sink_, "format"));
    EXPECT_EQ(720, intOf(sink_, "height"));
    EXPECT_EQ(1, intOf(sink_, "direction"));
    EXPECT_EQ("isa:main", strOf(sink_, "peer"));
    EXPECT_NE(nullptr, sink_->getDescendant(keyOf("crop")));
}

TEST_F(MergeTest, WithoutThePeerFlagPeersStayAsTheyWere) {
    GraphConfigNode settings;
    GraphConfigNode* isa = addChild(&settings, "isa");
    GraphConfigNode* out = addChild(isa, "output");
    addInt(out, "width", 1280);
    ASSERT_EQ(VELT::err_none, GraphQueryUtils::addDescendantsFromNode(&graph_, &settings, 9));
    EXPECT_EQ(1280, intOf(isaOut_, "width"));
    EXPECT_EQ(640, intOf(psaIn_, "width"));
}

TEST_F(MergeTest, AttributeOptionsAreAppliedWhenAsked) {
    // fps 60 on isa brings psa's width along.
    GraphConfigNode* options = addChild(isa_, "options");
    addInt(options, "attribute", static_cast<int>(keyOf("fps")));
    GraphConfigNode* option = addChild(options, "option");
    addStr(option, "value", "30,60");
    GraphConfigNode* apply = addChild(option, "apply");
    GraphConfigNode* applyPort = addChild(addChild(apply, "psa"), "input");
    addInt(applyPort, "width", 3840);

    GraphConfigNode settings;
    addInt(addChild(&settings, "isa"), "fps", 60);
    ASSERT_EQ(VELT::err_none, GraphQueryUtils::addDescendantsFromNode(&graph_, &settings, 10));
    EXPECT_EQ(60, intOf(isa_, "fps"));
    EXPECT_EQ(3840, intOf(psaIn_, "width"));
}

TEST_F(MergeTest, AnOptionWithoutApplyStopsTheMerge) {
    GraphConfigNode* options = addChild(isa_, "options");
    addInt(options, "attribute", static_cast<int>(keyOf("fps")));
    addStr(addChild(options, "option"), "value", "60");

    GraphConfigNode settings;
    GraphConfigNode* isa = addChild(&settings, "isa");
    addInt(isa, "fps", 60);
    addInt(isa, "pg_id", 5);
    LogCapture log;
    EXPECT_EQ(VELT::err_notsupported,
              GraphQueryUtils::addDescendantsFromNode(&graph_, &settings, 10));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Found option for 60, but no apply node. Skipping."));
    // The value was written before its options were looked at; pg_id comes later.
    EXPECT_EQ(60, intOf(isa_, "fps"));
    EXPECT_EQ(-12345, intOf(isa_, "pg_id"));
}

}  // namespace
}  // namespace zovesk_test
