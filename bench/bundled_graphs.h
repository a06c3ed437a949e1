// The bundled example documents read into trees, and result graphs built
// from their settings entries, for the benchmarks that start from a graph.
#ifndef ZOVESK_BENCH_BUNDLED_GRAPHS_H
#define ZOVESK_BENCH_BUNDLED_GRAPHS_H

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "velt_graph_config.h"
#include "velt_graph_query_manager.h"

namespace zovesk_bench {

// The build's copy of a bundled document read into a tree; null when it cannot be read.
std::unique_ptr<VELT::IGraphConfig> readBundled(const std::string& name);

// A descriptor and settings given to a query manager, and the first
// settings entry that matches the criteria.
class QueriedDocuments {
  public:
    QueriedDocuments(std::unique_ptr<VELT::IGraphConfig> descriptor,
                     std::unique_ptr<VELT::IGraphConfig> settings,
                     const VELT::GraphQueryCriteria& criteria);
    // Null when the documents or the entry are missing.
    VELT::IGraphConfig* entry() const { return entry_; }
    VELT::GraphQueryManager& manager() { return manager_; }

  private:
    std::unique_ptr<VELT::IGraphConfig> descriptor_;
    std::unique_ptr<VELT::IGraphConfig> settings_;
    VELT::GraphQueryManager manager_;
    VELT::IGraphConfig* entry_ = nullptr;
};

// The descriptor and settings named prefix + "_descriptor.xml" and
// prefix + "_settings.xml", and the settings entry with the given key.
class BundledDocuments : public QueriedDocuments {
  public:
    BundledDocuments(const std::string& prefix, int entryKey);
};

// One result graph of the documents' entry built and destroyed per iteration.
void createGraphEachIteration(benchmark::State& state, QueriedDocuments& documents);

// The result graph of one bundled entry, destroyed with the object.
class BundledGraph {
  public:
    BundledGraph(const std::string& prefix, int entryKey);
    ~BundledGraph();
    BundledGraph(const BundledGraph&) = delete;
    BundledGraph& operator=(const BundledGraph&) = delete;
    // Null when the graph could not be built.
    const VELT::IGraphConfig* graph() const { return graph_; }

  private:
    BundledDocuments documents_;
    VELT::IGraphConfig* graph_ = nullptr;
};

}  // namespace zovesk_bench

#endif
