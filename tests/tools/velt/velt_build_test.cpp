// velt build: the result graph as a tree, as JSON and as a DOT picture.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <map>

#include "tool_runner.h"

namespace velt_test {
namespace {

ToolResult build(const std::string& key, const std::string& format) {
    return runVelt({"build", descriptorPath(), settingsPath(), "--key", key, "--format", format});
}

const nlohmann::json* findBlock(const nlohmann::json& graph, const std::string& name) {
    for (const auto& block : graph["blocks"]) {
        if (block["key"] == name) {
            return &block;
        }
    }
    return nullptr;
}

std::map<std::string, nlohmann::json> portsOf(const nlohmann::json& block) {
    std::map<std::string, nlohmann::json> ports;
    for (const auto& child : block["children"]) {
        if (child["type"] == "port") {
            ports[child["key"]] = child;
        }
    }
    return ports;
}

TEST(VeltBuild, JsonHoldsTheGraphItsBlocksAndTheirWiring) {
    ToolResult result = build("6000", "json");
    ASSERT_EQ(result.status, 0) << result.err;
    nlohmann::json graph = nlohmann::json::parse(result.out)["graph"];
    EXPECT_EQ(graph["key"], 6000);
    EXPECT_EQ(graph["graph"]["attributes"]["id"], 100);
    EXPECT_EQ(graph["graph"]["connections"].size(), 8u);

    // Every block a connection names was copied into the result, except the
    // raw sink that this entry does not configure.
    for (const auto& connection : graph["graph"]["connections"]) {
        for (const char* end : {"source", "sink"}) {
            std::string text = connection[end];
            std::string block = text.substr(0, text.find(':'));
            EXPECT_EQ(findBlock(graph, block) != nullptr, block != "raw") << text;
        }
    }

    const nlohmann::json* isa = findBlock(graph, "isa_pg");
    ASSERT_NE(isa, nullptr);
    EXPECT_EQ((*isa)["type"], "program_group");
    auto ports = portsOf(*isa);
    ASSERT_EQ(ports.count("output"), 1u);
    EXPECT_EQ(ports["output"]["attributes"]["width"], 4096);
    EXPECT_EQ(ports["output"]["attributes"]["format"], "GRBG_10");
    EXPECT_EQ(ports["input"]["attributes"]["peer"], "csi_be:output");

    // The chosen sensor mode was merged into the sensor block.
    const nlohmann::json* sensor = findBlock(graph, "sensor");
    ASSERT_NE(sensor, nullptr);
    bool hasPixelArray =
        std::any_of(sensor->at("children").begin(), sensor->at("children").end(),
                    [](const nlohmann::json& child) { return child["key"] == "pixel_array"; });
    EXPECT_TRUE(hasPixelArray);
}

TEST(VeltBuild, TreeIndentsChildrenBelowTheirBlocks) {
    ToolResult result = build("6100", "tree");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out.rfind("result graph", 0), 0u) << result.out;
    EXPECT_NE(result.out.find("\n  csi_be [hw]"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\n    output [port]"), std::string::npos) << result.out;
    // The default format is the tree.
    ToolResult plain = runVelt({"build", descriptorPath(), settingsPath(), "--key", "6100"});
    EXPECT_EQ(plain.out, result.out);
}

TEST(VeltBuild, DotRendersWithSinksAndLabelledEdges) {
    for (const char* key : {"6000", "6002", "6101"}) {
        ToolResult result = build(key, "dot");
        ASSERT_EQ(result.status, 0) << key << result.err;
        EXPECT_EQ(result.out.rfind("digraph", 0), 0u);
        std::string errors;
        EXPECT_TRUE(renderDot(result.out, errors)) << key << ": " << errors;
    }
    ToolResult preview = build("6000", "dot");
    EXPECT_NE(preview.out.find("subgraph cluster_isa_pg"), std::string::npos);
    EXPECT_NE(preview.out.find("\"video\" [shape=cds"), std::string::npos);
    // The unused raw stream is not drawn.
    EXPECT_EQ(preview.out.find("-> \"raw\""), std::string::npos);
    EXPECT_NE(preview.out.find("\"isa_pg:output\" -> \"video_pg:input\" [label=\"4096x3072 "
                               "GRBG_10\"]"),
              std::string::npos)
        << preview.out;
}

TEST(VeltBuild, GzipDocumentsBuildTheSameGraph) {
    ToolResult plain = build("6001", "json");
    ToolResult packed = runVelt({"build", descriptorPath() + ".gz", settingsPath() + ".gz", "--key",
                                 "6001", "--format", "json"});
    ASSERT_EQ(packed.status, 0) << packed.err;
    EXPECT_EQ(nlohmann::json::parse(plain.out)["graph"],
              nlohmann::json::parse(packed.out)["graph"]);
}

TEST(VeltBuild, UnknownKeyAndFailedBuildsAreReported) {
    ToolResult unknown = build("42", "tree");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("no settings entry with key 42"), std::string::npos);

    // An entry naming a graph the descriptor lacks: the library's message.
    TempFile settings(
        "<graph_settings version=\"ORBA5.1\"><settings key=\"1\" id=\"999\"/></graph_settings>",
        ".xml");
    ToolResult failed = runVelt({"build", descriptorPath(), settings.path(), "--key", "1"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_TRUE(failed.out.empty());
    EXPECT_NE(failed.err.find("could not find graph with id 999"), std::string::npos) << failed.err;
}

}  // namespace
}  // namespace velt_test
