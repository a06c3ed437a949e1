// velt list SETTINGS: one row per settings entry.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "cli_common.h"
#include "commands.h"
#include "documents.h"
#include "entry_summary.h"

namespace velt_tool {

namespace {

struct ListOptions {
    std::string settings;
    std::string format;
};

int runList(const ListOptions& options) {
    Tree settings = readDocument(options.settings, DocumentKind::kSettings);
    printSettingsEntries(settingsEntries(*settings), parseOutputFormat(options.format), std::cout);
    return kExitOk;
}

}  // namespace

Command addListCommand(CLI::App& parent) {
    auto options = std::make_shared<ListOptions>();
    CLI::App* command = parent.add_subcommand(
        "list", "One row per settings entry: key, graph id, sensor mode, output sizes and formats");
    command->add_option("SETTINGS", options->settings, "Graph settings (.xml or .gz)")->required();
    addFormatOption(*command, options->format, {"table", "json"});
    return {command, [options] { return runList(*options); }};
}

}  // namespace velt_tool
