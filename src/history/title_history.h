// The titles of the tracks the plug-in has admitted, oldest first, in a bounded ring. The newest
// entry is the track playing now (or last played); the ones before it feed the status page's
// recent-track list and the repeat filter.
#pragma once

#include <cstdint>

// Physical slots of the ring; the index mapping always wraps here, whatever `capacity` holds.
constexpr int32_t kHistoryRingSize = 1000;

struct TitleHistory {
    char* slots[kHistoryRingSize]; // owned copies; meaningful only while they hold a live entry
    int32_t capacity;              // most live entries, 1..kHistoryRingSize
    int32_t count;                 // live entries, 0..capacity
    int32_t start;                 // physical slot of the oldest entry, 0..kHistoryRingSize-1
};

namespace history {

// Returns a new empty history, or null when the heap refuses. `capacity` outside
// 1..kHistoryRingSize is taken as the nearest bound.
TitleHistory* create(int32_t capacity);

// Appends a private copy of `title` as the newest entry, dropping the oldest first when the ring
// is full. Returns false when the copy cannot be allocated: the title is not recorded and nothing
// changes.
bool append(TitleHistory* history, const char* title);

// The entry at logical index `index` (0 is the oldest), or the shared empty string for any index
// outside 0..count-1. Valid until that entry is dropped.
const char* at(const TitleHistory* history, int64_t index);

// The newest entry, or the shared empty string when the history is empty.
const char* newest(const TitleHistory* history);

// Frees the oldest entry; does nothing on an empty history.
void dropOldest(TitleHistory* history);

// Frees every entry and the history itself; null is ignored.
void destroy(TitleHistory* history);

} // namespace history
