#include "cli_definition.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "zo_log_common.h"

namespace velt_tool {

namespace {

// Shows the optional-value flag as "--verbose[=LEVELS]" instead of CLI11's
// "--verbose{}" spelling of a flag with a default value.
class HelpFormatter : public CLI::Formatter {
  public:
    std::string make_option_name(const CLI::Option* option, bool positional) const override {
        if (!positional && option->check_lname("verbose")) {
            return "--verbose[=LEVELS]";
        }
        return CLI::Formatter::make_option_name(option, positional);
    }
};

const char* const kCommonOptionsFooter =
    "Common options (before or after the subcommand's arguments):\n"
    "  --verbose[=LEVELS]  print the library's messages to standard error";

}  // namespace

std::vector<Command> defineCommandLine(CLI::App& app, std::string& verbose) {
    app.name("velt");
    app.formatter(std::make_shared<HelpFormatter>());
    app.require_subcommand(1);
    app.set_version_flag("--version",
                         std::string("velt ") + zo_vesk_get_version() + " (build " +
                             zo_vesk_get_version_string() + ")",
                         "Print the library version and build id, then exit");
    // Common options may also follow the subcommand's own arguments.
    app.fallthrough();
    app.add_flag("--verbose{}", verbose,
                 "Print the library's messages to standard error; optional LEVELS after '=': "
                 "a mask or names from info,debug,alloc,entry,error,warning,all "
                 "(default error,warning,info)");

    std::vector<Command> commands;
    commands.push_back(addCheckCommand(app));
    commands.push_back(addListCommand(app));
    commands.push_back(addQueryCommand(app));
    commands.push_back(addBuildCommand(app));
    commands.push_back(addKernelsCommand(app));
    commands.push_back(addDiffCommand(app));
    commands.push_back(addModesCommand(app));
    commands.push_back(addFormatsCommand(app));
    commands.push_back(addCompileCommand(app));
    for (const Command& command : commands) {
        command.app->footer(kCommonOptionsFooter);
    }
    return commands;
}

}  // namespace velt_tool
