// A run's record and the report drawn from it: skip reasons from the mirror of the plug-in's rule,
// the rule's mistakes, why a title played twice in a row, the statistics, and the CSV log. The
// plug-in's decisions are played out by hand on small playlists with real track lengths, each
// with its cases planted, and every figure checked is worked out here by hand: an afternoon with
// every case at once here, one case at a time in run_report_cases_test.cpp.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/event_log.h"
#include "report/report.h"
#include "simhost/hand_played.h"
#include "tuning/run_record.h"
#include "tuning/run_stats.h"
#include "tuning/sweep.h"

namespace {

// An afternoon with artist window 3 and title limit 10. The returns of an artist come in the
// order 4, 1, 4 tracks between (1389, 529 and 1754 s start to start), so that only sorted gaps
// give the smallest and the median; the station clock passes the hour.
struct AfternoonTest : ::testing::Test {
    HandPlayed run{{
                       {"Queen - Bohemian Rhapsody", 354},   // 0
                       {"Queensryche - Silent Lucidity", 0}, // 1: counts as 210
                       {"The Beatles - Help!", 139},         // 2
                       {"Beatles, The - Yesterday", 125},    // 3
                       {"Abba - SOS", 200},                  // 4
                       {"Abba - Waterloo", 164},             // 5
                       {"Queen - Innuendo", 390},            // 6
                       {"Station ID", 10},                   // 7
                       {"Massive Attack - Teardrop", 331},   // 8
                       {"Portishead - Glory Box", 301},      // 9
                       {"Radiohead - Karma Police", 264},    // 10
                       {"Pink Floyd - Echoes", 1412},        // 11
                       {"Blur - Song 2", 122},               // 12
                   },
                   {3, 10, true}};

    void SetUp() override {
        run.play(0);  // e0   0:00:00
        run.skip(1);  // e1   the rule takes Queensryche for Queen: a refusal it got wrong
        run.play(8);  // e2   0:05:54
        run.play(9);  // e3
        run.play(10); // e4
        run.play(2);  // e5   0:20:50
        run.play(6);  // e6   0:23:09  Queen again, 4 tracks after
        run.play(3);  // e7   0:29:39  "Beatles, The" 2 tracks back from "The Beatles": let through
        run.play(4);  // e8   0:31:44
        run.skip(5);  // e9   Abba again: rightly refused
        run.play(7);  // e10  0:35:04
        run.play(7);  // e11  0:35:14  the same entry again
        run.skip(0);  // e12  the same title, 9 tracks earlier
        run.play(11); // e13  0:35:24
        run.play(12); // e14  0:58:56
        run.play(5);  // e15  1:00:58  Abba again, 4 tracks after
        run.skip(6);  // e16  1:03:42  the same title, 7 tracks earlier
        run.skip(1);  // e17  the mirror would let Queensryche play: the reason is unknown
    }
};

TEST_F(AfternoonTest, SkipsAreExplainedByTheRuleAndItsMistakesFound) {
    const sim::TrackEvent& queensryche = run.event(1);
    EXPECT_EQ(queensryche.verdict, sim::kOtherArtist);
    EXPECT_EQ(sim::reasonText(sim::reasonOf(run.record, queensryche)),
              "artist key \"Que\" as in \"Queen - Bohemian Rhapsody\", 1 track earlier");
    EXPECT_EQ(sim::otherTitleOf(run.record, run.event(7)), "The Beatles - Help!");
    EXPECT_EQ(run.event(9).verdict, sim::kRightArtist);
    EXPECT_EQ(sim::reasonText(sim::reasonOf(run.record, run.event(9))),
              "artist key \"Abb\" as in \"Abba - SOS\", 1 track earlier");
    EXPECT_EQ(sim::reasonText(sim::reasonOf(run.record, run.event(12))), "the same title, 9 tracks earlier");
    EXPECT_EQ(sim::reasonText(sim::reasonOf(run.record, run.event(16))), "the same title, 7 tracks earlier");
    EXPECT_EQ(run.event(17).rule, sim::kRuleUnknown);
    EXPECT_EQ(run.event(11).again, sim::kAgainCameRound);
    EXPECT_EQ(run.mirror.history->count, 12) << "a title played again is not recorded again";
}

TEST_F(AfternoonTest, Statistics) {
    const sim::RunStats stats = run.stats();
    EXPECT_EQ(stats.played, 13);
    EXPECT_EQ(stats.skipped, 5);
    EXPECT_NEAR(stats.skipRate, 5.0 / 18.0, 1e-12);
    EXPECT_EQ(stats.longestSkipRun, 2);
    EXPECT_EQ(stats.longestSkipRunEntries, 2);
    EXPECT_EQ(stats.stationSeconds, 3822);
    EXPECT_EQ(stats.unknownReasons, 1);
    EXPECT_EQ(stats.playedTwiceInARow, 1);
    EXPECT_EQ(stats.againCameRound, 1);
    EXPECT_EQ(stats.withoutArtist, 2);
    EXPECT_NEAR(stats.passes, 18.0 / 13.0, 1e-12);

    EXPECT_EQ(stats.artistReturns, 3);
    EXPECT_EQ(stats.smallestGap, 1);
    EXPECT_DOUBLE_EQ(stats.medianGap, 4);
    EXPECT_EQ(stats.shortestGapSeconds, 529);
    EXPECT_DOUBLE_EQ(stats.medianGapSeconds, 1389);
    EXPECT_EQ(histogramText(stats), "0!=0 1!=1 2!=0 3-4=2 5-9=0 10-19=0 20-49=0 50-99=0 100-199=0 200+=0 ");
    ASSERT_EQ(stats.withinWindow.size(), 1u);
    EXPECT_EQ(stats.withinWindow[0].artist, "Beatles, The");
    EXPECT_EQ(sim::closestReturnText(stats.withinWindow[0]), "1 track, 9 min");

    const std::vector<sim::ArtistReturn> returns = sim::artistReturns(run.record);
    ASSERT_EQ(returns.size(), 3u);
    EXPECT_EQ(returns[0].event, 6);
    EXPECT_EQ(returns[0].previous, 0);
    EXPECT_EQ(returns[0].seconds, 1389);
    EXPECT_EQ(returns[1].event, 7);
    EXPECT_EQ(returns[1].previous, 5);
    EXPECT_EQ(returns[1].seconds, 529);
    EXPECT_EQ(returns[2].tracks, 4);
    EXPECT_EQ(returns[2].seconds, 1754);

    ASSERT_EQ(stats.misjudgedPairs.size(), 1u);
    EXPECT_EQ(stats.misjudgedPairs[0].first + " / " + stats.misjudgedPairs[0].second, "Queen / Queensryche");
    ASSERT_EQ(stats.spellingPairs.size(), 1u);
    EXPECT_EQ(stats.spellingPairs[0].first + " / " + stats.spellingPairs[0].second,
              "Beatles, The / The Beatles");
    ASSERT_EQ(stats.mostRefused.size(), 4u);
    EXPECT_EQ(stats.mostRefused[0].text, "Queensryche - Silent Lucidity");
    EXPECT_EQ(stats.mostRefused[0].count, 2);
    EXPECT_EQ(stats.mostRefused[1].text, "Abba - Waterloo"); // ties alphabetically
}

TEST_F(AfternoonTest, ReportTextAndLog) {
    const sim::ReportContext context = {
        "day.m3u", 13, true, 7, 2 * 3600, 0, true, {3, 10, true}, {}, sim::rotationSeconds(run.playlist)};
    const std::string text = sim::renderTextReport(context, run.stats());
    for (const char* line :
         {"== report: day.m3u, 13 entries, shuffled (seed 7), 2 h of station time\n",
          "limits: SameArtistCheckLimit 3, SameTitleCheckLimit 10\n", "summary: 13 played, 5 skipped\n",
          "skip rate: 27.8 % of the 18 tracks started; station time 1:03:42\n",
          "rotation: 1.3 passes through the playlist's 13 entries (it came round 1 time)\n",
          "warning: the run ended after 1.3 passes through the playlist, before every entry could come back "
          "twice: the title limit is judged only once the playlist has come round; 3 rotations of the "
          "playlist take 3:21:06 of station time, every entry played (--hours 4)\n",
          "longest run of skips in a row: 2 (2 of the 13 entries)\n",
          "artist separation: 3 returns of an artist; tracks between: smallest 1, median 4\n    time from "
          "start to start: shortest 9 min, median 23 min\n",
          "    returns within the window, by artist (the closest in tracks between and in time):\n"
          "         1  Beatles, The   (1 track, 9 min)\n",
          "  refused, though that artist had not played within the window: 1\n         1  Queen / "
          "Queensryche\n",
          "within the window: 1\n         1  Beatles, The / The Beatles\n",
          "played twice in a row: 1 time\n  the same entry again as the play order came round, the entries "
          "between all refused: 1 time\n         1  Station ID\n    (The plug-in judges a title"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\nin:\n" << text;
    EXPECT_EQ(text.find("looping"), std::string::npos) << text;
    EXPECT_EQ(text.find("listed more than once"), std::string::npos) << text;

    EXPECT_EQ(sim::eventLogHeader(),
              "station_time,seconds,entry,title,event,rule,matched_title,tracks_earlier,reason\r\n");
    EXPECT_EQ(sim::eventLogRow(run.record, run.event(1)),
              "0:05:54,354,2,Queensryche - Silent Lucidity,skipped,artist,Queen - Bohemian Rhapsody,1,"
              "\"artist key \"\"Que\"\" as in \"\"Queen - Bohemian Rhapsody\"\", 1 track earlier\"\r\n");
    EXPECT_EQ(
        sim::eventLogRow(run.record, run.event(7)),
        "0:29:39,1779,4,\"Beatles, The - Yesterday\",played,let through,The Beatles - Help!,,\"the same "
        "artist as \"\"The Beatles - Help!\"\" within the artist window, spelt differently: the rule let it "
        "through\"\r\n");
    EXPECT_EQ(sim::eventLogRow(run.record, run.event(11)), "0:35:14,2114,8,Station ID,played again,,,,\r\n");
    EXPECT_EQ(sim::eventLogRow(run.record, run.event(16)),
              "1:03:42,3822,7,Queen - Innuendo,skipped,title,Queen - Innuendo,7,\"the same title, 7 tracks "
              "earlier\"\r\n");
    EXPECT_EQ(sim::eventLogRow(run.record, run.event(17)),
              "1:03:42,3822,2,Queensryche - Silent Lucidity,skipped,unknown,,,unknown: with the limits in "
              "plugin.ini the rule would have let it play\r\n");
}

TEST(EventLog, FieldsAreQuotedAndNeverRunAsFormulas) {
    EXPECT_EQ(sim::csvField("Abba - SOS"), "Abba - SOS");
    EXPECT_EQ(sim::csvField("Earth, Wind & Fire"), "\"Earth, Wind & Fire\"");
    EXPECT_EQ(sim::csvField("12\" Mix\r\nB-side"), "\"12\"\" Mix\r\nB-side\"");
    EXPECT_EQ(sim::csvField("=HYPERLINK(\"http://x\")"), "\"'=HYPERLINK(\"\"http://x\"\")\"");
    EXPECT_EQ(sim::csvField("+1 - Plus One"), "'+1 - Plus One");
    EXPECT_EQ(sim::csvField("-1 - Minus One"), "'-1 - Minus One");
    EXPECT_EQ(sim::csvField("@home"), "'@home");
    EXPECT_EQ(sim::csvField("\t=1+1"), "'\t=1+1");
    EXPECT_EQ(sim::csvField("\r=1+1"), "\"'\r=1+1\"");
    EXPECT_EQ(sim::csvField("A-ha - Take On Me"), "A-ha - Take On Me");
}

} // namespace
