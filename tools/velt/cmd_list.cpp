// velt list SETTINGS|DESCRIPTOR: one row per settings entry, or the graphs of
// a descriptor with their blocks and kernels.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "cli_common.h"
#include "commands.h"
#include "descriptor_summary.h"
#include "documents.h"
#include "entry_summary.h"

namespace velt_tool {

namespace {

struct ListOptions {
    std::string document;
    std::string format;
};

int runList(const ListOptions& options, const CommandOutput& output) {
    Tree tree = readAnyDocument(options.document);
    bool json = parseOutputFormat(options.format) == OutputFormat::kJson;
    if (isDescriptor(*tree)) {
        std::vector<GraphSummary> graphs = summarizeDescriptor(*tree);
        if (json) {
            output.printJson({{"graphs", graphSummariesJson(graphs)}}, std::cout);
        } else {
            printGraphSummaries(graphs, std::cout);
        }
        return kExitOk;
    }
    std::vector<EntrySummary> entries = summarizeEntries(settingsEntries(*tree));
    if (json) {
        output.printJson({{"entries", entrySummariesJson(entries)}}, std::cout);
    } else {
        printEntrySummaries(entries, std::cout);
    }
    return kExitOk;
}

}  // namespace

Command addListCommand(CLI::App& parent) {
    auto options = std::make_shared<ListOptions>();
    CLI::App* command = parent.add_subcommand(
        "list",
        "Settings: one row per entry (key, graph id, sensor mode, output sizes and formats); "
        "descriptor: its graphs, their blocks and kernels, with counts");
    command
        ->add_option("DOCUMENT", options->document,
                     "Graph settings or graph descriptor (.xml, .gz, or - for standard input)")
        ->required();
    addFormatOption(*command, options->format, {"table", "json"});
    return {command, [options](const CommandOutput& output) { return runList(*options, output); },
            [options] {
                return InputFiles{{"document", options->document}};
            },
            [options] { return options->format; }};
}

}  // namespace velt_tool
