#include "cli_common.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "commands.h"

namespace velt_tool {

ToolError::ToolError(const std::string& message, int status, std::vector<LogMessage> messages)
    : std::runtime_error(messages.empty() ? message : message + ":\n" + describeMessages(messages)),
      status_(status),
      summary_(message),
      messages_(std::move(messages)) {}

ToolError& ToolError::withDetails(const nlohmann::json& details) {
    details_ = std::make_shared<const nlohmann::json>(details);
    return *this;
}

std::string describeMessages(const std::vector<LogMessage>& messages) {
    std::string text;
    for (const LogMessage& message : messages) {
        text += (text.empty() ? "" : "\n") + std::string("  ") + logLevelName(message.level) +
                ": " + message.text;
    }
    return text;
}

CLI::Option* addFormatOption(CLI::App& command, std::string& format,
                             std::initializer_list<std::string> names) {
    std::vector<std::string> choices(names);
    format = choices.front();
    std::string list;
    for (const auto& name : choices) {
        list += (list.empty() ? "" : "|") + name;
    }
    return command.add_option("--format", format, "Output format: " + list)
        ->check(CLI::IsMember(choices))
        ->capture_default_str();
}

void addDocumentArguments(CLI::App& command, std::string& descriptor, std::string& settings) {
    command
        .add_option("DESCRIPTOR", descriptor,
                    "Graph descriptor (.xml, .gz, or - for standard input)")
        ->required();
    command.add_option("SETTINGS", settings, "Graph settings (.xml, .gz, or - for standard input)")
        ->required();
}

void addEntryArguments(CLI::App& command, EntryOptions& options) {
    addDocumentArguments(command, options.descriptor, options.settings);
    command.add_option("--key,-k", options.key, "The settings entry's \"key\"")->required();
}

Command entryCommand(CLI::App* app, const std::shared_ptr<EntryOptions>& options,
                     int (*run)(const EntryOptions&, const CommandOutput&)) {
    return {app, [options, run](const CommandOutput& output) { return run(*options, output); },
            [options] { return documentInputs(options->descriptor, options->settings); },
            [options] { return options->format; }};
}

InputFiles documentInputs(const std::string& descriptor, const std::string& settings) {
    return {{"descriptor", descriptor}, {"settings", settings}};
}

OutputFormat parseOutputFormat(const std::string& text) {
    if (text == "tree") {
        return OutputFormat::kTree;
    }
    if (text == "json") {
        return OutputFormat::kJson;
    }
    if (text == "dot") {
        return OutputFormat::kDot;
    }
    return OutputFormat::kTable;
}

long long parseNumber(const std::string& text, const std::string& what) {
    // Base 10 unless written in hexadecimal: a leading zero is not octal here.
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    errno = 0;
    char* end = nullptr;
    long long value = std::strtoll(text.c_str(), &end, hex ? 16 : 10);
    if (text.empty() || errno != 0 || end == nullptr || *end != '\0') {
        throw ToolError(what + " is not a number: '" + text + "'");
    }
    return value;
}

}  // namespace velt_tool
