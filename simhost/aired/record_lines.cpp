// The lines of a run's record. The plug-in judges a title only when it differs from the one it
// recorded last, and only titles it has read: those are the plays it logs.
#include "aired/record_lines.h"

namespace {

sim::AirLine lineAt(uint8_t kind, int64_t seconds, sim::AirTime start) {
    sim::AirLine line = {};
    line.time = {start.utcMs + seconds * 1000, start.offsetMinutes};
    line.kind = kind;
    line.title = line.matched = line.version = -1;
    return line;
}

sim::AirLine limitsLine(uint8_t kind, int64_t seconds, sim::AirTime start, sim::RuleLimits limits) {
    sim::AirLine line = lineAt(kind, seconds, start);
    line.artistLimit = limits.artistLimit;
    line.titleLimit = limits.titleLimit;
    line.monitoring = limits.monitoring;
    return line;
}

} // namespace

namespace sim {

void appendRecordLines(const RunRecord& record, RuleLimits limits, const std::string& version, AirTime start,
                       const std::vector<RecordInterlude>& interludes, AirLog* log) {
    int64_t off = 0; // station seconds paused or stopped so far
    AirLine first = limitsLine(kAirStart, 0, start, limits);
    first.version = static_cast<int32_t>(log->versions.size());
    log->versions.push_back(version);
    log->lines.push_back(first);
    log->lines.push_back(lineAt(kAirPlaying, 0, start));
    size_t next = 0;
    int32_t recordedTitle = -1;                                     // the title id the plug-in recorded last
    std::vector<int32_t> titleOfEntry(record.playlist->size(), -1); // each entry's index in the log's titles
    auto titleIndex = [&](int32_t entry) {
        int32_t& index = titleOfEntry[static_cast<size_t>(entry)];
        if (index < 0)
            index = airTitleIndex(log, (*record.playlist)[static_cast<size_t>(entry)].title);
        return index;
    };
    const auto events = static_cast<int64_t>(record.events.size());
    for (int64_t i = 0; i <= events; i++) {
        for (; next < interludes.size() && interludes[next].beforeEvent <= i; next++) {
            const RecordInterlude& interlude = interludes[next];
            if (interlude.kind == kAirLimits) {
                log->lines.push_back(
                    limitsLine(kAirLimits, interlude.atSeconds + off, start, interlude.limits));
                continue;
            }
            log->lines.push_back(lineAt(interlude.kind, interlude.atSeconds + off, start));
            off += interlude.seconds;
            log->lines.push_back(lineAt(kAirPlaying, interlude.atSeconds + off, start));
        }
        if (i == events)
            break;
        const TrackEvent& event = record.events[static_cast<size_t>(i)];
        const int32_t titleId = record.titleIds[static_cast<size_t>(event.entry)];
        if (event.kind == kPlayed && (event.unseen || titleId == recordedTitle))
            continue;
        AirLine line = lineAt(event.kind == kPlayed ? kAirPlayed : kAirSkipped, event.at + off, start);
        line.position = event.entry + 1;
        line.title = titleIndex(event.entry);
        if (event.kind == kPlayed) {
            recordedTitle = titleId;
        } else {
            line.rule = event.rule;
            line.matched = event.other >= 0 ? titleIndex(event.other) : airTitleIndex(log, std::string());
            line.back = event.span;
        }
        log->lines.push_back(line);
    }
    log->lines.push_back(lineAt(kAirStopped, record.stationSeconds + off, start));
    log->lines.push_back(lineAt(kAirShutdown, record.stationSeconds + off, start));
}

} // namespace sim
