// Tree storage blocks, the root that owns them, and how items are destroyed
// by their holder whether they live in tree storage or on the heap.

#include "zo_camera/velt/tree/tree_storage.h"

#include <algorithm>
#include <cstdint>

#include "zo_camera/velt/tree/block_cache.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace VELT {

namespace {

// Blocks start small, so that small documents stay small, and double up to
// a size that keeps a large document to a few hundred blocks while staying
// below the size from which malloc maps every block on its own. Blocks of
// the largest size are the ones the cache keeps when a tree goes.
constexpr size_t kFirstBlockRoom = size_t{4} << 10;
constexpr size_t kLargestBlockRoom = block_cache::kBlockBytes - 16;
// Requests above this share no block: they get one of their own, so that
// a huge text or item array wastes no room of the current block.
constexpr size_t kLargestSharedRequest = kLargestBlockRoom / 4;

// Room not in use is poisoned in the AddressSanitizer build, so that any
// access to it is reported.
void setInUse(const void* room, size_t bytes, bool inUse) {
#if defined(__SANITIZE_ADDRESS__)
    if (inUse) {
        ASAN_UNPOISON_MEMORY_REGION(room, bytes);
    } else {
        ASAN_POISON_MEMORY_REGION(room, bytes);
    }
#else
    static_cast<void>(room);
    static_cast<void>(bytes);
    static_cast<void>(inUse);
#endif
}

size_t aligned(size_t bytes) {
    constexpr size_t kAlignment = 8;
    return (bytes + kAlignment - 1) & ~(kAlignment - 1);
}

}  // namespace

TreeStorage::~TreeStorage() {
    while (last_ != nullptr) {
        Block* previous = last_->previous;
        if (last_->size != kLargestBlockRoom || !block_cache::keep(last_)) {
            setInUse(last_ + 1, last_->size, true);
            ::operator delete(last_);
        }
        last_ = previous;
    }
}

#if defined(__SANITIZE_ADDRESS__)
void TreeStorage::markInUse(const void* room, size_t bytes) noexcept {
    setInUse(room, bytes, true);
}
#endif

void* TreeStorage::allocateInNewBlock(size_t bytes) {
    if (bytes > kLargestSharedRequest) {
        Block* block = newBlock(bytes);
        setInUse(block + 1, bytes, true);
        return block + 1;
    }
    nextBlockRoom_ =
        nextBlockRoom_ == 0 ? kFirstBlockRoom : std::min(nextBlockRoom_ * 2, kLargestBlockRoom);
    Block* block = newBlock(nextBlockRoom_);
    // The rest of the old block is left unused.
    next_ = reinterpret_cast<char*>(block + 1);
    end_ = next_ + block->size;
    void* room = next_;
    next_ += bytes;
    setInUse(room, bytes, true);
    return room;
}

TreeStorage::Block* TreeStorage::newBlock(size_t room) {
    static_assert(sizeof(Block) % 8 == 0, "room after a block header stays aligned");
    static_assert(sizeof(Block) + kLargestBlockRoom == block_cache::kBlockBytes,
                  "the largest blocks are the size the cache keeps");
    if (room > SIZE_MAX - sizeof(Block)) {
        throw std::bad_alloc();
    }
    void* memory = room == kLargestBlockRoom ? block_cache::take() : nullptr;
    if (memory == nullptr) {
        memory = ::operator new(sizeof(Block) + room);
    }
    auto* block = static_cast<Block*>(memory);
    block->previous = last_;
    block->size = room;
    last_ = block;
    // Room is opened for use as it is handed out.
    setInUse(block + 1, room, false);
    return block;
}

void TreeStorage::retire(const void* room, size_t bytes) noexcept {
    setInUse(room, aligned(bytes), false);
}

StorageRoot::~StorageRoot() {
    // The items live in storage_, which goes before the base class's
    // destructor would delete them.
    destroyItems();
}

void ItemPtr::destroy() noexcept {
    GraphConfigItem* item = get();
    const bool stored = inTreeStorage();
    bits_ = 0;
    if (!stored) {
        delete item;
        return;
    }
    // In tree storage only the destructor runs, for what an item holds on
    // the heap; an integer attribute holds nothing, which spares most items
    // of a read tree even that.
    size_t bytes = 0;
    switch (item->getType()) {
        case GraphConfigItem::kTypeInt:
            bytes = sizeof(GraphConfigIntAttribute);
            break;
        case GraphConfigItem::kTypeString:
            bytes = sizeof(GraphConfigStrAttribute);
            item->~GraphConfigItem();
            break;
        default:
            bytes = sizeof(GraphConfigNode);
            item->~GraphConfigItem();
            break;
    }
    TreeStorage::retire(item, bytes);
}

}  // namespace VELT
