#include "json_output.h"

namespace velt_tool {

CommandOutput::CommandOutput(std::string command, InputFiles inputs, bool json)
    : command_(std::move(command)), inputs_(std::move(inputs)), json_(json) {}

nlohmann::json CommandOutput::envelope() const {
    nlohmann::json inputs = nlohmann::json::object();
    for (const auto& input : inputs_) {
        inputs[input.first] = input.second;
    }
    return {{"schema_version", kJsonSchemaVersion},
            {"velt_version", VELT_TOOL_VERSION},
            {"command", command_},
            {"inputs", inputs}};
}

void CommandOutput::printJson(const nlohmann::json& payloadMembers, std::ostream& out) const {
    nlohmann::json result = envelope();
    for (const auto& member : payloadMembers.items()) {
        result[member.key()] = member.value();
    }
    out << result.dump(2) << '\n';
}

void CommandOutput::printError(const ToolError& error, std::ostream& out) const {
    nlohmann::json details = error.details() ? *error.details() : nlohmann::json();
    printJson({{"error",
                {{"message", error.summary()},
                 {"exit_status", error.status()},
                 {"messages", libraryMessagesJson(error.messages())},
                 {"details", details}}}},
              out);
}

nlohmann::json libraryMessagesJson(const std::vector<LogMessage>& messages) {
    nlohmann::json list = nlohmann::json::array();
    for (const LogMessage& message : messages) {
        list.push_back(
            {{"level", logLevelName(message.level)}, {"tag", message.tag}, {"text", message.text}});
    }
    return list;
}

}  // namespace velt_tool
