// Generation detection, the DVS kernel override and format pushing of the
// hardware-generation utilities.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/graph_builder.h"
#include "support/log_capture.h"
#include "velt_graph_config_node.h"
#include "velt_isp_utils.h"
#include "zo_log_common.h"

namespace {

using VELT::GraphConfigNode;
using VELT::IspUtils;
using VELT::KernelConfigContainer;
using zovesk_test::addBlock;
using zovesk_test::addChild;
using zovesk_test::addInt;
using zovesk_test::addPort;
using zovesk_test::addStr;
using zovesk_test::strOf;

std::unique_ptr<GraphConfigNode> graphWithVersion(const std::string& version) {
    auto root = std::make_unique<GraphConfigNode>();
    GraphConfigNode* graph = addChild(root.get(), "graph");
    addStr(graph, "version", version);
    return root;
}

TEST(IspUtilsFactory, NullGraphGivesNothing) {
    zovesk_test::LogCapture log;
    EXPECT_EQ(nullptr, IspUtils::Factory(nullptr));
    EXPECT_TRUE(
        log.contains(ZO_LOG_ERROR, "Given pointer is null. VELT Isp Utils not initialized."));
}

TEST(IspUtilsFactory, SearchOrderDecidesNotPosition) {
    // ORBA6 comes first in the text, but ORBA5 is searched for first.
    auto root = graphWithVersion("gdf ORBA6 compatible ORBA5");
    auto utils = IspUtils::Factory(root.get());
    ASSERT_NE(nullptr, utils);
    EXPECT_EQ(VELT::kGdfVersionOrba5, utils->getOrbaVersion());
    EXPECT_NE(nullptr, dynamic_cast<VELT::Orba5IspUtils*>(utils.get()));

    root = graphWithVersion("ORBA7 and ORBA6");
    utils = IspUtils::Factory(root.get());
    EXPECT_EQ(VELT::kGdfVersionOrba6, utils->getOrbaVersion());
    EXPECT_NE(nullptr, dynamic_cast<VELT::Orba6IspUtils*>(utils.get()));

    root = graphWithVersion("v2-ORBA7");
    utils = IspUtils::Factory(root.get());
    EXPECT_EQ(VELT::kGdfVersionOrba7, utils->getOrbaVersion());
    EXPECT_NE(nullptr, dynamic_cast<VELT::Orba7IspUtils*>(utils.get()));
}

TEST(IspUtilsFactory, GraphWithoutVersionIsUnsupported) {
    zovesk_test::LogCapture log;
    GraphConfigNode root;
    auto utils = IspUtils::Factory(&root);
    ASSERT_NE(nullptr, utils);
    EXPECT_EQ(VELT::kGdfVersionNone, utils->getOrbaVersion());
    EXPECT_NE(nullptr, dynamic_cast<VELT::Orba4IspUtils*>(utils.get()));
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG, "Detected ORBA version in the graph:  enum[0]"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "ORBA version not supported in VELT Isp Utils."));
}

TEST(IspUtilsKernelConfigurations, DvsKernelIsDisabledWithoutDvs) {
    auto root = graphWithVersion("ORBA5");
    auto utils = IspUtils::Factory(root.get());
    EXPECT_FALSE(utils->isDvsEnabled());

    std::vector<KernelConfigContainer> configs;
    EXPECT_EQ(0, utils->getKernelConfigurations(configs));
    EXPECT_EQ(0, utils->getKernelConfigurations(configs));
    ASSERT_EQ(2u, configs.size());
    for (const KernelConfigContainer& config : configs) {
        EXPECT_EQ(KernelConfigContainer::kEnable, config.mask);
        EXPECT_EQ(37235u, config.kernel_uuid);
        EXPECT_EQ(kernel_enable_disabled, config.enable);
        for (uint32_t value : config.metadata) {
            EXPECT_EQ(0u, value);
        }
        EXPECT_EQ(0u, config.bpp_info.input_bpp);
        EXPECT_EQ(0u, config.bpp_info.output_bpp);
    }

    addInt(root.get(), "dvs", 0);
    configs.clear();
    EXPECT_EQ(0, utils->getKernelConfigurations(configs));
    EXPECT_EQ(1u, configs.size());
}

TEST(IspUtilsKernelConfigurations, NothingWithDvs) {
    auto root = graphWithVersion("ORBA5");
    addInt(root.get(), "dvs", 1);
    auto utils = IspUtils::Factory(root.get());
    EXPECT_TRUE(utils->isDvsEnabled());
    std::vector<KernelConfigContainer> configs;
    EXPECT_EQ(0, utils->getKernelConfigurations(configs));
    EXPECT_TRUE(configs.empty());
}

TEST(IspUtilsKernelConfigurations, WithoutGraph) {
    zovesk_test::LogCapture log;
    VELT::Orba5IspUtils utils;
    std::vector<KernelConfigContainer> configs;
    EXPECT_TRUE(utils.isDvsEnabled());
    EXPECT_EQ(VELT::err_general, utils.getKernelConfigurations(configs));
    EXPECT_TRUE(configs.empty());
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "velt isp utils uninitialized"));
}

TEST(IspUtilsKernelConfigurations, OtherGenerationsSupportNothing) {
    GraphConfigNode root;
    KernelConfigContainer kept{};
    kept.kernel_uuid = 7;
    const VELT::Orba4IspUtils orba4(&root, VELT::kGdfVersionNone);
    const VELT::Orba6IspUtils orba6(&root, VELT::kGdfVersionOrba6);
    const VELT::Orba7IspUtils orba7(&root, VELT::kGdfVersionOrba7);
    for (const IspUtils* utils :
         {static_cast<const IspUtils*>(&orba4), static_cast<const IspUtils*>(&orba6),
          static_cast<const IspUtils*>(&orba7)}) {
        std::vector<KernelConfigContainer> configs{kept};
        EXPECT_EQ(VELT::err_notsupported, utils->getKernelConfigurations(configs));
        ASSERT_EQ(1u, configs.size());
        EXPECT_EQ(7u, configs[0].kernel_uuid);
        EXPECT_EQ(VELT::err_notsupported, utils->applyFormat(nullptr, "YUV420_8_SP"));
        EXPECT_EQ(VELT::err_notsupported, utils->applyCompression(nullptr, "YUV420_8_SP_C"));
    }
}

// A "format" attribute that setValue may change to any of the listed formats.
void addSettableFormat(GraphConfigNode* port, const std::string& format,
                       const std::string& admitted) {
    addStr(port, "format", format);
    GraphConfigNode* options = addChild(port, "options");
    addInt(options, "attribute", VELT::kKeyFormat);
    GraphConfigNode* option = addChild(options, "option");
    addStr(option, "value", admitted);
}

const char kAdmitted[] = "YUV420_8_SP,YUV420_8_PL_C,YUV420_8_SP_C_TNR,YUV420_8_SP_C";

// isa:out and isa:aux feed the program group "gdc"; gdc:main_out feeds the
// consumer "dma", whose input port is the one formats are applied for.
class Orba5FormatTest : public ::testing::Test {
  protected:
    void SetUp() override {
        GraphConfigNode* graph = addChild(&root_, "graph");
        addStr(graph, "version", "ORBA5");

        GraphConfigNode* isa = addBlock(&root_, "isa", "hw");
        isaOut_ = addPort(isa, "out", 0, 1, "gdc:main_in");
        addSettableFormat(isaOut_, "YUV420_8_SP", kAdmitted);
        isaAux_ = addPort(isa, "aux", 1, 1, "gdc:aux_in");
        addSettableFormat(isaAux_, "YUV420_8_SP", kAdmitted);

        GraphConfigNode* gdc = addBlock(&root_, "gdc", "program_group");
        addPort(gdc, "main_in", 0, 0, "isa:out");
        GraphConfigNode* auxIn = addPort(gdc, "aux_in", 1, 0, "isa:aux");
        addInt(auxIn, "private", 1);
        tnrIn_ = addPort(gdc, "tnr_input", 2, 0);
        addInt(tnrIn_, "private", 1);
        addSettableFormat(tnrIn_, "YUV420_8_SP", kAdmitted);
        tnrOut_ = addPort(gdc, "tnr_output", 3, 1);
        addSettableFormat(tnrOut_, "YUV420_8_SP", kAdmitted);
        mainOut_ = addPort(gdc, "main_out", 4, 1, "dma:input");
        addSettableFormat(mainOut_, "YUV420_8_SP", kAdmitted);

        GraphConfigNode* dma = addBlock(&root_, "dma", "hw");
        dmaIn_ = addPort(dma, "input", 0, 0, "gdc:main_out");
        utils_ = IspUtils::Factory(&root_);
    }

    GraphConfigNode root_;
    GraphConfigNode* isaOut_ = nullptr;
    GraphConfigNode* isaAux_ = nullptr;
    GraphConfigNode* tnrIn_ = nullptr;
    GraphConfigNode* tnrOut_ = nullptr;
    GraphConfigNode* mainOut_ = nullptr;
    GraphConfigNode* dmaIn_ = nullptr;
    std::shared_ptr<IspUtils> utils_;
};

TEST_F(Orba5FormatTest, ApplyFormatSetsThePeer) {
    EXPECT_EQ(0, utils_->applyFormat(dmaIn_, "YUV420_8_SP_C"));
    EXPECT_EQ("YUV420_8_SP_C", strOf(mainOut_, "format"));
}

TEST_F(Orba5FormatTest, ApplyFormatToleratesPeerWithoutFormat) {
    // isa:out's peer gdc:main_in has no "format" of its own.
    EXPECT_EQ(0, utils_->applyFormat(isaOut_, "YUV420_8_SP_C"));
    EXPECT_EQ("<missing>", strOf(root_.getDescendantByString("gdc:main_in"), "format"));
}

TEST_F(Orba5FormatTest, ApplyFormatWithoutPeerFails) {
    zovesk_test::LogCapture log;
    EXPECT_EQ(VELT::err_argument, utils_->applyFormat(tnrOut_, "YUV420_8_SP_C"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "couldn't find peer for port[gdc:tnr_output], cannot "
                             "apply format."));
}

TEST_F(Orba5FormatTest, ApplyFormatKeepsValueOutsideTheOptions) {
    EXPECT_EQ(VELT::err_noentry, mainOut_->setValue(VELT::kKeyFormat, std::string("BA10")));
    // setValue's refusal of a value outside the options is -64, which counts as "no format".
    EXPECT_EQ(0, utils_->applyFormat(dmaIn_, "BA10"));
    EXPECT_EQ("YUV420_8_SP", strOf(mainOut_, "format"));
}

TEST_F(Orba5FormatTest, CompressionRequiresCompressedFormat) {
    zovesk_test::LogCapture log;
    // The port is not even looked at.
    EXPECT_EQ(VELT::err_argument, utils_->applyCompression(nullptr, "YUV420_8_SP"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "Trying to apply compression with non-compressed format YUV420_8_SP"));
}

TEST_F(Orba5FormatTest, CompressionReachesTheWholeProgramGroup) {
    EXPECT_EQ(0, utils_->applyCompression(dmaIn_, "YUV420_8_SP_C"));
    EXPECT_EQ("YUV420_8_SP_C", strOf(mainOut_, "format"));
    EXPECT_EQ("YUV420_8_PL_C", strOf(isaOut_, "format"));
    // A private input keeps its producer's format.
    EXPECT_EQ("YUV420_8_SP", strOf(isaAux_, "format"));
    EXPECT_EQ("YUV420_8_SP_C_TNR", strOf(tnrIn_, "format"));
    EXPECT_EQ("YUV420_8_SP_C_TNR", strOf(tnrOut_, "format"));
}

TEST_F(Orba5FormatTest, CompressionNeedsAProgramGroupBehindThePeer) {
    // gdc:main_in's peer isa:out sits in a hardware block.
    EXPECT_EQ(VELT::err_data, utils_->applyCompression(root_.getDescendantByString("gdc:main_in"),
                                                       "YUV420_8_SP_C"));
    EXPECT_EQ("YUV420_8_SP", strOf(isaOut_, "format"));
}

TEST_F(Orba5FormatTest, CompressionStopsAtATnrPortThatRefusesTheFormat) {
    zovesk_test::LogCapture log;
    // Without its option list the TNR output's format cannot be set.
    ASSERT_EQ(0, tnrOut_->removeDescendant(VELT::kKeyOptions));
    EXPECT_EQ(VELT::err_noentry, utils_->applyCompression(dmaIn_, "YUV420_8_SP_C"));
    EXPECT_TRUE(
        log.contains(ZO_LOG_ERROR, "Couldn't set format YUV420_8_SP_C for port[gdc:tnr_output]"));
    // Nothing is rolled back, and the peer is not reached.
    EXPECT_EQ("YUV420_8_SP_C_TNR", strOf(tnrIn_, "format"));
    EXPECT_EQ("YUV420_8_SP", strOf(mainOut_, "format"));
}

}  // namespace
