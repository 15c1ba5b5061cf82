// The player's side of a run. The hook sees every message the plug-in sends; skips are recorded
// there as the player obeys them. A played track is recorded when the player moves on: at once in
// fast mode (from the hook), after its pace in paced mode (from the pumping loop).
#include "player/run_driver.h"

#include <cstdio>

#include "player/plugin_clock.h"
#include "tuning/sweep.h"

namespace {

constexpr int32_t kMostWholePlaylistRefusalsInARow = sim::kMostRefusedLapsInARow; // a sweep stops alike
constexpr DWORD kDecisionGraceMs = 5000; // a decision under way when the pace ends may finish in this

// Hands the newest event to the plan's listener.
void reportEvent(const sim::HostRun& run) {
    if (run.plan->onEvent != nullptr)
        run.plan->onEvent(run.plan->eventContext, run.record, run.record.events.back());
}

// Fast: the station time now is the plug-in's time.
void setClock(const sim::HostRun& run) {
    if (run.plan->fast)
        sim::setStationClock(run.clockStartMs + (run.record.stationSeconds + run.offSeconds) * 1000);
}

// A new entry is playing: the plug-in has yet to deal with it.
void beginEntry(sim::HostRun* run) {
    run->titleRead = false;
    run->dealtWith = false;
    run->lastEvent = GetTickCount64();
}

// The player has obeyed a next-track command that left `entry`: record it, and end the run at
// the end of the playlist or when the plug-in refuses everything lap after lap.
void handleSkip(sim::HostRun* run, int32_t entry) {
    const bool wholePlaylist = sim::recordSkip(&run->record, run->mirror, entry);
    reportEvent(*run);
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
    // Once through, a skip that leaves the player where it was found the end of the playlist.
    if ((!run->plan->goRound && run->player->position == entry) || run->record.full)
        run->finished = true;
}

// The current entry has played: record it and move the player on, or end the run.
void finishEntry(sim::HostRun* run) {
    sim::recordPlay(&run->record, &run->mirror, run->player->position, run->titleRead);
    setClock(*run);
    run->wholePlaylistRefusalsInARow = 0;
    if (run->page != nullptr && run->page->enabled)
        sim::notePageChange(run->page);
    reportEvent(*run);
    beginEntry(run);
    const sim::RunPlan& plan = *run->plan;
    if (run->record.full || (plan.tracks > 0 && run->record.played >= plan.tracks) ||
        (plan.stationSeconds > 0 && run->record.stationSeconds >= plan.stationSeconds) ||
        !sim::moveToNextEntry(run->player))
        run->finished = true;
    else if (plan.fast && plan.betweenTracks != nullptr)
        plan.betweenTracks(plan.betweenContext, run);
}

// Fast: at the plug-in's is-playing query that would end the current track, a pause or stop due
// now begins instead; and while one lasts, each query moves it on. The plug-in writes what it saw of
// the player only after its next query, so each step waits for two: the first answered with the
// new state, the second once the plug-in has dealt with it. True while the track is held.
bool holdTrack(sim::HostRun* run) {
    const std::vector<sim::PlayerHold>& holds = run->plan->holds;
    if (run->holdStep == 0) {
        if (run->nextHold >= holds.size() || run->record.stationSeconds < holds[run->nextHold].atSeconds)
            return false;
        run->player->state = holds[run->nextHold].state;
        run->holdStep = 1;
        run->holdQueries = 0;
        return true;
    }
    if (++run->holdQueries < 2)
        return true;
    run->holdQueries = 0;
    if (run->holdStep == 1) {
        run->offSeconds += holds[run->nextHold].seconds;
        setClock(*run);
        run->player->state = sim::kPlaying;
        run->holdStep = 2;
        return true;
    }
    run->holdStep = 0;
    run->nextHold++;
    run->lastEvent = GetTickCount64();
    return false;
}

// The player's hook: follows the plug-in's dealings with the current entry, message by message.
void onPlayerMessage(sim::Player* player, UINT message, WPARAM wParam, LPARAM which) {
    auto* run = static_cast<sim::HostRun*>(player->context);
    if (run->finished)
        return;
    if (message == WM_COMMAND) { // the player has obeyed a next-track command
        const int32_t entry = player->skippedEntries.back();
        player->skippedEntries.clear(); // the record keeps them; a long run must not grow this too
        handleSkip(run, entry);
        return;
    }
    if (message != sim::kUserMessage)
        return;
    if (which == sim::kQueryPlaylistTitle && static_cast<int32_t>(wParam) == player->position &&
        player->state != sim::kStopped) {
        run->titleRead = true;
    } else if (which == sim::kQueryIsPlaying && run->titleRead && !run->dealtWith) {
        if (run->plan->fast && holdTrack(run))
            return;
        run->dealtWith = true;
        if (run->plan->fast)
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
    if (!run.plan->quiet) {
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
    const DWORD pace = static_cast<DWORD>(run->plan->paceMs);
    while (!run->finished) {
        sim::Player* player = run->player;
        const int32_t entryNumber = player->position + 1;
        const bool pause = contains(run->plan->pauseAt, entryNumber);
        if (pause || contains(run->plan->stopAt, entryNumber)) {
            if (playFor(run, pace / 2))
                continue;
            player->state = pause ? sim::kPaused : sim::kStopped;
            const std::string text =
                std::string(pause ? "paused" : "stopped") + " for " + std::to_string(pace) + " ms";
            printState(*run, text.c_str());
            const bool skipped = playFor(run, pace);
            // Over, whether this entry plays on or the plug-in's skip, answered meanwhile, has
            // started the next one.
            player->state = sim::kPlaying;
            if (skipped)
                continue;
            printState(*run, "playing again");
            if (playFor(run, pace - pace / 2))
                continue;
        } else if (playFor(run, pace)) {
            continue;
        }
        // A plug-in that polls but has not finished with the track gets more time, so that its
        // decision is not taken for the next entry's: a loaded machine can hold up its thread, and
        // a short pace (0 included) can end before it has even asked about this entry. Whether it
        // polls at all shows on the first entry, which waits for it once.
        const bool polling = run->player->playingQueries > 0 || run->record.events.empty();
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

// Fast: the hook moves the player on; this thread only pumps and watches the deadline. False when
// the plug-in took longer than the plan allows over one track.
bool playFast(sim::HostRun* run) {
    const ULONGLONG limit = static_cast<ULONGLONG>(run->plan->fastTimeoutSeconds) * 1000;
    while (!sim::pumpUntil([](void* r) { return static_cast<sim::HostRun*>(r)->finished; }, run, 200)) {
        if (GetTickCount64() - run->lastEvent > limit) {
            std::printf(
                "error: --fast: the plug-in has not dealt with entry %ld within %ld s (it %s); it must poll "
                "the player for the fast mode to work\n",
                static_cast<long>(run->player->position + 1),
                static_cast<long>(run->plan->fastTimeoutSeconds),
                run->titleRead ? "read its title but began no new pass" : "never read its title");
            std::fflush(stdout);
            return false;
        }
    }
    return true;
}

} // namespace

namespace sim {

bool startRun(HostRun* run, Player* player, const RunPlan& plan, const std::vector<PlaylistEntry>& playlist,
              RuleLimits limits, PageWatch* page) {
    *run = HostRun();
    run->player = player;
    run->plan = &plan;
    run->page = page;
    if (!startMirror(&run->mirror, limits))
        return false;
    startRecord(&run->record, &playlist);
    startPlayOrder(&run->order, static_cast<int32_t>(playlist.size()), plan.shuffle, plan.seed);
    player->order = &run->order;
    player->wrapAtEnd = plan.goRound;
    player->position = currentEntry(run->order);
    player->context = run;
    player->afterMessage = onPlayerMessage;
    run->clockStartMs = plan.clockStartMs != 0 ? plan.clockStartMs : realSecondsNow();
    setClock(*run);
    return true;
}

bool playRun(HostRun* run) {
    beginEntry(run);
    run->player->state = kPlaying;
    bool done = true;
    if (run->plan->fast)
        done = playFast(run);
    else
        playPaced(run);
    run->finished = true;
    run->player->state = kStopped;
    run->player->afterMessage = nullptr;
    run->player->order = nullptr;
    return done;
}

void endRun(HostRun* run) {
    endMirror(&run->mirror);
}

} // namespace sim
