// Which kernel-list path a graph takes: the builder's own lists per execution
// context, or the subgraph analysis. The answer given before a build is the
// one initPekUtils() acts on.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/graph_builder.h"
#include "support/log_capture.h"
#include "velt_graph_config_node.h"
#include "velt_isp_utils.h"
#include "velt_qel_pek_utils.h"

namespace {

using VELT::QelPekUtils;
using zovesk_test::addBlock;
using zovesk_test::addChild;
using zovesk_test::addStr;

struct PathCase {
    const char* name;
    const char* version;    // the graph's "version" text
    const char* groupType;  // type of the one block holding kernels
    bool klink;             // whether that block holds a "klink"
    bool subgraphPath;      // expected decision
    int32_t generation;     // expected generation the lists are built for
};

const PathCase kPathCases[] = {
    {"Generation5", "ORBA5", "program_group", false, false, 5},
    {"Generation5WithKlinks", "ORBA5", "program_group", true, true, 6},
    {"NoKnownGeneration", "IPU", "program_group", false, false, 0},
    {"NoKnownGenerationWithKlinks", "IPU", "program_group", true, true, 6},
    {"Generation6", "ORBA6.1", "program_group", false, true, 6},
    {"Generation7", "ORBA7.0", "compute_block", true, true, 7},
    // Only program groups are searched for klinks.
    {"Generation5KlinkInComputeBlock", "ORBA5", "compute_block", true, false, 5},
};

std::unique_ptr<VELT::GraphConfigNode> graphFor(const PathCase& c) {
    auto root = std::make_unique<VELT::GraphConfigNode>();
    VELT::GraphConfigNode* graph = addChild(root.get(), "graph");
    addStr(graph, "type", "graph");
    addStr(graph, "version", c.version);
    VELT::GraphConfigNode* group = addBlock(root.get(), "isa_pg", c.groupType);
    zovesk_test::addInt(group, "stream_id", 0);
    if (c.klink) {
        VELT::GraphConfigNode* klink = addChild(group, "klink");
        addStr(klink, "source", "input");
        addStr(klink, "destination", "output");
    }
    return root;
}

class PathChoice : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathChoice, DecidesFromGenerationAndKlinks) {
    const PathCase& c = GetParam();
    auto root = graphFor(c);
    int32_t generation = -1;
    EXPECT_EQ(c.subgraphPath, QelPekUtils::takesSubgraphPath(
                                  *root, VELT::IspUtils::Factory(root.get()), &generation));
    EXPECT_EQ(c.generation, generation);
    // The generation is optional.
    EXPECT_EQ(c.subgraphPath,
              QelPekUtils::takesSubgraphPath(*root, VELT::IspUtils::Factory(root.get())));
}

TEST_P(PathChoice, IsThePathInitTakes) {
    const PathCase& c = GetParam();
    auto root = graphFor(c);
    zovesk_test::LogCapture log;
    QelPekUtils pek(true);
    (void)pek.initPekUtils(root.get());  // these tiny graphs need not build
    EXPECT_EQ(c.subgraphPath, log.contains("GraphSettings analysis started"));
    EXPECT_EQ(!c.subgraphPath, log.contains("PEK utils initialized with"));
}

INSTANTIATE_TEST_SUITE_P(Graphs, PathChoice, ::testing::ValuesIn(kPathCases),
                         [](const ::testing::TestParamInfo<PathCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(PathChoice, WithoutGenerationUtilityOnlyKlinksCount) {
    for (bool klink : {false, true}) {
        SCOPED_TRACE(klink);
        auto root = graphFor({"", "ORBA7.0", "program_group", klink, false, 0});
        int32_t generation = -1;
        EXPECT_EQ(klink, QelPekUtils::takesSubgraphPath(*root, nullptr, &generation));
        EXPECT_EQ(klink ? 6 : 0, generation);
    }
}

TEST(PathChoice, AskingLogsNothing) {
    auto root = graphFor(kPathCases[1]);
    std::shared_ptr<VELT::IspUtils> isp = VELT::IspUtils::Factory(root.get());
    zovesk_test::LogCapture log;
    EXPECT_TRUE(QelPekUtils::takesSubgraphPath(*root, isp));
    EXPECT_TRUE(log.records().empty());
}

}  // namespace
