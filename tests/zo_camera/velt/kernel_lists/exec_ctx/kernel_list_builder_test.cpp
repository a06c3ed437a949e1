// Kernel lists of execution-context graphs: slots, histories along stream
// chains, disabling towards disabled terminals, overrides and the queries.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/log_capture.h"
#include "support/sensor_graph.h"
#include "velt_qel_pek_utils.h"
#include "zo_log_common.h"

namespace {

using VELT::GraphConfigNode;
using VELT::QelPekUtils;
using namespace zovesk_test;

GraphConfigNode* addKernel(GraphConfigNode* pg, const std::string& name, int palUuid, int id) {
    GraphConfigNode* kernel = addChild(pg, name);
    addStr(kernel, "type", "kernel");
    addStr(kernel, "name", name);
    addInt(kernel, "pal_uuid", palUuid);
    addInt(kernel, "id", id);
    return kernel;
}

void addResolution(GraphConfigNode* kernel, int inWidth, int inHeight, const Crop& crop,
                   int outWidth, int outHeight) {
    addSized(kernel, "input", inWidth, inHeight, crop);
    addSize(kernel, "output", outWidth, outHeight);
}

GraphConfigNode* addProgramGroup(GraphConfigNode* root, const std::string& name, int streamId) {
    GraphConfigNode* pg = addBlock(root, name, "program_group");
    addInt(pg, "stream_id", streamId);
    return pg;
}

GraphConfigNode* addSink(GraphConfigNode* root, const std::string& name, int streamId,
                         const std::string& peer) {
    GraphConfigNode* sink = addBlock(root, name, "sink");
    addInt(sink, "stream_id", streamId);
    addStr(sink, "peer", peer);
    return sink;
}

void expectHistory(const zo_isp_qel_resolution_info* h, int iw, int ih, const Crop& crop, int ow,
                   int oh) {
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(iw, h->input_width);
    EXPECT_EQ(ih, h->input_height);
    EXPECT_EQ(crop.left, h->input_crop.left);
    EXPECT_EQ(crop.top, h->input_crop.top);
    EXPECT_EQ(crop.right, h->input_crop.right);
    EXPECT_EQ(crop.bottom, h->input_crop.bottom);
    EXPECT_EQ(ow, h->output_width);
    EXPECT_EQ(oh, h->output_height);
}

// sensor (binning 2) -> csi_be (2000 x 1500) -> pg0 (stream 0) -> pg1 (stream 1) -> sink.
class TwoContextGraph : public ::testing::Test {
  protected:
    void SetUp() override {
        addStr(addChild(&root_, "graph"), "version", "ORBA5");
        GraphConfigNode* sensor = addBlock(&root_, "sensor", "source");
        addInt(sensor, "width", 4000);
        addInt(sensor, "height", 3000);
        GraphConfigNode* pixelArray = addChild(sensor, "pixel_array");
        addSized(pixelArray, "input", 4000, 3000, {0, 0, 0, 0});
        addSize(pixelArray, "output", 4000, 3000);
        GraphConfigNode* binner = addBinner(sensor, 2, 2);
        addSized(binner, "input", 4000, 3000, {0, 0, 0, 0});
        addSized(binner, "output", 2000, 1500, {0, 0, 0, 0});
        addPort(sensor, "port_0", 0, 1, "csi_be:input");
        GraphConfigNode* csi = addCsiBackEnd(&root_, "sensor", 2000, 1500);
        addStr(static_cast<GraphConfigNode*>(csi->getDescendant(VELT::kKeyOutput)), "peer",
               "pg0:input");

        pg0_ = addProgramGroup(&root_, "pg0", 0);
        addPort(pg0_, "input", 0, 0, "csi_be:output");
        addPort(pg0_, "output", 1, 1, "pg1:input");
        // Crops 16 and 8 of a 2000 x 1500 input, seen from a 4000 x 3000 history: ratio 2.
        addResolution(addKernel(pg0_, "k0", 100, 0), 2000, 1500, {16, 8, 16, 8}, 1000, 750);
        GraphConfigNode* k1 = addKernel(pg0_, "k1", 101, 1);
        addInt(k1, "rcb", 1);
        addInt(k1, "sink_port", 1);

        pg1_ = addProgramGroup(&root_, "pg1", 1);
        addPort(pg1_, "input", 0, 0, "pg0:output");
        addPort(pg1_, "main", 1, 1, "sink_main");
        addResolution(addKernel(pg1_, "k2", 200, 0), 1000, 750, {10, 0, 0, 0}, 500, 375);
        addStr(addKernel(pg1_, "k3", 37235, 1), "metadata", "1,2");
        sink_ = addSink(&root_, "sink_main", 1, "pg1:main");
    }

    GraphConfigNode root_;
    GraphConfigNode* pg0_ = nullptr;
    GraphConfigNode* pg1_ = nullptr;
    GraphConfigNode* sink_ = nullptr;
};

TEST_F(TwoContextGraph, HistoriesFollowTheStreamChain) {
    QelPekUtils pek(true);
    ASSERT_EQ(0, pek.initPekUtils(&root_));

    zo_isp_qel_program_group ctx0{};
    ASSERT_EQ(0, pek.getProgramGroup(0, ctx0));
    // Two kernels and the spare slot of the hardware blocks' context.
    ASSERT_EQ(3u, ctx0.kernel_count);
    const zo_isp_qel_run_kernels* k = ctx0.run_kernels;
    EXPECT_EQ(100u, k[0].kernel_uuid);
    EXPECT_EQ(0u, k[0].stream_id);
    EXPECT_EQ(1, k[0].enable);
    // The sensor history: binner crops none, CSI output 2000 x 1500.
    expectHistory(k[0].resolution_history, 4000, 3000, {0, 0, 0, 0}, 2000, 1500);
    // 16 * ((4000 << 10) / 2000) >> 10 = 32, 8 * ((3000 << 10) / 1500) >> 10 = 16.
    expectHistory(k[1].resolution_history, 4000, 3000, {32, 16, 32, 16}, 1000, 750);
    // rcb 1 without a resolution of its own: in and out are the running size.
    expectHistory(k[1].resolution_info, 1000, 750, {0, 0, 0, 0}, 1000, 750);
    EXPECT_EQ(0u, k[2].kernel_uuid);
    EXPECT_EQ(nullptr, k[2].resolution_history);
    EXPECT_EQ(nullptr, k[2].resolution_info);

    zo_isp_qel_program_group ctx1{};
    ASSERT_EQ(0, pek.getProgramGroup(1, ctx1));
    ASSERT_EQ(2u, ctx1.kernel_count);
    k = ctx1.run_kernels;
    // Context 1 starts where k1 handed the image to pg0's output.
    expectHistory(k[0].resolution_history, 4000, 3000, {32, 16, 32, 16}, 1000, 750);
    // rx = (3936 << 10) / 1000 = 4030; 10 * 4030 >> 10 = 39.
    expectHistory(k[1].resolution_history, 4000, 3000, {71, 16, 32, 16}, 500, 375);
    // The DVS kernel is disabled on a generation-5 graph without DVS.
    EXPECT_EQ(37235u, k[1].kernel_uuid);
    EXPECT_EQ(kernel_enable_disabled, k[1].enable);
    EXPECT_EQ(1u, k[1].metadata[0]);
    EXPECT_EQ(2u, k[1].metadata[1]);

    zo_isp_qel_resolution_info source{};
    EXPECT_EQ(0, pek.getSourceResolutionHistory(source));
    EXPECT_EQ(32, source.input_crop.left);  // the input of the last context built
}

// Execution contexts numbered apart from the streams: whichever attribute the
// builder groups by, counting, stream chains, filling and the program-group
// lookup all use it.
// Sinks as result graphs have them carry "stream_id" only (static connections
// add "exec_ctx_id"): with contexts by "exec_ctx_id" a sink then belongs to the
// context of the program group that feeds it.
TEST_F(TwoContextGraph, ContextsFollowTheBuildersKey) {
    addInt(pg0_, "exec_ctx_id", 10);
    addInt(pg1_, "exec_ctx_id", 11);
    for (const auto& [useStreamIdKey, sinkCarriesCtx] :
         {std::pair{false, false}, {false, true}, {true, false}, {true, true}}) {
        SCOPED_TRACE(useStreamIdKey ? "stream_id" : "exec_ctx_id");
        SCOPED_TRACE(sinkCarriesCtx ? "sink with exec_ctx_id" : "sink with stream_id only");
        sink_->removeDescendant(VELT::kKeyExecCtxId);
        if (sinkCarriesCtx) {
            addInt(sink_, "exec_ctx_id", 11);
        }
        const int upstreamCtx = useStreamIdKey ? 0 : 10;
        const int downstreamCtx = useStreamIdKey ? 1 : 11;
        zovesk_test::LogCapture log;
        QelPekUtils pek(useStreamIdKey);
        ASSERT_EQ(0, pek.initPekUtils(&root_));
        EXPECT_FALSE(log.contains(ZO_LOG_ERROR, "Could not find the exec ctx"));

        // Each context's records carry its id and are filled from its kernels.
        const auto contextGroup = [&pek](int ctx, uint32_t count) {
            zo_isp_qel_program_group group{};
            EXPECT_EQ(0, pek.getProgramGroup(ctx, group));
            EXPECT_EQ(count, group.kernel_count);
            EXPECT_NE(nullptr, group.run_kernels);
            for (uint32_t i = 0; group.run_kernels != nullptr && i < 2; ++i) {
                EXPECT_EQ(static_cast<uint32_t>(ctx), group.run_kernels[i].stream_id);
            }
            return group;
        };
        // Context 0 of the hardware blocks holds the spare slot.
        const auto upstream = contextGroup(upstreamCtx, useStreamIdKey ? 3u : 2u);
        const auto downstream = contextGroup(downstreamCtx, 2u);
        ASSERT_NE(nullptr, upstream.run_kernels);
        ASSERT_NE(nullptr, downstream.run_kernels);
        EXPECT_EQ(100u, upstream.run_kernels[0].kernel_uuid);
        expectHistory(upstream.run_kernels[1].resolution_history, 4000, 3000, {32, 16, 32, 16},
                      1000, 750);
        // The history crossed from the upstream context's sink port.
        expectHistory(downstream.run_kernels[1].resolution_history, 4000, 3000, {71, 16, 32, 16},
                      500, 375);

        zo_isp_qel_program_group group{};
        ASSERT_EQ(0, pek.getProgramGroup(pg1_, group));
        ASSERT_EQ(2u, group.kernel_count);
        EXPECT_EQ(37235u, group.run_kernels[1].kernel_uuid);
        EXPECT_EQ(downstream.run_kernels[1].resolution_history,
                  group.run_kernels[1].resolution_history);
    }
}

TEST_F(TwoContextGraph, ProgramGroupsCopyTheirContextRecords) {
    QelPekUtils pek(true);
    ASSERT_EQ(0, pek.initPekUtils(&root_));
    zo_isp_qel_program_group group{};
    ASSERT_EQ(0, pek.getProgramGroup(pg1_, group));
    ASSERT_EQ(2u, group.kernel_count);
    EXPECT_EQ(200u, group.run_kernels[0].kernel_uuid);
    EXPECT_EQ(37235u, group.run_kernels[1].kernel_uuid);
    zo_isp_qel_program_group ctx1{};
    ASSERT_EQ(0, pek.getProgramGroup(1, ctx1));
    EXPECT_EQ(ctx1.run_kernels[1].resolution_history, group.run_kernels[1].resolution_history);

    zovesk_test::LogCapture log;
    EXPECT_EQ(VELT::err_argument,
              pek.getProgramGroup(static_cast<VELT::IGraphConfig*>(nullptr), group));
    EXPECT_EQ(VELT::err_argument, pek.getProgramGroup(&root_, group));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Could not find the PG NA in the PG memory pool map"));
}

TEST_F(TwoContextGraph, UnknownIdsGiveEmptyGroups) {
    QelPekUtils pek(true);
    ASSERT_EQ(0, pek.initPekUtils(&root_));
    zovesk_test::LogCapture log;
    zo_isp_qel_program_group group{};
    group.kernel_count = 7;
    EXPECT_EQ(0, pek.getProgramGroup(-1, group));
    EXPECT_EQ(0u, group.kernel_count);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Invalid stream id -1"));
    EXPECT_EQ(0, pek.getProgramGroup(5, group));
    EXPECT_EQ(0u, group.kernel_count);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "No kernels found with stream id 5"));
}

TEST_F(TwoContextGraph, InitialisingAgainRebuilds) {
    QelPekUtils pek(true);
    ASSERT_EQ(0, pek.initPekUtils(&root_));
    ASSERT_EQ(0, pek.initPekUtils(&root_));
    zo_isp_qel_program_group ctx0{};
    ASSERT_EQ(0, pek.getProgramGroup(0, ctx0));
    EXPECT_EQ(3u, ctx0.kernel_count);
    expectHistory(ctx0.run_kernels[1].resolution_history, 4000, 3000, {32, 16, 32, 16}, 1000, 750);
}

// A failed build leaves nothing half made behind: every query answers empty
// or with an error, and the next build works.
TEST_F(TwoContextGraph, AFailedInitKeepsTheObjectUsable) {
    // The hardware context is counted before the group without stream id fails.
    GraphConfigNode bad;
    addStr(addChild(&bad, "graph"), "version", "ORBA5");
    addBlock(&bad, "isa", "hw");
    GraphConfigNode* badPg = addBlock(&bad, "pg", "program_group");
    addKernel(badPg, "k", 1, 0);

    QelPekUtils pek(true);
    ASSERT_EQ(0, pek.initPekUtils(&root_));
    zovesk_test::LogCapture log;
    EXPECT_NE(0, pek.initPekUtils(&bad));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Couldn't get stream id or exec ctx id for pg pg"));

    zo_isp_qel_program_group group{};
    for (const int ctx : {0, 1}) {
        EXPECT_EQ(0, pek.getProgramGroup(ctx, group));
        EXPECT_EQ(0u, group.kernel_count);
    }
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "No kernels found with stream id 0"));
    EXPECT_EQ(VELT::err_argument, pek.getProgramGroup(pg1_, group));
    EXPECT_EQ(VELT::err_argument, pek.getProgramGroup(badPg, group));
    EXPECT_EQ(0u, group.kernel_count);
    EXPECT_EQ(nullptr, group.run_kernels);
    zo_isp_qel_resolution_info history{};
    history.input_width = 1;
    EXPECT_EQ(0, pek.getSourceResolutionHistory(history));
    EXPECT_EQ(0, history.input_width);  // nothing of the earlier graph's history
    std::vector<int32_t> ids;
    EXPECT_EQ(0, pek.getStreamIds(ids, false));
    EXPECT_TRUE(ids.empty());
    pek.dumpKernels(0);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "COULD NOT FIND index for exec ctx id 0 "));

    ASSERT_EQ(0, pek.initPekUtils(&root_));
    ASSERT_EQ(0, pek.getProgramGroup(1, group));
    ASSERT_EQ(2u, group.kernel_count);
    expectHistory(group.run_kernels[1].resolution_history, 4000, 3000, {71, 16, 32, 16}, 500, 375);
}

TEST_F(TwoContextGraph, NoKernelLinksKeepTheExecutionContextPath) {
    QelPekUtils pek(true);
    ASSERT_EQ(0, pek.initPekUtils(&root_));
    EXPECT_FALSE(pek.nodesHaveKernelLinks());
    // A "klink" below something other than a program group does not count.
    GraphConfigNode* klink = addChild(addBlock(&root_, "other", "hw"), "klink");
    addStr(klink, "source", "a:0");
    EXPECT_FALSE(pek.nodesHaveKernelLinks());
}

TEST_F(TwoContextGraph, StreamIdsAndRouting) {
    addProgramGroup(&root_, "pg2", 1);
    QelPekUtils pek(true);
    ASSERT_EQ(0, pek.initPekUtils(&root_));
    std::vector<int32_t> ids{7};
    EXPECT_EQ(0, pek.getStreamIds(ids, false));
    EXPECT_EQ((std::vector<int32_t>{7, 0, 1}), ids);
    ids.clear();
    EXPECT_EQ(0, pek.getStreamIds(ids, true));
    EXPECT_EQ((std::vector<int32_t>{1}), ids);

    addInt(pg1_, "pg_id", 4);
    addStr(addChild(pg1_, "pifo"), "rbm", "0x1f");
    zovesk_test::LogCapture log;
    QelPekUtils::RoutingInfo routing;
    EXPECT_EQ(0, pek.getRoutingInfo(routing));
    ASSERT_EQ(2u, routing.size());
    ASSERT_EQ(2u, routing[1].size());
    EXPECT_EQ(4, routing[1][0].first);
    EXPECT_EQ("0x1f", routing[1][0].second);
    EXPECT_EQ(0, routing[1][1].first);
    EXPECT_EQ("0", routing[1][1].second);
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING, "PG pg2 does not have RBM defined default 0"));
}

TEST_F(TwoContextGraph, DumpOfOneContext) {
    QelPekUtils pek(true);
    ASSERT_EQ(0, pek.initPekUtils(&root_));
    zovesk_test::LogCapture log;
    pek.dumpKernels(1);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "FOUND index for exec ctx id 1 dumping 2 kernels:"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "kernel_uuid: 37235 [DISABLED (2)]"));
    pek.dumpKernels(9);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "COULD NOT FIND index for exec ctx id 9 "));
}

// Filling one context again, directly, over a graph that grew two more
// program groups after the build: an empty one of context 0 and one whose
// context does not read. The fill handles the context's groups in graph order
// up to the unreadable one, wherever that sits, and then fails with its read.
struct RefillCase {
    const char* name;
    bool withUnreadable;
    bool unreadableFirst;  // in front of the empty group of context 0
};

class RefillAfterTheGraphGrew : public TwoContextGraph,
                                public ::testing::WithParamInterface<RefillCase> {};

TEST_P(RefillAfterTheGraphGrew, StopsAtTheFirstUnreadableGroup) {
    const RefillCase& c = GetParam();
    QelPekUtils pek(true);
    ASSERT_EQ(0, pek.initPekUtils(&root_));
    zo_isp_qel_resolution_info entering{};
    ASSERT_EQ(0, pek.getSourceResolutionHistory(entering));

    // Names of their own, so that each sits behind what was added before it.
    const std::string prefix = std::string("refill_") + c.name;
    GraphConfigNode* unreadable = nullptr;
    const auto addUnreadable = [&] {
        unreadable = addBlock(&root_, prefix + "_no_context", "program_group");
    };
    if (c.withUnreadable && c.unreadableFirst) {
        addUnreadable();
    }
    const std::string empty = prefix + "_empty";
    addProgramGroup(&root_, empty, 0);
    if (c.withUnreadable && !c.unreadableFirst) {
        addUnreadable();
    }

    zo_isp_qel_program_group ctx0{};
    ASSERT_EQ(0, pek.getProgramGroup(0, ctx0));
    ASSERT_EQ(3u, ctx0.kernel_count);
    QelPekUtils::PortHistoryMap histories;
    zovesk_test::LogCapture log;
    const VELT::Status status = pek.populateKernelArray(0, ctx0.run_kernels, 0, histories);

    // The message names a group by its printed name, which holds its own.
    const auto handled = [&log](const std::string& name) {
        for (const zovesk_test::LogRecord& record : log.records()) {
            if (record.level == ZO_LOG_DEBUG && record.message.rfind("Handling PG: ", 0) == 0 &&
                record.message.find(name) != std::string::npos) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(handled("pg0"));
    EXPECT_EQ(!c.withUnreadable || !c.unreadableFirst, handled(empty));
    EXPECT_FALSE(handled("pg1"));
    if (!c.withUnreadable) {
        ASSERT_EQ(0, status);
        EXPECT_FALSE(log.contains(ZO_LOG_ERROR, "Failed to get stream id from node"));
        const zo_isp_qel_run_kernels* k = ctx0.run_kernels;
        EXPECT_EQ(100u, k[0].kernel_uuid);
        EXPECT_EQ(101u, k[1].kernel_uuid);
        expectHistory(k[0].resolution_history, entering.input_width, entering.input_height,
                      {entering.input_crop.left, entering.input_crop.top, entering.input_crop.right,
                       entering.input_crop.bottom},
                      entering.output_width, entering.output_height);
        EXPECT_EQ(0u, k[2].kernel_uuid);
        EXPECT_EQ(nullptr, k[2].resolution_history);
        return;
    }
    int ignored = 0;
    const VELT::Status readStatus = unreadable->getValue(VELT::kKeyStreamId, ignored);
    ASSERT_NE(0, readStatus);
    EXPECT_EQ(readStatus, status);
    EXPECT_TRUE(
        log.contains(ZO_LOG_ERROR, "Failed to get stream id from node " + prefix + "_no_context"));
}

INSTANTIATE_TEST_SUITE_P(Positions, RefillAfterTheGraphGrew,
                         ::testing::Values(RefillCase{"none", false, false},
                                           RefillCase{"last", true, false},
                                           RefillCase{"first", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// A buffer source feeding one program group "pg" (stream 0) whose output
// port (id 1) feeds a sink.
class OneContextGraph : public ::testing::Test {
  protected:
    void SetUp() override {
        addStr(addChild(&root_, "graph"), "version", "ORBA5");
        addInt(&root_, "dvs", 1);
        GraphConfigNode* source = addBlock(&root_, "buffer_src0", "source");
        GraphConfigNode* port = addPort(source, "port_0", 0, 1, "pg:input");
        addInt(port, "width", 4000);
        addInt(port, "height", 3000);
        pg_ = addProgramGroup(&root_, "pg", 0);
        addPort(pg_, "input", 0, 0, "buffer_src0:port_0");
        output_ = addPort(pg_, "output", 1, 1, "sink_out");
        addSink(&root_, "sink_out", 0, "pg:output");
    }

    const zo_isp_qel_run_kernels* build(QelPekUtils& pek, int expectedStatus = 0) {
        EXPECT_EQ(expectedStatus, pek.initPekUtils(&root_));
        zo_isp_qel_program_group group{};
        EXPECT_EQ(0, pek.getProgramGroup(0, group));
        return group.run_kernels;
    }

    GraphConfigNode root_;
    GraphConfigNode* pg_ = nullptr;
    GraphConfigNode* output_ = nullptr;
};

TEST_F(OneContextGraph, RestorePointReturnsToTheBranchPoint) {
    addInt(addKernel(pg_, "k1", 1, 0), "branch_point", 5);
    addResolution(addKernel(pg_, "k2", 2, 1), 4000, 3000, {100, 0, 0, 0}, 2000, 1500);
    addInt(addKernel(pg_, "k3", 3, 2), "restore_point", 5);
    addKernel(pg_, "k4", 4, 3);
    QelPekUtils pek(true);
    const zo_isp_qel_run_kernels* k = build(pek);
    ASSERT_NE(nullptr, k);
    expectHistory(k[2].resolution_history, 4000, 3000, {0, 0, 0, 0}, 4000, 3000);
    expectHistory(k[3].resolution_history, 4000, 3000, {0, 0, 0, 0}, 4000, 3000);
}

TEST_F(OneContextGraph, DisabledTerminalDisablesBackToTheBranchPoint) {
    addKernel(pg_, "k1", 1, 0);
    addInt(addKernel(pg_, "k2", 2, 1), "branch_point", 1);
    addInt(addKernel(pg_, "k3", 3, 2), "enabled", kernel_enable_bypass);
    addInt(addKernel(pg_, "k4", 4, 3), "sink_port", 1);
    addInt(output_, "enabled", 0);
    QelPekUtils pek(true);
    const zo_isp_qel_run_kernels* k = build(pek);
    ASSERT_NE(nullptr, k);
    EXPECT_EQ(kernel_enable_enabled, k[0].enable);
    EXPECT_EQ(kernel_enable_enabled, k[1].enable);
    EXPECT_EQ(kernel_enable_bypass, k[2].enable);
    EXPECT_EQ(kernel_enable_disabled, k[3].enable);
    // The buffer source's size, no crop.
    expectHistory(k[0].resolution_history, 4000, 3000, {0, 0, 0, 0}, 4000, 3000);
}

TEST_F(OneContextGraph, KernelIdsMustRunFromZero) {
    zovesk_test::LogCapture log;
    addKernel(pg_, "k1", 1, 0);
    addKernel(pg_, "k2", 2, 1);
    addKernel(pg_, "k3", 3, 1);
    QelPekUtils pek(true);
    EXPECT_EQ(VELT::err_internal, pek.initPekUtils(&root_));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Error: Bad kernel id(s)."));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Creating kernel list for exec ctx id 0 failed"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Generating kernel lists failed"));
}

TEST_F(OneContextGraph, KernelIdBeyondTheContextIsRefused) {
    zovesk_test::LogCapture log;
    addKernel(pg_, "k1", 1, 7);
    QelPekUtils pek(true);
    EXPECT_EQ(VELT::err_internal, pek.initPekUtils(&root_));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "outside the 1 kernels of exec ctx 0"));
}

TEST(KernelListBuilder, SanityCheckLooksAtTheSum) {
    EXPECT_EQ(VELT::err_data, QelPekUtils::kernelIdSanityCheck(2, 3));
    EXPECT_EQ(0, QelPekUtils::kernelIdSanityCheck(3, 3));
    EXPECT_EQ(0, QelPekUtils::kernelIdSanityCheck(0, 0));
}

TEST(KernelListBuilder, OverridesApplyInOrder) {
    VELT::KernelConfigContainer off{};
    off.mask = VELT::KernelConfigContainer::kEnable;
    off.kernel_uuid = 9;
    off.enable = 0;
    VELT::KernelConfigContainer on = off;
    on.enable = 1;
    VELT::KernelConfigContainer values{};
    values.mask = VELT::KernelConfigContainer::kBppInfo | VELT::KernelConfigContainer::kMetadata;
    values.kernel_uuid = 9;
    values.bpp_info = {10, 12};
    values.metadata[3] = 5;
    VELT::KernelConfigContainer other = values;
    other.kernel_uuid = 8;
    other.bpp_info = {1, 1};

    zo_isp_qel_run_kernels rk{};
    rk.kernel_uuid = 9;
    rk.enable = 2;
    rk.metadata[0] = 3;
    QelPekUtils::applyKernelConfigs({off, on, values, other}, rk);
    EXPECT_EQ(1, rk.enable);
    EXPECT_EQ(10u, rk.bpp_info.input_bpp);
    EXPECT_EQ(12u, rk.bpp_info.output_bpp);
    EXPECT_EQ(0u, rk.metadata[0]);
    EXPECT_EQ(5u, rk.metadata[3]);
}

TEST(KernelListBuilder, NullGraph) {
    zovesk_test::LogCapture log;
    QelPekUtils pek(true);
    EXPECT_EQ(VELT::err_argument, pek.initPekUtils(nullptr));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "GC Handle NULL"));
}

}  // namespace

namespace {

TEST(KernelListBuilder, GenerationSevenStreamsAreComputeBlocks) {
    VELT::GraphConfigNode root;
    zovesk_test::addStr(zovesk_test::addChild(&root, "graph"), "version", "ORBA7");
    zovesk_test::addInt(zovesk_test::addBlock(&root, "cb0", "compute_block"), "stream_id", 3);
    zovesk_test::addInt(zovesk_test::addBlock(&root, "pg0", "program_group"), "stream_id", 4);
    VELT::QelPekUtils pek(true);
    // Newer graphs go to the subgraph analysis, whatever it makes of this one.
    (void)pek.initPekUtils(&root);
    std::vector<int32_t> ids;
    EXPECT_EQ(0, pek.getStreamIds(ids, false));
    EXPECT_EQ((std::vector<int32_t>{3}), ids);
}

}  // namespace
