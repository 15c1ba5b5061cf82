// Statistics of a run. Lists are ordered by count, most first, then alphabetically, so that the
// same run always gives the same report.
#include "tuning/run_stats.h"

#include <algorithm>
#include <map>
#include <utility>

#include "tuning/artist.h"

namespace {

constexpr size_t kMostRefusedShown = 10;
constexpr size_t kWithinWindowShown = 10;

// Upper bounds of the histogram's buckets of tracks between two plays; the last is open. The
// bucket holding the artist window's edge is split there, and a window past the last bound gets
// a bucket of its own.
constexpr int32_t kGapBucketHighs[] = {0, 1, 2, 4, 9, 19, 49, 99, 199};

// The counted texts, most first; ties stay in the map's alphabetical order.
std::vector<sim::CountedText> sortedCounts(const std::map<std::string, int32_t>& counts) {
    std::vector<sim::CountedText> list;
    for (const auto& [text, count] : counts)
        list.push_back({text, count});
    std::stable_sort(list.begin(), list.end(),
                     [](const sim::CountedText& a, const sim::CountedText& b) { return a.count > b.count; });
    return list;
}

// Pairs of artists, each shown as spelt where the pair was first met.
using PairCounts = std::map<std::pair<std::string, std::string>, sim::CountedPair>;

// The artist of `title`, or the whole title when it names none.
std::string artistOrTitle(const std::string& title) {
    const std::string artist = sim::artistOf(title);
    return artist.empty() ? title : artist;
}

// Counts two texts as a pair, in either order: `bySpelling` tells spellings apart (for two
// spellings of one artist); otherwise "Queen" and "QUEEN" count as one.
void countPair(PairCounts* counts, std::string a, std::string b, bool bySpelling) {
    std::string keyA = bySpelling ? a : sim::artistKey(a), keyB = bySpelling ? b : sim::artistKey(b);
    if (keyB < keyA || (keyB == keyA && b < a)) {
        std::swap(a, b);
        std::swap(keyA, keyB);
    }
    auto found = counts->try_emplace(std::make_pair(keyA, keyB), sim::CountedPair{a, b, 0}).first;
    found->second.count++;
}

// The counted pairs, most first; ties stay in the order of their keys.
std::vector<sim::CountedPair> sortedPairs(const PairCounts& counts) {
    std::vector<sim::CountedPair> list;
    for (const auto& [keys, pair] : counts)
        list.push_back(pair);
    std::stable_sort(list.begin(), list.end(),
                     [](const sim::CountedPair& a, const sim::CountedPair& b) { return a.count > b.count; });
    return list;
}

// Bucket bounds for an artist window of `artistLimit`: a return with at most artistLimit - 1
// tracks between comes within the window.
std::vector<int32_t> bucketHighs(int32_t artistLimit) {
    std::vector<int32_t> highs(std::begin(kGapBucketHighs), std::end(kGapBucketHighs));
    const int32_t edge = artistLimit - 1;
    if (edge >= 0 && std::find(highs.begin(), highs.end(), edge) == highs.end())
        highs.insert(std::upper_bound(highs.begin(), highs.end(), edge), edge);
    return highs;
}

// Calls visit(artistReturn, artist) for every return of an artist, in the order played; `artist`
// is the returning play's artist as spelt there.
template <typename Visit>
void visitArtistReturns(const sim::RunRecord& record, Visit visit) {
    struct LastPlay {
        int32_t event;
        int32_t playIndex;
    };
    // Per artist key id (the record's, worked out once per playlist): its latest play; event -1: none.
    std::vector<LastPlay> lastPlay(record.playlist->size(), LastPlay{-1, 0});
    int32_t playIndex = 0;
    for (size_t i = 0; i < record.events.size(); i++) {
        const sim::TrackEvent& event = record.events[i];
        if (event.kind != sim::kPlayed)
            continue;
        const int32_t keyId = record.artistKeyIds[static_cast<size_t>(event.entry)];
        if (keyId >= 0) {
            const auto index = static_cast<int32_t>(i);
            LastPlay& previous = lastPlay[static_cast<size_t>(keyId)];
            if (previous.event >= 0) {
                const sim::TrackEvent& before = record.events[static_cast<size_t>(previous.event)];
                visit(sim::ArtistReturn{index, previous.event, playIndex - previous.playIndex - 1,
                                        event.at - before.at},
                      record.artists[static_cast<size_t>(event.entry)]);
            }
            previous = {index, playIndex};
        }
        playIndex++;
    }
}

// The returns within the window, by artist: most returns first, then the closest.
std::vector<sim::ReturnsWithinWindow>
sortedWithinWindow(const std::map<std::string, sim::ReturnsWithinWindow>& byKey) {
    std::vector<sim::ReturnsWithinWindow> list;
    for (const auto& [key, returns] : byKey)
        list.push_back(returns);
    std::stable_sort(
        list.begin(), list.end(), [](const sim::ReturnsWithinWindow& a, const sim::ReturnsWithinWindow& b) {
            return a.returns != b.returns ? a.returns > b.returns : a.fewestTracks < b.fewestTracks;
        });
    if (list.size() > kWithinWindowShown)
        list.resize(kWithinWindowShown);
    return list;
}

// The gaps between successive plays of each artist, in tracks and in station time: smallest,
// median, histogram, and the artists who came back within the window.
void measureSeparation(const sim::RunRecord& record, int32_t artistLimit, sim::RunStats* stats) {
    for (const sim::TrackEvent& event : record.events)
        if (event.kind == sim::kPlayed && sim::artistOf(sim::titleOf(record, event)).empty())
            stats->withoutArtist++;
    int32_t low = 0;
    for (int32_t high : bucketHighs(artistLimit)) {
        stats->gapHistogram.push_back({low, high, 0, high < artistLimit});
        low = high + 1;
    }
    stats->gapHistogram.push_back({low, -1, 0, false});

    std::vector<int32_t> tracks;
    std::vector<int64_t> seconds;
    std::map<std::string, sim::ReturnsWithinWindow> withinWindow; // by artist key
    visitArtistReturns(record, [&](const sim::ArtistReturn& artistReturn, const std::string& artist) {
        tracks.push_back(artistReturn.tracks);
        seconds.push_back(artistReturn.seconds);
        for (sim::GapBucket& bucket : stats->gapHistogram)
            if (artistReturn.tracks >= bucket.low &&
                (bucket.high < 0 || artistReturn.tracks <= bucket.high)) {
                bucket.count++;
                break;
            }
        if (artistReturn.tracks >= artistLimit)
            return;
        auto [found, first] = withinWindow.try_emplace(
            sim::artistKey(artist),
            sim::ReturnsWithinWindow{artist, 0, artistReturn.tracks, artistReturn.seconds});
        sim::ReturnsWithinWindow& returns = found->second;
        returns.returns++;
        returns.fewestTracks = std::min(returns.fewestTracks, artistReturn.tracks);
        returns.fewestSeconds = std::min(returns.fewestSeconds, artistReturn.seconds);
    });
    stats->artistReturns = static_cast<int32_t>(tracks.size());
    stats->withinWindow = sortedWithinWindow(withinWindow);
    stats->smallestGap = tracks.empty() ? -1 : *std::min_element(tracks.begin(), tracks.end());
    stats->shortestGapSeconds = seconds.empty() ? -1 : *std::min_element(seconds.begin(), seconds.end());
    stats->medianGap = sim::medianOf(&tracks);
    stats->medianGapSeconds = sim::medianOf(&seconds);
}

// The longest run of refusals in a row, and how many different entries it refused.
void measureSkipRuns(const sim::RunRecord& record, sim::RunStats* stats) {
    std::vector<int32_t> runOfEntry(record.playlist->size(), -1); // the run each entry was last refused in
    int32_t run = 0, length = 0, entries = 0;
    for (const sim::TrackEvent& event : record.events) {
        if (event.kind != sim::kSkipped) {
            run++;
            length = entries = 0;
            continue;
        }
        length++;
        if (runOfEntry[static_cast<size_t>(event.entry)] != run) {
            runOfEntry[static_cast<size_t>(event.entry)] = run;
            entries++;
        }
        if (length > stats->longestSkipRun) {
            stats->longestSkipRun = length;
            stats->longestSkipRunEntries = entries;
        }
    }
}

// The titles that played again in a loop, with their replays and laps, most replays first.
std::vector<sim::LoopingTitle> sortedLooping(const std::map<std::string, sim::LoopingTitle>& byTitle) {
    std::vector<sim::LoopingTitle> list;
    for (const auto& [title, looping] : byTitle)
        list.push_back(looping);
    std::stable_sort(list.begin(), list.end(), [](const sim::LoopingTitle& a, const sim::LoopingTitle& b) {
        return a.replays > b.replays;
    });
    return list;
}

} // namespace

namespace sim {

std::vector<ArtistReturn> artistReturns(const RunRecord& record) {
    std::vector<ArtistReturn> returns;
    visitArtistReturns(record, [&](const ArtistReturn& artistReturn, const std::string&) {
        returns.push_back(artistReturn);
    });
    return returns;
}

RunStats computeStats(const RunRecord& record, int32_t artistLimit) {
    RunStats stats = {};
    stats.played = record.played;
    stats.skipped = record.skipped;
    const int32_t started = record.played + record.skipped;
    stats.skipRate = started > 0 ? static_cast<double>(record.skipped) / started : 0.0;
    stats.stationSeconds = record.stationSeconds;
    stats.wholePlaylistRefusals = record.wholePlaylistRefusals;
    stats.loopLaps = record.loopLaps;
    stats.recordFull = record.full;
    stats.entries = static_cast<int32_t>(record.playlist->size());
    stats.passes = stats.entries > 0 ? static_cast<double>(started) / stats.entries : 0.0;
    stats.distinctTitles = distinctTitles(*record.playlist);
    stats.listedTwice = titlesListedTwice(*record.playlist);

    std::map<std::string, int32_t> refused, again, duplicates, cameRound;
    std::map<std::string, LoopingTitle> looping;
    PairCounts misjudged, probablySame, noArtist, spellings;
    for (const TrackEvent& event : record.events) {
        const std::string& title = titleOf(record, event);
        if (event.kind == kSkipped) {
            refused[title]++;
            if (event.rule == kRuleUnknown)
                stats.unknownReasons++;
            const std::string& matched = otherTitleOf(record, event);
            if (event.verdict == kOtherArtist) {
                stats.misjudgedRefusals++;
                countPair(&misjudged, artistOrTitle(title), artistOrTitle(matched), false);
            } else if (event.verdict == kProbablySame) {
                stats.probablySameRefusals++;
                countPair(&probablySame, artistOf(title), artistOf(matched), true);
            } else if (event.verdict == kNoArtistNamed) {
                stats.noArtistRefusals++;
                countPair(&noArtist, title, matched, true);
            }
            continue;
        }
        if (event.unseen)
            stats.unseen++;
        if (event.again != kNotAgain) {
            stats.playedTwiceInARow++;
            again[title]++;
        }
        if (event.again == kAgainLooping) {
            const int32_t others =
                stats.entries -
                record
                    .entriesWithTitle[static_cast<size_t>(record.titleIds[static_cast<size_t>(event.entry)])];
            LoopingTitle& loop = looping.try_emplace(title, LoopingTitle{title, 0, 0, others}).first->second;
            loop.replays++;
            loop.laps += event.span;
        } else if (event.again == kAgainDuplicate) {
            stats.againDuplicates++;
            duplicates[title]++;
        } else if (event.again == kAgainCameRound) {
            stats.againCameRound++;
            cameRound[title]++;
        }
        if (event.other >= 0) {
            stats.spellingRepeats++;
            countPair(&spellings, artistOrTitle(title), artistOrTitle(otherTitleOf(record, event)), true);
        }
    }
    stats.backToBack = sortedCounts(again);
    stats.looping = sortedLooping(looping);
    stats.duplicateBackToBack = sortedCounts(duplicates);
    stats.cameRoundBackToBack = sortedCounts(cameRound);
    stats.misjudgedPairs = sortedPairs(misjudged);
    stats.probablySamePairs = sortedPairs(probablySame);
    stats.noArtistPairs = sortedPairs(noArtist);
    stats.spellingPairs = sortedPairs(spellings);
    stats.mostRefused = sortedCounts(refused);
    if (stats.mostRefused.size() > kMostRefusedShown)
        stats.mostRefused.resize(kMostRefusedShown);
    measureSkipRuns(record, &stats);
    measureSeparation(record, artistLimit, &stats);
    return stats;
}

} // namespace sim
