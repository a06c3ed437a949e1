// Printable names of tree nodes; see item_names.h.
#include "zo_camera/velt/tree/item_names.h"

#include "velt_keys.h"

namespace VELT {

std::string itemFullName(const IGraphConfig& item) {
    std::string parentName = "NA";
    std::string ownName = "NA";
    const IGraphConfig* parent = item.getAncestor();
    if (parent != nullptr) {
        parent->getValue(kKeyName, parentName);
    }
    item.getValue(kKeyName, ownName);
    return parentName + ":" + ownName;
}

std::string printItem(const IGraphConfig* item) {
    if (item == nullptr) {
        return "NULL";
    }
    std::string type = "NODE";
    item->getValue(kKeyType, type);
    const bool qualified = type == "demux" || type == "kernel" || type == "mux" || type == "port";
    return type + "[" + (qualified ? itemFullName(*item) : item->getName()) + "]";
}

}  // namespace VELT
