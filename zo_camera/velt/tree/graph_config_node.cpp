// GraphConfigNode: storage, ownership, identity and deep copy.

#include <new>
#include <utility>
#include <vector>

#include "velt_graph_config_node.h"
#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/tree/tree_log.h"

namespace VELT {

namespace {

// A copy of one attribute, or null for an unknown kind or when out of memory.
GraphConfigItem* copyAttribute(const GraphConfigItem& item) {
    switch (item.getType()) {
        case GraphConfigItem::kTypeInt:
            return static_cast<const GraphConfigIntAttribute&>(item).copy();
        case GraphConfigItem::kTypeString:
            return static_cast<const GraphConfigStrAttribute&>(item).copy();
        default:
            return nullptr;
    }
}

}  // namespace

GraphConfigNode::GraphConfigNode() : GraphConfigAttribute(kTypeNode) {}

GraphConfigNode::~GraphConfigNode() {
    // Hostile documents nest hundreds of thousands of levels deep, so no
    // destructor may recurse; and a destructor must not fail when memory is
    // short, so no work list is allocated either. The walk goes down through
    // each last child that still has items and back up through the parent
    // links it sets on the way, deleting leaves and emptied nodes, so every
    // node is empty when its own destructor runs.
    GraphConfigNode* current = this;
    while (true) {
        if (!current->items_.empty()) {
            GraphConfigItem* last = current->items_.back().second.get();
            if (last->isNode()) {
                auto* child = static_cast<GraphConfigNode*>(last);
                if (!child->items_.empty()) {
                    child->ancestor_ = current;
                    current = child;
                    continue;
                }
            }
            current->items_.pop_back();
            continue;
        }
        if (current == this) {
            break;
        }
        current = current->ancestor_;
    }
}

GraphConfigItem* GraphConfigNode::firstItem(uint32_t key) const {
    auto it = lowerBound(key);
    return (it != items_.end() && it->first == key) ? it->second.get() : nullptr;
}

GraphConfigItem* GraphConfigNode::getItem(uint32_t key) const {
    return firstItem(key);
}

bool GraphConfigNode::hasItem(uint32_t key) const {
    return firstItem(key) != nullptr;
}

int GraphConfigNode::getDescendantCount() const {
    return static_cast<int>(items_.size());
}

int GraphConfigNode::insertDescendant(GraphConfigItem* item, uint32_t key) {
    if (!item) {
        return err_general;
    }
    try {
        // After the items already under key; nothing is owned if this throws.
        items_.emplace(upperBound(key), key, nullptr)->second.reset(item);
    } catch (const std::bad_alloc&) {
        return err_nomemory;
    }
    if (item->isNode()) {
        static_cast<GraphConfigNode*>(item)->ancestor_ = this;
    }
    return err_none;
}

int GraphConfigNode::removeDescendant(uint32_t key) {
    auto it = lowerBound(key);
    if (it != items_.end() && it->first == key) {
        items_.erase(it);
    }
    return err_none;
}

int GraphConfigNode::addValue(uint32_t key, const std::string& value) {
    if (hasItem(key)) {
        return err_exists;
    }
    GraphConfigStrAttribute* attribute = nullptr;
    try {
        attribute = new GraphConfigStrAttribute(value);
    } catch (const std::bad_alloc&) {
        return err_nomemory;
    }
    int result = insertDescendant(attribute, key);
    if (result != err_none) {
        delete attribute;
    }
    return result;
}

int GraphConfigNode::addValue(uint32_t key, int value) {
    if (hasItem(key)) {
        return err_exists;
    }
    auto* attribute = new (std::nothrow) GraphConfigIntAttribute(value);
    if (!attribute) {
        return err_nomemory;
    }
    int result = insertDescendant(attribute, key);
    if (result != err_none) {
        delete attribute;
    }
    return result;
}

int GraphConfigNode::getAttribute(uint32_t key, GraphConfigAttribute** out) const {
    if (!out) {
        return err_argument;
    }
    GraphConfigItem* item = firstItem(key);
    if (!item) {
        return err_general;
    }
    // Every kind of item is an attribute or a node, and a node is handed out
    // through the attribute interface as well (its value operations answer -64).
    *out = static_cast<GraphConfigAttribute*>(item);
    return err_none;
}

GraphConfigNode::const_iterator GraphConfigNode::getNextAttribute(const_iterator& position) const {
    while (position != items_.end() && !position->second->isAttribute()) {
        ++position;
    }
    return position;
}

IGraphConfig* GraphConfigNode::getAncestor() const {
    return ancestor_;
}

int GraphConfigNode::getAncestor(GraphConfigNode** out) const {
    zo_log_common_debug(ZO_LOG_WARNING, kTreeTag,
                        "WARNING: GraphConfigNode implementation of getAncestor is deprecated.");
    if (!out) {
        return err_argument;
    }
    *out = ancestor_;
    return err_none;
}

GraphConfigNode* GraphConfigNode::getRootNode() const {
    const GraphConfigNode* node = this;
    while (node->ancestor_) {
        node = node->ancestor_;
    }
    return const_cast<GraphConfigNode*>(node);
}

IGraphConfig* GraphConfigNode::getRoot() const {
    return getRootNode();
}

uint32_t GraphConfigNode::getUid() const {
    if (!ancestor_) {
        return 0;
    }
    for (const auto& [key, item] : ancestor_->items_) {
        if (item.get() == this) {
            return key;
        }
    }
    return 0;
}

std::string GraphConfigNode::getName() const {
    return guardValue<std::string>(__func__, std::string(), [&]() -> std::string {
        if (!ancestor_) {
            return "NA";
        }
        return ItemUID::key2str(getUid());
    });
}

GraphConfigNode* GraphConfigNode::copy() const {
    // Iterative for the same reason as the destructor: depth must not cost
    // stack. Each source node's items are copied in one pass, so items under
    // equal keys keep their order.
    try {
        auto root = std::make_unique<GraphConfigNode>();
        std::vector<std::pair<const GraphConfigNode*, GraphConfigNode*>> pending{
            {this, root.get()}};
        while (!pending.empty()) {
            auto [source, target] = pending.back();
            pending.pop_back();
            target->items_.reserve(source->items_.size());
            for (const auto& [key, item] : source->items_) {
                GraphConfigItem* duplicate =
                    item->isNode() ? new GraphConfigNode() : copyAttribute(*item);
                if (!duplicate) {
                    return nullptr;
                }
                if (target->insertDescendant(duplicate, key) != err_none) {
                    delete duplicate;
                    return nullptr;
                }
                if (item->isNode()) {
                    pending.emplace_back(static_cast<const GraphConfigNode*>(item.get()),
                                         static_cast<GraphConfigNode*>(duplicate));
                }
            }
        }
        return root.release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace VELT
