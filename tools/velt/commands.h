// The subcommands of velt. Each add function registers its subcommand with
// the parent and returns what main runs once the arguments are parsed.
#ifndef VELT_TOOL_COMMANDS_H
#define VELT_TOOL_COMMANDS_H

#include <functional>

namespace CLI {
class App;
}

namespace velt_tool {

struct Command {
    CLI::App* app;
    // Runs the subcommand; returns the exit status or throws ToolError.
    std::function<int()> run;
};

Command addCheckCommand(CLI::App& parent);
Command addListCommand(CLI::App& parent);
Command addQueryCommand(CLI::App& parent);
Command addBuildCommand(CLI::App& parent);
Command addKernelsCommand(CLI::App& parent);
Command addFormatsCommand(CLI::App& parent);
Command addCompileCommand(CLI::App& parent);

}  // namespace velt_tool

#endif
