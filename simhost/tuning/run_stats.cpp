// Statistics of a run. Lists are ordered by count, most first, then alphabetically, so that the
// same run always gives the same report.
#include "tuning/run_stats.h"

#include <algorithm>
#include <map>
#include <utility>

#include "tuning/artist.h"

namespace {

constexpr size_t kMostRefusedShown = 10;

// Upper bounds of the histogram's buckets of tracks between two plays; the last is open. The
// bucket holding the artist window's edge is split there.
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

// Counts the artists of two titles as a pair: `bySpelling` tells spellings apart (for two
// spellings of one artist); otherwise "Queen" and "QUEEN" count as one artist.
void countPair(PairCounts* counts, const std::string& titleA, const std::string& titleB, bool bySpelling) {
    std::string a = artistOrTitle(titleA), b = artistOrTitle(titleB);
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
    if (edge >= 0 && edge < highs.back() && std::find(highs.begin(), highs.end(), edge) == highs.end())
        highs.insert(std::upper_bound(highs.begin(), highs.end(), edge), edge);
    return highs;
}

// The tracks between successive plays of each artist: smallest, median and histogram.
void measureSeparation(const sim::RunRecord& record, int32_t artistLimit, sim::RunStats* stats) {
    for (const sim::TrackEvent& event : record.events)
        if (event.kind == sim::kPlayed && sim::artistOf(sim::titleOf(record, event)).empty())
            stats->withoutArtist++;
    std::vector<int32_t> gaps;
    for (const sim::ArtistReturn& artistReturn : sim::artistReturns(record))
        gaps.push_back(artistReturn.tracks);
    int32_t low = 0;
    for (int32_t high : bucketHighs(artistLimit)) {
        stats->gapHistogram.push_back({low, high, 0, high < artistLimit});
        low = high + 1;
    }
    stats->gapHistogram.push_back({low, -1, 0, false});
    for (int32_t gap : gaps)
        for (sim::GapBucket& bucket : stats->gapHistogram)
            if (gap >= bucket.low && (bucket.high < 0 || gap <= bucket.high)) {
                bucket.count++;
                break;
            }
    stats->artistReturns = static_cast<int32_t>(gaps.size());
    stats->smallestGap = -1;
    if (gaps.empty())
        return;
    std::sort(gaps.begin(), gaps.end());
    const size_t middle = gaps.size() / 2;
    stats->smallestGap = gaps.front();
    stats->medianGap = gaps.size() % 2 == 1 ? gaps[middle] : (gaps[middle - 1] + gaps[middle]) / 2.0;
}

} // namespace

namespace sim {

std::vector<ArtistReturn> artistReturns(const RunRecord& record) {
    struct LastPlay {
        int32_t event;
        int32_t playIndex;
    };
    std::map<std::string, LastPlay> lastPlay; // artist key -> its latest play
    std::vector<ArtistReturn> returns;
    int32_t playIndex = 0;
    for (size_t i = 0; i < record.events.size(); i++) {
        const TrackEvent& event = record.events[i];
        if (event.kind != kPlayed)
            continue;
        const std::string artist = artistOf(titleOf(record, event));
        if (!artist.empty()) {
            const auto index = static_cast<int32_t>(i);
            auto [previous, first] = lastPlay.try_emplace(artistKey(artist), LastPlay{index, playIndex});
            if (!first) {
                const TrackEvent& before = record.events[static_cast<size_t>(previous->second.event)];
                returns.push_back({index, previous->second.event, playIndex - previous->second.playIndex - 1,
                                   event.at - before.at});
                previous->second = {index, playIndex};
            }
        }
        playIndex++;
    }
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

    std::map<std::string, int32_t> refused, again;
    PairCounts misjudged, spellings;
    int32_t skipRun = 0;
    for (const TrackEvent& event : record.events) {
        const std::string& title = titleOf(record, event);
        if (event.kind == kSkipped) {
            stats.longestSkipRun = std::max(stats.longestSkipRun, ++skipRun);
            refused[title]++;
            if (event.reason.rule == kRuleUnknown)
                stats.unknownReasons++;
            if (event.misjudged) {
                stats.misjudgedRefusals++;
                countPair(&misjudged, title, event.reason.matchedTitle, false);
            }
            continue;
        }
        skipRun = 0;
        if (event.unseen)
            stats.unseen++;
        if (event.again) {
            stats.playedTwiceInARow++;
            again[title]++;
        }
        if (!event.otherSpelling.empty()) {
            stats.spellingRepeats++;
            countPair(&spellings, title, event.otherSpelling, true);
        }
    }
    stats.backToBack = sortedCounts(again);
    stats.misjudgedPairs = sortedPairs(misjudged);
    stats.spellingPairs = sortedPairs(spellings);
    stats.mostRefused = sortedCounts(refused);
    if (stats.mostRefused.size() > kMostRefusedShown)
        stats.mostRefused.resize(kMostRefusedShown);
    measureSeparation(record, artistLimit, &stats);
    return stats;
}

} // namespace sim
