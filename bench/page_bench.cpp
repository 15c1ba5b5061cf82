// Cost of building the status page in memory, which the worker pays on every admitted track: a
// full history of long titles, with the longest table a hand-edited file can ask for and with the
// default one.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "history/title_history.h"
#include "page/page_render.h"

namespace {

// 100 characters, with a few bytes that must be escaped, as tags from the wild have.
std::string longTitle(int i) {
    std::string title = "Artist " + std::to_string(i) + " & Friends - \"Song\" <Extended Club Mix> ";
    while (title.size() < 100)
        title += static_cast<char>('a' + (title.size() + i) % 26);
    return title;
}

// state.range(0): RecentTitleListLength; state.range(1): 1 to render, 0 only to measure.
void BM_RenderPage(benchmark::State& state) {
    TitleHistory* history = history::create(1000);
    for (int i = 0; i < 1000; i++)
        history::append(history, longTitle(i).c_str());
    const PageContent content = {"Generic Server's Songbeacon Status Page",
                                 "<CENTER><B><FONT SIZE=+1>Generic Server</FONT></B></CENTER><BR>",
                                 static_cast<int32_t>(state.range(0)),
                                 1,
                                 history::newest(history),
                                 history};
    const bool render = state.range(1) != 0;
    std::vector<char> page(page::render(content, nullptr, 0));
    for (auto _ : state) {
        size_t length = page::render(content, render ? page.data() : nullptr, render ? page.size() : 0);
        benchmark::DoNotOptimize(length);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
    state.counters["page_bytes"] = static_cast<double>(page.size());
    history::destroy(history);
}
BENCHMARK(BM_RenderPage)->ArgNames({"R", "render"})->Args({1000, 1})->Args({10, 1})->Args({1000, 0});

} // namespace
