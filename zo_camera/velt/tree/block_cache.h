// The process-wide cache of tree storage blocks behind zo_tree_cache.h:
// blocks of deleted trees kept for the next trees, so that a document read
// again takes memory the process has rather than fresh pages. Only blocks of
// one size are kept, the size a large tree takes nearly all its blocks at.
#ifndef ZO_CAMERA_VELT_TREE_BLOCK_CACHE_H
#define ZO_CAMERA_VELT_TREE_BLOCK_CACHE_H

#include <cstddef>

namespace VELT {
namespace block_cache {

// The size of the blocks kept, in bytes: 64 KiB of room after a 16-byte
// header.
constexpr size_t kBlockBytes = (size_t{64} << 10) + 16;

// A kept block of kBlockBytes, now the caller's to free with operator
// delete; null when none is kept.
void* take() noexcept;
// Offers block (kBlockBytes from operator new); true when it is kept, false
// when the cache is full and the block is still the caller's.
bool keep(void* block) noexcept;

}  // namespace block_cache
}  // namespace VELT

#endif
