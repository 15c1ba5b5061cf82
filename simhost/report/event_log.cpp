// CSV rows of the run's events.
#include "report/event_log.h"

#include "report/report.h"
#include "playlist/station_clock.h"

namespace sim {

std::string eventLogHeader() {
    return "station_time,seconds,entry,title,event,rule,matched_title,tracks_earlier,reason\r\n";
}

std::string csvField(const std::string& text) {
    std::string field = text;
    if (!field.empty() && (field[0] == '=' || field[0] == '+' || field[0] == '-' || field[0] == '@'))
        field.insert(0, "'");
    if (field.find_first_of(",\"\r\n") == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (char c : field) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

std::string reasonText(const SkipReason& reason) {
    switch (reason.rule) {
    case kRuleArtist:
        return "artist key \"" + reason.key + "\" as in \"" + reason.matchedTitle + "\", " +
               countOf(reason.tracksEarlier, "track", "tracks") + " earlier";
    case kRuleTitle:
        if (reason.tracksEarlier <= 0)
            return "an empty title, which the plug-in takes for a repeat";
        return "the same title, " + countOf(reason.tracksEarlier, "track", "tracks") + " earlier";
    default:
        return "unknown: with the limits in plugin.ini the rule would have let it play";
    }
}

std::string letThroughText(const TrackEvent& event) {
    return "the same artist as \"" + event.otherSpelling +
           "\" within the artist window, spelt differently: the rule let it through";
}

std::string eventLogRow(const RunRecord& record, const TrackEvent& event) {
    std::string row = clockText(event.at) + "," + std::to_string(event.at) + "," +
                      std::to_string(event.entry + 1) + "," + csvField(titleOf(record, event)) + ",";
    if (event.kind == kPlayed) {
        row += event.again ? "played again" : "played";
        if (event.otherSpelling.empty())
            return row + ",,,,\r\n";
        return row + ",let through," + csvField(event.otherSpelling) + ",," +
               csvField(letThroughText(event)) + "\r\n";
    }
    static const char* const kRuleNames[] = {"unknown", "artist", "title"};
    row += "skipped,";
    row += kRuleNames[event.reason.rule >= kRuleUnknown && event.reason.rule <= kRuleTitle ? event.reason.rule
                                                                                           : 0];
    row += "," + csvField(event.reason.matchedTitle) + ",";
    if (event.reason.rule != kRuleUnknown)
        row += std::to_string(event.reason.tracksEarlier);
    return row + "," + csvField(reasonText(event.reason)) + "\r\n";
}

} // namespace sim
