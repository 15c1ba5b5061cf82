// The air log as a reader takes it (docs/air-log.md): its first line, which names the format, then
// one event a line in twelve tab-separated fields. Whatever the file holds that is no such line is
// counted and marked where it stood, never guessed at: a line that cannot be read becomes a place
// where the log cannot tell what happened, and the figures leave the time around it out.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "aired/air_time.h"
#include "playlist/text_encoding.h"

namespace sim {

// The newest format this reader knows, and the first line's text before the number.
constexpr int32_t kAirLogFormat = 1;
extern const char kAirLogHeading[]; // "#Songbeacon air log\tformat "

enum AirEventKind : uint8_t {
    kAirStart,
    kAirPlayed,
    kAirSkipped,
    kAirPlaying,
    kAirPaused,
    kAirStopped,
    kAirLimits,
    kAirLost,
    kAirShutdown,
    kAirUnreadable, // not written by the plug-in: where lines stood that could not be read
};

struct AirLine {
    AirTime time;        // kAirUnreadable: the time of the line before it (of the next at the start)
    uint8_t kind;        // an AirEventKind
    uint8_t rule;        // skipped: kRuleArtist or kRuleTitle (rule_mirror.h)
    bool monitoring;     // start, limits: the repeat filter on
    int32_t position;    // played, skipped: the playlist entry, 1 for the first
    int32_t title;       // played, skipped: an index into AirLog::titles
    int32_t matched;     // skipped: the earlier title it matched, likewise
    int32_t back;        // skipped: how many played tracks back that title stands
    int32_t artistLimit; // start, limits: SameArtistCheckLimit from this line on
    int32_t titleLimit;  // ... and SameTitleCheckLimit
    int32_t count;       // lost: the lines lost; unreadable: the lines that could not be read
    int32_t version;     // start: an index into AirLog::versions
};

struct AirLog {
    std::vector<std::string> titles; // in the player's code page, each once
    std::vector<AirLine> lines;      // in the order of the files, previous file first
    std::vector<std::string> versions;
    std::vector<std::string> files; // the names read, in order
    int64_t linesRead;              // first lines included
    int32_t unreadable;             // lines that are no event line of the format
    std::string firstUnreadable;    // where the first stood: "air.log line 1234"
    int32_t cut;                    // of those, lines cut off (a time and an event, then too few fields)
    int32_t joined;                 // cut-off lines with a whole line written on after them
    int32_t unknownEvents;          // lines of events this reader does not know (a newer plug-in's)
    bool tornEnd;                   // the last line had no line end and was left out
    int32_t unheld;                 // characters of titles the code page cannot hold
    std::unordered_map<std::string, int32_t> titleIndex; // a title's index, by its text
};

enum AirReadResult : int32_t { kAirLogRead, kNotAnAirLog, kNewerAirLog };

// Appends the lines of the file `name` holding `bytes` to `log`, its titles converted from UTF-8
// to `codePage`. `last` is false for a file read before another (the previous file of a rolled
// log): a cut-off line at its end is then a place that could not be read, not the log's end.
// kNotAnAirLog or kNewerAirLog (with `format`, the number its first line gives) leave `log` as
// it was.
AirReadResult readAirLog(const std::string& name, const std::string& bytes, const CodePage& codePage,
                         bool last, AirLog* log, int32_t* format);

// The index of `title` (in the code page) in the log's titles, added when it is new.
int32_t airTitleIndex(AirLog* log, const std::string& title);

// True when `bytes` (the start of a file is enough) begin with an air log's first line, of any
// format: what the tools recognise a log by.
bool startsAsAirLog(const std::string& bytes);

// The previous file of a rolled log: "<name>-previous<ext>" beside it.
std::string previousLogPath(const std::string& path);

// What the reader left out, one line each, for the operator: nothing when every line was read.
std::vector<std::string> airLogNotes(const AirLog& log, const CodePage& codePage);

} // namespace sim
