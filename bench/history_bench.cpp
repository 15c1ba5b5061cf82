// Costs of the decisions the worker makes on every new track, on a full history of realistic
// "Artist - Title" entries, with the windows that make the filter do the most work.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "history/repeat_filter.h"
#include "history/title_history.h"

namespace {

// Distinct artists (so no early refusal) whose titles all begin alike, so that every comparison
// reads a few characters before it differs.
std::string realisticTitle(int i) {
    static const char* const words[] = {"Midnight", "Electric", "Golden", "Silent", "Broken", "Crystal"};
    char title[128];
    std::snprintf(title, sizeof title, "%c%c%c Band %d - %s %s (Radio Edit)", 'A' + i % 26, 'a' + (i / 26) % 26,
                  'a' + (i / 676) % 26, i, words[i % 6], words[(i / 6) % 6]);
    return title;
}

TitleHistory* fullHistory() {
    TitleHistory* history = history::create(1000);
    for (int i = 0; i < 1000; i++)
        history::append(history, realisticTitle(i).c_str());
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

} // namespace
