// The one shape of every --format json output: an object naming the schema
// version, the tool's version, the subcommand and its input files, with the
// subcommand's payload under named members; a failure is the same object
// with an "error" member. docs/json.md describes it.
#ifndef VELT_TOOL_JSON_OUTPUT_H
#define VELT_TOOL_JSON_OUTPUT_H

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "cli_common.h"

namespace velt_tool {

// Bumped on every change that can break a reader of the JSON output.
const int kJsonSchemaVersion = 1;

// What a subcommand needs to print its JSON: who it is and what it read.
class CommandOutput {
  public:
    CommandOutput(std::string command, InputFiles inputs, bool json);

    // Whether --format json was asked for.
    bool json() const { return json_; }

    // The envelope with each member of payloadMembers (an object) added,
    // e.g. {"graph": {...}}.
    void printJson(const nlohmann::json& payloadMembers, std::ostream& out) const;

    // The envelope with an "error" member: the message, the exit status, the
    // library's messages and what the command found out before failing.
    void printError(const ToolError& error, std::ostream& out) const;

  private:
    nlohmann::json envelope() const;

    std::string command_;
    InputFiles inputs_;
    bool json_;
};

// The library's messages as a JSON list of {level, tag, text}.
nlohmann::json libraryMessagesJson(const std::vector<LogMessage>& messages);

}  // namespace velt_tool

#endif
