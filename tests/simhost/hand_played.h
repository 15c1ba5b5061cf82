// What the tuning report's tests share: a run played by hand against the mirror of the plug-in's
// rule, and the separation histogram in words.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "report/report.h"
#include "tuning/rule_mirror.h"
#include "tuning/run_record.h"
#include "tuning/run_stats.h"

// The histogram as "label=count" words, "!" after the labels within the window.
inline std::string histogramText(const sim::RunStats& stats) {
    std::string text;
    for (const sim::GapBucket& bucket : stats.gapHistogram)
        text += sim::gapLabel(bucket) + (bucket.withinWindow ? "!" : "") + "=" +
                std::to_string(bucket.count) + " ";
    return text;
}

// A playlist and a record of it, played by hand against a mirror with the given limits.
struct HandPlayed {
    std::vector<sim::PlaylistEntry> playlist;
    sim::RuleMirror mirror = {};
    sim::RunRecord record;

    HandPlayed(std::vector<sim::PlaylistEntry> entries, sim::RuleLimits limits)
        : playlist(std::move(entries)) {
        EXPECT_TRUE(sim::startMirror(&mirror, limits));
        sim::startRecord(&record, &playlist);
    }
    ~HandPlayed() { sim::endMirror(&mirror); }

    void play(int32_t entry) { sim::recordPlay(&record, &mirror, entry, true); }
    bool skip(int32_t entry) { return sim::recordSkip(&record, mirror, entry); }
    sim::RunStats stats() const { return sim::computeStats(record, sim::artistWindow(mirror.limits)); }
    const sim::TrackEvent& event(size_t index) const { return record.events[index]; }
};
