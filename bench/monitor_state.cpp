// The benchmark's plug-in state and worker.
#include "monitor_state.h"

#include <cstdio>
#include <cstdlib>

#include "common/plugin_state.h"
#include "history/title_history.h"
#include "monitor/track_monitor.h"
#include "page/page_render.h"
#include "settings/settings_store.h"
#include "monitor_probe.h"
#include "support/test_files.h"

std::string pagePath;

std::string expectedPage(int32_t playing, const char* current) {
    settings::TextSettings texts;
    settings::copyTexts(&texts);
    const PageContent content = {
        texts.HTMLTitle, texts.HTMLHeader, pluginState.settings.RecentTitleListLength,
        playing,         current,          pluginState.history};
    std::string page(page::render(content, nullptr, 0), '\0');
    page::render(content, &page[0], page.size());
    return page;
}

void setUpState(int32_t rows) {
    pluginState.hostWindow = probe.player.window;
    pluginState.history = history::create(kHistoryRingSize);
    pluginState.currentTitle = nullptr;
    pluginState.playing = 0;
    if (pluginState.history == nullptr || !settings::allocateTextBuffers()) {
        std::printf("error: out of memory\n");
        std::exit(1);
    }
    for (int i = 0; i < kHistoryRingSize; i++)
        history::append(pluginState.history, benchTitle(i, "Earlier").c_str());
    settings::TextSettings texts = {};
    std::snprintf(texts.OutputFilename, sizeof texts.OutputFilename, "%s", pagePath.c_str());
    std::snprintf(texts.HTMLTitle, sizeof texts.HTMLTitle, "%s", kHtmlTitle);
    std::snprintf(texts.HTMLHeader, sizeof texts.HTMLHeader, "%s", kHtmlHeader);
    settings::storeTexts(texts);
    PluginSettings& live = pluginState.settings;
    live.EnableHTMLOutput = 1;
    live.RecentTitleListLength = rows;
    live.EnablePlaylistMonitoring = 1; // the defaults: monitoring on, both windows 0
    live.SameArtistCheckLimit = 0;
    live.SameTitleCheckLimit = 0;
    live.PollInterval = 0; // the continuous poll, unless a figure asks for another
}

void tearDownState() {
    history::destroy(pluginState.history);
    pluginState.history = nullptr;
    settings::releaseTextBuffers();
    DeleteFileA(pagePath.c_str());
}

HANDLE startWorker() {
    pluginState.stopRequested = 0;
    if (!monitor::start()) {
        std::printf("error: the worker did not start\n");
        std::exit(1);
    }
    return static_cast<HANDLE>(pluginState.workerThread);
}

bool stopWorker() {
    return monitor::stop(support::kDeadlineMs) == monitor::kEnded;
}
