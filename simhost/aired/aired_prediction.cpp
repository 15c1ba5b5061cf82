// Simulating each period of the log, and holding each seed's figures against the aired ones.
#include "aired/aired_prediction.h"

#include <algorithm>

#include "aired/record_lines.h"
#include "tuning/sweep.h"

namespace {

// A rate of `part` in `whole` in tenths of a percent, half up; 0 when there is no whole.
int64_t tenthsOf(int64_t part, int64_t whole) {
    return whole > 0 ? sim::rateTenths(static_cast<double>(part) / static_cast<double>(whole)) : 0;
}

// The figures of one seed's run of `limits` over `playlist` for `seconds`, read as its log.
std::vector<int64_t> seedValues(const std::vector<sim::PlaylistEntry>& playlist, sim::RuleLimits limits,
                                uint64_t seed, int64_t seconds, sim::AirTime start,
                                const sim::SweepGoal& goal) {
    sim::RunRecord record;
    sim::simulateRun(playlist, limits, sim::sweepOrder(static_cast<int32_t>(playlist.size()), seed), seconds,
                     &record);
    sim::AirLog log = {};
    sim::appendRecordLines(record, limits, std::string(), start, {}, &log);
    const sim::AiredHistory history = sim::airedHistory(log, &playlist);
    const sim::AiredFigures figures = sim::airedFigures(history, goal, {});
    const sim::PlayedOrder order = sim::playedOrder(history, {});
    std::vector<int64_t> values;
    for (int32_t figure = 0; figure < sim::kPredictedFigures; figure++)
        values.push_back(sim::figureValue(figure, figures.all, order));
    return values;
}

} // namespace

namespace sim {

int64_t figureValue(int32_t figure, const AiredCounts& counts, const PlayedOrder& order) {
    const int64_t seconds = counts.airMs / 1000;
    switch (figure) {
    case kFigureSkipRate:
        return tenthsOf(counts.skipped, static_cast<int64_t>(counts.played) + counts.skipped);
    case kFigureEarlyArtist:
        return perDayHundredths(counts.earlyArtist, seconds);
    case kFigureOtherSpellings:
        return perDayHundredths(counts.unpreventable, seconds);
    case kFigureEarlyTitle:
        return perDayHundredths(counts.earlyTitle, seconds);
    case kFigureLongestSkipRun:
        return counts.longestSkipRun;
    default:
        return tenthsOf(order.withinRotation, order.returns);
    }
}

AiredPrediction predictAired(const AiredHistory& history, const AiredFigures& figures,
                             const AiredScope& scope, const std::vector<PlaylistEntry>& playlist,
                             const std::vector<uint64_t>& seeds) {
    AiredPrediction prediction = {};
    prediction.seeds = seeds;
    prediction.entries = static_cast<int32_t>(playlist.size());
    for (const AiredPeriodFigures& period : figures.periods) {
        PeriodPrediction predicted = {};
        predicted.period = period;
        predicted.seconds = period.counts.airMs / 1000;
        predicted.simulated = period.period.known && predicted.seconds >= kLeastPredictedSeconds &&
                              !playlist.empty() && !seeds.empty();
        if (!predicted.simulated) {
            prediction.periods.push_back(predicted);
            continue;
        }
        const PlayedOrder order = playedOrder(history, scope, period.index);
        std::vector<std::vector<int64_t>> bySeed;
        for (uint64_t seed : seeds)
            bySeed.push_back(seedValues(playlist, period.period.limits, seed, predicted.seconds,
                                        period.period.from, figures.goal));
        for (int32_t figure = 0; figure < kPredictedFigures; figure++) {
            // Too few starts judged for their share to mean anything (played_order.h).
            if (figure == kFigureWithinRotation && order.verdict == kOrderTooShort)
                continue;
            FigureSpread spread = {};
            spread.figure = figure;
            spread.aired = figureValue(figure, period.counts, order);
            for (const std::vector<int64_t>& values : bySeed)
                spread.seeds.push_back(values[static_cast<size_t>(figure)]);
            std::sort(spread.seeds.begin(), spread.seeds.end());
            spread.median = spread.seeds[(spread.seeds.size() - 1) / 2];
            spread.outside = spread.aired < spread.seeds.front() || spread.aired > spread.seeds.back();
            predicted.figures.push_back(spread);
        }
        prediction.periods.push_back(predicted);
    }
    return prediction;
}

} // namespace sim
