// Kept blocks form a list linked through their first bytes, under one lock:
// a block is taken or offered once per 64 KiB of tree, so the lock is never
// where the time goes.

#include "zo_camera/velt/tree/block_cache.h"

#include <mutex>
#include <new>
#include <type_traits>

#include "zo_tree_cache.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace VELT {
namespace block_cache {

namespace {

struct KeptBlock {
    KeptBlock* next;
};

struct Cache {
    std::mutex lock;
    KeptBlock* first = nullptr;
    size_t bytes = 0;
    size_t limit = ZO_TREE_CACHE_DEFAULT_LIMIT;
};
// Constant-initialised and with nothing to destroy, so that trees deleted by
// static destructors at exit can still hand their blocks in. What is kept at
// exit stays reachable: leak checkers do not report it.
Cache gCache;
static_assert(std::is_trivially_destructible<Cache>::value, "the cache outlives every tree");

// A kept block is poisoned in the AddressSanitizer build but for its link,
// so that a tree using memory it has freed is still reported. Poisoning
// happens while the block is nobody else's: before it is linked, after it is
// unlinked.
void setKept(KeptBlock* block, bool kept) {
#if defined(__SANITIZE_ADDRESS__)
    if (kept) {
        ASAN_POISON_MEMORY_REGION(block + 1, kBlockBytes - sizeof(KeptBlock));
    } else {
        ASAN_UNPOISON_MEMORY_REGION(block, kBlockBytes);
    }
#else
    static_cast<void>(block);
    static_cast<void>(kept);
#endif
}

// Unlinks kept blocks until at most limit bytes are kept; the caller frees
// them outside the lock.
KeptBlock* unlinkAbove(size_t limit) {
    KeptBlock* unlinked = nullptr;
    while (gCache.bytes > limit) {
        KeptBlock* block = gCache.first;
        gCache.first = block->next;
        gCache.bytes -= kBlockBytes;
        block->next = unlinked;
        unlinked = block;
    }
    return unlinked;
}

void freeAll(KeptBlock* blocks) {
    while (blocks != nullptr) {
        KeptBlock* next = blocks->next;
        setKept(blocks, false);
        ::operator delete(blocks);
        blocks = next;
    }
}

}  // namespace

void* take() noexcept {
    KeptBlock* block = nullptr;
    {
        const std::lock_guard<std::mutex> guard(gCache.lock);
        block = gCache.first;
        if (block == nullptr) {
            return nullptr;
        }
        gCache.first = block->next;
        gCache.bytes -= kBlockBytes;
    }
    setKept(block, false);
    return block;
}

bool keep(void* room) noexcept {
    auto* block = static_cast<KeptBlock*>(room);
    setKept(block, true);
    {
        const std::lock_guard<std::mutex> guard(gCache.lock);
        if (gCache.bytes <= gCache.limit && gCache.limit - gCache.bytes >= kBlockBytes) {
            block->next = gCache.first;
            gCache.first = block;
            gCache.bytes += kBlockBytes;
            return true;
        }
    }
    setKept(block, false);
    return false;
}

}  // namespace block_cache
}  // namespace VELT

using VELT::block_cache::gCache;

size_t zo_tree_cache_set_limit(size_t bytes) {
    VELT::block_cache::KeptBlock* unlinked = nullptr;
    size_t previous = 0;
    {
        const std::lock_guard<std::mutex> guard(gCache.lock);
        previous = gCache.limit;
        gCache.limit = bytes;
        unlinked = VELT::block_cache::unlinkAbove(bytes);
    }
    VELT::block_cache::freeAll(unlinked);
    return previous;
}

void zo_tree_cache_release(void) {
    VELT::block_cache::KeptBlock* unlinked = nullptr;
    {
        const std::lock_guard<std::mutex> guard(gCache.lock);
        unlinked = VELT::block_cache::unlinkAbove(0);
    }
    VELT::block_cache::freeAll(unlinked);
}

size_t zo_tree_cache_bytes(void) {
    const std::lock_guard<std::mutex> guard(gCache.lock);
    return gCache.bytes;
}
