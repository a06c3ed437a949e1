// The program groups that one graph of a descriptor uses, for simulation tools.
#include <set>
#include <string>

#include "velt_graph_camera_util.h"
#include "velt_graph_config_node.h"
#include "velt_item_uid.h"
#include "velt_node_iterator.h"
#include "velt_qel_pek_sim_utils.h"
#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

namespace {

// Adds the program group that owns the port (or block) named by a connection end.
void addOwningProgramGroup(const IGraphConfig& nodes, const std::string& end,
                           std::set<IGraphConfig*>& pgs) {
    IGraphConfig* item = nodes.getDescendant(ItemUID(end));
    IGraphConfig* owner = item ? item->getAncestor() : nullptr;
    std::string type;
    if (owner && owner->getValue(kKeyType, type) == err_none &&
        ItemUID::str2key(type) == kKeyProgramGroup) {
        pgs.insert(owner);
    }
}

}  // namespace

int QelPekSimUtils::getPgsInGraph(const IGraphConfig* descriptor, int graphId,
                                  std::set<IGraphConfig*>& pgs) {
    return guardStatus(__func__, err_general, [&]() -> int {
        IGraphConfig* root = descriptor ? descriptor->getRoot() : nullptr;
        IGraphConfig* graphs = root ? root->getDescendant(kKeyGraphs) : nullptr;
        if (!graphs) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, veltPekSimulationUtils,
                          "No Graphs found from input GDF node");
            return err_argument;
        }
        IGraphConfig* nodes = root->getDescendant(kKeyNodes);
        if (!nodes) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, veltPekSimulationUtils,
                          "No Nodes found from input GDF node");
            return err_argument;
        }
        NodeIterator graphIterator(graphs);
        for (IGraphConfig* graph = graphIterator.iterateByType(kKeyGraph); graph;
             graph = graphIterator.iterateByType(kKeyGraph)) {
            int id = 0;
            if (graph->getValue(kKeyId, id) != err_none) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, veltPekSimulationUtils,
                              "Graph without id attribute, invalid");
                return err_data;
            }
            if (id != graphId) {
                continue;
            }
            // A simulation sees the blocks as the graph configures them.
            GraphCameraUtil::processGraphOverrides(*static_cast<GraphConfigNode*>(graph),
                                                   *static_cast<GraphConfigNode*>(nodes));
            NodeIterator connections(graph);
            for (IGraphConfig* connection = connections.iterateByUid(kKeyConnection); connection;
                 connection = connections.iterateByUid(kKeyConnection)) {
                std::string source;
                std::string sink;
                if (connection->getValue(kKeySource, source) != err_none ||
                    connection->getValue(kKeySink, sink) != err_none) {
                    ZO_MODULE_LOG(ZO_LOG_ERROR, veltPekSimulationUtils,
                                  "Connection without src or sink attribute, invalid!");
                    return err_data;
                }
                addOwningProgramGroup(*nodes, source, pgs);
                addOwningProgramGroup(*nodes, sink, pgs);
            }
            return err_none;
        }
        ZO_MODULE_LOG(ZO_LOG_WARNING, veltPekSimulationUtils, "Graph id %d not found", graphId);
        return err_noentry;
    });
}

}  // namespace VELT
