// The sweep decides by the entries' ids instead of the plug-in's text scans, to be fast: it must
// give the plug-in's answer, scan for scan and index for index, in every state a run can reach;
// and its runs, which count refusals without keeping them and work out a loop's laps from the
// dealt rounds, must end as a run played track by track.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "playlist/play_order.h"
#include "playlist/station_clock.h"
#include "tuning/rule_mirror.h"
#include "tuning/run_record.h"
#include "tuning/sweep.h"

namespace {

// Titles that meet every edge of the rule: case, "The" and its six characters, titles shorter than
// the key, one title listed twice, a title equal to another's key.
const std::vector<sim::PlaylistEntry> kTitles = {
    {"Queen - Innuendo", 300},
    {"QUEENSRYCHE - Silent", 200},
    {"The Beatles - Help", 139},
    {"the beat - Mirror", 180},
    {"The Bea", 100},
    {"Thebes - Lyre", 200},
    {"Th", 60},
    {"th", 60},
    {"Que", 60},
    {"Queen - Innuendo", 300},
    {"Abba - SOS", 200},
    {"ABBA - Waterloo", 164},
    {"Blur - Song 2", 122},
    {"The Who - Baba", 200},
    {"The", 30},
    {"THE BEATLES - Help", 139},
};

TEST(RuleMirror, TheSweepsIdsGiveThePlugInsAnswerInEveryState) {
    for (const sim::RuleLimits limits :
         {sim::RuleLimits{0, 0, true}, sim::RuleLimits{2, 5, true}, sim::RuleLimits{0, 1000, true},
          sim::RuleLimits{0, 5, true}, sim::RuleLimits{3, 3, true}, sim::RuleLimits{1, 1000, true},
          sim::RuleLimits{7, 12, true}, sim::RuleLimits{0, 9, true}, sim::RuleLimits{-2, 4, true},
          sim::RuleLimits{4, 2, false}}) {
        sim::RunRecord record, idRecord;
        sim::startRecord(&record, &kTitles);
        sim::startRecord(&idRecord, &kTitles);
        // The sweep's own mirror, which copies no text, fed the same plays: the same answers.
        sim::RuleMirror mirror = {}, idMirror = {};
        ASSERT_TRUE(sim::startMirror(&mirror, limits));
        ASSERT_TRUE(sim::startMirror(&idMirror, limits, false));
        sim::PlayOrder order;
        sim::startPlayOrder(&order, static_cast<int32_t>(kTitles.size()), true, 11);
        for (int32_t step = 0; step < 1300; step++, sim::advance(&order, true)) {
            for (int32_t entry = 0; entry < static_cast<int32_t>(kTitles.size()); entry++) {
                const char* title = kTitles[static_cast<size_t>(entry)].title.c_str();
                const history::Refusal expected = sim::findMirroredRefusal(mirror, title);
                const history::Refusal byIds =
                    sim::findRefusalByIds(mirror, title, entry, record.titleIds, record.ruleKeyIds);
                ASSERT_EQ(byIds.scan, expected.scan)
                    << "limits " << limits.artistLimit << "/" << limits.titleLimit << ", step " << step
                    << ": " << title;
                const history::Refusal withoutTexts =
                    sim::findRefusalByIds(idMirror, title, entry, record.titleIds, record.ruleKeyIds);
                ASSERT_EQ(withoutTexts.scan, byIds.scan) << step << ": " << title;
                ASSERT_EQ(withoutTexts.index, byIds.index) << step << ": " << title;
                if (expected.scan != history::kNotRefused) {
                    ASSERT_EQ(byIds.index, expected.index) << title;
                }
            }
            // Play what the plug-in would admit (and now and then what it would not, as the newest
            // title plays again unjudged), so that the history holds every kind of neighbour.
            const int32_t entry = sim::currentEntry(order);
            const char* title = kTitles[static_cast<size_t>(entry)].title.c_str();
            if (step % 7 == 0 || sim::findMirroredRefusal(mirror, title).scan == history::kNotRefused) {
                const sim::TrackEvent played = sim::recordPlay(&record, &mirror, entry, true);
                const sim::TrackEvent idPlayed = sim::recordPlay(&idRecord, &idMirror, entry, true);
                ASSERT_EQ(idPlayed.other, played.other) << step;
                ASSERT_EQ(idRecord.lastRecordedEntry, record.lastRecordedEntry) << step;
                ASSERT_EQ(idMirror.held, mirror.history->count) << step;
                ASSERT_EQ(idMirror.entries, mirror.entries) << step;
            }
        }
        // The history has filled its 1000 places and dropped its oldest: the ids followed it.
        if (limits.artistLimit == 0 && limits.titleLimit == 5) {
            EXPECT_GT(mirror.appended, kHistoryRingSize);
        }
        sim::endMirror(&mirror);
        sim::endMirror(&idMirror);
    }
}

// What a sweep's figures are made of: the counts, the lap under way and every play.
std::string runText(const sim::RunRecord& record) {
    std::string text = std::to_string(record.played) + " " + std::to_string(record.skipped) + " " +
                       std::to_string(record.longestSkipRun) + " " + std::to_string(record.misjudged) + " " +
                       std::to_string(record.stationSeconds) + " " + std::to_string(record.skipsInARow) +
                       " " + std::to_string(record.loopLaps) + " " +
                       std::to_string(record.lapsSinceRecorded) + " " +
                       std::to_string(sim::markCount(record.refusedInLap)) + " " +
                       std::to_string(record.wholePlaylistRefusals) + (record.full ? " full:" : ":");
    for (size_t entry = 0; entry < record.refusedInLap.marked.size(); entry++)
        text += sim::isMarked(record.refusedInLap, static_cast<int32_t>(entry)) ? " " + std::to_string(entry)
                                                                                : "";
    for (const sim::TrackEvent& event : record.events)
        if (event.kind == sim::kPlayed)
            text += "\n" + std::to_string(event.entry) + " at " + std::to_string(event.at) + " again " +
                    std::to_string(event.again) + " " + std::to_string(event.span) + " " +
                    std::to_string(event.other);
    return text;
}

TEST(RuleMirror, TheSweepsRunsEndAsARunPlayedTrackByTrack) {
    // Twenty artists, each also as "... Band", which the artist rule takes for the same: some
    // refusals are its mistakes. One title is listed twice, with another length.
    std::vector<sim::PlaylistEntry> many;
    for (int32_t i = 0; i < 40; i++)
        many.push_back({std::string(1, static_cast<char>('A' + i / 2)) + "ax" + (i % 2 ? " Band" : "") +
                            " - Song " + std::to_string(i),
                        150 + i * 37 % 90});
    many.push_back({many[5].title, 100});
    // Three titles, each listed four times: the title that loops plays from four entries.
    std::vector<sim::PlaylistEntry> few;
    for (int32_t i = 0; i < 12; i++)
        few.push_back({std::string("Abba - ") + static_cast<char>('X' + i % 3), 120 + i * 13});
    const struct {
        const std::vector<sim::PlaylistEntry>* playlist;
        sim::RuleLimits limits;
        int32_t mostEvents;
    } runs[] = {
        {&many, {3, 40, true}, sim::kMostEventsKept},    // loops once every title has played
        {&many, {30, 1000, true}, sim::kMostEventsKept}, // likewise, the artist rule refusing most
        {&many, {2, 40, true}, 4001},                    // the record fills while it loops
        {&many, {0, 39, true}, sim::kMostEventsKept},    // one title left at a time: no loop
        {&many, {4, 12, true}, sim::kMostEventsKept},
        {&few, {0, 3, true}, sim::kMostEventsKept},
    };
    for (const auto& run : runs)
        for (uint64_t seed = 1; seed <= 2; seed++) {
            const auto entries = static_cast<int32_t>(run.playlist->size());
            // Runs that end exactly where a play after 20 hours ends.
            sim::RunRecord whole, swept;
            sim::simulateRun(*run.playlist, run.limits, sim::sweepOrder(entries, seed), 24 * 3600, &whole);
            int64_t seconds = 0;
            for (size_t i = 0; seconds <= 20 * 3600; i++)
                if (whole.events[i].kind == sim::kPlayed)
                    seconds = whole.events[i].at + sim::trackSeconds((*run.playlist)[whole.events[i].entry]);
            const sim::SimulatedEnd end = sim::simulateRun(
                *run.playlist, run.limits, sim::sweepOrder(entries, seed), seconds, &whole, run.mostEvents);
            for (int64_t kept : {sim::kMostDealtPlaces, int64_t{0}}) { // kept, or dealt again
                sim::DealtRounds dealt;
                sim::startDealtRounds(&dealt, sim::sweepOrder(entries, seed), kept);
                EXPECT_EQ(
                    sim::simulateSweepRun(*run.playlist, run.limits, &dealt, seconds, &swept, run.mostEvents),
                    end);
                EXPECT_EQ(runText(swept), runText(whole))
                    << run.limits.artistLimit << "/" << run.limits.titleLimit << " seed " << seed;
            }
            EXPECT_EQ(whole.loopLaps > 0, run.limits.titleLimit != 39 && run.limits.titleLimit != 12);
        }
}

TEST(RuleMirror, TheRuleKeyIsWhatTheArtistRuleCompares) {
    EXPECT_EQ(sim::ruleKeyOf("Queen - Innuendo"), "que");
    EXPECT_EQ(sim::ruleKeyOf("THE BEATLES"), "the be");
    EXPECT_EQ(sim::ruleKeyOf("Thebes"), "thebes");
    EXPECT_EQ(sim::ruleKeyOf("Th"), "th");
    EXPECT_EQ(sim::ruleKeyOf("The"), "the");
    EXPECT_EQ(sim::ruleKeyOf("\xC3\x89lan - x"), "\xC3\x89l") << "only A-Z is folded, as the plug-in folds";
}

} // namespace
