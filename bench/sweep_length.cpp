// What a sweep's length does to its figures: the default sweep of a playlist (the ranges
// songbeacon-tune chooses for it, three seeds) played at three rotations, then at each shorter
// length asked for, and each setting's figures a day (the median skip rate as shown, the worst
// seed's early returns of an artist and of a title a day) set beside the three rotations' on the
// same seeds. A figure stays "within the spread" when it differs from the three rotations' by no
// more than those three seeds' own figures differ among themselves. Also the same check for three
// other seeds at three rotations (what another draw of seeds moves), and each length's answer.
//   sweep_length <playlist> <length>...   a length: R rotations ("1.25r") or D days ("60d")
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "playlist/playlist.h"
#include "playlist/text_encoding.h"
#include "tune/tune_plan.h"
#include "tuning/recommendation.h"
#include "tuning/sweep.h"

namespace {

constexpr uint64_t kFirstSeed = 1;
constexpr uint64_t kOtherSeed = 101;

// The default sweep's rows over `seconds`, on three seeds from `firstSeed`.
std::vector<sim::SweepRow> sweepRows(const std::vector<sim::PlaylistEntry>& playlist,
                                     const sim::TuneRanges& ranges, int64_t seconds, uint64_t firstSeed) {
    sim::SweepPlan plan;
    plan.artistSwept = plan.titleSwept = true;
    for (int32_t limit = ranges.artist.from; limit <= ranges.artist.to; limit++)
        plan.artistLimits.push_back(limit);
    for (int32_t limit = ranges.title.from; limit < ranges.title.to; limit += ranges.title.step)
        plan.titleLimits.push_back(limit);
    plan.titleLimits.push_back(ranges.title.to);
    plan.seeds = {firstSeed, firstSeed + 1, firstSeed + 2};
    plan.stationSeconds = seconds;
    plan.goal = {60, sim::kDefaultTitleGapHours, 100, 100};
    std::vector<sim::SweepRow> rows;
    if (sim::runSweep(playlist, plan, &rows) != sim::kPlayedItsLength)
        rows.clear();
    return rows;
}

struct Spread {
    int32_t low;
    int32_t high;
};

// How far `value` lies from `reference` beyond the spread: 0 when within it.
int32_t excess(int32_t value, int32_t reference, Spread spread) {
    const int32_t off = value > reference ? value - reference : reference - value;
    return off > spread.high - spread.low ? off - (spread.high - spread.low) : 0;
}

// Prints how the rows of one length compare with the three rotations' `reference`.
void compare(const char* what, const std::vector<sim::SweepRow>& rows,
             const std::vector<sim::SweepRow>& reference, double seconds) {
    if (rows.empty()) {
        std::printf("%-28s the sweep did not play its length\n", what);
        return;
    }
    int32_t within[3] = {0, 0, 0}, worst[3] = {0, 0, 0};
    for (size_t i = 0; i < rows.size() && i < reference.size(); i++) {
        Spread spreads[3] = {{1000, 0}, {1 << 30, 0}, {1 << 30, 0}};
        for (const sim::SeedFigures& seed : reference[i].seeds) {
            const int32_t figures[3] = {sim::rateTenths(seed.skipRate), seed.artistPerDay, seed.titlePerDay};
            for (int f = 0; f < 3; f++) {
                spreads[f].low = figures[f] < spreads[f].low ? figures[f] : spreads[f].low;
                spreads[f].high = figures[f] > spreads[f].high ? figures[f] : spreads[f].high;
            }
        }
        const int32_t mine[3] = {rows[i].skipTenths, rows[i].worstArtistPerDay, rows[i].worstTitlePerDay};
        const int32_t theirs[3] = {reference[i].skipTenths, reference[i].worstArtistPerDay,
                                   reference[i].worstTitlePerDay};
        for (int f = 0; f < 3; f++) {
            const int32_t beyond = excess(mine[f], theirs[f], spreads[f]);
            within[f] += beyond == 0 ? 1 : 0;
            worst[f] = beyond > worst[f] ? beyond : worst[f];
        }
    }
    const sim::Recommendation answer = sim::recommend(rows, {60, sim::kDefaultTitleGapHours, 100, 100});
    const auto row = static_cast<size_t>(
        std::max(answer.verdict == sim::kEveryGoalMet ? answer.recommended : answer.nearest, 0));
    std::printf(
        "%-28s within the spread: skip rate %d, artist a day %d, title a day %d of %zu; beyond it by at most "
        "%.1f points, %.2f, %.2f a day; answer %d / %d (%s) [%.1f s]\n",
        what, within[0], within[1], within[2], rows.size(), worst[0] / 10.0, worst[1] / 100.0,
        worst[2] / 100.0, rows[row].setting.artistLimit, rows[row].setting.titleLimit,
        answer.verdict == sim::kEveryGoalMet ? "recommended" : "nearest", seconds);
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: sweep_length <playlist> <length: 1.25r or 60d>...\n", stderr);
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    sim::PlaylistFile playlist;
    std::string reason;
    if (!sim::readPlaylistFile(argv[1], bytes.str(), sim::latin1CodePage(), &playlist, &reason)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], reason.c_str());
        return 1;
    }
    const sim::TuneRanges ranges = sim::defaultRanges(playlist.entries, sim::TuneCommand());
    const int64_t rotation = sim::rotationSeconds(playlist.entries);
    std::printf("%s\none rotation: %.2f days; the default length: %.2f days (%.2f rotations)\n",
                sim::rangesText(ranges, static_cast<int32_t>(playlist.entries.size())).c_str(),
                rotation / 86400.0, sim::defaultSweepSeconds(playlist.entries) / 86400.0,
                static_cast<double>(sim::defaultSweepSeconds(playlist.entries)) / rotation);
    auto start = std::chrono::steady_clock::now();
    const std::vector<sim::SweepRow> reference =
        sweepRows(playlist.entries, ranges, 3 * rotation, kFirstSeed);
    compare("3 rotations, seeds 1-3", reference, reference, secondsSince(start));
    start = std::chrono::steady_clock::now();
    const std::vector<sim::SweepRow> others = sweepRows(playlist.entries, ranges, 3 * rotation, kOtherSeed);
    compare("3 rotations, seeds 101-103", others, reference, secondsSince(start));
    for (int i = 2; i < argc; i++) {
        const std::string length = argv[i];
        const double number = std::atof(length.c_str());
        const auto seconds = static_cast<int64_t>(length.back() == 'd' ? number * 86400 : number * rotation);
        char what[64];
        std::snprintf(what, sizeof what, "%.2f rotations, %.1f days", static_cast<double>(seconds) / rotation,
                      seconds / 86400.0);
        start = std::chrono::steady_clock::now();
        const std::vector<sim::SweepRow> rows = sweepRows(playlist.entries, ranges, seconds, kFirstSeed);
        compare(what, rows, reference, secondsSince(start));
    }
    return 0;
}
