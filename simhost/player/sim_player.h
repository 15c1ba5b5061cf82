// A simulated media player, as a general-purpose plug-in sees it: a main window that answers the
// player's query messages from a playlist and obeys the next-track command. Used by the simulated
// host program and by the tests that run the plug-in's worker against a host.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "playlist/play_order.h"

namespace sim {

// Message numbers and arguments the player answers, from the player's plug-in interface.
constexpr UINT kUserMessage = 0x400; // WM_USER, query selected by lParam
constexpr LPARAM kQueryVersion = 0;
constexpr LPARAM kQueryIsPlaying = 104;
constexpr LPARAM kQueryPlaylistPosition = 125;
constexpr LPARAM kQueryPlaylistTitle = 212; // wParam: entry index; answers the title's address or 0
constexpr WPARAM kCommandNextTrack = 40048; // wParam of WM_COMMAND

constexpr int32_t kStopped = 0;
constexpr int32_t kPlaying = 1;
constexpr int32_t kPaused = 3; // what the player answers while paused: non-zero, like playing

// Everything lives on the thread that owns the window, except where noted.
struct Player {
    HWND window;
    int32_t version;                  // answer to the version query
    int32_t state;                    // kStopped, kPlaying or kPaused
    int32_t position;                 // current playlist entry
    std::vector<std::string> titles;  // the playlist; answers point into these strings
    bool wrapAtEnd;                   // next track after the last entry goes back to the first
    bool answerNullTitle;             // answer every title query with 0
    int32_t reportedPositionOverride; // when not -1, answered instead of `position`

    // Counts of what the plug-in asked, and of the commands it gave.
    int32_t versionQueries;
    int32_t playingQueries;
    int32_t positionQueries;
    int32_t titleQueries;
    int32_t nextTrackCommands;
    std::vector<int32_t> skippedEntries; // the entry each next-track command left, in order
    int32_t otherMessages;               // queries with an lParam the player does not know

    // When set, the next-track command (and moveToNextEntry) follows this order, shuffled or not,
    // with `wrapAtEnd` deciding whether a new round begins; null: the following entry. The order's
    // current entry should be `position`.
    PlayOrder* order;

    // Called after each message from the plug-in has been answered; may be null.
    void (*afterMessage)(Player* player, UINT message, WPARAM wParam, LPARAM lParam);
    void* context; // for afterMessage
};

// Resets `player` to a stopped player at entry 0 with version 0x5000 and no playlist.
void initPlayer(Player* player);

// Creates the player's main window on the calling thread. Returns false on failure.
bool createPlayerWindow(Player* player);
void destroyPlayerWindow(Player* player);

// Moves to the next entry of the play order, as the next-track command does. At the end of the
// playlist without `wrapAtEnd` the player stops instead and false is returned.
bool moveToNextEntry(Player* player);

// The title of the current entry, or null when there is none.
const char* currentTitle(const Player* player);

// Pumps the calling thread's messages until done(context) is true or `timeoutMs` has passed;
// returns done(context). The condition is checked after each message and at least every 10 ms.
bool pumpUntil(bool (*done)(void* context), void* context, DWORD timeoutMs);

// Pumps messages for `milliseconds`.
void pumpFor(DWORD milliseconds);

} // namespace sim
