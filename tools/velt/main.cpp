// velt: a command-line tool for camera engineers, built on libzovesk's public
// interface. Reads graph descriptors and graph settings (plain or gzip XML),
// lints them, lists and queries settings entries, builds result graphs and
// kernel lists, and shows the pixel-format table.
#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli_common.h"
#include "cli_definition.h"
#include "cli_suggest.h"
#include "commands.h"
#include "log_router.h"
#include "zo_log_common.h"

namespace {

// Whether the arguments ask for JSON, for reporting a failure before (or
// while) they are parsed.
bool asksForJson(const std::vector<std::string>& arguments) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--format=json" ||
            (arguments[i] == "--format" && i + 1 < arguments.size() &&
             arguments[i + 1] == "json")) {
            return true;
        }
    }
    return false;
}

int reportError(const velt_tool::ToolError& error, const velt_tool::CommandOutput& output) {
    if (output.json()) {
        output.printError(error, std::cout);
    }
    std::cerr << "velt: error: " << error.what() << '\n';
    return error.status();
}

int runTool(int argc, char** argv) {
    using namespace velt_tool;
    CLI::App app{"velt: inspect and check camera pipeline graph documents"};
    std::string verbose;
    std::vector<Command> commands = defineCommandLine(app, verbose);

    std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string named = subcommandNamed(app, arguments);
    InputFiles noInputs;
    CommandOutput early(named.empty() ? "velt" : named, noInputs, asksForJson(arguments));
    try {
        checkCommandLine(app, arguments);
    } catch (const ToolError& error) {
        return reportError(error, early);
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (early.json() && error.get_exit_code() != 0) {
            early.printError(ToolError(error.what()), std::cout);
        }
        int status = app.exit(error);
        return status == 0 ? kExitOk : kExitBadInput;
    }

    for (const Command& command : commands) {
        if (!command.app->parsed()) {
            continue;
        }
        CommandOutput output(command.app->get_name(), command.inputs(), command.format() == "json");
        try {
            installLogSink(app.count("--verbose") > 0 ? parseLogLevels(verbose) : 0);
            return command.run(output);
        } catch (const ToolError& error) {
            return reportError(error, output);
        } catch (const std::exception& error) {
            return reportError(
                ToolError(std::string("internal error: ") + error.what(), kExitFailed), output);
        }
    }
    return kExitBadInput;
}

}  // namespace

// Whatever escapes the commands' own handling (memory running out while the
// command line is being set up) still ends in a message and a failure status.
int main(int argc, char** argv) {
    try {
        return runTool(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << "velt: error: internal error: " << error.what() << '\n';
        return velt_tool::kExitFailed;
    }
}
