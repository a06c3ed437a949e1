// The inspection subcommands: modes, list of a descriptor, diff, and
// query --explain.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <map>

#include "support/examples.h"
#include "tool_runner.h"

namespace velt_test {
namespace {

nlohmann::json payload(const std::vector<std::string>& arguments, const std::string& member) {
    std::vector<std::string> withJson = arguments;
    withJson.insert(withJson.end(), {"--format", "json"});
    ToolResult result = runVelt(withJson);
    EXPECT_EQ(result.status, 0) << result.err;
    nlohmann::json output = nlohmann::json::parse(result.out, nullptr, false);
    return output.is_object() ? output[member] : nlohmann::json();
}

TEST(VeltModes, SizesBinningScalingAndTheEntriesThatChooseThem) {
    nlohmann::json modes = payload({"modes", settingsPath()}, "sensor_modes");
    EXPECT_EQ(modes["sensor_type"], "bayer");
    ASSERT_EQ(modes["modes"].size(), 3u);
    std::map<std::string, nlohmann::json> byName;
    for (const auto& mode : modes["modes"]) {
        byName[mode["name"]] = mode;
    }
    const nlohmann::json& scaled = byName["1400x1040_scaled"];
    EXPECT_EQ(scaled["width"], 1400);
    EXPECT_EQ(scaled["fps"], 90);
    EXPECT_EQ(scaled["pixel_array"]["input_crop"]["left"], 4);
    EXPECT_EQ(scaled["pixel_array"]["output_width"], 4200);
    EXPECT_EQ(scaled["binner"]["h_factor"], 2);
    EXPECT_EQ(scaled["binner"]["resolution"]["output_width"], 2100);
    EXPECT_EQ(scaled["scaler"]["num_factor"], 2);
    EXPECT_EQ(scaled["scaler"]["denom_factor"], 3);
    EXPECT_EQ(scaled["entries"], nlohmann::json({6002}));
    EXPECT_EQ(byName["4208x3120_full"]["entries"], nlohmann::json({6000, 6100}));
    EXPECT_EQ(byName["4208x3120_full"]["binner"]["v_factor"], 1);

    ToolResult table = runVelt({"modes", settingsPath() + ".gz"});
    ASSERT_EQ(table.status, 0) << table.err;
    EXPECT_NE(table.out.find("4208x3120 crop(4,0,4,0) -> 4200x3120"), std::string::npos)
        << table.out;
    EXPECT_NE(table.out.find("2/3"), std::string::npos) << table.out;

    TempFile noModes(
        "<graph_settings version=\"ORBA5.1\"><settings key=\"1\" id=\"2\"/>"
        "</graph_settings>",
        ".xml");
    ToolResult missing = runVelt({"modes", noModes.path()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no <sensor_modes>"), std::string::npos) << missing.err;
}

TEST(VeltListDescriptor, GraphsBlocksAndKernelsWithCounts) {
    nlohmann::json graphs = payload({"list", descriptorPath()}, "graphs");
    ASSERT_EQ(graphs.size(), 2u);
    const nlohmann::json& preview = graphs[0];
    EXPECT_EQ(preview["name"], "preview_capture");
    EXPECT_EQ(preview["id"], 100);
    EXPECT_EQ(preview["connection_count"], 8);
    EXPECT_EQ(preview["block_count"], 9);
    EXPECT_EQ(preview["kernel_count"], 5 + 4 + 3);
    std::map<std::string, nlohmann::json> blocks;
    for (const auto& block : preview["blocks"]) {
        blocks[block["name"]] = block;
    }
    EXPECT_EQ(blocks["isa_pg"]["kernels"][0], "isa_blc");
    // A block built from a base node has the base node's type and kernels.
    EXPECT_EQ(blocks["still_pg"]["base_node"], "pg_base");
    EXPECT_EQ(blocks["still_pg"]["type"], "program_group");
    EXPECT_EQ(blocks["still_pg"]["kernel_count"], 3);
    EXPECT_EQ(blocks["video"]["type"], "sink");
    EXPECT_EQ(graphs[1]["kernel_count"], 0);

    // Generation 7 groups are compute blocks.
    nlohmann::json newer =
        payload({"list", zovesk_test::builtExamplePath("orba7_descriptor.xml")}, "graphs");
    ASSERT_FALSE(newer.empty());
    EXPECT_GT(newer[0]["kernel_count"].get<int>(), 0) << newer.dump();

    ToolResult text = runVelt({"list", descriptorPath()});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("graph 100 preview_capture: 8 connections, 9 blocks, 12 kernels"),
              std::string::npos)
        << text.out;

    TempFile neither("<graph_descriptor version=\"1\"><nodes/></graph_descriptor>", ".xml");
    ToolResult refused = runVelt({"list", neither.path()});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("neither a graph descriptor"), std::string::npos) << refused.err;
}

// The changes of one diff section by path, as {a, b}.
std::map<std::string, nlohmann::json> changesOf(const nlohmann::json& section) {
    std::map<std::string, nlohmann::json> changes;
    for (const auto& change : section["changes"]) {
        changes[change["path"]] = {change["a"], change["b"]};
    }
    return changes;
}

TEST(VeltDiff, SettingsResultGraphsAndKernelLists) {
    nlohmann::json diff =
        payload({"diff", descriptorPath(), settingsPath(), "6000", "6001"}, "diff");
    EXPECT_EQ(diff["a"], 6000);
    EXPECT_EQ(diff["b"], 6001);
    auto settings = changesOf(diff["settings"]);
    EXPECT_EQ(settings["fps"], nlohmann::json({"30", "60"}));
    EXPECT_EQ(settings["sensor:mode_id"], nlohmann::json({"4208x3120_full", "2104x1560_binned"}));
    EXPECT_EQ(settings["isa_pg:raw_out:width"], nlohmann::json({nullptr, "2048"}));
    EXPECT_EQ(settings.count("key"), 0u);

    auto graph = changesOf(diff["result_graph"]);
    // Only 6001 asks for the raw stream: its port is connected, not disabled.
    EXPECT_EQ(graph["isa_pg:raw_out:peer"], nlohmann::json({nullptr, "raw"}));
    EXPECT_EQ(graph["isa_pg:raw_out:enabled"], nlohmann::json({"0", nullptr}));
    EXPECT_EQ(graph["raw"], nlohmann::json({nullptr, "sink"}));
    EXPECT_EQ(graph["video:width"], nlohmann::json({"1920", "1280"}));
    // The same peers on both sides are no difference.
    EXPECT_EQ(graph.count("isa_pg:output:peer"), 0u);

    auto kernels = changesOf(diff["kernel_lists"]);
    EXPECT_EQ(kernels["stream 2:video_pg:vid_dvs:enable"], nlohmann::json({"disabled", "enabled"}));
    EXPECT_EQ(kernels["stream 1:isa_pg:isa_bds:resolution"],
              nlohmann::json({"4192x3104 crop(48,16,48,16) -> 4096x3072",
                              "2096x1552 crop(24,8,24,8) -> 2048x1536"}));

    ToolResult text = runVelt({"diff", descriptorPath(), settingsPath(), "6000", "6001"});
    ASSERT_EQ(text.status, 0) << text.err;
    for (const char* line : {"== settings:", "== result graph:", "== kernel lists:",
                             "stream 2:video_pg:vid_dvs:enable"}) {
        EXPECT_NE(text.out.find(line), std::string::npos) << line << "\n" << text.out;
    }
}

TEST(VeltDiff, AnEntryAgainstItselfAndFailedSides) {
    nlohmann::json same =
        payload({"diff", descriptorPath(), settingsPath(), "6002", "6002"}, "diff");
    for (const char* section : {"settings", "result_graph", "kernel_lists"}) {
        EXPECT_TRUE(same[section]["changes"].empty()) << section << same.dump();
        EXPECT_TRUE(same[section]["error"].is_null()) << section;
    }

    // A side whose kernel lists fail is compared as far as it goes.
    TempFile descriptor(descriptorWithBadKernelIds(), ".xml");
    nlohmann::json broken =
        payload({"diff", descriptor.path(), settingsPath(), "6000", "6100"}, "diff");
    EXPECT_FALSE(broken["settings"]["changes"].empty());
    EXPECT_FALSE(broken["result_graph"]["changes"].empty());
    EXPECT_TRUE(broken["kernel_lists"]["changes"].is_null());
    EXPECT_NE(broken["kernel_lists"]["error"].get<std::string>().find("settings 6000"),
              std::string::npos);

    ToolResult unknown = runVelt({"diff", descriptorPath(), settingsPath(), "6000", "42"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("no settings entry with key 42"), std::string::npos);
}

TEST(VeltQueryExplain, CountsPerCriterionAndTheNearestEntries) {
    std::vector<std::string> arguments = {"query",  descriptorPath(), settingsPath(),
                                          "id=100", "fps=60",         "--explain"};
    nlohmann::json loose = payload(arguments, "explain");
    EXPECT_EQ(loose["entries"], 5);
    ASSERT_EQ(loose["criteria"].size(), 2u);
    EXPECT_EQ(loose["criteria"][0]["criterion"], "id=100");
    EXPECT_EQ(loose["criteria"][0]["entries"], 3);
    EXPECT_EQ(loose["criteria"][1]["entries"], 2);
    EXPECT_EQ(loose["meeting_all"], 1);
    EXPECT_EQ(loose["meeting_any"], 4);
    EXPECT_TRUE(loose["nearest"].empty());

    // Nothing meets every criterion: the failure carries the explanation.
    arguments = {"query",    descriptorPath(), settingsPath(), "id=100", "sensor:mode_id=nope",
                 "--strict", "--explain",      "--format",     "json"};
    ToolResult none = runVelt(arguments);
    EXPECT_EQ(none.status, 1);
    nlohmann::json error = nlohmann::json::parse(none.out)["error"];
    const nlohmann::json& explain = error["details"]["explain"];
    EXPECT_EQ(explain["meeting_all"], 0);
    ASSERT_EQ(explain["nearest"].size(), 3u);
    const nlohmann::json& nearest = explain["nearest"][0];
    EXPECT_EQ(nearest["key"], 6000);
    EXPECT_EQ(nearest["met"], 1);
    ASSERT_EQ(nearest["unmet"].size(), 1u);
    EXPECT_EQ(nearest["unmet"][0]["actual"], "4208x3120_full");

    arguments.resize(arguments.size() - 2);
    ToolResult text = runVelt(arguments);
    EXPECT_EQ(text.status, 1);
    EXPECT_NE(
        text.out.find("6000 meets 1 of 2: sensor:mode_id is \"4208x3120_full\", not \"nope\""),
        std::string::npos)
        << text.out;
    EXPECT_NE(text.err.find("no settings entry matches all criteria"), std::string::npos);
}

}  // namespace
}  // namespace velt_test
