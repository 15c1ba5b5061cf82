// Ring arithmetic for the title history. Logical index i lives in slot start + i, wrapped once at
// the ring size; entries are only ever added at the newest end and dropped at the oldest.
#include "history/title_history.h"

#include <cstring>

#include "common/empty_string.h"
#include "common/memory.h"

namespace {

int32_t physicalSlot(const TitleHistory* history, int32_t index) {
    int32_t slot = history->start + index;
    return slot >= kHistoryRingSize ? slot - kHistoryRingSize : slot;
}

} // namespace

namespace history {

TitleHistory* create(int32_t capacity) {
    auto* history = static_cast<TitleHistory*>(memory::allocate(sizeof(TitleHistory)));
    if (history == nullptr)
        return nullptr;
    if (capacity < 1)
        capacity = 1;
    if (capacity > kHistoryRingSize)
        capacity = kHistoryRingSize;
    history->capacity = capacity;
    history->count = 0;
    history->start = 0;
    return history;
}

void append(TitleHistory* history, const char* title) {
    // Copy first, so a refused allocation costs nothing: the oldest entry stays.
    size_t size = std::strlen(title) + 1;
    auto* copy = static_cast<char*>(memory::allocate(size));
    if (copy == nullptr)
        return;
    std::memcpy(copy, title, size);
    if (history->count == history->capacity)
        dropOldest(history);
    history->slots[physicalSlot(history, history->count)] = copy;
    history->count++;
}

const char* at(const TitleHistory* history, int64_t index) {
    if (index < 0 || index >= history->count)
        return sharedEmptyString;
    return history->slots[physicalSlot(history, static_cast<int32_t>(index))];
}

const char* newest(const TitleHistory* history) {
    return at(history, int64_t{history->count} - 1);
}

void dropOldest(TitleHistory* history) {
    if (history->count == 0)
        return;
    memory::release(history->slots[history->start]);
    history->slots[history->start] = nullptr;
    history->start = history->start == kHistoryRingSize - 1 ? 0 : history->start + 1;
    history->count--;
}

void destroy(TitleHistory* history) {
    if (history == nullptr)
        return;
    while (history->count > 0)
        dropOldest(history);
    memory::release(history);
}

} // namespace history
