// Costs of the decisions the worker makes on every new track, on a full history of realistic
// "Artist - Title" entries, with the windows that make the filter do the most work; and what a
// full history holds in memory.
#include <benchmark/benchmark.h>

#include <malloc.h> // malloc_usable_size: what the allocator really set aside for each entry

#include <cstdio>
#include <cstring>
#include <string>

#include "history/repeat_filter.h"
#include "history/title_history.h"

namespace {

// Distinct artists (so no early refusal) whose titles all begin alike, so that every comparison
// reads a few characters before it differs.
std::string realisticTitle(int i) {
    static const char* const words[] = {"Midnight", "Electric", "Golden", "Silent", "Broken", "Crystal"};
    char title[128];
    std::snprintf(title, sizeof title, "%c%c%c Band %d - %s %s (Radio Edit)", 'A' + i % 26,
                  'a' + (i / 26) % 26, 'a' + (i / 676) % 26, i, words[i % 6], words[(i / 6) % 6]);
    return title;
}

// 100 characters: the long end of what a stream's tags give.
std::string longTitle(int i) {
    std::string title = realisticTitle(i) + " [Live at the Royal Albert Hall, Remastered]";
    while (title.size() < 100)
        title += static_cast<char>('a' + (title.size() + i) % 26);
    title.resize(100);
    return title;
}

TitleHistory* fullHistory(bool longTitles = false) {
    TitleHistory* history = history::create(1000);
    for (int i = 0; i < 1000; i++)
        history::append(history, longTitles ? longTitle(i).c_str() : realisticTitle(i).c_str());
    return history;
}

// state.range(0): artist window, state.range(1): title window, state.range(2): 1 for a title
// that is admitted, 0 for one refused by the oldest entry the scans reach.
void BM_Admits(benchmark::State& state) {
    TitleHistory* history = fullHistory();
    const auto artistLimit = static_cast<int32_t>(state.range(0));
    const auto titleLimit = static_cast<int32_t>(state.range(1));
    const bool admitted = state.range(2) != 0;
    // Refused: a whole-title repeat of entry 0 (title window 1000), or its artist (artist window 1000).
    std::string title = admitted ? "Zzz Newcomer - Fresh Song" : history::at(history, 0);
    bool decision = false;
    for (auto _ : state) {
        decision = history::admits(history, title.c_str(), artistLimit, titleLimit);
        benchmark::DoNotOptimize(decision);
    }
    if (decision != admitted)
        state.SkipWithError("unexpected decision");
    history::destroy(history);
}
BENCHMARK(BM_Admits)
    ->ArgNames({"A", "L", "admitted"})
    ->Args({1000, 1000, 1})
    ->Args({1000, 1000, 0})
    ->Args({500, 1000, 1})
    ->Args({500, 1000, 0});

void BM_AppendToFullRing(benchmark::State& state) {
    TitleHistory* history = fullHistory();
    const std::string title = realisticTitle(4242);
    for (auto _ : state)
        history::append(history, title.c_str());
    history::destroy(history);
}
BENCHMARK(BM_AppendToFullRing);

// The memory a full history holds against the bytes of its titles. Timed: filling a ring from
// empty and freeing it. Counters (per ring): title_bytes, the titles' lengths plus terminators;
// ring_bytes, sizeof(TitleHistory); entry_block_bytes, the entries' usable heap blocks;
// held_bytes, the two together; held_per_title_byte, held_bytes over title_bytes; with_headers,
// the heap's footprint (the ring's block as allocated, plus the size word before every block).
// state.range(0): 1 for 100-character titles, 0 for realistic ones (44 characters on average).
void BM_FullHistoryMemory(benchmark::State& state) {
    const bool longTitles = state.range(0) != 0;
    for (auto _ : state) {
        TitleHistory* history = fullHistory(longTitles);
        benchmark::DoNotOptimize(history);
        history::destroy(history);
    }
    TitleHistory* history = fullHistory(longTitles);
    size_t titleBytes = 0, entryBlocks = 0;
    for (int32_t i = 0; i < history->count; i++) {
        const char* entry = history::at(history, i);
        titleBytes += std::strlen(entry) + 1;
        entryBlocks += malloc_usable_size(const_cast<char*>(entry));
    }
    const size_t held = sizeof(TitleHistory) + entryBlocks;
    // The heap's own footprint: the ring's block as allocated, and a size word before every block.
    const size_t footprint =
        malloc_usable_size(history) + entryBlocks + sizeof(size_t) * (history->count + 1);
    state.counters["title_bytes"] = static_cast<double>(titleBytes);
    state.counters["ring_bytes"] = static_cast<double>(sizeof(TitleHistory));
    state.counters["entry_block_bytes"] = static_cast<double>(entryBlocks);
    state.counters["held_bytes"] = static_cast<double>(held);
    state.counters["held_per_title_byte"] = static_cast<double>(held) / static_cast<double>(titleBytes);
    state.counters["with_headers"] = static_cast<double>(footprint);
    history::destroy(history);
}
BENCHMARK(BM_FullHistoryMemory)->ArgName("long")->Arg(0)->Arg(1);

} // namespace
