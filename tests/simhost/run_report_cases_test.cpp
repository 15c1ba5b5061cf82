// The tuning report case by case, each on a small playlist of its own played by hand: the artist
// window's edges, the rule's mistakes and what it let through, titles played twice in a row and
// why, a title looping, starvation warned of, and a record that stays within its bounds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/event_log.h"
#include "report/report.h"
#include "simhost/hand_played.h"
#include "tuning/rotation.h"
#include "tuning/run_record.h"
#include "tuning/run_stats.h"
#include "tuning/sweep.h"

namespace {

// With the filter off, or no artist window, the rule made no artist decision to judge: no lists,
// no marks, nothing let through.
TEST(RunReport, NoArtistRuleNoMistakesAndNoMarks) {
    const std::vector<sim::PlaylistEntry> playlist = {{"The Clash - London Calling", 200},
                                                      {"Clash - Train in Vain", 190},
                                                      {"Queen - Innuendo", 390},
                                                      {"Queensryche - Jet City Woman", 0}};
    for (const sim::RuleLimits limits : {sim::RuleLimits{3, 10, false}, sim::RuleLimits{0, 10, true}}) {
        HandPlayed run(playlist, limits);
        run.play(0);
        run.play(1); // the same artist spelt differently, 0 tracks between
        run.play(2);
        run.skip(3);
        run.play(0);
        const sim::RunStats stats = run.stats();
        EXPECT_EQ(stats.spellingRepeats, 0);
        EXPECT_EQ(stats.misjudgedRefusals, 0);
        EXPECT_EQ(histogramText(stats), "0=1 1=1 2=0 3-4=0 5-9=0 10-19=0 20-49=0 50-99=0 100-199=0 200+=0 ");
        const sim::ReportContext context = {"x.m3u", 4, false, 0, 0, 0, true, limits, {}, 0};
        for (const std::string& page :
             {sim::renderTextReport(context, stats), sim::renderHtmlReport(context, stats)}) {
            EXPECT_EQ(page.find("!!"), std::string::npos) << page;
            EXPECT_EQ(page.find("#d9822b\"/>"), std::string::npos) << "a bar coloured as within the window";
            EXPECT_EQ(page.find("efused, though"), std::string::npos) << page;
            EXPECT_EQ(page.find("et through"), std::string::npos) << page;
            EXPECT_NE(page.find("othing to judge"), std::string::npos) << page;
        }
    }
}

// The artist window's two edges: a return with one track fewer between than the window is within
// it, one with as many is not; the mirror finds the same artist at the window's far end, and no
// further back.
TEST(RunReport, TheWindowHasTwoEdges) {
    const std::vector<sim::PlaylistEntry> playlist = {{"The Clash - London Calling", 200},
                                                      {"Clash - Train in Vain", 190},
                                                      {"Abba - SOS", 200},
                                                      {"Blur - Song 2", 122},
                                                      {"Coldplay - Yellow", 269},
                                                      {"Doves - Pounding", 243},
                                                      {"Elbow - Grounds for Divorce", 220},
                                                      {"The Clash - Rock the Casbah", 222}};
    HandPlayed run(playlist, {3, 10, true});
    run.play(0);
    run.play(2);
    run.play(3);
    run.play(1); // "Clash" 3 back from "The Clash": the far end of the window, 2 between
    run.play(4);
    run.play(5);
    run.play(6);
    run.play(0); // 4 back: outside the window, 3 between
    run.play(1); // 1 back: the near end
    EXPECT_EQ(sim::otherTitleOf(run.record, run.event(3)), "The Clash - London Calling");
    EXPECT_EQ(run.event(7).other, -1);
    EXPECT_EQ(sim::otherTitleOf(run.record, run.event(8)), "The Clash - London Calling");
    const sim::RunStats stats = run.stats();
    EXPECT_EQ(stats.spellingRepeats, 2);
    EXPECT_EQ(histogramText(stats), "0!=1 1!=0 2!=1 3-4=1 5-9=0 10-19=0 20-49=0 50-99=0 100-199=0 200+=0 ");
    ASSERT_EQ(stats.withinWindow.size(), 1u);
    EXPECT_EQ(stats.withinWindow[0].returns, 2);
    EXPECT_EQ(stats.withinWindow[0].fewestTracks, 0);
    EXPECT_EQ(stats.withinWindow[0].fewestSeconds, 200);

    // A window of 7 splits the histogram at 6 between; one of 300 past the last bound, at 299.
    EXPECT_EQ(sim::gapLabel(sim::computeStats(run.record, 7).gapHistogram[4]), "5-6");
    EXPECT_TRUE(sim::computeStats(run.record, 7).gapHistogram[4].withinWindow);
    EXPECT_FALSE(sim::computeStats(run.record, 7).gapHistogram[5].withinWindow);
    EXPECT_EQ(histogramText(sim::computeStats(run.record, 300)),
              "0!=1 1!=0 2!=1 3-4!=1 5-9!=0 10-19!=0 20-49!=0 50-99!=0 100-199!=0 200-299!=0 300+=0 ");
    // The rule compares six characters of a title that begins with "the".
    run.skip(7);
    EXPECT_EQ(sim::reasonText(sim::reasonOf(run.record, run.event(9))),
              "artist key \"The Cl\" as in \"The Clash - London Calling\", 2 tracks earlier");
}

TEST(RunReport, AWindowAboveTwoHundredStillMarksItsReturns) {
    std::vector<sim::PlaylistEntry> playlist = {{"Abba - SOS", 200}};
    for (int i = 1; i <= 320; i++)
        playlist.push_back({"Jingle " + std::to_string(i), 30});
    HandPlayed run(playlist, {300, 1000, true});
    run.play(0);
    for (int32_t entry = 1; entry <= 250; entry++)
        run.play(entry);
    run.play(0); // 250 between: within a window of 300
    for (int32_t entry = 251; entry <= 320; entry++)
        run.play(entry);
    for (int32_t entry = 1; entry <= 230; entry++)
        run.play(entry);
    run.play(0); // 300 between: just outside
    const sim::RunStats stats = run.stats();
    EXPECT_EQ(histogramText(stats), "0!=0 1!=0 2!=0 3-4!=0 5-9!=0 10-19!=0 20-49!=0 50-99!=0 100-199!=0 "
                                    "200-299!=1 300+=1 ");
    const sim::ReportContext context = {"x.m3u", 321, false, 0, 0, 0, true, {300, 1000, true}, {}, 0};
    const std::string text = sim::renderTextReport(context, stats);
    EXPECT_NE(text.find("        200-299       1  !!!!"), std::string::npos) << text;
    EXPECT_NE(text.find("           300+       1  ####"), std::string::npos) << text;
    // One return beside a thousand still draws its bar, on the console and on the page.
    sim::RunStats tall = stats;
    tall.gapHistogram.back().count = 1000;
    EXPECT_NE(sim::renderTextReport(context, tall).find("        200-299       1  !\n"), std::string::npos);
    EXPECT_NE(sim::renderHtmlReport(context, tall).find("height=\"3\" fill=\"#d9822b\""), std::string::npos);
}

TEST(RunReport, MostRefusedIsTheTopTenMostFirst) {
    std::vector<sim::PlaylistEntry> playlist;
    for (int i = 0; i < 12; i++)
        playlist.push_back({"Artist " + std::string(1, static_cast<char>('A' + i)) + " - Song", 200});
    HandPlayed run(playlist, {3, 10, true});
    for (int32_t entry = 0; entry < 12; entry++)
        for (int32_t times = 0; times <= entry % 5; times++)
            run.skip(entry);
    const sim::RunStats stats = run.stats();
    ASSERT_EQ(stats.mostRefused.size(), 10u);
    EXPECT_EQ(stats.mostRefused[0].text, "Artist E - Song");
    EXPECT_EQ(stats.mostRefused[0].count, 5);
    EXPECT_EQ(stats.mostRefused[1].text, "Artist J - Song");
    EXPECT_EQ(stats.mostRefused[9].text, "Artist A - Song");
    EXPECT_EQ(stats.longestSkipRun, 33);
    EXPECT_EQ(stats.longestSkipRunEntries, 12);
    EXPECT_EQ(sim::longestSkipRunText(stats), "33 (12 of the 12 entries)");
}

TEST(RunReport, EveryEntryRefusedInARowIsCountedOncePerLap) {
    HandPlayed run({{"A - 1", 100}, {"B - 2", 100}, {"C - 3", 100}, {"D - 4", 100}}, {3, 10, true});
    int32_t laps = 0;
    for (int32_t entry : {0, 1, 2, 3, 0})
        laps += run.skip(entry) ? 1 : 0;
    EXPECT_EQ(laps, 1);
    run.play(3);
    for (int32_t entry : {0, 1, 2})
        EXPECT_FALSE(run.skip(entry)) << "a played track begins the count afresh";
    EXPECT_TRUE(run.skip(3));
    EXPECT_EQ(run.record.wholePlaylistRefusals, 2);
    // Twelve tracks started of four entries: three passes exactly, the third just done.
    run.skip(0);
    run.skip(1);
    const sim::RunStats stats = run.stats();
    EXPECT_EQ(sim::rotationText(stats),
              "3.0 passes through the playlist's 4 entries (it came round 2 times)");
    EXPECT_TRUE(sim::runWarnings({}, stats).empty()) << sim::runWarnings({}, stats)[0];
}

// Every entry but one refused since the plug-in recorded that one, then it plays again: one title
// looping for good, each replay with the laps of refusals since the last. The title's duplicates
// are not needed for a lap, and play as part of the loop.
TEST(RunReport, OneTitleLoopingIsNamedWithItsLapsAndReplays) {
    HandPlayed run({{"Abba - SOS", 200},
                    {"Blur - Song 2", 122},
                    {"Coldplay - Yellow", 269},
                    {"Doves - Pounding", 243},
                    {"Doves - Pounding", 243}},
                   {1, 5, true});
    for (int32_t entry : {0, 1, 2, 3})
        run.play(entry);
    for (int32_t entry : {0, 1, 1}) // entry 1 twice: still two of the three others
        run.skip(entry);
    EXPECT_EQ(run.record.loopLaps, 0);
    run.skip(2);
    EXPECT_EQ(run.record.loopLaps, 1) << "entries 0-2 are all the entries with another title";
    run.play(3);
    for (int32_t entry : {0, 1, 2, 1, 0, 2})
        run.skip(entry);
    run.play(4); // the other entry of the title: still the loop, not a duplicate
    run.skip(1);
    run.play(4); // no lap since the last replay, and still the loop: the plug-in recorded nothing new
    EXPECT_EQ(run.event(8).again, sim::kAgainLooping);
    EXPECT_EQ(run.event(8).span, 1);
    EXPECT_EQ(run.event(15).again, sim::kAgainLooping);
    EXPECT_EQ(run.event(15).span, 2);
    EXPECT_EQ(run.event(17).again, sim::kAgainLooping);
    EXPECT_EQ(run.event(17).span, 0);

    const sim::RunStats stats = run.stats();
    EXPECT_EQ(stats.loopLaps, 3);
    EXPECT_EQ(stats.wholePlaylistRefusals, 0);
    ASSERT_EQ(stats.looping.size(), 1u);
    EXPECT_EQ(stats.looping[0].title, "Doves - Pounding");
    EXPECT_EQ(stats.looping[0].replays, 3);
    EXPECT_EQ(stats.looping[0].laps, 3);
    EXPECT_EQ(stats.looping[0].otherEntries, 3);
    EXPECT_EQ(sim::longestSkipRunText(stats), "6 (3 of the 5 entries)");

    const sim::ReportContext context = {"loop.m3u", 5, false, 0, 0, 0, true, {1, 5, true}, {}, 0};
    const std::string text = sim::renderTextReport(context, stats);
    for (
        const char* line :
        {"every entry refused in a row: 0 times\nevery entry but one refused, lap after lap: 3 laps (one "
         "title looping, below)\nplayed twice in a row: 3 times\n",
         "  one title looping, played again once every other entry was refused: 3 times\n         3  Doves - "
         "Pounding   (the other 3 entries refused lap after lap: 3 laps)\n    (No other entry could play",
         "titles listed more than once: 1 (they can play back to back, and no limit stops that)\n    Doves - "
         "Pounding   (entries 4, 5)\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\nin:\n" << text;
}

TEST(RunReport, NeighbouringDuplicatesAreExplainedAsSuch) {
    HandPlayed run(
        {{"KXRB - Station ID", 10}, {"KXRB - Station ID", 10}, {"Abba - SOS", 200}, {"Blur - Song 2", 122}},
        {3, 10, true});
    run.play(0);
    run.play(1); // the next entry, with the same title: no refusal between
    run.play(2);
    run.skip(3);
    run.play(2); // came round with one refusal between
    EXPECT_EQ(run.event(1).again, sim::kAgainDuplicate);
    EXPECT_EQ(run.event(4).again, sim::kAgainCameRound);
    const sim::RunStats stats = run.stats();
    EXPECT_EQ(stats.againDuplicates, 1);
    EXPECT_EQ(stats.artistReturns, 1) << "a title listed twice is no artist's return";
    ASSERT_EQ(stats.listedTwice.size(), 1u);
    EXPECT_EQ(sim::entryNumbersText(stats.listedTwice[0]), "entries 1, 2");
    const sim::ReportContext context = {"ids.m3u", 4, false, 0, 0, 0, true, {3, 10, true}, {}, 0};
    const std::string text = sim::renderTextReport(context, stats);
    EXPECT_NE(
        text.find(
            "played twice in a row: 2 times\n  another entry with the same title: 1 time\n         1  "
            "KXRB - Station ID\n  the same entry again as the play order came round, the entries between "
            "all refused: 1 time\n         1  Abba - SOS\n"),
        std::string::npos)
        << text;
    EXPECT_EQ(text.find("every entry but one"), std::string::npos) << text;
}

// Refusals by the artist rule that are not its mistakes: probably one artist under two names, and
// titles that name no artist. "Pink" / "Pink Floyd" stays a mistake.
TEST(RunReport, ProbablyOneArtistAndTitlesWithoutAnArtistAreListedApart) {
    HandPlayed run({{"Bob Marley - Jamming", 212},
                    {"Bob Marley & The Wailers - Exodus", 460},
                    {"Guns N' Roses - Patience", 356},
                    {"Guns and Roses - Yesterdays", 196},
                    {"Pink - So What", 215},
                    {"Pink Floyd - Money", 382},
                    {"Station ID (short)", 5},
                    {"Station ID (long)", 30},
                    {"\xC3\x89"
                     "dith Piaf - Non, je ne regrette rien",
                     142},
                    {"\xC3\x89"
                     "dith Piaf: Padam Padam",
                     180}},
                   {3, 10, true});
    for (int32_t entry : {0, 2, 4, 6, 8}) {
        run.play(entry);
        run.skip(entry + 1);
    }
    EXPECT_EQ(run.event(1).verdict, sim::kProbablySame);
    EXPECT_EQ(run.event(3).verdict, sim::kProbablySame);
    EXPECT_EQ(run.event(5).verdict, sim::kOtherArtist);
    EXPECT_EQ(run.event(7).verdict, sim::kNoArtistNamed);
    const sim::RunStats stats = run.stats();
    EXPECT_EQ(stats.misjudgedRefusals, 1);
    EXPECT_EQ(stats.probablySameRefusals, 2);
    EXPECT_EQ(stats.noArtistRefusals, 2);
    const sim::ReportContext context = {"names.m3u", 10, false, 0, 0, 0, true, {3, 10, true}, {}, 0};
    const std::string text = sim::renderTextReport(context, stats);
    EXPECT_NE(
        text.find("  refused, though that artist had not played within the window: 1\n         1  Pink / "
                  "Pink Floyd\n  probably the same artist under two names, refused as meant (not counted "
                  "above): 2\n         1  Bob Marley / Bob Marley & The Wailers\n         1  Guns N' Roses / "
                  "Guns and Roses\n  titles without an artist, refused by the artist rule: 2\n         1  "
                  "Station ID (long) / Station ID (short)\n         1  \xC3\x89"
                  "dith Piaf - Non, je ne "
                  "regrette rien / \xC3\x89"
                  "dith Piaf: Padam Padam\n    (The rule takes the first three "
                  "characters"),
        std::string::npos)
        << text;
    EXPECT_NE(
        sim::noArtistAdvice(stats).find(
            "so that \"Station ID (long)\" and \"Station ID (short)\" no longer refuse each other. But"),
        std::string::npos);
    EXPECT_NE(sim::renderHtmlReport(context, stats)
                  .find("<h3>Refused, though that artist had not played within the window: 1</h3>"),
              std::string::npos);
    // A singer's title written without " - " is no title without an artist to give another opening.
    sim::RunStats piaf = stats;
    piaf.noArtistPairs.erase(piaf.noArtistPairs.begin());
    EXPECT_EQ(sim::noArtistAdvice(piaf), "\"\xC3\x89"
                                         "dith Piaf: Padam Padam\" opens with the artist of "
                                         "\"\xC3\x89"
                                         "dith Piaf - Non, je ne regrette rien\": probably one "
                                         "artist, refused as meant; keep its opening (or write it \"Artist - "
                                         "Title\").");
}

// Before the run: where the title limit (or an artist window as long) starves the rotation.
TEST(RunReport, StarvationIsWarnedOfBeforeTheRun) {
    std::vector<sim::PlaylistEntry> playlist;
    for (int i = 0; i < 394; i++)
        playlist.push_back({"Artist " + std::to_string(i) + " - Song", 200});
    EXPECT_EQ(
        sim::starvationWarning({12, 390, true}, playlist),
        "a title limit of 390 leaves 4 titles to play once all 394 have played: from the second pass on, "
        "every entry outside those few is refused, and when the artist window bars them too, one title "
        "plays again and again");
    EXPECT_EQ(sim::starvationWarning({12, 295, true}, playlist), "") << "99 left: more than a quarter";
    EXPECT_NE(sim::starvationWarning({12, 296, true}, playlist), "") << "98 left: a quarter or less";
    EXPECT_EQ(sim::starvationWarning({12, 390, false}, playlist), "");
    EXPECT_EQ(sim::starvationWarning({0, 0, true}, playlist), "");
    const std::string none = "leaves no title to play once all 394 titles of the playlist have played";
    EXPECT_NE(sim::starvationWarning({12, 394, true}, playlist).find("a title limit of 394 " + none),
              std::string::npos);
    EXPECT_NE(sim::starvationWarning({12, 5000, true}, playlist).find("a title limit of 5000 " + none),
              std::string::npos);
    EXPECT_NE(sim::starvationWarning({400, 10, true}, playlist).find("an artist window of 400 " + none),
              std::string::npos);
    // A quarter left is warned of, a little more is not.
    const std::vector<sim::PlaylistEntry> eight(playlist.begin(), playlist.begin() + 8);
    EXPECT_NE(
        sim::starvationWarning({1, 6, true}, eight).find("leaves 2 titles to play once all 8 have played"),
        std::string::npos);
    EXPECT_EQ(sim::starvationWarning({1, 5, true}, eight), "");
    // Titles listed twice count once: 390 titles in 394 entries.
    for (int i = 0; i < 4; i++)
        playlist[static_cast<size_t>(390 + i)].title = playlist[static_cast<size_t>(i)].title;
    EXPECT_EQ(sim::distinctTitles(playlist), 390);
    EXPECT_EQ(sim::titlesListedTwice(playlist).size(), 4u);
    EXPECT_NE(sim::starvationWarning({12, 386, true}, playlist)
                  .find("leaves 4 titles to play once all 390 have played"),
              std::string::npos);
}

// A long run's record fits the 32-bit host: 24 bytes an event, and no more events than it keeps.
TEST(RunReport, TheRecordIsCompactAndBounded) {
    static_assert(sizeof(sim::TrackEvent) <= 24, "an event names entries; it copies no titles");
    EXPECT_LE(static_cast<int64_t>(sim::kMostEventsKept) * static_cast<int64_t>(sizeof(sim::TrackEvent)),
              256ll << 20);
    HandPlayed run({{"Abba - SOS", 200}, {"Blur - Song 2", 122}}, {1, 2, true});
    run.record.mostEvents = 5;
    run.play(0);
    run.play(1);
    run.skip(0);
    run.skip(1);
    EXPECT_FALSE(run.record.full);
    run.skip(0);
    EXPECT_TRUE(run.record.full);
    run.skip(1);
    run.play(0);
    EXPECT_EQ(run.record.events.size(), 5u);
    EXPECT_EQ(run.record.played, 2);
    EXPECT_EQ(run.record.skipped, 3);
    EXPECT_EQ(run.record.stationSeconds, 322);
    const sim::RunStats stats = run.stats();
    EXPECT_TRUE(stats.recordFull);
    EXPECT_NE(sim::runWarnings({}, stats)[0].find("it recorded 5 tracks started, the most one run keeps"),
              std::string::npos);
}

} // namespace
