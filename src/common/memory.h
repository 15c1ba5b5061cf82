// Heap blocks for everything the plug-in owns (settings buffers, the history and its entries).
// Going through one place lets tests count what is still held after shut-down and make an
// allocation fail on purpose, which a player running for weeks may one day see.
#pragma once

#include <cstddef>
#include <cstdint>

namespace memory {

// Returns a block of at least `size` bytes, or null when the heap (or a test) refuses.
void* allocate(size_t size);

// Releases a block from allocate(); null is ignored.
void release(void* block);

// Number of blocks allocated and not yet released, process-wide.
int32_t liveBlocks();

// Number of allocations refused so far, process-wide: how often the plug-in asked in vain.
int32_t refusedAllocations();

// For tests: the next `successes` allocations succeed and every later one fails, until
// this is called again. A negative value (the default) never fails.
void failAllocationsAfter(int32_t successes);

} // namespace memory
