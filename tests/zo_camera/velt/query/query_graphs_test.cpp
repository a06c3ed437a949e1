// The version check and the settings queries of GraphQueryManager.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/examples.h"
#include "support/log_capture.h"
#include "support/parse_text.h"
#include "velt_graph_config_node.h"
#include "velt_graph_query_manager.h"
#include "velt_item_uid.h"
#include "velt_keys.h"
#include "zo_log_common.h"

namespace {

using VELT::GraphConfigNode;
using VELT::GraphQueryCriteria;
using VELT::GraphQueryManager;
using VELT::IGraphConfig;
using VELT::ItemUID;
using zovesk_test::LogCapture;
using zovesk_test::parseText;
using zovesk_test::TreePtr;

constexpr const char* kMismatch = "version is not matching graph descriptor";

TreePtr descriptorWithVersion(const std::string& version) {
    const std::string attribute = version.empty() ? "" : " version=\"" + version + "\"";
    return parseText("<graph_descriptor" + attribute + "><nodes/></graph_descriptor>");
}

TreePtr settingsWithVersion(const std::string& version) {
    const std::string attribute = version.empty() ? "" : " version=\"" + version + "\"";
    return parseText("<graph_settings" + attribute +
                     ">"
                     "<settings key=\"1\" id=\"100\" fps=\"30\">"
                     "<video width=\"1920\" height=\"1080\" format=\"NV12\"/></settings>"
                     "<settings key=\"2\" id=\"100\" fps=\"60\">"
                     "<video width=\"1280\" height=\"720\" format=\"NV12\"/></settings>"
                     "<sensor_modes/>"
                     "<settings key=\"3\" id=\"101\" fps=\"30\" top=\"-5\">"
                     "<video width=\"1920\" height=\"1080\" format=\"P010\"/></settings>"
                     "</graph_settings>");
}

std::vector<int> keysOf(const std::vector<IGraphConfig*>& entries) {
    std::vector<int> keys;
    for (const IGraphConfig* entry : entries) {
        int key = -1;
        entry->getValue(VELT::kKeyKey, key);
        keys.push_back(key);
    }
    return keys;
}

class GraphQueryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        descriptor_ = descriptorWithVersion("1");
        settings_ = settingsWithVersion("1.3");
        ASSERT_TRUE(descriptor_);
        ASSERT_TRUE(settings_);
        manager_.setGraphDescriptor(descriptor_.get());
        manager_.setGraphSettings(settings_.get());
    }

    std::vector<int> query(const GraphQueryCriteria& criteria, bool strict,
                           int expectedStatus = 0) {
        std::vector<IGraphConfig*> results;
        EXPECT_EQ(manager_.queryGraphs(criteria, results, strict), expectedStatus);
        return keysOf(results);
    }

    TreePtr descriptor_;
    TreePtr settings_;
    GraphQueryManager manager_;
};

TEST(GraphQueryVersionTest, TreesMustBeSetBeforeAnything) {
    GraphQueryManager manager;
    EXPECT_EQ(manager.validateSettingsAgainstDescriptor(), -8);
    TreePtr settings = settingsWithVersion("1.0");
    manager.setGraphSettings(settings.get());
    EXPECT_EQ(manager.validateSettingsAgainstDescriptor(), -8);

    IGraphConfig* untouched = settings.get();
    std::vector<IGraphConfig*> results{untouched};
    LogCapture log;
    EXPECT_EQ(manager.queryGraphs({}, results, true), -8);
    EXPECT_EQ(manager.queryGraphs({}, {settings.get()}, results, true), -8);
    EXPECT_EQ(results, std::vector<IGraphConfig*>{untouched});
    EXPECT_TRUE(log.records().empty());
}

TEST(GraphQueryVersionTest, TheSettingsVersionUpToItsFirstPointMustEqualTheDescriptors) {
    struct Case {
        std::string descriptor;
        std::string settings;
        bool warns;
    };
    const std::vector<Case> cases = {
        {"1", "1.3", false}, {"1", "1", false},   {"1.3", "1.3", true},
        {"1", "2.3", true},  {"1", "10.1", true}, {"ORBA5", "ORBA5.3.1", false},
        {"", "", false},     {"1", "", true},
    };
    for (const Case& c : cases) {
        TreePtr descriptor = descriptorWithVersion(c.descriptor);
        TreePtr settings = settingsWithVersion(c.settings);
        GraphQueryManager manager;
        manager.setGraphDescriptor(descriptor.get());
        manager.setGraphSettings(settings.get());
        LogCapture log;
        EXPECT_EQ(manager.validateSettingsAgainstDescriptor(), 0);
        EXPECT_EQ(log.contains(ZO_LOG_WARNING, kMismatch), c.warns)
            << c.descriptor << " / " << c.settings;
        EXPECT_EQ(log.contains(ZO_LOG_WARNING, "Couldn't get version from graph descriptor"),
                  c.descriptor.empty());
        EXPECT_EQ(log.contains(ZO_LOG_WARNING, "Couldn't get version from graph settings"),
                  c.settings.empty());
    }
}

TEST_F(GraphQueryTest, StrictNeedsEveryCriterionAndNonStrictAnyOne) {
    const GraphQueryCriteria criteria = {{ItemUID("id"), "100"},
                                         {ItemUID("video:width"), "1920"},
                                         {ItemUID("video:format"), "NV12"}};
    EXPECT_EQ(query(criteria, true), std::vector<int>({1}));
    EXPECT_EQ(query(criteria, false), std::vector<int>({1, 2, 3}));

    // Entry 3 meets one criterion of three.
    const GraphQueryCriteria oneOfThree = {
        {ItemUID("id"), "101"}, {ItemUID("video:width"), "1"}, {ItemUID("fps"), "1"}};
    EXPECT_EQ(query(oneOfThree, false), std::vector<int>({3}));
    LogCapture log;
    EXPECT_EQ(query(oneOfThree, true, -2), std::vector<int>());
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "No settings matching the query found"));
}

TEST_F(GraphQueryTest, IntegersMatchTheirDecimalText) {
    EXPECT_EQ(query({{ItemUID("top"), "-5"}}, true), std::vector<int>({3}));
    EXPECT_EQ(query({{ItemUID("fps"), "30"}}, true), std::vector<int>({1, 3}));
    EXPECT_EQ(query({{ItemUID("fps"), "030"}}, false, -2), std::vector<int>());
    EXPECT_EQ(query({{ItemUID("fps"), "30 "}}, false, -2), std::vector<int>());
    EXPECT_EQ(query({{ItemUID("video:format"), "nv12"}}, false, -2), std::vector<int>());
}

TEST_F(GraphQueryTest, AnEmptyQueryMatchesEverythingStrictlyAndNothingOtherwise) {
    EXPECT_EQ(query({}, true), std::vector<int>({1, 2, 3}));
    EXPECT_EQ(query({}, false, -2), std::vector<int>());
}

TEST_F(GraphQueryTest, MissingNodesAndAttributesAreNeverMet) {
    const uint32_t missingNode = ItemUID::generateKey("qm_missing_node");
    const GraphQueryCriteria criteria = {{ItemUID("id"), "100"},
                                         {ItemUID({missingNode, VELT::kKeyWidth}), "1920"},
                                         {ItemUID("video:height"), "1080"}};
    // The missing node sorts between the two met criteria.
    ASSERT_EQ(std::next(criteria.begin())->first, ItemUID({missingNode, VELT::kKeyWidth}));
    GraphQueryManager& manager = manager_;
    std::vector<IGraphConfig*> results;
    ASSERT_EQ(manager.queryGraphs({}, results, false), -2);  // sets non-strict
    size_t matches = 0;
    manager.goThroughSearchItems(criteria, settings_->getDescendant(VELT::kKeySettings), matches);
    EXPECT_EQ(matches, 2u);

    ASSERT_EQ(manager.queryGraphs({}, results, true), 0);  // sets strict
    results.clear();
    matches = 0;
    manager.goThroughSearchItems(criteria, settings_->getDescendant(VELT::kKeySettings), matches);
    EXPECT_EQ(matches, 1u);

    // An attribute that is a node, or absent, is not met either.
    EXPECT_EQ(query({{ItemUID("video"), "x"}}, false, -2), std::vector<int>());
    EXPECT_EQ(query({{ItemUID("video:bpp"), "0"}}, false, -2), std::vector<int>());
    EXPECT_EQ(query({{ItemUID(), ""}}, false, -2), std::vector<int>());
}

TEST_F(GraphQueryTest, ListQueriesSearchOnlyTheCandidatesInListOrder) {
    std::vector<IGraphConfig*> broad;
    ASSERT_EQ(manager_.queryGraphs({{ItemUID("video:width"), "1920"}}, broad, true), 0);
    ASSERT_EQ(keysOf(broad), std::vector<int>({1, 3}));

    std::vector<IGraphConfig*> reversed(broad.rbegin(), broad.rend());
    reversed.insert(reversed.begin() + 1, nullptr);
    std::vector<IGraphConfig*> narrow;
    EXPECT_EQ(manager_.queryGraphs({{ItemUID("fps"), "30"}}, reversed, narrow, true), 0);
    EXPECT_EQ(keysOf(narrow), std::vector<int>({3, 1}));

    std::vector<IGraphConfig*> none;
    LogCapture log;
    EXPECT_EQ(manager_.queryGraphs({}, {}, none, true), -2);
    EXPECT_TRUE(none.empty());
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "No settings matching the query found"));
}

TEST_F(GraphQueryTest, ResultsAreAppendedNotReplaced) {
    std::vector<IGraphConfig*> results;
    EXPECT_EQ(manager_.queryGraphs({{ItemUID("id"), "101"}}, results, true), 0);
    EXPECT_EQ(manager_.queryGraphs({{ItemUID("fps"), "60"}}, results, true), 0);
    // Nothing matches now, but the list is not empty, so this is no failure.
    EXPECT_EQ(manager_.queryGraphs({{ItemUID("fps"), "5"}}, results, true), 0);
    EXPECT_EQ(manager_.queryGraphs({{ItemUID("fps"), "30"}}, results, false), 0);
    EXPECT_EQ(keysOf(results), std::vector<int>({3, 2, 1, 3}));
}

TEST_F(GraphQueryTest, CountsGoBeyondSixteenBits) {
    // An entry with 70000 child nodes, each holding "width" = 1.
    constexpr uint32_t kChildren = 70000;
    constexpr uint32_t kFirstKey = 20000;  // clear of the integer key range
    GraphConfigNode entry;
    GraphQueryCriteria criteria;
    for (uint32_t i = 0; i < kChildren; ++i) {
        auto* child = new GraphConfigNode();
        ASSERT_EQ(child->addValue(VELT::kKeyWidth, 1), 0);
        ASSERT_EQ(entry.insertDescendant(child, kFirstKey + i), 0);
        criteria.emplace(ItemUID({kFirstKey + i, VELT::kKeyWidth}), "1");
    }
    std::vector<IGraphConfig*> results;
    EXPECT_EQ(manager_.queryGraphs(criteria, {&entry}, results, true), 0);
    EXPECT_EQ(results.size(), 1u);

    // A candidate list longer than 65535 entries is searched to its end.
    const std::vector<IGraphConfig*> candidates(kChildren, &entry);
    results.clear();
    EXPECT_EQ(manager_.queryGraphs({{ItemUID({kFirstKey + kChildren - 1, VELT::kKeyWidth}), "1"}},
                                   candidates, results, true),
              0);
    EXPECT_EQ(results.size(), static_cast<size_t>(kChildren));
}

TEST(GraphQueryExamplesTest, TheBundledDocumentsAnswerQueries) {
    TreePtr descriptor = zovesk_test::parseFile(zovesk_test::examplePath("camera_descriptor.xml"));
    TreePtr settings = zovesk_test::parseFile(zovesk_test::examplePath("camera_settings.xml"));
    ASSERT_TRUE(descriptor);
    ASSERT_TRUE(settings);
    GraphQueryManager manager;
    manager.setGraphDescriptor(descriptor.get());
    manager.setGraphSettings(settings.get());

    LogCapture log;
    std::vector<IGraphConfig*> results;
    EXPECT_EQ(manager.queryGraphs(
                  {{ItemUID("video:width"), "1280"}, {ItemUID("video:format"), "YUV420_8_SP"}},
                  results, true),
              0);
    EXPECT_EQ(keysOf(results), std::vector<int>({6001}));
    EXPECT_FALSE(log.contains(ZO_LOG_WARNING, kMismatch));

    results.clear();
    EXPECT_EQ(manager.queryGraphs({{ItemUID("id"), "101"}}, results, true), 0);
    EXPECT_EQ(keysOf(results), std::vector<int>({6100, 6101}));
    std::vector<IGraphConfig*> binned;
    EXPECT_EQ(manager.queryGraphs({{ItemUID("sensor:mode_id"), "2104x1560_binned"}}, results,
                                  binned, true),
              0);
    EXPECT_EQ(keysOf(binned), std::vector<int>({6101}));
}

}  // namespace
