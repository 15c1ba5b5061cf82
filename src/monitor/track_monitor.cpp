// The track monitor. It never waits on a timer: between passes it only yields its time slice, so
// a new track is seen within one pass; it blocks only inside the synchronous host messages.
#include "monitor/track_monitor.h"

#include <cstring>

#include "common/plugin_state.h"
#include "history/repeat_filter.h"
#include "history/title_history.h"
#include "host/host_messages.h"
#include "page/page_file.h"

namespace monitor {

DWORD WINAPI workerMain(LPVOID) {
    while (pluginState.stopRequested == 0) {
        pluginState.currentTitle = poll();
        const char* title = pluginState.currentTitle;
        if (title != nullptr && std::strcmp(title, history::newest(pluginState.history)) != 0)
            handleNewTitle();
        Sleep(0);
    }
    return 0;
}

const char* poll() {
    pluginState.playing = host::isPlaying();
    if (pluginState.playing == 0)
        return nullptr;
    return host::getPlaylistTitle(host::getPlaylistPosition());
}

void handleNewTitle() {
    const PluginSettings& settings = pluginState.settings;
    const char* title = pluginState.currentTitle;
    if (settings.EnablePlaylistMonitoring != 0 &&
        !history::admits(pluginState.history, title, settings.SameArtistCheckLimit,
                         settings.SameTitleCheckLimit)) {
        host::nextTrack();
        return;
    }
    history::append(pluginState.history, title);
    page::write();
}

} // namespace monitor
