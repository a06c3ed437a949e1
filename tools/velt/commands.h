// The subcommands of velt. Each add function registers its subcommand with
// the parent and returns what main needs to run it once the arguments are
// parsed.
#ifndef VELT_TOOL_COMMANDS_H
#define VELT_TOOL_COMMANDS_H

#include <functional>
#include <memory>
#include <string>

#include "cli_common.h"
#include "json_output.h"

namespace CLI {
class App;
}

namespace velt_tool {

struct Command {
    CLI::App* app;
    // Runs the subcommand; returns the exit status or throws ToolError.
    std::function<int(const CommandOutput&)> run;
    // The documents named on the command line, by role.
    std::function<InputFiles()> inputs;
    // The --format asked for ("" for a subcommand without one).
    std::function<std::string()> format;
};

// The command of a subcommand about one settings entry.
Command entryCommand(CLI::App* app, const std::shared_ptr<EntryOptions>& options,
                     int (*run)(const EntryOptions&, const CommandOutput&));

Command addCheckCommand(CLI::App& parent);
Command addListCommand(CLI::App& parent);
Command addQueryCommand(CLI::App& parent);
Command addBuildCommand(CLI::App& parent);
Command addKernelsCommand(CLI::App& parent);
Command addFormatsCommand(CLI::App& parent);
Command addModesCommand(CLI::App& parent);
Command addDiffCommand(CLI::App& parent);
Command addCompileCommand(CLI::App& parent);

}  // namespace velt_tool

#endif
