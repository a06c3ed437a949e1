// Reading files (plain and gzip), documents in memory, and every way reading
// can fail.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gzip_writer.h"
#include "support/examples.h"
#include "support/log_capture.h"
#include "support/parse_text.h"
#include "velt_graph_config_node.h"
#include "velt_item_uid.h"
#include "velt_keys.h"
#include "velt_parser.h"
#include "zo_log_common.h"
#include "zo_rulo_memory.h"

namespace {

using VELT::IGraphConfig;
using VELT::ItemUID;
using VELT::VELTParser;
using zovesk_test::asNode;
using zovesk_test::LogCapture;
using zovesk_test::parseFile;
using zovesk_test::parseText;
using zovesk_test::TreePtr;

class DocumentInputTest : public ::testing::Test {
  protected:
    void SetUp() override { dir_ = zovesk_test::makeTempDir(); }
    void TearDown() override {
        g_alloc_error = -1;
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    std::string dir_;
};

// A settings document of exactly size bytes, padded inside a comment; with
// complete false its closing tag is missing (and the padding makes up for it).
std::string documentOfSize(size_t size, bool complete) {
    const std::string head = "<graph_settings version=\"4\"><settings key=\"1\"/><kd_last/><!--";
    const std::string tail = complete ? "--></graph_settings>\n" : "-->";
    std::string text = head + std::string(size - head.size() - tail.size(), 'x') + tail;
    return text;
}

TEST_F(DocumentInputTest, PlainGzipAndMemoryGiveTheSameTree) {
    const std::string plain = zovesk_test::builtExamplePath("camera_descriptor.xml");
    TreePtr fromPlain = parseFile(plain);
    TreePtr fromGzip = parseFile(plain + ".gz");
    ASSERT_TRUE(fromPlain);
    ASSERT_TRUE(fromGzip);
    EXPECT_EQ(
        zovesk_test::describeTreeDifference(*asNode(fromPlain.get()), *asNode(fromGzip.get())), "");

    std::ifstream file(plain, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    TreePtr fromMemory = parseText(text);
    ASSERT_TRUE(fromMemory);
    EXPECT_EQ(
        zovesk_test::describeTreeDifference(*asNode(fromPlain.get()), *asNode(fromMemory.get())),
        "");
}

TEST_F(DocumentInputTest, TheFileTypeIsTheCaseSensitiveTextAfterTheLastPoint) {
    const std::string text = "<graph_settings version=\"1\"><settings key=\"3\"/></graph_settings>";
    {
        LogCapture log;
        TreePtr root = parseFile(zovesk_test::writeFile(path("graph.XML"), text));
        EXPECT_FALSE(root);
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "file type (XML) not suppoted."));
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Parser returned NULL!"));
    }
    {
        LogCapture log;
        EXPECT_FALSE(parseFile(zovesk_test::writeFile(path("graph"), text)));
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "not suppoted."));
    }
    TreePtr gz = parseFile(zovesk_test::writeGzipFile(path("graph.xml.gz"), text));
    ASSERT_TRUE(gz);
    EXPECT_NE(gz->getDescendant(VELT::kKeySettings), nullptr);
}

TEST_F(DocumentInputTest, AFileOfTwoFullBlocksIsEndedWithAnEmptyFinalBlock) {
    const std::string complete = documentOfSize(2 * VELTParser::kBlockSize, true);
    ASSERT_EQ(complete.size(), 8192u);
    for (const std::string& file : {zovesk_test::writeFile(path("full.xml"), complete),
                                    zovesk_test::writeGzipFile(path("full.xml.gz"), complete)}) {
        LogCapture log;
        TreePtr root = parseFile(file);
        ASSERT_TRUE(root) << file;
        EXPECT_NE(root->getDescendant(ItemUID::str2key("kd_last")), nullptr) << file;
        EXPECT_FALSE(log.contains(ZO_LOG_ERROR, "XML_Parse error")) << file;
    }

    // Only the final block tells expat that the closing tag never came.
    const std::string truncated = documentOfSize(2 * VELTParser::kBlockSize, false);
    ASSERT_EQ(truncated.size(), 8192u);
    for (const std::string& file : {zovesk_test::writeFile(path("cut.xml"), truncated),
                                    zovesk_test::writeGzipFile(path("cut.xml.gz"), truncated)}) {
        LogCapture log;
        TreePtr root = parseFile(file);
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "XML_Parse error")) << file;
        ASSERT_TRUE(root) << file;
        EXPECT_NE(root->getDescendant(VELT::kKeySettings), nullptr) << file;
    }
}

TEST_F(DocumentInputTest, DocumentsNotEndingOnABlockBoundaryAreRead) {
    const std::string text = documentOfSize(VELTParser::kBlockSize + 17, true);
    TreePtr root = parseFile(zovesk_test::writeFile(path("odd.xml"), text));
    ASSERT_TRUE(root);
    EXPECT_NE(root->getDescendant(ItemUID::str2key("kd_last")), nullptr);
}

// Tokens far longer than a block (an attribute value, a comment, blanks and
// an element name) between ordinary elements: files are fed in larger blocks
// while such a token lasts, and the tree must be the same as from memory,
// where the whole document goes to expat at once.
TEST_F(DocumentInputTest, TokensLongerThanABlockGiveTheSameTreeAsFromMemory) {
    std::string text = "<graph_settings version=\"4\">";
    for (int i = 0; i < 200; ++i) {
        text += "<settings key=\"" + std::to_string(i) + "\" id=\"100\"/>";
    }
    text += "<settings key=\"900\" description=\"" + std::string(300000, 'd') + "\"/>";
    text += "<!--" + std::string(70000, 'c') + "-->";
    text += "<kd_long_" + std::string(20000, 'n') + " width=\"7\"/>";
    text += std::string(50000, ' ');
    for (int i = 0; i < 100; ++i) {
        text += "<kd_after id=\"" + std::to_string(i) + "\"/>";
    }
    text += "<kd_last/></graph_settings>";

    TreePtr fromMemory = parseText(text);
    ASSERT_TRUE(fromMemory);
    ASSERT_NE(fromMemory->getDescendant(ItemUID::str2key("kd_last")), nullptr);
    for (const std::string& file : {zovesk_test::writeFile(path("long.xml"), text),
                                    zovesk_test::writeGzipFile(path("long.xml.gz"), text)}) {
        LogCapture log;
        TreePtr fromFile = parseFile(file);
        ASSERT_TRUE(fromFile) << file;
        EXPECT_FALSE(log.contains(ZO_LOG_ERROR, "")) << file;
        EXPECT_EQ(
            zovesk_test::describeTreeDifference(*asNode(fromMemory.get()), *asNode(fromFile.get())),
            "")
            << file;
    }

    // Broken off inside the long value: the same error and tree either way.
    const std::string cut = text.substr(0, text.find("ddd") + 200000);
    TreePtr cutFromMemory = parseText(cut);
    for (const std::string& file : {zovesk_test::writeFile(path("cut.xml"), cut),
                                    zovesk_test::writeGzipFile(path("cut.xml.gz"), cut)}) {
        LogCapture log;
        TreePtr cutFromFile = parseFile(file);
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "XML_Parse error")) << file;
        ASSERT_TRUE(cutFromFile) << file;
        ASSERT_TRUE(cutFromMemory);
        EXPECT_EQ(zovesk_test::describeTreeDifference(*asNode(cutFromMemory.get()),
                                                      *asNode(cutFromFile.get())),
                  "")
            << file;
    }
}

TEST_F(DocumentInputTest, FilesThatCannotBeOpenedOrReadGiveNoTree) {
    struct Case {
        std::string file;
        std::string message;
    };
    std::filesystem::create_directory(path("folder.xml"));
    std::filesystem::create_directory(path("folder.gz"));
    const std::vector<Case> cases = {
        {path("missing.xml"), "Failed to open XML " + path("missing.xml")},
        {path("missing.gz"), "Failed to open GZ " + path("missing.gz")},
        {path("folder.xml"), "Error reading from file"},
        {path("folder.gz"), "Error reading from file"},
    };
    for (const Case& c : cases) {
        LogCapture log;
        IGraphConfig* root = reinterpret_cast<IGraphConfig*>(0x1);
        VELTParser parser;
        parser.parseVELTXmlFile(c.file.c_str(), &root);
        EXPECT_EQ(root, nullptr) << c.file;
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, c.message)) << c.file;
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Parser returned NULL!")) << c.file;
    }
}

TEST_F(DocumentInputTest, NullArgumentsAndAMissingBlockLeaveTheOutputAlone) {
    VELTParser parser;
    {
        LogCapture log;
        parser.parseVELTXmlFile(path("x.xml").c_str(), nullptr);
        parser.parseVELTXmlData(nullptr, 0, nullptr);
        EXPECT_EQ(log.records().size(), 2u);
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "NULL pointer given!"));
    }
    {
        LogCapture log;
        const std::string file = zovesk_test::writeFile(
            path("ok.xml"), "<graph_settings version=\"1\"><settings/></graph_settings>");
        IGraphConfig* const sentinel = reinterpret_cast<IGraphConfig*>(0x10);
        IGraphConfig* root = sentinel;
        g_alloc_error = g_alloc_counter;
        parser.parseVELTXmlFile(file.c_str(), &root);
        g_alloc_error = -1;
        EXPECT_EQ(root, sentinel);
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "pBuf is NULL"));
        // The reader is still usable afterwards.
        parser.parseVELTXmlFile(file.c_str(), &root);
        ASSERT_NE(root, sentinel);
        ASSERT_NE(root, nullptr);
        delete root;
    }
}

TEST_F(DocumentInputTest, ASyntaxErrorHandsOutTheWholeTreeReadSoFar) {
    LogCapture log;
    // Not NUL-terminated: the reader must stay inside the given length.
    const std::string text =
        "<graph_settings version=\"1\"><settings key=\"5\"><kd_open><kd_inner/></settings>";
    std::vector<char> data(text.begin(), text.end());
    IGraphConfig* root = nullptr;
    VELTParser parser;
    parser.parseVELTXmlData(data.data(), data.size(), &root);
    TreePtr owned(root);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "XML_Parse error"));
    ASSERT_TRUE(owned);
    EXPECT_EQ(owned->getAncestor(), nullptr);
    IGraphConfig* settings = owned->getDescendant(VELT::kKeySettings);
    ASSERT_NE(settings, nullptr);
    IGraphConfig* open = settings->getDescendant(ItemUID::str2key("kd_open"));
    ASSERT_NE(open, nullptr);
    EXPECT_NE(open->getDescendant(ItemUID::str2key("kd_inner")), nullptr);
}

TEST_F(DocumentInputTest, AReaderStartsCleanAfterADocumentThatBrokeOff) {
    VELTParser parser;
    {
        LogCapture log;
        // Breaks off inside a failed element and the still open document element.
        TreePtr broken = parseText(parser,
                                   "<graph_descriptor version=\"7\"><nodes>"
                                   "<port type=\"x\" name=\"di_failed\"><kd_x><kd_y>");
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Error adding name attribute"));
        EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "XML_Parse error"));
        ASSERT_TRUE(broken);
        EXPECT_NE(broken->getDescendant(VELT::kKeyNodes), nullptr);
    }
    TreePtr next = parseText(parser,
                             "<graph_settings><settings key=\"9\"><di_child/></settings>"
                             "<di_sibling/></graph_settings>");
    ASSERT_TRUE(next);
    IGraphConfig* settings = next->getDescendant(VELT::kKeySettings);
    ASSERT_NE(settings, nullptr);
    EXPECT_NE(settings->getDescendant(ItemUID::str2key("di_child")), nullptr);
    EXPECT_NE(next->getDescendant(ItemUID::str2key("di_sibling")), nullptr);
    EXPECT_EQ(next->getDescendantCount(), 3);  // version, settings, di_sibling
}

TEST_F(DocumentInputTest, ADocumentWithoutNodesGivesNoTree) {
    LogCapture log;
    EXPECT_FALSE(parseText("<graph_settings version=\"1\"></graph_settings>"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Parser returned NULL!"));
    log.clear();
    EXPECT_FALSE(parseText(""));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "XML_Parse error"));
}

TEST_F(DocumentInputTest, AMissingVersionIsAWarningAndTheRootHasNone) {
    LogCapture log;
    TreePtr root = parseText("<graph_settings><settings key=\"1\"/></graph_settings>");
    ASSERT_TRUE(root);
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING, "No version information found."));
    EXPECT_FALSE(asNode(root.get())->hasItem(VELT::kKeyVersion));
    EXPECT_EQ(root->getDescendantCount(), 1);
}

TEST_F(DocumentInputTest, OneReaderKeepsTheVersionForTheNextDocument) {
    VELTParser parser;
    TreePtr first =
        parseText(parser, "<graph_descriptor version=\"3.1\"><nodes/></graph_descriptor>");
    ASSERT_TRUE(first);

    LogCapture log;
    TreePtr second = parseText(parser, "<graph_settings><settings key=\"1\"/></graph_settings>");
    ASSERT_TRUE(second);
    std::string version;
    EXPECT_EQ(second->getValue(VELT::kKeyVersion, version), 0);
    EXPECT_EQ(version, "3.1");
    EXPECT_FALSE(log.contains("No version information found."));
    // The second document is a settings document: its "settings" is keyed as such.
    EXPECT_NE(second->getDescendant(VELT::kKeySettings), nullptr);

    TreePtr third =
        parseText(parser, "<graph_settings version=\"3.1.4\"><settings/></graph_settings>");
    ASSERT_TRUE(third);
    EXPECT_EQ(third->getValue(VELT::kKeyVersion, version), 0);
    EXPECT_EQ(version, "3.1.4");
}

TEST_F(DocumentInputTest, HostileNestingIsRefusedWithoutACrash) {
    constexpr size_t kLevels = 1000000;
    std::string text = "<graph_settings version=\"1\">";
    text.reserve(text.size() + kLevels * 7 + 32);
    for (size_t i = 0; i < kLevels; ++i) {
        text += "<a>";
    }
    for (size_t i = 0; i < kLevels; ++i) {
        text += "</a>";
    }
    text += "</graph_settings>";

    LogCapture log;
    TreePtr root = parseText(text);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "nested deeper"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "XML_Parse error"));
    ASSERT_TRUE(root);
    size_t depth = 0;
    for (IGraphConfig* node = root.get(); node != nullptr;
         node = node->getDescendant(ItemUID::str2key("a"))) {
        ++depth;
    }
    EXPECT_LE(depth, static_cast<size_t>(VELTParser::kMaxNestingDepth));
    EXPECT_GT(depth, 100u);
}

}  // namespace
