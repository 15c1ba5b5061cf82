// Air logs written line by line for the tests, as the plug-in writes them: the first line, then
// twelve tab-separated fields a line, each ending in CR LF, at minutes after a fixed start.
#pragma once

#include <string>
#include <vector>

#include "aired/air_history.h"
#include "aired/air_log.h"

namespace airtest {

constexpr int64_t kStartMs = 1796756400000; // 2026-12-08T20:00:00.000+01:00
constexpr int32_t kOffset = 60;

// The log's time `minutes` after the start.
inline std::string at(double minutes) {
    return sim::airTimeText({kStartMs + static_cast<int64_t>(minutes * 60000), kOffset});
}

// One event line: the time, the event, then its fields from the third on (the rest left empty).
inline std::string line(double minutes, const std::string& event, std::vector<std::string> fields = {}) {
    fields.resize(10);
    std::string text = at(minutes) + "\t" + event;
    for (const std::string& field : fields)
        text += "\t" + field;
    return text + "\r\n";
}

inline std::string start(double minutes, int artist, int title) {
    return line(minutes, "start",
                {"", "", "", "", "", "", std::to_string(artist), std::to_string(title), "1", "0.24b"});
}
inline std::string played(double minutes, int position, const std::string& title) {
    return line(minutes, "played", {std::to_string(position), title});
}
inline std::string skipped(double minutes, int position, const std::string& title, const std::string& matched,
                           int back) {
    return line(
        minutes, "skipped",
        {std::to_string(position), title, "artist", title.substr(0, 3), matched, std::to_string(back)});
}

inline const std::string kHeading = "#Songbeacon air log\tformat 1\r\n";

// The log of `text` read as one file (or after `previous`), with the Latin-1 stand-in code page.
inline sim::AirReadResult read(const std::string& text, sim::AirLog* log, const std::string& previous = "") {
    int32_t format = 0;
    if (!previous.empty())
        sim::readAirLog("air-previous.log", previous, sim::latin1CodePage(), false, log, &format);
    return sim::readAirLog("air.log", text, sim::latin1CodePage(), true, log, &format);
}

} // namespace airtest
