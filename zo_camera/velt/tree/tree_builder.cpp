// TreeBuilder: nodes and attributes in tree storage, and each node's items
// put in key order once, when it closes.

#include "zo_camera/velt/tree/tree_builder.h"

#include <algorithm>
#include <iterator>
#include <new>
#include <utility>

#include "velt_keys.h"
#include "velt_status.h"

namespace VELT {

namespace {

// Up to this many items an insertion sort in place beats std::stable_sort,
// which allocates a buffer first.
constexpr size_t kInsertionSortLimit = 32;
// Reusable buffers larger than this (in entries) are freed after a document.
constexpr size_t kKeptBufferEntries = size_t{1} << 16;

template <typename Entry>
bool keyLess(const Entry& a, const Entry& b) {
    return a.first < b.first;
}

template <typename Entry>
void insertionSort(Entry* first, Entry* last) {
    for (Entry* it = first + 1; it < last; ++it) {
        if (!keyLess(*it, *(it - 1))) {
            continue;
        }
        Entry entry = std::move(*it);
        Entry* hole = it;
        do {
            *hole = std::move(*(hole - 1));
            --hole;
        } while (hole != first && keyLess(entry, *(hole - 1)));
        *hole = std::move(entry);
    }
}

// Room for extra more elements, growing geometrically so that repeated
// calls stay linear. Throws std::bad_alloc; the vector is unchanged then.
template <typename T>
void ensureRoom(std::vector<T>& vector, size_t extra) {
    const size_t needed = vector.size() + extra;
    if (needed > vector.capacity()) {
        vector.reserve(std::max(needed, vector.capacity() * 2));
    }
}

}  // namespace

TreeBuilder::TreeBuilder() = default;

TreeBuilder::~TreeBuilder() {
    dropTree();
}

TreeStorage& TreeBuilder::storage() {
    if (!root_) {
        root_.reset(new StorageRoot());
    }
    return root_->storage();
}

void TreeBuilder::beginNode() {
    abandonNode();
    pending_ = stored(storage().create<GraphConfigNode>());
}

void TreeBuilder::abandonNode() noexcept {
    pendingItems_.clear();
    pending_.reset();
}

bool TreeBuilder::findAttributePlace(uint32_t key, size_t& place) {
    // Kept in key order as they come, so a taken key is found by bisection.
    auto found =
        std::lower_bound(pendingItems_.begin(), pendingItems_.end(), key,
                         [](const Entry& entry, uint32_t wanted) { return entry.first < wanted; });
    if (found != pendingItems_.end() && found->first == key) {
        return false;
    }
    place = static_cast<size_t>(found - pendingItems_.begin());
    // Room now, so that storing the attribute cannot fail once it is made.
    ensureRoom(pendingItems_, 1);
    return true;
}

GraphConfigStrAttribute* TreeBuilder::storedString(const char* text, size_t length) {
    TreeStorage& room = storage();
    if (length > GraphConfigStrAttribute::kInlineLength) {
        // Long texts live in the storage too, beside the attribute.
        text = storedText(room, text, length);
    }
    return newText(room, text, length);
}

const char* TreeBuilder::storedText(TreeStorage& storage, const char* text, size_t length) {
    if (length > GraphConfigStrAttribute::kMaxLength) {
        throw std::bad_alloc();
    }
    char* copy = static_cast<char*>(storage.allocate(length + 1));
    std::copy(text, text + length, copy);
    copy[length] = '\0';
    return copy;
}

GraphConfigStrAttribute* TreeBuilder::newText(TreeStorage& storage, const char* text,
                                              size_t length) {
    if (length > GraphConfigStrAttribute::kMaxLength) {
        throw std::bad_alloc();
    }
    return new (storage.allocate(sizeof(GraphConfigStrAttribute)))
        GraphConfigStrAttribute(text, static_cast<uint32_t>(length));
}

GraphConfigNode* TreeBuilder::root() noexcept {
    return root_.get();
}

void TreeBuilder::addToRoot(uint32_t key, GraphConfigNode* node) {
    // Only the root is open: its entries are all there are.
    ensureRoom(entries_, 1);
    entries_.emplace_back(key, stored(node));
}

void TreeBuilder::sortByKey(Entry* items, size_t count) noexcept {
    // Attributes come first and in key order, children after them in
    // document order; a stable sort keeps both orders within a key.
    if (!std::is_sorted(items, items + count, keyLess<Entry>)) {
        if (count <= kInsertionSortLimit) {
            insertionSort(items, items + count);
        } else {
            // Sorts in place, more slowly, when it cannot get its buffer.
            std::stable_sort(items, items + count, keyLess<Entry>);
        }
    }
}

int TreeBuilder::addInteger(uint32_t key, int32_t value) {
    size_t place = 0;
    if (!findAttributePlace(key, place)) {
        return err_exists;
    }
    ItemPtr attribute = stored(storage().create<GraphConfigIntAttribute>(value));
    pendingItems_.emplace(pendingItems_.begin() + static_cast<std::ptrdiff_t>(place), key,
                          std::move(attribute));
    return err_none;
}

int TreeBuilder::addString(uint32_t key, const char* text, size_t length) {
    size_t place = 0;
    if (!findAttributePlace(key, place)) {
        return err_exists;
    }
    ItemPtr attribute = stored(storedString(text, length));
    pendingItems_.emplace(pendingItems_.begin() + static_cast<std::ptrdiff_t>(place), key,
                          std::move(attribute));
    return err_none;
}

void TreeBuilder::openRoot(const std::string& version) {
    // Built before the first node is opened, so nothing is open yet.
    ensureRoom(levels_, 1);
    ensureRoom(entries_, 1);
    storage();
    if (!version.empty()) {
        entries_.emplace_back(kKeyVersion, stored(storedString(version.data(), version.size())));
    }
    levels_.push_back({root_.get(), 0});
}

void TreeBuilder::openNode(uint32_t key) {
    ensureRoom(entries_, 1 + pendingItems_.size());
    ensureRoom(levels_, 1);
    auto* node = static_cast<GraphConfigNode*>(pending_.get());
    node->ancestor_ = levels_.back().node;
    entries_.emplace_back(key, std::move(pending_));
    levels_.push_back({node, entries_.size()});
    for (Entry& attribute : pendingItems_) {
        entries_.push_back(std::move(attribute));
    }
    pendingItems_.clear();
}

void TreeBuilder::completeInnermost() {
    const Level level = levels_.back();
    const size_t count = entries_.size() - level.firstEntry;
    if (count == 0) {
        return;
    }
    Entry* items = nullptr;
    try {
        items = static_cast<Entry*>(storage().allocate(count * sizeof(Entry)));
    } catch (const std::bad_alloc&) {
        // The node goes with its subtree: its items, then its own entry in
        // its parent's items (the last one there; the root has none).
        entries_.resize(level.firstEntry);
        if (level.firstEntry > 0) {
            entries_.pop_back();
        }
        throw;
    }
    Entry* first = entries_.data() + level.firstEntry;
    for (size_t i = 0; i < count; ++i) {
        new (&items[i]) Entry(std::move(first[i]));
    }
    entries_.resize(level.firstEntry);
    completeNode(level.node, items, count, false);
}

bool TreeBuilder::closeNode() {
    if (levels_.size() <= 1) {
        return false;
    }
    try {
        completeInnermost();
    } catch (const std::bad_alloc&) {
        levels_.pop_back();
        throw;
    }
    levels_.pop_back();
    return true;
}

GraphConfigNode* TreeBuilder::finishTree() noexcept {
    abandonNode();
    bool rootLost = levels_.empty();
    while (!levels_.empty()) {
        try {
            completeInnermost();
        } catch (const std::bad_alloc&) {
            rootLost = levels_.size() == 1;
        }
        levels_.pop_back();
    }
    GraphConfigNode* root = nullptr;
    if (rootLost) {
        root_.reset();
    } else {
        root = root_.release();
    }
    trimBuffers();
    return root;
}

void TreeBuilder::dropTree() noexcept {
    abandonNode();
    // Every item still here lives in the root's storage: destroyed before it.
    entries_.clear();
    levels_.clear();
    root_.reset();
    trimBuffers();
}

void TreeBuilder::trimBuffers() noexcept {
    if (entries_.capacity() > kKeptBufferEntries) {
        std::vector<Entry>().swap(entries_);
    }
    if (pendingItems_.capacity() > kKeptBufferEntries) {
        std::vector<Entry>().swap(pendingItems_);
    }
    if (levels_.capacity() > kKeptBufferEntries) {
        std::vector<Level>().swap(levels_);
    }
}

}  // namespace VELT
