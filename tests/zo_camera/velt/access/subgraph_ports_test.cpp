#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "camera_graph_fixture.h"
#include "support/log_capture.h"
#include "velt_graph_camera_util.h"
#include "velt_status.h"
#include "zo_log_common.h"

namespace zovesk_test {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;
using VELT::GraphCameraUtil;
using VELT::GraphConfigNode;
using VELT::IGraphConfig;

constexpr unsigned kCtx = VELT::kKeyExecCtxId;
constexpr unsigned kPg = VELT::kKeyProgramGroup;

TEST_F(CameraGraphTest, InputPortsAreFedFromOutsideTheSubgraph) {
    std::vector<IGraphConfig*> ports{asItem(sensor_)};
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::getInputPorts(kCtx, 1, *root_, ports, kPg));
    // The vector is cleared first; gdc:input is fed from psa, inside context 1.
    EXPECT_THAT(ports, ElementsAre(asItem(psaIn_)));
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::getInputPorts(kCtx, 0, *root_, ports, kPg));
    EXPECT_THAT(ports, ElementsAre(asItem(isaIn_)));
}

TEST_F(CameraGraphTest, OutputPortsIncludeSinksOfTheSameContext) {
    std::vector<IGraphConfig*> ports;
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::getSubgraphPorts(kCtx, 0, 1, *root_, ports, kPg));
    // ae_stats_sink carries context 0 too, but a virtual sink always ends a subgraph.
    EXPECT_THAT(ports, UnorderedElementsAre(asItem(isaOut_), asItem(isaStats_)));
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::getOutputPorts(kCtx, 1, *root_, ports, kPg));
    EXPECT_THAT(ports, ElementsAre(asItem(gdcOut_)));
}

TEST_F(CameraGraphTest, PortsWithoutPeerAreSubgraphPorts) {
    GraphConfigNode* lonely = addPort(gdc_, "lonely", 2, 1);
    std::vector<IGraphConfig*> ports;
    LogCapture log;
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::getSubgraphPorts(kCtx, 1, 1, *root_, ports, kPg));
    EXPECT_THAT(ports, UnorderedElementsAre(asItem(gdcOut_), asItem(lonely)));
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG, "getSubgraphPorts: no peer found for port lonely"));
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG, "getSubgraphPorts: peer for output is video_sink"));
}

TEST_F(CameraGraphTest, PeerGroupWithoutTheKeyIsSkipped) {
    std::vector<IGraphConfig*> ports;
    LogCapture log;
    // By stream: psa and gdc carry stream 0 like isa, so only sinks and csi_be lead out.
    ASSERT_EQ(VELT::err_none,
              GraphCameraUtil::getSubgraphPorts(VELT::kKeyStreamId, 0, 1, *root_, ports, kPg));
    EXPECT_THAT(ports, UnorderedElementsAre(asItem(isaStats_), asItem(gdcOut_)));

    GraphConfigNode* extra = addBlock(root_.get(), "extra_pg", "program_group");
    addPort(extra, "input", 0, 0, "gdc:spare");
    addPort(gdc_, "spare", 3, 1, "extra_pg:input");
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::getSubgraphPorts(kCtx, 1, 1, *root_, ports, kPg));
    EXPECT_THAT(ports, ElementsAre(asItem(gdcOut_)));
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG,
                             "getSubgraphPorts: no exec_ctx_id for peer port[extra_pg:input]"));
}

TEST(SubgraphPorts, ClosedSubgraphHasNoInputs) {
    GraphConfigNode root;
    GraphConfigNode* isa = addBlock(&root, "isa", "program_group");
    addInt(isa, "exec_ctx_id", 0);
    addPort(isa, "output", 1, 1, "psa:input");
    GraphConfigNode* psa = addBlock(&root, "psa", "program_group");
    addInt(psa, "exec_ctx_id", 0);
    addPort(psa, "input", 0, 0, "isa:output");

    std::vector<IGraphConfig*> ports;
    EXPECT_EQ(VELT::err_argument, GraphCameraUtil::getInputPorts(kCtx, 0, root, ports, kPg));
    EXPECT_TRUE(ports.empty());
    IGraphConfig* port = nullptr;
    EXPECT_EQ(VELT::err_argument, GraphCameraUtil::getInputPort(kCtx, 0, &root, &port, kPg));
    EXPECT_EQ(nullptr, port);
}

TEST_F(CameraGraphTest, InputPortIsTheFirstWithAPeer) {
    IGraphConfig* port = nullptr;
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::getInputPort(kCtx, 1, root_.get(), &port, kPg));
    EXPECT_EQ(asItem(psaIn_), port);

    LogCapture log;
    EXPECT_EQ(VELT::err_argument, GraphCameraUtil::getInputPort(kCtx, 1, nullptr, &port, kPg));
    EXPECT_EQ(VELT::err_argument,
              GraphCameraUtil::getInputPort(kCtx, 1, root_.get(), nullptr, kPg));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "NULL pointer given"));
}

TEST_F(CameraGraphTest, InputPortWithoutAnyPeerReportsThePeerFailure) {
    // A subgraph entered only through a port without peer.
    GraphConfigNode* lone = addBlock(root_.get(), "lone_pg", "program_group");
    addInt(lone, "exec_ctx_id", 5);
    addPort(lone, "input", 0, 0);
    IGraphConfig* untouched = asItem(isa_);
    IGraphConfig* port = untouched;
    EXPECT_EQ(VELT::err_argument, GraphCameraUtil::getInputPort(kCtx, 5, root_.get(), &port, kPg));
    EXPECT_EQ(untouched, port);
}

TEST_F(CameraGraphTest, OutputPortsFallBackToTheReceiverBehindTheSource) {
    // No program group carries context 9; the sensor feeds csi_be, which is
    // no program group, so csi_be's outputs stand in.
    std::vector<IGraphConfig*> ports;
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::getOutputPorts(kCtx, 9, *root_, ports, kPg));
    EXPECT_THAT(ports, ElementsAre(asItem(csiBeOut_)));
}

TEST(SubgraphOutputPorts, SourceFeedingProgramGroupsDirectly) {
    GraphConfigNode root;
    GraphConfigNode* sensor = addBlock(&root, "sensor", "source");
    GraphConfigNode* sensorOut = addPort(sensor, "output", 0, 1, "isa:input");
    GraphConfigNode* spare = addPort(sensor, "spare", 1, 1);
    GraphConfigNode* isa = addBlock(&root, "isa", "program_group");
    addInt(isa, "exec_ctx_id", 0);
    addPort(isa, "input", 0, 0, "sensor:output");

    std::vector<IGraphConfig*> ports;
    LogCapture log;
    // Context 0 has no outputs; its own source port is internal, the spare one leads nowhere.
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::getOutputPorts(kCtx, 0, root, ports, kPg));
    EXPECT_THAT(ports, ElementsAre(asItem(spare)));
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG, "Source port spare has no peer found"));

    // Seen from another context the sensor port crosses into context 0.
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::getOutputPorts(kCtx, 3, root, ports, kPg));
    EXPECT_THAT(ports, UnorderedElementsAre(asItem(sensorOut), asItem(spare)));
    EXPECT_TRUE(
        log.contains(ZO_LOG_DEBUG, "Source port output crosses Subgraph boundary (3)->(0)"));

    // A group that lacks the key is reported and skipped.
    ASSERT_EQ(VELT::err_none,
              GraphCameraUtil::getOutputPorts(VELT::kKeyStreamId, 3, root, ports, kPg));
    EXPECT_THAT(ports, ElementsAre(asItem(spare)));
    EXPECT_TRUE(
        log.contains(ZO_LOG_WARNING, "PG isa does not have stream id or exec ctx- FIX it!"));
}

TEST(SubgraphOutputPorts, NothingFoundIsAnError) {
    GraphConfigNode root;
    GraphConfigNode* isa = addBlock(&root, "isa", "program_group");
    addInt(isa, "exec_ctx_id", 0);
    std::vector<IGraphConfig*> ports;
    EXPECT_EQ(VELT::err_argument, GraphCameraUtil::getOutputPorts(kCtx, 0, root, ports, kPg));
    EXPECT_TRUE(ports.empty());
}

}  // namespace
}  // namespace zovesk_test
