// The tool's own prediction against what aired. For the limits in force over each period, the
// tool's simulation (the sweep's runs: the plug-in's rule, a dealt shuffle) plays the same titles
// for the same time on air on several seeds; each run is read as the plug-in would have logged it,
// through the same code as the station's log, and its figures set beside the aired ones. An aired
// figure outside the seeds' spread is named; whether the model fits at all is the order's to say
// (played_order.h).
#pragma once

#include <cstdint>
#include <vector>

#include "aired/aired_figures.h"
#include "aired/played_order.h"

namespace sim {

// A period shorter than this on air is not simulated: a day's figures need a day.
constexpr int64_t kLeastPredictedSeconds = 24 * 3600;

// The figures compared, each in the unit it is shown in.
enum PredictedFigure : int32_t {
    kFigureSkipRate,       // tenths of a percent
    kFigureEarlyArtist,    // hundredths a day on air
    kFigureOtherSpellings, // hundredths a day on air
    kFigureEarlyTitle,     // hundredths a day on air
    kFigureLongestSkipRun, // skips in a row
    kFigureWithinRotation, // tenths of a percent of the returns
    kPredictedFigures,
};

struct FigureSpread {
    int32_t figure; // a PredictedFigure
    int64_t aired;
    std::vector<int64_t> seeds; // each seed's, lowest first
    int64_t median;             // the middle seed's (the lower of the middle two)
    bool outside;               // the aired figure is below the lowest seed's or above the highest's
};

struct PeriodPrediction {
    AiredPeriodFigures period;
    int64_t seconds; // on air, as simulated
    bool simulated;  // false: the limits are not known, or under kLeastPredictedSeconds on air
    std::vector<FigureSpread> figures;
};

struct AiredPrediction {
    std::vector<uint64_t> seeds;
    int32_t entries; // the playlist simulated
    std::vector<PeriodPrediction> periods;
};

// The aired figure of `counts` in the unit of `figure` (kFigureWithinRotation from `order`).
int64_t figureValue(int32_t figure, const AiredCounts& counts, const PlayedOrder& order);

// The prediction for each period of `figures` (the aired figures of `history` within `scope`),
// over `playlist` (the titles, with their lengths) on `seeds`, judged against the same goal.
AiredPrediction predictAired(const AiredHistory& history, const AiredFigures& figures,
                             const AiredScope& scope, const std::vector<PlaylistEntry>& playlist,
                             const std::vector<uint64_t>& seeds);

} // namespace sim
