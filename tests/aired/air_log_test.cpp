// Reading the air log: what is not a log, or a newer one, is refused; what cannot be read in the
// middle is counted and becomes a hole the figures leave out; a cut-off last line is left out; a
// rolled log reads on from its previous file; two players writing at once are found and left out.
#include <gtest/gtest.h>

#include "aired/aired_figures.h"
#include "aired/air_log_lines.h"

namespace {

using namespace airtest;

sim::AiredFigures figuresOf(const sim::AirLog& log, sim::AiredHistory* history) {
    *history = sim::airedHistory(log, nullptr);
    return sim::airedFigures(*history, {60, 3, 100, 100}, {});
}

TEST(AirLog, RefusesWhatIsNoLogAndANewerFormat) {
    sim::AirLog log = {};
    int32_t format = 0;
    EXPECT_EQ(
        sim::readAirLog("x", "#EXTM3U\r\nAbba - SOS.mp3\r\n", sim::latin1CodePage(), true, &log, &format),
        sim::kNotAnAirLog);
    EXPECT_EQ(sim::readAirLog("x", "", sim::latin1CodePage(), true, &log, &format), sim::kNotAnAirLog);
    EXPECT_EQ(sim::readAirLog("x", "#Songbeacon air log\tformat one\r\n", sim::latin1CodePage(), true, &log,
                              &format),
              sim::kNotAnAirLog);
    EXPECT_EQ(sim::readAirLog("x", "#Songbeacon air log\tformat 2\r\n" + played(0, 1, "Abba - SOS"),
                              sim::latin1CodePage(), true, &log, &format),
              sim::kNewerAirLog);
    EXPECT_EQ(format, 2);
    EXPECT_TRUE(log.lines.empty());
    EXPECT_TRUE(sim::startsAsAirLog(kHeading));
    EXPECT_FALSE(sim::startsAsAirLog("#EXTM3U\r\n"));
}

TEST(AirLog, GarbageInTheMiddleIsCountedAndNothingIsHeldAcrossIt) {
    // Abba again 30 minutes on would be an early return, but a line between cannot be read: the log
    // cannot say what played there, so the two are not held against each other, and the half hour
    // around it is no time on air.
    sim::AirLog log = {};
    ASSERT_EQ(read(kHeading + start(0, 3, 10) + line(0, "playing") + played(0, 1, "Abba - SOS") +
                       played(4, 2, "Blur - Song 2") + "2026-12-08T20:07:00.000+01:00\tplayed\tgarbage\r\n" +
                       "\x01\x02 not a line at all\r\n" + played(30, 3, "Abba - Waterloo") +
                       line(34, "rewound") + played(34, 4, "Cher - Believe") + line(38, "stopped"),
                   &log),
              sim::kAirLogRead);
    EXPECT_EQ(log.unreadable, 2);
    EXPECT_EQ(log.firstUnreadable, "air.log line 6");
    EXPECT_EQ(log.unknownEvents, 1);
    sim::AiredHistory history;
    const sim::AiredFigures figures = figuresOf(log, &history);
    ASSERT_EQ(history.holes.size(), 1u);
    EXPECT_EQ(history.holes[0].lines, 2);
    EXPECT_EQ(sim::airTimeText(history.holes[0].from), at(4));
    EXPECT_EQ(sim::airTimeText(history.holes[0].to), at(30));
    EXPECT_EQ(figures.all.played, 4);
    EXPECT_EQ(figures.all.earlyArtist, 0);
    EXPECT_EQ(figures.all.airMs, 12 * 60000); // 0..4 and 30..38
    EXPECT_EQ(figures.all.unknownLines, 2);
}

TEST(AirLog, ACutOffLastLineIsLeftOutAndOneJoinedToTheNextIsRead) {
    sim::AirLog log = {};
    // A power cut in the middle of a line, then the player started again and wrote on after it.
    const std::string torn = played(3, 2, "Blur - Song 2").substr(0, 40);
    ASSERT_EQ(read(kHeading + start(0, 3, 10) + played(0, 1, "Abba - SOS") + torn + start(10, 3, 10) +
                       played(10, 3, "Cher - Believe") + played(14, 4, "Dido - Thank You").substr(0, 50),
                   &log),
              sim::kAirLogRead);
    EXPECT_EQ(log.joined, 1);
    EXPECT_EQ(log.unreadable, 1);
    EXPECT_EQ(log.cut, 1);
    EXPECT_TRUE(log.tornEnd);
    ASSERT_EQ(log.lines.size(), 5u); // start, played, the cut line's mark, start, played
    EXPECT_EQ(log.lines[3].kind, sim::kAirStart);
    EXPECT_EQ(log.titles[static_cast<size_t>(log.lines.back().title)], "Cher - Believe");
    EXPECT_EQ(sim::airLogNotes(log, sim::latin1CodePage()).size(), 3u);
}

TEST(AirLog, ARolledLogReadsOnFromItsPreviousFile) {
    EXPECT_EQ(sim::previousLogPath("C:\\Station\\songbeacon-air.log"),
              "C:\\Station\\songbeacon-air-previous.log");
    EXPECT_EQ(sim::previousLogPath("C:\\Station.d\\air"), "C:\\Station.d\\air-previous");
    sim::AirLog log = {};
    // The roll came between two tracks of one session: Abba back after 20 minutes is early.
    ASSERT_EQ(read(kHeading + played(20, 3, "Abba - Waterloo") + played(24, 4, "Cher - Believe"), &log,
                   kHeading + start(0, 3, 10) + line(0, "playing") + played(0, 1, "Abba - SOS") +
                       played(4, 2, "Blur - Song 2")),
              sim::kAirLogRead);
    EXPECT_EQ(log.files, (std::vector<std::string>{"air-previous.log", "air.log"}));
    sim::AiredHistory history;
    const sim::AiredFigures figures = figuresOf(log, &history);
    EXPECT_TRUE(history.holes.empty());
    EXPECT_EQ(figures.all.earlyArtist, 1);
    EXPECT_EQ(figures.all.played, 4);
}

TEST(AirLog, TwoPlayersWritingAtOnceAreLeftOutAndARestartIsNot) {
    sim::AirLog log = {};
    // Player A runs alone; player B starts (no shut-down between: a crash looks the same) and their
    // lines interleave; B refuses a title for one that A's lines never played; both shut down, and
    // A runs alone again.
    ASSERT_EQ(read(kHeading + start(0, 3, 10) + line(0, "playing") + played(0, 1, "Abba - SOS") +
                       start(2, 3, 10) + line(2, "playing") + played(2, 7, "Queen - Innuendo") +
                       played(4, 2, "Blur - Song 2") +
                       skipped(6, 8, "Queensryche - Empire", "Queen - Innuendo", 1) + line(8, "shutdown") +
                       played(9, 3, "Cher - Believe") + line(12, "shutdown") + start(20, 3, 10) +
                       line(20, "playing") + played(20, 1, "Abba - SOS") + played(24, 2, "Blur - Song 2") +
                       skipped(28, 5, "Abba - Waterloo", "Abba - SOS", 2) + played(28, 3, "Cher - Believe") +
                       line(32, "stopped") +
                       // A crash, and the player started again: one player's lines, nothing left out.
                       start(40, 3, 10) + line(40, "playing") + played(40, 4, "Dido - Thank You") +
                       skipped(44, 1, "Dido - Here With Me", "Dido - Thank You", 1) + line(45, "shutdown"),
                   &log),
              sim::kAirLogRead);
    sim::AiredHistory history;
    const sim::AiredFigures figures = figuresOf(log, &history);
    ASSERT_EQ(history.holes.size(), 1u);
    EXPECT_EQ(history.holes[0].kind, sim::kHoleTwoPlayers);
    EXPECT_EQ(history.holes[0].lines, 8); // from B's start to the last shut-down
    EXPECT_EQ(sim::airTimeText(history.holes[0].from), at(0));
    EXPECT_EQ(figures.all.played, 1 + 3 + 1);
    EXPECT_EQ(figures.all.skipped, 2);
    ASSERT_EQ(history.restarts.size(), 1u);
    EXPECT_EQ(sim::airTimeText(history.restarts[0]), at(40));
}

} // namespace
