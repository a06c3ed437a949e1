// velt check DESCRIPTOR SETTINGS: the linter. Every finding in both documents
// as "FILE:LINE:COLUMN: SEVERITY: message", then the version check and each
// settings entry as ok or FAILED. Exit status 0 without errors, 1 with
// errors (or warnings under --werror), 2 when a document cannot be read.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "cli_common.h"
#include "commands.h"
#include "lint/check_run.h"

namespace velt_tool {

namespace {

struct CheckOptions {
    std::string descriptor;
    std::string settings;
    std::string format;
    bool werror = false;
};

int runCheck(const CheckOptions& options, bool withNotes, const CommandOutput& output) {
    lint::CheckRun run = lint::runChecks(options.descriptor, options.settings);
    if (parseOutputFormat(options.format) == OutputFormat::kJson) {
        output.printJson({{"check", lint::checkReportJson(run, withNotes, options.werror)}},
                         std::cout);
    } else {
        lint::printCheckReport(run, withNotes, std::cout);
    }
    return lint::checkExitStatus(run, options.werror);
}

}  // namespace

Command addCheckCommand(CLI::App& parent) {
    auto options = std::make_shared<CheckOptions>();
    CLI::App* command = parent.add_subcommand(
        "check",
        "Lint a descriptor and its settings: every finding as FILE:LINE:COLUMN: SEVERITY: "
        "message, then every entry's result graph and kernel lists (exit status 0 without "
        "errors, 1 with errors, 2 when a document cannot be read; notes with --verbose)");
    addDocumentArguments(*command, options->descriptor, options->settings);
    addFormatOption(*command, options->format, {"table", "json"});
    command->add_flag("--werror", options->werror, "Warnings fail the check too");
    return {command,
            [options, &parent](const CommandOutput& output) {
                // The common --verbose also shows the notes.
                const CLI::Option* verbose = parent.get_option_no_throw("--verbose");
                return runCheck(*options, verbose != nullptr && verbose->count() > 0, output);
            },
            [options] { return documentInputs(options->descriptor, options->settings); },
            [options] { return options->format; }};
}

}  // namespace velt_tool
