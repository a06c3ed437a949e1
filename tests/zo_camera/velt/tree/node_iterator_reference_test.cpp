// NodeIterator resumes its walk where the previous call stopped. These tests
// compare it, over random trees and random sequences of calls, with the plain
// walk that counts `position` entries from the first item on every call.

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <random>
#include <string>

#include "velt_graph_config_node.h"
#include "velt_item_uid.h"
#include "velt_node_iterator.h"

namespace {

using namespace VELT;

// The plain cursor: every call steps from the first entry to `position`,
// moves `position` past each entry it examines and resets at the end.
class PlainIterator {
  public:
    explicit PlainIterator(const GraphConfigNode* node) : node_(node) {}

    IGraphConfig* reset() {
        position_ = 0;
        return nullptr;
    }

    IGraphConfig* next(const std::function<bool(uint32_t, const GraphConfigNode&)>& test) {
        auto it = node_->begin();
        std::advance(it, position_);
        for (int index = position_; it != node_->end(); ++it, ++index) {
            position_ = index + 1;
            if (it->second->isNode()) {
                const auto& child = static_cast<const GraphConfigNode&>(*it->second);
                if (test(it->first, child)) {
                    return const_cast<GraphConfigNode*>(&child);
                }
            }
        }
        return reset();
    }

  private:
    const GraphConfigNode* node_;
    int position_ = 0;
};

// The plain attribute test: the child's items under the key in order; an
// unreadable one ends the test, an equal text matches.
bool plainHolds(const GraphConfigNode& child, uint32_t key, const std::string& value) {
    auto range = child.equalRange(key);
    for (auto it = range.first; it != range.second; ++it) {
        std::string text;
        if (it->second->getValue(text) != 0) {
            return false;
        }
        if (text == value) {
            return true;
        }
    }
    return false;
}

const uint32_t kChildKeys[] = {kKeyNode, kKeyPort, kKeyKernel, kKeyOutput};
const char* const kTexts[] = {"port", "kernel", "isa", "x", "X", ""};

const char* anyText(std::mt19937& random) {
    return kTexts[std::uniform_int_distribution<size_t>(0, std::size(kTexts) - 1)(random)];
}

// A random child under one of a few keys: usually a node with a random
// "type" and "name", sometimes with an integer "name" ahead of a text one
// (which ends the attribute test), sometimes a bare attribute.
void addRandomItem(GraphConfigNode& parent, std::mt19937& random) {
    const uint32_t key = kChildKeys[random() % std::size(kChildKeys)];
    if (random() % 4 == 0) {
        // An attribute under a child key, which every walk must pass over.
        parent.insertDescendant(new GraphConfigStrAttribute(anyText(random)), key);
        return;
    }
    auto* child = new GraphConfigNode();
    if (random() % 5 != 0) {
        child->addValue(kKeyType, std::string(anyText(random)));
    }
    if (random() % 2 == 0) {
        child->insertDescendant(new GraphConfigStrAttribute(anyText(random)), kKeyName);
    }
    if (random() % 6 == 0) {
        child->insertDescendant(new GraphConfigIntAttribute(1), kKeyName);
        child->insertDescendant(new GraphConfigStrAttribute(anyText(random)), kKeyName);
    }
    parent.insertDescendant(child, key);
}

TEST(NodeIteratorAgainstPlainWalk, RandomCallSequencesGiveTheSameChildren) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 200; ++round) {
        GraphConfigNode parent;
        const int items = static_cast<int>(random() % 40);
        for (int i = 0; i < items; ++i) {
            addRandomItem(parent, random);
        }
        NodeIterator fast(&parent);
        PlainIterator plain(&parent);
        for (int call = 0; call < 300; ++call) {
            IGraphConfig* expected = nullptr;
            IGraphConfig* actual = nullptr;
            const uint32_t key = kChildKeys[random() % std::size(kChildKeys)];
            const std::string text = anyText(random);
            const uint32_t typeKey = random() % 2 ? kKeyPort : kKeyKernel;
            const std::string typeName = ItemUID::key2str(typeKey);
            switch (random() % 6) {
                case 0:
                    actual = fast.iterateDescendants();
                    expected = plain.next([](uint32_t, const GraphConfigNode&) { return true; });
                    break;
                case 1:
                    actual = fast.iterateByUid(key);
                    expected =
                        plain.next([key](uint32_t k, const GraphConfigNode&) { return k == key; });
                    break;
                case 2:
                    actual = fast.iterateNodes(kKeyName, text);
                    expected = plain.next([&text](uint32_t, const GraphConfigNode& child) {
                        return plainHolds(child, kKeyName, text);
                    });
                    break;
                case 3:
                    actual = fast.iterateByType(typeKey);
                    expected = plain.next([&typeName](uint32_t, const GraphConfigNode& child) {
                        return plainHolds(child, kKeyType, typeName);
                    });
                    break;
                case 4:
                    actual = fast.reset();
                    expected = plain.reset();
                    break;
                default:
                    // The tree may change once a walk has reported its end.
                    actual = fast.iterateDescendants();
                    expected = plain.next([](uint32_t, const GraphConfigNode&) { return true; });
                    if (expected == nullptr) {
                        addRandomItem(parent, random);
                    }
                    break;
            }
            ASSERT_EQ(actual, expected) << "round " << round << ", call " << call;
        }
    }
}

TEST(NodeIteratorAgainstPlainWalk, FullWalksOfManyChildrenMatch) {
    std::mt19937 random(7);
    GraphConfigNode parent;
    for (int i = 0; i < 1500; ++i) {
        addRandomItem(parent, random);
    }
    NodeIterator fast(&parent);
    PlainIterator plain(&parent);
    int visited = 0;
    for (;;) {
        IGraphConfig* expected = plain.next([](uint32_t, const GraphConfigNode& child) {
            return plainHolds(child, kKeyType, "port");
        });
        ASSERT_EQ(fast.iterateNodes(kKeyType, "port"), expected) << "match " << visited;
        if (expected == nullptr) {
            break;
        }
        ++visited;
    }
    EXPECT_GT(visited, 10);
}

}  // namespace
