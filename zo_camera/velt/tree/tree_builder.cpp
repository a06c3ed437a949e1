// TreeBuilder: appending children out of key order, and sorting them once.

#include "zo_camera/velt/tree/tree_builder.h"

#include <algorithm>
#include <iterator>
#include <new>
#include <utility>

namespace VELT {

namespace {

// Up to this many items an insertion sort in place beats std::stable_sort,
// which allocates a buffer first.
constexpr size_t kInsertionSortLimit = 32;

bool keyLess(const GraphConfigNode::ItemMap::value_type& a,
             const GraphConfigNode::ItemMap::value_type& b) {
    return a.first < b.first;
}

void insertionSort(GraphConfigNode::ItemMap& items) {
    for (auto it = std::next(items.begin()); it < items.end(); ++it) {
        if (!keyLess(*it, *std::prev(it))) {
            continue;
        }
        auto entry = std::move(*it);
        auto hole = it;
        do {
            *hole = std::move(*std::prev(hole));
            --hole;
        } while (hole != items.begin() && keyLess(entry, *std::prev(hole)));
        *hole = std::move(entry);
    }
}

}  // namespace

void TreeBuilder::reserve(GraphConfigNode& node, size_t count) {
    node.items_.reserve(node.items_.size() + count);
}

void TreeBuilder::append(GraphConfigNode& parent, uint32_t key, GraphConfigNode* child) {
    parent.items_.emplace_back(key, nullptr).second.reset(child);
    child->ancestor_ = &parent;
}

void TreeBuilder::finish(GraphConfigNode& node) {
    auto& items = node.items_;
    if (!std::is_sorted(items.begin(), items.end(), keyLess)) {
        // std::stable_sort falls back to sorting in place when it cannot get
        // its buffer, so it does not fail either.
        if (items.size() <= kInsertionSortLimit) {
            insertionSort(items);
        } else {
            std::stable_sort(items.begin(), items.end(), keyLess);
        }
    }
    if (items.capacity() > items.size()) {
        // Copying into an exact array can fail; the spare room is harmless then.
        try {
            items.shrink_to_fit();
        } catch (const std::bad_alloc&) {
        }
    }
}

}  // namespace VELT
