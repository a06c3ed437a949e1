// Which of the two kernel-list paths a graph takes, and the read-only view of
// the subgraph analysis behind the second one.
#include "velt_qel_pek_utils.h"

#include <utility>

namespace VELT {

bool QelPekUtils::takesSubgraphPath(const IGraphConfig& graph, std::shared_ptr<IspUtils> isp,
                                    int32_t* generation) {
    // The decision is the builder's own generation test, run on a builder that
    // holds nothing but the graph, so that initPekUtils() and anyone asking
    // beforehand decide alike. Both tests record the generation; the second
    // runs only when the first is false.
    QelPekUtils probe(true);
    probe.graphRoot = graph.getRoot();
    probe.ispUtils = std::move(isp);
    const bool subgraphPath = probe.detectNewGraphVersion() || probe.nodesHaveKernelLinks();
    if (generation != nullptr) {
        *generation = probe.hwGeneration;
    }
    return subgraphPath;
}

const GraphUtil& QelPekUtils::subgraphAnalysis() const {
    return graphUtil;
}

}  // namespace VELT
