// Counting what went to air. Each stretch of the log (between holes) becomes a run's record of its
// played tracks at their time on air, and the sweep's own figures mark each early return; the
// marks, the tracks and the time on air are then counted by day, hour and period.
#include "aired/aired_figures.h"

#include <algorithm>
#include <map>

#include "tuning/artist.h"

namespace {

// The counts of every day and period, found as the figures are counted.
struct Tally {
    std::map<int64_t, sim::AiredDay> days;
    std::vector<sim::AiredCounts> periods;
    std::vector<bool> periodsTouched;
};

sim::AiredDay& dayOf(Tally* tally, int64_t day) {
    auto [found, added] = tally->days.try_emplace(day);
    if (added)
        found->second.day = day;
    return found->second;
}

// Adds `add` to the counts of `into` (the longest run the longer of the two).
void addCounts(sim::AiredCounts* into, const sim::AiredCounts& add) {
    into->played += add.played;
    into->skipped += add.skipped;
    into->airMs += add.airMs;
    into->earlyArtist += add.earlyArtist;
    into->unpreventable += add.unpreventable;
    into->earlyTitle += add.earlyTitle;
    into->longestSkipRun = std::max(into->longestSkipRun, add.longestSkipRun);
    into->unknownLines += add.unknownLines;
}

// Adds `add` to the day and the period of one moment in the scope.
void count(Tally* tally, int64_t day, int32_t period, const sim::AiredCounts& add) {
    addCounts(&dayOf(tally, day).counts, add);
    if (period >= 0) {
        addCounts(&tally->periods[static_cast<size_t>(period)], add);
        tally->periodsTouched[static_cast<size_t>(period)] = true;
    }
}

// The time on air, day by day and period by period.
void countTimeOnAir(const sim::AiredHistory& history, const sim::AiredScope& scope, Tally* tally) {
    size_t period = 0;
    for (const sim::OnAirSpan& span : history.onAir) {
        for (int64_t from = span.fromMs; from < span.toMs;) {
            const int64_t day = sim::localDay({from, span.offsetMinutes});
            int64_t to = std::min(span.toMs, sim::dayStartUtcMs(day + 1, span.offsetMinutes));
            // Within one period: the periods follow each other in time, as the spans do.
            while (period + 1 < history.periods.size() && history.periods[period + 1].from.utcMs <= from)
                period++;
            if (period + 1 < history.periods.size())
                to = std::min(to, std::max(from + 1, history.periods[period + 1].from.utcMs));
            if (sim::inScope(scope, day)) {
                sim::AiredCounts add = {};
                add.airMs = to - from;
                count(tally, day, history.periods.empty() ? -1 : static_cast<int32_t>(period), add);
            }
            from = to;
        }
    }
}

// The most counted of `counts` (by text), most first, then by text; at most `most`.
std::vector<sim::CountedText> mostCounted(const std::map<std::string, int32_t>& counts, size_t most) {
    std::vector<sim::CountedText> list;
    for (const auto& [text, number] : counts)
        list.push_back({text, number});
    std::stable_sort(list.begin(), list.end(),
                     [](const sim::CountedText& a, const sim::CountedText& b) { return a.count > b.count; });
    if (list.size() > most)
        list.resize(most);
    return list;
}

// What is counted of the tracks of one stretch, [first, end) of the history's tracks.
struct Stretch {
    size_t first;
    size_t end;
};

struct TrackCounting {
    const sim::AiredHistory* history;
    const sim::AiredScope* scope;
    const sim::SweepGoal* goal;
    const sim::SweepPlaylist* spellings;
    sim::RunRecord record;
    Tally* tally;
    std::map<std::pair<int32_t, int32_t>, int32_t> spellingPairs;
    std::map<std::string, int32_t> refusedTitles;
    std::map<std::string, int32_t> refusedArtists;
    std::map<std::string, std::string> artistSpelling; // the first spelling met, by artistKey
    std::vector<sim::SkipRun> skipRuns;
    std::array<int32_t, 24> playedByHour;
    std::array<int32_t, 24> skippedByHour;
};

// Ends a run of `skips` skips beginning at track `from`.
void endSkipRun(TrackCounting* counting, size_t from, int32_t skips, int32_t entries) {
    const sim::AiredTrack& first = counting->history->tracks[from];
    const int64_t day = sim::localDay(first.time);
    if (skips == 0 || !sim::inScope(*counting->scope, day))
        return;
    sim::AiredCounts add = {};
    add.longestSkipRun = skips;
    count(counting->tally, day, first.period, add);
    counting->skipRuns.push_back({first.time, skips, entries});
}

void countStretch(TrackCounting* counting, Stretch stretch) {
    const sim::AiredHistory& history = *counting->history;
    sim::RunRecord& record = counting->record;
    sim::startRecord(&record, &history.playlist);
    std::vector<size_t> trackOf; // per event of the record
    for (size_t t = stretch.first; t < stretch.end; t++) {
        const sim::AiredTrack& track = history.tracks[t];
        if (track.skipped)
            continue;
        sim::TrackEvent event = {};
        event.at = track.airMs / 1000;
        event.entry = track.entry;
        event.other = -1;
        event.kind = sim::kPlayed;
        record.events.push_back(event);
        trackOf.push_back(t);
        record.stationSeconds = event.at;
    }
    std::vector<uint8_t> marks;
    sim::seedFigures(record, *counting->spellings, 0, false, *counting->goal, &marks);

    std::vector<int32_t> lastOfArtist(record.artistKeyIds.size(), -1); // by artist key id: an entry
    size_t mark = 0;
    size_t runFrom = 0;
    int32_t skips = 0;
    std::vector<int32_t> runEntries;
    for (size_t t = stretch.first; t < stretch.end; t++) {
        const sim::AiredTrack& track = history.tracks[t];
        const int64_t day = sim::localDay(track.time);
        const bool counted = sim::inScope(*counting->scope, day);
        const int32_t hour = sim::localHour(track.time);
        sim::AiredCounts add = {};
        const std::string& title = sim::trackTitle(history, track);
        if (track.skipped) {
            if (skips++ == 0) {
                runFrom = t;
                runEntries.clear();
            }
            if (std::find(runEntries.begin(), runEntries.end(), track.entry) == runEntries.end())
                runEntries.push_back(track.entry);
            if (counted) {
                add.skipped = 1;
                dayOf(counting->tally, day).skippedByHour[static_cast<size_t>(hour)]++;
                counting->skippedByHour[static_cast<size_t>(hour)]++;
                counting->refusedTitles[title]++;
                const std::string artist = sim::artistOf(title);
                if (!artist.empty()) {
                    const std::string key = sim::artistKey(artist);
                    counting->artistSpelling.emplace(key, artist);
                    counting->refusedArtists[counting->artistSpelling[key]]++;
                }
                count(counting->tally, day, track.period, add);
            }
            continue;
        }
        endSkipRun(counting, runFrom, skips, static_cast<int32_t>(runEntries.size()));
        skips = 0;
        const uint8_t marked = marks[mark++];
        const int32_t artist = record.artistKeyIds[static_cast<size_t>(track.entry)];
        if (counted) {
            add.played = 1;
            add.earlyArtist = (marked & sim::kEarlyArtistMark) != 0 ? 1 : 0;
            add.unpreventable = (marked & sim::kUnpreventableMark) != 0 ? 1 : 0;
            add.earlyTitle = (marked & sim::kEarlyTitleMark) != 0 ? 1 : 0;
            dayOf(counting->tally, day).playedByHour[static_cast<size_t>(hour)]++;
            counting->playedByHour[static_cast<size_t>(hour)]++;
            if ((marked & sim::kUnpreventableMark) != 0 && (marked & sim::kListedTwiceMark) == 0 &&
                artist >= 0) {
                const int32_t a = counting->spellings->spelling[static_cast<size_t>(track.entry)];
                const int32_t b =
                    counting->spellings
                        ->spelling[static_cast<size_t>(lastOfArtist[static_cast<size_t>(artist)])];
                counting->spellingPairs[{std::min(a, b), std::max(a, b)}]++;
            }
            count(counting->tally, day, track.period, add);
        }
        if (artist >= 0)
            lastOfArtist[static_cast<size_t>(artist)] = track.entry;
    }
    endSkipRun(counting, runFrom, skips, static_cast<int32_t>(runEntries.size()));
}

// The holes of the log, by the day each began.
void countHoles(const sim::AiredHistory& history, const sim::AiredScope& scope, Tally* tally,
                int32_t* holes) {
    size_t period = 0;
    for (const sim::AiredHole& hole : history.holes) {
        const int64_t day = sim::localDay(hole.from);
        while (period + 1 < history.periods.size() &&
               history.periods[period + 1].from.utcMs <= hole.from.utcMs)
            period++;
        if (!sim::inScope(scope, day))
            continue;
        (*holes)++;
        sim::AiredCounts add = {};
        add.unknownLines = hole.lines;
        count(tally, day, history.periods.empty() ? -1 : static_cast<int32_t>(period), add);
    }
}

} // namespace

namespace sim {

AiredFigures airedFigures(const AiredHistory& history, const SweepGoal& goal, const AiredScope& scope) {
    AiredFigures figures = {};
    figures.goal = goal;
    Tally tally;
    tally.periods.assign(history.periods.size(), AiredCounts());
    tally.periodsTouched.assign(history.periods.size(), false);
    countTimeOnAir(history, scope, &tally);
    countHoles(history, scope, &tally, &figures.holes);

    const SweepPlaylist spellings = sweepPlaylist(history.playlist);
    TrackCounting counting = {};
    counting.history = &history;
    counting.scope = &scope;
    counting.goal = &goal;
    counting.spellings = &spellings;
    counting.tally = &tally;
    for (size_t first = 0; first < history.tracks.size();) {
        size_t end = first;
        while (end < history.tracks.size() && history.tracks[end].stretch == history.tracks[first].stretch)
            end++;
        countStretch(&counting, {first, end});
        first = end;
    }

    for (auto& [day, aired] : tally.days) {
        figures.days.push_back(aired);
        addCounts(&figures.all, aired.counts);
    }
    if (!figures.days.empty()) {
        figures.fromDay = figures.days.front().day;
        figures.toDay = figures.days.back().day;
    }
    for (size_t p = 0; p < history.periods.size(); p++)
        if (tally.periodsTouched[p])
            figures.periods.push_back({static_cast<int32_t>(p), history.periods[p], tally.periods[p]});
    const int32_t started = figures.all.played + figures.all.skipped;
    figures.skipTenths = rateTenths(started > 0 ? static_cast<double>(figures.all.skipped) / started : 0.0);
    const int64_t seconds = figures.all.airMs / 1000;
    figures.artistPerDay = perDayHundredths(figures.all.earlyArtist, seconds);
    figures.spellingsPerDay = perDayHundredths(figures.all.unpreventable, seconds);
    figures.titlePerDay = perDayHundredths(figures.all.earlyTitle, seconds);
    std::stable_sort(counting.skipRuns.begin(), counting.skipRuns.end(),
                     [](const SkipRun& a, const SkipRun& b) { return a.skips > b.skips; });
    if (counting.skipRuns.size() > kMostSkipRunsNamed)
        counting.skipRuns.resize(kMostSkipRunsNamed);
    figures.skipRuns = counting.skipRuns;
    figures.refusedTitles = mostCounted(counting.refusedTitles, kMostRefusedNamed);
    figures.refusedArtists = mostCounted(counting.refusedArtists, kMostRefusedNamed);
    for (const auto& [pair, number] : counting.spellingPairs)
        figures.spellingPairs.push_back({spellings.spellings[static_cast<size_t>(pair.first)],
                                         spellings.spellings[static_cast<size_t>(pair.second)], number});
    std::stable_sort(figures.spellingPairs.begin(), figures.spellingPairs.end(),
                     [](const CountedPair& a, const CountedPair& b) { return a.count > b.count; });
    figures.playedByHour = counting.playedByHour;
    figures.skippedByHour = counting.skippedByHour;
    return figures;
}

} // namespace sim
