// Reading documents: plain and gzip, and clear errors for missing,
// unreadable or unsuitable files.
#include <gtest/gtest.h>

#include "tool_runner.h"

namespace velt_test {
namespace {

TEST(VeltDocuments, MissingAndUnreadableDocumentsAreReported) {
    ToolResult missing = runVelt({"list", "/nonexistent/settings.xml"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("does not exist"), std::string::npos) << missing.err;
    EXPECT_TRUE(missing.out.empty());

    TempFile wrongType("<graph_settings/>", ".txt");
    ToolResult typed = runVelt({"list", wrongType.path()});
    EXPECT_EQ(typed.status, 2);
    EXPECT_NE(typed.err.find(".xml"), std::string::npos) << typed.err;

    // The reader's own message tells where the document breaks off.
    TempFile broken("<graph_settings version=\"1\"><settings key=\"1\" id=\"2\">", ".xml");
    ToolResult syntax = runVelt({"list", broken.path()});
    EXPECT_EQ(syntax.status, 2);
    EXPECT_NE(syntax.err.find("XML_Parse error"), std::string::npos) << syntax.err;

    TempFile notGzip("not compressed", ".gz");
    EXPECT_EQ(runVelt({"list", notGzip.path()}).status, 2);

    // A descriptor where settings are expected, and the other way round.
    ToolResult swapped = runVelt({"modes", descriptorPath()});
    EXPECT_EQ(swapped.status, 2);
    EXPECT_NE(swapped.err.find("not a graph settings"), std::string::npos) << swapped.err;
    ToolResult reversed = runVelt({"query", settingsPath(), settingsPath(), "fps=30"});
    EXPECT_EQ(reversed.status, 2);
    EXPECT_NE(reversed.err.find("not a graph descriptor"), std::string::npos) << reversed.err;
}

TEST(VeltDocuments, ReadingIsTracedWithVerbose) {
    ToolResult quiet = runVelt({"list", settingsPath()});
    ASSERT_EQ(quiet.status, 0);
    EXPECT_TRUE(quiet.err.empty()) << quiet.err;

    // The reader's block allocation is traced at the "alloc" level.
    ToolResult traced = runVelt({"list", settingsPath() + ".gz", "--verbose=alloc"});
    ASSERT_EQ(traced.status, 0);
    EXPECT_NE(traced.err.find("[alloc]"), std::string::npos) << traced.err;
    EXPECT_NE(traced.err.find("parseVELTXmlFile"), std::string::npos) << traced.err;
    EXPECT_EQ(traced.out, quiet.out);
}

TEST(VeltDocuments, StandardInputPlainOrGzip) {
    ToolResult fromFile = runVelt({"list", settingsPath()});
    ASSERT_EQ(fromFile.status, 0) << fromFile.err;
    // Told apart by the first bytes, whatever the file was called.
    for (const std::string& path : {settingsPath(), settingsPath() + ".gz"}) {
        ToolResult piped = runVeltWithInput({"list", "-"}, readFile(path));
        EXPECT_EQ(piped.status, 0) << path << piped.err;
        EXPECT_EQ(piped.out, fromFile.out) << path;
    }
    // Either document of a pair may come from standard input.
    ToolResult query =
        runVeltWithInput({"query", descriptorPath(), "-", "fps=90", "--format", "json"},
                         readFile(settingsPath() + ".gz"));
    ASSERT_EQ(query.status, 0) << query.err;
    EXPECT_NE(query.out.find("\"settings\": \"-\""), std::string::npos) << query.out;
    ToolResult descriptor = runVeltWithInput({"build", "-", settingsPath(), "--key", "6100"},
                                             readFile(descriptorPath()));
    EXPECT_EQ(descriptor.status, 0) << descriptor.err;
}

TEST(VeltDocuments, BadStandardInputAndCompressedXmlNames) {
    struct Case {
        std::vector<std::string> arguments;
        std::string input;
        std::string message;
    };
    std::string packed = readFile(settingsPath() + ".gz");
    const std::vector<Case> cases = {
        {{"query", "-", "-", "fps=30"}, "", "only one of the two documents"},
        {{"list", "-"}, "", "cannot read document on standard input"},
        {{"list", "-"}, "<graph_settings version=\"1\"><settings key=", "XML_Parse error"},
        {{"list", "-"}, packed.substr(0, packed.size() / 2), "cannot decompress"},
        {{"list", "-"}, "\x1f\x8bnot really gzip", "cannot decompress"},
    };
    for (const Case& test : cases) {
        ToolResult result = runVeltWithInput(test.arguments, test.input);
        EXPECT_EQ(result.status, 2) << test.message;
        EXPECT_NE(result.err.find(test.message), std::string::npos) << result.err;
    }

    // The reader goes by the name: a compressed file named .xml gets a hint.
    TempFile misnamed(packed, ".xml");
    ToolResult hinted = runVelt({"list", misnamed.path()});
    EXPECT_EQ(hinted.status, 2);
    EXPECT_NE(hinted.err.find("is gzip-compressed: rename it to end in .gz"), std::string::npos)
        << hinted.err;
}

}  // namespace
}  // namespace velt_test
