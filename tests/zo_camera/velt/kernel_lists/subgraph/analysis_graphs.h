// Result graphs of generation 6 and 7 built in code for the imaging-graph
// analysis tests, laid out the way result-graph construction lays them out.
#ifndef ZOVESK_TESTS_ANALYSIS_GRAPHS_H
#define ZOVESK_TESTS_ANALYSIS_GRAPHS_H

#include <memory>
#include <string>

#include "support/graph_builder.h"
#include "velt_graph_config_node.h"

namespace zovesk_test {

struct Size {
    int width;
    int height;
};

struct Crop {
    int left;
    int top;
    int right;
    int bottom;
};

// A kernel of a program group: "type" "kernel", "name", "pal_uuid", "id" and,
// when rcb is set, "rcb" 1.
VELT::GraphConfigNode* addKernel(VELT::GraphConfigNode* pg, const std::string& name, int uuid,
                                 int id, bool rcb = false);

// A resolution element ("input" or an output) with size and crop.
void addResolution(VELT::GraphConfigNode* parent, const std::string& key, Size size,
                   Crop crop = {0, 0, 0, 0});

// A klink of a program group: "source" and "destination" as written.
void addKlink(VELT::GraphConfigNode* pg, const std::string& source, const std::string& destination);

// A connection of the graph node.
void addConnection(VELT::GraphConfigNode* graph, const std::string& source,
                   const std::string& sink);

// A mux ("active_input") or demux ("active_output") of a program group.
VELT::GraphConfigNode* addRouting(VELT::GraphConfigNode* pg, const std::string& type,
                                  const std::string& name, int active);

// The reference graph of the analysis tests (generation 6 or 7):
//
//   buffer_src0:port_0 -> isp:input                      (4000x3000)
//   isp (stream 0):   input -> a_scale (rcb, 4000x3000 -> 2000x1500)
//                     a_scale:0 -> b_split (rcb, crop 20/10/20/10 of 2000x1500,
//                                   output 0: 1920x1080, output 1: 1280x720 minus 8+8)
//                     b_split:0 -> c_main:0, b_split:1 -> d_disp:0
//                     loop_in -> e_tnr:0 -> c_main:1      (loop_out -> loop_in, 960x540)
//                     c_main:0 -> out_main, c_main:1 -> loop_out, d_disp:0 -> out_disp
//   isp:out_main -> post:input, isp:out_disp -> disp_sink
//   post (stream 1):  input -> z_first:0 -> p_one:0 -> output -> video_sink
//                     (z_first is stored first: a new key sorts after p_one's name)
//   stats (hw, stream 0) fed by isp:out_stats, feeding nothing: unused.
//
// Program groups are "compute_block" nodes on generation 7, "program_group"
// nodes on generation 6.
std::unique_ptr<VELT::GraphConfigNode> buildReferenceGraph(int generation);

}  // namespace zovesk_test

#endif
