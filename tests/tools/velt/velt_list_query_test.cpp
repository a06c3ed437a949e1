// velt list and velt query over the bundled documents.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <set>

#include "tool_runner.h"

namespace velt_test {
namespace {

std::vector<int> keysOf(const nlohmann::json& entries) {
    std::vector<int> keys;
    for (const auto& entry : entries) {
        keys.push_back(entry["key"]);
    }
    return keys;
}

TEST(VeltList, OneEntryPerSettingsWithSinkSizes) {
    ToolResult result = runVelt({"list", settingsPath(), "--format", "json"});
    ASSERT_EQ(result.status, 0) << result.err;
    nlohmann::json entries = nlohmann::json::parse(result.out)["entries"];
    EXPECT_EQ(keysOf(entries), (std::vector<int>{6000, 6001, 6002, 6100, 6101}));
    const auto& first = entries[0];
    EXPECT_EQ(first["graph_id"], 100);
    EXPECT_EQ(first["sensor_mode"], "4208x3120_full");
    ASSERT_EQ(first["outputs"].size(), 2u);
    for (const auto& output : first["outputs"]) {
        EXPECT_GT(output["width"].get<int>(), 0);
        EXPECT_GT(output["height"].get<int>(), 0);
        EXPECT_EQ(output["format"], "YUV420_8_SP");
    }
    EXPECT_EQ(entries[3]["outputs"][0]["name"], "raw");
}

TEST(VeltList, GzipCopyGivesTheSameTable) {
    ToolResult plain = runVelt({"list", settingsPath()});
    ToolResult packed = runVelt({"list", settingsPath() + ".gz"});
    ASSERT_EQ(plain.status, 0);
    ASSERT_EQ(packed.status, 0) << packed.err;
    EXPECT_EQ(plain.out, packed.out);
    // Header, rule, five entries.
    EXPECT_EQ(std::count(plain.out.begin(), plain.out.end(), '\n'), 7);
}

TEST(VeltQuery, StrictNeedsEveryCriterionLooseAny) {
    std::vector<std::string> base = {"query",
                                     descriptorPath(),
                                     settingsPath(),
                                     "id=100",
                                     "sensor:mode_id=2104x1560_binned",
                                     "--format",
                                     "json"};
    ToolResult loose = runVelt(base);
    ASSERT_EQ(loose.status, 0) << loose.err;
    EXPECT_EQ(keysOf(nlohmann::json::parse(loose.out)["entries"]),
              (std::vector<int>{6000, 6001, 6002, 6101}));

    base.push_back("--strict");
    ToolResult strict = runVelt(base);
    ASSERT_EQ(strict.status, 0) << strict.err;
    EXPECT_EQ(keysOf(nlohmann::json::parse(strict.out)["entries"]), (std::vector<int>{6001}));
}

TEST(VeltQuery, GzipDocumentsAndNoMatch) {
    ToolResult packed =
        runVelt({"query", descriptorPath() + ".gz", settingsPath() + ".gz", "fps=90"});
    ASSERT_EQ(packed.status, 0) << packed.err;
    EXPECT_NE(packed.out.find("6002"), std::string::npos);
    EXPECT_EQ(packed.out.find("6000"), std::string::npos);

    ToolResult none = runVelt({"query", descriptorPath(), settingsPath(), "fps=45"});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(none.out.empty());
    EXPECT_NE(none.err.find("no settings entry matches"), std::string::npos);
}

TEST(VeltQuery, BadCriteriaAreRefused) {
    for (const char* criterion : {"fps", "=30", "no_such_attribute=1"}) {
        ToolResult result = runVelt({"query", descriptorPath(), settingsPath(), criterion});
        EXPECT_EQ(result.status, 2) << criterion;
        EXPECT_FALSE(result.err.empty()) << criterion;
    }
    ToolResult twice = runVelt({"query", descriptorPath(), settingsPath(), "fps=30", "fps=60"});
    EXPECT_EQ(twice.status, 2);
}

}  // namespace
}  // namespace velt_test
