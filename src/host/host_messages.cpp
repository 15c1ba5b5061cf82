#include "host/host_messages.h"

#include <windows.h>

#include "common/plugin_state.h"

namespace {

LRESULT sendToHost(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(static_cast<HWND>(pluginState.hostWindow), message, wParam, lParam);
}

int32_t query(int32_t which, WPARAM wParam = 0) {
    return static_cast<int32_t>(sendToHost(host::kUserMessage, wParam, which));
}

} // namespace

namespace host {

int32_t getVersion() {
    return query(kQueryVersion);
}

int32_t isPlaying() {
    return query(kQueryIsPlaying);
}

int32_t getPlaylistPosition() {
    return query(kQueryPlaylistPosition);
}

const char* getPlaylistTitle(int32_t index) {
    // The position goes back as it came: the host's own index, whatever it holds.
    return reinterpret_cast<const char*>(
        sendToHost(kUserMessage, static_cast<WPARAM>(static_cast<uint32_t>(index)), kQueryPlaylistTitle));
}

void nextTrack() {
    sendToHost(kCommandMessage, kCommandNextTrack, 0);
}

} // namespace host
