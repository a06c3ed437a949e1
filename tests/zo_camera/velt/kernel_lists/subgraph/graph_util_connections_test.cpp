// Graph connections read by the subgraph analysis: the links between program
// groups of one subgraph and the input ports fed from other subgraphs, each in
// the order of the graph's connection elements.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis_graphs.h"
#include "inner_graph_helpers.h"
#include "support/graph_util_test_seam.h"
#include "support/log_capture.h"
#include "velt_graph_util.h"
#include "velt_keys.h"
#include "velt_node_iterator.h"
#include "zo_log_common.h"

namespace {

using namespace zovesk_test;
using VELT::GraphConfigNode;
using VELT::GraphUtil;
using VELT::ImagingNode;

// Position of the first record holding text, or records().size().
size_t positionOf(const LogCapture& log, const std::string& text) {
    const auto& records = log.records();
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i].message.find(text) != std::string::npos)
            return i;
    }
    return records.size();
}

struct InterGroupGraph {
    GraphConfigNode root;
    GraphConfigNode* graph;
    GraphUtil util;
    InnerGraph inner;
    InterGroupGraph() {
        graph = addChild(&root, "graph");
        // Not in name order: cb_b's link comes before cb_a's.
        addConnection(graph, "cb_b:out", "cb_c:in");
        addConnection(graph, "cb_a:out", "cb_b:in");
        addConnection(graph, "cb_c:out", "cb_c:loop_in");
        addConnection(graph, "cb_x:out", "cb_a:in");  // cb_x is in another subgraph
        zovesk_test::GraphUtilSeam::graphSettings(util) = &root;
        for (const char* key :
             {"cb_a:in", "cb_a:out", "cb_b:in", "cb_b:out", "cb_c:in", "cb_c:out", "cb_c:loop_in"})
            inner.add(key, VELT::imaging_input_terminal);
    }
    ImagingNode* node(const std::string& key) { return inner.sg.imagingNodes.at(key).get(); }
};

TEST(InterGroupConnections, LinksTerminalsOfOneSubgraphInConnectionOrder) {
    InterGroupGraph g;
    LogCapture log;
    ASSERT_EQ(0, g.util.collectInterPgConnections(g.inner.sg));

    const size_t first = positionOf(log, "Imaging graph cb_b:out->cb_c:in");
    const size_t second = positionOf(log, "Imaging graph cb_a:out->cb_b:in");
    const size_t third = positionOf(log, "Imaging graph cb_c:out->cb_c:loop_in");
    ASSERT_LT(third, log.records().size());
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
    EXPECT_FALSE(log.contains("cb_x:out"));

    EXPECT_EQ("cb_c:in", g.node("cb_b:out")->children.at(g.node("cb_c:in")));
    EXPECT_EQ("cb_b:out", g.node("cb_c:in")->parents.at(g.node("cb_b:out")));
    EXPECT_EQ("cb_b:in", g.node("cb_a:out")->children.at(g.node("cb_b:in")));
    EXPECT_TRUE(g.node("cb_a:in")->parents.empty());
    // Only the connection that leaves and re-enters cb_c marks its terminals.
    EXPECT_EQ(VELT::imaging_flag_loop_terminal, g.node("cb_c:out")->flags);
    EXPECT_EQ(VELT::imaging_flag_loop_terminal, g.node("cb_c:loop_in")->flags);
    EXPECT_EQ(0u, g.node("cb_b:out")->flags);
}

TEST(InterGroupConnections, AGraphWithoutGraphNodeIsADataError) {
    InterGroupGraph g;
    GraphConfigNode bare;
    zovesk_test::GraphUtilSeam::graphSettings(g.util) = &bare;
    EXPECT_EQ(VELT::err_data, g.util.collectInterPgConnections(g.inner.sg));
    EXPECT_TRUE(g.node("cb_b:out")->children.empty());
}

// cx_sink (stream 2) is fed by cx_p1 (stream 1) through two connections and by
// cx_p0 (stream 3) through one, listed between them.
TEST(CrossSubgraphInputs, PortsFollowParentNamesThenConnectionOrder) {
    GraphConfigNode root;
    GraphConfigNode* graph = addChild(&root, "graph");
    addStr(graph, "type", "graph");
    addInt(addBlock(&root, "cx_p1", "program_group"), "stream_id", 1);
    addInt(addBlock(&root, "cx_p0", "program_group"), "stream_id", 3);
    GraphConfigNode* sink = addBlock(&root, "cx_sink", "program_group");
    addInt(sink, "stream_id", 2);
    addPort(sink, "i0", 0, 0);
    addPort(sink, "i1", 1, 0);
    addPort(sink, "i2", 2, 0);
    addConnection(graph, "cx_p1:o1", "cx_sink:i1");
    addConnection(graph, "cx_p0:o0", "cx_sink:i0");
    addConnection(graph, "cx_p1:o2", "cx_sink:i2");

    GraphUtil util;
    zovesk_test::GraphUtilSeam::graphSettings(util) = &root;
    VELT::NodeIterator blocks(&root);
    while (VELT::IGraphConfig* block = blocks.iterateDescendants())
        ASSERT_EQ(0, util.addGraphNode(*block));
    VELT::NodeIterator connections(graph);
    while (VELT::IGraphConfig* connection = connections.iterateByUid(VELT::kKeyConnection)) {
        util.addGraphConnection(*connection);
        zovesk_test::GraphUtilSeam::connections(util).push_back(connection);
    }

    std::vector<VELT::IGraphConfig*> ports;
    ASSERT_EQ(0, util.getCrossSgInPorts(*zovesk_test::GraphUtilSeam::graphNodes(util).at("cx_sink"),
                                        ports));
    ASSERT_EQ(3u, ports.size());
    EXPECT_EQ(root.getDescendantByString("cx_sink:i0"), ports[0]);
    EXPECT_EQ(root.getDescendantByString("cx_sink:i1"), ports[1]);
    EXPECT_EQ(root.getDescendantByString("cx_sink:i2"), ports[2]);
}

}  // namespace
