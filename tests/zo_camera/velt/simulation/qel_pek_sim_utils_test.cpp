// Simulation support operations over the bundled documents and small graphs.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/examples.h"
#include "support/log_capture.h"
#include "support/parse_text.h"
#include "velt_graph_config_node.h"
#include "velt_graph_query_manager.h"
#include "velt_item_uid.h"
#include "velt_qel_pek_sim_utils.h"
#include "velt_status.h"
#include "zo_log_common.h"

namespace {

using VELT::IGraphConfig;
using VELT::ItemUID;
using VELT::QelPekSimUtils;

using zovesk_test::parseFile;
using zovesk_test::parseText;
using zovesk_test::TreePtr;

std::vector<std::string> namesOf(const std::vector<QelPekSimUtils::KernelInfo>& kernels) {
    std::vector<std::string> names;
    for (const auto& kernel : kernels) {
        names.push_back(kernel.name);
    }
    return names;
}

// Children are kept in key order, and keys depend on what the process read before.
std::set<std::string> nameSet(const std::vector<QelPekSimUtils::KernelInfo>& kernels) {
    std::vector<std::string> names = namesOf(kernels);
    return std::set<std::string>(names.begin(), names.end());
}

class PekSimOnDescriptorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        descriptor_ = parseFile(zovesk_test::examplePath("camera_descriptor.xml"));
        ASSERT_NE(descriptor_, nullptr);
    }
    TreePtr descriptor_;
};

TEST_F(PekSimOnDescriptorTest, ProgramGroupsOfAGraphAfterItsOverrides) {
    std::set<IGraphConfig*> pgs;
    ASSERT_EQ(QelPekSimUtils::getPgsInGraph(descriptor_.get(), 100, pgs), 0);
    std::set<std::string> names;
    for (IGraphConfig* pg : pgs) {
        names.insert(pg->getName());
    }
    // still_pg gets its ports from its base node only in a result graph, so the descriptor
    // cannot resolve "still_pg:input".
    EXPECT_EQ(names, (std::set<std::string>{"isa_pg", "video_pg"}));
    // The graph's overrides were applied to the descriptor's blocks.
    int enabled = -1;
    descriptor_->getValue(ItemUID("nodes:isa_pg:isa_dpc:enabled"), enabled);
    EXPECT_EQ(enabled, 1);

    pgs.clear();
    EXPECT_EQ(QelPekSimUtils::getPgsInGraph(descriptor_.get(), 101, pgs), 0);
    EXPECT_TRUE(pgs.empty());  // sensor, receiver and sink only
    zovesk_test::LogCapture log;
    EXPECT_EQ(QelPekSimUtils::getPgsInGraph(descriptor_.get(), 7, pgs), VELT::err_noentry);
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING, "Graph id 7 not found"));
    EXPECT_EQ(QelPekSimUtils::getPgsInGraph(descriptor_->getDescendant(VELT::kKeyNodes), 100, pgs),
              0);  // any item of the descriptor will do: the walk starts at its root
}

TEST_F(PekSimOnDescriptorTest, KernelListOfOneStream) {
    std::vector<QelPekSimUtils::KernelInfo> kernels;
    ASSERT_EQ(QelPekSimUtils::getKernelList(descriptor_.get(), 100, 2, kernels), 0);
    EXPECT_EQ(nameSet(kernels),
              (std::set<std::string>{"vid_demosaic", "vid_dvs", "vid_gdc", "vid_ofs"}));
    for (const auto& kernel : kernels) {
        if (kernel.name == "vid_gdc") {
            EXPECT_EQ(kernel.palUuid, 22660);
        }
    }
    kernels.clear();
    ASSERT_EQ(QelPekSimUtils::getKernelList(descriptor_.get(), 100, 1, kernels), 0);
    EXPECT_EQ(kernels.size(), 5u);
    EXPECT_EQ(QelPekSimUtils::getKernelList(descriptor_.get(), 5, 1, kernels), VELT::err_noentry);
}

TEST(PekSimTest, DocumentsWithoutGraphsOrIdsAreRefused) {
    TreePtr noNodes = parseText(R"(<graph_descriptor version="1"><graphs/></graph_descriptor>)");
    std::set<IGraphConfig*> pgs;
    EXPECT_EQ(QelPekSimUtils::getPgsInGraph(noNodes.get(), 1, pgs), VELT::err_argument);
    TreePtr noGraphs = parseText(R"(<graph_descriptor version="1"><nodes/></graph_descriptor>)");
    EXPECT_EQ(QelPekSimUtils::getPgsInGraph(noGraphs.get(), 1, pgs), VELT::err_argument);
    EXPECT_EQ(QelPekSimUtils::getPgsInGraph(nullptr, 1, pgs), VELT::err_argument);
    TreePtr noId = parseText(R"(<graph_descriptor version="1"><nodes/><graphs>
        <graph name="ps_g"/></graphs></graph_descriptor>)");
    EXPECT_EQ(QelPekSimUtils::getPgsInGraph(noId.get(), 1, pgs), VELT::err_data);
    TreePtr halfConnection = parseText(R"(<graph_descriptor version="1"><nodes/><graphs>
        <graph name="ps_g" id="1"><connection source="a"/></graph></graphs></graph_descriptor>)");
    EXPECT_EQ(QelPekSimUtils::getPgsInGraph(halfConnection.get(), 1, pgs), VELT::err_data);
}

// Program groups directly under the root, as in a result graph.
const char* const kBlocks = R"(<graph_settings version="1">
  <graph version="ORBA5"/>
  <ps_pg1 stream_id="1">
    <ps_k1 name="ps_k1" pal_uuid="11" type="kernel"/>
    <ps_k2 name="ps_twice" pal_uuid="12" type="kernel"/>
    <ps_split type="demux" active_output="2"/>
    <ps_join type="mux" active_input="1"/>
  </ps_pg1>
  <ps_pg2 stream_id="2">
    <ps_k3 name="ps_twice" pal_uuid="13" type="kernel"/>
    <ps_k4 name="ps_nouuid" type="kernel"/>
    <ps_k5 name="ps_after" pal_uuid="15" type="kernel"/>
    <ps_split type="demux" active_output="0"/>
    <ps_join type="mux"/>
  </ps_pg2>
</graph_settings>)";

class PekSimOnBlocksTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Settings documents get no types from element names: give the blocks theirs.
        graph_ = parseText(kBlocks);
        ASSERT_NE(graph_, nullptr);
        for (const char* pg : {"ps_pg1", "ps_pg2"}) {
            static_cast<VELT::GraphConfigNode*>(graph_->getDescendantByString(pg))
                ->addValue(VELT::kKeyType, std::string("program_group"));
        }
    }
    TreePtr graph_;
};

TEST_F(PekSimOnBlocksTest, PalUuidOfTheFirstKernelWithTheName) {
    int palUuid = -1;
    EXPECT_EQ(QelPekSimUtils::getKernelPalUuid(graph_.get(), "ps_twice", palUuid), 0);
    EXPECT_EQ(palUuid, 12);
    zovesk_test::LogCapture log;
    palUuid = -1;
    EXPECT_EQ(QelPekSimUtils::getKernelPalUuid(graph_.get(), "ps_none", palUuid), 0);
    EXPECT_EQ(palUuid, -1);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Couldn't find ps_none"));
    EXPECT_EQ(QelPekSimUtils::getKernelPalUuid(graph_.get(), "ps_nouuid", palUuid),
              VELT::err_general);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Couldn't get pal uuid for ps_nouuid"));
}

TEST_F(PekSimOnBlocksTest, KernelInfoListStopsAtAnIncompleteKernel) {
    std::vector<QelPekSimUtils::KernelInfo> kernels;
    EXPECT_EQ(QelPekSimUtils::getKernelInfoList(*graph_->getDescendantByString("ps_pg1"), kernels),
              0);
    EXPECT_EQ(nameSet(kernels), (std::set<std::string>{"ps_k1", "ps_twice"}));
    kernels.clear();
    EXPECT_EQ(QelPekSimUtils::getKernelInfoList(*graph_->getDescendantByString("ps_pg2"), kernels),
              VELT::err_general);
    EXPECT_EQ(namesOf(kernels), std::vector<std::string>{"ps_twice"});
}

TEST_F(PekSimOnBlocksTest, MuxConfigurationOfAStream) {
    std::map<std::string, unsigned> config{{"elsewhere", 9}};
    EXPECT_EQ(QelPekSimUtils::getMuxConfiguration(graph_.get(), 1, config), 0);
    EXPECT_EQ(config,
              (std::map<std::string, unsigned>{{"elsewhere", 9}, {"ps_split", 2}, {"ps_join", 1}}));
    zovesk_test::LogCapture log;
    EXPECT_EQ(QelPekSimUtils::getMuxConfiguration(graph_.get(), 2, config), VELT::err_internal);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to get active input for muxer ps_join"));
    EXPECT_EQ(config["ps_split"], 0u);  // the demuxer came first
    EXPECT_EQ(QelPekSimUtils::getMuxConfiguration(nullptr, 1, config), VELT::err_argument);

    // Newer graphs keep their muxes in compute blocks.
    static_cast<VELT::GraphConfigNode*>(graph_->getDescendantByString("graph"))
        ->setValueFromStr(ItemUID("version"), "ORBA7.1");
    config.clear();
    EXPECT_EQ(QelPekSimUtils::getMuxConfiguration(graph_.get(), 1, config), 0);
    EXPECT_TRUE(config.empty());
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG, "Getting mux config from nodes of type compute_block"));
}

TEST(PekSimTest, CloneAndSetValue) {
    TreePtr settings = parseFile(zovesk_test::examplePath("camera_settings.xml"));
    IGraphConfig* copy = nullptr;
    EXPECT_EQ(QelPekSimUtils::cloneSettings(settings.get(), nullptr), VELT::err_argument);
    EXPECT_EQ(QelPekSimUtils::cloneSettings(nullptr, &copy), VELT::err_argument);
    ASSERT_EQ(QelPekSimUtils::cloneSettings(settings.get(), &copy), 0);
    TreePtr clone(copy);
    ASSERT_NE(clone, nullptr);
    EXPECT_NE(clone.get(), settings.get());

    IGraphConfig* entry = clone->getDescendant(VELT::kKeySettings);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(QelPekSimUtils::setValue(entry, VELT::kKeyFps, 15), 0);
    EXPECT_EQ(QelPekSimUtils::setValue(entry, VELT::kKeyTnr, 1), 0);  // added
    EXPECT_EQ(QelPekSimUtils::setValue(entry, VELT::kKeyTnr, 2), 0);  // updated
    int fps = 0;
    int tnr = 0;
    entry->getValue(VELT::kKeyFps, fps);
    entry->getValue(VELT::kKeyTnr, tnr);
    EXPECT_EQ(fps, 15);
    EXPECT_EQ(tnr, 2);
    // The original is untouched.
    settings->getDescendant(VELT::kKeySettings)->getValue(VELT::kKeyFps, fps);
    EXPECT_EQ(fps, 30);
    EXPECT_FALSE(static_cast<VELT::GraphConfigNode*>(settings->getDescendant(VELT::kKeySettings))
                     ->hasItem(VELT::kKeyTnr));
    EXPECT_EQ(QelPekSimUtils::setValue(nullptr, VELT::kKeyFps, 1), VELT::err_argument);
}

}  // namespace
