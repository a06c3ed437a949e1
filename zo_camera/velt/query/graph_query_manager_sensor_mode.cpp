// Merges the chosen sensor mode of the settings document into the sensor block.
#include <string>

#include "velt_graph_config_node.h"
#include "velt_graph_query_manager.h"
#include "velt_graph_query_utils.h"
#include "velt_node_iterator.h"
#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

int GraphQueryManager::addSensorModeData(GraphConfigNode* sensor, GraphConfigNode* sensorModes,
                                         const std::string& modeId) {
    return guardStatus(__func__, err_general, [&]() -> int {
        if (!sensor || !sensorModes) {
            return err_argument;
        }
        int status = GraphQueryUtils::addDescendantsFromNode(sensor, sensorModes,
                                                             GraphQueryUtils::kMergeDeep);
        if (status != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "couldn't add settings from sensor modes node");
            return status;
        }
        // The common attributes of all modes first, then the chosen mode, which may also bring
        // child nodes the sensor lacks.
        NodeIterator modes(sensorModes);
        for (IGraphConfig* mode = modes.iterateDescendants(); mode;
             mode = modes.iterateDescendants()) {
            std::string name;
            if (mode->getValue(kKeyName, name) == err_none && name == modeId) {
                return GraphQueryUtils::addDescendantsFromNode(
                    sensor, static_cast<GraphConfigNode*>(mode),
                    GraphQueryUtils::kMergeDeep | GraphQueryUtils::kMergeAddNodes);
            }
        }
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Sensor Mode %s not in the list of available modes",
                      modeId.c_str());
        return err_data;
    });
}

}  // namespace VELT
