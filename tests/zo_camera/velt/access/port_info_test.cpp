#include <gtest/gtest.h>

#include "camera_graph_fixture.h"
#include "support/log_capture.h"
#include "velt_graph_camera_util.h"
#include "velt_status.h"
#include "zo_log_common.h"

namespace zovesk_test {
namespace {

using VELT::GraphCameraUtil;
using VELT::GraphConfigNode;

constexpr unsigned kIspTag = 0x4730;

TEST_F(CameraGraphTest, FourCCInfoTagsTheProgramGroupId) {
    unsigned base = 0;
    unsigned uid = 0;
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::portGetFourCCInfo(isaIn_, base, uid));
    EXPECT_EQ(2u * 65536u + kIspTag, base);
    EXPECT_EQ(base + 3u, uid);

    addStr(psa_, "subsystem", "gpu");
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::portGetFourCCInfo(psaMain_, base, uid));
    EXPECT_EQ(3u * 65536u + 0x4558u, base);
    EXPECT_EQ(base + 1u, uid);

    // Simulation wins over the subsystem.
    addStr(psa_, "simulation", "true");
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::portGetFourCCInfo(psaMain_, base, uid));
    EXPECT_EQ(3u * 65536u + 0x4153u, base);

    // Without "pg_id" the port id is the uid.
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::portGetFourCCInfo(gdcOut_, base, uid));
    EXPECT_EQ(0u, base);
    EXPECT_EQ(1u, uid);
}

TEST_F(CameraGraphTest, FourCCInfoFailures) {
    unsigned base = 0;
    unsigned uid = 0;
    LogCapture log;
    EXPECT_EQ(VELT::err_argument, GraphCameraUtil::portGetFourCCInfo(nullptr, base, uid));
    EXPECT_EQ(VELT::err_argument, GraphCameraUtil::portGetFourCCInfo(videoSink_, base, uid));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to get port(sink[video_sink]) id"));
    GraphConfigNode loose;
    addInt(&loose, "id", 1);
    EXPECT_EQ(VELT::err_argument, GraphCameraUtil::portGetFourCCInfo(&loose, base, uid));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to get port ancestor"));
}

TEST_F(CameraGraphTest, DescriptorTakesSizesAndFormatFromThePortOrItsPeer) {
    GraphCameraUtil::PortDescriptor own{};
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::portGetDescriptor(isaIn_, own));
    EXPECT_EQ("input", own.portName);
    EXPECT_EQ("isa", own.programGroupName);
    EXPECT_EQ(0, own.direction);
    EXPECT_EQ(1, own.enabled);
    EXPECT_EQ(2u * 65536u + kIspTag + 3u, own.portUid);
    EXPECT_EQ(1920, own.width);
    EXPECT_EQ(1080, own.height);
    EXPECT_EQ("BA10", own.format);

    // isa:output has no sizes; all three come from psa:input.
    GraphCameraUtil::PortDescriptor fromPeer{};
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::portGetDescriptor(isaOut_, fromPeer));
    EXPECT_EQ("output", fromPeer.portName);
    EXPECT_EQ(1, fromPeer.direction);
    EXPECT_EQ(1280, fromPeer.width);
    EXPECT_EQ(720, fromPeer.height);
    EXPECT_EQ("YUV420_8_SP", fromPeer.format);
}

TEST_F(CameraGraphTest, DescriptorOfDisabledPortStopsBeforeSizes) {
    addInt(isaOut_, "enabled", 0);
    GraphCameraUtil::PortDescriptor descriptor{};
    descriptor.width = 77;
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::portGetDescriptor(isaOut_, descriptor));
    EXPECT_EQ(0, descriptor.enabled);
    EXPECT_EQ(77, descriptor.width);
    EXPECT_EQ(2u * 65536u + kIspTag + 4u, descriptor.portUid);
}

TEST_F(CameraGraphTest, DescriptorFailuresAreDataErrors) {
    GraphCameraUtil::PortDescriptor descriptor{};
    LogCapture log;
    // gdc:output has no sizes and its peer, the sink, has none either.
    EXPECT_EQ(VELT::err_data, GraphCameraUtil::portGetDescriptor(gdcOut_, descriptor));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Could not find port portDescriptor info: width"));

    GraphConfigNode* lonely = addPort(psa_, "lonely", 7, 1);
    EXPECT_EQ(VELT::err_data, GraphCameraUtil::portGetDescriptor(lonely, descriptor));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Could not find peer port - Fix your graph"));

    addInt(lonely, "width", 640);
    EXPECT_EQ(VELT::err_data, GraphCameraUtil::portGetDescriptor(lonely, descriptor));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Could not find port portDescriptor info: height"));

    addInt(lonely, "height", 480);
    EXPECT_EQ(VELT::err_data, GraphCameraUtil::portGetDescriptor(lonely, descriptor));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Could not find format for port lonely"));

    GraphConfigNode* noDirection = addChild(psa_, "no_direction");
    addStr(noDirection, "name", "no_direction");
    EXPECT_EQ(VELT::err_data, GraphCameraUtil::portGetDescriptor(noDirection, descriptor));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Could not get port direction"));

    GraphConfigNode loose;
    EXPECT_EQ(VELT::err_data, GraphCameraUtil::portGetDescriptor(&loose, descriptor));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Could not get ancestor"));
}

TEST_F(CameraGraphTest, PortInfoTakesEnabledFromPortThenPeerThenDefault) {
    unsigned enabled = 99;
    unsigned uid = 0;
    EXPECT_EQ(VELT::err_none, GraphCameraUtil::portGetInfo(isaIn_, enabled, uid));
    EXPECT_EQ(1u, enabled);
    EXPECT_EQ(2u * 65536u + kIspTag + 3u, uid);

    addInt(psaIn_, "enabled", 0);
    LogCapture log;
    EXPECT_EQ(VELT::err_none, GraphCameraUtil::portGetInfo(isaOut_, enabled, uid));
    EXPECT_EQ(0u, enabled);
    EXPECT_TRUE(log.contains(ZO_LOG_INFO, "Using the peer's attribute value"));
    EXPECT_TRUE(log.contains(ZO_LOG_INFO, "Getting port info for port[isa:output]"));
}

TEST_F(CameraGraphTest, PortInfoFailures) {
    unsigned enabled = 99;
    unsigned uid = 99;
    LogCapture log;
    EXPECT_EQ(VELT::err_argument, GraphCameraUtil::portGetInfo(nullptr, enabled, uid));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Invalid parameter, could not get port format"));

    addInt(isaIn_, "enabled", -1);
    EXPECT_EQ(VELT::err_general, GraphCameraUtil::portGetInfo(isaIn_, enabled, uid));
    EXPECT_EQ(99u, enabled);

    EXPECT_EQ(VELT::err_noentry, GraphCameraUtil::portGetInfo(videoSink_, enabled, uid));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Could not get port uid"));
}

}  // namespace
}  // namespace zovesk_test
