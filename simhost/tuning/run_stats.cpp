// Statistics of a run (the artists' separation in artist_separation.cpp). Lists are ordered by
// count, most first, then alphabetically, so that the same run always gives the same report.
#include "tuning/run_stats.h"

#include <algorithm>
#include <map>
#include <utility>

#include "tuning/artist.h"

namespace {

constexpr size_t kMostRefusedShown = 10;

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
