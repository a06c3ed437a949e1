// The whole command line of velt in one place: the program, its common
// options and every subcommand. The program and the generator of its manual
// page and shell completion both build it from here.
#ifndef VELT_TOOL_CLI_DEFINITION_H
#define VELT_TOOL_CLI_DEFINITION_H

#include <string>
#include <vector>

#include "commands.h"

namespace CLI {
class App;
}

namespace velt_tool {

// Defines velt on app; verbose receives the --verbose levels. Returns the
// subcommands in the order their help lists them.
std::vector<Command> defineCommandLine(CLI::App& app, std::string& verbose);

}  // namespace velt_tool

#endif
