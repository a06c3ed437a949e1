// velt kernels DESCRIPTOR SETTINGS --key K [--format table|json|dot]: the ISP
// kernel lists of one settings entry and its sensor frame parameters.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "cli_common.h"
#include "commands.h"
#include "graph_render.h"
#include "kernel_lists.h"
#include "kernel_render.h"
#include "result_graph.h"

namespace velt_tool {

namespace {

int runKernels(const EntryOptions& options, const CommandOutput& output) {
    ResultGraph graph;
    buildEntryGraph(options, graph);
    OutputFormat format = parseOutputFormat(options.format);
    std::string title =
        entryGraphTitle(*graph.root()) + "\n" + options.descriptor + " + " + options.settings;
    if (format == OutputFormat::kDot && usesSubgraphPath(*graph.root())) {
        renderInnerGraphDot(*graph.root(), title, std::cout);
        return kExitOk;
    }
    KernelListsView view = collectKernelLists(*graph.root());
    if (format == OutputFormat::kDot) {
        renderContextGraphDot(*graph.root(), view, title, std::cout);
    } else if (format == OutputFormat::kJson) {
        output.printJson({{"kernels", kernelListsJson(view)}}, std::cout);
    } else {
        renderKernelTable(view, std::cout);
    }
    return kExitOk;
}

}  // namespace

Command addKernelsCommand(CLI::App& parent) {
    auto options = std::make_shared<EntryOptions>();
    CLI::App* command = parent.add_subcommand(
        "kernels",
        "The run-kernel lists per stream and program group, and the sensor frame parameters");
    addEntryArguments(*command, *options);
    addFormatOption(*command, options->format, {"table", "json", "dot"});
    return entryCommand(command, options, runKernels);
}

}  // namespace velt_tool
