#include "common/memory.h"

#include <atomic>
#include <cstdlib>

namespace {
std::atomic<int32_t> liveBlockCount{0};            // 32-bit atomic: both threads allocate
std::atomic<int32_t> allocationsBeforeFailure{-1}; // 32-bit atomic: negative means never fail
std::atomic<int32_t> refusedCount{0};              // 32-bit atomic: both threads allocate
} // namespace

namespace memory {

void* allocate(size_t size) {
    int32_t left = allocationsBeforeFailure.load();
    while (left >= 0) {
        if (left == 0) {
            refusedCount.fetch_add(1);
            return nullptr;
        }
        if (allocationsBeforeFailure.compare_exchange_weak(left, left - 1))
            break;
    }
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block != nullptr)
        liveBlockCount.fetch_add(1);
    else
        refusedCount.fetch_add(1);
    return block;
}

void release(void* block) {
    if (block == nullptr)
        return;
    liveBlockCount.fetch_sub(1);
    std::free(block);
}

int32_t liveBlocks() {
    return liveBlockCount.load();
}

int32_t refusedAllocations() {
    return refusedCount.load();
}

void failAllocationsAfter(int32_t successes) {
    allocationsBeforeFailure.store(successes);
}

} // namespace memory
