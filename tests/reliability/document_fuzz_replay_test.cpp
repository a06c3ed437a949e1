// The reader and road fuzz targets on their former findings and on the
// bundled documents, which are also their seeds.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "fuzz/targets/reader_target.h"
#include "fuzz/targets/road_target.h"
#include "reliability/fuzz_inputs.h"
#include "support/examples.h"
#include "support/log_capture.h"

namespace {

void runReader(const std::string& input) {
    zovesk_fuzz::runReaderTarget(reinterpret_cast<const uint8_t*>(input.data()), input.size());
}

void runRoad(const std::string& input) {
    zovesk_fuzz::runRoadTarget(reinterpret_cast<const uint8_t*>(input.data()), input.size());
}

TEST(DocumentFuzzReplay, FormerReaderFindingsRunClean) {
    zovesk_test::LogCapture log;
    for (const auto& input : zovesk_test::regressionInputs("reader")) {
        runReader(input);
    }
    runReader("");
    runReader("<");
}

TEST(DocumentFuzzReplay, FormerRoadFindingsRunClean) {
    zovesk_test::LogCapture log;
    for (const auto& input : zovesk_test::regressionInputs("road")) {
        runRoad(input);
    }
    runRoad("");
}

TEST(DocumentFuzzReplay, SeedsReadIntoWholeTrees) {
    zovesk_test::LogCapture log;
    for (const char* name : {"camera_descriptor.xml", "camera_settings.xml"}) {
        const std::string text = zovesk_test::readFile(zovesk_test::examplePath(name));
        ASSERT_FALSE(text.empty()) << name;
        VELT::VELTParser parser;
        const auto root = zovesk_fuzz::readDocument(parser, text);
        ASSERT_NE(root, nullptr) << name;
        // More than the root and its first level: the walk reaches the leaves.
        EXPECT_GT(zovesk_fuzz::walkTree(root.get()), 10u) << name;
        runReader(text);
    }
}

TEST(DocumentFuzzReplay, BundledSettingsTravelTheRoad) {
    zovesk_test::LogCapture log;
    ASSERT_NE(zovesk_fuzz::bundledDescriptor(), nullptr);
    const std::string settings =
        zovesk_test::readFile(zovesk_test::examplePath("camera_settings.xml"));
    const zovesk_fuzz::RoadOutcome whole = zovesk_fuzz::runRoad(settings);
    EXPECT_GT(whole.entries, 1u);
    EXPECT_EQ(whole.graphsBuilt, whole.entries);
    // A document that breaks off inside the second entry still yields the first.
    const size_t cut = settings.find("<settings", settings.find("<settings") + 1);
    ASSERT_NE(cut, std::string::npos);
    EXPECT_EQ(zovesk_fuzz::runRoad(settings.substr(0, cut + 5)).entries, 1u);
}

// The settings' version picks the descriptor of their generation, so the road
// reaches both kernel-list builders: per execution context (generation 5) and
// by subgraphs (generations 6 and 7).
TEST(DocumentFuzzReplay, EveryGenerationReachesKernelListsAndFrameParams) {
    zovesk_test::LogCapture log;
    for (const char* name : {"camera_settings.xml", "orba6_settings.xml", "orba7_settings.xml"}) {
        const zovesk_fuzz::RoadOutcome outcome =
            zovesk_fuzz::runRoad(zovesk_test::readFile(zovesk_test::examplePath(name)));
        EXPECT_GT(outcome.graphsBuilt, 0u) << name;
        EXPECT_EQ(outcome.kernelListsBuilt, outcome.graphsBuilt) << name;
        EXPECT_GT(outcome.runKernels, 0u) << name;
        EXPECT_EQ(outcome.frameParams, outcome.graphsBuilt) << name;
    }
}

}  // namespace
