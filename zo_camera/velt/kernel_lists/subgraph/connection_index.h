// The connection elements of an analysed graph, indexed by their ends, so
// that per node and per subgraph only the connections that touch it are read.
#ifndef ZO_CAMERA_VELT_KERNEL_LISTS_SUBGRAPH_CONNECTION_INDEX_H
#define ZO_CAMERA_VELT_KERNEL_LISTS_SUBGRAPH_CONNECTION_INDEX_H

#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "velt_graph_config.h"

namespace VELT {
namespace analysis {

// One connection element's "source" and "sink" texts (empty when unreadable).
struct ConnectionEnds {
    std::string source;
    std::string sink;
};

// The children of graph stored under "connection", in stored order.
std::vector<IGraphConfig*> connectionsOf(const IGraphConfig& graph);

// Built once from a list of connection elements; positions are indices into
// that list, so results come in the list's order.
class ConnectionIndex {
  public:
    // Reads every connection's ends once.
    explicit ConnectionIndex(const std::vector<IGraphConfig*>& connections);

    // The ends of the connection at position.
    const ConnectionEnds& at(size_t position) const { return ends_[position]; }
    // Positions, ascending, of the connections from block sourceNode to block
    // sinkNode (the node parts, before the first colon, of source and sink).
    const std::vector<size_t>& between(const std::string& sourceNode,
                                       const std::string& sinkNode) const;
    // Positions, ascending, of the connections whose whole "source" is source.
    const std::vector<size_t>& from(const std::string& source) const;
    // The "source" of the first connection whose whole "sink" is sink; empty
    // when none is.
    std::string firstSourceInto(const std::string& sink) const;

  private:
    std::vector<ConnectionEnds> ends_;
    std::map<std::pair<std::string, std::string>, std::vector<size_t>> byNodes_;
    std::map<std::string, std::vector<size_t>> bySource_;
    std::map<std::string, std::string> firstSourceBySink_;
};

}  // namespace analysis
}  // namespace VELT

#endif
