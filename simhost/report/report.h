// The tuning report at the end of a run: as text for the console, and as one self-contained HTML
// page (inline styles and an inline SVG histogram; no scripts, no links, every title escaped).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tuning/rule_mirror.h"
#include "tuning/run_stats.h"

namespace sim {

// What the run was asked to do, for the report's heading.
struct ReportContext {
    std::string playlistName; // the playlist's file name, without its folder
    int32_t entries;
    bool shuffled;
    uint64_t seed;
    int64_t secondsAsked;              // --hours as seconds, or 0
    int32_t tracksAsked;               // --tracks, or 0
    bool limitsKnown;                  // plugin.ini was there after the plug-in's start
    RuleLimits limits;                 // as the plug-in read them
    std::vector<std::string> warnings; // about plugin.ini and the limits, one line each
    int64_t rotationSeconds;           // one pass with every entry played, as a sweep counts it; 0: unknown
};

// How artists are compared in the report, in a sentence.
extern const char kArtistComparison[];

// Why one title can play twice in a row, in a sentence.
extern const char kBackToBack[];

// Why a looping title loops, in a sentence.
extern const char kLoopingTitle[];

// The report as console text, ending with a line feed.
std::string renderTextReport(const ReportContext& context, const RunStats& stats);

// The report as a whole HTML document.
std::string renderHtmlReport(const ReportContext& context, const RunStats& stats);

// Phrases both renderings share (report_phrases.cpp).
std::string countOf(int64_t count, const char* singular, const char* plural); // "1 track", "7 tracks"
std::string runDescription(const ReportContext& context);    // playlist, order and length of the run
std::string limitsDescription(const ReportContext& context); // the two limits, or why they are not known
std::string artistWindowText(const ReportContext& context);  // "artist window 12"
int32_t reportedArtistWindow(const ReportContext& context);  // the window judged by; 0: no artist rule
std::string skipRateText(const RunStats& stats);             // "23.3 % of the 519 tracks started"
std::string gapLabel(const GapBucket& bucket);               // "0", "3-4", "200+"
std::string medianText(double median);                       // "61" or "61.5"
std::string durationText(double seconds);                    // "45 s", "7 min", "4 h 10 min"
std::string longestSkipRunText(const RunStats& stats);       // "595 (301 of the 302 entries)"
std::string rotationText(const RunStats& stats);             // "2.3 passes through the playlist's ..."
std::string separationText(const RunStats& stats);           // returns, smallest and median in tracks
std::string separationTimeText(const RunStats& stats);       // ... and in station time
std::string loopText(const LoopingTitle& loop);              // "the other 301 entries refused: 470 laps"
std::string entryNumbersText(const ListedTwice& listed);     // "entries 5, 88"
std::string closestReturnText(const ReturnsWithinWindow& returns); // "0 tracks, 6 min"
// Give each title without an artist its own opening; but not one that opens with the artist of the
// title it matched, which is probably that artist's.
std::string noArtistAdvice(const RunStats& stats);

// Warnings drawn from the run itself, one line each: a record that filled up, a run too short for
// the title limit to be judged (with the length of three rotations, as a sweep counts them).
std::vector<std::string> runWarnings(const ReportContext& context, const RunStats& stats);

} // namespace sim
