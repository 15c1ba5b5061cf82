// A general-purpose plug-in that misbehaves on purpose, chosen by the SB_MISBEHAVE environment
// variable, to show that the simulated host notices: "refuse-start" (startUp fails),
// "skip-everything" (asks for the next track every 20 ms, whatever plays), "skip-when-stopped"
// (asks whether the player plays, every 10 ms, and for the next track once, as soon as it is
// stopped), "hang-shutdown" (shutDown never returns), "admit-everything" (polls the player as a
// repeat filter does, but never refuses a track, whatever its limits); any other mode, e.g. "idle",
// starts and never polls the player.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstring>

#include "player/plugin_header.h"
#include "player/sim_player.h"

namespace {

char mode[32];
HANDLE skipper;
std::atomic<int32_t> stopSkipping{0};

int startUp();
void configure() {}
void shutDown();
sim::PluginHeader header = {0x10, "Misbehaving test plug-in", startUp, configure, shutDown, nullptr, nullptr};

// Polls as the real plug-in's worker does (is it playing, which entry, its title), and lets every
// title play.
DWORD WINAPI pollAndAdmitEverything(LPVOID) {
    while (stopSkipping == 0) {
        if (SendMessageA(header.hostWindow, sim::kUserMessage, 0, sim::kQueryIsPlaying) != 0) {
            const LRESULT position =
                SendMessageA(header.hostWindow, sim::kUserMessage, 0, sim::kQueryPlaylistPosition);
            SendMessageA(header.hostWindow, sim::kUserMessage, static_cast<WPARAM>(position),
                         sim::kQueryPlaylistTitle);
        }
        Sleep(0);
    }
    return 0;
}

DWORD WINAPI postNextTrackRepeatedly(LPVOID) {
    while (stopSkipping == 0) {
        PostMessageA(header.hostWindow, WM_COMMAND, 40048, 0);
        Sleep(20);
    }
    return 0;
}

// Asks whether the player plays, and once it has seen it playing and then stopped, asks for the
// next track, once.
DWORD WINAPI postNextTrackWhenStopped(LPVOID) {
    bool seenPlaying = false;
    while (stopSkipping == 0) {
        if (SendMessageA(header.hostWindow, sim::kUserMessage, 0, sim::kQueryIsPlaying) != 0) {
            seenPlaying = true;
        } else if (seenPlaying) {
            PostMessageA(header.hostWindow, WM_COMMAND, 40048, 0);
            return 0;
        }
        Sleep(10);
    }
    return 0;
}

int startUp() {
    if (GetEnvironmentVariableA("SB_MISBEHAVE", mode, sizeof mode) == 0)
        mode[0] = '\0';
    if (std::strcmp(mode, "refuse-start") == 0)
        return 1;
    stopSkipping = 0;
    if (std::strcmp(mode, "skip-everything") == 0)
        skipper = CreateThread(nullptr, 0, postNextTrackRepeatedly, nullptr, 0, nullptr);
    if (std::strcmp(mode, "skip-when-stopped") == 0)
        skipper = CreateThread(nullptr, 0, postNextTrackWhenStopped, nullptr, 0, nullptr);
    if (std::strcmp(mode, "admit-everything") == 0)
        skipper = CreateThread(nullptr, 0, pollAndAdmitEverything, nullptr, 0, nullptr);
    return 0;
}

void shutDown() {
    if (std::strcmp(mode, "hang-shutdown") == 0)
        Sleep(INFINITE);
    stopSkipping = 1;
    if (skipper != nullptr) {
        // The poller may be waiting for this thread to answer it: answer until it has ended.
        while (MsgWaitForMultipleObjects(1, &skipper, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
            MSG message;
            PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        CloseHandle(skipper);
        skipper = nullptr;
    }
}

} // namespace

extern "C" sim::PluginHeader* winampGetGeneralPurposePlugin() {
    return &header;
}
