// The oracle of what went to air: the real plug-in, its air log on, plays four days of station
// time in the simulated player's fast mode; on the way its limits are changed in its own dialog,
// the player pauses and stops, and another program holds the log so that lines are lost. The
// tool's figures of the log the plug-in wrote must equal, field for field, those of the simulated
// player's own record of the same run, read as the lines the plug-in was to write.
#include <gtest/gtest.h>

#include <windows.h>

#include "aired/aired_figures.h"
#include "aired/played_order.h"
#include "aired/record_lines.h"
#include "cli/ansi_code_page.h"
#include "player/plugin_clock.h"
#include "player/run_driver.h"
#include "support/plugin_host.h"
#include "ui/dialog_ids.h"

namespace {

constexpr int64_t kDay = 86400;
constexpr int64_t kStartMs = 1796756400000; // 2026-12-08 20:00 at UTC+1
constexpr int64_t kChangeAt = kDay + 7 * 3600;
constexpr int64_t kHoldFrom = kDay + 12 * 3600, kHoldTo = 3 * kDay;
const sim::RuleLimits kBefore = {5, 40, true}, kAfter = {9, 40, true};
const sim::SweepGoal kGoal = {60, 3, 100, 100};

// A playlist of 150 entries: artists whose first letters collide now and then, one spelt two ways;
// short tracks, so that the day and a half the log is held overflows the plug-in's queue of lines.
std::vector<sim::PlaylistEntry> stationPlaylist() {
    const char* const artists[] = {
        "Abba",     "Abc",         "Blur", "Cher", "Dido",        "Enya",         "Garbage",   "Hole",
        "Inxs",     "Jewel",       "Kiss", "Lush", "Muse",        "Nena",         "Oasis",     "Pulp",
        "Queen",    "Queensryche", "Rush", "Sade", "The Beatles", "Beatles, The", "The Kinks", "Texas",
        "Ultravox", "Verve",       "Wham", "Xtc",  "Yes",         "Zz Top"};
    std::vector<sim::PlaylistEntry> playlist;
    for (int i = 0; i < 150; i++)
        playlist.push_back(
            {std::string(artists[i % 30]) + " - Song " + std::to_string(i), 60 + (i * 37) % 60});
    return playlist;
}

struct AiredOracle : dllhost::PluginHostTest {
    std::vector<sim::RecordInterlude> interludes;
    bool changed = false;
    HANDLE held = INVALID_HANDLE_VALUE;
    bool released = false;

    std::string logPath() const { return path("air.log"); }

    // Between two tracks, with the plug-in waiting on the player: the limits changed in the dialog
    // once, the log held without sharing by another program for a day and a half of station time.
    static void script(void* context, sim::HostRun* run) {
        auto* test = static_cast<AiredOracle*>(context);
        const int64_t now = run->record.stationSeconds;
        if (!test->changed && now >= kChangeAt) {
            test->changed = true;
            dllhost::configureDrivenBy(test->plugin->configure, [](support::DialogDriver& dialog) {
                EXPECT_TRUE(dialog.type(IDC_ARTIST_LIMIT, std::to_string(kAfter.artistLimit)));
                EXPECT_TRUE(dialog.press(IDOK));
            });
            run->mirror.limits = kAfter;
            test->interludes.push_back(
                {static_cast<int64_t>(run->record.events.size()), now, sim::kAirLimits, 0, kAfter});
        }
        if (test->held == INVALID_HANDLE_VALUE && !test->released && now >= kHoldFrom)
            test->held =
                CreateFileA(test->logPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (test->held != INVALID_HANDLE_VALUE && now >= kHoldTo) {
            Sleep(1000); // the plug-in's writer meets the file held, whenever it writes
            CloseHandle(test->held);
            test->held = INVALID_HANDLE_VALUE;
            test->released = true;
        }
    }
};

// The lines of the record, with the pauses and stops of `holds` where the run made them.
void addHolds(const sim::RunRecord& record, const std::vector<sim::PlayerHold>& holds,
              std::vector<sim::RecordInterlude>* interludes) {
    for (const sim::PlayerHold& hold : holds)
        for (size_t i = 0; i < record.events.size(); i++)
            if (record.events[i].kind == sim::kPlayed && record.events[i].at >= hold.atSeconds) {
                interludes->push_back(
                    {static_cast<int64_t>(i + 1),
                     record.events[i].at,
                     static_cast<uint8_t>(hold.state == sim::kPaused ? sim::kAirPaused : sim::kAirStopped),
                     hold.seconds,
                     {}});
                break;
            }
    std::stable_sort(interludes->begin(), interludes->end(),
                     [](const sim::RecordInterlude& a, const sim::RecordInterlude& b) {
                         return a.beforeEvent < b.beforeEvent;
                     });
}

// The first difference between two logs' lines, in words; "" when they agree.
std::string linesDifference(const sim::AirLog& real, const sim::AirLog& expected) {
    for (size_t i = 0; i < std::max(real.lines.size(), expected.lines.size()); i++) {
        if (i >= real.lines.size() || i >= expected.lines.size())
            return "the log has " + std::to_string(real.lines.size()) + " lines, the record " +
                   std::to_string(expected.lines.size());
        const sim::AirLine& a = real.lines[i];
        const sim::AirLine& b = expected.lines[i];
        auto title = [](const sim::AirLog& log, int32_t index) {
            return index < 0 ? std::string() : log.titles[static_cast<size_t>(index)];
        };
        if (a.kind != b.kind || (a.kind != sim::kAirLost && a.time.utcMs != b.time.utcMs) ||
            a.position != b.position || title(real, a.title) != title(expected, b.title) ||
            title(real, a.matched) != title(expected, b.matched) || a.back != b.back ||
            a.artistLimit != b.artistLimit || a.titleLimit != b.titleLimit)
            return "line " + std::to_string(i) + ": the log has event " + std::to_string(a.kind) + " at " +
                   sim::airTimeText(a.time) + " \"" + title(real, a.title) + "\", the record event " +
                   std::to_string(b.kind) + " at " + sim::airTimeText(b.time) + " \"" +
                   title(expected, b.title) + "\"";
    }
    return std::string();
}

std::string countsDifference(const char* what, const sim::AiredCounts& a, const sim::AiredCounts& b) {
    const int64_t left[] = {a.played,        a.skipped,    a.airMs,          a.earlyArtist,
                            a.unpreventable, a.earlyTitle, a.longestSkipRun, a.unknownLines};
    const int64_t right[] = {b.played,        b.skipped,    b.airMs,          b.earlyArtist,
                             b.unpreventable, b.earlyTitle, b.longestSkipRun, b.unknownLines};
    for (size_t i = 0; i < 8; i++)
        if (left[i] != right[i])
            return std::string(what) + ": count " + std::to_string(i) + " is " + std::to_string(left[i]) +
                   " from the log, " + std::to_string(right[i]) + " from the record";
    return std::string();
}

// The first figure that differs, in words; "" when every one agrees.
std::string figuresDifference(const sim::AiredFigures& a, const sim::AiredFigures& b) {
    std::string difference = countsDifference("all", a.all, b.all);
    if (a.days.size() != b.days.size() || a.periods.size() != b.periods.size() ||
        a.skipRuns.size() != b.skipRuns.size())
        return "the days, periods or runs of skips differ in number";
    for (size_t d = 0; d < a.days.size() && difference.empty(); d++) {
        difference =
            countsDifference(sim::dayText(a.days[d].day).c_str(), a.days[d].counts, b.days[d].counts);
        if (a.days[d].day != b.days[d].day || a.days[d].playedByHour != b.days[d].playedByHour ||
            a.days[d].skippedByHour != b.days[d].skippedByHour)
            difference = "day " + sim::dayText(a.days[d].day) + " differs by hour";
    }
    for (size_t p = 0; p < a.periods.size() && difference.empty(); p++) {
        difference = countsDifference("a period", a.periods[p].counts, b.periods[p].counts);
        const sim::AiredPeriod &x = a.periods[p].period, &y = b.periods[p].period;
        if (x.from.utcMs != y.from.utcMs || x.to.utcMs != y.to.utcMs ||
            x.limits.artistLimit != y.limits.artistLimit || x.limits.titleLimit != y.limits.titleLimit ||
            x.began != y.began)
            difference = "period " + std::to_string(p) + " differs";
    }
    for (size_t r = 0; r < a.skipRuns.size() && difference.empty(); r++)
        if (a.skipRuns[r].from.utcMs != b.skipRuns[r].from.utcMs ||
            a.skipRuns[r].skips != b.skipRuns[r].skips || a.skipRuns[r].entries != b.skipRuns[r].entries)
            difference = "run of skips " + std::to_string(r) + " differs";
    auto texts = [](const std::vector<sim::CountedText>& list) {
        std::string all;
        for (const sim::CountedText& item : list)
            all += item.text + "=" + std::to_string(item.count) + ";";
        return all;
    };
    std::string pairsA, pairsB;
    for (const sim::CountedPair& pair : a.spellingPairs)
        pairsA += pair.first + "/" + pair.second + "=" + std::to_string(pair.count) + ";";
    for (const sim::CountedPair& pair : b.spellingPairs)
        pairsB += pair.first + "/" + pair.second + "=" + std::to_string(pair.count) + ";";
    if (difference.empty() && (texts(a.refusedTitles) != texts(b.refusedTitles) ||
                               texts(a.refusedArtists) != texts(b.refusedArtists) || pairsA != pairsB))
        difference = "what was refused most, or the spellings, differ";
    if (difference.empty() &&
        (a.playedByHour != b.playedByHour || a.skippedByHour != b.skippedByHour ||
         a.skipTenths != b.skipTenths || a.artistPerDay != b.artistPerDay ||
         a.spellingsPerDay != b.spellingsPerDay || a.titlePerDay != b.titlePerDay || a.holes != b.holes))
        difference = "the hours, the rates or the holes differ";
    return difference;
}

TEST_F(AiredOracle, TheFiguresOfTheLogThePlugInWroteAreThoseOfTheRunsOwnRecord) {
    writeIni("status.htm", "EnableHTMLOutput=0\r\nEnablePlaylistMonitoring=1\r\nSameArtistCheckLimit=" +
                               std::to_string(kBefore.artistLimit) +
                               "\r\nSameTitleCheckLimit=" + std::to_string(kBefore.titleLimit) +
                               "\r\nPollInterval=0\r\nAirLog=air.log\r\n");
    const std::vector<sim::PlaylistEntry> playlist = stationPlaylist();
    for (const sim::PlaylistEntry& entry : playlist)
        player.titles.push_back(entry.title);
    load();
    ASSERT_TRUE(sim::bindPluginClock(module)) << "the plug-in does not ask the time of day";
    sim::setStationClock(kStartMs);
    ASSERT_EQ(startUp(), 0);

    sim::RunPlan plan = {};
    plan.fast = true;
    plan.fastTimeoutSeconds = 120;
    plan.goRound = true;
    plan.stationSeconds = 4 * kDay;
    plan.shuffle = true;
    plan.seed = 11;
    plan.quiet = true;
    plan.clockStartMs = kStartMs;
    plan.holds = {{kDay / 2, sim::kPaused, 1200}, {3 * kDay + 20000, sim::kStopped, 2700}};
    plan.betweenTracks = AiredOracle::script;
    plan.betweenContext = this;
    sim::HostRun run;
    ASSERT_TRUE(sim::startRun(&run, &player, plan, playlist, kBefore, nullptr));
    ASSERT_TRUE(sim::playRun(&run));
    ASSERT_TRUE(pumpPasses(3)); // the plug-in has seen the player stop
    shutDown();
    sim::releaseStationClock();
    ASSERT_TRUE(changed);

    ASSERT_TRUE(released);
    const std::string bytes = support::readFile(logPath());
    sim::AirLog real = {};
    int32_t format = 0;
    ASSERT_EQ(sim::readAirLog("air.log", bytes, sim::ansiCodePage(), true, &real, &format), sim::kAirLogRead);
    EXPECT_EQ(real.unreadable, 0);
    EXPECT_FALSE(real.tornEnd);

    // The record as the lines the plug-in was to write, the lines it could not write told as lost.
    addHolds(run.record, plan.holds, &interludes);
    sim::AirLog expected = {};
    sim::appendRecordLines(run.record, kBefore, real.versions.empty() ? "" : real.versions.front(),
                           {kStartMs, real.lines.front().time.offsetMinutes}, interludes, &expected);
    size_t lost = 0;
    while (lost < real.lines.size() && real.lines[lost].kind != sim::kAirLost)
        lost++;
    ASSERT_LT(lost, real.lines.size()) << "no line was lost while the log was held";
    const auto count = static_cast<size_t>(real.lines[lost].count);
    ASSERT_LE(lost + count, expected.lines.size());
    expected.lines.erase(expected.lines.begin() + static_cast<std::ptrdiff_t>(lost + 1),
                         expected.lines.begin() + static_cast<std::ptrdiff_t>(lost + count));
    expected.lines[lost] = real.lines[lost];
    EXPECT_EQ(linesDifference(real, expected), "");

    const sim::AiredHistory fromLog = sim::airedHistory(real, &playlist);
    const sim::AiredHistory fromRecord = sim::airedHistory(expected, &playlist);
    const sim::AiredFigures logFigures = sim::airedFigures(fromLog, kGoal, {});
    const sim::AiredFigures recordFigures = sim::airedFigures(fromRecord, kGoal, {});
    EXPECT_EQ(figuresDifference(logFigures, recordFigures), "");
    EXPECT_EQ(logFigures.periods.size(), 2u);
    EXPECT_EQ(logFigures.holes, 1);
    EXPECT_GT(logFigures.all.earlyArtist + logFigures.all.unpreventable, 0);
    const sim::PlayedOrder a = sim::playedOrder(fromLog, {}), b = sim::playedOrder(fromRecord, {});
    EXPECT_EQ(a.returns, b.returns);
    EXPECT_EQ(a.withinRotation, b.withinRotation);
    EXPECT_EQ(a.verdict, b.verdict);
    sim::endRun(&run);
}

} // namespace
