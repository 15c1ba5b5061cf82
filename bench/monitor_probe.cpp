// The instrumented player: the stamps, the change followed to its page, the titles it plays.
#include "monitor_probe.h"

#include <cstdio>
#include <cstdlib>

#include "common/plugin_state.h"
#include "history/title_history.h"
#include "bench_clock.h"
#include "support/player_fixture.h"

Probe probe;
std::vector<std::string> playlist;

namespace {

// An is-playing query has arrived: a pass begins, and the one before has finished.
void passStarted(int64_t at) {
    probe.passes++;
    if (probe.recordGaps && probe.lastPassAt != 0)
        probe.passGaps.push_back(micros(at - probe.lastPassAt));
    probe.lastPassAt = at;
    if (probe.change == kRead) { // the pass that read the new title has written its page
        probe.publishedAt = at;
        probe.change = kPublished;
    }
    // The worker is blocked in this very message, so the history holds still while it is read.
    if (probe.advanceEachPass && pluginState.history != nullptr &&
        pluginState.history->count >= probe.fillTarget)
        probe.advanceEachPass = false;
}

// A title query has been answered with `title`.
void titleAnswered(int64_t at, const char* title) {
    if (probe.change == kChanged && title == probe.newTitle) {
        probe.readAt = at;
        probe.change = kRead;
    }
    if (probe.advanceEachPass)
        probe.player.position = (probe.player.position + 1) % kPlaylistSize;
}

// The player's window procedure, wrapped: stamps each message on arrival, before the player's code.
LRESULT CALLBACK timedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const int64_t arrived = now();
    if (message == kStampMessage) {
        const uint32_t sent = static_cast<uint32_t>(lParam);
        probe.oneWay.push_back(micros(static_cast<uint32_t>(static_cast<uint32_t>(arrived) - sent)));
        return 0;
    }
    const LRESULT answer = CallWindowProcA(probe.playerProc, window, message, wParam, lParam);
    const int64_t answered = now();
    const bool fromPlugin =
        message == sim::kUserMessage || (message == WM_COMMAND && LOWORD(wParam) == sim::kCommandNextTrack);
    if (!fromPlugin)
        return answer;
    probe.procTicks += answered - arrived;
    probe.messages++;
    probe.lastMessageAt = arrived;
    if (message == sim::kUserMessage && lParam == sim::kQueryIsPlaying)
        passStarted(arrived);
    else if (message == sim::kUserMessage && lParam == sim::kQueryPlaylistTitle)
        titleAnswered(arrived, reinterpret_cast<const char*>(answer));
    return answer;
}

} // namespace

std::string benchTitle(int i, const char* era) {
    static const char* const words[] = {"Midnight", "Electric", "Golden", "Silent", "Broken", "Crystal"};
    char text[160];
    std::snprintf(text, sizeof text, "%s Artist %04d - %s %s Dreams (Extended Club Mix) ", era, i,
                  words[i % 6], words[(i / 6) % 6]);
    std::string title = text;
    while (title.size() < 100)
        title += static_cast<char>('a' + (title.size() + static_cast<size_t>(i)) % 26);
    title.resize(100);
    return title;
}

void instrumentPlayerWindow() {
    probe.playerProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(probe.player.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(timedProc)));
}

void playFromStart() {
    probe.player.titles = playlist;
    probe.player.position = 0;
    probe.player.wrapAtEnd = true;
    probe.player.state = sim::kPlaying;
}

void changeTitle() {
    const int32_t next = (probe.player.position + 1) % kPlaylistSize;
    probe.newTitle = probe.player.titles[static_cast<size_t>(next)].c_str();
    probe.change = kChanged;
    probe.changedAt = now();
    probe.player.position = next;
}

void changeTitleAndAwaitPage(const char* whatFailed) {
    changeTitle();
    if (!support::pumpUntil([] { return probe.change == kPublished; })) {
        std::printf("error: %s\n", whatFailed);
        std::exit(1);
    }
    probe.change = kIdle;
}
