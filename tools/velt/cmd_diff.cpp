// velt diff DESCRIPTOR SETTINGS KEY_A KEY_B: what differs between two
// settings entries, in their settings, result graphs and kernel lists.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "cli_common.h"
#include "commands.h"
#include "documents.h"
#include "entry_diff.h"
#include "kernel_lists.h"
#include "result_graph.h"

namespace velt_tool {

namespace {

struct DiffOptions {
    std::string descriptor;
    std::string settings;
    int keyA = 0;
    int keyB = 0;
    std::string format;
};

// What one entry gives to compare; the error says why a part is missing.
struct EntrySide {
    ResultGraph graph;
    std::string graphError;
    FlatValues kernels;
    std::string kernelError;
};

void buildSide(Documents& documents, int key, EntrySide& side) {
    try {
        buildResultGraph(documents, key, side.graph);
    } catch (const ToolError& error) {
        side.graphError = "settings " + std::to_string(key) + ": " + error.summary();
        side.kernelError = side.graphError;
        return;
    }
    try {
        side.kernels = flattenKernelLists(collectKernelLists(*side.graph.root()));
    } catch (const ToolError& error) {
        side.kernelError = "settings " + std::to_string(key) + ": " + error.summary();
    }
}

std::string eitherError(const std::string& a, const std::string& b) {
    return a.empty() ? b : a;
}

int runDiff(const DiffOptions& options, const CommandOutput& output) {
    auto documents = readDocuments(options.descriptor, options.settings);
    VELT::IGraphConfig* entryA = findSettingsEntry(*documents->settings, options.keyA);
    VELT::IGraphConfig* entryB = findSettingsEntry(*documents->settings, options.keyB);
    EntrySide a;
    EntrySide b;
    buildSide(*documents, options.keyA, a);
    buildSide(*documents, options.keyB, b);

    std::vector<DiffSection> sections;
    sections.push_back({"settings", "settings",
                        diffValues(flattenSettings(*entryA), flattenSettings(*entryB)), ""});
    DiffSection graphs{"result graph", "result_graph", {}, eitherError(a.graphError, b.graphError)};
    if (graphs.error.empty()) {
        graphs.changes =
            diffValues(flattenResultGraph(*a.graph.root()), flattenResultGraph(*b.graph.root()));
    }
    sections.push_back(graphs);
    DiffSection kernels{
        "kernel lists", "kernel_lists", {}, eitherError(a.kernelError, b.kernelError)};
    if (kernels.error.empty()) {
        kernels.changes = diffValues(a.kernels, b.kernels);
    }
    sections.push_back(kernels);

    if (output.json()) {
        output.printJson({{"diff", diffJson(options.keyA, options.keyB, sections)}}, std::cout);
    } else {
        printDiff(options.keyA, options.keyB, sections, std::cout);
    }
    return kExitOk;
}

}  // namespace

Command addDiffCommand(CLI::App& parent) {
    auto options = std::make_shared<DiffOptions>();
    CLI::App* command = parent.add_subcommand(
        "diff",
        "What differs between two settings entries: settings, result graphs (ports, formats, "
        "sizes, peers) and kernel lists (enable states, resolutions)");
    addDocumentArguments(*command, options->descriptor, options->settings);
    command->add_option("KEY_A", options->keyA, "The first settings entry's \"key\"")->required();
    command->add_option("KEY_B", options->keyB, "The second settings entry's \"key\"")->required();
    addFormatOption(*command, options->format, {"table", "json"});
    return {command, [options](const CommandOutput& output) { return runDiff(*options, output); },
            [options] { return documentInputs(options->descriptor, options->settings); },
            [options] { return options->format; }};
}

}  // namespace velt_tool
