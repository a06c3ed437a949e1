// velt compile: compiled documents give byte-identical output in every
// subcommand, --check tells a matching file from a stale or corrupt one, and
// bad arguments are refused.
#include <gtest/gtest.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/parse_text.h"
#include "tool_runner.h"

namespace velt_test {
namespace {

class VeltCompile : public ::testing::Test {
  protected:
    void SetUp() override { folder_ = zovesk_test::makeTempDir(); }

    // Compiles document into the test's folder; the compiled file's path.
    std::string compile(const std::string& document, const std::string& name) {
        const std::string out = folder_ + "/" + name + ".veltbin";
        ToolResult result = runVelt({"compile", document, "-o", out});
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_NE(result.out.find(out), std::string::npos) << result.out;
        return out;
    }

    std::string folder_;
};

// JSON names the files read; everything else must agree byte for byte.
std::string withoutInputNames(const std::string& out) {
    if (out.empty() || out[0] != '{') {
        return out;
    }
    nlohmann::json report = nlohmann::json::parse(out);
    report.erase("inputs");
    return report.dump(2);
}

TEST_F(VeltCompile, CompiledDocumentsGiveTheSameOutputInEverySubcommand) {
    const std::string descriptor = compile(descriptorPath(), "descriptor");
    // Compiled from the gzip copy: the same bytes as from the plain one.
    const std::string settings = compile(settingsPath() + ".gz", "settings");
    EXPECT_EQ(readFile(settings), readFile(compile(settingsPath(), "plain_settings")));
    EXPECT_LT(readFile(settings).size(), readFile(settingsPath()).size());

    const std::vector<std::vector<std::string>> commands = {
        {"list", "S", "--format", "json"},
        {"query", "D", "S", "fps=30"},
        {"build", "D", "S", "--key", "6000", "--format", "json"},
        {"build", "D", "S", "--key", "6001", "--format", "dot"},
        {"kernels", "D", "S", "--key", "6000"},
        {"kernels", "D", "S", "--key", "6002", "--format", "json"},
    };
    for (const std::vector<std::string>& command : commands) {
        std::vector<std::string> xml;
        std::vector<std::string> compiled;
        for (const std::string& argument : command) {
            xml.push_back(argument == "D"   ? descriptorPath()
                          : argument == "S" ? settingsPath()
                                            : argument);
            compiled.push_back(argument == "D"   ? descriptor
                               : argument == "S" ? settings
                                                 : argument);
        }
        const ToolResult fromXml = runVelt(xml);
        const ToolResult fromCompiled = runVelt(compiled);
        EXPECT_EQ(fromXml.status, 0) << command[0] << fromXml.err;
        EXPECT_EQ(fromCompiled.status, fromXml.status) << command[0];
        EXPECT_EQ(withoutInputNames(fromCompiled.out), withoutInputNames(fromXml.out))
            << command[0];
        EXPECT_FALSE(fromXml.out.empty()) << command[0];
    }
    // The linter points into the XML text, which a compiled file does not keep.
    const ToolResult check = runVelt({"check", descriptor, settings});
    EXPECT_EQ(check.status, 2);
    EXPECT_NE(check.err.find("compiled document"), std::string::npos) << check.err;
}

TEST_F(VeltCompile, CheckTellsMatchingFilesFromStaleAndCorruptOnes) {
    const std::string settings = compile(settingsPath(), "settings");
    ToolResult matches = runVelt({"compile", settingsPath(), "--check", settings});
    EXPECT_EQ(matches.status, 0) << matches.err;
    EXPECT_NE(matches.out.find("matches"), std::string::npos) << matches.out;

    // Compiled from another document: stale.
    ToolResult stale = runVelt({"compile", descriptorPath(), "--check", settings});
    EXPECT_EQ(stale.status, 1);
    EXPECT_NE(stale.err.find("does not match"), std::string::npos) << stale.err;

    // Another format version.
    std::string bytes = readFile(settings);
    bytes[8] = 3;
    TempFile future(bytes, ".veltbin");
    ToolResult version = runVelt({"compile", settingsPath(), "--check", future.path()});
    EXPECT_EQ(version.status, 1);
    EXPECT_NE(version.err.find("format version 3, this velt writes version 2"), std::string::npos)
        << version.err;
    // ... which the reader refuses with its own message.
    ToolResult refused = runVelt({"list", future.path()});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("compiled format version 3 is not supported"), std::string::npos)
        << refused.err;

    ToolResult missing = runVelt({"compile", settingsPath(), "--check", folder_ + "/none.veltbin"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("cannot be read"), std::string::npos) << missing.err;
}

TEST_F(VeltCompile, BadArgumentsAndDocumentsAreRefused) {
    struct Case {
        std::vector<std::string> arguments;
        const char* message;
    };
    TempFile broken("<graph_settings><settings></graph_settings>", ".xml");
    const Case cases[] = {
        {{"compile", settingsPath()}, "needs -o OUT.veltbin or --check OUT.veltbin"},
        {{"compile", settingsPath(), "-o", folder_ + "/out.bin"}, "must end in .veltbin"},
        {{"compile", broken.path(), "-o", folder_ + "/broken.veltbin"}, "XML_Parse error"},
        {{"compile", "/nonexistent.xml", "-o", folder_ + "/none.veltbin"}, "Failed to open XML"},
        {{"compile", settingsPath(), "-o", folder_ + "/a.veltbin", "--check",
          folder_ + "/a.veltbin"},
         "excludes"},
    };
    for (const Case& c : cases) {
        ToolResult result = runVelt(c.arguments);
        EXPECT_EQ(result.status, 2) << c.message;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
    // Nothing was left behind by the failures.
    EXPECT_EQ(std::fopen((folder_ + "/broken.veltbin").c_str(), "r"), nullptr);
}

}  // namespace
}  // namespace velt_test
