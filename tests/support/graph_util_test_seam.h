// The one way tests reach GraphUtil's private state: to set up a single
// analysis step on hand-made state and to check what a step left behind.
// GraphUtil names this struct its friend; it is defined only here, with the
// tests, so the library itself never uses it.
#ifndef ZOVESK_TESTS_GRAPH_UTIL_TEST_SEAM_H
#define ZOVESK_TESTS_GRAPH_UTIL_TEST_SEAM_H

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "velt_graph_util.h"

namespace VELT {

struct GraphUtilTestSeam {
    static const IGraphConfig*& graphSettings(GraphUtil& util) { return util.mGraphSettings; }
    static uint32_t& subgraphType(GraphUtil& util) { return util.mSubgraphType; }
    static zo_isp_qel_resolution_info& sourceResHistory(GraphUtil& util) {
        return util.mSourceResHistory;
    }
    static std::map<int, std::shared_ptr<SubGraphInfo>>& subGraphs(GraphUtil& util) {
        return util.mSubGraphs;
    }
    static std::map<std::string, std::shared_ptr<GraphNode>>& graphNodes(GraphUtil& util) {
        return util.mGraphNodes;
    }
    static std::vector<IGraphConfig*>& connections(GraphUtil& util) { return util.mConnections; }
    static GdfVersion& orbaVersion(GraphUtil& util) { return util.mOrbaVersion; }
    static uint32_t& pgTypeKey(GraphUtil& util) { return util.mPgTypeKey; }
};

}  // namespace VELT

namespace zovesk_test {
using GraphUtilSeam = VELT::GraphUtilTestSeam;
}  // namespace zovesk_test

#endif
