// The reader against the plain reading rules, over random settings
// documents: names in random letter case, names that the dictionary learns
// mid-document, integer and text attributes, repeated attributes. The
// expected tree is built straight from the document's model by lower-casing
// and looking up every name again; the reader must build the same tree and
// leave the same dictionary behind.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "support/parse_text.h"
#include "velt_graph_config_node.h"
#include "velt_item_uid.h"
#include "velt_keys.h"

namespace {

using VELT::GraphConfigNode;
using VELT::ItemUID;

struct Element {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<Element> children;
};

// Known names, integer names, and names new to the dictionary, which also
// turn up as attribute names before and after an element has taught them.
const char* const kNames[] = {"port",    "input",    "output",  "width",    "height", "format",
                              "enabled", "rr_alpha", "rr_beta", "rr_gamma", "name",   "bpl"};
const char* const kValues[] = {"1920",
                               "-7",
                               "12abc",
                               "  42",
                               "GRBG_10",
                               "",
                               "x y",
                               "-",
                               "+5",
                               "-4294967297",
                               "123456789012345678",
                               "99999999999999999999",
                               "-99999999999999999999"};

std::string randomCase(const std::string& name, std::mt19937& random) {
    std::string written = name;
    for (char& c : written) {
        if (random() % 3 == 0 && c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return written;
}

Element randomElement(std::mt19937& random, int depth) {
    Element element;
    element.name = randomCase(kNames[random() % std::size(kNames)], random);
    for (int count = static_cast<int>(random() % 4); count > 0; --count) {
        element.attributes.emplace_back(randomCase(kNames[random() % std::size(kNames)], random),
                                        kValues[random() % std::size(kValues)]);
    }
    if (depth < 3) {
        for (int count = static_cast<int>(random() % 4); count > 0; --count) {
            element.children.push_back(randomElement(random, depth + 1));
        }
    }
    return element;
}

void writeElement(const Element& element, std::string& out) {
    out += "<" + element.name;
    // Repeated names are legal only when spelled differently; skip exact repeats.
    std::vector<std::string> written;
    for (const auto& [name, value] : element.attributes) {
        bool repeated = false;
        for (const std::string& seen : written) {
            repeated = repeated || seen == name;
        }
        if (!repeated) {
            written.push_back(name);
            out += " " + name + "=\"" + value + "\"";
        }
    }
    out += ">";
    for (const Element& child : element.children) {
        writeElement(child, out);
    }
    out += "</" + element.name + ">";
}

std::string lower(const std::string& text) {
    std::string result = text;
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return result;
}

// The plain rules for a settings document, in the reader's order: the
// element's key (generated when new), then its attributes in order.
void buildExpected(const Element& element, GraphConfigNode& parent) {
    const std::string name = lower(element.name);
    uint32_t key = ItemUID::str2key(name);
    if (key == 0) {
        key = ItemUID::generateKey(name);
    }
    auto* node = new GraphConfigNode();
    std::vector<std::string> written;
    for (const auto& [attributeName, value] : element.attributes) {
        bool repeated = false;
        for (const std::string& seen : written) {
            repeated = repeated || seen == attributeName;
        }
        if (repeated) {
            continue;
        }
        written.push_back(attributeName);
        const uint32_t attributeKey = ItemUID::str2key(lower(attributeName));
        if (attributeKey != VELT::kKeyName && ItemUID::isInteger(attributeKey)) {
            node->addValue(attributeKey, static_cast<int>(std::strtol(value.c_str(), nullptr, 10)));
        } else {
            node->addValue(attributeKey, value);
        }
    }
    parent.insertDescendant(node, key);
    for (const Element& child : element.children) {
        buildExpected(child, *node);
    }
}

TEST(ReaderAgainstPlainRules, RandomSettingsDocumentsGiveTheSameTreeAndKeys) {
    VELT::KeyMap original;
    VELT::getVeltKeys(original);
    std::mt19937 random(20261208);
    for (int round = 0; round < 60; ++round) {
        Element top;
        for (int count = 1 + static_cast<int>(random() % 5); count > 0; --count) {
            top.children.push_back(randomElement(random, 0));
        }
        std::string document = "<graph_settings version=\"1.0\">";
        for (const Element& child : top.children) {
            writeElement(child, document);
        }
        document += "</graph_settings>";

        VELT::copyVeltKeys(original);
        GraphConfigNode expected;
        expected.addValue(VELT::kKeyVersion, std::string("1.0"));
        for (const Element& child : top.children) {
            buildExpected(child, expected);
        }
        VELT::KeyMap expectedKeys;
        VELT::getVeltKeys(expectedKeys);

        VELT::copyVeltKeys(original);
        auto read = zovesk_test::parseText(document);
        VELT::KeyMap readKeys;
        VELT::getVeltKeys(readKeys);
        ASSERT_TRUE(read) << document;
        EXPECT_EQ(zovesk_test::describeTreeDifference(expected, *zovesk_test::asNode(read.get())),
                  "")
            << document;
        EXPECT_EQ(readKeys, expectedKeys) << document;
    }
    VELT::copyVeltKeys(original);
}

}  // namespace
