// Copying a settings tree and setting integers in it, for simulation tools.
#include <new>

#include "velt_graph_config_node.h"
#include "velt_item_uid.h"
#include "velt_qel_pek_sim_utils.h"
#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

int QelPekSimUtils::cloneSettings(const IGraphConfig* settings, IGraphConfig** copy) {
    return guardStatus(__func__, err_general, [&]() -> int {
        if (!settings || !copy) {
            return err_argument;
        }
        GraphConfigNode* clone = static_cast<const GraphConfigNode*>(settings)->copy();
        if (!clone) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, veltPekSimulationUtils, "Error copying: No memory");
            return err_nomemory;
        }
        *copy = clone;
        return err_none;
    });
}

int QelPekSimUtils::setValue(IGraphConfig* node, unsigned key, int value) {
    return guardStatus(__func__, err_general, [&]() -> int {
        if (!node) {
            return err_argument;
        }
        GraphConfigNode* target = static_cast<GraphConfigNode*>(node);
        int current = 0;
        int status = err_none;
        if (target->getValue(key, current) == err_none) {
            GraphConfigAttribute* attribute = nullptr;
            if (target->getAttribute(key, &attribute) != err_none || !attribute) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, veltPekSimulationUtils, "get attr failed");
                return err_general;
            }
            status = attribute->setValue(value);
        } else {
            GraphConfigIntAttribute* attribute = new (std::nothrow) GraphConfigIntAttribute();
            if (!attribute) {
                return err_nomemory;
            }
            status = attribute->setValue(value);
            status |= target->insertDescendant(attribute, key);
            ZO_MODULE_LOG(ZO_LOG_ERROR, veltPekSimulationUtils, "added new attr");
        }
        if (status != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, veltPekSimulationUtils, "was not able to update %s",
                          ItemUID::key2str(key));
        }
        return status;
    });
}

}  // namespace VELT
