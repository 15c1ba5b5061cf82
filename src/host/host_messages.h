// The five window messages the plug-in exchanges with the host player's main window. Each is a
// synchronous SendMessageA: from the worker it blocks until the host's own thread has answered.
#pragma once

#include <cstdint>

namespace host {

// Message numbers and arguments of the host's general-purpose plug-in interface.
constexpr uint32_t kUserMessage = 0x400;        // WM_USER: the queries, selected by lParam
constexpr uint32_t kCommandMessage = 0x111;     // WM_COMMAND
constexpr int32_t kQueryVersion = 0;            // lParam: the host's version number
constexpr int32_t kQueryIsPlaying = 104;        // lParam: 0 when stopped
constexpr int32_t kQueryPlaylistPosition = 125; // lParam: index of the current entry
constexpr int32_t kQueryPlaylistTitle = 212;    // lParam, wParam = entry index: address of its title
constexpr int32_t kCommandNextTrack = 40048;    // wParam of WM_COMMAND

// Each sends one message to pluginState.hostWindow.
int32_t getVersion();
int32_t isPlaying();
int32_t getPlaylistPosition();
const char* getPlaylistTitle(int32_t index); // the host's own text, or null
void nextTrack();

} // namespace host
