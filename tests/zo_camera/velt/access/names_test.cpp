#include <gtest/gtest.h>

#include <climits>
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

TEST_F(CameraGraphTest, PrintQualifiesPortsKernelsAndMuxesWithTheirBlock) {
    EXPECT_EQ("port[isa:output]", GraphCameraUtil::print(isaOut_));
    EXPECT_EQ("hw[csi_be]", GraphCameraUtil::print(csiBe_));
    EXPECT_EQ("program_group[isa]", GraphCameraUtil::print(isa_));
    EXPECT_EQ("kernel[isa:bxt_blc]", GraphCameraUtil::print(isa_->getDescendant(keyOf("bxt_blc"))));
    GraphConfigNode* mux = addBlock(isa_, "stats_mux", "mux");
    EXPECT_EQ("mux[isa:stats_mux]", GraphCameraUtil::print(mux));
    // Without "type" the item is printed by the key it is stored under.
    GraphConfigNode* plain = addChild(isa_, "options");
    EXPECT_EQ("NODE[options]", GraphCameraUtil::print(plain));
}

TEST_F(CameraGraphTest, FullNameFallsBackToNaForUnreadableNames) {
    EXPECT_EQ("isa:output", GraphCameraUtil::getFullName(*isaOut_));
    EXPECT_EQ("NA:sensor", GraphCameraUtil::getFullName(*sensor_));

    GraphConfigNode* anonymous = addChild(root_.get(), "anonymous_block");
    GraphConfigNode* port = addPort(anonymous, "output", 0, 1);
    EXPECT_EQ("NA:output", GraphCameraUtil::getFullName(*port));
    EXPECT_EQ("NA:NA", GraphCameraUtil::getFullName(*addChild(anonymous, "unnamed")));
}

TEST_F(CameraGraphTest, PgAndPortNames) {
    std::string pgName = "before";
    std::string portName = "before";
    EXPECT_EQ(VELT::err_none, VELT::getPgAndPortNames(*psaMain_, pgName, portName));
    EXPECT_EQ("psa", pgName);
    EXPECT_EQ("main", portName);

    // A root has no parent to read; only its own name counts.
    GraphConfigNode lone;
    addStr(&lone, "name", "lone");
    pgName = "kept";
    EXPECT_EQ(VELT::err_none, VELT::getPgAndPortNames(lone, pgName, portName));
    EXPECT_EQ("kept", pgName);
    EXPECT_EQ("lone", portName);

    GraphConfigNode* anonymous = addChild(root_.get(), "anonymous_block");
    GraphConfigNode* port = addPort(anonymous, "output", 0, 1);
    EXPECT_EQ(VELT::err_general, VELT::getPgAndPortNames(*port, pgName, portName));
    EXPECT_EQ("kept", pgName);
    EXPECT_EQ("output", portName);
}

TEST_F(CameraGraphTest, DumpNodeTreeLogsTheSubtree) {
    LogCapture log;
    GraphCameraUtil::dumpNodeTree(isaIn_, 1);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "  'width'(8232) int [Attr] '1920'"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "  'format' str [Attr] 'BA10'"));
    log.clear();
    GraphCameraUtil::dumpNodeTree(nullptr, 0);
    EXPECT_TRUE(log.records().empty());
}

// A caller's depth only indents; indents stop at 64 levels, so any depth (up
// to INT_MAX, or below 0) costs one line per item and nothing more.
TEST_F(CameraGraphTest, DumpDepthIsBounded) {
    LogCapture log;
    GraphCameraUtil::dumpNodeTree(isaIn_, INT_MAX);
    const std::string deepest(128, ' ');
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, deepest + "'width'(8232) int [Attr] '1920'"));
    for (const auto& record : log.records()) {
        EXPECT_LE(record.message.size(), 128u + 64u) << record.message;
    }
    log.clear();
    GraphCameraUtil::dumpNodeTree(isaIn_, -5);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "'width'(8232) int [Attr] '1920'"));
}

}  // namespace
}  // namespace zovesk_test
