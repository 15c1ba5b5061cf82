// The player's side of a run. The hook sees every message the plug-in sends; skips are recorded
// there as the player obeys them. A played track is recorded when the player moves on: at once in
// fast mode (from the hook), after its pace in paced mode (from the pumping loop).
#include "run_driver.h"

#include <cstring>

#include "event_log.h"

namespace {

constexpr int32_t kMostWholePlaylistRefusalsInARow = 3;
constexpr DWORD kDecisionGraceMs = 5000; // a decision under way when the pace ends may finish in this

// The console line of an event (unless quiet), with the reason for a skip on a line of its own.
void printEvent(const sim::HostRun& run, const sim::TrackEvent& event) {
    if (run.options->quiet)
        return;
    const std::string& title = sim::titleOf(run.record, event);
    const bool played = event.kind == sim::kPlayed;
    std::printf("%5ld  %-8s %s", static_cast<long>(event.entry + 1), played ? "played" : "skipped",
                title.c_str());
    if (played && event.again)
        std::printf("   (again: the same title as the track before)");
    if (played && event.unseen)
        std::printf("   (the plug-in never read its title)");
    std::printf("\n");
    if (!played)
        std::printf("               why: %s\n", sim::reasonText(event.reason).c_str());
    else if (!event.otherSpelling.empty())
        std::printf("               note: %s\n", sim::letThroughText(event).c_str());
    std::fflush(stdout);
}

// The CSV row of an event, when there is a log.
void logEvent(const sim::HostRun& run, const sim::TrackEvent& event) {
    if (run.log != nullptr)
        std::fputs(sim::eventLogRow(run.record, event).c_str(), run.log);
}

// A new entry is playing: the plug-in has yet to deal with it.
void beginEntry(sim::HostRun* run) {
    run->titleRead = false;
    run->dealtWith = false;
    run->lastEvent = GetTickCount64();
    run->pollsBefore = run->player->playingQueries;
}

// The player has obeyed a next-track command that left `entry`: record it, and end the run at
// the end of the playlist or when the plug-in refuses everything lap after lap.
void handleSkip(sim::HostRun* run, int32_t entry) {
    const bool wholePlaylist = sim::recordSkip(&run->record, run->mirror, entry);
    printEvent(*run, run->record.events.back());
    logEvent(*run, run->record.events.back());
    beginEntry(run);
    if (wholePlaylist) {
        std::printf(
            "The plug-in refused every entry of the playlist in a row: with these settings the station "
            "would play nothing while the player skips round and round.\n");
        if (++run->wholePlaylistRefusalsInARow >= kMostWholePlaylistRefusalsInARow) {
            std::printf("The run stops here: the plug-in refused every entry %d times over without playing "
                        "one.\n",
                        static_cast<int>(kMostWholePlaylistRefusalsInARow));
            run->finished = true;
        }
        std::fflush(stdout);
    }
    if (run->player->state == sim::kStopped) // the end of the playlist
        run->finished = true;
}

// The current entry has played: record it and move the player on, or end the run.
void finishEntry(sim::HostRun* run) {
    const sim::TrackEvent& event =
        sim::recordPlay(&run->record, &run->mirror, run->player->position, run->titleRead);
    run->wholePlaylistRefusalsInARow = 0;
    if (run->page != nullptr && run->page->enabled)
        sim::notePageChange(run->page);
    printEvent(*run, event);
    logEvent(*run, event);
    beginEntry(run);
    const sim::Options& options = *run->options;
    if ((options.tracks > 0 && run->record.played >= options.tracks) ||
        (options.stationSeconds > 0 && run->record.stationSeconds >= options.stationSeconds) ||
        !sim::moveToNextEntry(run->player))
        run->finished = true;
}

// The player's hook: follows the plug-in's dealings with the current entry, message by message.
void onPlayerMessage(sim::Player* player, UINT message, WPARAM wParam, LPARAM which) {
    auto* run = static_cast<sim::HostRun*>(player->context);
    if (run->finished)
        return;
    if (message == WM_COMMAND) { // the player has obeyed a next-track command
        handleSkip(run, player->skippedEntries.back());
        return;
    }
    if (message != sim::kUserMessage)
        return;
    if (which == sim::kQueryPlaylistTitle && static_cast<int32_t>(wParam) == player->position &&
        player->state != sim::kStopped) {
        run->titleRead = true;
    } else if (which == sim::kQueryIsPlaying && run->titleRead && !run->dealtWith) {
        run->dealtWith = true;
        if (run->options->fast)
            finishEntry(run);
    }
}

// What a wait on the current entry began with.
struct Wait {
    const sim::HostRun* run;
    size_t eventsBefore;
};

// True when the run has moved past the entry the wait began on, or has ended.
bool movedOn(const Wait& wait) {
    return wait.run->finished || wait.run->record.events.size() != wait.eventsBefore;
}

// Plays the current entry for `ms`; true when the plug-in had it skipped (or the run ended).
bool playFor(sim::HostRun* run, DWORD ms) {
    Wait wait = {run, run->record.events.size()};
    sim::pumpUntil([](void* w) { return movedOn(*static_cast<Wait*>(w)); }, &wait, ms);
    return movedOn(wait);
}

// A line about the player's state (paused, stopped, playing again), unless quiet.
void printState(const sim::HostRun& run, const char* text) {
    if (!run.options->quiet) {
        std::printf("      %s\n", text);
        std::fflush(stdout);
    }
}

// True when `value` is in `list`.
bool contains(const std::vector<int32_t>& list, int32_t value) {
    for (int32_t item : list)
        if (item == value)
            return true;
    return false;
}

// Paced: each entry plays for the pace (pausing or stopping halfway where asked) unless skipped.
void playPaced(sim::HostRun* run) {
    const DWORD pace = static_cast<DWORD>(run->options->paceMs);
    while (!run->finished) {
        sim::Player* player = run->player;
        const int32_t entryNumber = player->position + 1;
        const bool pause = contains(run->options->pauseAt, entryNumber);
        if (pause || contains(run->options->stopAt, entryNumber)) {
            if (playFor(run, pace / 2))
                continue;
            player->state = pause ? sim::kPaused : sim::kStopped;
            const std::string text =
                std::string(pause ? "paused" : "stopped") + " for " + std::to_string(pace) + " ms";
            printState(*run, text.c_str());
            if (playFor(run, pace))
                continue;
            player->state = sim::kPlaying;
            printState(*run, "playing again");
            if (playFor(run, pace - pace / 2))
                continue;
        } else if (playFor(run, pace)) {
            continue;
        }
        // A plug-in that polls but has not finished with the track (a loaded machine can hold up
        // its thread) gets more time, so that its decision is not taken for the next entry's.
        const bool polling = run->player->playingQueries != run->pollsBefore;
        if (polling && !run->dealtWith) {
            Wait wait = {run, run->record.events.size()};
            sim::pumpUntil(
                [](void* w) {
                    const auto* wait = static_cast<Wait*>(w);
                    return movedOn(*wait) || wait->run->dealtWith;
                },
                &wait, kDecisionGraceMs);
            if (movedOn(wait))
                continue;
        }
        finishEntry(run);
    }
}

// Fast: the hook moves the player on; this thread only pumps and watches the deadline.
int playFast(sim::HostRun* run) {
    const ULONGLONG limit = static_cast<ULONGLONG>(run->options->fastTimeoutSeconds) * 1000;
    while (!sim::pumpUntil([](void* r) { return static_cast<sim::HostRun*>(r)->finished; }, run, 200)) {
        if (GetTickCount64() - run->lastEvent > limit) {
            std::printf(
                "error: --fast: the plug-in has not dealt with entry %ld within %ld s (it %s); it must poll "
                "the player for the fast mode to work\n",
                static_cast<long>(run->player->position + 1),
                static_cast<long>(run->options->fastTimeoutSeconds),
                run->titleRead ? "read its title but began no new pass" : "never read its title");
            std::fflush(stdout);
            return sim::kExitFastStalled;
        }
    }
    return sim::kExitDone;
}

} // namespace

namespace sim {

bool startRun(HostRun* run, Player* player, const Options& options,
              const std::vector<PlaylistEntry>& playlist, RuleLimits limits, PageWatch* page, FILE* log) {
    *run = HostRun();
    run->player = player;
    run->options = &options;
    run->page = page;
    run->log = log;
    if (!startMirror(&run->mirror, limits))
        return false;
    startRecord(&run->record, &playlist);
    startPlayOrder(&run->order, static_cast<int32_t>(playlist.size()), options.shuffle, options.seed);
    player->order = &run->order;
    player->wrapAtEnd = goesRound(options);
    player->position = currentEntry(run->order);
    player->context = run;
    player->afterMessage = onPlayerMessage;
    if (log != nullptr)
        std::fputs(eventLogHeader().c_str(), log);
    return true;
}

int playRun(HostRun* run) {
    beginEntry(run);
    run->player->state = kPlaying;
    int status = kExitDone;
    if (run->options->fast)
        status = playFast(run);
    else
        playPaced(run);
    run->finished = true;
    run->player->state = kStopped;
    run->player->afterMessage = nullptr;
    run->player->order = nullptr;
    return status;
}

void endRun(HostRun* run) {
    endMirror(&run->mirror);
}

} // namespace sim
