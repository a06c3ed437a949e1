#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "camera_graph_fixture.h"
#include "support/log_capture.h"
#include "velt_graph_camera_util.h"
#include "velt_status.h"
#include "zo_log_common.h"

namespace zovesk_test {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;
using ::testing::UnorderedElementsAre;
using VELT::GraphCameraUtil;
using VELT::GraphConfigNode;
using VELT::IGraphConfig;

constexpr unsigned kCtx = VELT::kKeyExecCtxId;
constexpr unsigned kPg = VELT::kKeyProgramGroup;

TEST_F(CameraGraphTest, ExecCtxIdsOfAllProgramGroups) {
    std::set<int> ids{42};
    EXPECT_EQ(VELT::err_none, GraphCameraUtil::getExecCtxIds(*root_, ids));
    EXPECT_EQ((std::set<int>{0, 1, 42}), ids);
}

TEST_F(CameraGraphTest, TuningMapKeepsTheFirstModeOfAContext) {
    std::map<int, int> modes;
    LogCapture log;
    EXPECT_EQ(VELT::err_none, GraphCameraUtil::getExecCtxIdsTuningMap(*root_, modes));
    ASSERT_EQ(2u, modes.size());
    EXPECT_EQ(1, modes[0]);
    // psa and gdc share context 1 with modes 2 and 3; the one stored first (the smaller
    // key) stays.
    EXPECT_EQ(psa_->getUid() < gdc_->getUid() ? 2 : 3, modes[1]);
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING, "Mismatch in tuning mode"));
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING,
                             "for same execution Context 1!!!                            "
                             "Discard current tuning Mode"));
}

TEST(ExecCtxTuningMap, GroupsWithoutContextAreSkippedAndMissingModesAreMinusOne) {
    GraphConfigNode root;
    GraphConfigNode* first = addBlock(&root, "isa", "program_group");
    addInt(first, "exec_ctx_id", 4);
    addBlock(&root, "psa", "program_group");
    std::map<int, int> modes;
    LogCapture log;
    // The last group visited lacks the context, and its read failure is the result.
    EXPECT_NE(VELT::err_none, GraphCameraUtil::getExecCtxIdsTuningMap(root, modes));
    EXPECT_THAT(modes, ElementsAre(Pair(4, -1)));
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG, "Failed to get exec ctx ID"));
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG, "Failed to get tuning mode"));
}

TEST_F(CameraGraphTest, SourcesAreTheEnabledSourceBlocksOfTheRoot) {
    std::vector<IGraphConfig*> sources;
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::getSourceNode(gdcOut_, sources));
    EXPECT_THAT(sources, ElementsAre(asItem(sensor_)));

    addInt(sensor_, "enabled", 0);
    sources.clear();
    LogCapture log;
    EXPECT_EQ(VELT::err_argument, GraphCameraUtil::getSourceNode(root_.get(), sources));
    EXPECT_TRUE(sources.empty());
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "ERROR: No active sources"));
    EXPECT_EQ(VELT::err_argument, GraphCameraUtil::getSourceNode(nullptr, sources));
}

TEST_F(CameraGraphTest, ProgramGroupsOfOneContext) {
    std::vector<IGraphConfig*> groups;
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::getProgramGroups(kCtx, 1, root_.get(), groups));
    EXPECT_THAT(groups, UnorderedElementsAre(asItem(psa_), asItem(gdc_)));

    LogCapture log;
    EXPECT_EQ(VELT::err_general, GraphCameraUtil::getProgramGroups(kCtx, 7, root_.get(), groups));
    EXPECT_EQ(2u, groups.size());
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to find any PG's for exec_ctx_id id 7"));
    // csi_be carries a context too, but it is no program group.
    groups.clear();
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::getProgramGroups(kCtx, 0, root_.get(), groups));
    EXPECT_THAT(groups, ElementsAre(asItem(isa_)));
}

TEST_F(CameraGraphTest, SinksByNamePart) {
    GraphConfigNode* videoSecond = addBlock(root_.get(), "video_sink_2", "sink");
    GraphConfigNode* unnamed = addChild(root_.get(), "still_sink");
    addStr(unnamed, "type", "sink");

    std::vector<IGraphConfig*> sinks;
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::graphGetSinksByName("video", isaIn_, sinks));
    EXPECT_THAT(sinks, UnorderedElementsAre(asItem(videoSink_), asItem(videoSecond)));

    sinks.clear();
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::graphGetSinksByName("", isaIn_, sinks));
    EXPECT_EQ(4u, sinks.size());

    sinks.clear();
    LogCapture log;
    // The unnamed sink never matches a name part, even its own key.
    EXPECT_EQ(VELT::err_noentry, GraphCameraUtil::graphGetSinksByName("still", isaIn_, sinks));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to find any sinks"));
    EXPECT_EQ(VELT::err_argument, GraphCameraUtil::graphGetSinksByName("", nullptr, sinks));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "given graph config handle is null"));
}

TEST_F(CameraGraphTest, ConnectionsAcrossExecutionContexts) {
    std::vector<std::pair<std::string, std::string>> connections;
    std::vector<std::string> sourcePeers;
    std::vector<std::string> sinkNames;
    ASSERT_EQ(VELT::err_none, GraphCameraUtil::getExecCtxConnectionPorts(root_.get(), connections,
                                                                         sourcePeers, sinkNames));
    EXPECT_THAT(connections, UnorderedElementsAre(Pair("isa:output", "psa:input"),
                                                  Pair("isa:stats", "ae_stats_sink"),
                                                  Pair("gdc:output", "video_sink")));
    // csi_be shares isa's context, but feeds pixels from outside the groups.
    EXPECT_THAT(sourcePeers, ElementsAre("csi_be:output"));
    // Statistics are no pixel data.
    EXPECT_THAT(sinkNames, ElementsAre("video_sink"));
}

TEST(ExecCtxConnections, NoneAcrossContextsAndNullGraph) {
    GraphConfigNode root;
    GraphConfigNode* isa = addBlock(&root, "isa", "program_group");
    addInt(isa, "exec_ctx_id", 0);
    addPort(isa, "output", 1, 1, "psa:input");
    GraphConfigNode* psa = addBlock(&root, "psa", "program_group");
    addInt(psa, "exec_ctx_id", 0);
    addPort(psa, "input", 0, 0, "isa:output");
    addPort(psa, "main", 1, 1);

    std::vector<std::pair<std::string, std::string>> connections;
    std::vector<std::string> sourcePeers;
    std::vector<std::string> sinkNames;
    LogCapture log;
    EXPECT_EQ(VELT::err_argument, GraphCameraUtil::getExecCtxConnectionPorts(
                                      &root, connections, sourcePeers, sinkNames));
    EXPECT_TRUE(connections.empty());
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG, "getExecCtxConnectionPorts: no peer"));
    EXPECT_EQ(VELT::err_argument, GraphCameraUtil::getExecCtxConnectionPorts(
                                      nullptr, connections, sourcePeers, sinkNames));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "NULL pointer given"));
}

}  // namespace
}  // namespace zovesk_test
