// The read-only view of GraphUtil's analysis that tools draw from.
//
// Nothing here allocates or throws, so a view cannot fail; an exception that a
// caller's visitor throws reaches that caller unchanged.
#include "velt_graph_util.h"

namespace VELT {

bool GraphUtil::isActive() const {
    return mGraphSettings != nullptr;
}

const zo_isp_qel_resolution_info& GraphUtil::sourceResolutionHistory() const {
    return mSourceResHistory;
}

void GraphUtil::forEachSubgraph(const std::function<void(const SubgraphView&)>& visit) const {
    for (const auto& subgraph : mSubGraphs) {
        visit(SubgraphView(*subgraph.second));
    }
}

void SubgraphView::forEachInnerNode(
    const std::function<void(const std::string& key, const InnerNodeView& node)>& visit) const {
    for (const auto& entry : info_.imagingNodes) {
        visit(entry.first, InnerNodeView(*entry.second));
    }
}

void SubgraphView::forEachInnerLink(
    const std::function<void(const std::string& from, const std::string& to,
                             const std::string& port)>& visit) const {
    for (const auto& entry : info_.imagingNodes) {
        for (const auto& child : entry.second->children) {
            // Inner graphs are small: finding the child's key by a search keeps the
            // view free of allocations. A child outside this subgraph has no key here
            // and is left out.
            for (const auto& target : info_.imagingNodes) {
                if (target.second.get() == child.first) {
                    visit(entry.first, target.first, child.second);
                    break;
                }
            }
        }
    }
}

}  // namespace VELT
