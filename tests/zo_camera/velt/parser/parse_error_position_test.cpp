// Where a syntax error stopped a read: the document's file, line and column
// and expat's text, for plain, gzip and memory reads alike; the log messages
// stay as they are.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "gzip_writer.h"
#include "support/log_capture.h"
#include "support/parse_text.h"
#include "velt_parser.h"
#include "zo_log_common.h"

namespace {

using VELT::IGraphConfig;
using VELT::VELTParser;
using zovesk_test::LogCapture;
using zovesk_test::TreePtr;

// "</port>" on line 4 (its '<' in column 10) closes <hw>: expat stops at the
// tag's name, column 12.
const std::string kMismatchedTag =
    "<graph_descriptor version=\"1\">\n"
    "  <nodes>\n"
    "    <hw name=\"csi_be\">\n"
    "    </hw></port>\n"
    "  </nodes>\n"
    "</graph_descriptor>\n";

const std::string kGood = "<graph_settings version=\"1\"><settings key=\"1\"/></graph_settings>";

class ParseErrorPositionTest : public ::testing::Test {
  protected:
    void SetUp() override { dir_ = zovesk_test::makeTempDir(); }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    // Reads the file with parser; the tree is freed.
    static void readFile(VELTParser& parser, const std::string& file) {
        IGraphConfig* root = nullptr;
        parser.parseVELTXmlFile(file.c_str(), &root);
        TreePtr tree(root);
    }

    std::string dir_;
};

TEST_F(ParseErrorPositionTest, EveryReadingPathNamesTheDocumentsPosition) {
    const std::string plain = zovesk_test::writeFile(path("broken.xml"), kMismatchedTag);
    const std::string packed = zovesk_test::writeGzipFile(path("broken.xml.gz"), kMismatchedTag);
    struct Case {
        const char* what;
        std::string file;  // empty: from memory
    };
    for (const Case& c : {Case{"plain", plain}, Case{"gzip", packed}, Case{"memory", ""}}) {
        SCOPED_TRACE(c.what);
        VELTParser parser;
        LogCapture log;
        if (c.file.empty()) {
            std::string text = kMismatchedTag;
            IGraphConfig* root = nullptr;
            parser.parseVELTXmlData(&text[0], text.size(), &root);
            TreePtr tree(root);
        } else {
            readFile(parser, c.file);
        }
        const VELT::VELTParseError& error = parser.lastError();
        EXPECT_EQ(error.fileName, c.file);
        EXPECT_EQ(error.line, 4u);
        EXPECT_EQ(error.column, 12u);
        EXPECT_EQ(error.message, "mismatched tag");
        // The log keeps the reader's own message, which names its function.
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "XML_Parse error mismatched tag"));
        EXPECT_FALSE(log.contains("line:4,"));
    }
}

TEST_F(ParseErrorPositionTest, AnErrorIsForgottenByTheNextRead) {
    VELTParser parser;
    LogCapture log;
    readFile(parser, zovesk_test::writeFile(path("broken.xml"), kMismatchedTag));
    ASSERT_FALSE(parser.lastError().message.empty());

    const std::string good = zovesk_test::writeFile(path("good.xml"), kGood);
    readFile(parser, good);
    EXPECT_EQ(parser.lastError().fileName, good);
    EXPECT_TRUE(parser.lastError().message.empty());
    EXPECT_EQ(parser.lastError().line, 0u);
    EXPECT_EQ(parser.lastError().column, 0u);

    // A file that cannot be opened is no syntax error.
    readFile(parser, path("missing.xml"));
    EXPECT_TRUE(parser.lastError().message.empty());
    EXPECT_EQ(parser.lastError().fileName, path("missing.xml"));
}

TEST_F(ParseErrorPositionTest, TruncatedDocumentsStopAtTheirEnd) {
    // A document cut short is reported where the text ends: line 2, after
    // the six characters of "  <set".
    const std::string cut = "<graph_settings version=\"1\">\n  <set";
    VELTParser parser;
    LogCapture log;
    readFile(parser, zovesk_test::writeGzipFile(path("cut.xml.gz"), cut));
    EXPECT_EQ(parser.lastError().message, "unclosed token");
    EXPECT_EQ(parser.lastError().line, 2u);
    EXPECT_EQ(parser.lastError().column, 3u);
}

}  // namespace
