// The sweep decides by the entries' ids instead of the plug-in's text scans, to be fast: it must
// give the plug-in's answer, scan for scan and index for index, in every state a run can reach.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "playlist/play_order.h"
#include "tuning/rule_mirror.h"
#include "tuning/run_record.h"

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
        sim::RunRecord record;
        sim::startRecord(&record, &kTitles);
        sim::RuleMirror mirror = {};
        ASSERT_TRUE(sim::startMirror(&mirror, limits));
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
                if (expected.scan != history::kNotRefused) {
                    ASSERT_EQ(byIds.index, expected.index) << title;
                }
            }
            // Play what the plug-in would admit (and now and then what it would not, as the newest
            // title plays again unjudged), so that the history holds every kind of neighbour.
            const int32_t entry = sim::currentEntry(order);
            const char* title = kTitles[static_cast<size_t>(entry)].title.c_str();
            if (step % 7 == 0 || sim::findMirroredRefusal(mirror, title).scan == history::kNotRefused)
                sim::recordPlay(&record, &mirror, entry, true);
        }
        // The history has filled its 1000 places and dropped its oldest: the ids followed it.
        if (limits.artistLimit == 0 && limits.titleLimit == 5) {
            EXPECT_GT(mirror.appended, kHistoryRingSize);
        }
        sim::endMirror(&mirror);
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
