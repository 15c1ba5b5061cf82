// How far apart each artist came back in a run, for the tuning report: the gaps between
// successive plays of one artist, in tracks and in station time, the histogram of them split where
// the artist window ends, and the artists who came back within it.
#include "tuning/run_stats.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "tuning/artist.h"

namespace {

constexpr size_t kWithinWindowShown = 10;

// Upper bounds of the histogram's buckets of tracks between two plays; the last is open. The
// bucket holding the artist window's edge is split there, and a window past the last bound gets
// a bucket of its own.
constexpr int32_t kGapBucketHighs[] = {0, 1, 2, 4, 9, 19, 49, 99, 199};

// Bucket bounds for an artist window of `artistLimit`: a return with at most artistLimit - 1
// tracks between comes within the window.
std::vector<int32_t> bucketHighs(int32_t artistLimit) {
    std::vector<int32_t> highs(std::begin(kGapBucketHighs), std::end(kGapBucketHighs));
    const int32_t edge = artistLimit - 1;
    if (edge >= 0 && std::find(highs.begin(), highs.end(), edge) == highs.end())
        highs.insert(std::upper_bound(highs.begin(), highs.end(), edge), edge);
    return highs;
}

// Calls visit(artistReturn, artist) for every return of an artist, in the order played, but for a
// title listed twice playing right after itself; `artist` is the returning play's artist as spelt
// there.
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
            // Another entry of the title just played is no measure of the artist's gap: the
            // plug-in never judges the title it admitted last, and "played twice in a row" counts it.
            if (previous.event >= 0 && event.again != sim::kAgainDuplicate) {
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

} // namespace

namespace sim {

std::vector<ArtistReturn> artistReturns(const RunRecord& record) {
    std::vector<ArtistReturn> returns;
    visitArtistReturns(record, [&](const ArtistReturn& artistReturn, const std::string&) {
        returns.push_back(artistReturn);
    });
    return returns;
}

void measureSeparation(const RunRecord& record, int32_t artistLimit, RunStats* stats) {
    for (const TrackEvent& event : record.events)
        if (event.kind == kPlayed && artistOf(titleOf(record, event)).empty())
            stats->withoutArtist++;
    int32_t low = 0;
    for (int32_t high : bucketHighs(artistLimit)) {
        stats->gapHistogram.push_back({low, high, 0, high < artistLimit});
        low = high + 1;
    }
    stats->gapHistogram.push_back({low, -1, 0, false});

    std::vector<int32_t> tracks;
    std::vector<int64_t> seconds;
    std::map<std::string, ReturnsWithinWindow> withinWindow; // by artist key
    visitArtistReturns(record, [&](const ArtistReturn& artistReturn, const std::string& artist) {
        tracks.push_back(artistReturn.tracks);
        seconds.push_back(artistReturn.seconds);
        for (GapBucket& bucket : stats->gapHistogram)
            if (artistReturn.tracks >= bucket.low &&
                (bucket.high < 0 || artistReturn.tracks <= bucket.high)) {
                bucket.count++;
                break;
            }
        if (artistReturn.tracks >= artistLimit)
            return;
        auto [found, first] = withinWindow.try_emplace(
            artistKey(artist), ReturnsWithinWindow{artist, 0, artistReturn.tracks, artistReturn.seconds});
        ReturnsWithinWindow& returns = found->second;
        returns.returns++;
        returns.fewestTracks = std::min(returns.fewestTracks, artistReturn.tracks);
        returns.fewestSeconds = std::min(returns.fewestSeconds, artistReturn.seconds);
    });
    stats->artistReturns = static_cast<int32_t>(tracks.size());
    stats->withinWindow = sortedWithinWindow(withinWindow);
    stats->smallestGap = tracks.empty() ? -1 : *std::min_element(tracks.begin(), tracks.end());
    stats->shortestGapSeconds = seconds.empty() ? -1 : *std::min_element(seconds.begin(), seconds.end());
    stats->medianGap = medianOf(&tracks);
    stats->medianGapSeconds = medianOf(&seconds);
}

} // namespace sim
