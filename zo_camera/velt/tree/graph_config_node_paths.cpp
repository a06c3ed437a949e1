// GraphConfigNode: lookups by key and by path, values, attribute creation.

#include <memory>
#include <new>
#include <utility>

#include "velt_graph_config_node.h"
#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/common/number_text.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

namespace {

uint32_t lastKey(const ItemUID& path) {
    return path[path.size() - 1];
}

}  // namespace

GraphConfigNode* GraphConfigNode::resolvePath(const ItemUID& path, bool loose) const {
    if (path.empty()) {
        return nullptr;
    }
    const GraphConfigNode* current = this;
    for (size_t depth = 0; depth < path.size(); ++depth) {
        GraphConfigItem* item = current->firstItem(path[depth]);
        if (item && item->isNode()) {
            current = static_cast<GraphConfigNode*>(item);
            continue;
        }
        // A missing node is tolerated only at the last key of a longer path:
        // the current node then holds (or will hold) the attribute named.
        bool lastOfSeveral = depth != 0 && depth + 1 == path.size();
        if (lastOfSeveral && (loose || item)) {
            break;
        }
        return nullptr;
    }
    return const_cast<GraphConfigNode*>(current);
}

IGraphConfig* GraphConfigNode::getDescendant(uint32_t key) const {
    GraphConfigItem* item = firstItem(key);
    return (item && item->isNode()) ? static_cast<GraphConfigNode*>(item) : nullptr;
}

int GraphConfigNode::getDescendant(uint32_t key, GraphConfigNode** out) const {
    if (!out) {
        return err_argument;
    }
    GraphConfigItem* item = firstItem(key);
    if (!item) {
        *out = nullptr;
        return err_general;
    }
    if (!item->isNode()) {
        return err_argument;
    }
    *out = static_cast<GraphConfigNode*>(item);
    return err_none;
}

IGraphConfig* GraphConfigNode::getDescendant(const ItemUID& path) const {
    return resolvePath(path, false);
}

GraphConfigNode* GraphConfigNode::getGraphConfigItem(const ItemUID& path) const {
    return resolvePath(path, true);
}

IGraphConfig* GraphConfigNode::getDescendantByString(const std::string& path) const {
    return guardValue<IGraphConfig*>(
        __func__, nullptr, [&]() -> IGraphConfig* { return getDescendant(ItemUID(path)); });
}

int GraphConfigNode::getDescendantByString(const std::string& path, GraphConfigNode** out) const {
    return guardStatus(__func__, err_argument, [&]() -> int {
        GraphConfigNode* node = resolvePath(ItemUID(path), false);
        if (!node || !out) {
            return err_argument;
        }
        *out = node;
        return err_none;
    });
}

int GraphConfigNode::getValue(uint32_t key, int& value) const {
    GraphConfigItem* item = firstItem(key);
    return item ? item->getValue(value) : err_general;
}

int GraphConfigNode::getValue(uint32_t key, std::string& value) const {
    return guardStatus(__func__, err_noentry, [&]() -> int {
        GraphConfigItem* item = firstItem(key);
        return item ? item->getValue(value) : err_general;
    });
}

int GraphConfigNode::getValue(const ItemUID& path, int& value) const {
    if (path.size() == 1) {
        return getValue(path[0], value);
    }
    GraphConfigNode* holder = resolvePath(path, false);
    return holder ? holder->getValue(lastKey(path), value) : err_argument;
}

int GraphConfigNode::getValue(const ItemUID& path, std::string& value) const {
    return guardStatus(__func__, err_noentry, [&]() -> int {
        if (path.size() == 1) {
            return getValue(path[0], value);
        }
        GraphConfigNode* holder = resolvePath(path, false);
        return holder ? holder->getValue(lastKey(path), value) : err_argument;
    });
}

int GraphConfigNode::setValue(const ItemUID& path, int value) {
    return guardStatus(__func__, err_noentry, [&]() -> int {
        if (path.size() == 1) {
            return setValue(path[0], value);
        }
        GraphConfigNode* holder = resolvePath(path, false);
        return holder ? holder->setValue(lastKey(path), value) : err_noentry;
    });
}

int GraphConfigNode::setValue(const ItemUID& path, const std::string& value) {
    return guardStatus(__func__, err_noentry, [&]() -> int {
        if (path.size() == 1) {
            return setValue(path[0], value);
        }
        GraphConfigNode* holder = resolvePath(path, false);
        return holder ? holder->setValue(lastKey(path), value) : err_noentry;
    });
}

int GraphConfigNode::getAttribute(const ItemUID& path, GraphConfigAttribute** out) const {
    return guardStatus(__func__, err_noentry, [&]() -> int {
        if (!out) {
            return err_data;
        }
        *out = nullptr;
        GraphConfigNode* holder = resolvePath(path, false);
        if (!holder) {
            ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                          "Warning: Failed to get descendant %s for attribute",
                          path.toString().c_str());
            return err_noentry;
        }
        if (holder->getAttribute(lastKey(path), out) != err_none) {
            ZO_MODULE_LOG(ZO_LOG_WARNING, velt, "warning: Failed to get attribute object for %s",
                          path.toString().c_str());
            return err_noentry;
        }
        return err_none;
    });
}

int GraphConfigNode::createAttribute(const ItemUID& path, GraphConfigAttribute** out) {
    return guardStatus(__func__, err_general, [&]() -> int {
        if (!out) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Invalid argument (nullptr) to create an attribute");
            return err_argument;
        }
        *out = nullptr;
        const std::string name = path.toString();
        if (path.empty()) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                          "Error: item %s is not an attribute it is an existing node",
                          name.c_str());
            return err_general;
        }
        const uint32_t key = lastKey(path);
        auto addDefault = [key](GraphConfigNode& holder) {
            return ItemUID::isInteger(key) ? holder.addValue(key, 0)
                                           : holder.addValue(key, std::string());
        };
        auto failedToAdd = [&name]() {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to add attribute %s to node", name.c_str());
            return err_general;
        };

        GraphConfigNode* current = this;
        for (size_t depth = 0; depth < path.size(); ++depth) {
            GraphConfigItem* item = current->firstItem(path[depth]);
            if (item && item->isNode()) {
                current = static_cast<GraphConfigNode*>(item);
                continue;
            }
            if (depth + 1 == path.size()) {
                // Only the attribute is missing (or something else holds its key).
                if (addDefault(*current) != err_none) {
                    return failedToAdd();
                }
                return current->getAttribute(key, out);
            }
            if (depth >= 1 && depth + 2 == path.size()) {
                // One node and the attribute are missing. An attribute already
                // stored under the node's key would hide the new node from every
                // later path lookup, so that counts as a failure to add.
                if (item) {
                    return failedToAdd();
                }
                std::unique_ptr<GraphConfigNode> node(new (std::nothrow) GraphConfigNode());
                if (!node || addDefault(*node) != err_none) {
                    return failedToAdd();
                }
                GraphConfigNode* created = node.get();
                if (current->insertDescendant(created, path[depth]) != err_none) {
                    return failedToAdd();
                }
                (void)node.release();  // the tree owns it now
                return created->getAttribute(key, out);
            }
            ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                          "Warning: Failed to create attribute %s: Too many missing nodes, "
                          "stopped at depth %lu",
                          name.c_str(), static_cast<unsigned long>(depth));
            return err_general;
        }
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                      "Error: item %s is not an attribute it is an existing node", name.c_str());
        return err_general;
    });
}

int GraphConfigNode::setValueFromStr(const ItemUID& path, std::string text) {
    // std::stoi's exceptions on malformed or oversized numbers are the one
    // error this library lets reach its caller.
    return boundary::settle<true, Status>(__func__, err_nomemory, err_noentry, [&]() -> int {
        GraphConfigNode* holder = path.size() == 1 ? this : resolvePath(path, true);
        if (!holder) {
            return err_noentry;
        }
        const uint32_t key = lastKey(path);
        GraphConfigItem* item = holder->firstItem(key);
        if (!item) {
            GraphConfigAttribute* created = nullptr;
            if (holder->createAttribute(ItemUID{key}, &created) != err_none) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Could not create attribute");
                return err_noentry;
            }
            item = created;
        }
        if (item->getType() == kTypeInt) {
            return item->setValue(numbers::integerOrThrow(text));
        }
        return item->setValue(text);
    });
}

}  // namespace VELT
