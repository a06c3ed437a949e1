// Builds a result graph from the graph descriptor and one settings entry.
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "velt_graph_camera_util.h"
#include "velt_graph_config_node.h"
#include "velt_graph_query_manager.h"
#include "velt_graph_query_utils.h"
#include "velt_node_iterator.h"
#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

namespace {

// Add blocks the result lacks, overwrite the rest, push output-port settings to peers.
constexpr signed char kMergeSettings =
    GraphQueryUtils::kMergeDeep | GraphQueryUtils::kMergeIntoPeer | GraphQueryUtils::kMergeAddNodes;

// The descriptor graph whose "id" is graphId, or null.
GraphConfigNode* findDescriptorGraph(const IGraphConfig* descriptor, int graphId) {
    IGraphConfig* graphs = descriptor->getDescendant(kKeyGraphs);
    if (!graphs) {
        return nullptr;
    }
    NodeIterator iterator(graphs);
    for (IGraphConfig* graph = iterator.iterateDescendants(); graph;
         graph = iterator.iterateDescendants()) {
        int id = 0;
        if (graph->getValue(kKeyId, id) == err_none && id == graphId) {
            return static_cast<GraphConfigNode*>(graph);
        }
    }
    return nullptr;
}

// A copy of the descriptor graph that also records the descriptor's version.
int copyGraphWithVersion(const IGraphConfig* descriptor, const GraphConfigNode* graph,
                         GraphConfigNode** copyOut) {
    // Owned until handed out: reading the version can throw std::bad_alloc.
    std::unique_ptr<GraphConfigNode> copy(graph->copy());
    if (!copy) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Error creating GraphConfigNode: No memory");
        return err_nomemory;
    }
    std::string version;
    descriptor->getValue(kKeyVersion, version);
    if (copy->addValue(kKeyVersion, version) != err_none) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to add GDF version info [%s]to graph",
                      version.c_str());
        return err_nomemory;
    }
    *copyOut = copy.release();
    return err_none;
}

}  // namespace

int GraphQueryManager::createGraph(IGraphConfig* settings, IGraphConfig** result) {
    if (!settings || !result) {
        return err_argument;
    }
    GraphConfigNode* root = new (std::nothrow) GraphConfigNode();
    if (!root) {
        return err_nomemory;
    }
    // What was built stays in the root, as for any other failure; the caller
    // frees it either way.
    *result = root;
    return guardStatus(__func__, err_general,
                       [&] { return getGraph(static_cast<GraphConfigNode*>(settings), root); });
}

void GraphQueryManager::destroyGraph(IGraphConfig* graph) {
    delete graph;
}

int GraphQueryManager::getGraph(GraphConfigNode* settings, GraphConfigNode* result) {
    return guardStatus(__func__, err_general, [&]() -> int {
        if (!settings || !graphDescriptor_ || !result) {
            return err_argument;
        }
        int status = settings->getValue(kKeyKey, settingsKey_);
        if (status != err_none) {
            return status;
        }
        status = result->addValue(kKeyKey, settingsKey_);
        if (status != err_none) {
            return status;
        }
        int graphId = 0;
        status = settings->getValue(kKeyId, graphId);
        if (status != err_none) {
            return status;
        }

        GraphConfigNode* graph = findDescriptorGraph(graphDescriptor_, graphId);
        if (!graph) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                          "could not find graph with id %d from graph descriptor", graphId);
            return err_data;
        }
        GraphConfigNode* graphCopy = nullptr;
        status = copyGraphWithVersion(graphDescriptor_, graph, &graphCopy);
        if (status != err_none) {
            return status;
        }
        status = result->insertDescendant(graphCopy, kKeyGraph);
        if (status != err_none) {
            delete graphCopy;
            return status;
        }

        status = addConnections(*graph, settings, result);
        if (status != err_none) {
            return status;
        }

        status = GraphQueryUtils::addDescendantsFromNode(result, settings, kMergeSettings);
        if (status != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to add settings to the result graph");
            return status;
        }
        status = GraphCameraUtil::processGraphOverrides(*graph, *result);
        if (status != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to process graph %d overrides", graphId);
            return status;
        }
        status = GraphQueryUtils::disableUnusedPorts(result);
        if (status != err_none) {
            return status;
        }
        return addChosenSensorMode(result);
    });
}

int GraphQueryManager::addConnections(const GraphConfigNode& graph, GraphConfigNode* settings,
                                      GraphConfigNode* result) {
    NodeIterator connections(const_cast<GraphConfigNode*>(&graph));
    const unsigned connectionKey = kKeyConnection;
    for (IGraphConfig* connection = connections.iterateByUid(connectionKey); connection;
         connection = connections.iterateByUid(connectionKey)) {
        std::string source;
        std::string sink;
        int status = connection->getValue(kKeySource, source);
        if (status != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Error: connection element with no source");
            return status;
        }
        status = connection->getValue(kKeySink, sink);
        if (status != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Error: connection element with no sink");
            return status;
        }
        std::string isStatic;
        if (connection->getValue(kKeyStatic, isStatic) == err_none && isStatic != "false") {
            status = getStaticConnectionData(source, sink, result);
        } else {
            status = getConnectionData(source, sink, settings, result);
        }
        if (status != err_none) {
            return status;
        }
    }
    return err_none;
}

int GraphQueryManager::addChosenSensorMode(GraphConfigNode* result) {
    std::vector<IGraphConfig*> sources;
    if (GraphCameraUtil::getSourceNode(result, sources) != err_none || sources.empty()) {
        return err_data;
    }
    IGraphConfig* source = sources.front();
    if (source->getUid() != kKeySensor) {
        return err_none;
    }
    std::string modeId;
    int status = source->getValue(kKeyModeId, modeId);
    if (status != err_none) {
        ZO_MODULE_LOG(ZO_LOG_WARNING, velt, "Sensor lacks mode_id. Failed to set sensor mode.");
        return status;
    }
    IGraphConfig* sensorModes =
        graphSettings_ ? graphSettings_->getDescendant(kKeySensorModes) : nullptr;
    if (!sensorModes) {
        ZO_MODULE_LOG(ZO_LOG_WARNING, velt, "Settings file is missing sensor_modes");
        return err_general;
    }
    status = addSensorModeData(static_cast<GraphConfigNode*>(source),
                               static_cast<GraphConfigNode*>(sensorModes), modeId);
    if (status != err_none) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Settings file has incorrect sensor mode data");
        return status;
    }
    return err_none;
}

}  // namespace VELT
