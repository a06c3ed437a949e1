// velt query DESCRIPTOR SETTINGS NAME=VALUE... [--strict]: the settings
// entries that match the criteria.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "cli_common.h"
#include "commands.h"
#include "documents.h"
#include "entry_summary.h"
#include "velt_item_uid.h"
#include "zo_log_common.h"

namespace velt_tool {

namespace {

struct QueryOptions {
    std::string descriptor;
    std::string settings;
    std::vector<std::string> criteria;
    bool strict = false;
    std::string format;
};

// NAME=VALUE into the criteria map; a NAME is a ':'-separated path below a
// settings entry. Names must be known from the documents just read.
VELT::GraphQueryCriteria parseCriteria(const std::vector<std::string>& texts) {
    VELT::GraphQueryCriteria criteria;
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
        if (!criteria.emplace(path, text.substr(equals + 1)).second) {
            throw ToolError("criterion '" + name + "' is given twice");
        }
    }
    return criteria;
}

int runQuery(const QueryOptions& options) {
    auto documents = readDocuments(options.descriptor, options.settings);
    VELT::GraphQueryCriteria criteria = parseCriteria(options.criteria);
    std::vector<VELT::IGraphConfig*> matches;
    LogCapture errors(ZO_LOG_ERROR);
    int status = documents->manager.queryGraphs(criteria, matches, options.strict);
    if (status != 0 || matches.empty()) {
        std::cerr << "velt: no settings entry matches"
                  << (options.strict ? " all criteria" : " any criterion") << '\n';
        return kExitFailed;
    }
    printSettingsEntries(matches, parseOutputFormat(options.format), std::cout);
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
    addFormatOption(*command, options->format, {"table", "json"});
    return {command, [options] { return runQuery(*options); }};
}

}  // namespace velt_tool
