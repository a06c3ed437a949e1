// Connections by their end blocks and by their source text.
#include "zo_camera/velt/kernel_lists/subgraph/connection_index.h"

#include "zo_camera/velt/kernel_lists/subgraph/graph_util_common.h"

namespace VELT {
namespace analysis {

namespace {

const std::vector<size_t>& noPositions() {
    static const std::vector<size_t> none;
    return none;
}

}  // namespace

std::vector<IGraphConfig*> connectionsOf(const IGraphConfig& graph) {
    std::vector<IGraphConfig*> connections;
    NodeIterator children(&graph);
    while (IGraphConfig* connection = children.iterateByUid(kKeyConnection)) {
        connections.push_back(connection);
    }
    return connections;
}

ConnectionIndex::ConnectionIndex(const std::vector<IGraphConfig*>& connections) {
    ends_.reserve(connections.size());
    for (size_t position = 0; position < connections.size(); ++position) {
        const IGraphConfig& connection = *connections[position];
        ends_.push_back({strOr(connection, kKeySource), strOr(connection, kKeySink)});
        const ConnectionEnds& ends = ends_.back();
        byNodes_[{splitEnd(ends.source, true).first, splitEnd(ends.sink, true).first}].push_back(
            position);
        bySource_[ends.source].push_back(position);
        firstSourceBySink_.emplace(ends.sink, ends.source);  // keeps the first
    }
}

const std::vector<size_t>& ConnectionIndex::between(const std::string& sourceNode,
                                                    const std::string& sinkNode) const {
    const auto found = byNodes_.find({sourceNode, sinkNode});
    return found == byNodes_.end() ? noPositions() : found->second;
}

const std::vector<size_t>& ConnectionIndex::from(const std::string& source) const {
    const auto found = bySource_.find(source);
    return found == bySource_.end() ? noPositions() : found->second;
}

std::string ConnectionIndex::firstSourceInto(const std::string& sink) const {
    const auto found = firstSourceBySink_.find(sink);
    return found == firstSourceBySink_.end() ? std::string() : found->second;
}

}  // namespace analysis
}  // namespace VELT
