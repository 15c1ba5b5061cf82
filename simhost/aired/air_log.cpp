// Reading the air log, line by line. Each field is checked for what its event needs; a line that
// fails is counted where it stood, and when a whole line was written on after a cut-off one (a
// power cut, then the player started again), that line is still read.
#include "aired/air_log.h"

#include <string_view>

#include "tuning/rule_mirror.h"

namespace sim {

const char kAirLogHeading[] = "#Songbeacon air log\tformat ";

} // namespace sim

namespace {

constexpr size_t kFields = 12;
constexpr size_t kTimeLength = 29;
constexpr int32_t kMostFormatDigits = 9;

// An event's name, and which of the fields from the third on it uses (bit 0: the third): the
// others are empty in every line the plug-in writes.
struct EventName {
    const char* name;
    sim::AirEventKind kind;
    uint32_t fields;
};
constexpr uint32_t kTrackFields = 0x3;    // position, title
constexpr uint32_t kSkipFields = 0x3F;    // ... rule, key, matched, back
constexpr uint32_t kLimitsFields = 0x1C0; // artist_limit, title_limit, monitoring
constexpr uint32_t kDetailField = 0x200;
constexpr EventName kEventNames[] = {
    {"start", sim::kAirStart, kLimitsFields | kDetailField},
    {"played", sim::kAirPlayed, kTrackFields},
    {"skipped", sim::kAirSkipped, kSkipFields},
    {"playing", sim::kAirPlaying, 0},
    {"paused", sim::kAirPaused, 0},
    {"stopped", sim::kAirStopped, 0},
    {"limits", sim::kAirLimits, kLimitsFields},
    {"lost", sim::kAirLost, kDetailField},
    {"shutdown", sim::kAirShutdown, 0},
};

// A decimal whole number, optionally negative, that fits in 32 bits: all of `text`.
bool wholeNumber(std::string_view text, int32_t* value) {
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        text.remove_prefix(1);
    if (text.empty() || text.size() > 10)
        return false;
    int64_t result = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        result = result * 10 + (c - '0');
    }
    result = negative ? -result : result;
    if (result < INT32_MIN || result > INT32_MAX)
        return false;
    *value = static_cast<int32_t>(result);
    return true;
}

// `text`, a title as the plug-in wrote it in UTF-8, in the code page.
std::string inCodePage(std::string_view text, const sim::CodePage& codePage, int32_t* unheld) {
    bool ascii = true;
    for (char c : text)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii)
        return std::string(text);
    int32_t invalid = 0;
    return codePage.fromUtf16(sim::decodeUtf8(std::string(text), 0, &invalid), unheld);
}

// The line at `text` as an event line; false when it is none. kUnknownEvent: a well-formed line
// of an event this reader does not know.
enum LineResult { kLineRead, kNoLine, kUnknownEvent };

LineResult parseLine(std::string_view text, const sim::CodePage& codePage, sim::AirLog* log,
                     sim::AirLine* line) {
    std::string_view fields[kFields];
    size_t count = 0;
    for (size_t start = 0; count < kFields;) {
        const size_t tab = text.find('\t', start);
        fields[count++] =
            text.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start);
        if (tab == std::string_view::npos)
            break;
        start = tab + 1;
    }
    *line = sim::AirLine();
    line->title = line->matched = line->version = -1;
    if (count < kFields || !sim::parseAirTime(fields[0].data(), fields[0].size(), &line->time))
        return kNoLine;
    const EventName* known = nullptr;
    for (const EventName& event : kEventNames)
        if (fields[1] == event.name)
            known = &event;
    if (known != nullptr) {
        line->kind = known->kind;
        for (size_t field = 2; field < kFields; field++)
            if ((known->fields & (1u << (field - 2))) == 0 && !fields[field].empty())
                return kNoLine;
    } else {
        // A newer plug-in's event has a name of letters; anything else is no line at all.
        for (char c : fields[1])
            if (c < 'a' || c > 'z')
                return kNoLine;
        return fields[1].empty() ? kNoLine : kUnknownEvent;
    }
    int32_t monitoring = 0;
    switch (line->kind) {
    case sim::kAirSkipped:
        if (fields[4] == "artist")
            line->rule = sim::kRuleArtist;
        else if (fields[4] == "title")
            line->rule = sim::kRuleTitle;
        else
            return kNoLine;
        if (!wholeNumber(fields[7], &line->back) || line->back < 0)
            return kNoLine;
        line->matched = sim::airTitleIndex(log, inCodePage(fields[6], codePage, &log->unheld));
        [[fallthrough]];
    case sim::kAirPlayed:
        if (!wholeNumber(fields[2], &line->position) || line->position < 1)
            return kNoLine;
        line->title = sim::airTitleIndex(log, inCodePage(fields[3], codePage, &log->unheld));
        break;
    case sim::kAirStart:
    case sim::kAirLimits:
        if (!wholeNumber(fields[8], &line->artistLimit) || !wholeNumber(fields[9], &line->titleLimit) ||
            !wholeNumber(fields[10], &monitoring))
            return kNoLine;
        line->monitoring = monitoring != 0;
        if (line->kind == sim::kAirStart) {
            size_t version = 0;
            while (version < log->versions.size() && log->versions[version] != fields[11])
                version++;
            if (version == log->versions.size())
                log->versions.emplace_back(fields[11]);
            line->version = static_cast<int32_t>(version);
        }
        break;
    case sim::kAirLost:
        if (!wholeNumber(fields[11], &line->count) || line->count < 1)
            return kNoLine;
        break;
    default:
        break;
    }
    return kLineRead;
}

// Where in `text` a whole event line begins after its start, written on after a cut-off line;
// npos when there is none.
size_t joinedLineStart(std::string_view text, const sim::CodePage& codePage, sim::AirLog* log,
                       sim::AirLine* line) {
    for (size_t at = 1; at + kTimeLength < text.size(); at++) {
        sim::AirTime time;
        if (text[at + 10] == 'T' && text[at + kTimeLength] == '\t' &&
            sim::parseAirTime(text.data() + at, kTimeLength, &time) &&
            parseLine(text.substr(at), codePage, log, line) == kLineRead)
            return at;
    }
    return std::string_view::npos;
}

// Marks one line that could not be read, joined to a mark just before it.
void markUnreadable(sim::AirLog* log, const std::string& name, int64_t lineNumber) {
    if (log->unreadable++ == 0)
        log->firstUnreadable = name + " line " + std::to_string(lineNumber);
    if (!log->lines.empty() && log->lines.back().kind == sim::kAirUnreadable) {
        log->lines.back().count++;
        return;
    }
    sim::AirLine mark = {};
    mark.kind = sim::kAirUnreadable;
    mark.count = 1;
    mark.title = mark.matched = mark.version = -1;
    mark.time = {INT64_MIN, 0};
    log->lines.push_back(mark);
}

// Gives the marks of lines that could not be read from `first` on the time of the line before
// them, or of the line after them at the start.
void timeTheMarks(sim::AirLog* log, size_t first) {
    for (size_t i = first; i < log->lines.size(); i++) {
        sim::AirLine& line = log->lines[i];
        if (line.kind != sim::kAirUnreadable || line.time.utcMs != INT64_MIN)
            continue;
        if (i > 0 && log->lines[i - 1].time.utcMs != INT64_MIN)
            line.time = log->lines[i - 1].time;
        else if (i + 1 < log->lines.size())
            line.time = log->lines[i + 1].time;
        else
            line.time = {0, 0};
    }
}

// The format number of a first line that begins with the heading; 0 when it is no such line.
int32_t formatOf(std::string_view first) {
    const std::string_view heading = sim::kAirLogHeading;
    if (first.substr(0, heading.size()) != heading)
        return 0;
    const std::string_view number = first.substr(heading.size());
    int32_t format = 0;
    if (number.empty() || number.size() > kMostFormatDigits || number[0] == '-' ||
        !wholeNumber(number, &format))
        return 0;
    return format;
}

} // namespace

namespace sim {

int32_t airTitleIndex(AirLog* log, const std::string& title) {
    const auto [found, added] = log->titleIndex.try_emplace(title, static_cast<int32_t>(log->titles.size()));
    if (added)
        log->titles.push_back(title);
    return found->second;
}

AirReadResult readAirLog(const std::string& name, const std::string& bytes, const CodePage& codePage,
                         bool last, AirLog* log, int32_t* format) {
    std::string_view text = bytes;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") // a mark an editor may have added
        text.remove_prefix(3);
    const size_t firstEnd = text.find('\n');
    std::string_view first = text.substr(0, firstEnd);
    if (!first.empty() && first.back() == '\r')
        first.remove_suffix(1);
    *format = formatOf(first);
    if (*format == 0 || firstEnd == std::string_view::npos)
        return kNotAnAirLog;
    if (*format > kAirLogFormat)
        return kNewerAirLog;
    log->files.push_back(name);
    log->linesRead++;
    const size_t firstLine = log->lines.size();
    int64_t lineNumber = 1;
    for (size_t start = firstEnd + 1; start < text.size();) {
        lineNumber++;
        const size_t end = text.find('\n', start);
        std::string_view lineText = text.substr(start, end == std::string_view::npos ? end : end - start);
        start = end == std::string_view::npos ? text.size() : end + 1;
        log->linesRead++;
        if (end == std::string_view::npos) { // cut off: its last field may be cut too
            if (last) {
                log->tornEnd = true;
                break;
            }
            markUnreadable(log, name, lineNumber);
            break;
        }
        if (!lineText.empty() && lineText.back() == '\r')
            lineText.remove_suffix(1);
        AirLine line;
        switch (parseLine(lineText, codePage, log, &line)) {
        case kLineRead:
            log->lines.push_back(line);
            break;
        case kUnknownEvent:
            log->unknownEvents++;
            break;
        default:
            markUnreadable(log, name, lineNumber);
            log->cut += lineText.size() > kTimeLength && lineText[kTimeLength] == '\t' &&
                                sim::parseAirTime(lineText.data(), kTimeLength, &line.time)
                            ? 1
                            : 0;
            if (joinedLineStart(lineText, codePage, log, &line) != std::string_view::npos) {
                log->joined++;
                log->lines.push_back(line);
            }
        }
    }
    timeTheMarks(log, firstLine);
    return kAirLogRead;
}

bool startsAsAirLog(const std::string& bytes) {
    std::string_view text = bytes;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::string_view first = text.substr(0, text.find('\n'));
    if (!first.empty() && first.back() == '\r')
        first.remove_suffix(1);
    return formatOf(first) > 0;
}

std::string previousLogPath(const std::string& path) {
    const size_t folder = path.find_last_of("\\/");
    const size_t dot = path.rfind('.');
    const bool hasExtension = dot != std::string::npos && (folder == std::string::npos || dot > folder + 1);
    if (!hasExtension)
        return path + "-previous";
    return path.substr(0, dot) + "-previous" + path.substr(dot);
}

std::vector<std::string> airLogNotes(const AirLog& log, const CodePage& codePage) {
    std::vector<std::string> notes;
    if (log.unreadable > 0)
        notes.push_back(std::to_string(log.unreadable) + (log.unreadable == 1 ? " line is" : " lines are") +
                        " no line of an air log (the first: " + log.firstUnreadable + ")" +
                        (log.cut > 0 ? ", " + std::to_string(log.cut) +
                                           " of them cut off (a power cut while the plug-in wrote)"
                                     : std::string()) +
                        ": left out, and the figures leave out the time around each");
    if (log.joined > 0)
        notes.push_back(std::to_string(log.joined) + (log.joined == 1 ? " line was" : " lines were") +
                        " cut off, with a whole line written on after it (a power cut, then the player "
                        "started again): the cut part is left out, the whole line read");
    if (log.tornEnd)
        notes.push_back("the last line is cut off (a power cut, or the player writing as the log was read): "
                        "left out");
    if (log.unknownEvents > 0)
        notes.push_back(std::to_string(log.unknownEvents) +
                        (log.unknownEvents == 1 ? " line holds an event" : " lines hold events") +
                        " this tool does not know (a newer plug-in's): left out");
    if (log.unheld > 0)
        notes.push_back(std::to_string(log.unheld) + " characters of titles have no place in " +
                        codePage.name + ": they show as " + codePage.unheldShown);
    return notes;
}

} // namespace sim
