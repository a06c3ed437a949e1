// The bundled example documents read into the shapes that graph construction
// and kernel-list generation expect.

#include <gtest/gtest.h>

#include <string>

#include "support/examples.h"
#include "support/log_capture.h"
#include "support/parse_text.h"
#include "velt_graph_config_node.h"
#include "velt_item_uid.h"
#include "velt_keys.h"
#include "velt_node_iterator.h"
#include "zo_log_common.h"

namespace {

using VELT::IGraphConfig;
using VELT::ItemUID;
using VELT::NodeIterator;
using zovesk_test::parseFile;
using zovesk_test::TreePtr;

std::string text(const IGraphConfig* node, const std::string& path) {
    std::string value = "<unset>";
    if (node != nullptr) {
        node->getValue(ItemUID(path), value);
    }
    return value;
}

int number(const IGraphConfig* node, const std::string& path) {
    int value = -12345;
    if (node != nullptr) {
        node->getValue(ItemUID(path), value);
    }
    return value;
}

TEST(ExampleDocumentsTest, TheDescriptorHoldsBlocksGraphsAndConnections) {
    zovesk_test::LogCapture log;
    TreePtr root = parseFile(zovesk_test::examplePath("camera_descriptor.xml"));
    ASSERT_TRUE(root);
    EXPECT_FALSE(log.contains(ZO_LOG_ERROR, ""));
    EXPECT_EQ(text(root.get(), "version"), "ORBA5");

    IGraphConfig* nodes = root->getDescendant(VELT::kKeyNodes);
    ASSERT_NE(nodes, nullptr);
    IGraphConfig* sensor = nodes->getDescendant(VELT::kKeySensor);
    ASSERT_NE(sensor, nullptr);
    EXPECT_TRUE(sensor->isType(VELT::kKeySource));
    EXPECT_EQ(number(sensor, "port_0:direction"), 1);
    EXPECT_TRUE(nodes->getDescendant(VELT::kKeyCsiBe)->isType(VELT::kKeyHw));

    IGraphConfig* isa = nodes->getDescendantByString("isa_pg");
    ASSERT_NE(isa, nullptr);
    EXPECT_TRUE(isa->isType(VELT::kKeyProgramGroup));
    EXPECT_EQ(number(isa, "stream_id"), 1);
    EXPECT_EQ(number(isa, "isa_bds:pal_uuid"), 5144);
    EXPECT_EQ(number(isa, "isa_bds:output:bpp"), 10);
    EXPECT_EQ(text(isa, "isa_blc:metadata"), "1,0,0,0");
    EXPECT_EQ(number(nodes->getDescendantByString("video_pg"), "vid_dvs:pal_uuid"), 37235);

    IGraphConfig* base = nodes->getDescendantByString("pg_base");
    ASSERT_NE(base, nullptr);
    EXPECT_TRUE(base->isType(VELT::kKeyBaseNode));
    EXPECT_EQ(number(base, "output:options:attribute"), static_cast<int>(VELT::kKeyFormat));
    EXPECT_EQ(text(nodes->getDescendantByString("still_pg"), "base_node"), "pg_base");

    unsigned sinks = 0;
    NodeIterator blocks(nodes);
    while (blocks.iterateByType(VELT::kKeySink) != nullptr) {
        ++sinks;
    }
    EXPECT_EQ(sinks, 4u);

    IGraphConfig* graphs = root->getDescendant(VELT::kKeyGraphs);
    ASSERT_NE(graphs, nullptr);
    IGraphConfig* preview = graphs->getDescendantByString("preview_capture");
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(number(preview, "id"), 100);
    unsigned connections = 0;
    unsigned staticConnections = 0;
    NodeIterator links(preview);
    for (IGraphConfig* link = links.iterateByUid(VELT::kKeyConnection); link != nullptr;
         link = links.iterateByUid(VELT::kKeyConnection)) {
        ++connections;
        staticConnections += text(link, "static") == "true" ? 1 : 0;
    }
    EXPECT_EQ(connections, 8u);
    EXPECT_EQ(staticConnections, 1u);
    EXPECT_EQ(text(preview, "apply:target"), "csi_be:output:format");
    EXPECT_EQ(number(graphs->getDescendantByString("raw_capture"), "id"), 101);
}

TEST(ExampleDocumentsTest, TheSettingsHoldSensorModesAndEntries) {
    zovesk_test::LogCapture log;
    TreePtr root = parseFile(zovesk_test::builtExamplePath("camera_settings.xml.gz"));
    ASSERT_TRUE(root);
    EXPECT_FALSE(log.contains(ZO_LOG_ERROR, ""));
    EXPECT_EQ(text(root.get(), "version"), "ORBA5.3");

    IGraphConfig* modes = root->getDescendant(VELT::kKeySensorModes);
    ASSERT_NE(modes, nullptr);
    EXPECT_EQ(modes->getDescendantCount(), 6);  // three attributes, three modes
    IGraphConfig* mode = modes->getDescendantByString("sensor_mode");
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(text(mode, "name"), "4208x3120_full");
    EXPECT_EQ(number(mode, "pixel_array:output:width"), 4208);
    EXPECT_EQ(number(mode, "binner:h_factor"), 1);
    EXPECT_EQ(number(mode, "scaler:denom_factor"), 1);

    unsigned entries = 0;
    NodeIterator walk(root.get());
    for (IGraphConfig* entry = walk.iterateByUid(VELT::kKeySettings); entry != nullptr;
         entry = walk.iterateByUid(VELT::kKeySettings)) {
        ++entries;
        EXPECT_GT(number(entry, "key"), 0);
        EXPECT_NE(text(entry, "sensor:mode_id"), "<unset>");
        EXPECT_GT(number(entry, "csi_be:output:width"), 0);
    }
    EXPECT_EQ(entries, 5u);

    IGraphConfig* first = root->getDescendant(VELT::kKeySettings);
    EXPECT_EQ(number(first, "key"), 6000);
    EXPECT_EQ(number(first, "video_pg:vid_gdc:input:top"), 384);
    EXPECT_EQ(text(first, "still:format"), "YUV420_8_SP");
}

}  // namespace
