// Documents built to hurt the reader: absurd nesting, sizes and attribute
// counts, broken and oversized gzip streams, invalid UTF-8, and paths that
// are no documents. Each must be refused or read, with an error where
// something was wrong, and never crash. The documents are generated into a
// temporary folder.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "reliability/fuzz_inputs.h"
#include "support/examples.h"
#include "support/log_capture.h"
#include "velt_graph_config.h"
#include "velt_item_uid.h"
#include "velt_node_iterator.h"
#include "velt_parser.h"
#include "zo_log_common.h"

namespace {

using Tree = std::unique_ptr<VELT::IGraphConfig>;

// Number of child nodes (attributes not counted).
int childNodes(const VELT::IGraphConfig* node) {
    int count = 0;
    VELT::NodeIterator children(node);
    while (children.iterateDescendants() != nullptr) {
        ++count;
    }
    return count;
}

// Depth of the deepest node, the root counting 1.
size_t treeDepth(const VELT::IGraphConfig* root) {
    size_t deepest = 0;
    std::vector<std::pair<const VELT::IGraphConfig*, size_t>> pending{{root, 1}};
    while (!pending.empty()) {
        auto [node, depth] = pending.back();
        pending.pop_back();
        deepest = std::max(deepest, depth);
        VELT::NodeIterator children(node);
        while (VELT::IGraphConfig* child = children.iterateDescendants()) {
            pending.emplace_back(child, depth + 1);
        }
    }
    return deepest;
}

class HostileDocuments : public ::testing::Test {
  protected:
    void SetUp() override {
        VELT::getVeltKeys(keys_);
        folder_ = std::filesystem::path(::testing::TempDir()) /
                  ("zovesk_hostile_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        std::filesystem::remove_all(folder_);
        VELT::copyVeltKeys(keys_);
    }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    std::string writePlain(const std::string& name, const std::string& text) const {
        std::ofstream(path(name), std::ios::binary) << text;
        return path(name);
    }

    Tree readFile(const std::string& file) {
        VELT::IGraphConfig* root = nullptr;
        VELT::VELTParser parser;
        parser.parseVELTXmlFile(file.c_str(), &root);
        return Tree(root);
    }

    Tree readMemory(std::string text) {
        VELT::IGraphConfig* root = nullptr;
        VELT::VELTParser parser;
        parser.parseVELTXmlData(text.data(), text.size(), &root);
        return Tree(root);
    }

    bool loggedParseError() const { return log_.contains(ZO_LOG_ERROR, "XML_Parse error"); }

    zovesk_test::LogCapture log_;

  private:
    VELT::KeyMap keys_;
    std::filesystem::path folder_;
};

TEST_F(HostileDocuments, MillionDeepNestingIsCutAtTheNestingLimit) {
    const size_t depth = 1000000;
    std::string text = "<graph_settings version=\"1\">";
    text.reserve(depth * 13 + 64);
    for (size_t i = 0; i < depth; ++i) {
        text += "<a>";
    }
    for (size_t i = 0; i < depth; ++i) {
        text += "</a>";
    }
    text += "</graph_settings>";

    Tree fromMemory = readMemory(text);
    EXPECT_TRUE(log_.contains(ZO_LOG_ERROR, "nested deeper than"));
    ASSERT_NE(fromMemory, nullptr);
    // The limit counts every open element, the top-level one included, and
    // the root node stands in for that one.
    EXPECT_EQ(treeDepth(fromMemory.get()), VELT::VELTParser::kMaxNestingDepth);

    log_.clear();
    Tree fromFile = readFile(writePlain("deep.xml", text));
    EXPECT_TRUE(log_.contains(ZO_LOG_ERROR, "nested deeper than"));
    ASSERT_NE(fromFile, nullptr);
    EXPECT_EQ(treeDepth(fromFile.get()), VELT::VELTParser::kMaxNestingDepth);
}

// The "description" of the only settings entry, or "" when missing.
std::string entryDescription(const VELT::IGraphConfig* root) {
    std::string read;
    const VELT::IGraphConfig* entry =
        root ? root->getDescendant(VELT::ItemUID::str2key("settings")) : nullptr;
    if (entry != nullptr) {
        entry->getValue(VELT::ItemUID::str2key("description"), read);
    }
    return read;
}

std::string documentWithDescription(const std::string& value) {
    return "<graph_settings version=\"1\"><settings description=\"" + value +
           "\"/></graph_settings>";
}

TEST_F(HostileDocuments, HundredMegabyteAttributeIsReadWhole) {
    const size_t size = 100u << 20;
    Tree root = readMemory(documentWithDescription(std::string(size, 'x')));
    ASSERT_NE(root, nullptr);
    const std::string read = entryDescription(root.get());
    EXPECT_EQ(read.size(), size);
    EXPECT_EQ(read.find_first_not_of('x'), std::string::npos);
}

TEST_F(HostileDocuments, HundredMegabyteAttributeIsReadWholeFromAFile) {
    // Files go to expat in blocks, and expat scans an unfinished token again
    // from its start with every block: in fixed 4 KiB blocks this value would
    // be scanned some 25 000 times over (hours). Blocks that end inside the
    // token grow, so it is scanned a few dozen times. (Gzip files take the
    // same blocks: the reader's tests compare both with memory.)
    const size_t size = 100u << 20;
    Tree root =
        readFile(writePlain("big_attribute.xml", documentWithDescription(std::string(size, 'y'))));
    ASSERT_NE(root, nullptr);
    EXPECT_FALSE(log_.contains(ZO_LOG_ERROR, ""));
    const std::string read = entryDescription(root.get());
    EXPECT_EQ(read.size(), size);
    EXPECT_EQ(read.find_first_not_of('y'), std::string::npos);
}

TEST_F(HostileDocuments, MillionAttributesKeepOnlyTheFirstUnknownOne) {
    std::string text = "<graph_settings version=\"1\"><settings key=\"7\"";
    for (int i = 0; i < 1000000; ++i) {
        text += " u" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    }
    text += "/></graph_settings>";
    Tree root = readMemory(text);
    ASSERT_NE(root, nullptr);
    const VELT::IGraphConfig* entry = root->getDescendant(VELT::ItemUID::str2key("settings"));
    ASSERT_NE(entry, nullptr);
    int key = 0;
    EXPECT_EQ(entry->getValue(VELT::ItemUID::str2key("key"), key), 0);
    EXPECT_EQ(key, 7);
    // Unknown attribute names all share key 0: the first one stays.
    std::string first;
    EXPECT_EQ(entry->getValue(0u, first), 0);
    EXPECT_EQ(first, "0");
}

TEST_F(HostileDocuments, TruncatedGzipReportsAnErrorAndKeepsWhatWasRead) {
    const std::string whole =
        zovesk_test::readFile(zovesk_test::builtExamplePath("camera_settings.xml.gz"));
    ASSERT_GT(whole.size(), 64u);
    for (size_t cut : {size_t{10}, whole.size() / 2, whole.size() - 9}) {
        log_.clear();
        Tree root = readFile(writePlain("cut.xml.gz", whole.substr(0, cut)));
        EXPECT_TRUE(log_.contains(ZO_LOG_ERROR, "Error reading from file") || loggedParseError() ||
                    log_.contains(ZO_LOG_ERROR, "Parser returned NULL!"))
            << "cut at " << cut;
        if (root != nullptr) {
            EXPECT_GE(treeDepth(root.get()), 1u);
        }
    }
    // Only the checksum trailer missing: the XML is complete, but the stream
    // is not, and that must not pass unnoticed.
    log_.clear();
    Tree root = readFile(writePlain("no_trailer.xml.gz", whole.substr(0, whole.size() - 8)));
    EXPECT_TRUE(log_.contains(ZO_LOG_ERROR, "Error reading from file"));
}

TEST_F(HostileDocuments, GzipBombOfBlanksIsStreamedThrough) {
    // 256 MiB of blanks between two entries inflate from a few hundred
    // kilobytes; the reader streams them block by block.
    const std::string file = path("bomb.xml.gz");
    gzFile out = gzopen(file.c_str(), "wb1");
    ASSERT_NE(out, nullptr);
    const std::string head = "<graph_settings version=\"1\"><settings key=\"1\"/>";
    gzwrite(out, head.data(), static_cast<unsigned>(head.size()));
    std::string blanks(1u << 20, ' ');
    for (size_t i = 0; i < blanks.size(); i += 80) {
        blanks[i] = '\n';
    }
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(gzwrite(out, blanks.data(), static_cast<unsigned>(blanks.size())),
                  static_cast<int>(blanks.size()));
    }
    const std::string tail = "<settings key=\"2\"/></graph_settings>";
    gzwrite(out, tail.data(), static_cast<unsigned>(tail.size()));
    ASSERT_EQ(gzclose(out), Z_OK);
    ASSERT_LT(std::filesystem::file_size(file), 4u << 20);

    Tree root = readFile(file);
    ASSERT_NE(root, nullptr);
    EXPECT_FALSE(log_.contains(ZO_LOG_ERROR, ""));
    // Both entries are there: the one after the blanks was reached.
    EXPECT_EQ(childNodes(root.get()), 2);
}

TEST_F(HostileDocuments, InvalidUtf8StopsReadingWithAParseError) {
    const std::string cases[] = {
        "<graph_settings version=\"1\"><settings key=\"1\"/><settings name=\"\xC3\x28\"/>"
        "</graph_settings>",
        "<graph_settings version=\"1\"><settings key=\"1\"/><s\xFF\xFE/></graph_settings>",
        "<graph_settings version=\"1\"><settings key=\"1\"/><settings name=\"\xED\xA0\x80\"/>"
        "</graph_settings>",
    };
    for (const std::string& text : cases) {
        log_.clear();
        Tree root = readMemory(text);
        EXPECT_TRUE(loggedParseError());
        // The entry before the bad bytes was read; nothing after them.
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(childNodes(root.get()), 1);

        log_.clear();
        Tree fromFile = readFile(writePlain("bad_utf8.xml", text));
        EXPECT_TRUE(loggedParseError());
        ASSERT_NE(fromFile, nullptr);
        EXPECT_EQ(childNodes(fromFile.get()), 1);
    }
}

TEST_F(HostileDocuments, DirectoryGivenAsDocumentGivesNoTree) {
    for (const char* name : {"folder.xml", "folder.xml.gz"}) {
        std::filesystem::create_directory(path(name));
        log_.clear();
        EXPECT_EQ(readFile(path(name)), nullptr) << name;
        EXPECT_TRUE(log_.contains(ZO_LOG_ERROR, "Parser returned NULL!")) << name;
        EXPECT_TRUE(log_.contains(ZO_LOG_ERROR, "Error reading from file") ||
                    log_.contains(ZO_LOG_ERROR, "Failed to open"))
            << name;
    }
}

TEST_F(HostileDocuments, MissingFileGivesNoTree) {
    EXPECT_EQ(readFile(path("missing.xml")), nullptr);
    EXPECT_TRUE(log_.contains(ZO_LOG_ERROR, "Failed to open XML"));
    EXPECT_EQ(readFile(path("missing.xml.gz")), nullptr);
    EXPECT_TRUE(log_.contains(ZO_LOG_ERROR, "Failed to open GZ"));
}

TEST_F(HostileDocuments, EmptyFileGivesNoTree) {
    EXPECT_EQ(readFile(writePlain("empty.xml", "")), nullptr);
    EXPECT_TRUE(loggedParseError());
    EXPECT_TRUE(log_.contains(ZO_LOG_ERROR, "Parser returned NULL!"));

    log_.clear();
    EXPECT_EQ(readFile(writePlain("empty.xml.gz", "")), nullptr);
    EXPECT_TRUE(log_.contains(ZO_LOG_ERROR, "Parser returned NULL!"));

    log_.clear();
    EXPECT_EQ(readMemory(""), nullptr);
    EXPECT_TRUE(log_.contains(ZO_LOG_ERROR, "Parser returned NULL!"));
}

}  // namespace
