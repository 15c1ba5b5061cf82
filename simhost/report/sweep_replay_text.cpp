// What the sweep says of the setting it replayed through the plug-in: the early returns no limit
// prevents there, and whether the plug-in decided every track as the mirror did (or where the two
// first parted).
#include <algorithm>

#include "playlist/station_clock.h"
#include "report/report.h"
#include "report/sweep_report.h"

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

std::string replayText(const ReplayOutcome& replay) {
    std::string text = "replay through the plug-in: " + settingText(replay.setting) +
                       offText(replay.setting) + " on " + countOf(replay.seeds, "seed", "seeds") + ", ";
    if (replay.agreed)
        return text + "the plug-in decided all " + countOf(replay.events, "track", "tracks") +
               " as the mirror did\n";
    return text + "the plug-in decided otherwise than the mirror: " + replay.difference + "\n";
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
