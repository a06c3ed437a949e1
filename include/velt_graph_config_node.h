/*
 * The elements of a configuration tree: items, attributes and nodes.
 *
 * A node stores its items (child nodes and attributes) under keys
 * (velt_item_uid.h) in ascending key order; items under equal keys keep their
 * insertion order. A node owns its items: deleting a node deletes its whole
 * subtree, and whoever holds a root deletes the tree by deleting the root.
 * Copying and deleting work without recursion, so trees of any depth are safe.
 *
 * Threads: a tree is used by one thread at a time; different trees may be
 * used on different threads at once.
 *
 * Tree storage. A tree read from a document (VELTParser) does not take one
 * heap block per item: its nodes, attributes, item arrays and long texts are
 * carved from large blocks that its root owns, and deleting the root frees
 * those blocks rather than a million items. Items can still be inserted,
 * removed, copied and deleted one by one, and this is why it is safe:
 * - Only the reader places items in a root's storage, and only below that
 *   root. Every other item (made with new, by copy(), addValue,
 *   createAttribute ...) is an ordinary heap object, so a copy never depends
 *   on the storage of its source.
 * - A node holds each item through an ItemPtr, which records whether the item
 *   lives in tree storage. Removing or replacing such an item runs its
 *   destructor (freeing what it holds on the heap: a grown item array, a text
 *   set later) but leaves its bytes to the storage; a heap item is deleted as
 *   usual. So heap items inserted into a read tree and read items removed from
 *   it are both handled by their holder.
 * - An item in tree storage can never leave its root's subtree alive: a node
 *   hands out no ownership of its items (removeDescendant deletes), so the
 *   only way for such an item to outlive the subtree would be its root itself.
 *   The root, which owns the storage, is a heap object; deleting it deletes
 *   its subtree first and then frees the blocks. A read root moved into
 *   another tree with insertDescendant is deleted, storage and all, by its new
 *   parent, and everything below it stays valid until then.
 * - A root must therefore be deleted through its own pointer (delete, or a
 *   parent that owns it), never freed by other means, as for any tree.
 * In the build with AddressSanitizer the bytes of destroyed stored items and
 * the unused rest of each block are poisoned, so a use after removal is
 * reported as for heap items, and a use after the root's deletion hits freed
 * blocks.
 */
#ifndef VELT_GRAPH_CONFIG_NODE_H
#define VELT_GRAPH_CONFIG_NODE_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "velt_export.h"
#include "velt_graph_config.h"
#include "velt_item_uid.h"

namespace VELT {

class GraphConfigNode;

/* The base of every tree element. Its value operations answer -64 (no such value). */
class ZO_EXPORT GraphConfigItem {
  public:
    /* Item kinds, the values of getType(). */
    enum ItemType : int32_t {
        kTypeNA = 1,      // not applicable, dumped as "NA"
        kTypeString = 2,  // GraphConfigStrAttribute, "STRING"
        kTypeInt = 4,     // GraphConfigIntAttribute, "INT"
        kTypeNode = 8     // GraphConfigNode, " NODE"
    };

    /* The integer value: 0 when the item is an integer attribute, else -64 (value untouched). */
    virtual int getValue(int& value) const;
    /* The text value: 0 when the item is a string attribute, else -64 (value untouched). */
    virtual int getValue(std::string& value) const;
    /* Stores text: 0 when the item is a string attribute, else -64 (nothing changes). */
    virtual int setValue(const std::string& value);
    /* Stores an integer: 0 when the item is an integer attribute, else -64. */
    virtual int setValue(int value);
    virtual ~GraphConfigItem();

    /* The item kind (ItemType). */
    int32_t getType() const { return type_; }
    /* True for integer and string attributes. */
    bool isAttribute() const { return type_ == kTypeInt || type_ == kTypeString; }
    /* True for nodes. */
    bool isNode() const { return type_ == kTypeNode; }
    /* The dump label of a kind: "NA", "STRING", "INT" or " NODE" ("NA" for unknown kinds). */
    static const char* typeLabel(int32_t type);

  protected:
    explicit GraphConfigItem(int32_t type = kTypeNA) : type_(type) {}
    GraphConfigItem(const GraphConfigItem&) = default;
    GraphConfigItem& operator=(const GraphConfigItem&) = default;

  private:
    int32_t type_;
};

/*
 * The type under which attributes are handed out. getAttribute hands out
 * whatever item is stored under a key, nodes included, so GraphConfigNode is
 * one as well; test the kind with getType(), not with a cast.
 */
class ZO_EXPORT GraphConfigAttribute : public GraphConfigItem {
  public:
    ~GraphConfigAttribute() override;

  protected:
    explicit GraphConfigAttribute(int32_t type) : GraphConfigItem(type) {}
    GraphConfigAttribute(const GraphConfigAttribute&) = default;
    GraphConfigAttribute& operator=(const GraphConfigAttribute&) = default;
};

/*
 * The owning handle through which a node holds one item: deleting the handle
 * deletes the item. An item placed in tree storage by the reader (see the top
 * of this file) is marked, and only destroyed in place. Read access is as
 * through std::unique_ptr (get, ->, *); only the tree creates and moves
 * handles.
 */
class ZO_EXPORT ItemPtr {
  public:
    ItemPtr() noexcept = default;
    /* Takes ownership of a heap item. */
    explicit ItemPtr(GraphConfigItem* item) noexcept : bits_(reinterpret_cast<uintptr_t>(item)) {}
    ItemPtr(ItemPtr&& other) noexcept : bits_(other.bits_) { other.bits_ = 0; }
    ItemPtr& operator=(ItemPtr&& other) noexcept {
        if (this != &other) {
            reset();
            bits_ = other.bits_;
            other.bits_ = 0;
        }
        return *this;
    }
    ItemPtr(const ItemPtr&) = delete;
    ItemPtr& operator=(const ItemPtr&) = delete;
    ~ItemPtr() { reset(); }

    /* The item, or null. */
    GraphConfigItem* get() const noexcept {
        // The low bit marks items of a read tree (see above); the rest is the pointer.
        return reinterpret_cast<GraphConfigItem*>(  // NOLINT(performance-no-int-to-ptr)
            bits_ & ~kInTreeStorage);
    }
    GraphConfigItem* operator->() const noexcept { return get(); }
    GraphConfigItem& operator*() const noexcept { return *get(); }
    explicit operator bool() const noexcept { return bits_ != 0; }
    /* True when the item lives in the storage of a tree read from a document. */
    bool inTreeStorage() const noexcept { return (bits_ & kInTreeStorage) != 0; }

    /* Deletes (or, in tree storage, destroys) the item; the handle is then empty. */
    void reset() noexcept {
        if (bits_ != 0) {
            destroy();
        }
    }
    /* reset(), then takes ownership of a heap item. */
    void reset(GraphConfigItem* item) noexcept {
        reset();
        bits_ = reinterpret_cast<uintptr_t>(item);
    }

  private:
    friend class GraphConfigNode;
    friend class TreeBuilder;
    // Items are at least 8-byte aligned, so the lowest bit of the address
    // is free for the mark.
    static constexpr uintptr_t kInTreeStorage = 1;
    void destroy() noexcept;
    // Gives up ownership without deleting: for a heap item the caller keeps.
    void release() noexcept { bits_ = 0; }

    uintptr_t bits_ = 0;
};

/*
 * The items of a node: (key, item) entries in one array, ascending keys,
 * insertion order within a key (a multimap laid out flat). Iterators are
 * plain pointers and stay valid until the node's items change. The array of
 * a node read from a document lives in tree storage until it has to grow.
 */
class ZO_EXPORT ItemArray {
  public:
    using value_type = std::pair<uint32_t, ItemPtr>;
    using iterator = value_type*;
    using const_iterator = const value_type*;

    ItemArray() noexcept = default;
    ItemArray(const ItemArray&) = delete;
    ItemArray& operator=(const ItemArray&) = delete;
    /* Deletes every item (the node's destructor has emptied it already). */
    ~ItemArray();

    const_iterator begin() const noexcept { return data_; }
    const_iterator end() const noexcept { return data_ + size_; }
    iterator begin() noexcept { return data_; }
    iterator end() noexcept { return data_ + size_; }
    size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }
    value_type& back() noexcept { return data_[size_ - 1]; }

    /*
     * Stores (key, item) before position and returns where it went. Throws
     * std::bad_alloc when the array cannot grow; item is then untouched.
     */
    iterator insert(const_iterator position, uint32_t key, ItemPtr&& item);
    /* Deletes the entry's item and closes the gap. */
    void erase(const_iterator position) noexcept;
    /* Deletes the last entry's item. */
    void pop_back() noexcept { data_[--size_].~value_type(); }
    /* Room for count entries in all, so that adding up to them cannot fail. */
    void reserve(size_t count);
    /* Frees heap room left unused after the entries; never fails. */
    void releaseUnusedRoom() noexcept;

  private:
    friend class GraphConfigNode;
    friend class TreeBuilder;
    // Drops the last entry without running anything: for an item in tree
    // storage that holds nothing outside it.
    void forgetLast() noexcept { --size_; }
    // True when the entries are on the heap.
    bool ownsRoom() const noexcept { return capacity_ != 0; }
    // Takes count entries laid out in tree storage; the array must be empty.
    void adoptStored(value_type* entries, size_t count) noexcept;
    void reallocate(size_t capacity);

    value_type* data_ = nullptr;
    uint32_t size_ = 0;
    // Heap room at data_; 0 while the entries live in tree storage (or there
    // are none), so that the first growth moves them to the heap.
    uint32_t capacity_ = 0;
};

/* An attribute holding a signed 32-bit integer, -1 until a value is set. */
class ZO_EXPORT GraphConfigIntAttribute : public GraphConfigAttribute {
  public:
    GraphConfigIntAttribute() : GraphConfigAttribute(kTypeInt) {}
    explicit GraphConfigIntAttribute(int value) : GraphConfigAttribute(kTypeInt), value_(value) {}
    ~GraphConfigIntAttribute() override;

    using GraphConfigItem::getValue;
    using GraphConfigItem::setValue;
    /* Copies the value out; returns 0. */
    int getValue(int& value) const override;
    /* insertInteger(value). */
    int setValue(int value) override;

    /* Stores the value (any value); returns 0. */
    int insertInteger(int value);
    /* A new attribute with the same value, owned by the caller; null when out of memory. */
    GraphConfigIntAttribute* copy() const;

  private:
    int32_t value_ = -1;
};

/*
 * An attribute holding a text, empty until a value is set. Texts of up to
 * kInlineLength bytes are kept inside the attribute; longer ones on the heap,
 * or in tree storage for a text read from a document.
 */
class ZO_EXPORT GraphConfigStrAttribute : public GraphConfigAttribute {
  public:
    /* The longest text kept inside the attribute itself. */
    static constexpr size_t kInlineLength = 15;
    /* The longest text an attribute can hold. */
    static constexpr size_t kMaxLength = 0x7FFFFFFF;

    GraphConfigStrAttribute() : GraphConfigAttribute(kTypeString) {}
    /* Holds a copy of value; throws std::bad_alloc when out of memory (or value is too long). */
    explicit GraphConfigStrAttribute(const std::string& value);
    GraphConfigStrAttribute(const GraphConfigStrAttribute& other);
    GraphConfigStrAttribute& operator=(const GraphConfigStrAttribute& other);
    ~GraphConfigStrAttribute() override;

    using GraphConfigItem::getValue;
    using GraphConfigItem::setValue;
    /* Assigns the text to value; returns 0. */
    int getValue(std::string& value) const override;
    /* insertString(value). */
    int setValue(const std::string& value) override;

    /*
     * Stores a copy of the text; returns 0. -4 when out of memory or the text
     * is longer than kMaxLength; the old text stays then.
     */
    int insertString(const std::string& value);
    /* A new attribute with the same text, owned by the caller; null when out of memory. */
    GraphConfigStrAttribute* copy() const;

    /* The text, NUL-terminated; valid until the value changes. */
    const char* text() const noexcept {
        return length() <= kInlineLength ? text_.inlined : text_.external;
    }
    /* The text's length in bytes. */
    size_t length() const noexcept { return size_ & ~kHeapText; }

  private:
    friend class TreeBuilder;
    // Holds text of the given length: a copy inside when it is short, else
    // the text itself, NUL-terminated, which the attribute does not own (it
    // lives in the same tree storage). Inline, as the reader makes one per
    // string attribute of a document.
    GraphConfigStrAttribute(const char* text, uint32_t length) noexcept
        : GraphConfigAttribute(kTypeString), size_(length) {
        if (length <= kInlineLength) {
            std::memcpy(text_.inlined, text, length);
        } else {
            text_.external = text;
        }
    }
    // Stores a copy of length bytes; throws std::bad_alloc, leaving the text as it was.
    void assign(const char* text, size_t length);
    void freeHeapText() noexcept;

    // The length; the top bit is set when external text is owned on the heap.
    static constexpr uint32_t kHeapText = 0x80000000u;
    uint32_t size_ = 0;
    union Text {
        char inlined[kInlineLength + 1];
        const char* external;
    } text_{};
};

/*
 * A node: a keyed, ordered collection of owned items (child nodes and
 * attributes) and a non-owning link to its parent. A node has no value of its
 * own: the one-argument value operations answer -64.
 */
class ZO_EXPORT GraphConfigNode : public GraphConfigAttribute, public IGraphConfig {
  public:
    /* The items of a node (ItemArray): ascending keys, insertion order within a key. */
    using ItemMap = ItemArray;
    /* A position in a node's items; entries are (key, item). */
    using const_iterator = ItemMap::const_iterator;

    /* An empty root node. */
    GraphConfigNode() : GraphConfigAttribute(kTypeNode) {}
    GraphConfigNode(const GraphConfigNode&) = delete;
    GraphConfigNode& operator=(const GraphConfigNode&) = delete;
    /* Deletes the node with its whole subtree. */
    ~GraphConfigNode() override;

    /*
     * Looser path resolution, for attributes that may still have to be
     * created: as getDescendant(path), except that a failure at the last key
     * (not the first) answers the current node whether or not that key holds
     * anything. Null otherwise.
     */
    virtual GraphConfigNode* getGraphConfigItem(const ItemUID& path) const;
    IGraphConfig* getRoot() const override;
    IGraphConfig* getAncestor() const override;
    IGraphConfig* getDescendant(uint32_t key) const override;
    IGraphConfig* getDescendant(const ItemUID& path) const override;
    IGraphConfig* getDescendantByString(const std::string& path) const override;
    int getDescendantCount() const override;
    int getValue(uint32_t key, int& value) const override;
    int getValue(const ItemUID& path, int& value) const override;
    int getValue(uint32_t key, std::string& value) const override;
    int getValue(const ItemUID& path, std::string& value) const override;
    int setValue(uint32_t key, int value) override;
    int setValue(const ItemUID& path, int value) override;
    int setValue(uint32_t key, const std::string& value) override;
    int setValue(const ItemUID& path, const std::string& value) override;
    std::string getName() const override;
    uint32_t getUid() const override;
    bool isType(uint32_t typeKey) const override;

    /* A node's own value operations, all answering -64. */
    using GraphConfigItem::getValue;
    using GraphConfigItem::setValue;

    /*
     * The first item under key when it is a node: stored in out, 0. An
     * attribute there: -32, out untouched. Nothing there: out set to null, -2.
     */
    int getDescendant(uint32_t key, GraphConfigNode** out) const;
    /* getDescendantByString(path): on success the node is stored in out and 0 returned; else -32.
     */
    int getDescendantByString(const std::string& path, GraphConfigNode** out) const;
    /*
     * Deprecated, use NodeIterator. From position (an iterator into this
     * node's items), the next child node with a string attribute under
     * attributeKey equal to value: stored in out, position moved just past
     * it, 0. Without one: position at the end, -256.
     */
    int getDescendant(uint32_t attributeKey, const std::string& value, const_iterator& position,
                      GraphConfigNode** out) const;
    /* Deprecated, use NodeIterator. The integer form of the lookup above. */
    int getDescendant(uint32_t attributeKey, int value, const_iterator& position,
                      GraphConfigNode** out) const;
    /* Deprecated: stores the parent (null for a root) in out; -32 for a null out. */
    int getAncestor(GraphConfigNode** out) const;
    /* The topmost node of the tree; a root returns itself. */
    GraphConfigNode* getRootNode() const;

    /*
     * Stores item under key, after any items already under it, and takes
     * ownership; a node's parent becomes this node. -2 for a null item, -4
     * when out of memory (the caller keeps the item then).
     */
    int insertDescendant(GraphConfigItem* item, uint32_t key);
    /* Deletes the first item under key with its subtree; 0 also when there is none. */
    int removeDescendant(uint32_t key);
    /* Adds a string attribute under key; -512 when any item is already stored there. */
    int addValue(uint32_t key, const std::string& value);
    /* Adds an integer attribute under key; -512 when any item is already stored there. */
    int addValue(uint32_t key, int value);
    /* True when any item is stored under key. */
    bool hasItem(uint32_t key) const;
    /* The first item under key, of any kind, or null. The node keeps ownership. */
    GraphConfigItem* getItem(uint32_t key) const;

    /*
     * Hands out the first item under key, whatever its kind (a node's value
     * operations answer -64), and returns 0; -2 without one, out untouched.
     */
    int getAttribute(uint32_t key, GraphConfigAttribute** out) const;
    /*
     * The item under the path's last key in the node getDescendant(path)
     * resolves. -8 for a null out; otherwise out is cleared first and -64
     * returned when the node or the item is missing. A one-key path therefore
     * never finds an attribute of this node itself.
     */
    int getAttribute(const ItemUID& path, GraphConfigAttribute** out) const;
    /*
     * Creates the attribute the path names, with its default value (0 under
     * an integer key, "" otherwise), and at most one missing node above it.
     * Returns 0 with the new attribute in out; -32 for a null out; -2 when
     * the attribute exists, the path names a node, or more is missing. The
     * tree is unchanged on failure.
     */
    int createAttribute(const ItemUID& path, GraphConfigAttribute** out);
    /*
     * Sets the attribute the path names from text, creating it when missing
     * (a one-key path means this node). Integer attributes convert the text
     * like std::stoi and throw std::invalid_argument or std::out_of_range on
     * a malformed or too large number (a newly created attribute then stays
     * with its default). Bypasses option lists. -64 when the holding node is
     * missing or the attribute cannot be created; the item's own setValue
     * result otherwise.
     */
    int setValueFromStr(const ItemUID& path, std::string text);

    /* The first item entry, in stored order. */
    const_iterator begin() const { return items_.begin(); }
    /* The position past the last item entry. */
    const_iterator end() const { return items_.end(); }
    /* The entries stored under key, in insertion order. */
    std::pair<const_iterator, const_iterator> equalRange(uint32_t key) const {
        return {lowerBound(key), upperBound(key)};
    }
    /* Advances position to the next attribute entry (or end()) and returns it. */
    const_iterator getNextAttribute(const_iterator& position) const;

    /* A deep copy with no parent, owned by the caller; null when out of memory. */
    GraphConfigNode* copy() const;

    /*
     * Applies the option that node's option lists (its "options" children
     * whose "attribute" is attributeKey) hold for value: 0 when the option's
     * "apply" subtree was merged into node's tree, -2048 when the option has
     * no "apply", -64 when no option list admits value, -32 for a null node,
     * or the merge's failure code.
     */
    static int handleAttributeOptions(GraphConfigNode* node, uint32_t attributeKey,
                                      const std::string& value);
    /*
     * Turns this copy of a base node into the node that config (a settings
     * node) describes: type from "base_type", name from config's name, option
     * subtrees re-keyed to the new name, config's overrides applied. 0 on
     * success; on failure the node is left partly converted.
     */
    int changeBaseNodeIntoNode(GraphConfigNode& config);

    /* Logs this node's address, kind, parent and item count (level 16). */
    void dumpNode() const;
    /* Logs one line per item of node's subtree (level 16), indented two blanks per depth. */
    static void dumpNodeTree(const GraphConfigNode* node, int depth);

  private:
    /* The document reader's bulk building (zo_camera/velt/tree/tree_builder.h). */
    friend class TreeBuilder;
    /* The root of a read tree, which owns its storage (zo_camera/velt/tree/tree_storage.h). */
    friend class StorageRoot;

    /* Deletes every item, depth first, without recursion or allocation. */
    void destroyItems() noexcept;
    /* True for an emptied item in tree storage whose destructor has nothing to do. */
    static bool holdsNothingOutsideStorage(const GraphConfigItem& item) noexcept;

    /*
     * The option rule of setValue: 0 (or -2048) when the attribute's option
     * list admits the text and the value may be stored, otherwise a failure
     * code and the value stays.
     */
    int admitByOptions(uint32_t key, const std::string& text);
    /* Shared by both path resolutions; loose answers the holder of a missing last key. */
    GraphConfigNode* resolvePath(const ItemUID& path, bool loose) const;
    /* The first item under key, or null. */
    GraphConfigItem* firstItem(uint32_t key) const;
    /* The first entry under key, or the entry after the last smaller key. */
    const_iterator lowerBound(uint32_t key) const {
        return std::lower_bound(
            items_.begin(), items_.end(), key,
            [](const ItemMap::value_type& entry, uint32_t wanted) { return entry.first < wanted; });
    }
    /* The entry after the last one under key or a smaller key. */
    const_iterator upperBound(uint32_t key) const {
        return std::upper_bound(
            items_.begin(), items_.end(), key,
            [](uint32_t wanted, const ItemMap::value_type& entry) { return wanted < entry.first; });
    }

    ItemMap items_;
    GraphConfigNode* ancestor_ = nullptr;
};

}  // namespace VELT

#endif /* VELT_GRAPH_CONFIG_NODE_H */
