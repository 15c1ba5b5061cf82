// The simulated player as the monitor benchmark instruments it: its window procedure wrapped so
// that every message is stamped on arrival, before the player's own code runs, and a title change
// followed from the moment it is made to the worker's reading it and to the pass after its page is
// written. Nothing is added to the worker.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "player/sim_player.h"

constexpr UINT kStampMessage = WM_APP + 1; // calibration: lParam = the sender's clock, low 32 bits
constexpr int32_t kPlaylistSize = 1200;    // more than the ring, so no title repeats within it

// 100 characters shaped "Artist - Title (Mix)", the long end of what stream tags give, with no
// byte the page must escape (the common case). `era` keeps the pre-filled history apart from the
// playlist.
std::string benchTitle(int i, const char* era);

enum ChangeState { kIdle, kChanged, kRead, kPublished };

// All fields belong to the host thread (the window procedure runs there).
struct Probe {
    sim::Player player;
    WNDPROC playerProc;
    int64_t procTicks; // inside the player's own window procedure, plug-in messages only
    int64_t messages;  // plug-in messages answered
    int64_t passes;    // is-playing queries answered: one per pass of the worker
    int64_t lastMessageAt;
    int64_t lastPassAt;
    bool recordGaps;
    std::vector<double> passGaps; // us between successive is-playing arrivals
    ChangeState change;
    const char* newTitle;
    int64_t changedAt, readAt, publishedAt;
    bool advanceEachPass;       // filling the ring: the next entry plays after each title answered
    int32_t fillTarget;         // ... until the history holds this many
    std::vector<double> oneWay; // us from a calibration sender's clock to arrival here
};
extern Probe probe;

// The playlist the player plays: kPlaylistSize titles of benchTitle's shape.
extern std::vector<std::string> playlist;

// Wraps the player's window procedure, once its window is made, so that the probe sees every message.
void instrumentPlayerWindow();

// The player plays the playlist from its first entry, going round at the end.
void playFromStart();

// Changes the playing entry now; the window procedure follows the change to its page.
void changeTitle();

// Changes the playing entry and pumps until the worker has published its page, then leaves the
// probe idle for the next change. A change never published ends the benchmark with `whatFailed`.
void changeTitleAndAwaitPage(const char* whatFailed);
