// The sweep tests' shared cases.
#include "simhost/sweep_cases.h"

#include <cstdio>
#include <string>

std::vector<sim::PlaylistEntry> spacedPlaylist() {
    std::vector<sim::PlaylistEntry> playlist;
    for (int title = 0; title < 5; title++)
        for (char artist = 'A'; artist < 'A' + 20; artist++)
            playlist.push_back({std::string(1, artist) + "x" +
                                    std::string(1, static_cast<char>(artist + 32)) + " Band - Song " +
                                    std::to_string(title),
                                240});
    return playlist;
}

sim::SweepPlan spacedPlan(int32_t maxSkipTenths) {
    sim::SweepPlan plan;
    plan.artistLimits = {10, 11, 12, 13, 14, 15, 16};
    plan.titleLimits = {0};
    plan.artistSwept = true;
    plan.titleSwept = false;
    plan.seeds = {7, 8, 9};
    plan.stationSeconds = 24 * 3600;
    plan.goal = {60, 0, 100, maxSkipTenths};
    return plan;
}

std::vector<sim::PlaylistEntry> examplePlaylist() {
    std::FILE* file = std::fopen(SB_SOURCE_DIR "/examples/rotation.m3u", "rb");
    if (file == nullptr) // a test pack: examples/ beside the program, where it runs
        file = std::fopen("examples/rotation.m3u", "rb");
    std::string bytes;
    char buffer[4096];
    for (size_t got; file != nullptr && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.append(buffer, got);
    if (file != nullptr)
        std::fclose(file);
    return bytes.empty() ? std::vector<sim::PlaylistEntry>()
                         : sim::parsePlaylistEntries("rotation.m3u", bytes);
}

sim::SweepRow row(int32_t artist, int32_t title, bool artistGoal, bool skipGoal, int32_t skipTenths,
                  int32_t perDay, bool titleGoal) {
    sim::SweepRow row = {};
    row.setting = {artist, title};
    row.meetsArtistGoal = artistGoal;
    row.meetsTitleGoal = titleGoal;
    row.meetsSkipGoal = skipGoal;
    row.skipTenths = skipTenths;
    row.worstSkipTenths = skipTenths + 5;
    row.worstArtistPerDay = perDay;
    return row;
}
