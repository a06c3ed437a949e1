#include <gtest/gtest.h>

#include <string>

#include "camera_graph_fixture.h"
#include "support/log_capture.h"
#include "velt_graph_camera_util.h"
#include "velt_status.h"
#include "zo_log_common.h"

namespace zovesk_test {
namespace {

using VELT::GraphCameraUtil;
using VELT::GraphConfigNode;
using VELT::IGraphConfig;

TEST_F(CameraGraphTest, NodeGetPortByIdFindsOnlyPortsWithThatId) {
    EXPECT_EQ(asItem(isaOut_), GraphCameraUtil::nodeGetPortById(isa_, 4));
    EXPECT_EQ(asItem(isaIn_), GraphCameraUtil::nodeGetPortById(isa_, 3));
    EXPECT_EQ(nullptr, GraphCameraUtil::nodeGetPortById(isa_, 99));
    LogCapture log;
    EXPECT_EQ(nullptr, GraphCameraUtil::nodeGetPortById(nullptr, 0));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Couldn't get port. Node is NULL"));
}

TEST_F(CameraGraphTest, PortDirectionDefaultsToInput) {
    EXPECT_EQ(1, GraphCameraUtil::portGetDirection(isaOut_));
    EXPECT_EQ(0, GraphCameraUtil::portGetDirection(isaIn_));
    LogCapture log;
    EXPECT_EQ(0, GraphCameraUtil::portGetDirection(isa_));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to retrieve port direction, default to input"));
}

TEST_F(CameraGraphTest, PortKeysComeFromTheProgramGroupOrTheSinkItself) {
    EXPECT_EQ(0, GraphCameraUtil::portGetExecCtxId(isaOut_));
    EXPECT_EQ(1, GraphCameraUtil::portGetExecCtxId(psaIn_));
    EXPECT_EQ(1, GraphCameraUtil::portGetExecCtxId(videoSink_));
    EXPECT_EQ(0, GraphCameraUtil::portGetStreamId(gdcOut_));
    // The sensor belongs to no program group.
    EXPECT_EQ(-1, GraphCameraUtil::portGetExecCtxId(sensorOut_));

    LogCapture log;
    EXPECT_EQ(-1, GraphCameraUtil::portGetStreamId(sensorOut_));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to get stream_id for port port[sensor:output]"));
    EXPECT_EQ(-1, GraphCameraUtil::portGetKey(nullptr, VELT::kKeyExecCtxId));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Invalid Node, cannot get the port execCtx id"));

    GraphConfigNode untyped;
    EXPECT_EQ(-1, GraphCameraUtil::portGetExecCtxId(&untyped));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to get Node Type"));

    GraphConfigNode loose;
    addStr(&loose, "type", "port");
    EXPECT_EQ(-1, GraphCameraUtil::portGetExecCtxId(&loose));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to get port's ancestor"));
}

TEST_F(CameraGraphTest, ContentTypeAndVirtualSinks) {
    EXPECT_EQ("metadata", GraphCameraUtil::portGetContentType(isaStats_));
    EXPECT_EQ("pixel_data", GraphCameraUtil::portGetContentType(isaOut_));

    EXPECT_TRUE(GraphCameraUtil::portIsVirtual(videoSink_));
    EXPECT_FALSE(GraphCameraUtil::portIsVirtual(isaOut_));
    EXPECT_FALSE(GraphCameraUtil::portIsVirtual(nullptr));
    LogCapture log;
    GraphConfigNode untyped;
    EXPECT_FALSE(GraphCameraUtil::portIsVirtual(&untyped));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to retrieve port(NODE[NA]) type"));
}

TEST_F(CameraGraphTest, PortGetPeerResolvesPortsAndVirtualSinks) {
    IGraphConfig* peer = nullptr;
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::portGetPeer(isaOut_, &peer));
    EXPECT_EQ(asItem(psaIn_), peer);
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::portGetPeer(gdcOut_, &peer));
    EXPECT_EQ(asItem(videoSink_), peer);
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::portGetPeer(videoSink_, &peer));
    EXPECT_EQ(asItem(gdcOut_), peer);
}

TEST_F(CameraGraphTest, PortGetPeerRefusesDisabledAndPrivatePortsSilently) {
    addInt(isaOut_, "enabled", 0);
    addInt(psaMain_, "private", 1);
    IGraphConfig* untouched = asItem(isa_);
    IGraphConfig* peer = untouched;
    LogCapture log;
    EXPECT_EQ(VELT::err_noentry, GraphCameraUtil::portGetPeer(isaOut_, &peer));
    EXPECT_EQ(VELT::err_noentry, GraphCameraUtil::portGetPeer(psaMain_, &peer));
    EXPECT_EQ(untouched, peer);
    EXPECT_TRUE(log.records().empty());
    // A disabled port is no edge, and that is no error either.
    EXPECT_FALSE(GraphCameraUtil::isEdgePort(isaOut_));
    EXPECT_FALSE(log.contains(ZO_LOG_ERROR, "Failed to create fourcc info"));
}

TEST_F(CameraGraphTest, PortGetPeerFailures) {
    IGraphConfig* peer = nullptr;
    LogCapture log;
    EXPECT_EQ(VELT::err_argument, GraphCameraUtil::portGetPeer(nullptr, &peer));
    EXPECT_EQ(VELT::err_argument, GraphCameraUtil::portGetPeer(isaOut_, nullptr));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Invalid Node, cannot get the peer port"));

    GraphConfigNode* lonely = addPort(psa_, "lonely", 7, 1);
    EXPECT_EQ(VELT::err_argument, GraphCameraUtil::portGetPeer(lonely, &peer));
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG, "Couldn't find peer value for port[psa:lonely]"));

    GraphConfigNode* dangling = addPort(psa_, "dangling", 8, 1, "nowhere_block:input");
    EXPECT_EQ(VELT::err_argument, GraphCameraUtil::portGetPeer(dangling, &peer));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to find peer by name nowhere_block:input"));
    EXPECT_EQ(nullptr, peer);
}

TEST_F(CameraGraphTest, EdgePortsCrossContextsOrLeaveThroughSinksOrHardware) {
    EXPECT_TRUE(GraphCameraUtil::isEdgePort(isaOut_));    // ctx 0 -> ctx 1
    EXPECT_TRUE(GraphCameraUtil::isEdgePort(psaIn_));     // fed from ctx 0
    EXPECT_TRUE(GraphCameraUtil::isEdgePort(gdcOut_));    // into a virtual sink
    EXPECT_TRUE(GraphCameraUtil::isEdgePort(isaStats_));  // sink of the same context
    EXPECT_FALSE(GraphCameraUtil::isEdgePort(psaMain_));  // psa -> gdc, both ctx 1
    EXPECT_FALSE(GraphCameraUtil::isEdgePort(gdcIn_));
    // csi_be shares context 0 with isa, but it is a hardware block.
    EXPECT_TRUE(GraphCameraUtil::isEdgePort(isaIn_));
}

TEST_F(CameraGraphTest, EdgePortNeedsContextsOnBothSides) {
    LogCapture log;
    // The sensor has neither exec_ctx_id nor stream_id.
    EXPECT_FALSE(GraphCameraUtil::isEdgePort(sensorOut_));
    // A port whose peer block has no context.
    GraphConfigNode* probe = addPort(psa_, "probe", 9, 0, "sensor:output");
    EXPECT_FALSE(GraphCameraUtil::isEdgePort(probe));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to get stream ID of peer PG source[sensor]"));
    GraphConfigNode* broken = addPort(psa_, "broken", 10, 0, "nowhere_block");
    EXPECT_FALSE(GraphCameraUtil::isEdgePort(broken));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to create fourcc info for source port"));
}

TEST_F(CameraGraphTest, DimensionsAreReadInOrderAndOnlyWhereAsked) {
    int width = 0;
    int height = 0;
    int left = -7;
    EXPECT_EQ(VELT::err_none, GraphCameraUtil::getDimensions(isaIn_, &width, &height));
    EXPECT_EQ(1920, width);
    EXPECT_EQ(1080, height);
    EXPECT_EQ(VELT::err_none, GraphCameraUtil::getDimensions(isa_));

    LogCapture log;
    EXPECT_EQ(VELT::err_noentry, GraphCameraUtil::getDimensions(isaIn_, &width, &height, &left));
    EXPECT_EQ(-7, left);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Error: Couldn't get left crop"));
    EXPECT_EQ(VELT::err_noentry, GraphCameraUtil::getDimensions(isaIn_, nullptr, nullptr, nullptr,
                                                                nullptr, nullptr, &left));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Error: Couldn't get bottom crop"));
    EXPECT_EQ(VELT::err_argument, GraphCameraUtil::getDimensions(nullptr, &width));
}

TEST_F(CameraGraphTest, SensorFactors) {
    int horizontal = 0;
    int vertical = 0;
    EXPECT_EQ(VELT::err_none,
              GraphCameraUtil::sensorGetBinningFactor(sensor_, horizontal, vertical));
    EXPECT_EQ(2, horizontal);
    EXPECT_EQ(1, vertical);
    EXPECT_EQ(VELT::err_none,
              GraphCameraUtil::sensorGetScalingFactor(sensor_, horizontal, vertical));
    EXPECT_EQ(1, horizontal);
    EXPECT_EQ(2, vertical);

    LogCapture log;
    EXPECT_EQ(VELT::err_general,
              GraphCameraUtil::sensorGetBinningFactor(isa_, horizontal, vertical));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Error: Couldn't get horizontal binning factor"));
    EXPECT_EQ(VELT::err_general,
              GraphCameraUtil::sensorGetScalingFactor(isa_, horizontal, vertical));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Error: Couldn't get width scaling num ratio"));
    EXPECT_EQ(VELT::err_argument,
              GraphCameraUtil::sensorGetBinningFactor(nullptr, horizontal, vertical));
    EXPECT_EQ(VELT::err_argument,
              GraphCameraUtil::sensorGetScalingFactor(nullptr, horizontal, vertical));
}

TEST_F(CameraGraphTest, SensorTypeComesFromTheFirstSource) {
    std::string type;
    EXPECT_EQ(VELT::err_none, GraphCameraUtil::sensorGetType(gdcIn_, type));
    EXPECT_EQ("bayer", type);

    GraphConfigNode bare;
    addBlock(&bare, "isa", "program_group");
    EXPECT_EQ(VELT::err_noentry, GraphCameraUtil::sensorGetType(&bare, type));
    EXPECT_EQ("NONE", type);
    LogCapture log;
    EXPECT_EQ(VELT::err_argument, GraphCameraUtil::sensorGetType(nullptr, type));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Null pointer given"));
}

TEST_F(CameraGraphTest, KernelCountInProgramGroup) {
    unsigned count = 99;
    EXPECT_EQ(VELT::err_none, GraphCameraUtil::getKernelCountInPg(isa_, count));
    EXPECT_EQ(2u, count);
    EXPECT_EQ(VELT::err_none, GraphCameraUtil::getKernelCountInPg(psa_, count));
    EXPECT_EQ(0u, count);
    EXPECT_EQ(VELT::err_argument, GraphCameraUtil::getKernelCountInPg(nullptr, count));
}

}  // namespace
}  // namespace zovesk_test
