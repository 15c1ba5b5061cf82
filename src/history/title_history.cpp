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

bool append(TitleHistory* history, const char* title) {
    // Copy first, so a refused allocation costs nothing: the oldest entry stays.
    const size_t length = std::strlen(title);
    auto* copy = static_cast<char*>(memory::allocate(length + 1));
    if (copy == nullptr)
        return false;
    // Terminated here rather than copied: the host may rewrite its text while we read it, and the
    // copy must still end where it was measured.
    std::memcpy(copy, title, length);
    copy[length] = '\0';
    if (history->count == history->capacity)
        dropOldest(history);
    history->slots[physicalSlot(history, history->count)] = copy;
    history->count++;
    return true;
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
