// The outer graph: nodes, connections, unused nodes and the meta graph.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis_graphs.h"
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

// src -> a -> b -> out_sink, a -> dead_end; two connections a -> b.
struct Chain {
    GraphConfigNode root;
    GraphConfigNode* graph;
    GraphUtil util;
    Chain() {
        graph = addChild(&root, "graph");
        addStr(graph, "type", "graph");
        addBlock(&root, "chain_src", "source");
        addInt(addBlock(&root, "chain_a", "program_group"), "stream_id", 1);
        addInt(addBlock(&root, "chain_b", "program_group"), "stream_id", 2);
        addInt(addBlock(&root, "chain_dead", "hw"), "stream_id", 1);
        addInt(addBlock(&root, "chain_sink", "sink"), "stream_id", 2);
        addConnection(graph, "chain_src:port_0", "chain_a:input");
        addConnection(graph, "chain_a:out", "chain_b:in");
        addConnection(graph, "chain_a:aux", "chain_b:aux_in");
        addConnection(graph, "chain_a:stats", "chain_dead:input");
        addConnection(graph, "chain_b:out", "chain_sink");
        addConnection(graph, "nowhere:out", "chain_b:in");
        zovesk_test::GraphUtilSeam::graphSettings(util) = &root;
        zovesk_test::GraphUtilSeam::orbaVersion(util) = static_cast<VELT::GdfVersion>(6);
    }
    int build() {
        VELT::NodeIterator blocks(&root);
        while (VELT::IGraphConfig* block = blocks.iterateDescendants()) {
            int status = util.addGraphNode(*block);
            if (status != 0)
                return status;
        }
        VELT::NodeIterator connections(graph);
        while (VELT::IGraphConfig* connection = connections.iterateByUid(VELT::kKeyConnection)) {
            util.addGraphConnection(*connection);
            zovesk_test::GraphUtilSeam::connections(util).push_back(connection);
        }
        return 0;
    }
    VELT::GraphNode* node(const std::string& name) {
        return zovesk_test::GraphUtilSeam::graphNodes(util).at(name).get();
    }
};

TEST(OuterGraph, ConnectionsLinkNodesWithThePortOnTheNeighboursSide) {
    Chain c;
    LogCapture log;
    ASSERT_EQ(0, c.build());
    EXPECT_EQ(
        5u, zovesk_test::GraphUtilSeam::graphNodes(c.util).size());  // the "graph" node is skipped
    EXPECT_EQ(VELT::kKeyProgramGroup, static_cast<uint32_t>(c.node("chain_a")->type));
    EXPECT_EQ(1, c.node("chain_a")->streamId);
    EXPECT_EQ(-1, c.node("chain_a")->execCtxId);
    EXPECT_EQ(-1, c.node("chain_src")->streamId);
    // Two connections between one pair keep the first entry.
    ASSERT_EQ(1u, c.node("chain_a")->children.count(c.node("chain_b")));
    EXPECT_EQ("in", c.node("chain_a")->children.at(c.node("chain_b")));
    EXPECT_EQ("out", c.node("chain_b")->parents.at(c.node("chain_a")));
    // A virtual sink without a port: the whole name stands for the port.
    EXPECT_EQ("chain_sink", c.node("chain_b")->children.at(c.node("chain_sink")));
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING,
                             "Connection nowhere:out->chain_b:in skipped due to source not FOUND, "
                             "Partial graph settings in use!"));
    EXPECT_EQ(6u, zovesk_test::GraphUtilSeam::connections(c.util).size());
}

TEST(OuterGraph, DuplicateNamesFailAndNodesWithoutTypeOrNameAreSkipped) {
    Chain c;
    ASSERT_EQ(0, c.build());
    GraphConfigNode twin;
    addStr(&twin, "type", "hw");
    addStr(&twin, "name", "chain_a");
    LogCapture log;
    EXPECT_EQ(VELT::err_data, c.util.addGraphNode(twin));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Graph node chain_a insertion failed"));

    GraphConfigNode untyped;
    addStr(&untyped, "name", "untyped_block");
    EXPECT_EQ(0, c.util.addGraphNode(untyped));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Could not get type of graph node"));
    GraphConfigNode unnamed;
    addStr(&unnamed, "type", "hw");
    EXPECT_EQ(0, c.util.addGraphNode(unnamed));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Could not get name of graph node"));
    EXPECT_EQ(5u, zovesk_test::GraphUtilSeam::graphNodes(c.util).size());
}

TEST(OuterGraph, NodesThatFeedNoSinkAreRemovedWithTheirLinks) {
    Chain c;
    ASSERT_EQ(0, c.build());
    VELT::GraphNode* a = c.node("chain_a");
    LogCapture log;
    ASSERT_EQ(0, c.util.removeUnusedNodes());
    EXPECT_EQ(0u, zovesk_test::GraphUtilSeam::graphNodes(c.util).count("chain_dead"));
    EXPECT_EQ(1u, a->children.size());
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG, "Node chain_dead not active, removing"));
    EXPECT_TRUE(log.contains(ZO_LOG_DEBUG, "Removed 1 Unusued Nodes - Done!"));
    for (const auto& node : zovesk_test::GraphUtilSeam::graphNodes(c.util))
        EXPECT_FALSE(node.second->visited);
}

TEST(OuterGraph, SeveralConnectionsBetweenTwoSubgraphsGiveOneMetaLinkEachWay) {
    Chain c;
    ASSERT_EQ(0, c.build());
    ASSERT_EQ(0, c.util.removeUnusedNodes());
    for (int id : {-1, 1, 2}) {
        auto sg = std::make_shared<VELT::SubGraphInfo>();
        sg->subGraphId = id;
        zovesk_test::GraphUtilSeam::subGraphs(c.util)[id] = sg;
    }
    LogCapture log;
    ASSERT_EQ(0, c.util.collectSubgraphConnections());
    VELT::SubGraphInfo* one = zovesk_test::GraphUtilSeam::subGraphs(c.util).at(1).get();
    VELT::SubGraphInfo* two = zovesk_test::GraphUtilSeam::subGraphs(c.util).at(2).get();
    ASSERT_EQ(1u, one->children.size());
    EXPECT_EQ("2", one->children.at(two));
    ASSERT_EQ(1u, two->parents.size());
    EXPECT_EQ("1", two->parents.at(one));
    EXPECT_EQ("1", zovesk_test::GraphUtilSeam::subGraphs(c.util).at(-1)->children.at(one));
    EXPECT_TRUE(
        log.contains(ZO_LOG_DEBUG, "Connection chain_a (1)-->chain_b(2) crosses subgraphs"));

    // Both connections from chain_a into chain_b name an input port of chain_b.
    std::vector<VELT::IGraphConfig*> ports;
    GraphConfigNode* b = static_cast<GraphConfigNode*>(c.root.getDescendantByString("chain_b"));
    addPort(b, "in", 0, 0);
    addPort(b, "aux_in", 1, 0);
    ASSERT_EQ(0, c.util.getCrossSgInPorts(*c.node("chain_b"), ports));
    ASSERT_EQ(2u, ports.size());
    EXPECT_EQ(c.root.getDescendantByString("chain_b:in"), ports[0]);
    EXPECT_EQ(c.root.getDescendantByString("chain_b:aux_in"), ports[1]);
}

TEST(OuterGraph, AnInputPortMissingFromTheGraphIsAnInternalError) {
    Chain c;
    ASSERT_EQ(0, c.build());
    std::vector<VELT::IGraphConfig*> ports;
    LogCapture log;
    EXPECT_EQ(VELT::err_internal, c.util.getCrossSgInPorts(*c.node("chain_b"), ports));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Could not find input port chain_b:in - impossible"));
}

TEST(OuterGraph, TraversalStopRetryAndFailure) {
    Chain c;
    ASSERT_EQ(0, c.build());
    std::vector<std::string> seen;
    std::function<int(VELT::BaseGraphNode*)> visitor = [&seen](VELT::BaseGraphNode* node) {
        seen.push_back(node->name);
        if (node->name == "chain_b")
            return static_cast<int>(VELT::visit_retry);
        if (node->name == "chain_dead")
            return static_cast<int>(VELT::visit_stop);
        return 0;
    };
    EXPECT_EQ(0, c.util.traverseGraph(c.node("chain_src"), visitor, true));
    EXPECT_FALSE(c.node("chain_b")->visited);  // retry leaves it unmarked
    EXPECT_TRUE(c.node("chain_dead")->visited);
    EXPECT_FALSE(c.node("chain_sink")->visited);  // nothing below b was reached
    c.util.resetGraph();
    EXPECT_EQ(VELT::visit_stop, c.util.traverseGraph(c.node("chain_dead"), visitor, true));
    c.util.resetGraph();

    std::function<int(VELT::BaseGraphNode*)> failing = [](VELT::BaseGraphNode* node) {
        return node->name == "chain_b" ? static_cast<int>(VELT::err_data) : 0;
    };
    LogCapture log;
    EXPECT_EQ(VELT::err_data, c.util.traverseGraph(c.node("chain_src"), failing, true));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Graph traversal interrupted at node chain_b [-8]"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Graph traversal interrupted at node chain_a [-8]"));
}

TEST(OuterGraph, ProgramGroupsAreComputeBlocksOnGeneration7) {
    Chain c;
    GraphConfigNode* b = static_cast<GraphConfigNode*>(c.root.getDescendantByString("chain_b"));
    b->removeDescendant(VELT::kKeyType);
    addStr(b, "type", "compute_block");
    addPort(b, "in", 0, 0, "chain_a:out");
    addPort(b, "aux_in", 1, 0, "chain_a:aux");
    addPort(static_cast<GraphConfigNode*>(c.root.getDescendantByString("chain_a")), "input", 0, 0,
            "chain_src:port_0");
    ASSERT_EQ(0, c.build());
    ASSERT_EQ(0, c.util.removeUnusedNodes());

    ASSERT_EQ(0, c.util.analyzeSubGraphs(zovesk_test::GraphUtilSeam::subGraphs(c.util)));
    EXPECT_EQ(1u, zovesk_test::GraphUtilSeam::subGraphs(c.util).at(1)->pgs.size());
    EXPECT_TRUE(zovesk_test::GraphUtilSeam::subGraphs(c.util).at(2)->pgs.empty());
    EXPECT_EQ(-1, zovesk_test::GraphUtilSeam::subGraphs(c.util).at(2)->streamId);

    zovesk_test::GraphUtilSeam::pgTypeKey(c.util) = VELT::kKeyComputeBlock;
    ASSERT_EQ(0, c.util.analyzeSubGraphs(zovesk_test::GraphUtilSeam::subGraphs(c.util)));
    EXPECT_TRUE(zovesk_test::GraphUtilSeam::subGraphs(c.util).at(1)->pgs.empty());
    ASSERT_EQ(1u, zovesk_test::GraphUtilSeam::subGraphs(c.util).at(2)->pgs.size());
    EXPECT_EQ(b, zovesk_test::GraphUtilSeam::subGraphs(c.util).at(2)->pgs[0]);
    EXPECT_EQ(2, zovesk_test::GraphUtilSeam::subGraphs(c.util).at(2)->streamId);
    EXPECT_EQ(2u, zovesk_test::GraphUtilSeam::subGraphs(c.util).at(2)->inputPorts.size());
}

TEST(OuterGraph, AvailableSubgraphsFollowTheSubgraphType) {
    Chain c;
    ASSERT_EQ(0, c.build());
    std::set<int> ids;
    c.util.getAvailableSubgraphs(ids);
    EXPECT_EQ((std::set<int>{-1, 1, 2}), ids);
    zovesk_test::GraphUtilSeam::subgraphType(c.util) = VELT::kKeyExecCtxId;
    ids.clear();
    c.util.getAvailableSubgraphs(ids);
    EXPECT_EQ((std::set<int>{-1}), ids);
}

// Neighbours are walked in name order, whatever order (and addresses) the
// nodes were made in: here every block is made in reverse name order.
TEST(OuterGraph, TraversalFollowsNamesNotAddresses) {
    GraphConfigNode root;
    GraphConfigNode* graph = addChild(&root, "graph");
    addStr(graph, "type", "graph");
    const std::vector<std::string> names = {"z_src", "d_pg", "c_pg", "b_pg", "a_pg"};
    addBlock(&root, names[0], "source");
    for (size_t i = 1; i < names.size(); ++i) {
        addInt(addBlock(&root, names[i], "program_group"), "stream_id", 1);
        addConnection(graph, names[0] + ":out" + std::to_string(i), names[i] + ":input");
    }
    GraphUtil util;
    zovesk_test::GraphUtilSeam::graphSettings(util) = &root;
    VELT::NodeIterator blocks(&root);
    while (VELT::IGraphConfig* block = blocks.iterateDescendants()) {
        ASSERT_EQ(0, util.addGraphNode(*block));
    }
    VELT::NodeIterator connections(graph);
    while (VELT::IGraphConfig* connection = connections.iterateByUid(VELT::kKeyConnection)) {
        ASSERT_EQ(0, util.addGraphConnection(*connection));
    }
    std::vector<std::string> seen;
    std::function<int(VELT::BaseGraphNode*)> visitor = [&seen](VELT::BaseGraphNode* node) {
        seen.push_back(node->name);
        return 0;
    };
    ASSERT_EQ(0, util.traverseGraph(zovesk_test::GraphUtilSeam::graphNodes(util).at("z_src").get(),
                                    visitor, true));
    EXPECT_EQ(seen, (std::vector<std::string>{"z_src", "a_pg", "b_pg", "c_pg", "d_pg"}));
}

// Calls out of order or with nothing to work on end in a status.
TEST(OuterGraph, MisuseIsRefusedWithAStatus) {
    LogCapture log;
    GraphUtil fresh;
    EXPECT_EQ(VELT::err_internal, fresh.analyzeGraphSettings());
    std::map<int, std::shared_ptr<VELT::SubGraphInfo>> subgraphs;
    EXPECT_EQ(VELT::err_internal, fresh.analyzeSubGraphs(subgraphs));
    VELT::GraphNode lone;
    std::vector<VELT::IGraphConfig*> ports;
    EXPECT_EQ(VELT::err_internal, fresh.getCrossSgInPorts(lone, ports));

    std::function<int(VELT::BaseGraphNode*)> visitor = [](VELT::BaseGraphNode*) { return 0; };
    EXPECT_EQ(VELT::err_argument, fresh.traverseGraph(nullptr, visitor, true));
    std::function<int(VELT::BaseGraphNode*)> empty;
    EXPECT_EQ(VELT::err_argument, fresh.traverseGraph(&lone, empty, true));
    EXPECT_FALSE(lone.visited);

    // What a visitor throws stays inside: an allocation failure is err_nomemory,
    // anything else the traversal's failure.
    std::function<int(VELT::BaseGraphNode*)> throwing = [](VELT::BaseGraphNode*) -> int {
        throw std::runtime_error("visitor broke");
    };
    EXPECT_EQ(VELT::err_internal, fresh.traverseGraph(&lone, throwing, true));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "traverseGraph failed: visitor broke"));
    std::function<int(VELT::BaseGraphNode*)> exhausted = [](VELT::BaseGraphNode*) -> int {
        throw std::bad_alloc();
    };
    lone.visited = false;
    EXPECT_EQ(VELT::err_nomemory, fresh.traverseGraph(&lone, exhausted, true));
}

}  // namespace
