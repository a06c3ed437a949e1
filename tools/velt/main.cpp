// velt: a command-line tool for camera engineers, built on libzovesk's public
// interface. Reads graph descriptors and graph settings (plain or gzip XML),
// lints them, lists and queries settings entries, builds result graphs and
// kernel lists, and shows the pixel-format table.
#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli_common.h"
#include "commands.h"
#include "log_router.h"
#include "zo_log_common.h"

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

int main(int argc, char** argv) {
    using namespace velt_tool;
    CLI::App app{"velt: inspect and check camera pipeline graph documents"};
    app.name("velt");
    app.formatter(std::make_shared<HelpFormatter>());
    app.require_subcommand(1);
    app.set_version_flag("--version",
                         std::string("velt ") + zo_vesk_get_version() + " (build " +
                             zo_vesk_get_version_string() + ")",
                         "Print the library version and build id, then exit");
    // Common options may also follow the subcommand's own arguments.
    app.fallthrough();
    std::string verbose;
    CLI::Option* verboseOption =
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
    commands.push_back(addFormatsCommand(app));
    commands.push_back(addCompileCommand(app));

    for (const Command& command : commands) {
        command.app->footer(kCommonOptionsFooter);
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        int status = app.exit(error);
        return status == 0 ? kExitOk : kExitBadInput;
    }

    try {
        installLogSink(verboseOption->count() > 0 ? parseLogLevels(verbose) : 0);
        for (const Command& command : commands) {
            if (command.app->parsed()) {
                return command.run();
            }
        }
    } catch (const ToolError& error) {
        std::cerr << "velt: error: " << error.what() << '\n';
        return error.status();
    } catch (const std::exception& error) {
        std::cerr << "velt: internal error: " << error.what() << '\n';
        return kExitFailed;
    }
    return kExitBadInput;
}
