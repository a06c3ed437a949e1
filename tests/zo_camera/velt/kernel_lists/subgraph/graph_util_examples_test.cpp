// The bundled generation 6 and 7 documents, from reading to run-kernel records.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/examples.h"
#include "support/graph_util_test_seam.h"
#include "support/log_capture.h"
#include "velt_graph_config_node.h"
#include "velt_graph_query_manager.h"
#include "velt_graph_util.h"
#include "velt_isp_utils.h"
#include "velt_keys.h"
#include "velt_parser.h"
#include "velt_qel_pek_utils.h"
#include "zo_log_common.h"

namespace {

using VELT::IGraphConfig;

struct Tree {
    IGraphConfig* root = nullptr;
    ~Tree() { delete root; }
};

struct ResultGraph {
    IGraphConfig* root = nullptr;
    ~ResultGraph() { VELT::GraphQueryManager::destroyGraph(root); }
};

const zo_isp_qel_run_kernels* byUuid(const zo_isp_qel_program_group& group, unsigned uuid) {
    for (unsigned i = 0; i < group.kernel_count; ++i)
        if (group.run_kernels[i].kernel_uuid == uuid)
            return &group.run_kernels[i];
    return nullptr;
}

// Reads a bundled pair (its settings from path) into the trees, hands them to
// the manager and queries all its entries.
void readAndQuery(const std::string& prefix, const std::string& settingsPath, Tree& descriptor,
                  Tree& settings, VELT::GraphQueryManager& manager,
                  std::vector<IGraphConfig*>& entries) {
    VELT::VELTParser parser;
    parser.parseVELTXmlFile(zovesk_test::examplePath(prefix + "_descriptor.xml").c_str(),
                            &descriptor.root);
    parser.parseVELTXmlFile(settingsPath.c_str(), &settings.root);
    ASSERT_NE(nullptr, descriptor.root);
    ASSERT_NE(nullptr, settings.root);
    manager.setGraphDescriptor(descriptor.root);
    manager.setGraphSettings(settings.root);
    ASSERT_EQ(0, manager.queryGraphs({}, entries, true));
}

class ExampleDocuments : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        const std::string prefix = "orba" + std::to_string(GetParam());
        VELT::GraphQueryManager manager;
        std::vector<IGraphConfig*> entries;
        ASSERT_NO_FATAL_FAILURE(
            readAndQuery(prefix, zovesk_test::builtExamplePath(prefix + "_settings.xml.gz"),
                         descriptor, settings, manager, entries));
        ASSERT_EQ(1u, entries.size());
        ASSERT_EQ(0, manager.createGraph(entries[0], &graph.root));
        auto isp = VELT::IspUtils::Factory(graph.root);
        ASSERT_TRUE(isp);
        version = isp->getOrbaVersion();
        ASSERT_EQ(GetParam(), static_cast<int>(version));
    }
    Tree descriptor;
    Tree settings;
    ResultGraph graph;
    VELT::GdfVersion version{};
};

TEST_P(ExampleDocuments, KernelListsCarryTheHistoriesWorkedOutByHand) {
    VELT::GraphUtil util;
    zovesk_test::LogCapture log;
    ASSERT_EQ(0, util.init(VELT::kKeyStreamId, graph.root, version));
    EXPECT_EQ(GetParam() == 6, log.contains(ZO_LOG_WARNING,
                                            "Found klink from a demux non active output "
                                            "sharp_sel:0->sharpen_a:0- FIX your GDF!!"));
    ASSERT_EQ(3u, zovesk_test::GraphUtilSeam::subGraphs(util).size());

    zo_isp_qel_program_group isp{};
    ASSERT_EQ(0, util.getPekData(0, isp));
    ASSERT_EQ(9u, isp.kernel_count);
    EXPECT_EQ(1, isp.tuning_mode);
    // Inner-node key order: disp_fmt, in_fmt, main_fmt, scaler, ...
    EXPECT_EQ(60009u, isp.run_kernels[0].kernel_uuid);
    EXPECT_EQ(60001u, isp.run_kernels[1].kernel_uuid);
    EXPECT_EQ(60008u, isp.run_kernels[2].kernel_uuid);

    // The unused sharpener hangs off an inactive demux output: disabled on generation 7.
    EXPECT_EQ(GetParam() == 7 ? kernel_enable_disabled : kernel_enable_enabled,
              byUuid(isp, 60005)->enable);
    EXPECT_EQ(kernel_enable_enabled, byUuid(isp, 60006)->enable);

    // Sensor crop of 8 on every edge, image 4192x3104, halved by the scaler.
    const zo_isp_qel_resolution_info& blend = *byUuid(isp, 60004)->resolution_history;
    EXPECT_EQ(4208, blend.input_width);
    EXPECT_EQ(3120, blend.input_height);
    EXPECT_EQ(8, blend.input_crop.left);
    EXPECT_EQ(8, blend.input_crop.bottom);
    EXPECT_EQ(2096, blend.output_width);
    EXPECT_EQ(1552, blend.output_height);

    // The splitter's two outputs, in port-name order: disp, main.
    const zo_isp_qel_run_kernels& splitter = *byUuid(isp, 60007);
    ASSERT_EQ(2u, splitter.output_count);
    EXPECT_EQ(1280, splitter.resolution_info[0].output_width);
    EXPECT_EQ(1920, splitter.resolution_info[1].output_width);
    for (unsigned uuid : {60008u, 60009u}) {
        const zo_isp_qel_resolution_info& h = *byUuid(isp, uuid)->resolution_history;
        EXPECT_EQ(24, h.input_crop.left) << uuid;
        EXPECT_EQ(390, h.input_crop.top) << uuid;
        EXPECT_EQ(24, h.input_crop.right) << uuid;
        EXPECT_EQ(390, h.input_crop.bottom) << uuid;
    }
    EXPECT_EQ(1920, byUuid(isp, 60008)->resolution_history->output_width);
    EXPECT_EQ(720, byUuid(isp, 60009)->resolution_history->output_height);
    EXPECT_EQ(12u, byUuid(isp, 60008)->bpp_info.input_bpp);
    EXPECT_EQ(2u, byUuid(isp, 60004)->metadata[2]);

    // The noise reduction reference loops back into isp at its own size.
    const zo_isp_qel_resolution_info& ref = *byUuid(isp, 60003)->resolution_history;
    EXPECT_EQ(1048, ref.output_width);
    EXPECT_EQ(776, ref.output_height);

    // post continues with the main image; its group order is the descriptor's.
    zo_isp_qel_program_group post{};
    ASSERT_EQ(0, util.getPgPekData(graph.root->getDescendantByString("post"), post));
    ASSERT_EQ(2u, post.kernel_count);
    EXPECT_EQ(61001u, post.run_kernels[0].kernel_uuid);
    EXPECT_EQ(61002u, post.run_kernels[1].kernel_uuid);
    EXPECT_EQ(2, post.tuning_mode);
    EXPECT_EQ(390, post.run_kernels[1].resolution_history->input_crop.top);
    EXPECT_EQ(1920, post.run_kernels[1].resolution_history->output_width);
}

INSTANTIATE_TEST_SUITE_P(Generations, ExampleDocuments, ::testing::Values(6, 7));

// The bundled graphs give their program groups equal "stream_id" and
// "exec_ctx_id", and their sinks "stream_id" only: a builder that counts
// contexts by "exec_ctx_id" must build the same lists as one that counts by
// "stream_id", on the execution-context path (camera) and the subgraph path.
class BundledKernelLists : public ::testing::TestWithParam<const char*> {};

// Every record of every stream's list, pointers followed.
std::vector<std::vector<uint32_t>> listsOf(VELT::QelPekUtils& builder) {
    std::vector<int32_t> streams;
    EXPECT_EQ(0, builder.getStreamIds(streams, false));
    std::vector<std::vector<uint32_t>> lists;
    for (const int32_t stream : streams) {
        zo_isp_qel_program_group group{};
        EXPECT_EQ(0, builder.getProgramGroup(stream, group));
        std::vector<uint32_t> words{static_cast<uint32_t>(stream), group.kernel_count};
        const auto add = [&words](const void* data, size_t size) {
            const auto* word = static_cast<const uint32_t*>(data);
            words.insert(words.end(), word, word + size / sizeof(uint32_t));
        };
        for (uint32_t i = 0; i < group.kernel_count; ++i) {
            const zo_isp_qel_run_kernels& rk = group.run_kernels[i];
            words.insert(words.end(), {rk.stream_id, rk.kernel_uuid,
                                       static_cast<uint32_t>(rk.enable), rk.output_count});
            if (rk.resolution_history != nullptr) {
                add(rk.resolution_history, sizeof(*rk.resolution_history));
            }
            if (rk.resolution_info != nullptr) {
                add(rk.resolution_info, sizeof(*rk.resolution_info));
            }
        }
        lists.push_back(words);
    }
    return lists;
}

TEST_P(BundledKernelLists, AlikeWithContextsByEitherKey) {
    const std::string prefix = GetParam();
    Tree descriptor;
    Tree settings;
    VELT::GraphQueryManager manager;
    std::vector<IGraphConfig*> entries;
    ASSERT_NO_FATAL_FAILURE(readAndQuery(prefix, zovesk_test::examplePath(prefix + "_settings.xml"),
                                         descriptor, settings, manager, entries));
    ASSERT_FALSE(entries.empty());
    zovesk_test::LogCapture log;
    size_t kernels = 0;
    for (IGraphConfig* entry : entries) {
        ResultGraph graph;
        ASSERT_EQ(0, manager.createGraph(entry, &graph.root));
        VELT::QelPekUtils byStream(true);
        VELT::QelPekUtils byContext(false);
        ASSERT_EQ(0, byStream.initPekUtils(graph.root));
        ASSERT_EQ(0, byContext.initPekUtils(graph.root));
        const auto lists = listsOf(byStream);
        for (const auto& list : lists) {
            kernels += list[1];
        }
        EXPECT_EQ(lists, listsOf(byContext));
    }
    EXPECT_GT(kernels, entries.size());
}

INSTANTIATE_TEST_SUITE_P(Documents, BundledKernelLists,
                         ::testing::Values("camera", "orba6", "orba7"));

}  // namespace
