// A run's record and the report drawn from it: skip reasons from the mirror of the plug-in's rule,
// the rule's two kinds of mistake, the statistics, and the CSV log. The plug-in's decisions are
// played out by hand on a small playlist with one planted case of each kind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/event_log.h"
#include "report/report.h"
#include "tuning/run_record.h"
#include "tuning/run_stats.h"

namespace {

struct RunReportTest : ::testing::Test {
    const std::vector<sim::PlaylistEntry> playlist = {
        {"Queen - Bohemian Rhapsody", 300},
        {"Queensryche - Silent Lucidity", 0}, // 0 counts as 210
        {"The Beatles - Help!", 139},
        {"Beatles, The - Yesterday", 125},
        {"Abba - SOS", 200},
        {"Abba - Waterloo", 164},
        {"Queen - Innuendo", 390},
        {"Station ID", 10},
    };
    sim::RuleMirror mirror = {};
    sim::RunRecord record;

    void SetUp() override {
        ASSERT_TRUE(sim::startMirror(&mirror, {3, 10, true}));
        sim::startRecord(&record, &playlist);
    }
    void TearDown() override { sim::endMirror(&mirror); }

    void play(int32_t entry) { sim::recordPlay(&record, &mirror, entry, true); }
    void skip(int32_t entry) { sim::recordSkip(&record, mirror, entry); }

    // What the plug-in decides with artist window 3 (and what the mirror makes of it).
    void playTheDay() {
        play(0);
        skip(1); // the rule takes Queensryche for Queen: a refusal it got wrong
        play(2);
        play(3); // "Beatles, The" after "The Beatles": a repeat the rule let through
        play(4);
        skip(5); // Abba again: rightly refused
        skip(6); // Queen is outside the window: the mirror cannot explain this refusal
        play(7);
        play(7); // the same title back to back
        play(6);
    }
};

TEST_F(RunReportTest, SkipsAreExplainedByTheRuleAndItsMistakesFound) {
    playTheDay();
    const sim::TrackEvent& queensryche = record.events[1];
    EXPECT_EQ(queensryche.reason.rule, sim::kRuleArtist);
    EXPECT_EQ(sim::reasonText(queensryche.reason),
              "artist key \"Que\" as in \"Queen - Bohemian Rhapsody\", 1 track earlier");
    EXPECT_TRUE(queensryche.misjudged);
    EXPECT_EQ(record.events[3].otherSpelling, "The Beatles - Help!");
    EXPECT_FALSE(record.events[5].misjudged);
    EXPECT_EQ(sim::reasonText(record.events[5].reason),
              "artist key \"Abb\" as in \"Abba - SOS\", 1 track earlier");
    EXPECT_EQ(record.events[6].reason.rule, sim::kRuleUnknown);
    EXPECT_TRUE(record.events[8].again);
    EXPECT_EQ(mirror.history->count, 6) << "a title played again is not recorded again";
}

TEST_F(RunReportTest, StatisticsOfTheDay) {
    playTheDay();
    const sim::RunStats stats = sim::computeStats(record, 3);
    EXPECT_EQ(stats.played, 7);
    EXPECT_EQ(stats.skipped, 3);
    EXPECT_DOUBLE_EQ(stats.skipRate, 0.3);
    EXPECT_EQ(stats.longestSkipRun, 2);
    EXPECT_EQ(stats.stationSeconds, 300 + 139 + 125 + 200 + 10 + 10 + 390);
    EXPECT_EQ(stats.unknownReasons, 1);
    EXPECT_EQ(stats.playedTwiceInARow, 1);
    EXPECT_EQ(stats.withoutArtist, 2);
    // Beatles back to back (0 between, the two spellings are one artist), Queen with 5 between.
    EXPECT_EQ(stats.artistReturns, 2);
    EXPECT_EQ(stats.smallestGap, 0);
    EXPECT_DOUBLE_EQ(stats.medianGap, 2.5);
    std::string histogram;
    for (const sim::GapBucket& bucket : stats.gapHistogram)
        histogram += sim::gapLabel(bucket) + (bucket.withinWindow ? "!" : "") + "=" +
                     std::to_string(bucket.count) + " ";
    EXPECT_EQ(histogram, "0!=1 1!=0 2!=0 3-4=0 5-9=1 10-19=0 20-49=0 50-99=0 100-199=0 200+=0 ");
    // The same two returns in station time, start to start: Help! played 139 s; Queen came back
    // after 300 + 139 + 125 + 200 + 10 + 10 s.
    const std::vector<sim::ArtistReturn> returns = sim::artistReturns(record);
    ASSERT_EQ(returns.size(), 2u);
    EXPECT_EQ(returns[0].event, 3);
    EXPECT_EQ(returns[0].previous, 2);
    EXPECT_EQ(returns[0].seconds, 139);
    EXPECT_EQ(returns[1].tracks, 5);
    EXPECT_EQ(returns[1].seconds, 784);

    ASSERT_EQ(stats.misjudgedPairs.size(), 1u);
    EXPECT_EQ(stats.misjudgedPairs[0].first + " / " + stats.misjudgedPairs[0].second, "Queen / Queensryche");
    ASSERT_EQ(stats.spellingPairs.size(), 1u);
    EXPECT_EQ(stats.spellingPairs[0].first + " / " + stats.spellingPairs[0].second,
              "Beatles, The / The Beatles");
    ASSERT_EQ(stats.mostRefused.size(), 3u);
    EXPECT_EQ(stats.mostRefused[0].text, "Abba - Waterloo"); // ties alphabetically
}

TEST_F(RunReportTest, MostRefusedIsTheTopTenMostFirstAndTheWindowSplitsTheHistogram) {
    for (int i = 0; i < 3; i++)
        skip(5);
    skip(1);
    for (int32_t entry : {0, 2, 3, 4, 6, 7, 0, 2, 3, 4, 6, 7})
        skip(entry);
    const sim::RunStats stats = sim::computeStats(record, 7);
    ASSERT_EQ(stats.mostRefused.size(), 8u);
    EXPECT_EQ(stats.mostRefused[0].text, "Abba - Waterloo");
    EXPECT_EQ(stats.mostRefused[0].count, 3);
    EXPECT_EQ(stats.mostRefused[7].text, "Queensryche - Silent Lucidity");
    EXPECT_EQ(stats.longestSkipRun, 16);
    EXPECT_EQ(sim::gapLabel(stats.gapHistogram[3]), "3-4");
    EXPECT_EQ(sim::gapLabel(stats.gapHistogram[4]), "5-6");
    EXPECT_TRUE(stats.gapHistogram[4].withinWindow);
    EXPECT_EQ(sim::gapLabel(stats.gapHistogram[5]), "7-9");
    EXPECT_FALSE(stats.gapHistogram[5].withinWindow);
}

TEST_F(RunReportTest, EveryEntryRefusedInARowIsCountedOncePerLap) {
    int32_t laps = 0;
    for (int32_t entry : {0, 1, 2, 3, 4, 5, 6, 7, 0})
        laps += sim::recordSkip(&record, mirror, entry) ? 1 : 0;
    EXPECT_EQ(laps, 1);
    play(3);
    for (int32_t entry : {4, 5, 6, 7, 0, 1, 2})
        EXPECT_FALSE(sim::recordSkip(&record, mirror, entry)) << "a played track begins the count afresh";
    EXPECT_TRUE(sim::recordSkip(&record, mirror, 3));
    EXPECT_EQ(record.wholePlaylistRefusals, 2);
}

TEST_F(RunReportTest, ReportTextAndLog) {
    playTheDay();
    const sim::ReportContext context = {"day.m3u", 8, true, 7, 2 * 3600, 0, true, {3, 10, true}, {}};
    const std::string text = sim::renderTextReport(context, sim::computeStats(record, 3));
    for (const char* line :
         {"== report: day.m3u, 8 entries, shuffled (seed 7), 2 h of station time\n",
          "limits: SameArtistCheckLimit 3, SameTitleCheckLimit 10\n", "summary: 7 played, 3 skipped\n",
          "skip rate: 30.0 % of the 10 tracks started; station time 0:19:34\n",
          "artist separation: 2 returns of an artist; smallest 0 tracks between, median 2.5\n",
          "  refused, though that artist had not played within the window: 1\n         1  Queen / "
          "Queensryche\n",
          "within the window: 1\n         1  Beatles, The / The Beatles\n",
          "played twice in a row: 1 time\n         1  Station ID\n    (The plug-in judges a title"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\nin:\n" << text;

    EXPECT_EQ(sim::eventLogHeader(),
              "station_time,seconds,entry,title,event,rule,matched_title,tracks_earlier,reason\r\n");
    EXPECT_EQ(sim::eventLogRow(record, record.events[1]),
              "0:05:00,300,2,Queensryche - Silent Lucidity,skipped,artist,Queen - Bohemian Rhapsody,1,"
              "\"artist key \"\"Que\"\" as in \"\"Queen - Bohemian Rhapsody\"\", 1 track earlier\"\r\n");
    EXPECT_EQ(sim::eventLogRow(record, record.events[8]), "0:12:54,774,8,Station ID,played again,,,,\r\n");
}

TEST(EventLog, FieldsAreQuotedAndNeverRunAsFormulas) {
    EXPECT_EQ(sim::csvField("Abba - SOS"), "Abba - SOS");
    EXPECT_EQ(sim::csvField("Earth, Wind & Fire"), "\"Earth, Wind & Fire\"");
    EXPECT_EQ(sim::csvField("12\" Mix\r\nB-side"), "\"12\"\" Mix\r\nB-side\"");
    EXPECT_EQ(sim::csvField("=HYPERLINK(\"http://x\")"), "\"'=HYPERLINK(\"\"http://x\"\")\"");
    EXPECT_EQ(sim::csvField("-1 - Minus One"), "'-1 - Minus One");
    EXPECT_EQ(sim::csvField("@home"), "'@home");
}

} // namespace
