// A camera graph as wide as asked: a sensor, a CSI receiver, an input-system
// program group, and then as many post-processing program groups as asked,
// each in its own stream and execution context with its own kernels and sink,
// all fed by the input system. Generation 5 builds its kernel lists per
// execution context; generation 7 names the groups "compute_block" and chains
// their kernels with klinks, for the subgraph path.
#ifndef ZOVESK_BENCH_WIDE_GRAPH_H
#define ZOVESK_BENCH_WIDE_GRAPH_H

#include <memory>

#include "velt_graph_config.h"

namespace zovesk_bench {

// The result graph of the one settings entry, owned by the object.
class WideGraph {
  public:
    WideGraph(int programGroups, int kernelsPerGroup, int generation = 5);
    ~WideGraph();
    WideGraph(const WideGraph&) = delete;
    WideGraph& operator=(const WideGraph&) = delete;
    // Null when the documents could not be read or the graph not built.
    const VELT::IGraphConfig* graph() const { return graph_; }

  private:
    std::unique_ptr<VELT::IGraphConfig> descriptor_;
    std::unique_ptr<VELT::IGraphConfig> settings_;
    VELT::IGraphConfig* graph_ = nullptr;
};

}  // namespace zovesk_bench

#endif
