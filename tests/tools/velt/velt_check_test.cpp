// velt check: the version check and every entry's result graph and kernel lists.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/examples.h"
#include "tool_runner.h"

namespace velt_test {
namespace {

// The bundled settings with one more entry, whose graph id is unknown.
std::string settingsWithBrokenEntry() {
    std::string text = readFile(settingsPath());
    std::string broken = "<settings key=\"7000\" id=\"555\" fps=\"30\"/>\n</graph_settings>";
    text.replace(text.rfind("</graph_settings>"), std::string("</graph_settings>").size(), broken);
    return text;
}

TEST(VeltCheck, BundledDocumentsPass) {
    ToolResult result = runVelt({"check", descriptorPath(), settingsPath(), "--format", "json"});
    ASSERT_EQ(result.status, 0) << result.out << result.err;
    nlohmann::json report = nlohmann::json::parse(result.out)["check"];
    EXPECT_TRUE(report["ok"]);
    EXPECT_TRUE(report["version"]["matching"]);
    ASSERT_EQ(report["entries"].size(), 5u);
    for (const auto& entry : report["entries"]) {
        EXPECT_TRUE(entry["ok"]) << entry.dump();
        EXPECT_EQ(entry["graph"]["status"], 0);
        EXPECT_EQ(entry["kernels"]["status"], 0);
        // The builder's dumps (error level) are not reported after a success.
        for (const auto& message : entry["kernels"]["messages"]) {
            EXPECT_EQ(message["level"], "warning") << message.dump();
        }
    }

    ToolResult text = runVelt({"check", descriptorPath() + ".gz", settingsPath() + ".gz"});
    EXPECT_EQ(text.status, 0) << text.out;
    EXPECT_NE(text.out.find("settings 6000 (graph 100): ok"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("5 entries, 5 ok, 0 failed"), std::string::npos) << text.out;
}

TEST(VeltCheck, BrokenEntryFailsWithTheLibrarysMessage) {
    TempFile settings(settingsWithBrokenEntry(), ".xml");
    ToolResult result = runVelt({"check", descriptorPath(), settings.path(), "--format", "json"});
    EXPECT_EQ(result.status, 1);
    nlohmann::json report = nlohmann::json::parse(result.out)["check"];
    EXPECT_FALSE(report["ok"]);
    ASSERT_EQ(report["entries"].size(), 6u);
    size_t failed = 0;
    for (const auto& entry : report["entries"]) {
        if (entry["key"] == 7000) {
            EXPECT_FALSE(entry["ok"]);
            EXPECT_EQ(entry["graph"]["status"], -8);
            EXPECT_FALSE(entry.contains("kernels"));
            ASSERT_FALSE(entry["graph"]["messages"].empty());
            EXPECT_NE(entry["graph"]["messages"][0]["text"].get<std::string>().find(
                          "could not find graph with id 555"),
                      std::string::npos);
        }
        failed += entry["ok"] ? 0 : 1;
    }
    EXPECT_EQ(failed, 1u);
    EXPECT_EQ(report["summary"]["failed"], 1);

    ToolResult text = runVelt({"check", descriptorPath(), settings.path()});
    EXPECT_EQ(text.status, 1);
    EXPECT_NE(text.out.find("settings 7000 (graph 555): FAILED"), std::string::npos) << text.out;
}

TEST(VeltCheck, BadKernelIdsFailTheKernelListsOfTheirGraph) {
    TempFile descriptor(descriptorWithBadKernelIds(), ".xml");
    ToolResult result = runVelt({"check", descriptor.path(), settingsPath(), "--format", "json"});
    EXPECT_EQ(result.status, 1);
    nlohmann::json report = nlohmann::json::parse(result.out)["check"];
    for (const auto& entry : report["entries"]) {
        EXPECT_EQ(entry["graph"]["status"], 0) << entry.dump();
        if (entry["graph_id"] != 100) {
            // The raw capture graph has no program groups.
            EXPECT_TRUE(entry["ok"]) << entry.dump();
            continue;
        }
        EXPECT_FALSE(entry["ok"]);
        EXPECT_EQ(entry["kernels"]["status"], -16) << entry.dump();
        EXPECT_NE(entry["kernels"]["messages"].dump().find("Bad kernel id(s)"), std::string::npos)
            << entry.dump();
    }
    EXPECT_EQ(report["summary"]["failed"], 3);
}

TEST(VeltCheck, NewerGenerationDocumentsPass) {
    for (const std::string prefix : {"orba6", "orba7"}) {
        ToolResult result =
            runVelt({"check", zovesk_test::builtExamplePath(prefix + "_descriptor.xml"),
                     zovesk_test::builtExamplePath(prefix + "_settings.xml.gz")});
        EXPECT_EQ(result.status, 0) << prefix << "\n" << result.out << result.err;
        EXPECT_NE(result.out.find("1 entries, 1 ok, 0 failed"), std::string::npos) << result.out;

        // Each settings version is its descriptor's version plus a revision.
        ToolResult json =
            runVelt({"check", zovesk_test::builtExamplePath(prefix + "_descriptor.xml"),
                     zovesk_test::builtExamplePath(prefix + "_settings.xml"), "--format", "json"});
        ASSERT_EQ(json.status, 0) << json.err;
        EXPECT_TRUE(nlohmann::json::parse(json.out)["check"]["version"]["matching"]) << prefix;
    }
}

TEST(VeltCheck, VersionMismatchIsAWarningOnly) {
    std::string text = readFile(settingsPath());
    text.replace(text.find("version=\"ORBA5.3\""), std::string("version=\"ORBA5.3\"").size(),
                 "version=\"ORBA6.1\"");
    TempFile settings(text, ".xml");
    ToolResult result = runVelt({"check", descriptorPath(), settings.path(), "--format", "json"});
    EXPECT_EQ(result.status, 0) << result.out;
    nlohmann::json report = nlohmann::json::parse(result.out)["check"];
    EXPECT_FALSE(report["version"]["matching"]);
    EXPECT_EQ(report["version"]["messages"][0]["level"], "warning");
}

}  // namespace
}  // namespace velt_test
