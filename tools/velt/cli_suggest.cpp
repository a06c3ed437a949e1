#include "cli_suggest.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include "cli_common.h"
#include "edit_distance.h"

namespace velt_tool {

namespace {

bool isOptionWord(const std::string& argument) {
    // "-" alone is standard input; "-5" is a negative number.
    return argument.size() > 1 && argument[0] == '-' && !(argument[1] >= '0' && argument[1] <= '9');
}

// "--format=json" -> "--format", "-k6000" -> "-k".
std::string optionName(const std::string& argument) {
    if (argument.rfind("--", 0) == 0) {
        return argument.substr(0, argument.find('='));
    }
    return argument.substr(0, 2);
}

std::vector<std::string> optionNames(const CLI::App& app) {
    std::vector<std::string> names;
    for (const CLI::Option* option : app.get_options()) {
        for (const std::string& name : option->get_lnames()) {
            names.push_back("--" + name);
        }
        for (const std::string& name : option->get_snames()) {
            names.push_back("-" + name);
        }
    }
    return names;
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::vector<CLI::App*> subcommandsOf(CLI::App& app) {
    return app.get_subcommands([](CLI::App*) { return true; });
}

CLI::App* findSubcommand(CLI::App& app, const std::string& name) {
    for (CLI::App* command : subcommandsOf(app)) {
        if (command->get_name() == name) {
            return command;
        }
    }
    return nullptr;
}

std::string didYouMean(const std::string& word, const std::vector<std::string>& names) {
    std::string nearest = nearestName(word, names);
    return nearest.empty() ? "" : "; did you mean '" + nearest + "'?";
}

[[noreturn]] void unknownSubcommand(CLI::App& app, const std::string& word) {
    std::vector<std::string> names;
    std::string list;
    for (CLI::App* command : subcommandsOf(app)) {
        names.push_back(command->get_name());
        list += (list.empty() ? "" : ", ") + command->get_name();
    }
    std::string hint = didYouMean(word, names);
    throw ToolError("unknown subcommand '" + word + "'" +
                    (hint.empty() ? " (subcommands: " + list + ")" : hint));
}

// An option met before the subcommand that the top level does not take.
[[noreturn]] void misplacedOption(CLI::App& app, const std::string& name,
                                  const std::string& laterCommand) {
    CLI::App* command = laterCommand.empty() ? nullptr : findSubcommand(app, laterCommand);
    if (command != nullptr && contains(optionNames(*command), name)) {
        throw ToolError("option '" + name + "' belongs to 'velt " + laterCommand +
                        "': give it after the subcommand, as in 'velt " + laterCommand + " ... " +
                        name + "'");
    }
    std::vector<std::string> everything = optionNames(app);
    std::string owners;
    for (CLI::App* other : subcommandsOf(app)) {
        std::vector<std::string> names = optionNames(*other);
        everything.insert(everything.end(), names.begin(), names.end());
        if (contains(names, name)) {
            owners += (owners.empty() ? "" : ", ") + other->get_name();
        }
    }
    if (!owners.empty()) {
        throw ToolError("option '" + name + "' belongs after a subcommand (" + owners +
                        "); before the subcommand only the common options are taken");
    }
    throw ToolError("unknown option '" + name + "'" + didYouMean(name, everything));
}

}  // namespace

std::string nearestName(const std::string& word, const std::vector<std::string>& names) {
    std::string best;
    size_t bestDistance = std::string::npos;
    std::vector<std::string> prefixed;
    for (const std::string& name : names) {
        size_t distance = editDistance(word, name);
        if (distance < bestDistance) {
            best = name;
            bestDistance = distance;
        }
        if (word.size() >= 2 && name.rfind(word, 0) == 0) {
            prefixed.push_back(name);
        }
    }
    // Dashes are not part of what makes two option names alike.
    size_t letters = word.size() - std::min(word.find_first_not_of('-'), word.size());
    size_t allowed = std::max<size_t>(1, std::min<size_t>(2, letters / 3));
    if (bestDistance <= allowed) {
        return best;
    }
    return prefixed.size() == 1 ? prefixed.front() : "";
}

std::string subcommandNamed(CLI::App& app, const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--") {
            break;
        }
        // The first word may be the value of a misplaced option, as in
        // "velt --format json list": the first word that names a subcommand.
        if (!isOptionWord(argument) && findSubcommand(app, argument) != nullptr) {
            return argument;
        }
    }
    return "";
}

void checkCommandLine(CLI::App& app, const std::vector<std::string>& arguments) {
    const std::vector<std::string> common = optionNames(app);
    CLI::App* command = nullptr;
    std::string laterCommand = subcommandNamed(app, arguments);
    for (const std::string& argument : arguments) {
        if (argument == "--") {
            return;
        }
        if (command == nullptr) {
            if (isOptionWord(argument)) {
                if (!contains(common, optionName(argument))) {
                    misplacedOption(app, optionName(argument), laterCommand);
                }
                continue;
            }
            command = findSubcommand(app, argument);
            if (command == nullptr) {
                unknownSubcommand(app, argument);
            }
            continue;
        }
        if (!isOptionWord(argument)) {
            continue;
        }
        std::string name = optionName(argument);
        std::vector<std::string> names = optionNames(*command);
        if (!contains(names, name) && !contains(common, name)) {
            names.insert(names.end(), common.begin(), common.end());
            throw ToolError("unknown option '" + name + "' for 'velt " + command->get_name() + "'" +
                            didYouMean(name, names));
        }
    }
}

}  // namespace velt_tool
