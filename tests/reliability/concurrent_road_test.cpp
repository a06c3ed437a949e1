// Several cameras opened at once: threads read small descriptors whose block
// names are new to the key dictionary and, every tenth time, travel the whole
// road on the bundled documents, each with its own parser, manager and
// builder, while a sink is installed and removed. Every result must be the
// one a single thread gets.

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "fuzz/targets/road.h"
#include "support/examples.h"
#include "support/parse_text.h"
#include "velt_item_uid.h"
#include "velt_keys.h"
#include "velt_parser.h"
#include "zo_log_common.h"

namespace {

using VELT::ItemUID;
using zovesk_fuzz::RoadOutcome;

constexpr int kThreads = 4;
constexpr int kRounds = 300;
constexpr int kRoadEvery = 10;
constexpr int kBlocks = 3;
constexpr int kPortsPerBlock = 2;
const char* const kGenerations[] = {"camera", "orba6", "orba7"};

// Reads both bundled documents of a generation with one parser and travels
// the road on them.
RoadOutcome travelBundledRoad(const std::string& prefix) {
    RoadOutcome outcome;
    VELT::VELTParser parser;
    VELT::IGraphConfig* read = nullptr;
    parser.parseVELTXmlFile(zovesk_test::builtExamplePath(prefix + "_descriptor.xml").c_str(),
                            &read);
    const std::unique_ptr<VELT::IGraphConfig> descriptor(read);
    read = nullptr;
    parser.parseVELTXmlFile(zovesk_test::builtExamplePath(prefix + "_settings.xml.gz").c_str(),
                            &read);
    const std::unique_ptr<VELT::IGraphConfig> settings(read);
    outcome.descriptorRead = descriptor != nullptr;
    outcome.settingsRead = settings != nullptr;
    if (descriptor && settings) {
        zovesk_fuzz::travelRoad(descriptor.get(), settings.get(), outcome);
    }
    return outcome;
}

// True when the node under key carries name in its "name" attribute, and
// the key and the name map to each other in the dictionary.
bool storedUnderItsName(const VELT::IGraphConfig* parent, const std::string& name) {
    const uint32_t key = ItemUID::str2key(name);
    const VELT::IGraphConfig* child = parent->getDescendant(key);
    std::string stored;
    return key != VELT::kKeyNa && child != nullptr &&
           child->getValue(VELT::kKeyName, stored) == 0 && stored == name &&
           name == ItemUID::key2str(key);
}

// Reads a descriptor of a few blocks with ports, all named for this thread
// and round (so new to the dictionary), and checks that every block and
// port is found again through the key of its name.
bool readNewNamesRight(VELT::VELTParser& parser, int thread, int round) {
    const std::string prefix = "cam" + std::to_string(thread) + "_r" + std::to_string(round);
    std::string text = "<graph_descriptor version=\"1.0\"><nodes>";
    for (int b = 0; b < kBlocks; ++b) {
        text += "<program_group name=\"" + prefix + "_pg" + std::to_string(b) + "\" pg_id=\"" +
                std::to_string(b) + "\">";
        for (int p = 0; p < kPortsPerBlock; ++p) {
            text += "<port name=\"" + prefix + "_pg" + std::to_string(b) + "_port" +
                    std::to_string(p) + "\" id=\"" + std::to_string(p) + "\" direction=\"" +
                    std::to_string(p % 2) + "\"/>";
        }
        text += "</program_group>";
    }
    text += "</nodes></graph_descriptor>";
    const zovesk_test::TreePtr root = zovesk_test::parseText(parser, text);
    const VELT::IGraphConfig* nodes = root ? root->getDescendant(VELT::kKeyNodes) : nullptr;
    if (nodes == nullptr) {
        return false;
    }
    for (int b = 0; b < kBlocks; ++b) {
        const std::string block = prefix + "_pg" + std::to_string(b);
        if (!storedUnderItsName(nodes, block)) {
            return false;
        }
        const VELT::IGraphConfig* blockNode = nodes->getDescendant(ItemUID::str2key(block));
        for (int p = 0; p < kPortsPerBlock; ++p) {
            if (!storedUnderItsName(blockNode, block + "_port" + std::to_string(p))) {
                return false;
            }
        }
    }
    return true;
}

std::atomic<int> gMessages{0};

void countMessage(uint32_t, const char*, const char*, void*) {
    gMessages.fetch_add(1, std::memory_order_relaxed);
}

class ConcurrentRoad : public ::testing::Test {
  protected:
    void SetUp() override { VELT::getVeltKeys(keys_); }
    void TearDown() override {
        zo_log_common_set_sink(nullptr, nullptr);
        VELT::copyVeltKeys(keys_);
    }

  private:
    VELT::KeyMap keys_;
};

TEST_F(ConcurrentRoad, ThreadsGetTheResultsOfOneThread) {
    std::vector<RoadOutcome> expected;
    for (const char* generation : kGenerations) {
        expected.push_back(travelBundledRoad(generation));
        ASSERT_GT(expected.back().kernelListsBuilt, 0u) << generation;
    }

    std::atomic<int> wrongReads{0};
    std::atomic<int> wrongRoads{0};
    std::atomic<int> roads{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            VELT::VELTParser parser;
            for (int round = 0; round < kRounds; ++round) {
                if (t == 0) {
                    // Sinks come and go while the others log.
                    if (round % 2 == 0) {
                        zo_log_common_set_sink(countMessage, nullptr);
                    } else {
                        zo_log_common_set_sink_levels(countMessage, nullptr,
                                                      ZO_LOG_LEVELS_FROM_SETTINGS);
                    }
                }
                if (!readNewNamesRight(parser, t, round)) {
                    ++wrongReads;
                }
                if (round % kRoadEvery == t % kRoadEvery) {
                    const size_t g = static_cast<size_t>(round / kRoadEvery + t) % expected.size();
                    ++roads;
                    if (travelBundledRoad(kGenerations[g]) != expected[g]) {
                        ++wrongRoads;
                    }
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    zo_log_common_set_sink(nullptr, nullptr);

    EXPECT_EQ(wrongReads.load(), 0) << "of " << kThreads * kRounds << " reads";
    EXPECT_EQ(wrongRoads.load(), 0) << "of " << roads.load() << " roads";
    EXPECT_EQ(roads.load(), kThreads * kRounds / kRoadEvery);
    EXPECT_GT(gMessages.load(), 0);
    // Afterwards, from this thread, every name still maps to its node.
    VELT::VELTParser parser;
    EXPECT_TRUE(readNewNamesRight(parser, kThreads, 0));
}

}  // namespace
