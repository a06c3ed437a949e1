// Merging one subtree into another, item by item, by the rules the caller
// chooses; see subtree_merge.h.
#include "zo_camera/velt/tree/subtree_merge.h"

#include <string>

#include "velt_item_uid.h"
#include "velt_keys.h"
#include "velt_status.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

namespace {

// Identity of a node or port: a merge may add these but never changes them.
bool isProtectedKey(uint32_t key) {
    return key == kKeyId || key == kKeyDirection || key == kKeyName || key == kKeyPeer ||
           key == kKeyType;
}

// Writes one source attribute into the destination as the rules say and
// hands back its value as text, for the option lists.
int mergeAttribute(GraphConfigNode& destination, uint32_t key, const GraphConfigItem& source,
                   bool deep, std::string& text) {
    int intValue = 0;
    const bool isInt = source.getType() == GraphConfigItem::kTypeInt;
    if (isInt) {
        source.getValue(intValue);
        text = std::to_string(intValue);
    } else {
        source.getValue(text);
    }

    GraphConfigItem* existing = destination.getItem(key);
    if (existing != nullptr) {
        if (!deep || isProtectedKey(key)) {
            return err_exists;
        }
        // A kind mismatch leaves the destination as it is.
        if (isInt) {
            existing->setValue(intValue);
        } else {
            existing->setValue(text);
        }
        return err_none;
    }
    const int status =
        isInt ? destination.addValue(key, intValue) : destination.addValue(key, text);
    if (status != 0) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Error adding %s: No memory", ItemUID::key2str(key));
        return err_nomemory;
    }
    return err_none;
}

}  // namespace

int mergeSubtree(GraphConfigNode* destination, GraphConfigNode* source,
                 const SubtreeMergeRules& rules) {
    if (destination == nullptr || source == nullptr) {
        return err_argument;
    }
    for (auto entry = source->begin(); entry != source->end(); ++entry) {
        const uint32_t key = entry->first;
        GraphConfigItem& item = *entry->second;

        GraphConfigNode* existingNode = nullptr;
        if (destination->getDescendant(key, &existingNode) == 0) {
            // Option lists describe the descriptor's choices; settings never
            // merge into them.
            if (!rules.deep || key == kKeyOptions || !item.isNode()) {
                continue;
            }
            const int status =
                mergeSubtree(existingNode, static_cast<GraphConfigNode*>(&item), rules);
            if (status != 0) {
                return status;
            }
            continue;
        }

        if (item.isNode()) {
            if (!rules.addNodes) {
                continue;
            }
            GraphConfigNode* copy = static_cast<const GraphConfigNode&>(item).copy();
            if (copy == nullptr || destination->insertDescendant(copy, key) != 0) {
                delete copy;
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Error creating GraphConfigItem: No memory");
                return err_nomemory;
            }
            continue;
        }

        if (!item.isAttribute()) {
            continue;
        }
        std::string text;
        const int status = mergeAttribute(*destination, key, item, rules.deep, text);
        if (status == err_exists) {
            continue;
        }
        if (status != 0) {
            return status;
        }
        if (rules.applyOptions) {
            const int applied = GraphConfigNode::handleAttributeOptions(destination, key, text);
            if (applied != 0 && applied != err_noentry) {
                return applied;
            }
        }
    }

    if (rules.afterNode != nullptr) {
        return rules.afterNode(destination);
    }
    return err_none;
}

}  // namespace VELT
