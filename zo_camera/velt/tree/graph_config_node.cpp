// GraphConfigNode: storage, ownership, identity and deep copy.

#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "velt_graph_config_node.h"
#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/tree/tree_storage.h"
#include "zo_rulo/zo_log_tags.h"

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

ItemArray::~ItemArray() {
    while (size_ > 0) {
        pop_back();
    }
    if (capacity_ != 0) {
        ::operator delete(data_);
    }
}

void ItemArray::reallocate(size_t capacity) {
    if (capacity > UINT32_MAX) {
        throw std::bad_alloc();
    }
    auto* entries = static_cast<value_type*>(::operator new(capacity * sizeof(value_type)));
    for (uint32_t i = 0; i < size_; ++i) {
        new (&entries[i]) value_type(std::move(data_[i]));
        // Ending the moved-from entry's lifetime is all that is left to do with it.
        data_[i].~value_type();  // NOLINT(clang-analyzer-cplusplus.Move)
    }
    if (capacity_ != 0) {
        ::operator delete(data_);
    } else if (data_ != nullptr) {
        // The stored array of a read node: its room stays with the tree.
        TreeStorage::retire(data_, size_ * sizeof(value_type));
    }
    data_ = entries;
    capacity_ = static_cast<uint32_t>(capacity);
}

void ItemArray::reserve(size_t count) {
    if (count > capacity_ && (capacity_ != 0 || count > size_)) {
        reallocate(count);
    }
}

ItemArray::iterator ItemArray::insert(const_iterator position, uint32_t key, ItemPtr&& item) {
    const size_t index = static_cast<size_t>(position - data_);
    if (size_ >= capacity_) {
        reallocate(size_ == 0 ? 4 : size_ * size_t{2});
    }
    value_type* entries = data_;
    if (index == size_) {
        new (&entries[size_]) value_type(key, std::move(item));
    } else {
        new (&entries[size_]) value_type(std::move(entries[size_ - 1]));
        for (size_t i = size_ - 1; i > index; --i) {
            entries[i] = std::move(entries[i - 1]);
        }
        entries[index] = value_type(key, std::move(item));
    }
    ++size_;
    return &entries[index];
}

void ItemArray::erase(const_iterator position) noexcept {
    const size_t index = static_cast<size_t>(position - data_);
    data_[index].second.reset();
    for (size_t i = index + 1; i < size_; ++i) {
        data_[i - 1] = std::move(data_[i]);
    }
    data_[--size_].~value_type();
}

void ItemArray::releaseUnusedRoom() noexcept {
    if (capacity_ <= size_) {
        return;
    }
    try {
        if (size_ == 0) {
            ::operator delete(data_);
            data_ = nullptr;
            capacity_ = 0;
        } else {
            reallocate(size_);
        }
    } catch (const std::bad_alloc&) {
        // The spare room is harmless.
    }
}

void ItemArray::adoptStored(value_type* entries, size_t count) noexcept {
    data_ = entries;
    size_ = static_cast<uint32_t>(count);
    capacity_ = 0;
}

GraphConfigNode::~GraphConfigNode() {
    destroyItems();
}

void GraphConfigNode::destroyItems() noexcept {
    // Hostile documents nest hundreds of thousands of levels deep, so no
    // destructor may recurse; and a destructor must not fail when memory is
    // short, so no work list is allocated either. The walk goes down through
    // each last child that still has items and back up through the parent
    // links it sets on the way, deleting leaves and emptied nodes, so every
    // node is empty when its own destructor runs.
    GraphConfigNode* current = this;
    while (true) {
        ItemArray& items = current->items_;
        if (items.empty()) {
            if (current == this) {
                break;
            }
            current = current->ancestor_;
            continue;
        }
        ItemArray::value_type& last = items.back();
        GraphConfigItem* item = last.second.get();
        if (item->isNode()) {
            auto* child = static_cast<GraphConfigNode*>(item);
            if (!child->items_.empty()) {
                child->ancestor_ = current;
                current = child;
                continue;
            }
        }
        if (last.second.inTreeStorage() && holdsNothingOutsideStorage(*item)) {
            // Most items of a read tree: their storage goes as a whole.
            items.forgetLast();
        } else {
            items.pop_back();
        }
    }
}

bool GraphConfigNode::holdsNothingOutsideStorage(const GraphConfigItem& item) noexcept {
#if defined(__SANITIZE_ADDRESS__)
    // Every item is retired one by one, to be poisoned.
    static_cast<void>(item);
    return false;
#else
    // Integer attributes, and emptied nodes whose items were never moved to
    // the heap; string attributes may hold a text set later.
    return item.getType() == kTypeInt ||
           (item.isNode() && !static_cast<const GraphConfigNode&>(item).items_.ownsRoom());
#endif
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
    ItemPtr owned(item);
    try {
        items_.insert(upperBound(key), key, std::move(owned));
    } catch (const std::bad_alloc&) {
        // The caller keeps the item.
        owned.release();
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
    ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
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
