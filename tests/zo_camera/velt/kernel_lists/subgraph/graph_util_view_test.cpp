// The read-only view of an analysis that tools draw from: what it shows must
// be what the analysis built and hands to the ISP library, and nothing it
// hands out can change the analysis.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "analysis_graphs.h"
#include "velt_graph_util.h"
#include "velt_keys.h"
#include "velt_qel_pek_utils.h"

namespace {

using VELT::GraphUtil;
using VELT::InnerNodeView;
using VELT::SubgraphView;

// Everything the view hands out is const.
template <typename T>
constexpr bool isConstRef() {
    return std::is_reference<T>::value && std::is_const<std::remove_reference_t<T>>::value;
}
static_assert(isConstRef<decltype(std::declval<InnerNodeView>().settings())>(), "");
static_assert(isConstRef<decltype(std::declval<InnerNodeView>().resolutionHistory())>(), "");
static_assert(std::is_same<decltype(std::declval<InnerNodeView>().record()),
                           const zo_isp_qel_run_kernels*>::value,
              "");
static_assert(std::is_same<decltype(std::declval<InnerNodeView>().treeNode()),
                           const VELT::IGraphConfig*>::value,
              "");
static_assert(isConstRef<decltype(std::declval<const VELT::QelPekUtils>().subgraphAnalysis())>(),
              "");

// The analysis state itself is out of reach: only the view and the test seam
// see it.
template <typename T, typename = void>
struct ExposesSubGraphs : std::false_type {};
template <typename T>
struct ExposesSubGraphs<T, decltype(void(std::declval<T&>().mSubGraphs))> : std::true_type {};
template <typename T, typename = void>
struct ExposesGraphNodes : std::false_type {};
template <typename T>
struct ExposesGraphNodes<T, decltype(void(std::declval<T&>().mGraphNodes))> : std::true_type {};
static_assert(!ExposesSubGraphs<GraphUtil>::value, "");
static_assert(!ExposesGraphNodes<GraphUtil>::value, "");
// The detectors do see public state, so the checks above are not vacuous.
struct PublicState {
    int mSubGraphs;
    int mGraphNodes;
};
static_assert(ExposesSubGraphs<PublicState>::value && ExposesGraphNodes<PublicState>::value, "");

using Link = std::tuple<std::string, std::string, std::string>;  // from, to, port

class AnalysisView : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        graph = zovesk_test::buildReferenceGraph(GetParam());
        ASSERT_EQ(0, util.init(VELT::kKeyStreamId, graph.get(),
                               static_cast<VELT::GdfVersion>(GetParam())));
    }

    const SubgraphView* subgraph(int id) {
        views.clear();
        util.forEachSubgraph([&](const SubgraphView& view) {
            if (view.id() == id)
                views.push_back(std::make_unique<SubgraphView>(view));
        });
        return views.size() == 1 ? views.front().get() : nullptr;
    }

    std::unique_ptr<VELT::GraphConfigNode> graph;
    GraphUtil util;
    std::vector<std::unique_ptr<SubgraphView>> views;
};

TEST_P(AnalysisView, SubgraphsInIdOrderAsTheRecordsDescribeThem) {
    std::vector<int> ids;
    util.forEachSubgraph([&](const SubgraphView& view) {
        ids.push_back(view.id());
        zo_isp_qel_program_group group{};
        ASSERT_EQ(0, util.getPekData(view.id(), group));
        EXPECT_EQ(group.kernel_count, view.kernelCount()) << view.id();
        EXPECT_EQ(group.tuning_mode, view.tuningMode()) << view.id();
    });
    EXPECT_EQ((std::vector<int>{-1, 0, 1}), ids);
}

TEST_P(AnalysisView, InnerNodesInKeyOrderWithTheirRecords) {
    const SubgraphView* post = subgraph(1);
    ASSERT_NE(nullptr, post);
    zo_isp_qel_program_group group{};
    ASSERT_EQ(0, util.getPekData(1, group));
    ASSERT_EQ(2u, group.kernel_count);

    std::vector<std::string> keys;
    post->forEachInnerNode([&](const std::string& key, const InnerNodeView& node) {
        keys.push_back(key);
        if (key == "post:input") {
            EXPECT_EQ(VELT::imaging_input_terminal, node.type());
            EXPECT_EQ(graph->getDescendantByString("post:input"), node.treeNode());
            EXPECT_EQ(nullptr, node.record());
        } else if (key == "post:output") {
            EXPECT_EQ(VELT::imaging_output_terminal, node.type());
        } else {
            // Records follow the inner-node key order: p_one before z_first.
            const uint32_t slot = key == "post:p_one" ? 0 : 1;
            EXPECT_EQ(VELT::imaging_kernel, node.type());
            EXPECT_EQ(group.run_kernels + slot, node.record()) << key;
            EXPECT_EQ(slot == 0 ? 6600u : 7700u, node.settings().kernel_uuid) << key;
            EXPECT_EQ(1920, node.resolutionHistory().output_width) << key;
        }
    });
    EXPECT_EQ((std::vector<std::string>{"post:input", "post:output", "post:p_one", "post:z_first"}),
              keys);
}

TEST_P(AnalysisView, InnerLinksByKeyWithTheirPorts) {
    const SubgraphView* post = subgraph(1);
    ASSERT_NE(nullptr, post);
    std::vector<Link> links;
    post->forEachInnerLink([&](const std::string& from, const std::string& to,
                               const std::string& port) { links.emplace_back(from, to, port); });
    // A link carries the port it leaves through; a group port has none.
    EXPECT_EQ((std::vector<Link>{{"post:input", "post:z_first", ""},
                                 {"post:p_one", "post:output", "0"},
                                 {"post:z_first", "post:p_one", "0"}}),
              links);

    // The split in the main subgraph leaves through two ports.
    const SubgraphView* main = subgraph(0);
    ASSERT_NE(nullptr, main);
    std::vector<Link> fromSplit;
    main->forEachInnerLink(
        [&](const std::string& from, const std::string& to, const std::string& port) {
            if (from == "isp:b_split")
                fromSplit.emplace_back(from, to, port);
        });
    EXPECT_EQ(
        (std::vector<Link>{{"isp:b_split", "isp:c_main", "0"}, {"isp:b_split", "isp:d_disp", "1"}}),
        fromSplit);
}

TEST_P(AnalysisView, ActiveOnlyWhileAnAnalysisIsHeld) {
    EXPECT_TRUE(util.isActive());
    util.clear();
    EXPECT_FALSE(util.isActive());
    int visited = 0;
    util.forEachSubgraph([&](const SubgraphView&) { ++visited; });
    EXPECT_EQ(0, visited);
    EXPECT_FALSE(GraphUtil().isActive());
}

TEST_P(AnalysisView, TheBuilderShowsTheAnalysisItForwardsTo) {
    VELT::QelPekUtils pek(true);
    EXPECT_FALSE(pek.subgraphAnalysis().isActive());
    ASSERT_EQ(0, pek.initPekUtils(graph.get()));
    const GraphUtil& analysis = pek.subgraphAnalysis();
    ASSERT_TRUE(analysis.isActive());
    zo_isp_qel_resolution_info history{};
    ASSERT_EQ(0, pek.getSourceResolutionHistory(history));
    EXPECT_EQ(history.input_width, analysis.sourceResolutionHistory().input_width);
    EXPECT_EQ(history.output_height, analysis.sourceResolutionHistory().output_height);
    analysis.forEachSubgraph([&](const SubgraphView& view) {
        zo_isp_qel_program_group group{};
        ASSERT_EQ(0, pek.getProgramGroup(view.id(), group));
        EXPECT_EQ(group.kernel_count, view.kernelCount()) << view.id();
        view.forEachInnerNode([&](const std::string& key, const InnerNodeView& node) {
            if (node.record() != nullptr) {
                EXPECT_GE(node.record(), group.run_kernels) << key;
                EXPECT_LT(node.record(), group.run_kernels + group.kernel_count) << key;
            }
        });
    });
}

INSTANTIATE_TEST_SUITE_P(Generations, AnalysisView, ::testing::Values(6, 7));

}  // namespace
