// The phrases the tuning report's two renderings share, the console's and the HTML page's.
#include <cctype>
#include <cmath>
#include <cstdio>

#include "report/report.h"
#include "playlist/station_clock.h"
#include "tuning/artist.h"

namespace {

constexpr double kPassesToJudgeTitles = 3; // every entry offered, then back twice

// `value` formatted by `pattern`, one of this file's own literal patterns.
std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// `value` in decimal.
std::string number(int64_t value) {
    return std::to_string(value);
}

// "1.0 pass" or "2.3 passes": how far the play order went, cut (not rounded) to a tenth.
std::string passesText(double passes) {
    const double tenths = std::floor(passes * 10.0) / 10.0;
    return format("%.1f", tenths) + (tenths == 1.0 ? " pass" : " passes");
}

// True when `title` names no artist of its own but opens with the artist of `other`, as artists are
// compared, up to a punctuation mark or its end: "Édith Piaf: Padam Padam" and "Édith Piaf - Non, je
// ne regrette rien".
bool opensWithArtistOf(const std::string& title, const std::string& other) {
    const std::string artist = sim::artistOf(other);
    if (artist.empty() || !sim::artistOf(title).empty())
        return false;
    const std::string key = sim::artistKey(artist);
    for (size_t cut = 1; cut <= title.size(); cut++) {
        const auto next = static_cast<unsigned char>(cut < title.size() ? title[cut] : '.');
        if (next < 0x80 && std::ispunct(next) != 0 &&
            (sim::artistKey(title.substr(0, cut)) == key ||
             sim::probablySameArtist(title.substr(0, cut), artist)))
            return true;
    }
    return false;
}

} // namespace

namespace sim {

const char kArtistComparison[] =
    "Artists are the playlist's own: the text before \" - \", compared ignoring "
    "case, a leading \"The\" or a trailing \", The\", \"&\" against \"and\", "
    "and punctuation and spaces; the symbols @ # $ % * = ~ ^ | < > are part of a "
    "name (\"@peace\" is not \"Peace\").";

const char kBackToBack[] =
    "The plug-in judges a title only when it differs from the one it admitted last: an "
    "entry with that title plays again, whatever the limits.";

const char kLoopingTitle[] =
    "No other entry could play: each was refused, by the title limit or the artist window, and a refusal "
    "records nothing, so nothing changes and lap after lap the same title is the only one left, for good. "
    "Lower the limits.";

std::string countOf(int64_t count, const char* singular, const char* plural) {
    return number(count) + " " + (count == 1 ? singular : plural);
}

std::string runDescription(const ReportContext& context) {
    std::string text = context.playlistName + ", " + countOf(context.entries, "entry", "entries");
    text += context.shuffled ? ", shuffled (seed " + std::to_string(context.seed) + ")" : ", in order";
    if (context.secondsAsked > 0)
        text += ", " + medianText(static_cast<double>(context.secondsAsked) / 3600.0) + " h of station time";
    if (context.tracksAsked > 0)
        text += ", " + countOf(context.tracksAsked, "track", "tracks");
    return text;
}

std::string limitsDescription(const ReportContext& context) {
    const RuleLimits& limits = context.limits;
    if (!context.limitsKnown)
        return "limits unknown: there was no plugin.ini beside the plug-in after its start";
    if (!limits.monitoring)
        return "playlist monitoring off (EnablePlaylistMonitoring=0): the plug-in refuses nothing";
    return "SameArtistCheckLimit " + number(limits.artistLimit) + ", SameTitleCheckLimit " +
           number(limits.titleLimit);
}

int32_t reportedArtistWindow(const ReportContext& context) {
    return context.limitsKnown ? artistWindow(context.limits) : 0;
}

std::string artistWindowText(const ReportContext& context) {
    if (reportedArtistWindow(context) <= 0)
        return "no artist window: the artist rule is off";
    return "artist window " + number(reportedArtistWindow(context));
}

std::string skipRateText(const RunStats& stats) {
    return format("%.1f %%", stats.skipRate * 100.0) + " of the " +
           countOf(stats.played + stats.skipped, "track", "tracks") + " started";
}

std::string gapLabel(const GapBucket& bucket) {
    if (bucket.high < 0)
        return number(bucket.low) + "+";
    if (bucket.high == bucket.low)
        return number(bucket.low);
    return number(bucket.low) + "-" + number(bucket.high);
}

std::string medianText(double median) {
    return median == static_cast<double>(static_cast<int64_t>(median)) ? number(static_cast<int64_t>(median))
                                                                       : format("%.1f", median);
}

std::string durationText(double seconds) {
    if (seconds < 59.5)
        return number(std::llround(seconds)) + " s";
    const int64_t minutes = std::llround(seconds / 60.0);
    if (minutes < 60)
        return number(minutes) + " min";
    return number(minutes / 60) + " h" + (minutes % 60 == 0 ? "" : " " + number(minutes % 60) + " min");
}

std::string longestSkipRunText(const RunStats& stats) {
    std::string text = number(stats.longestSkipRun);
    if (stats.longestSkipRun > 1)
        text += " (" + number(stats.longestSkipRunEntries) + " of the " +
                countOf(stats.entries, "entry", "entries") + ")";
    return text;
}

std::string rotationText(const RunStats& stats) {
    const int32_t started = stats.played + stats.skipped;
    const int32_t cameRound = started > 0 && stats.entries > 0 ? (started - 1) / stats.entries : 0;
    return passesText(stats.passes) + " through the playlist's " +
           countOf(stats.entries, "entry", "entries") + " (" +
           (cameRound == 0 ? std::string("it never came round")
                           : "it came round " + countOf(cameRound, "time", "times")) +
           ")";
}

std::string separationText(const RunStats& stats) {
    if (stats.artistReturns == 0)
        return "no artist came back";
    return countOf(stats.artistReturns, "return", "returns") + " of an artist; tracks between: smallest " +
           number(stats.smallestGap) + ", median " + medianText(stats.medianGap);
}

std::string separationTimeText(const RunStats& stats) {
    return "time from start to start: shortest " +
           durationText(static_cast<double>(stats.shortestGapSeconds)) + ", median " +
           durationText(stats.medianGapSeconds);
}

std::string loopText(const LoopingTitle& loop) {
    return "the other " + countOf(loop.otherEntries, "entry", "entries") +
           " refused lap after lap: " + countOf(loop.laps, "lap", "laps");
}

std::string entryNumbersText(const ListedTwice& listed) {
    std::string text = "entries ";
    for (size_t i = 0; i < listed.entries.size(); i++)
        text += (i == 0 ? "" : ", ") + number(listed.entries[i]);
    return text;
}

std::string closestReturnText(const ReturnsWithinWindow& returns) {
    return countOf(returns.fewestTracks, "track", "tracks") + ", " +
           durationText(static_cast<double>(returns.fewestSeconds));
}

std::string noArtistAdvice(const RunStats& stats) {
    // A title naming no artist that opens with the other's artist is probably that artist's own
    // ("Édith Piaf: Padam Padam" after "Édith Piaf - Non, je ne regrette rien"): another opening
    // would let one singer play back to back, so no such pair is given that advice.
    const CountedPair *apart = nullptr, *oneArtist = nullptr;
    for (const CountedPair& pair : stats.noArtistPairs) {
        const CountedPair*& first =
            opensWithArtistOf(pair.first, pair.second) || opensWithArtistOf(pair.second, pair.first)
                ? oneArtist
                : apart;
        if (first == nullptr)
            first = &pair;
    }
    std::string advice;
    if (apart != nullptr || oneArtist == nullptr) {
        advice = "The rule takes the first three characters of a title for its artist: give each title "
                 "without an artist an opening of its own";
        if (apart != nullptr)
            advice += ", so that \"" + apart->first + "\" and \"" + apart->second +
                      "\" no longer refuse each other";
        advice += ".";
    }
    if (oneArtist != nullptr) {
        const bool firstOpens = opensWithArtistOf(oneArtist->first, oneArtist->second);
        advice +=
            std::string(advice.empty() ? "" : " But ") + "\"" +
            (firstOpens ? oneArtist->first : oneArtist->second) + "\" opens with the artist of \"" +
            (firstOpens ? oneArtist->second : oneArtist->first) +
            "\": probably one artist, refused as meant; keep its opening (or write it \"Artist - Title\").";
    }
    return advice;
}

std::vector<std::string> runWarnings(const ReportContext& context, const RunStats& stats) {
    std::vector<std::string> warnings;
    if (stats.recordFull)
        warnings.push_back("the run ended early: it recorded " +
                           countOf(stats.played + stats.skipped, "track", "tracks") +
                           " started, the most one run keeps");
    if (stats.passes >= kPassesToJudgeTitles || stats.entries == 0)
        return warnings;
    std::string warning =
        "the run ended after " + passesText(stats.passes) +
        " through the playlist, before every entry could come back twice: the title limit is "
        "judged only once the playlist has come round";
    // Every entry played, as the sweep counts a rotation: the same figure wherever it is shown, and
    // enough whatever the skips.
    if (context.rotationSeconds > 0) {
        const int64_t seconds = context.rotationSeconds * static_cast<int64_t>(kPassesToJudgeTitles);
        warning += "; 3 rotations of the playlist take " + clockText(seconds) +
                   " of station time, every entry played (--hours " + number((seconds + 3599) / 3600) + ")";
    }
    warnings.push_back(warning);
    return warnings;
}

} // namespace sim
