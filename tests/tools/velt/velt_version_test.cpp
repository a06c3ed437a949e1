// velt --version: the library's version and build id, whatever else is on
// the command line.
#include <gtest/gtest.h>

#include <string>

#include "tool_runner.h"
#include "zo_log_common.h"
#include "zo_version.h"

namespace velt_test {
namespace {

TEST(VeltVersion, PrintsLibraryVersionAndBuildId) {
    const std::string expected = std::string("velt ") + ZOVESK_VERSION_STRING + " (build " +
                                 zo_vesk_get_version_string() + ")\n";
    // Alone, and before a subcommand that would otherwise need documents.
    for (const auto& arguments :
         {std::vector<std::string>{"--version"}, std::vector<std::string>{"--version", "check"}}) {
        ToolResult result = runVelt(arguments);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, expected);
        EXPECT_EQ(result.err, "");
    }
    EXPECT_NE(runVelt({"--help"}).out.find("--version"), std::string::npos);
}

}  // namespace
}  // namespace velt_test
