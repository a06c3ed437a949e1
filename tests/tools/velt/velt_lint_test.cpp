// velt check as a linter: each rule on a bundled document with one mistake
// (plain and gzip, descriptor and settings), as FILE:LINE:COLUMN diagnostics
// with the exit status a CI job sees.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "support/examples.h"
#include "tool_runner.h"
#include "zo_camera/velt/parser/gzip_writer.h"

namespace velt_test {
namespace {

enum class Which { kDescriptor, kSettings };

struct LintCase {
    const char* code;
    Which document;    // the one with the mistake
    const char* from;  // text of the bundled document ...
    const char* to;    // ... replaced by this
    const char* at;    // the diagnostic's line: where this stands (null: where to stands)
    const char* severity;
    int status;        // exit status without --werror
    int werrorStatus;  // and with it
};

// The mistakes of a new user, one per rule. Each diagnostic must point at the
// line where the replacement text stands.
const LintCase kCases[] = {
    {"xml-syntax", Which::kDescriptor, "</hw>", "</hx>", nullptr, "error", 1, 1},
    {"xml-syntax", Which::kSettings, "</csi_be>", "</csi_bx>", nullptr, "error", 1, 1},
    {"not-integer", Which::kSettings, "fps=\"60\" dvs=\"1\"", "fps=\"sixty\" dvs=\"1\"", nullptr,
     "error", 1, 1},
    {"not-integer", Which::kDescriptor, "name=\"stats\" id=\"2\"", "name=\"stats\" id=\"2x\"",
     nullptr, "error", 1, 1},
    {"unknown-attribute", Which::kSettings, "<port_0 format=\"GRBG_10\" width=\"4208\"",
     "<port_0 format=\"GRBG_10\" widht=\"4208\"", nullptr, "warning", 0, 1},
    {"duplicate-key", Which::kSettings, "<settings key=\"6002\"", "<settings key=\"6001\"",
     "<settings key=\"6001\" id=\"100\" fps=\"90\"", "error", 1, 1},
    {"unknown-port", Which::kDescriptor, "sink=\"csi_be:input\"/>", "sink=\"csi_be:inptu\"/>",
     nullptr, "error", 1, 1},
    {"unknown-block", Which::kDescriptor, "source=\"isa_pg:stats\"", "source=\"isa_pgg:stats\"",
     nullptr, "error", 1, 1},
    {"unknown-port", Which::kDescriptor, "target=\"csi_be:output:format\"",
     "target=\"csi_be:outptu:format\"", nullptr, "error", 1, 1},
    {"unknown-graph", Which::kSettings, "<settings key=\"6100\" id=\"101\"",
     "<settings key=\"6100\" id=\"102\"", nullptr, "error", 1, 1},
    {"unknown-sensor-mode", Which::kSettings, "mode_id=\"1400x1040_scaled\"",
     "mode_id=\"1400x1040_scaeld\"", nullptr, "error", 1, 1},
    {"unknown-block", Which::kSettings, "<raw format=\"GRBG_10\" width=\"2096\"",
     "<csi_bee/><raw format=\"GRBG_10\" width=\"2096\"", nullptr, "warning", 0, 1},
    {"type-before-name", Which::kDescriptor, "<program_group name=\"still_pg\"",
     "<program_group type=\"pg\" name=\"still_pg\"", nullptr, "error", 1, 1},
    {"dropped-attribute", Which::kSettings, "<video format=\"YUV420_8_SP\" width=\"1920\"",
     "<video format=\"YUV420_8_SP\" width=\"1920\" Width=\"1280\"", nullptr, "warning", 0, 1},
    {"version-mismatch", Which::kSettings, "version=\"ORBA5.3\"", "version=\"ORBA6.3\"", nullptr,
     "warning", 0, 1},
    // The first entry loses the sink of its still stream: the port that
    // feeds it is configured but has no peer, and nothing reaches still_pg.
    {"port-without-peer", Which::kSettings,
     "<still format=\"YUV420_8_SP\" width=\"4096\" height=\"3072\"/>", "",
     "<output format=\"YUV420_8_SP\" width=\"4096\" height=\"3072\"/>", "warning", 0, 1},
    {"unreached-kernel", Which::kSettings,
     "<still format=\"YUV420_8_SP\" width=\"4096\" height=\"3072\"/>", "", "<still_pg>", "warning",
     0, 1},
};

void PrintTo(const LintCase& c, std::ostream* out) {
    *out << c.code << " in " << (c.document == Which::kDescriptor ? "descriptor" : "settings");
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    if (at == std::string::npos) {
        ADD_FAILURE() << "not in the document: " << from;
        return text;
    }
    return text.replace(at, from.size(), to);
}

// The 1-based line at which needle first stands.
unsigned long lineOf(const std::string& text, const std::string& needle) {
    const size_t at = text.find(needle);
    EXPECT_NE(at, std::string::npos) << needle;
    return 1 + static_cast<unsigned long>(
                   std::count(text.begin(), text.begin() + std::min(at, text.size()), '\n'));
}

struct Documents {
    std::unique_ptr<TempFile> descriptor;
    std::unique_ptr<TempFile> settings;
    unsigned long line;  // of the mistake
};

Documents withMistake(const LintCase& c, bool gzip) {
    std::string descriptor = readFile(descriptorPath());
    std::string settings = readFile(settingsPath());
    std::string& broken = c.document == Which::kDescriptor ? descriptor : settings;
    broken = replaced(broken, c.from, c.to);
    Documents documents;
    documents.line = lineOf(broken, c.at != nullptr ? c.at : c.to);
    auto write = [gzip](const std::string& text) {
        return std::make_unique<TempFile>(gzip ? zovesk_test::gzipStored(text) : text,
                                          gzip ? ".xml.gz" : ".xml");
    };
    documents.descriptor = write(descriptor);
    documents.settings = write(settings);
    return documents;
}

class VeltLint : public ::testing::TestWithParam<std::tuple<LintCase, bool>> {};

TEST_P(VeltLint, PointsAtTheMistake) {
    const LintCase& c = std::get<0>(GetParam());
    const bool gzip = std::get<1>(GetParam());
    Documents documents = withMistake(c, gzip);
    const std::string& file = c.document == Which::kDescriptor ? documents.descriptor->path()
                                                               : documents.settings->path();

    ToolResult result = runVelt(
        {"check", documents.descriptor->path(), documents.settings->path(), "--format", "json"});
    ASSERT_EQ(result.status, c.status) << result.out << result.err;
    nlohmann::json report = nlohmann::json::parse(result.out)["check"];
    EXPECT_EQ(report["ok"], c.status == 0);
    const nlohmann::json* found = nullptr;
    for (const auto& diagnostic : report["diagnostics"]) {
        if (diagnostic["code"] == c.code) {
            found = &diagnostic;
            break;
        }
    }
    ASSERT_NE(found, nullptr) << report["diagnostics"].dump(2);
    EXPECT_EQ((*found)["file"], file);
    EXPECT_EQ((*found)["line"], documents.line) << found->dump();
    EXPECT_GT((*found)["column"].get<int>(), 0);
    EXPECT_EQ((*found)["severity"], c.severity);
    EXPECT_FALSE((*found)["message"].get<std::string>().empty());

    // The same finding in the editors' form, and --werror for the warnings.
    ToolResult text =
        runVelt({"check", documents.descriptor->path(), documents.settings->path(), "--werror"});
    EXPECT_EQ(text.status, c.werrorStatus) << text.out;
    const std::string prefix = file + ":" + std::to_string(documents.line) + ":" +
                               std::to_string((*found)["column"].get<int>()) + ": " + c.severity +
                               ": ";
    EXPECT_NE(text.out.find(prefix), std::string::npos) << prefix << "\n" << text.out;
    EXPECT_NE(text.out.find(std::string("[") + c.code + "]"), std::string::npos) << text.out;
}

std::string caseName(const ::testing::TestParamInfo<VeltLint::ParamType>& info) {
    const LintCase& c = std::get<0>(info.param);
    std::string name =
        std::string(c.code) + (c.document == Which::kDescriptor ? "_descriptor" : "_settings") +
        (std::get<1>(info.param) ? "_gzip" : "_plain") + "_" + std::to_string(info.index);
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Rules, VeltLint,
                         ::testing::Combine(::testing::ValuesIn(kCases), ::testing::Bool()),
                         caseName);

nlohmann::json diagnosticWithCode(const nlohmann::json& report, const std::string& code) {
    for (const auto& diagnostic : report["diagnostics"]) {
        if (diagnostic["code"] == code) {
            return diagnostic;
        }
    }
    return nullptr;
}

TEST(VeltLintMessages, NameWhatTheAuthorWroteAndTheNearestName) {
    const std::string descriptor =
        replaced(readFile(descriptorPath()), "sink=\"csi_be:input\"/>", "sink=\"csi_be:inptu\"/>");
    const std::string settings =
        replaced(readFile(settingsPath()), "<port_0 format=\"GRBG_10\" width=\"4208\"",
                 "<port_0 format=\"GRBG_10\" widht=\"4208\"");
    TempFile d(descriptor, ".xml");
    TempFile s(settings, ".xml");
    ToolResult result = runVelt({"check", d.path(), s.path(), "--format", "json"});
    nlohmann::json report = nlohmann::json::parse(result.out)["check"];
    const std::string port = diagnosticWithCode(report, "unknown-port")["message"];
    EXPECT_NE(port.find("'inptu'"), std::string::npos) << port;
    EXPECT_NE(port.find("did you mean 'input'?"), std::string::npos) << port;
    const std::string attribute = diagnosticWithCode(report, "unknown-attribute")["message"];
    EXPECT_NE(attribute.find("'widht'"), std::string::npos) << attribute;
    EXPECT_NE(attribute.find("did you mean 'width'?"), std::string::npos) << attribute;

    // Library failures hang on the entry's line with the library's own words.
    const nlohmann::json failed = diagnosticWithCode(report, "graph-failed");
    ASSERT_TRUE(failed.is_object()) << report["diagnostics"].dump(2);
    EXPECT_EQ(failed["file"], s.path());
    EXPECT_EQ(failed["line"], lineOf(settings, "<settings key=\"6000\""));
    EXPECT_EQ(failed["entry"], 6000);
    EXPECT_NE(failed["message"].get<std::string>().find("has no port named 'na'"),
              std::string::npos);
}

TEST(VeltLintMessages, KernelListFailuresAreErrorsOfTheirEntries) {
    TempFile descriptor(descriptorWithBadKernelIds(), ".xml");
    ToolResult result = runVelt({"check", descriptor.path(), settingsPath(), "--format", "json"});
    EXPECT_EQ(result.status, 1);
    nlohmann::json report = nlohmann::json::parse(result.out)["check"];
    size_t failures = 0;
    for (const auto& diagnostic : report["diagnostics"]) {
        if (diagnostic["code"] == "kernels-failed") {
            EXPECT_EQ(diagnostic["severity"], "error");
            EXPECT_EQ(diagnostic["file"], settingsPath());
            EXPECT_NE(diagnostic["message"].get<std::string>().find("Bad kernel id(s)"),
                      std::string::npos);
            ++failures;
        }
    }
    EXPECT_EQ(failures, 3u);  // the entries of graph 100
}

TEST(VeltLintMessages, UnreadableDocumentsExitWithTwo) {
    TempFile corrupt(std::string("\x1f\x8b\x08\x00garbage", 11), ".xml.gz");
    EXPECT_EQ(runVelt({"check", corrupt.path(), settingsPath()}).status, 2);
    EXPECT_EQ(runVelt({"check", descriptorPath(), "/nonexistent/settings.xml"}).status, 2);
    // Documents swapped: each is the wrong kind.
    EXPECT_EQ(runVelt({"check", settingsPath(), descriptorPath()}).status, 2);
}

TEST(VeltLintBundled, CleanUnderWerrorWithNotesOnlyWhenVerbose) {
    for (const std::string prefix : {"camera", "orba6", "orba7"}) {
        for (const std::string suffix : {"", ".gz"}) {
            const std::string descriptor =
                zovesk_test::builtExamplePath(prefix + "_descriptor.xml" + suffix);
            const std::string settings =
                zovesk_test::builtExamplePath(prefix + "_settings.xml" + suffix);
            ToolResult quiet = runVelt({"check", descriptor, settings, "--werror"});
            EXPECT_EQ(quiet.status, 0) << prefix << suffix << "\n" << quiet.out;
            EXPECT_EQ(quiet.out.find(": note: "), std::string::npos) << quiet.out;
            EXPECT_NE(quiet.out.find("0 errors, 0 warnings"), std::string::npos) << quiet.out;

            ToolResult json = runVelt(
                {"check", descriptor, settings, "--werror", "--format", "json", "--verbose=error"});
            ASSERT_EQ(json.status, 0) << json.out;
            nlohmann::json report = nlohmann::json::parse(json.out)["check"];
            EXPECT_TRUE(report["ok"]);
            for (const auto& diagnostic : report["diagnostics"]) {
                EXPECT_EQ(diagnostic["severity"], "note") << diagnostic.dump();
            }
            EXPECT_EQ(report["summary"]["notes"], report["diagnostics"].size());
        }
    }
    // The raw_out port of the camera graph is unused by two entries: a note
    // under --verbose, never a failure.
    ToolResult verbose = runVelt({"check", descriptorPath(), settingsPath(), "--verbose=error"});
    EXPECT_EQ(verbose.status, 0);
    EXPECT_NE(verbose.out.find(": note: settings 6000: port isa_pg:raw_out is unused and disabled"),
              std::string::npos)
        << verbose.out;
}

}  // namespace
}  // namespace velt_test
