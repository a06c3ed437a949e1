// velt build DESCRIPTOR SETTINGS --key K [--format tree|json|dot]: the result
// graph of one settings entry.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "cli_common.h"
#include "commands.h"
#include "graph_render.h"
#include "result_graph.h"

namespace velt_tool {

namespace {

int runBuild(const EntryOptions& options, const CommandOutput& output) {
    ResultGraph graph;
    buildEntryGraph(options, graph);
    switch (parseOutputFormat(options.format)) {
        case OutputFormat::kJson:
            output.printJson({{"graph", graphJson(*graph.root())}}, std::cout);
            break;
        case OutputFormat::kDot:
            renderGraphDot(*graph.root(), std::cout);
            break;
        default:
            renderGraphTree(*graph.root(), std::cout);
            break;
    }
    return kExitOk;
}

}  // namespace

Command addBuildCommand(CLI::App& parent) {
    auto options = std::make_shared<EntryOptions>();
    CLI::App* command = parent.add_subcommand("build", "The result graph of one settings entry");
    addEntryArguments(*command, *options);
    addFormatOption(*command, options->format, {"tree", "json", "dot"});
    return entryCommand(command, options, runBuild);
}

}  // namespace velt_tool
