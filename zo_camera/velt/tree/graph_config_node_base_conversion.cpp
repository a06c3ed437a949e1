// Turning a copy of a generic base node into the concrete node that a
// settings node describes: its type and name, its option subtrees and the
// settings' overrides.
#include <stdexcept>
#include <string>

#include "velt_graph_config_node.h"
#include "velt_item_uid.h"
#include "velt_node_iterator.h"
#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/tree/key_dictionary.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

namespace {

// Writes straight into an existing string attribute, past any option list.
int storeText(GraphConfigNode& node, uint32_t key, const std::string& text) {
    GraphConfigItem* item = node.getItem(key);
    return item == nullptr ? err_general : item->setValue(text);
}

// The apply subtrees of a port's options are keyed by the node they change;
// move each one from the base name to the new name.
int rekeyPortOptions(IGraphConfig* port, uint32_t baseKey, const std::string& newName) {
    IGraphConfig* options = port->getDescendant(kKeyOptions);
    if (options == nullptr) {
        return err_none;
    }
    NodeIterator optionIt(options);
    for (IGraphConfig* option = optionIt.iterateDescendants(); option != nullptr;
         option = optionIt.iterateDescendants()) {
        IGraphConfig* found = option->getDescendant(ItemUID({kKeyApply, baseKey}));
        if (found == nullptr) {
            continue;
        }
        GraphConfigNode* copy = static_cast<GraphConfigNode*>(found)->copy();
        if (copy == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed create a copy during option handling");
            return err_nomemory;
        }
        auto* holder = static_cast<GraphConfigNode*>(found->getAncestor());
        if (holder == nullptr) {
            delete copy;
            return err_internal;
        }
        const uint32_t newKey = keyOfName(newName);
        int status = holder->insertDescendant(copy, newKey);
        if (status != 0) {
            delete copy;
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                          "Failed to insert copy %d during option handling for port %s",
                          static_cast<int>(newKey), port->getName().c_str());
            return status;
        }
        status = holder->removeDescendant(baseKey);
        if (status != 0) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to remove original during option handling %s",
                          ItemUID::key2str(baseKey));
            return status;
        }
    }
    return err_none;
}

}  // namespace

int GraphConfigNode::changeBaseNodeIntoNode(GraphConfigNode& config) {
    return guardStatus(__func__, err_general, [&]() -> int {
        const std::string newName = config.getName();
        std::string baseName;
        getValue(kKeyName, baseName);
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Change base node %s into node %s ", baseName.c_str(),
                      newName.c_str());

        std::string baseType;
        int status = getValue(kKeyBaseType, baseType);
        if (status != 0) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                          "Failed to get base node type, change from base node failed");
            return status;
        }
        const int typeStatus = storeText(*this, kKeyType, baseType);
        const int nameStatus = storeText(*this, kKeyName, newName);
        if (typeStatus != 0 || nameStatus != 0) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to set node type and name from config %s",
                          newName.c_str());
            return typeStatus | nameStatus;
        }

        const uint32_t baseKey = ItemUID::str2key(baseName);
        NodeIterator portIt(this);
        for (IGraphConfig* port = portIt.iterateByType(kKeyPort); port != nullptr;
             port = portIt.iterateByType(kKeyPort)) {
            status = rekeyPortOptions(port, baseKey, newName);
            if (status != 0) {
                return status;
            }
        }

        NodeIterator overrideIt(&config);
        for (IGraphConfig* override = overrideIt.iterateDescendants(); override != nullptr;
             override = overrideIt.iterateDescendants()) {
            std::string target;
            std::string value;
            override->getValue(kKeyTarget, target);
            override->getValue(kKeyValue, value);
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Applying override %s -> %s", target.c_str(),
                          value.c_str());
            try {
                status = setValueFromStr(ItemUID(target), value);
            } catch (const std::logic_error&) {
                // A text that is no number for an integer attribute is a fault of
                // the settings document; it must not take the host down.
                status = err_data;
            }
            if (status != 0) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to apply override %s -> %s",
                              target.c_str(), value.c_str());
                return status;
            }
        }

        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Conversion from base node %s  done!", newName.c_str());
        return err_none;
    });
}

}  // namespace VELT
