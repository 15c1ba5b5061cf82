// What the sweep says of the setting it replayed through the plug-in: the early returns no limit
// prevents there, and whether the plug-in decided every track as the mirror did (or where the two
// first parted).
#include <algorithm>

#include "playlist/station_clock.h"
#include "report/report.h"
#include "report/sweep_report.h"
#include "tuning/replay_extent.h"

namespace sim {

std::string unpreventableText(const SweepContext& context, const std::vector<SweepRow>& rows,
                              const Recommendation& recommendation) {
    if (rows.empty())
        return std::string();
    const SweepRow& row = rows[static_cast<size_t>(std::max(recommendation.replayed, 0))];
    auto quoted = [](const std::vector<std::string>& texts, int32_t id) {
        return id >= 0 && static_cast<size_t>(id) < texts.size()
                   ? "\"" + texts[static_cast<size_t>(id)] + "\""
                   : std::string("?");
    };
    const std::string where = ", at " + settingText(row.setting) + offText(row.setting) + " on " +
                              countOf(static_cast<int64_t>(row.seeds.size()), "seed", "seeds") + ": ";
    const std::string gap = " sooner than " + std::to_string(context.plan.goal.artistGapMinutes) + " minutes";
    std::string out;
    if (!row.spellingPairs.empty()) {
        out +=
            "returns no limit prevents: " +
            countOf(row.unpreventable - row.listedTwice, "return", "returns") + " of an artist" + gap +
            " under another spelling" + where +
            "the rule reads their first characters as two artists at every limit. Spell each artist one way "
            "in the playlist:\n";
        for (const SpellingPair& pair : row.spellingPairs)
            out += "  " + quoted(context.spellings, pair.first) + " / " +
                   quoted(context.spellings, pair.second) + ": " + countOf(pair.count, "return", "returns") +
                   "\n";
    }
    if (!row.listedTwicePairs.empty()) {
        out +=
            "returns no limit prevents: " + countOf(row.listedTwice, "return", "returns") + " of an artist" +
            gap + " as a title listed twice played right after itself" + where +
            "the plug-in never judges a title that is the one it admitted last. List each title once in the "
            "playlist:\n";
        for (const SpellingPair& pair : row.listedTwicePairs)
            out += "  " + quoted(context.titles, pair.first) + ", entries " + std::to_string(pair.first + 1) +
                   " and " + std::to_string(pair.second + 1) + ": " +
                   countOf(pair.count, "return", "returns") + "\n";
    }
    return out;
}

namespace {

// The kinds of decision of `kinds` (DecisionKindBits), in words, joined by commas.
std::string kindsText(int32_t kinds) {
    static const struct {
        int32_t bit;
        const char* words;
    } kWords[] = {
        {kDecidedAdmitted, "titles admitted"},
        {kDecidedArtistRefusal, "refused by the artist rule"},
        {kDecidedTitleRefusal, "refused by the title rule"},
        {kDecidedPlayedAgain, "a title played again unjudged right after itself"},
        {kDecidedLooping, "one title looping while every other entry is refused"},
        {kDecidedHistoryDropped, "the plug-in's history full (1000 titles) and dropping its oldest"},
    };
    std::string text;
    for (const auto& kind : kWords)
        if ((kinds & kind.bit) != 0)
            text += (text.empty() ? "" : ", ") + std::string(kind.words);
    return text;
}

// What of each seed's run was replayed: "each seed's whole run", "the first 84:10:00 of each seed's
// run", "the first 81:02:00 to 84:10:00 of each seed's run".
std::string replayedPart(const ReplayOutcome& replay) {
    const std::string whose = replay.seeds == 1 ? "the seed's" : "each seed's";
    if (replay.wholeRuns)
        return whose + " whole run";
    const std::string most = clockText(replay.mostSeconds);
    return "the first " +
           (replay.fewestSeconds == replay.mostSeconds ? most
                                                       : clockText(replay.fewestSeconds) + " to " + most) +
           " of " + whose + " run";
}

} // namespace

std::string replayText(const ReplayOutcome& replay) {
    std::string text = "replay through the plug-in: " + settingText(replay.setting) +
                       offText(replay.setting) + " on " + countOf(replay.seeds, "seed", "seeds") + ", ";
    if (!replay.agreed)
        return text + "the plug-in decided otherwise than the mirror: " + replay.difference + "\n";
    text += "the plug-in decided all " + countOf(replay.events, "track", "tracks") + " of " +
            replayedPart(replay) + " as the mirror did\n";
    if (replay.wholeRuns)
        return text;
    if (!replay.cut)
        return text +
               "  replayed as far as each run had shown every kind of decision it makes and the "
               "plug-in's history had filled: " +
               kindsText(replay.kindsShown) + "\n";
    text += "  replayed for at most " + clockText(replay.shareSeconds) +
            " of each seed's run, its share of one run's length: " + kindsText(replay.kindsShown);
    if (replay.kindsLater != 0)
        text += "; later in some runs: " + kindsText(replay.kindsLater);
    return text + "\n";
}

std::string differenceText(const RunRecord& real, const RunRecord& mirror, int64_t index, uint64_t seed) {
    const auto at = static_cast<size_t>(index);
    auto describe = [](const RunRecord& record, const TrackEvent& event) {
        return std::string(event.kind == kPlayed ? "played" : "skipped") + " entry " +
               std::to_string(event.entry + 1) + " \"" + titleOf(record, event) + "\"";
    };
    std::string text = "seed " + std::to_string(seed) + ", track " + std::to_string(index + 1) + " started";
    if (at < real.events.size() && at < mirror.events.size())
        return text + " (station time " + clockText(real.events[at].at) + "): the plug-in " +
               describe(real, real.events[at]) + ", the mirror " + describe(mirror, mirror.events[at]);
    if (at < mirror.events.size())
        return text + ": the plug-in's run ended before it, where the mirror " +
               describe(mirror, mirror.events[at]);
    return text + ": the mirror's run ended before it, where the plug-in " + describe(real, real.events[at]);
}

} // namespace sim
