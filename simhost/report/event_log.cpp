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
    static const std::string kFormulaStarts = "=+-@\t\r"; // what a spreadsheet may take for a formula
    if (!field.empty() && kFormulaStarts.find(field[0]) != std::string::npos)
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

std::string letThroughText(const RunRecord& record, const TrackEvent& event) {
    return "the same artist as \"" + otherTitleOf(record, event) +
           "\" within the artist window, spelt differently: the rule let it through";
}

std::string eventLogRow(const RunRecord& record, const TrackEvent& event) {
    std::string row = clockText(event.at) + "," + std::to_string(event.at) + "," +
                      std::to_string(event.entry + 1) + "," + csvField(titleOf(record, event)) + ",";
    if (event.kind == kPlayed) {
        row += event.again != kNotAgain ? "played again" : "played";
        if (event.other < 0)
            return row + ",,,,\r\n";
        return row + ",let through," + csvField(otherTitleOf(record, event)) + ",," +
               csvField(letThroughText(record, event)) + "\r\n";
    }
    static const char* const kRuleNames[] = {"unknown", "artist", "title"};
    row += "skipped,";
    const SkipReason reason = reasonOf(record, event);
    row += kRuleNames[reason.rule >= kRuleUnknown && reason.rule <= kRuleTitle ? reason.rule : 0];
    row += "," + csvField(reason.matchedTitle) + ",";
    if (reason.rule != kRuleUnknown)
        row += std::to_string(reason.tracksEarlier);
    return row + "," + csvField(reasonText(reason)) + "\r\n";
}

} // namespace sim
