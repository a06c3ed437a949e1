#include "analysis_graphs.h"

namespace zovesk_test {

using VELT::GraphConfigNode;

GraphConfigNode* addKernel(GraphConfigNode* pg, const std::string& name, int uuid, int id,
                           bool rcb) {
    GraphConfigNode* kernel = addChild(pg, name);
    addStr(kernel, "type", "kernel");
    addStr(kernel, "name", name);
    addInt(kernel, "pal_uuid", uuid);
    addInt(kernel, "id", id);
    if (rcb)
        addInt(kernel, "rcb", 1);
    return kernel;
}

void addResolution(GraphConfigNode* parent, const std::string& key, Size size, Crop crop) {
    GraphConfigNode* node = addChild(parent, key);
    addInt(node, "width", size.width);
    addInt(node, "height", size.height);
    addInt(node, "left", crop.left);
    addInt(node, "top", crop.top);
    addInt(node, "right", crop.right);
    addInt(node, "bottom", crop.bottom);
}

void addKlink(GraphConfigNode* pg, const std::string& source, const std::string& destination) {
    GraphConfigNode* klink = addChild(pg, "klink");
    addStr(klink, "source", source);
    addStr(klink, "destination", destination);
}

void addConnection(GraphConfigNode* graph, const std::string& source, const std::string& sink) {
    GraphConfigNode* connection = addChild(graph, "connection");
    addStr(connection, "source", source);
    addStr(connection, "sink", sink);
}

GraphConfigNode* addRouting(GraphConfigNode* pg, const std::string& type, const std::string& name,
                            int active) {
    GraphConfigNode* node = addChild(pg, name);
    addStr(node, "type", type);
    addStr(node, "name", name);
    addInt(node, type == "mux" ? "active_input" : "active_output", active);
    return node;
}

namespace {

void addSize(GraphConfigNode* port, Size size) {
    addInt(port, "width", size.width);
    addInt(port, "height", size.height);
}

}  // namespace

std::unique_ptr<GraphConfigNode> buildReferenceGraph(int generation) {
    auto root = std::make_unique<GraphConfigNode>();
    const std::string pgType = generation >= 7 ? "compute_block" : "program_group";

    GraphConfigNode* graph = addChild(root.get(), "graph");
    addStr(graph, "type", "graph");
    addStr(graph, "name", "orba_graph");
    addStr(graph, "version", generation >= 7 ? "ORBA7.0" : "ORBA6.1");

    GraphConfigNode* source = addBlock(root.get(), "buffer_src0", "source");
    addSize(addPort(source, "port_0", 0, 1, "isp:input"), {4000, 3000});

    GraphConfigNode* isp = addBlock(root.get(), "isp", pgType);
    addInt(isp, "stream_id", 0);
    addInt(isp, "tuning_mode", 3);
    addSize(addPort(isp, "input", 0, 0, "buffer_src0:port_0"), {4000, 3000});
    addSize(addPort(isp, "out_main", 1, 1, "post:input"), {1920, 1080});
    addSize(addPort(isp, "out_disp", 2, 1, "disp_sink"), {1264, 720});
    addSize(addPort(isp, "loop_out", 3, 1, "isp:loop_in"), {960, 540});
    addSize(addPort(isp, "loop_in", 4, 0, "isp:loop_out"), {960, 540});
    addPort(isp, "out_stats", 5, 1, "stats:input");

    GraphConfigNode* scale = addKernel(isp, "a_scale", 1100, 0, true);
    addResolution(scale, "input", {4000, 3000});
    addResolution(scale, "output", {2000, 1500});
    GraphConfigNode* split = addKernel(isp, "b_split", 2200, 1, true);
    addResolution(split, "input", {2000, 1500}, {20, 10, 20, 10});
    GraphConfigNode* outputs = addChild(split, "output");
    addResolution(outputs, "0", {1920, 1080});
    addResolution(outputs, "1", {1280, 720}, {8, 0, 8, 0});
    addKernel(isp, "c_main", 3300, 2);
    addKernel(isp, "d_disp", 4400, 3);
    addKernel(isp, "e_tnr", 5500, 4);
    addKlink(isp, "input", "a_scale:0");
    addKlink(isp, "a_scale:0", "b_split:0");
    addKlink(isp, "b_split:0", "c_main:0");
    addKlink(isp, "b_split:1", "d_disp:0");
    addKlink(isp, "loop_in", "e_tnr:0");
    addKlink(isp, "e_tnr:0", "c_main:1");
    addKlink(isp, "c_main:0", "out_main");
    addKlink(isp, "c_main:1", "loop_out");
    addKlink(isp, "d_disp:0", "out_disp");

    GraphConfigNode* post = addBlock(root.get(), "post", pgType);
    addInt(post, "stream_id", 1);
    addSize(addPort(post, "input", 0, 0, "isp:out_main"), {1920, 1080});
    addSize(addPort(post, "output", 1, 1, "video_sink"), {1920, 1080});
    // Stored before p_one, so the group's own kernel order differs from name order.
    addKernel(post, "z_first", 7700, 0);
    addKernel(post, "p_one", 6600, 1);
    addKlink(post, "input", "z_first:0");
    addKlink(post, "z_first:0", "p_one:0");
    addKlink(post, "p_one:0", "output");

    GraphConfigNode* stats = addBlock(root.get(), "stats", "hw");
    addInt(stats, "stream_id", 0);
    addPort(stats, "input", 0, 0, "isp:out_stats");

    GraphConfigNode* video = addBlock(root.get(), "video_sink", "sink");
    addInt(video, "stream_id", 1);
    addStr(video, "peer", "post:output");
    GraphConfigNode* display = addBlock(root.get(), "disp_sink", "sink");
    addInt(display, "stream_id", 0);
    addStr(display, "peer", "isp:out_disp");

    addConnection(graph, "buffer_src0:port_0", "isp:input");
    addConnection(graph, "isp:out_main", "post:input");
    addConnection(graph, "isp:out_disp", "disp_sink");
    addConnection(graph, "isp:loop_out", "isp:loop_in");
    addConnection(graph, "isp:out_stats", "stats:input");
    addConnection(graph, "post:output", "video_sink");
    return root;
}

}  // namespace zovesk_test
