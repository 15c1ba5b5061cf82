// Fuzzes reading an air log and counting what went to air. Any file, read alone or after a
// previous file, must read without a crash or a read out of bounds, whatever its times, places and
// titles, and either be refused or give lines whose titles exist; its history and figures must
// hold together: every track counted once, on-air time that never runs backwards, and the days
// adding up to the whole. The renderings must run on whatever it holds.
//
// Input layout (missing bytes read as 0):
//   split        one byte: 0, the whole rest is one file; else the first split/256 of the rest is
//                the previous file of a rolled log, the remainder the log itself
//   bytes        the rest
#include <cstdint>
#include <string>

#include "aired/aired_report.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput input = {data, size, 0};
    const uint8_t split = fuzz::takeByte(input);
    const std::string rest(reinterpret_cast<const char*>(data) + input.used, size - input.used);
    const size_t cut = rest.size() * split / 256;
    sim::AirLog log = {};
    int32_t format = 0;
    if (split != 0)
        sim::readAirLog("previous", rest.substr(0, cut), sim::latin1CodePage(), false, &log, &format);
    const sim::AirReadResult read =
        sim::readAirLog("log", rest.substr(split != 0 ? cut : 0), sim::latin1CodePage(), true, &log, &format);
    FUZZ_CHECK(read == sim::kAirLogRead || read == sim::kNotAnAirLog || read == sim::kNewerAirLog);
    for (const sim::AirLine& line : log.lines) {
        FUZZ_CHECK(line.title < static_cast<int32_t>(log.titles.size()));
        FUZZ_CHECK(line.matched < static_cast<int32_t>(log.titles.size()));
        FUZZ_CHECK((line.kind != sim::kAirPlayed && line.kind != sim::kAirSkipped) ||
                   (line.position >= 1 && line.title >= 0));
    }

    const sim::AiredHistory history = sim::airedHistory(log, nullptr);
    int64_t airMs = -1;
    for (const sim::AiredTrack& track : history.tracks) {
        FUZZ_CHECK(track.entry >= 0 && static_cast<size_t>(track.entry) < history.playlist.size());
        FUZZ_CHECK(track.airMs >= airMs);
        airMs = track.airMs;
    }
    const sim::AiredFigures figures = sim::airedFigures(history, {60, 3, 100, 100}, {});
    FUZZ_CHECK(static_cast<size_t>(figures.all.played) + static_cast<size_t>(figures.all.skipped) ==
               history.tracks.size());
    int64_t onAir = 0;
    for (const sim::OnAirSpan& span : history.onAir)
        onAir += span.toMs - span.fromMs;
    FUZZ_CHECK(figures.all.airMs == onAir);
    sim::AiredCounts days = {};
    for (const sim::AiredDay& day : figures.days) {
        days.played += day.counts.played;
        days.airMs += day.counts.airMs;
    }
    FUZZ_CHECK(days.played == figures.all.played && days.airMs == figures.all.airMs);

    sim::AiredReport report = {};
    report.files = log.files;
    report.history = &history;
    report.figures = figures;
    report.order = sim::playedOrder(history, {});
    FUZZ_CHECK(report.order.withinRotation <= report.order.returns);
    sim::renderAiredText(report);
    sim::renderAiredCsv(report);
    sim::renderAiredHtml(report);
    return 0;
}
