// The storage of a tree read from a document: large blocks from which its
// nodes, attributes, item arrays and long texts are carved one after the
// other, and which are freed together when the tree's root is deleted (why
// that is safe: the top of velt_graph_config_node.h).
#ifndef ZO_CAMERA_VELT_TREE_TREE_STORAGE_H
#define ZO_CAMERA_VELT_TREE_TREE_STORAGE_H

#include <cstddef>
#include <new>
#include <utility>

#include "velt_graph_config_node.h"

namespace VELT {

class TreeStorage {
  public:
    TreeStorage() noexcept = default;
    TreeStorage(const TreeStorage&) = delete;
    TreeStorage& operator=(const TreeStorage&) = delete;
    // Frees every block, or hands it to the block cache (block_cache.h) for
    // the next tree; whatever was placed in them must be destroyed already.
    ~TreeStorage();

    // bytes of 8-byte aligned room. Blocks come from the block cache or
    // operator new, so this throws std::bad_alloc when out of memory (and
    // allocation-failure tests reach it). Inline, since a read tree takes a million of these.
    void* allocate(size_t bytes) {
        bytes = (bytes + kAlignment - 1 + (bytes == 0 ? 1 : 0)) & ~(kAlignment - 1);
        if (static_cast<size_t>(end_ - next_) >= bytes) {
            void* room = next_;
            next_ += bytes;
            markInUse(room, bytes);
            return room;
        }
        return allocateInNewBlock(bytes);
    }

    // A T built in place; throws what allocate or T's constructor throws.
    template <typename T, typename... Args>
    T* create(Args&&... args) {
        return new (allocate(sizeof(T))) T(std::forward<Args>(args)...);
    }

    // Hands back room that nothing will use again. The bytes stay with the
    // block until the storage goes; in the AddressSanitizer build any later
    // access to them is reported.
    static void retire(const void* room, size_t bytes) noexcept;

  private:
    static constexpr size_t kAlignment = 8;
#if defined(__SANITIZE_ADDRESS__)
    // Room handed out is opened for use (it is poisoned until then).
    static void markInUse(const void* room, size_t bytes) noexcept;
#else
    static void markInUse(const void*, size_t) noexcept {}
#endif
    struct Block {
        Block* previous;
        size_t size;  // bytes of room after the header
    };
    void* allocateInNewBlock(size_t bytes);
    Block* newBlock(size_t room);

    Block* last_ = nullptr;  // every block, newest first
    char* next_ = nullptr;   // free room of the current block
    char* end_ = nullptr;
    size_t nextBlockRoom_ = 0;
};

// The root of a tree read from a document: an ordinary node that also owns
// the storage its subtree lives in. Deleting it deletes the subtree first and
// frees the storage after.
class StorageRoot final : public GraphConfigNode {
  public:
    StorageRoot() = default;
    ~StorageRoot() override;

    TreeStorage& storage() noexcept { return storage_; }

  private:
    TreeStorage storage_;
};

}  // namespace VELT

#endif
