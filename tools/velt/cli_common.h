// What every subcommand shares: exit statuses, the error that ends a command,
// and the options that several subcommands take.
#ifndef VELT_TOOL_CLI_COMMON_H
#define VELT_TOOL_CLI_COMMON_H

#include <stdexcept>
#include <string>

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

// Ends a subcommand with a message for standard error and an exit status.
class ToolError : public std::runtime_error {
  public:
    ToolError(const std::string& message, int status = kExitBadInput)
        : std::runtime_error(message), status_(status) {}
    int status() const { return status_; }

  private:
    int status_;
};

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

// The format named by text (one of table, tree, json, dot).
OutputFormat parseOutputFormat(const std::string& text);

// Parses a whole decimal or 0x-hexadecimal number; ToolError when it is not one.
long long parseNumber(const std::string& text, const std::string& what);

}  // namespace velt_tool

#endif
