// Building the trees of documents: every reader builds its trees through
// this class. Its nodes, attributes, item arrays and long texts are placed in
// storage that the root owns (tree_storage.h), so reading a document makes a
// few hundred allocations rather than one per item, and deleting the root
// frees blocks rather than items.
//
// A reader adds a node's children in document order, which is seldom key
// order; inserting each one at its sorted place would cost time quadratic in
// the width of a node. The entries of the open nodes are collected instead,
// and each node gets its items in key order, in one array of the exact size,
// when it closes.
//
// The use: beginNode, its attributes (addInteger, addString), then openNode
// under the innermost open node, or abandonNode; the first node opened needs
// openRoot first. closeNode when an element ends; finishTree hands out the
// root. Nothing here logs; failures are the reader's to report.
//
// A reader that knows in advance how many items each node gets (a compiled
// document) builds below the root in bulk instead: it lays out each node's
// entries itself, in the tree's storage, at their final size, and hands
// them to the node once (completeNode). Everything made that way lives in
// the storage and holds nothing elsewhere, so a tree abandoned halfway goes
// with its storage (dropTree).
#ifndef ZO_CAMERA_VELT_TREE_TREE_BUILDER_H
#define ZO_CAMERA_VELT_TREE_TREE_BUILDER_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "velt_graph_config_node.h"
#include "zo_camera/velt/tree/tree_storage.h"

namespace VELT {

class TreeBuilder {
  public:
    TreeBuilder();
    // Deletes whatever tree is unfinished.
    ~TreeBuilder();
    TreeBuilder(const TreeBuilder&) = delete;
    TreeBuilder& operator=(const TreeBuilder&) = delete;

    // Starts a new empty node (dropping one begun and neither opened nor
    // abandoned). Throws std::bad_alloc.
    void beginNode();
    // An attribute of the node begun: 0, or -512 (nothing stored) when an
    // item is already stored under key. Throws std::bad_alloc; the node
    // keeps the attributes it had.
    int addInteger(uint32_t key, int32_t value);
    int addString(uint32_t key, const char* text, size_t length);
    // Deletes the node begun with its attributes.
    void abandonNode() noexcept;

    // True once openRoot succeeded for the tree being built.
    bool hasRoot() const noexcept { return !levels_.empty(); }
    // Opens the root, with a string attribute "version" unless version is
    // empty. Throws std::bad_alloc; there is no root then.
    void openRoot(const std::string& version);
    // The node begun goes under the innermost open node, after the items it
    // has so far, under key, and becomes the innermost open node. Throws
    // std::bad_alloc; the node begun stays as it was.
    void openNode(uint32_t key);
    // Completes the innermost open node below the root and makes its parent
    // the innermost. False when no node below the root is open. Throws
    // std::bad_alloc when the node's items find no room: the node is then
    // deleted with its subtree, and its parent is the innermost.
    bool closeNode();
    // Completes every open node and hands out the root, which the caller
    // owns; null when no root was opened. A node whose items find no room is
    // deleted with its subtree (the root: the whole tree, and null is handed
    // out). The builder is empty again afterwards.
    GraphConfigNode* finishTree() noexcept;
    // Deletes whatever tree is unfinished; the builder is empty again.
    void dropTree() noexcept;

    // Bulk building. An entry of a node's items.
    using Entry = ItemArray::value_type;
    // The storage of the tree being built. Throws std::bad_alloc.
    TreeStorage& bulkStorage() { return storage(); }
    // The root, once openRoot succeeded.
    GraphConfigNode* root() noexcept;
    // Stores node (from newNodeRoom, with the root as parent) among the root's
    // items, after those it has. Throws std::bad_alloc; the root is then
    // unchanged.
    void addToRoot(uint32_t key, GraphConfigNode* node);
    // A node, room for capacity entries of its items and attributeBytes of
    // its attributes (placeInteger, placeText), carved as one piece: one
    // allocation per node rather than one per item, and a node's items next
    // to it in memory. Throws std::bad_alloc.
    struct NodeRoom {
        GraphConfigNode* node;
        Entry* items;      // null for no capacity
        char* attributes;  // where the next attribute goes
    };
    static NodeRoom newNodeRoom(TreeStorage& storage, size_t capacity, size_t attributeBytes) {
        static_assert(sizeof(GraphConfigNode) % 8 == 0 && sizeof(Entry) % 8 == 0 &&
                          sizeof(GraphConfigIntAttribute) % 8 == 0 &&
                          sizeof(GraphConfigStrAttribute) % 8 == 0,
                      "every piece of a node's room stays aligned");
        const size_t entryBytes = capacity * sizeof(Entry);
        char* room = static_cast<char*>(
            storage.allocate(sizeof(GraphConfigNode) + entryBytes + attributeBytes));
        char* entries = room + sizeof(GraphConfigNode);
        return {new (room) GraphConfigNode(),
                capacity == 0 ? nullptr : reinterpret_cast<Entry*>(entries), entries + entryBytes};
    }
    // The node's parent, for a node from newNodeRoom.
    static void setParent(GraphConfigNode* node, GraphConfigNode* parent) noexcept {
        node->ancestor_ = parent;
    }
    // Attributes in a node's room, which advances past them.
    static GraphConfigIntAttribute* placeInteger(char*& room, int32_t value) noexcept {
        auto* attribute = new (room) GraphConfigIntAttribute(value);
        room += sizeof(GraphConfigIntAttribute);
        return attribute;
    }
    // text as for newText; length was checked (storedText, or at most
    // kInlineLength).
    static GraphConfigStrAttribute* placeText(char*& room, const char* text,
                                              size_t length) noexcept {
        auto* attribute = new (room) GraphConfigStrAttribute(text, static_cast<uint32_t>(length));
        room += sizeof(GraphConfigStrAttribute);
        return attribute;
    }
    // A string attribute of length bytes of text, which must stay where it
    // is (in storage: storedText) when it is longer than kInlineLength.
    static GraphConfigStrAttribute* newText(TreeStorage& storage, const char* text, size_t length);
    // A copy of text in storage, NUL-terminated, for string attributes to
    // share.
    static const char* storedText(TreeStorage& storage, const char* text, size_t length);
    // Room for count entries, not constructed (null for none).
    static Entry* newEntries(TreeStorage& storage, size_t count) {
        return count == 0 ? nullptr : static_cast<Entry*>(storage.allocate(count * sizeof(Entry)));
    }
    // Constructs the entry (key, item) at room from newEntries; item comes
    // from this class's bulk functions.
    static void placeEntry(Entry* at, uint32_t key, GraphConfigItem* item) noexcept {
        new (at) Entry(key, stored(item));
    }
    // Hands node its count entries at items, put in key order (a stable
    // order: entries under one key keep theirs) unless the caller knows them
    // to be in that order already. node must have no items.
    // Inline, as a compiled document completes every node through it.
    static void completeNode(GraphConfigNode* node, Entry* items, size_t count,
                             bool inKeyOrder) noexcept {
        if (!inKeyOrder) {
            sortByKey(items, count);
        }
        node->items_.adoptStored(items, count);
    }

  private:
    struct Level {
        GraphConfigNode* node;
        size_t firstEntry;  // in entries_: this node's items, then its open children's
    };

    TreeStorage& storage();
    // A handle marking an item that lives in storage().
    static ItemPtr stored(GraphConfigItem* item) noexcept {
        ItemPtr handle;
        handle.bits_ = reinterpret_cast<uintptr_t>(item) | ItemPtr::kInTreeStorage;
        return handle;
    }
    // Where (in place) an attribute under key goes among the node's
    // attributes, with room made for it; false when one is stored under key
    // already. Throws std::bad_alloc.
    bool findAttributePlace(uint32_t key, size_t& place);
    // A string attribute in storage(), its text too when it is long. Throws
    // std::bad_alloc.
    GraphConfigStrAttribute* storedString(const char* text, size_t length);
    // Puts entries in key order, keeping the order of entries under one key.
    static void sortByKey(Entry* items, size_t count) noexcept;
    // Moves the innermost level's entries into its node, in key order.
    void completeInnermost();
    // Frees the reusable buffers when one document made them large.
    void trimBuffers() noexcept;

    // The root being built; it owns the storage, even before openRoot.
    std::unique_ptr<StorageRoot> root_;
    // The node begun, and its attributes (in key order) until it is opened.
    ItemPtr pending_;
    std::vector<Entry> pendingItems_;
    // The items of every open node below the root and of the root, the
    // innermost node's last.
    std::vector<Entry> entries_;
    std::vector<Level> levels_;
};

}  // namespace VELT

#endif
