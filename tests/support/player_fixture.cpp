// The simulated player on the test's thread, in a folder of the test's own.
#include "support/player_fixture.h"

namespace support {

bool pumpUntil(const std::function<bool()>& ready, DWORD timeoutMs) {
    return sim::pumpUntil([](void* r) { return (*static_cast<const std::function<bool()>*>(r))(); },
                          const_cast<std::function<bool()>*>(&ready), timeoutMs);
}

void PlayerTest::SetUp() {
    folder = makeTestFolder();
    ASSERT_TRUE(fileExists(folder)) << folder;
    sim::initPlayer(&player);
    ASSERT_TRUE(sim::createPlayerWindow(&player));
}

void PlayerTest::TearDown() {
    sim::destroyPlayerWindow(&player);
    removeFolder(folder);
}

void PlayerTest::play(const std::vector<std::string>& titles, int32_t position) {
    player.titles = titles;
    player.position = position;
    player.state = sim::kPlaying;
}

bool PlayerTest::pumpPasses(int32_t passes) {
    const int32_t target = player.playingQueries + passes;
    return pumpUntil([&] { return player.playingQueries >= target; });
}

} // namespace support
