// Friendlier command-line mistakes: an unknown subcommand or option is named
// with the nearest valid one, and a subcommand's option given before the
// subcommand is explained.
#ifndef VELT_TOOL_CLI_SUGGEST_H
#define VELT_TOOL_CLI_SUGGEST_H

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace velt_tool {

// The name among names nearest to word (by edits, a swap of two neighbouring
// characters counting as one, or as the only name word begins), or "" when
// none is near enough to be what was meant.
std::string nearestName(const std::string& word, const std::vector<std::string>& names);

// Checks the arguments (without the program name) against the subcommands
// and options that app defines; ToolError (bad input) for the first mistake.
// What passes is left to the parser, which checks values and counts.
void checkCommandLine(CLI::App& app, const std::vector<std::string>& arguments);

// The first argument that names a subcommand, or "" when none does.
std::string subcommandNamed(CLI::App& app, const std::vector<std::string>& arguments);

}  // namespace velt_tool

#endif
