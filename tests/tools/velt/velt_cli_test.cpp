// Arguments, help and the common options of the velt program.
#include <gtest/gtest.h>

#include "tool_runner.h"

namespace velt_test {
namespace {

// Every subcommand the program offers.
const std::vector<std::string> kCommands = {"check",   "list", "query", "build",
                                            "kernels", "diff", "modes", "formats"};

TEST(VeltCli, HelpOnEverySubcommandSucceeds) {
    ToolResult top = runVelt({"--help"});
    EXPECT_EQ(top.status, 0);
    EXPECT_NE(top.out.find("--verbose[=LEVELS]"), std::string::npos) << top.out;
    for (const std::string& command : kCommands) {
        EXPECT_NE(top.out.find(command), std::string::npos) << command;
        ToolResult result = runVelt({command, "--help"});
        EXPECT_EQ(result.status, 0) << command;
        EXPECT_NE(result.out.find("Usage:"), std::string::npos) << command;
        // The common options are named in every subcommand's help.
        EXPECT_NE(result.out.find("--verbose"), std::string::npos) << command;
    }
}

TEST(VeltCli, BadArgumentsFailWithAMessage) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"nonsense"},
        {"list"},
        {"check", "a.xml"},
        {"query", "a.xml", "b.xml"},
        {"build", "a.xml", "b.xml"},
        {"build", "a.xml", "b.xml", "--key", "abc"},
        {"kernels", "a.xml", "b.xml"},
        {"kernels", "a.xml", "b.xml", "--key", "6000", "--format", "tree"},
        {"formats", "--height", "10"},
        {"formats", "YUV420_8_SP", "--width", "wide"},
        {"formats", "--format", "png"},
        {"--verbose=loud", "formats"},
        {"formats", "--verbose=0x40"},
    };
    for (const auto& arguments : cases) {
        ToolResult result = runVelt(arguments);
        std::string shown;
        for (const auto& argument : arguments) {
            shown += argument + " ";
        }
        EXPECT_EQ(result.status, 2) << shown;
        EXPECT_FALSE(result.err.empty()) << shown;
        EXPECT_TRUE(result.out.empty()) << shown;
    }
}

TEST(VeltCli, VerboseSendsLibraryMessagesToStandardError) {
    // A Bayer format has no stride rule of its own: the library warns that
    // the stride defaults to the width.
    const std::vector<std::string> request = {"formats", "BGGR_8", "--width", "100"};
    ToolResult quiet = runVelt(request);
    ASSERT_EQ(quiet.status, 0);
    EXPECT_TRUE(quiet.err.empty()) << quiet.err;

    for (const char* levels : {"--verbose", "--verbose=warning", "--verbose=0x20"}) {
        std::vector<std::string> arguments = request;
        arguments.push_back(levels);
        ToolResult verbose = runVelt(arguments);
        ASSERT_EQ(verbose.status, 0) << levels;
        EXPECT_NE(verbose.err.find("[warning]"), std::string::npos) << levels;
        EXPECT_NE(verbose.err.find("bpl defaulting to width"), std::string::npos) << levels;
        EXPECT_EQ(verbose.out, quiet.out) << levels;
    }

    // The common option may also come before the subcommand.
    std::vector<std::string> leading = {"--verbose=warning"};
    leading.insert(leading.end(), request.begin(), request.end());
    EXPECT_NE(runVelt(leading).err.find("bpl defaulting to width"), std::string::npos);

    // Other levels only: the warning stays hidden.
    std::vector<std::string> errorsOnly = request;
    errorsOnly.push_back("--verbose=error,debug");
    ToolResult filtered = runVelt(errorsOnly);
    ASSERT_EQ(filtered.status, 0);
    EXPECT_EQ(filtered.err.find("bpl defaulting"), std::string::npos) << filtered.err;
}

TEST(VeltCli, MistakesAreNamedWithTheNearestValidName) {
    const std::string d = descriptorPath();
    const std::string s = settingsPath();
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"chek", d, s}, "unknown subcommand 'chek'; did you mean 'check'?"},
        {{"kernel", d, s}, "did you mean 'kernels'?"},
        {{"lsit", s}, "did you mean 'list'?"},
        {{"frobnicate"}, "unknown subcommand 'frobnicate' (subcommands: check, list,"},
        {{"list", s, "--fromat", "json"},
         "unknown option '--fromat' for 'velt list'; did you mean "
         "'--format'?"},
        {{"build", d, s, "--kye", "6000"}, "did you mean '--key'?"},
        {{"query", d, s, "fps=30", "--strcit"}, "did you mean '--strict'?"},
        {{"formats", "--verbsoe"}, "did you mean '--verbose'?"},
        {{"--format", "table", "list", s},
         "option '--format' belongs to 'velt list': give it after the subcommand"},
        {{"--key", "6000", "build", d, s}, "option '--key' belongs to 'velt build'"},
        {{"--strict", "formats"}, "option '--strict' belongs after a subcommand (query)"},
        {{"--nonsense", "formats"}, "unknown option '--nonsense'"},
    };
    for (const Case& test : cases) {
        ToolResult result = runVelt(test.arguments);
        EXPECT_EQ(result.status, 2) << test.message;
        EXPECT_TRUE(result.out.empty()) << test.message;
        EXPECT_NE(result.err.find(test.message), std::string::npos) << result.err;
    }
    // Nothing far from every name is offered as what was meant.
    EXPECT_EQ(runVelt({"list", s, "--zzzzzzzz"}).err.find("did you mean"), std::string::npos);
    // "-" is a document, not an option; a negative number is a value.
    EXPECT_EQ(runVelt({"list", "-"}).err.find("unknown option"), std::string::npos);
}

}  // namespace
}  // namespace velt_test
