// A general-purpose plug-in that misbehaves on purpose, chosen by the SB_MISBEHAVE environment
// variable, to show that the simulated host notices: "refuse-start" (startUp fails),
// "skip-everything" (asks for the next track every 20 ms, whatever plays), "skip-when-stopped"
// (asks whether the player plays, every 10 ms, and for the next track once, as soon as it is
// stopped), "hang-shutdown" (shutDown never returns); any other mode, e.g. "idle", starts and never
// polls the player.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstring>

#include "player/plugin_header.h"

namespace {

char mode[32];
HANDLE skipper;
std::atomic<int32_t> stopSkipping{0};

int startUp();
void configure() {}
void shutDown();
sim::PluginHeader header = {0x10, "Misbehaving test plug-in", startUp, configure, shutDown, nullptr, nullptr};

DWORD WINAPI postNextTrackRepeatedly(LPVOID) {
    while (stopSkipping == 0) {
        PostMessageA(header.hostWindow, WM_COMMAND, 40048, 0);
        Sleep(20);
    }
    return 0;
}

// Polls the player with a timeout, so that shutDown, which waits for this thread on the player's
// own thread, is never waited on in return.
DWORD WINAPI postNextTrackWhenStopped(LPVOID) {
    bool seenPlaying = false;
    while (stopSkipping == 0) {
        DWORD_PTR playing = 0;
        if (SendMessageTimeoutA(header.hostWindow, WM_USER, 0, 104, SMTO_NORMAL, 100, &playing) != 0) {
            if (playing != 0)
                seenPlaying = true;
            else if (seenPlaying) {
                PostMessageA(header.hostWindow, WM_COMMAND, 40048, 0);
                return 0;
            }
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
    if (std::strcmp(mode, "skip-everything") == 0)
        skipper = CreateThread(nullptr, 0, postNextTrackRepeatedly, nullptr, 0, nullptr);
    if (std::strcmp(mode, "skip-when-stopped") == 0)
        skipper = CreateThread(nullptr, 0, postNextTrackWhenStopped, nullptr, 0, nullptr);
    return 0;
}

void shutDown() {
    if (std::strcmp(mode, "hang-shutdown") == 0)
        Sleep(INFINITE);
    stopSkipping = 1;
    if (skipper != nullptr) {
        WaitForSingleObject(skipper, INFINITE); // it never waits on this thread without a timeout
        CloseHandle(skipper);
    }
}

} // namespace

extern "C" sim::PluginHeader* winampGetGeneralPurposePlugin() {
    return &header;
}
