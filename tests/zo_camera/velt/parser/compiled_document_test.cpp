// Compiled documents against their XML: the same tree item by item and the
// same key dictionary afterwards, for the bundled documents and for a few
// thousand generated ones that lean on the order-dependent rules (names the
// dictionary learns mid-document, descriptor names, "attribute" values,
// letter case, repeated keys, top-level elements inside the document, keys
// in the integer range).

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "support/examples.h"
#include "support/log_capture.h"
#include "support/parse_text.h"
#include "velt_document_compiler.h"
#include "velt_graph_config_node.h"
#include "velt_item_uid.h"
#include "velt_keys.h"
#include "velt_parser.h"

namespace {

using zovesk_test::TreePtr;

// Compiles the document at path next to itself (same name + ".veltbin").
std::string compileNextTo(const std::string& path, const std::string& folder) {
    std::vector<uint8_t> image;
    EXPECT_EQ(VELT::DocumentCompiler::compile(path.c_str(), image), 0) << path;
    const std::string compiled = folder + "/" + path.substr(path.rfind('/') + 1) + ".veltbin";
    std::ofstream(compiled, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    return compiled;
}

// Reads the documents in order, each from its XML or its compiled twin as
// pick says, with one reader; the trees and the dictionary left behind.
struct Reading {
    std::vector<TreePtr> trees;
    VELT::KeyMap keys;
};

template <typename Pick>
Reading readAll(const std::vector<std::pair<std::string, std::string>>& documents, Pick pick) {
    Reading reading;
    VELT::VELTParser parser;
    for (size_t index = 0; index < documents.size(); ++index) {
        const std::string& path = pick(index) ? documents[index].second : documents[index].first;
        VELT::IGraphConfig* root = nullptr;
        parser.parseVELTXmlFile(path.c_str(), &root);
        reading.trees.emplace_back(root);
    }
    VELT::getVeltKeys(reading.keys);
    return reading;
}

// Reads all documents as XML, then all compiled, then alternating, each time
// from the same dictionary: everything must agree.
void expectSameReadings(const std::vector<std::pair<std::string, std::string>>& documents) {
    VELT::KeyMap start;
    VELT::getVeltKeys(start);
    const Reading xml = readAll(documents, [](size_t) { return false; });
    VELT::copyVeltKeys(start);
    const Reading compiled = readAll(documents, [](size_t) { return true; });
    VELT::copyVeltKeys(start);
    const Reading mixed = readAll(documents, [](size_t index) { return index % 2 == 1; });
    VELT::copyVeltKeys(start);

    EXPECT_EQ(xml.keys, compiled.keys);
    EXPECT_EQ(xml.keys, mixed.keys);
    for (size_t index = 0; index < documents.size(); ++index) {
        const std::string& path = documents[index].first;
        ASSERT_EQ(xml.trees[index] == nullptr, compiled.trees[index] == nullptr) << path;
        ASSERT_EQ(xml.trees[index] == nullptr, mixed.trees[index] == nullptr) << path;
        if (xml.trees[index] == nullptr) {
            continue;
        }
        const auto& reference = *zovesk_test::asNode(xml.trees[index].get());
        EXPECT_EQ(zovesk_test::describeTreeDifference(
                      reference, *zovesk_test::asNode(compiled.trees[index].get())),
                  "")
            << path;
        EXPECT_EQ(zovesk_test::describeTreeDifference(
                      reference, *zovesk_test::asNode(mixed.trees[index].get())),
                  "")
            << path;
    }
}

TEST(CompiledDocuments, BundledDocumentsReadAsTheirXmlAndGzip) {
    const std::string folder = zovesk_test::makeTempDir();
    std::vector<std::pair<std::string, std::string>> documents;
    for (const char* name : {"camera_descriptor.xml", "camera_settings.xml", "orba6_descriptor.xml",
                             "orba6_settings.xml", "orba7_descriptor.xml", "orba7_settings.xml"}) {
        const std::string plain = zovesk_test::builtExamplePath(name);
        documents.emplace_back(plain, compileNextTo(plain, folder));
        const std::string gzip = plain + ".gz";
        documents.emplace_back(gzip, compileNextTo(gzip, folder));
    }
    expectSameReadings(documents);
    // Plain and gzip compile to the same bytes.
    std::vector<uint8_t> plain;
    std::vector<uint8_t> gzip;
    const std::string settings = zovesk_test::builtExamplePath("camera_settings.xml");
    ASSERT_EQ(VELT::DocumentCompiler::compile(settings.c_str(), plain), 0);
    ASSERT_EQ(VELT::DocumentCompiler::compile((settings + ".gz").c_str(), gzip), 0);
    EXPECT_EQ(plain, gzip);
}

// Generated documents.
const char* const kElementNames[] = {"port",  "input",          "output",           "node",
                                     "nodes", "graph",          "settings",         "kernel",
                                     "na",    "graph_settings", "graph_descriptor", "sensor"};
const char* const kAttributeNames[] = {"name",    "type", "width",     "height",
                                       "id",      "key",  "attribute", "format",
                                       "enabled", "na",   "version",   "direction"};
const char* const kValues[] = {"1920", "-7",  "12abc", "  42",        "GRBG_10",
                               "",     "x y", "+5",    "-4294967297", "99999999999999999999",
                               "port", "na",  "Width"};

class Generator {
  public:
    explicit Generator(uint32_t seed) : random_(seed) {}

    std::string document() {
        const char* const tops[] = {"graph_descriptor", "graph_settings", "nodes"};
        const std::string top = randomCase(tops[random_() % 3]);
        std::string out = "<" + top;
        if (random_() % 4 != 0) {
            out += " version=\"v" + std::to_string(random_() % 3) + "\"";
        }
        out += ">";
        for (int count = static_cast<int>(random_() % 4); count > 0; --count) {
            element(out, 1);
        }
        return out + "<!-- ignored --></" + top + ">";
    }

  private:
    // A name the dictionary may not know yet; a shared pool, so that
    // documents teach each other names.
    std::string novel() { return "rr_" + std::to_string(random_() % 400); }

    std::string pick(const char* const* names, size_t count) {
        return random_() % 3 == 0 ? novel() : std::string(names[random_() % count]);
    }

    std::string randomCase(std::string name) {
        for (char& c : name) {
            if (random_() % 4 == 0 && c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 'a' + 'A');
            }
        }
        return name;
    }

    void element(std::string& out, int depth) {
        const std::string name = randomCase(pick(kElementNames, std::size(kElementNames)));
        out += "<" + name;
        std::vector<std::string> written;
        for (int count = static_cast<int>(random_() % 5); count > 0; --count) {
            const std::string attribute =
                randomCase(pick(kAttributeNames, std::size(kAttributeNames)));
            bool repeated = false;
            for (const std::string& seen : written) {
                repeated = repeated || seen == attribute;
            }
            if (repeated) {
                continue;  // an exact repeat is not XML
            }
            written.push_back(attribute);
            const std::string value =
                random_() % 3 == 0 ? novel() : std::string(kValues[random_() % std::size(kValues)]);
            out += " " + attribute + "=\"" + value + "\"";
        }
        out += ">text";
        if (depth < 4) {
            for (int count = static_cast<int>(random_() % 4); count > 0; --count) {
                element(out, depth + 1);
            }
        }
        out += "</" + name + ">";
    }

    std::mt19937 random_;
};

// count documents from seed, each as XML and compiled.
std::vector<std::pair<std::string, std::string>> generatedDocuments(uint32_t seed, int count) {
    const std::string folder = zovesk_test::makeTempDir();
    Generator generator(seed);
    std::vector<std::pair<std::string, std::string>> documents;
    for (int index = 0; index < count; ++index) {
        const std::string path = folder + "/doc" + std::to_string(index) + ".xml";
        zovesk_test::writeFile(path, generator.document());
        documents.emplace_back(path, compileNextTo(path, folder));
    }
    return documents;
}

class GeneratedDocuments : public ::testing::Test {
  protected:
    void SetUp() override { VELT::getVeltKeys(original_); }
    void TearDown() override { VELT::copyVeltKeys(original_); }

    VELT::KeyMap original_;
};

TEST_F(GeneratedDocuments, ReadAsTheirXml) {
    // Warnings and element failures are part of what must agree; keep them quiet.
    zovesk_test::LogCapture quiet;
    const auto documents = generatedDocuments(20261209, 3000);
    expectSameReadings(documents);
}

TEST_F(GeneratedDocuments, TakeTheirKindsFromTheDictionaryAtReadingTime) {
    // Compiled while the names are unknown, read once a host has mapped some
    // of them into the integer range: what an attribute holds follows the
    // dictionary of the reading, as it does for XML.
    zovesk_test::LogCapture quiet;
    const auto documents = generatedDocuments(7, 300);
    VELT::KeyMap integerNames;
    for (uint32_t name = 0; name < 400; name += 3) {
        integerNames.emplace("rr_" + std::to_string(name), 9000 + name);
    }
    VELT::ItemUID::addCustomKeyMap(integerNames);
    expectSameReadings(documents);
    // The mapping reached the trees: some attribute holds an integer under it.
    VELT::VELTParser parser;
    size_t integers = 0;
    for (const auto& document : documents) {
        VELT::IGraphConfig* root = nullptr;
        parser.parseVELTXmlFile(document.second.c_str(), &root);
        TreePtr tree(root);
        std::vector<const VELT::GraphConfigNode*> pending;
        if (tree) {
            pending.push_back(zovesk_test::asNode(tree.get()));
        }
        while (!pending.empty()) {
            const VELT::GraphConfigNode* node = pending.back();
            pending.pop_back();
            for (const auto& [key, item] : *node) {
                if (item->isNode()) {
                    pending.push_back(static_cast<const VELT::GraphConfigNode*>(item.get()));
                } else if (key >= 9000 && key < 9400 && item->getType() == item->kTypeInt) {
                    ++integers;
                }
            }
        }
    }
    EXPECT_GT(integers, 10u);
}

TEST_F(GeneratedDocuments, ElementsOfOneShapeFollowNamesLearntBetweenThem) {
    // Elements of the same name and attribute names, before and after the
    // dictionary learns a name they use (from an element, a descriptor
    // name, an "attribute" value, or the element itself), and elements whose
    // own values teach it.
    zovesk_test::LogCapture quiet;
    const std::string folder = zovesk_test::makeTempDir();
    const char* const documents[] = {
        "<graph_settings version=\"1\"><a zq_1=\"5\"/><zq_1/><a zq_1=\"6\"/></graph_settings>",
        "<graph_descriptor version=\"1\"><b zq_2=\"x\"/><node name=\"zq_2\"/>"
        "<b zq_2=\"y\"/></graph_descriptor>",
        "<graph_settings version=\"1\"><c attribute=\"zq_3\" zq_3=\"1\"/>"
        "<c attribute=\"zq_4\" zq_3=\"2\"/><c attribute=\"zq_4\" zq_4=\"3\"/></graph_settings>",
        "<graph_descriptor version=\"1\"><d name=\"zq_5\" zq_5=\"1\"/>"
        "<d name=\"zq_6\" zq_5=\"2\"/><d type=\"t\" name=\"zq_7\"/><d name=\"zq_7\"/>"
        "</graph_descriptor>",
        "<graph_settings version=\"1\"><e zq_8=\"1\"><zq_8/></e><e zq_8=\"2\"/>"
        "<graph_settings version=\"2\"><f/></graph_settings><e zq_8=\"3\"/></graph_settings>",
    };
    std::vector<std::pair<std::string, std::string>> paths;
    for (size_t index = 0; index < std::size(documents); ++index) {
        const std::string path = zovesk_test::writeFile(
            folder + "/shape" + std::to_string(index) + ".xml", documents[index]);
        paths.emplace_back(path, compileNextTo(path, folder));
    }
    expectSameReadings(paths);
}

TEST(CompiledDocuments, KeepTheReadersVersionLikeXml) {
    // A document without a version takes the one the reader kept from the
    // document before, whichever form either of them is read from.
    const std::string folder = zovesk_test::makeTempDir();
    const std::string first = zovesk_test::writeFile(
        folder + "/first.xml",
        "<graph_settings version=\"7.1\"><settings id=\"1\"/></graph_settings>");
    const std::string second = zovesk_test::writeFile(
        folder + "/second.xml", "<graph_settings><settings id=\"2\"/></graph_settings>");
    const std::string firstCompiled = compileNextTo(first, folder);
    const std::string secondCompiled = compileNextTo(second, folder);
    VELT::VELTParser parser;
    VELT::IGraphConfig* root = nullptr;
    parser.parseVELTXmlFile(first.c_str(), &root);
    delete root;
    parser.parseVELTXmlFile(secondCompiled.c_str(), &root);
    TreePtr tree(root);
    ASSERT_TRUE(tree);
    std::string version;
    EXPECT_EQ(tree->getValue(VELT::kKeyVersion, version), 0);
    EXPECT_EQ(version, "7.1");

    parser.parseVELTXmlFile(firstCompiled.c_str(), &root);
    delete root;
    parser.parseVELTXmlFile(second.c_str(), &root);
    tree.reset(root);
    ASSERT_TRUE(tree);
    EXPECT_EQ(tree->getValue(VELT::kKeyVersion, version), 0);
    EXPECT_EQ(version, "7.1");
}

TEST(CompiledDocuments, CompilingRefusesWhatIsNoDocument) {
    zovesk_test::LogCapture log;
    const std::string folder = zovesk_test::makeTempDir();
    std::vector<uint8_t> image{1, 2, 3};
    EXPECT_EQ(VELT::DocumentCompiler::compile(nullptr, image), -32);
    EXPECT_TRUE(image.empty());
    const std::string broken = zovesk_test::writeFile(
        folder + "/broken.xml", "<graph_settings><settings></graph_settings>");
    EXPECT_EQ(VELT::DocumentCompiler::compile(broken.c_str(), image), -8);
    EXPECT_TRUE(log.contains("XML_Parse error"));
    EXPECT_EQ(VELT::DocumentCompiler::compile((folder + "/missing.xml").c_str(), image), -8);
    EXPECT_TRUE(log.contains("Failed to open XML"));
    const std::string other = zovesk_test::writeFile(folder + "/graph.XML", "<a/>");
    EXPECT_EQ(VELT::DocumentCompiler::compile(other.c_str(), image), -2048);
    EXPECT_TRUE(log.contains("file type (XML) not suppoted."));
    std::string deep;
    for (uint32_t level = 0; level <= VELT::VELTParser::kMaxNestingDepth; ++level) {
        deep += "<node>";
    }
    const std::string tooDeep = zovesk_test::writeFile(folder + "/deep.xml", deep);
    EXPECT_EQ(VELT::DocumentCompiler::compile(tooDeep.c_str(), image), -8);
    EXPECT_TRUE(log.contains("nested deeper than"));
    EXPECT_TRUE(image.empty());
}

}  // namespace
