// The manual page and the bash completion installed with velt: generated
// from its command-line definition, checked here against the program's own
// help, and the completion run in bash.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <set>
#include <sstream>

#include "tool_runner.h"

namespace velt_test {
namespace {

// The subcommands that "velt --help" lists.
std::vector<std::string> helpSubcommands() {
    std::string help = runVelt({"--help"}).out;
    std::vector<std::string> names;
    std::istringstream lines(help.substr(help.find("Subcommands:")));
    std::string line;
    std::getline(lines, line);
    std::smatch match;
    while (std::getline(lines, line)) {
        if (std::regex_search(line, match, std::regex("^  ([a-z]+) "))) {
            names.push_back(match[1]);
        }
    }
    return names;
}

// The long options a subcommand's help lists.
std::set<std::string> helpOptions(const std::string& command) {
    std::string help = runVelt({command, "--help"}).out;
    std::set<std::string> options;
    std::regex option("--([a-z]+)");
    for (auto it = std::sregex_iterator(help.begin(), help.end(), option);
         it != std::sregex_iterator(); ++it) {
        options.insert((*it)[1]);
    }
    return options;
}

TEST(VeltDocs, ManualPageCoversEverySubcommandAndOption) {
    const std::string page = readFile(VELT_MAN_PAGE);
    ASSERT_EQ(page.find(".TH VELT 1"), page.find('\n') + 1) << page.substr(0, 200);
    std::vector<std::string> commands = helpSubcommands();
    ASSERT_EQ(commands.size(), 9u);
    for (const std::string& command : commands) {
        size_t section = page.find(".SS \"velt " + command + " ");
        ASSERT_NE(section, std::string::npos) << command;
        size_t end = page.find(".SS", section + 1);
        std::string text = page.substr(section, end - section);
        for (const std::string& option : helpOptions(command)) {
            if (option == "verbose") {
                continue;  // a common option, described once
            }
            EXPECT_NE(text.find("\\-\\-" + option), std::string::npos)
                << command << " --" << option;
        }
    }
    EXPECT_NE(page.find(".SH COMMON OPTIONS"), std::string::npos);
    EXPECT_NE(page.find("\\-\\-verbose[=LEVELS]"), std::string::npos);
    EXPECT_NE(page.find(".SH EXIT STATUS"), std::string::npos);
}

// What the completion offers for the words typed so far (the last one being
// completed), as bash computes it.
std::string complete(const std::vector<std::string>& words) {
    std::string array;
    for (const std::string& word : words) {
        array += " '" + word + "'";
    }
    std::string script = "source '" + std::string(VELT_COMPLETION) + "'\n" + "COMP_WORDS=(" +
                         array + ")\n" + "COMP_CWORD=" + std::to_string(words.size() - 1) + "\n" +
                         "_velt\n" + "echo \"${COMPREPLY[*]}\"\n";
    TempFile file(script, ".sh");
    TempFile out("", ".out");
    std::string command = "bash '" + file.path() + "' > '" + out.path() + "' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << readFile(out.path());
    std::string reply = readFile(out.path());
    return reply.substr(0, reply.find('\n'));
}

TEST(VeltDocs, BashCompletionOffersSubcommandsOptionsAndChoices) {
    EXPECT_EQ(complete({"velt", "bu"}), "build");
    EXPECT_EQ(complete({"velt", "--verbose", "k"}), "kernels");
    EXPECT_EQ(complete({"velt", "kernels", "d.xml", "s.xml", "--format", ""}), "table json dot");
    EXPECT_EQ(complete({"velt", "build", "d.xml", "s.xml", "--format", "j"}), "json");
    EXPECT_EQ(complete({"velt", "query", "d.xml", "s.xml", "--st"}), "--strict");
    EXPECT_EQ(complete({"velt", "diff", "--fo"}), "--format");
    // A number is not guessed.
    EXPECT_EQ(complete({"velt", "build", "d.xml", "s.xml", "--key", ""}), "");
    // Documents are files.
    TempFile document("<graph_settings/>", ".xml");
    EXPECT_EQ(complete({"velt", "list", document.path()}), document.path());
}

}  // namespace
}  // namespace velt_test
