// Result graphs built from the bundled documents, end to end.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "query_test_support.h"
#include "support/examples.h"
#include "support/log_capture.h"
#include "support/parse_text.h"
#include "velt_graph_config_node.h"
#include "velt_graph_query_manager.h"
#include "velt_item_uid.h"
#include "velt_status.h"
#include "zo_log_common.h"

namespace {

using namespace zovesk_test;
using VELT::GraphQueryManager;
using VELT::IGraphConfig;
using Peers = std::vector<std::string>;

std::string readText(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// text with the first occurrence of from replaced by to; the test fails when there is none.
std::string replaced(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) {
        text.replace(at, from.size(), to);
    }
    return text;
}

class CreateGraphTest : public ::testing::Test {
  protected:
    void SetUp() override {
        descriptorText_ = readText(examplePath("camera_descriptor.xml"));
        settingsText_ = readText(examplePath("camera_settings.xml"));
        ASSERT_FALSE(descriptorText_.empty());
        ASSERT_FALSE(settingsText_.empty());
    }
    void TearDown() override { GraphQueryManager::destroyGraph(result_); }

    // Reads both documents, picks the entry with the settings key and builds its graph.
    int build(int key) {
        descriptor_ = parseText(descriptorText_);
        settings_ = parseText(settingsText_);
        return buildFrom(key);
    }

    int buildFrom(int key) {
        manager_.setGraphDescriptor(descriptor_.get());
        manager_.setGraphSettings(settings_.get());
        std::vector<IGraphConfig*> entries;
        VELT::GraphQueryCriteria criteria{{VELT::ItemUID({VELT::kKeyKey}), std::to_string(key)}};
        EXPECT_EQ(manager_.queryGraphs(criteria, entries, true), 0);
        EXPECT_EQ(entries.size(), 1u);
        if (entries.empty()) {
            return -1;
        }
        return manager_.createGraph(entries.front(), &result_);
    }

    IGraphConfig* at(const std::string& path) const { return nodeAt(result_, path); }

    std::string descriptorText_;
    std::string settingsText_;
    TreePtr descriptor_;
    TreePtr settings_;
    GraphQueryManager manager_;
    IGraphConfig* result_ = nullptr;
};

TEST_F(CreateGraphTest, PreviewCaptureGraphFromTheBundledDocuments) {
    ASSERT_EQ(build(6000), 0);

    // The entry's identity and the descriptor graph, with the descriptor's version.
    EXPECT_EQ(intAt(result_, "key"), 6000);
    EXPECT_EQ(intAt(result_, "id"), 100);
    EXPECT_EQ(intAt(result_, "fps"), 30);
    EXPECT_EQ(strAt(at("graph"), "name"), "preview_capture");
    EXPECT_EQ(strAt(at("graph"), "version"), "ORBA5");
    EXPECT_EQ(countItems(at("graph"), "connection"), 8u);

    // Every block a used connection reaches, once; blocks of unused connections stay out,
    // blocks that only the settings name come whole.
    for (const char* block : {"graph", "sensor", "csi_be", "isa_pg", "video_pg", "still_pg",
                              "video", "still", "awb_stats_sink", "mbr_data"}) {
        EXPECT_EQ(countItems(result_, block), 1u) << block;
    }
    EXPECT_EQ(at("raw"), nullptr);
    EXPECT_EQ(result_->getDescendantCount(), 14);  // those plus "key", "id", "fps" and "dvs"

    // Peers on both ends, one per connection.
    EXPECT_EQ(peersOf(at("sensor:port_0")), Peers{"csi_be:input"});
    EXPECT_EQ(peersOf(at("csi_be:input")), Peers{"sensor:port_0"});
    EXPECT_EQ(peersOf(at("csi_be:output")), Peers{"isa_pg:input"});
    EXPECT_EQ(peersOf(at("isa_pg:output")), (Peers{"video_pg:input", "still_pg:input"}));
    EXPECT_EQ(peersOf(at("still_pg:input")), Peers{"isa_pg:output"});
    EXPECT_EQ(peersOf(at("video_pg:output")), Peers{"video"});
    EXPECT_EQ(peersOf(at("video")), Peers{"video_pg:output"});
    EXPECT_EQ(peersOf(at("isa_pg:stats")), Peers{"awb_stats_sink"});
    EXPECT_EQ(peersOf(at("awb_stats_sink")), Peers{"isa_pg:stats"});

    // Virtual sinks: direction, the feeding group's stream, or (static) its context.
    EXPECT_EQ(intAt(at("video"), "direction"), 0);
    EXPECT_EQ(intAt(at("video"), "stream_id"), 2);
    EXPECT_EQ(intAt(at("still"), "stream_id"), 3);
    EXPECT_EQ(intAt(at("awb_stats_sink"), "direction"), 0);
    EXPECT_EQ(intAt(at("awb_stats_sink"), "exec_ctx_id"), 1);
    EXPECT_EQ(intAt(at("awb_stats_sink"), "stream_id"), 1);
    EXPECT_EQ(strAt(at("awb_stats_sink"), "content_type"), "metadata");

    // The still group was built from its base node.
    EXPECT_EQ(strAt(at("still_pg"), "type"), "program_group");
    EXPECT_EQ(strAt(at("still_pg"), "name"), "still_pg");
    EXPECT_EQ(intAt(at("still_pg"), "pg_id"), 12);
    EXPECT_EQ(intAt(at("still_pg"), "tuning_mode"), 2);

    // Settings merged, with the ports' identity kept.
    EXPECT_EQ(intAt(at("csi_be:output"), "bpl"), 8384);
    EXPECT_EQ(intAt(at("csi_be:output"), "width"), 4192);
    EXPECT_EQ(intAt(at("csi_be:qel_pixelformatter:input"), "left"), 8);
    EXPECT_EQ(intAt(at("isa_pg:isa_bds:input"), "left"), 48);
    EXPECT_EQ(strAt(at("video_pg:output"), "format"), "YUV420_8_SP");
    EXPECT_EQ(intAt(at("video_pg:output"), "width"), 1920);
    // Output-port settings pushed to the input port they feed, whose identity stays.
    EXPECT_EQ(intAt(at("isa_pg:input"), "bpl"), 8384);
    EXPECT_EQ(intAt(at("isa_pg:input"), "id"), 0);
    EXPECT_EQ(intAt(at("isa_pg:input"), "direction"), 0);
    EXPECT_EQ(strAt(at("isa_pg:input"), "name"), "input");
    EXPECT_EQ(strAt(at("isa_pg:input"), "type"), "port");
    EXPECT_EQ(peersOf(at("isa_pg:input")), Peers{"csi_be:output"});
    // ... and the missing ones added to the virtual sink they feed.
    EXPECT_EQ(intAt(at("video"), "id"), 1);

    // Graph overrides win over descriptor and settings.
    EXPECT_EQ(intAt(at("isa_pg:isa_dpc"), "enabled"), 1);
    EXPECT_EQ(strAt(at("csi_be:output"), "format"), "GRBG_10");

    // The raw output feeds nothing in this entry, so it is off; private and metadata ports stay.
    EXPECT_EQ(intAt(at("isa_pg:raw_out"), "enabled"), 0);
    EXPECT_EQ(intAt(at("sensor:embedded_data"), "enabled"), -12345);
    EXPECT_EQ(intAt(at("isa_pg:output"), "enabled"), -12345);

    // The sensor mode named by the sensor, merged into it.
    EXPECT_EQ(strAt(at("sensor"), "mode_id"), "4208x3120_full");
    EXPECT_EQ(strAt(at("sensor"), "name"), "sensor");
    EXPECT_EQ(intAt(at("sensor"), "width"), 4208);
    EXPECT_EQ(intAt(at("sensor:binner"), "h_factor"), 1);
    EXPECT_EQ(intAt(at("sensor:scaler:output"), "width"), 4208);
}

TEST_F(CreateGraphTest, EntriesOfOneGraphDifferInSettingsAndSensorMode) {
    ASSERT_EQ(build(6001), 0);
    EXPECT_EQ(intAt(at("sensor:binner"), "h_factor"), 2);
    EXPECT_EQ(intAt(at("sensor"), "fps"), 60);
    EXPECT_EQ(intAt(at("video_pg:output"), "height"), 720);
    // This entry takes the raw stream: the sink keeps the stream the descriptor gives it.
    EXPECT_EQ(peersOf(at("isa_pg:raw_out")), Peers{"raw"});
    EXPECT_EQ(intAt(at("isa_pg:raw_out"), "enabled"), -12345);
    EXPECT_EQ(intAt(at("raw"), "stream_id"), 0);
    EXPECT_EQ(intAt(at("raw"), "direction"), 0);
}

TEST_F(CreateGraphTest, StaticGraphFromTheCompressedDocuments) {
    descriptor_ = parseFile(builtExamplePath("camera_descriptor.xml.gz"));
    settings_ = parseFile(builtExamplePath("camera_settings.xml.gz"));
    ASSERT_NE(descriptor_, nullptr);
    ASSERT_NE(settings_, nullptr);

    ASSERT_EQ(buildFrom(6100), 0);
    EXPECT_EQ(strAt(at("graph"), "name"), "raw_capture");
    EXPECT_EQ(peersOf(at("csi_be:output")), Peers{"raw"});
    EXPECT_EQ(intAt(at("raw"), "stream_id"), 0);
    EXPECT_EQ(intAt(at("raw"), "width"), 4192);
    EXPECT_EQ(at("isa_pg"), nullptr);
    EXPECT_EQ(intAt(at("sensor"), "height"), 3120);

    // The result is a copy: it outlives the documents it was built from.
    descriptor_.reset();
    settings_.reset();
    EXPECT_EQ(strAt(at("csi_be:output"), "format"), "GRBG_10");
}

TEST_F(CreateGraphTest, UnknownGraphIdLeavesOnlyTheKey) {
    settingsText_ = replaced(settingsText_, R"(key="6100" id="101")", R"(key="6100" id="102")");
    LogCapture log;
    EXPECT_EQ(build(6100), VELT::err_data);
    EXPECT_TRUE(
        log.contains(ZO_LOG_ERROR, "could not find graph with id 102 from graph descriptor"));
    ASSERT_NE(result_, nullptr);
    EXPECT_EQ(result_->getDescendantCount(), 1);
    EXPECT_EQ(intAt(result_, "key"), 6100);
}

TEST_F(CreateGraphTest, SettingsWithoutSensorModes) {
    settingsText_ = replaced(settingsText_, "<sensor_modes ", "<sensor_modes_gone ");
    settingsText_ = replaced(settingsText_, "</sensor_modes>", "</sensor_modes_gone>");
    LogCapture log;
    EXPECT_EQ(build(6100), VELT::err_general);
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING, "Settings file is missing sensor_modes"));
    // Everything before the sensor mode is in place.
    EXPECT_EQ(peersOf(at("csi_be:output")), Peers{"raw"});
}

TEST_F(CreateGraphTest, UnknownSensorMode) {
    // The first entry (6000) names the mode.
    settingsText_ =
        replaced(settingsText_, R"(mode_id="4208x3120_full")", R"(mode_id="640x480_vga")");
    LogCapture log;
    EXPECT_EQ(build(6000), VELT::err_data);
    EXPECT_TRUE(
        log.contains(ZO_LOG_ERROR, "Sensor Mode 640x480_vga not in the list of available modes"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Settings file has incorrect sensor mode data"));
}

TEST_F(CreateGraphTest, BaseNodeNotFound) {
    descriptorText_ = replaced(descriptorText_, R"(base_node="pg_base")", R"(base_node="pg_gone")");
    LogCapture log;
    EXPECT_EQ(build(6000), VELT::err_general);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to find base node pg_gone for node still_pg"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "Failed to copy dst node(still_pg) from descriptor to settings"));
    EXPECT_EQ(at("still_pg"), nullptr);
}

TEST_F(CreateGraphTest, NullArgumentsAreRefused) {
    descriptor_ = parseText(descriptorText_);
    settings_ = parseText(settingsText_);
    IGraphConfig* entry = settings_->getDescendant(VELT::kKeySettings);
    EXPECT_EQ(manager_.createGraph(entry, nullptr), VELT::err_argument);
    EXPECT_EQ(manager_.createGraph(nullptr, &result_), VELT::err_argument);
    EXPECT_EQ(result_, nullptr);
    // Without a descriptor the empty root is still handed out, for destroyGraph.
    EXPECT_EQ(manager_.createGraph(entry, &result_), VELT::err_argument);
    ASSERT_NE(result_, nullptr);
    EXPECT_EQ(result_->getDescendantCount(), 0);
    GraphQueryManager::destroyGraph(nullptr);
}

}  // namespace

namespace {

// A test pattern generator feeding one virtual sink; the graph already names a version.
const char* const kPatternDescriptor = R"(<graph_descriptor version="7">
  <nodes>
    <source name="tpg" stream_id="5">
      <port name="cg_out" id="0" direction="1" content_type="pixel_data"/>
    </source>
    <sink name="cg_preview"/>
  </nodes>
  <graphs>
    <graph name="cg_pattern" id="1">
      <connection source="tpg:cg_out" sink="cg_preview"/>
    </graph>
    <graph name="cg_versioned" id="2" version="6"/>
  </graphs>
</graph_descriptor>)";

const char* const kPatternSettings = R"(<graph_settings version="7.0">
  <settings key="1" id="1"><tpg><cg_out width="640"/></tpg><cg_preview/></settings>
  <settings key="2" id="2"/>
</graph_settings>)";

class PatternGraphTest : public ::testing::Test {
  protected:
    void SetUp() override {
        descriptor_ = parseText(kPatternDescriptor);
        settings_ = parseText(kPatternSettings);
        ASSERT_NE(descriptor_, nullptr);
        ASSERT_NE(settings_, nullptr);
        manager_.setGraphDescriptor(descriptor_.get());
        manager_.setGraphSettings(settings_.get());
    }
    void TearDown() override { GraphQueryManager::destroyGraph(result_); }

    int build(int key) {
        std::vector<IGraphConfig*> entries;
        VELT::GraphQueryCriteria criteria{{VELT::ItemUID({VELT::kKeyKey}), std::to_string(key)}};
        EXPECT_EQ(manager_.queryGraphs(criteria, entries, true), 0);
        return entries.empty() ? -1 : manager_.createGraph(entries.front(), &result_);
    }

    TreePtr descriptor_;
    TreePtr settings_;
    GraphQueryManager manager_;
    IGraphConfig* result_ = nullptr;
};

TEST_F(PatternGraphTest, GraphWithoutSensorNeedsNoSensorModes) {
    ASSERT_EQ(build(1), 0);
    EXPECT_EQ(peersOf(nodeAt(result_, "tpg:cg_out")), Peers{"cg_preview"});
    EXPECT_EQ(intAt(nodeAt(result_, "cg_preview"), "stream_id"), 5);
    EXPECT_EQ(intAt(nodeAt(result_, "tpg:cg_out"), "width"), 640);
}

TEST_F(PatternGraphTest, GraphThatAlreadyCarriesAVersionIsRefused) {
    LogCapture log;
    EXPECT_EQ(build(2), VELT::err_nomemory);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to add GDF version info [7]to graph"));
    EXPECT_EQ(nodeAt(result_, "graph"), nullptr);
}

}  // namespace
