// velt check DESCRIPTOR SETTINGS: the linter. Reports the version check, then
// builds every settings entry's result graph and kernel lists and reports
// each as ok or with the library's own messages. Exit status 0 only when
// everything built.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli_common.h"
#include "commands.h"
#include "documents.h"
#include "kernel_lists.h"
#include "node_view.h"
#include "result_graph.h"
#include "zo_log_common.h"

namespace velt_tool {

namespace {

struct CheckOptions {
    std::string descriptor;
    std::string settings;
    std::string format;
};

struct StepResult {
    int status;
    std::vector<LogMessage> messages;
};

struct EntryResult {
    int key;
    int graphId;
    StepResult graph;
    bool kernelsTried;
    StepResult kernels;
    bool ok() const { return graph.status == 0 && kernelsTried && kernels.status == 0; }
};

const uint32_t kReported = ZO_LOG_ERROR | ZO_LOG_WARNING;

EntryResult checkEntry(Documents& documents, VELT::IGraphConfig* entry) {
    EntryResult result{entryKey(*entry), entryGraphId(*entry), {0, {}}, false, {0, {}}};
    ResultGraph graph;
    {
        LogCapture messages(kReported);
        result.graph.status = graph.build(documents.manager, entry);
        result.graph.messages = messages.messages();
    }
    if (result.graph.status != 0 || graph.root() == nullptr) {
        return result;
    }
    result.kernelsTried = true;
    LogCapture messages(kReported);
    result.kernels.status = buildKernelLists(*graph.root());
    // The builder logs its graph dumps at the error level; after a successful
    // build only its warnings are worth reporting.
    for (const LogMessage& message : messages.messages()) {
        if (result.kernels.status != 0 || message.level == ZO_LOG_WARNING) {
            result.kernels.messages.push_back(message);
        }
    }
    return result;
}

nlohmann::json messagesJson(const std::vector<LogMessage>& messages) {
    nlohmann::json list = nlohmann::json::array();
    for (const LogMessage& message : messages) {
        list.push_back(
            {{"level", logLevelName(message.level)}, {"tag", message.tag}, {"text", message.text}});
    }
    return list;
}

void printStep(const char* what, const StepResult& step, std::ostream& out) {
    if (step.status != 0) {
        out << "  " << what << " failed (status " << step.status << ")\n";
    }
    for (const LogMessage& message : step.messages) {
        out << "  " << what << " " << logLevelName(message.level) << ": " << message.text << '\n';
    }
}

int runCheck(const CheckOptions& options, const CommandOutput& output) {
    auto documents = readDocuments(options.descriptor, options.settings);
    std::string descriptorVersion = textAttribute(*documents->descriptor, "version").value_or("");
    std::string settingsVersion = textAttribute(*documents->settings, "version").value_or("");
    StepResult version;
    {
        LogCapture messages(kReported);
        version.status = documents->manager.validateSettingsAgainstDescriptor();
        version.messages = messages.messages();
    }
    std::vector<EntryResult> results;
    for (VELT::IGraphConfig* entry : settingsEntries(*documents->settings)) {
        results.push_back(checkEntry(*documents, entry));
    }
    size_t failed = 0;
    for (const EntryResult& result : results) {
        failed += result.ok() ? 0 : 1;
    }
    bool allOk = failed == 0 && version.status == 0;

    if (parseOutputFormat(options.format) == OutputFormat::kJson) {
        nlohmann::json report = {{"ok", allOk},
                                 {"version",
                                  {{"descriptor", descriptorVersion},
                                   {"settings", settingsVersion},
                                   {"status", version.status},
                                   {"matching", version.messages.empty()},
                                   {"messages", messagesJson(version.messages)}}},
                                 {"entries", nlohmann::json::array()}};
        for (const EntryResult& result : results) {
            nlohmann::json entry = {{"key", result.key},
                                    {"graph_id", result.graphId},
                                    {"ok", result.ok()},
                                    {"graph",
                                     {{"status", result.graph.status},
                                      {"messages", messagesJson(result.graph.messages)}}}};
            if (result.kernelsTried) {
                entry["kernels"] = {{"status", result.kernels.status},
                                    {"messages", messagesJson(result.kernels.messages)}};
            }
            report["entries"].push_back(entry);
        }
        report["summary"] = {{"entries", results.size()}, {"failed", failed}};
        output.printJson({{"check", report}}, std::cout);
        return allOk ? kExitOk : kExitFailed;
    }

    std::cout << "version: settings \"" << settingsVersion << "\", descriptor \""
              << descriptorVersion << "\": " << (version.messages.empty() ? "ok" : "warning")
              << '\n';
    printStep("version", version, std::cout);
    for (const EntryResult& result : results) {
        std::cout << "settings " << result.key << " (graph " << result.graphId
                  << "): " << (result.ok() ? "ok" : "FAILED") << '\n';
        printStep("graph", result.graph, std::cout);
        if (result.kernelsTried) {
            printStep("kernels", result.kernels, std::cout);
        }
    }
    std::cout << results.size() << " entries, " << results.size() - failed << " ok, " << failed
              << " failed\n";
    return allOk ? kExitOk : kExitFailed;
}

}  // namespace

Command addCheckCommand(CLI::App& parent) {
    auto options = std::make_shared<CheckOptions>();
    CLI::App* command = parent.add_subcommand(
        "check",
        "Lint a descriptor and its settings: version check, then every entry's result graph "
        "and kernel lists (exit status 0 only when everything built)");
    addDocumentArguments(*command, options->descriptor, options->settings);
    addFormatOption(*command, options->format, {"table", "json"});
    return {command, [options](const CommandOutput& output) { return runCheck(*options, output); },
            [options] { return documentInputs(options->descriptor, options->settings); },
            [options] { return options->format; }};
}

}  // namespace velt_tool
