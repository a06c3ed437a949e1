// Turning descriptor connections into "peer" attributes and copied blocks.
#include <gtest/gtest.h>

#include <string>

#include "query_test_support.h"
#include "support/log_capture.h"
#include "support/parse_text.h"
#include "velt_graph_query_manager.h"
#include "velt_item_uid.h"
#include "velt_status.h"
#include "zo_log_common.h"

namespace {

using namespace zovesk_test;
using VELT::GraphConfigNode;
using VELT::ItemUID;

const char* const kDescriptor = R"(<graph_descriptor version="2">
  <nodes>
    <source name="cn_cam" stream_id="0">
      <port name="cn_out" id="0" direction="1"/>
    </source>
    <program_group name="cn_pga" stream_id="1" exec_ctx_id="4" content_type="pixel_data">
      <port name="cn_in" id="0" direction="0"/>
      <port name="cn_out" id="1" direction="1"/>
    </program_group>
    <program_group name="cn_pgb" stream_id="2">
      <port name="cn_in" id="0" direction="0"/>
      <port name="cn_out" id="1" direction="1"/>
    </program_group>
    <program_group name="cn_nostream">
      <port name="cn_out" id="1" direction="1"/>
    </program_group>
    <sink name="cn_main"/>
    <sink name="cn_alt"/>
    <sink name="cn_fixed" stream_id="7"/>
    <sink name="cn_tagged" exec_ctx_id="9" content_type="raw"/>
    <hw name="cn_hw"/>
  </nodes>
</graph_descriptor>)";

// Every block of the descriptor is active, with all its ports.
const char* const kAllActive = R"(<graph_settings version="2.0">
  <settings key="11" id="1">
    <cn_cam><cn_out/></cn_cam>
    <cn_pga><cn_in/><cn_out/></cn_pga>
    <cn_pgb><cn_in/><cn_out/></cn_pgb>
    <cn_nostream><cn_out/></cn_nostream>
    <cn_main/><cn_alt/><cn_fixed/><cn_tagged/><cn_hw/>
  </settings>
</graph_settings>)";

class ConnectionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        descriptor_ = parseText(kDescriptor);
        manager_.setGraphDescriptor(descriptor_.get());
        useSettings(kAllActive);
    }

    void useSettings(const char* xml) {
        settings_ = parseText(xml);
        entry_ = nodeAt(settings_.get(), "settings");
        ASSERT_NE(entry_, nullptr);
    }

    int connect(const std::string& source, const std::string& sink) {
        return manager_.getConnectionData(source, sink, entry_, &result_);
    }

    TreePtr descriptor_;
    TreePtr settings_;
    GraphConfigNode* entry_ = nullptr;
    GraphConfigNode result_;
    VELT::GraphQueryManager manager_;
};

TEST_F(ConnectionTest, PortToPortCopiesBothBlocksAndPeersBothEnds) {
    ASSERT_EQ(connect("cn_cam:cn_out", "cn_pga:cn_in"), 0);
    EXPECT_EQ(peersOf(nodeAt(&result_, "cn_cam:cn_out")), std::vector<std::string>{"cn_pga:cn_in"});
    EXPECT_EQ(peersOf(nodeAt(&result_, "cn_pga:cn_in")), std::vector<std::string>{"cn_cam:cn_out"});
    EXPECT_EQ(result_.getDescendantCount(), 2);
    // The copies are whole blocks, and the descriptor is left alone.
    EXPECT_NE(nodeAt(&result_, "cn_pga:cn_out"), nullptr);
    EXPECT_TRUE(peersOf(nodeAt(descriptor_.get(), "nodes:cn_cam:cn_out")).empty());
}

TEST_F(ConnectionTest, BlocksReachedTwiceAreCopiedOnce) {
    ASSERT_EQ(connect("cn_cam:cn_out", "cn_pga:cn_in"), 0);
    ASSERT_EQ(connect("cn_pga:cn_out", "cn_pgb:cn_in"), 0);
    EXPECT_EQ(countItems(&result_, "cn_pga"), 1u);
    // The second connection wrote into the copy the first one made.
    EXPECT_EQ(peersOf(nodeAt(&result_, "cn_pga:cn_in")).size(), 1u);
    EXPECT_EQ(peersOf(nodeAt(&result_, "cn_pga:cn_out")).size(), 1u);
}

TEST_F(ConnectionTest, PortsConnectedTwiceCarryOnePeerPerConnection) {
    LogCapture log;
    ASSERT_EQ(connect("cn_pga:cn_out", "cn_pgb:cn_in"), 0);
    ASSERT_EQ(connect("cn_pga:cn_out", "cn_main"), 0);
    EXPECT_EQ(peersOf(nodeAt(&result_, "cn_pga:cn_out")),
              (std::vector<std::string>{"cn_pgb:cn_in", "cn_main"}));
    EXPECT_TRUE(log.contains(
        ZO_LOG_DEBUG, "Node(cn_pga) port 'cn_out' already connected once to 'cn_pgb:cn_in'"));

    ASSERT_EQ(connect("cn_cam:cn_out", "cn_pgb:cn_in"), 0);
    EXPECT_EQ(peersOf(nodeAt(&result_, "cn_pgb:cn_in")),
              (std::vector<std::string>{"cn_pga:cn_out", "cn_cam:cn_out"}));
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG,
                             "Node(cn_pgb) port 'cn_in' already connected once to "
                             "'cn_pga:cn_out' adding new peer"));
}

TEST_F(ConnectionTest, ConnectionsOutsideTheSettingsAreIgnored) {
    useSettings(R"(<graph_settings version="2.0">
      <settings key="12" id="1"><cn_pga><cn_out/></cn_pga><cn_pgb/></settings>
    </graph_settings>)");
    LogCapture log;
    EXPECT_EQ(connect("cn_cam:cn_out", "cn_pga:cn_in"), 0);
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING, "WARNING: Node(cn_cam) not found from settings("));
    EXPECT_EQ(connect("cn_pgb:cn_out", "cn_pga:cn_in"), 0);
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING, "WARNING: Node(cn_pgb) port cn_out not found"));
    EXPECT_EQ(result_.getDescendantCount(), 0);

    // The destination block is not active: the source is copied but left unconnected.
    EXPECT_EQ(connect("cn_pga:cn_out", "cn_main"), 0);
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING,
                             "Skipping port cn_pga:cn_out for not being active in settings."));
    EXPECT_NE(nodeAt(&result_, "cn_pga"), nullptr);
    EXPECT_TRUE(peersOf(nodeAt(&result_, "cn_pga:cn_out")).empty());
    EXPECT_EQ(nodeAt(&result_, "cn_main"), nullptr);
}

TEST_F(ConnectionTest, DisabledSourcePortKeepsOnlyTheSource) {
    useSettings(R"(<graph_settings version="2.0">
      <settings key="13" id="1"><cn_pga><cn_out enabled="0"/></cn_pga><cn_pgb/></settings>
    </graph_settings>)");
    EXPECT_EQ(connect("cn_pga:cn_out", "cn_pgb:cn_in"), 0);
    EXPECT_NE(nodeAt(&result_, "cn_pga"), nullptr);
    EXPECT_EQ(nodeAt(&result_, "cn_pgb"), nullptr);
    EXPECT_TRUE(peersOf(nodeAt(&result_, "cn_pga:cn_out")).empty());
}

TEST_F(ConnectionTest, VirtualSinkGetsDirectionAndTheSourceStream) {
    ASSERT_EQ(connect("cn_pgb:cn_out", "cn_main"), 0);
    GraphConfigNode* sink = nodeAt(&result_, "cn_main");
    EXPECT_EQ(intAt(sink, "direction"), 0);
    EXPECT_EQ(intAt(sink, "stream_id"), 2);
    EXPECT_EQ(peersOf(sink), std::vector<std::string>{"cn_pgb:cn_out"});
    EXPECT_EQ(peersOf(nodeAt(&result_, "cn_pgb:cn_out")), std::vector<std::string>{"cn_main"});

    // A sink with its own stream keeps it.
    ASSERT_EQ(connect("cn_pga:cn_out", "cn_fixed"), 0);
    EXPECT_EQ(intAt(nodeAt(&result_, "cn_fixed"), "stream_id"), 7);

    // A second settings-dependent connection into one sink is refused at "direction".
    EXPECT_EQ(connect("cn_pga:cn_out", "cn_main"), VELT::err_exists);
}

TEST_F(ConnectionTest, SettingsPeerRedirectsAVirtualSinkConnection) {
    useSettings(R"(<graph_settings version="2.0">
      <settings key="14" id="1"><cn_pgb><cn_out peer="cn_alt"/></cn_pgb><cn_alt/><cn_main/></settings>
    </graph_settings>)");
    LogCapture log;
    ASSERT_EQ(connect("cn_pgb:cn_out", "cn_main"), 0);
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG, "Overriding destination node cn_alt with cn_alt"));
    EXPECT_EQ(nodeAt(&result_, "cn_main"), nullptr);
    EXPECT_EQ(peersOf(nodeAt(&result_, "cn_pgb:cn_out")), std::vector<std::string>{"cn_alt"});
    EXPECT_EQ(peersOf(nodeAt(&result_, "cn_alt")), std::vector<std::string>{"cn_pgb:cn_out"});
}

TEST_F(ConnectionTest, StructuralFaultsStopTheConnection) {
    useSettings(R"(<graph_settings version="2.0">
      <settings key="15" id="1">
        <cn_pga><cn_in/></cn_pga><cn_pgb/><cn_hw><cn_out/></cn_hw>
        <cn_nostream><cn_out/></cn_nostream><cn_main/>
      </settings>
    </graph_settings>)");
    LogCapture log;
    // Ports that the descriptor blocks lack, at either end.
    EXPECT_EQ(connect("cn_hw:cn_out", "cn_pgb:cn_in"), VELT::err_general);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Node(cn_hw) has no port named 'cn_out'"));
    EXPECT_EQ(connect("cn_pga:cn_in", "cn_hw:cn_in"), VELT::err_general);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Node(cn_hw) has no port named 'cn_in'"));
    // A sink without port must be a virtual sink, fed by a block with a stream.
    EXPECT_EQ(connect("cn_pga:cn_in", "cn_hw"), VELT::err_general);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "sink connection attribute without port 'hw' not pointing to "
                             "virtual sink"));
    EXPECT_EQ(connect("cn_nostream:cn_out", "cn_main"), VELT::err_general);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "No stream_id set for connected peer"));
    EXPECT_EQ(manager_.getConnectionData("cn_pga:cn_in", "cn_pgb:cn_in", entry_, nullptr),
              VELT::err_argument);
    // A port name no document used is still a port, not a virtual sink.
    EXPECT_EQ(connect("cn_pga:cn_in", "cn_pgb:cn_never_named"), VELT::err_general);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Node(cn_pgb) has no port named 'na'"));
    EXPECT_FALSE(nodeAt(&result_, "cn_pgb")->hasItem(VELT::kKeyDirection));

    TreePtr empty = parseText(R"(<graph_descriptor version="2"><graphs/></graph_descriptor>)");
    manager_.setGraphDescriptor(empty.get());
    EXPECT_EQ(connect("cn_pga:cn_in", "cn_pgb:cn_in"), VELT::err_general);
    EXPECT_EQ(manager_.getStaticConnectionData("cn_pga:cn_in", "cn_pgb:cn_in", &result_),
              VELT::err_general);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Error, graph_descriptor does not have a 'nodes' node"));
}

TEST_F(ConnectionTest, BlocksMissingFromTheDescriptorAreReportedAsSourceOrDestination) {
    // The settings know cn_ghost; the descriptor does not.
    useSettings(R"(<graph_settings version="2.0">
      <settings key="17" id="1"><cn_ghost/><cn_pga><cn_in/></cn_pga></settings>
    </graph_settings>)");
    LogCapture log;
    EXPECT_EQ(connect("cn_ghost", "cn_pga:cn_in"), VELT::err_general);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "Failed to copy src node(cn_ghost) from descriptor to settings"));
    EXPECT_EQ(connect("cn_pga:cn_in", "cn_ghost:cn_in"), VELT::err_general);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "Failed to copy dst node(cn_ghost) from descriptor to settings"));
    EXPECT_EQ(nodeAt(&result_, "cn_ghost"), nullptr);

    log.clear();
    EXPECT_EQ(manager_.getStaticConnectionData("cn_ghost", "cn_main", &result_), VELT::err_general);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "Failed to copy src node(cn_ghost) from descriptor to settings"));
    // The source block is copied before the destination is found missing.
    EXPECT_EQ(manager_.getStaticConnectionData("cn_pgb:cn_out", "cn_ghost", &result_),
              VELT::err_general);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "Failed to copy dst node(cn_ghost) from descriptor to settings"));
    EXPECT_NE(nodeAt(&result_, "cn_pgb"), nullptr);
    EXPECT_EQ(nodeAt(&result_, "cn_main"), nullptr);
}

TEST_F(ConnectionTest, StaticConnectionIgnoresTheSettings) {
    useSettings(R"(<graph_settings version="2.0"><settings key="16" id="1"/></graph_settings>)");
    ASSERT_EQ(manager_.getStaticConnectionData("cn_cam:cn_out", "cn_pga:cn_in", &result_), 0);
    EXPECT_EQ(peersOf(nodeAt(&result_, "cn_cam:cn_out")), std::vector<std::string>{"cn_pga:cn_in"});
    EXPECT_EQ(peersOf(nodeAt(&result_, "cn_pga:cn_in")), std::vector<std::string>{"cn_cam:cn_out"});
}

TEST_F(ConnectionTest, StaticVirtualSinkTakesContextAndContentOfItsSource) {
    ASSERT_EQ(manager_.getStaticConnectionData("cn_pga:cn_out", "cn_tagged", &result_), 0);
    GraphConfigNode* sink = nodeAt(&result_, "cn_tagged");
    EXPECT_EQ(intAt(sink, "direction"), 0);
    EXPECT_EQ(intAt(sink, "exec_ctx_id"), 4);
    EXPECT_EQ(strAt(sink, "content_type"), "pixel_data");
    EXPECT_EQ(intAt(sink, "stream_id"), -12345);  // left unread and unset
    EXPECT_EQ(peersOf(sink), std::vector<std::string>{"cn_pga:cn_out"});

    // A source without those attributes leaves the sink as it is.
    ASSERT_EQ(manager_.getStaticConnectionData("cn_pgb:cn_out", "cn_alt", &result_), 0);
    EXPECT_EQ(intAt(nodeAt(&result_, "cn_alt"), "exec_ctx_id"), -12345);
    EXPECT_EQ(strAt(nodeAt(&result_, "cn_alt"), "content_type"), "<missing>");

    LogCapture log;
    EXPECT_EQ(manager_.getStaticConnectionData("cn_hw:cn_out", "cn_main", &result_),
              VELT::err_general);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Node(cn_hw) has no port named 'cn_out'"));
    EXPECT_EQ(manager_.getStaticConnectionData("cn_pga:cn_out", "cn_pgb:cn_cam", &result_),
              VELT::err_general);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Node(cn_pgb) has no port named 'cn_cam'"));
}

}  // namespace
