// From the log's lines to what went to air. Two passes: the first finds where two players wrote
// into the log at once, the second walks the rest, keeping the time on air and the tracks.
//
// Two players that name one file interleave whole lines that nothing tells apart. What one player
// never writes gives them away: a line after its shut-down before it starts again (but the lines
// it lost, which its writer may still note), a track after
// "stopped" without "playing" between, or a refusal whose matched title is not the one its own
// played lines put that far back. A start while another player's lines may still come (no
// shut-down since the last start) is where a second player may have begun; a player that started
// again after a crash looks the same, so only such a sign makes it two players. The lines from
// there until every player has shut down are left out, as a hole in the log.
#include "aired/air_history.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "playlist/station_clock.h"
#include "tuning/run_stats.h"

namespace {

struct LineRange {
    size_t first;
    size_t last;
};

// The ranges of lines that two players wrote at once.
std::vector<LineRange> twoPlayerRanges(const sim::AirLog& log) {
    std::vector<LineRange> ranges;
    const std::vector<sim::AirLine>& lines = log.lines;
    bool open = false;          // lines of a player may come (no shut-down since its start)
    int64_t secondFrom = -1;    // where a second player may have begun
    bool seen = false;          // a sign of two players since then
    bool afterShutdown = false; // a shut-down, and no start since
    bool stopped = false;
    std::vector<int32_t> played; // titles recorded since the start or the last hole
    auto sign = [&] {
        seen = true;
        if (secondFrom < 0)
            secondFrom = 0; // the other player began before the log did
    };
    for (size_t i = 0; i < lines.size(); i++) {
        const sim::AirLine& line = lines[i];
        // Only a start may follow a shut-down; the writer may still note lines it lost, or a cut line.
        if (afterShutdown && line.kind != sim::kAirStart && line.kind != sim::kAirLost &&
            line.kind != sim::kAirUnreadable)
            sign();
        switch (line.kind) {
        case sim::kAirStart:
            if (open && secondFrom < 0)
                secondFrom = static_cast<int64_t>(i);
            open = true;
            afterShutdown = stopped = false;
            played.clear();
            break;
        case sim::kAirShutdown:
            afterShutdown = true;
            open = stopped = false;
            // Every player has shut down when the next line is a start or there is none.
            if (i + 1 == lines.size() || lines[i + 1].kind == sim::kAirStart) {
                if (seen)
                    ranges.push_back({static_cast<size_t>(secondFrom), i});
                secondFrom = -1;
                seen = afterShutdown = false;
            }
            break;
        case sim::kAirLost:
        case sim::kAirUnreadable:
            played.clear();
            stopped = false;
            break;
        case sim::kAirStopped:
            stopped = true;
            break;
        case sim::kAirPlaying:
            stopped = false;
            break;
        case sim::kAirPlayed:
        case sim::kAirSkipped:
            open = true;
            if (stopped)
                sign();
            if (line.kind == sim::kAirPlayed) {
                played.push_back(line.title);
            } else if (line.back >= 1 && static_cast<size_t>(line.back) <= played.size() &&
                       played[played.size() - static_cast<size_t>(line.back)] != line.matched) {
                sign();
            }
            break;
        default:
            open = true;
        }
    }
    if (seen)
        ranges.push_back({static_cast<size_t>(secondFrom), lines.size() - 1});
    return ranges;
}

// A place in the player's playlist and a title the log shows there, as one key.
int64_t placeKey(int32_t position, int32_t title) {
    return (static_cast<int64_t>(position) << 32) | static_cast<uint32_t>(title);
}

// The entries of the history: the playlist file's, or the places and titles the log shows.
void makeEntries(const sim::AirLog& log, const std::vector<bool>& leftOut,
                 const std::vector<sim::PlaylistEntry>* playlist, sim::AiredHistory* history,
                 std::unordered_map<int64_t, int32_t>* entryOf) {
    std::unordered_map<int64_t, int32_t> seen; // (place, title), each once
    std::vector<int64_t> places;
    std::map<int32_t, int32_t> titlesAtPlace;
    for (size_t i = 0; i < log.lines.size(); i++) {
        const sim::AirLine& line = log.lines[i];
        if (leftOut[i] || (line.kind != sim::kAirPlayed && line.kind != sim::kAirSkipped))
            continue;
        if (seen.emplace(placeKey(line.position, line.title), 0).second) {
            places.push_back(placeKey(line.position, line.title));
            titlesAtPlace[line.position]++;
        }
    }
    std::sort(places.begin(), places.end()); // by place, then by title as first met
    for (const auto& [place, titles] : titlesAtPlace)
        history->retitledPositions += titles > 1 ? 1 : 0;
    if (playlist != nullptr) {
        history->playlist = *playlist;
        history->listedEntries = static_cast<int32_t>(playlist->size());
        history->playlistSize = history->listedEntries;
        for (int32_t e = 0; e < history->listedEntries; e++)
            history->positions.push_back(e + 1);
    }
    std::unordered_map<std::string, int32_t> firstWithTitle;
    for (size_t e = 0; e < history->playlist.size(); e++)
        firstWithTitle.emplace(history->playlist[e].title, static_cast<int32_t>(e));
    for (const int64_t key : places) {
        const auto position = static_cast<int32_t>(key >> 32);
        const auto title = static_cast<int32_t>(key & 0xFFFFFFFF);
        const std::string& text = log.titles[static_cast<size_t>(title)];
        int32_t entry = -1;
        if (playlist != nullptr) {
            const auto found = firstWithTitle.find(text);
            if (position <= history->listedEntries &&
                history->playlist[static_cast<size_t>(position - 1)].title == text)
                entry = position - 1;
            else if (found != firstWithTitle.end())
                entry = found->second;
            else
                history->unlistedTitles++;
        }
        if (entry < 0) {
            entry = static_cast<int32_t>(history->playlist.size());
            history->playlist.push_back({text, 0});
            history->positions.push_back(position);
            firstWithTitle.emplace(text, entry);
            if (playlist == nullptr)
                history->playlistSize = std::max(history->playlistSize, position);
        }
        (*entryOf)[key] = entry;
    }
}

// The lengths the log shows, for the entries that have none: the median of each entry's clean
// plays, else the median of those medians, else what a track without a length counts for.
void measureLengths(std::vector<std::vector<int64_t>>* clean, sim::AiredHistory* history) {
    std::vector<int64_t> medians;
    std::vector<int32_t> seconds(clean->size(), 0);
    for (size_t e = 0; e < clean->size(); e++) {
        std::vector<int64_t>& plays = (*clean)[e];
        if (plays.empty())
            continue;
        seconds[e] = static_cast<int32_t>((static_cast<int64_t>(sim::medianOf(&plays)) + 500) / 1000);
        medians.push_back(seconds[e]);
    }
    const auto usual =
        medians.empty() ? sim::kUnknownTrackSeconds : static_cast<int32_t>(sim::medianOf(&medians));
    for (size_t e = 0; e < history->playlist.size(); e++)
        if (history->playlist[e].seconds <= 0)
            history->playlist[e].seconds = std::max(1, seconds[e] > 0 ? seconds[e] : usual);
}

enum PlayerState { kStateUnknown, kStateOff, kStateStopped, kStatePaused, kStatePlaying };

// A player that plays writes a line at least with every track; a day without one is no time on air
// but a machine asleep, or a clock set forward.
constexpr int64_t kLongestSilenceMs = 24 * 3600 * 1000;

} // namespace

namespace sim {

AiredHistory airedHistory(const AirLog& log, const std::vector<PlaylistEntry>* playlist) {
    AiredHistory history = {};
    history.empty = log.lines.empty();
    if (history.empty)
        return history;
    std::vector<bool> leftOut(log.lines.size(), false);
    std::vector<LineRange> ranges = twoPlayerRanges(log);
    for (const LineRange& range : ranges)
        for (size_t i = range.first; i <= range.last; i++)
            leftOut[i] = true;
    std::unordered_map<int64_t, int32_t> entryOf;
    makeEntries(log, leftOut, playlist, &history, &entryOf);
    std::vector<std::vector<int64_t>> clean(history.playlist.size());

    history.first = log.lines.front().time;
    history.last = log.lines.back().time;
    int32_t state = kStateUnknown;
    bool sessionOpen = false;
    bool holeOpen = false;
    AiredHole hole = {};
    AirTime previous = log.lines.front().time;
    int64_t airMs = 0;
    int32_t lastTrack = -1; // the track before, when nothing but a pause stood between
    auto openHole = [&](uint8_t kind, int32_t lines) {
        if (!holeOpen)
            hole = {previous, previous, kind, 0};
        holeOpen = true;
        hole.lines += lines;
        lastTrack = -1;
    };
    auto enterPeriod = [&](const AirLine& line) {
        const RuleLimits limits = {line.artistLimit, line.titleLimit, line.monitoring};
        if (!history.periods.empty()) {
            const AiredPeriod& now = history.periods.back();
            if (now.known && now.limits.artistLimit == limits.artistLimit &&
                now.limits.titleLimit == limits.titleLimit && now.limits.monitoring == limits.monitoring)
                return;
            history.periods.back().to = line.time;
        }
        history.periods.push_back({line.time, line.time, limits, true, line.kind, line.version});
    };
    if (log.lines.front().kind != kAirStart && log.lines.front().kind != kAirLimits)
        history.periods.push_back({history.first, history.first, {0, 0, false}, false, kAirStart, -1});

    for (size_t i = 0; i < log.lines.size(); i++) {
        const AirLine& line = log.lines[i];
        if (leftOut[i]) {
            openHole(kHoleTwoPlayers, 1);
            continue;
        }
        if (line.kind == kAirLost || line.kind == kAirUnreadable) {
            openHole(line.kind == kAirLost ? kHoleLost : kHoleUnreadable, line.count);
            continue;
        }
        const AirTime now = line.time;
        if (holeOpen) {
            hole.to = now;
            history.holes.push_back(hole);
            holeOpen = false;
            history.stretches++;
            state = kStateUnknown;
            sessionOpen = false; // what the hole held is not known
        } else if (state == kStatePlaying && now.utcMs - previous.utcMs > kLongestSilenceMs) {
            history.holes.push_back({previous, now, kHoleSilent, 0});
            history.stretches++;
        } else if (state == kStatePlaying && now.utcMs > previous.utcMs) {
            airMs += now.utcMs - previous.utcMs;
            if (!history.onAir.empty() && history.onAir.back().toMs == previous.utcMs &&
                history.onAir.back().offsetMinutes == now.offsetMinutes)
                history.onAir.back().toMs = now.utcMs;
            else
                history.onAir.push_back({previous.utcMs, now.utcMs, now.offsetMinutes});
        }
        previous = now;
        switch (line.kind) {
        case kAirStart:
            history.starts++;
            if (sessionOpen)
                history.restarts.push_back(now);
            sessionOpen = true;
            state = kStateStopped;
            lastTrack = -1;
            enterPeriod(line);
            break;
        case kAirLimits:
            enterPeriod(line);
            break;
        case kAirShutdown:
            sessionOpen = false;
            state = kStateOff;
            lastTrack = -1;
            break;
        case kAirPlaying:
            state = kStatePlaying;
            break;
        case kAirPaused:
            state = kStatePaused;
            break;
        case kAirStopped:
            state = kStateStopped;
            lastTrack = -1; // a stopped track starts again from its beginning
            break;
        case kAirPlayed:
        case kAirSkipped: {
            sessionOpen = true;
            state = kStatePlaying;
            AiredTrack track = {};
            track.time = now;
            track.airMs = airMs;
            track.entry = entryOf.at(placeKey(line.position, line.title));
            track.matched = line.matched;
            track.back = line.back;
            track.period = static_cast<int32_t>(history.periods.size()) - 1;
            track.stretch = history.stretches;
            track.skipped = line.kind == kAirSkipped;
            track.rule = line.rule;
            if (lastTrack >= 0) {
                const AiredTrack& before = history.tracks[static_cast<size_t>(lastTrack)];
                clean[static_cast<size_t>(before.entry)].push_back(airMs - before.airMs);
            }
            lastTrack = track.skipped ? -1 : static_cast<int32_t>(history.tracks.size());
            history.tracks.push_back(track);
            break;
        }
        default:
            break;
        }
    }
    if (holeOpen) {
        hole.to = previous;
        history.holes.push_back(hole);
    }
    if (!history.periods.empty())
        history.periods.back().to = previous;
    history.last = previous;
    history.stretches++;
    measureLengths(&clean, &history);
    return history;
}

bool inScope(const AiredScope& scope, int64_t day) {
    return day >= scope.fromDay && day <= scope.toDay;
}

const std::string& trackTitle(const AiredHistory& history, const AiredTrack& track) {
    return history.playlist[static_cast<size_t>(track.entry)].title;
}

} // namespace sim
