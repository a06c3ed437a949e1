// The JSON contract of velt: one envelope for every --format json output and
// for failures, repeated attributes kept as lists, and docs/json.md naming
// every member that real outputs carry.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <map>
#include <set>

#include "tool_runner.h"

namespace velt_test {
namespace {

struct JsonCase {
    std::vector<std::string> arguments;  // without --format json
    std::map<std::string, std::string> inputs;
    std::vector<std::string> members;  // the payload members
};

std::vector<JsonCase> successCases() {
    const std::string d = descriptorPath();
    const std::string s = settingsPath();
    const std::map<std::string, std::string> both = {{"descriptor", d}, {"settings", s}};
    return {
        {{"check", d, s}, both, {"check"}},
        {{"list", s}, {{"document", s}}, {"entries"}},
        {{"list", d + ".gz"}, {{"document", d + ".gz"}}, {"graphs"}},
        {{"query", d, s, "fps=30"}, both, {"entries"}},
        {{"query", d, s, "fps=30", "--explain"}, both, {"entries", "explain"}},
        {{"build", d, s, "--key", "6000"}, both, {"graph"}},
        {{"kernels", d, s, "--key", "6000"}, both, {"kernels"}},
        {{"diff", d, s, "6000", "6001"}, both, {"diff"}},
        {{"modes", s}, {{"settings", s}}, {"sensor_modes"}},
        {{"formats"}, {}, {"formats"}},
        {{"formats", "NV12", "--width", "64"}, {}, {"format"}},
    };
}

std::vector<std::string> withJson(std::vector<std::string> arguments) {
    arguments.push_back("--format");
    arguments.push_back("json");
    return arguments;
}

void expectEnvelope(const nlohmann::json& output, const std::string& command,
                    const std::map<std::string, std::string>& inputs) {
    ASSERT_TRUE(output.is_object()) << output.dump();
    EXPECT_TRUE(output["schema_version"].is_number_integer());
    EXPECT_EQ(output["schema_version"], 1);
    EXPECT_TRUE(output["velt_version"].is_string());
    EXPECT_FALSE(output["velt_version"].get<std::string>().empty());
    EXPECT_EQ(output["command"], command);
    EXPECT_EQ(output["inputs"], nlohmann::json(inputs));
}

TEST(VeltJson, EveryOutputIsOneEnvelopeWithItsPayloadUnderNamedMembers) {
    for (const JsonCase& test : successCases()) {
        ToolResult result = runVelt(withJson(test.arguments));
        const std::string& command = test.arguments[0];
        ASSERT_EQ(result.status, 0) << command << result.err;
        ASSERT_TRUE(nlohmann::json::accept(result.out)) << command << result.out;
        nlohmann::json output = nlohmann::json::parse(result.out);
        expectEnvelope(output, command, test.inputs);
        EXPECT_FALSE(output.contains("error")) << command;
        // Exactly the envelope and the payload members.
        EXPECT_EQ(output.size(), 4 + test.members.size()) << command << ": " << output.dump();
        for (const std::string& member : test.members) {
            EXPECT_TRUE(output.contains(member)) << command << " lacks " << member;
        }
    }
}

TEST(VeltJson, FailuresPrintAJsonErrorWithTheLibrarysMessages) {
    const std::string d = descriptorPath();
    const std::string s = settingsPath();
    TempFile badKernelIds(descriptorWithBadKernelIds(), ".xml");
    struct FailureCase {
        std::vector<std::string> arguments;
        int status;
        std::string message;         // in error.message
        std::string libraryMessage;  // in one of error.messages, or ""
    };
    const std::vector<FailureCase> cases = {
        {{"query", d, s, "video:width=9999"},
         1,
         "no settings entry matches",
         "No settings matching the query found"},
        {{"kernels", badKernelIds.path(), s, "--key", "6000"},
         1,
         "building the kernel lists",
         "Bad kernel id(s)"},
        {{"build", d, s, "--key", "42"}, 2, "no settings entry with key 42", ""},
        {{"list", "/nonexistent.xml"}, 2, "does not exist", ""},
        {{"build", d, s}, 2, "--key", ""},
        {{"query", d, s, "fps=30", "--strcit"}, 2, "did you mean '--strict'", ""},
    };
    for (const FailureCase& test : cases) {
        std::vector<std::string> arguments = test.arguments;
        if (arguments.back() != "json") {
            arguments = withJson(arguments);
        }
        ToolResult result = runVelt(arguments);
        EXPECT_EQ(result.status, test.status) << test.message;
        EXPECT_FALSE(result.err.empty()) << test.message;
        ASSERT_TRUE(nlohmann::json::accept(result.out)) << test.message << ": " << result.out;
        nlohmann::json output = nlohmann::json::parse(result.out);
        EXPECT_EQ(output["schema_version"], 1);
        EXPECT_EQ(output["command"], test.arguments[0]);
        const nlohmann::json& error = output["error"];
        EXPECT_EQ(error["exit_status"], test.status);
        EXPECT_NE(error["message"].get<std::string>().find(test.message), std::string::npos)
            << error.dump();
        if (!test.libraryMessage.empty()) {
            EXPECT_NE(error["messages"].dump().find(test.libraryMessage), std::string::npos)
                << error.dump();
        }
    }
}

TEST(VeltJson, APortConnectedTwiceKeepsBothPeers) {
    ToolResult result =
        runVelt({"build", descriptorPath(), settingsPath(), "--key", "6000", "--format", "json"});
    ASSERT_EQ(result.status, 0) << result.err;
    nlohmann::json graph = nlohmann::json::parse(result.out)["graph"];
    std::map<std::string, nlohmann::json> peers;
    for (const auto& block : graph["blocks"]) {
        for (const auto& child : block["children"]) {
            if (child["attributes"].contains("peer")) {
                peers[block["key"].get<std::string>() + ":" + child["key"].get<std::string>()] =
                    child["attributes"]["peer"];
            }
        }
    }
    EXPECT_EQ(peers["isa_pg:output"], nlohmann::json({"video_pg:input", "still_pg:input"}));
    EXPECT_EQ(peers["isa_pg:input"], "csi_be:output");
}

// Member names of an output, two levels down: the envelope, the payloads and
// the members of payload objects (or of the first element of a list).
void collectMembers(const nlohmann::json& value, int depth, std::set<std::string>& names) {
    if (depth == 0) {
        return;
    }
    const nlohmann::json* object = &value;
    if (value.is_array() && !value.empty()) {
        object = &value[0];
    }
    if (!object->is_object()) {
        return;
    }
    for (const auto& member : object->items()) {
        names.insert(member.key());
        collectMembers(member.value(), depth - 1, names);
    }
}

TEST(VeltJson, TheDocumentationNamesEveryMember) {
    const std::string docs = readFile(VELT_JSON_DOC);
    ASSERT_FALSE(docs.empty()) << VELT_JSON_DOC;
    std::set<std::string> names;
    for (const JsonCase& test : successCases()) {
        ToolResult result = runVelt(withJson(test.arguments));
        ASSERT_EQ(result.status, 0) << result.err;
        collectMembers(nlohmann::json::parse(result.out), 3, names);
    }
    collectMembers(
        nlohmann::json::parse(runVelt({"list", "/nonexistent.xml", "--format", "json"}).out), 3,
        names);
    for (const std::string& name : names) {
        if (name.find(':') != std::string::npos || name.find(' ') != std::string::npos) {
            continue;  // data, not a member name (e.g. a kernel path)
        }
        EXPECT_NE(docs.find("`" + name + "`"), std::string::npos)
            << "docs/json.md does not describe \"" << name << "\"";
    }
}

}  // namespace
}  // namespace velt_test
