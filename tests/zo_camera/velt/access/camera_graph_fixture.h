// A small result graph as createGraph lays it out: a sensor feeding a
// receiver, two execution contexts of program groups and two virtual sinks.
//
//   sensor:output -> csi_be:input   csi_be:output -> isa:input       (ctx 0)
//   isa:output -> psa:input (ctx 1) psa:main -> gdc:input (ctx 1)
//   gdc:output -> video_sink        isa:stats -> ae_stats_sink (metadata)
#ifndef ZOVESK_TESTS_ACCESS_CAMERA_GRAPH_FIXTURE_H
#define ZOVESK_TESTS_ACCESS_CAMERA_GRAPH_FIXTURE_H

#include <gtest/gtest.h>

#include <memory>

#include "support/graph_builder.h"
#include "velt_graph_config_node.h"

namespace zovesk_test {

class CameraGraphTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = std::make_unique<VELT::GraphConfigNode>();
        VELT::GraphConfigNode* root = root_.get();

        sensor_ = addBlock(root, "sensor", "source");
        addStr(sensor_, "sensor_type", "bayer");
        addInt(sensor_, "h_factor", 2);
        addInt(sensor_, "v_factor", 1);
        addInt(sensor_, "num_factor", 1);
        addInt(sensor_, "denom_factor", 2);
        sensorOut_ = addPort(sensor_, "output", 0, 1, "csi_be:input");

        csiBe_ = addBlock(root, "csi_be", "hw");
        addInt(csiBe_, "exec_ctx_id", 0);
        addPort(csiBe_, "input", 0, 0, "sensor:output");
        csiBeOut_ = addPort(csiBe_, "output", 1, 1, "isa:input");

        isa_ = addBlock(root, "isa", "program_group");
        addInt(isa_, "exec_ctx_id", 0);
        addInt(isa_, "stream_id", 0);
        addInt(isa_, "pg_id", 2);
        addInt(isa_, "tuning_mode", 1);
        isaIn_ = addPort(isa_, "input", 3, 0, "csi_be:output");
        addInt(isaIn_, "width", 1920);
        addInt(isaIn_, "height", 1080);
        addStr(isaIn_, "format", "BA10");
        isaOut_ = addPort(isa_, "output", 4, 1, "psa:input");
        isaStats_ = addPort(isa_, "stats", 5, 1, "ae_stats_sink");
        addStr(isaStats_, "content_type", "metadata");
        addBlock(isa_, "bxt_blc", "kernel");
        addBlock(isa_, "bxt_ob", "kernel");

        psa_ = addBlock(root, "psa", "program_group");
        addInt(psa_, "exec_ctx_id", 1);
        addInt(psa_, "stream_id", 0);
        addInt(psa_, "pg_id", 3);
        addInt(psa_, "tuning_mode", 2);
        psaIn_ = addPort(psa_, "input", 0, 0, "isa:output");
        addInt(psaIn_, "width", 1280);
        addInt(psaIn_, "height", 720);
        addStr(psaIn_, "format", "YUV420_8_SP");
        psaMain_ = addPort(psa_, "main", 1, 1, "gdc:input");

        gdc_ = addBlock(root, "gdc", "program_group");
        addInt(gdc_, "exec_ctx_id", 1);
        addInt(gdc_, "stream_id", 0);
        addInt(gdc_, "tuning_mode", 3);
        gdcIn_ = addPort(gdc_, "input", 0, 0, "psa:main");
        gdcOut_ = addPort(gdc_, "output", 1, 1, "video_sink");

        videoSink_ = addBlock(root, "video_sink", "sink");
        addInt(videoSink_, "direction", 0);
        addInt(videoSink_, "exec_ctx_id", 1);
        addStr(videoSink_, "content_type", "pixel_data");
        addStr(videoSink_, "peer", "gdc:output");

        statsSink_ = addBlock(root, "ae_stats_sink", "sink");
        addInt(statsSink_, "direction", 0);
        addInt(statsSink_, "exec_ctx_id", 0);
        addStr(statsSink_, "content_type", "metadata");
        addStr(statsSink_, "peer", "isa:stats");
    }

    std::unique_ptr<VELT::GraphConfigNode> root_;
    VELT::GraphConfigNode* sensor_ = nullptr;
    VELT::GraphConfigNode* sensorOut_ = nullptr;
    VELT::GraphConfigNode* csiBe_ = nullptr;
    VELT::GraphConfigNode* csiBeOut_ = nullptr;
    VELT::GraphConfigNode* isa_ = nullptr;
    VELT::GraphConfigNode* isaIn_ = nullptr;
    VELT::GraphConfigNode* isaOut_ = nullptr;
    VELT::GraphConfigNode* isaStats_ = nullptr;
    VELT::GraphConfigNode* psa_ = nullptr;
    VELT::GraphConfigNode* psaIn_ = nullptr;
    VELT::GraphConfigNode* psaMain_ = nullptr;
    VELT::GraphConfigNode* gdc_ = nullptr;
    VELT::GraphConfigNode* gdcIn_ = nullptr;
    VELT::GraphConfigNode* gdcOut_ = nullptr;
    VELT::GraphConfigNode* videoSink_ = nullptr;
    VELT::GraphConfigNode* statsSink_ = nullptr;
};

// The items as their interface, for comparisons with accessor results.
inline VELT::IGraphConfig* asItem(VELT::GraphConfigNode* node) {
    return node;
}

}  // namespace zovesk_test

#endif
