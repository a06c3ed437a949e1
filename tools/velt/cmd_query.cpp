// velt query DESCRIPTOR SETTINGS NAME=VALUE... [--strict] [--explain]: the
// settings entries that match the criteria, and why.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "cli_common.h"
#include "commands.h"
#include "documents.h"
#include "entry_summary.h"
#include "query_explain.h"
#include "velt_item_uid.h"
#include "zo_log_common.h"

namespace velt_tool {

namespace {

struct QueryOptions {
    std::string descriptor;
    std::string settings;
    std::vector<std::string> criteria;
    bool strict = false;
    bool explain = false;
    std::string format;
};

// NAME=VALUE; a NAME is a ':'-separated path below a settings entry. Names
// must be known from the documents just read.
std::vector<Criterion> parseCriteria(const std::vector<std::string>& texts) {
    std::vector<Criterion> criteria;
    for (const std::string& text : texts) {
        size_t equals = text.find('=');
        if (equals == std::string::npos || equals == 0) {
            throw ToolError("criterion '" + text + "' is not NAME=VALUE");
        }
        std::string name = text.substr(0, equals);
        VELT::ItemUID path(name);
        for (size_t i = 0; i < path.size(); ++i) {
            if (path[i] == 0) {
                throw ToolError("criterion '" + text + "': '" + name +
                                "' names nothing in the documents");
            }
        }
        for (const Criterion& known : criteria) {
            if (known.name == name) {
                throw ToolError("criterion '" + name + "' is given twice");
            }
        }
        criteria.push_back({text, name, text.substr(equals + 1), path});
    }
    return criteria;
}

int runQuery(const QueryOptions& options, const CommandOutput& output) {
    auto documents = readDocuments(options.descriptor, options.settings);
    std::vector<Criterion> criteria = parseCriteria(options.criteria);
    VELT::GraphQueryCriteria map;
    for (const Criterion& criterion : criteria) {
        map.emplace(criterion.path, criterion.value);
    }
    std::vector<VELT::IGraphConfig*> matches;
    LogCapture errors(ZO_LOG_ERROR);
    int status = documents->manager.queryGraphs(map, matches, options.strict);

    nlohmann::json members = nlohmann::json::object();
    if (options.explain) {
        QueryExplanation explanation = explainQuery(
            documents->manager, settingsEntries(*documents->settings), criteria, options.strict);
        if (output.json()) {
            members["explain"] = queryExplanationJson(explanation);
        } else {
            printQueryExplanation(explanation, std::cout);
        }
    }
    if (status != 0 || matches.empty()) {
        ToolError error(std::string("no settings entry matches") +
                            (options.strict ? " all criteria" : " any criterion"),
                        kExitFailed, errors.messages());
        if (members.contains("explain")) {
            error.withDetails({{"explain", members["explain"]}});
        }
        throw error;
    }
    std::vector<EntrySummary> summaries = summarizeEntries(matches);
    if (output.json()) {
        members["entries"] = entrySummariesJson(summaries);
        output.printJson(members, std::cout);
    } else {
        printEntrySummaries(summaries, std::cout);
    }
    return kExitOk;
}

}  // namespace

Command addQueryCommand(CLI::App& parent) {
    auto options = std::make_shared<QueryOptions>();
    CLI::App* command = parent.add_subcommand(
        "query", "The settings entries matching NAME=VALUE criteria (NAME may be a path a:b:c)");
    addDocumentArguments(*command, options->descriptor, options->settings);
    command
        ->add_option("CRITERIA", options->criteria,
                     "NAME=VALUE pairs; NAME is an attribute of the entry or a path "
                     "such as sensor:mode_id")
        ->required();
    command->add_flag("--strict", options->strict,
                      "Entries must meet every criterion (default: at least one)");
    command->add_flag("--explain", options->explain,
                      "Also tell how many entries meet each criterion, and the nearest entries "
                      "when none meets them all");
    addFormatOption(*command, options->format, {"table", "json"});
    return {command, [options](const CommandOutput& output) { return runQuery(*options, output); },
            [options] { return documentInputs(options->descriptor, options->settings); },
            [options] { return options->format; }};
}

}  // namespace velt_tool
