#include "reliability/alloc_sweep/failing_new.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Every block carries a header saying whether it was allocated while armed,
// so frees of older blocks do not disturb the count of live ones.
struct alignas(std::max_align_t) Header {
    uint32_t magic;
    bool armed;
};
constexpr uint32_t kMagic = 0x5A4F564B;

std::atomic<bool> g_armed{false};
std::atomic<bool> g_paused{false};
std::atomic<int64_t> g_failAt{-1};
std::atomic<int64_t> g_attempts{0};
std::atomic<int64_t> g_live{0};

void* allocate(std::size_t size) {
    const bool armed = g_armed.load() && !g_paused.load();
    if (armed) {
        const int64_t attempt = g_attempts.fetch_add(1);
        const int64_t failAt = g_failAt.load();
        if (failAt >= 0 && attempt >= failAt) {
            throw std::bad_alloc();
        }
    }
    void* block = std::malloc(sizeof(Header) + (size == 0 ? 1 : size));
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    Header* header = static_cast<Header*>(block);
    header->magic = kMagic;
    header->armed = armed;
    if (armed) {
        g_live.fetch_add(1);
    }
    return header + 1;
}

void release(void* pointer) noexcept {
    if (pointer == nullptr) {
        return;
    }
    Header* header = static_cast<Header*>(pointer) - 1;
    if (header->magic != kMagic) {
        std::abort();
    }
    if (header->armed) {
        g_live.fetch_sub(1);
    }
    header->magic = 0;
    std::free(header);
}

}  // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* pointer) noexcept {
    release(pointer);
}
void operator delete[](void* pointer) noexcept {
    release(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
    release(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
    release(pointer);
}
void operator delete(void* pointer, const std::nothrow_t&) noexcept {
    release(pointer);
}
void operator delete[](void* pointer, const std::nothrow_t&) noexcept {
    release(pointer);
}

namespace zovesk_test {

void armFailingNew(int64_t failAt) {
    g_attempts.store(0);
    g_failAt.store(failAt);
    g_armed.store(true);
}

void disarmFailingNew() {
    g_armed.store(false);
    g_failAt.store(-1);
}

void pauseFailingNew() {
    g_paused.store(true);
}

void resumeFailingNew() {
    g_paused.store(false);
}

int64_t failingNewAttempts() {
    return g_attempts.load();
}

int64_t failingNewLiveBlocks() {
    return g_live.load();
}

}  // namespace zovesk_test
