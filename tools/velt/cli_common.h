// What every subcommand shares: exit statuses, the error that ends a command,
// and the options that several subcommands take.
#ifndef VELT_TOOL_CLI_COMMON_H
#define VELT_TOOL_CLI_COMMON_H

#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "log_router.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace velt_tool {

// Exit statuses of the program.
enum ExitStatus : int {
    kExitOk = 0,
    kExitFailed = 1,    // the documents were read, but what was asked for failed
    kExitBadInput = 2,  // bad arguments, or a document that cannot be read
};

// Ends a subcommand with a message and an exit status. The library's
// messages that explain the failure travel with it, for standard error (in
// what()) and for the JSON error object (one by one); details, when set, is
// what the command found out before failing, for the JSON error object.
class ToolError : public std::runtime_error {
  public:
    ToolError(const std::string& message, int status = kExitBadInput,
              std::vector<LogMessage> messages = {});
    int status() const { return status_; }
    // The message without the library's messages.
    const std::string& summary() const { return summary_; }
    const std::vector<LogMessage>& messages() const { return messages_; }
    const std::shared_ptr<const nlohmann::json>& details() const { return details_; }
    ToolError& withDetails(const nlohmann::json& details);

  private:
    int status_;
    std::string summary_;
    std::vector<LogMessage> messages_;
    std::shared_ptr<const nlohmann::json> details_;
};

// The messages joined one per line, each as "  level: text".
std::string describeMessages(const std::vector<LogMessage>& messages);

// The documents a subcommand reads, by role ("descriptor", "settings", ...),
// in the order given; "-" stands for standard input.
using InputFiles = std::vector<std::pair<std::string, std::string>>;

// Output formats a subcommand may offer.
enum class OutputFormat { kTable, kTree, kJson, kDot };

// Adds "--format" restricted to the given names (e.g. {"table", "json"});
// the first name is the default.
CLI::Option* addFormatOption(CLI::App& command, std::string& format,
                             std::initializer_list<std::string> names);

// Adds the two documents every subcommand but list and formats reads:
// DESCRIPTOR and SETTINGS, required.
void addDocumentArguments(CLI::App& command, std::string& descriptor, std::string& settings);

// The arguments of a subcommand about one settings entry.
struct EntryOptions {
    std::string descriptor;
    std::string settings;
    int key = 0;
    std::string format;
};

// Adds DESCRIPTOR, SETTINGS and the required --key of the entry.
void addEntryArguments(CLI::App& command, EntryOptions& options);

// The two documents as input files.
InputFiles documentInputs(const std::string& descriptor, const std::string& settings);

// The format named by text (one of table, tree, json, dot).
OutputFormat parseOutputFormat(const std::string& text);

// Parses a whole decimal or 0x-hexadecimal number; ToolError when it is not one.
long long parseNumber(const std::string& text, const std::string& what);

}  // namespace velt_tool

#endif
