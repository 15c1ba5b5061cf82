// The track monitor against a simulated player. The test's thread owns the player window and
// pumps its messages while the worker runs on a thread of its own, as in the real player; each
// phase runs the worker for a number of passes (counted by the player's is-playing queries) and
// then stops it, so that the history and the page are inspected only while the worker is idle.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "airlog/air_log.h"
#include "common/memory.h"
#include "common/plugin_state.h"
#include "history/title_history.h"
#include "monitor/track_monitor.h"
#include "settings/settings_store.h"
#include "support/air_log_text.h"
#include "support/page_text.h"
#include "support/player_fixture.h"

namespace {

using support::kDeadlineMs;
using support::pumpUntil;

struct MonitorTest : support::PlayerTest {
    std::string pagePath;

    void SetUp() override {
        PlayerTest::SetUp();
        pluginState.hostWindow = player.window;
        pluginState.history = history::create(1000);
        pluginState.currentTitle = nullptr;
        pluginState.playing = 0;
        ASSERT_TRUE(settings::allocateTextBuffers());

        pagePath = path("status.htm");
        settings::TextSettings texts = {};
        std::strcpy(texts.OutputFilename, pagePath.c_str());
        std::strcpy(texts.HTMLTitle, "Test station");
        std::strcpy(texts.HTMLHeader, "Header");
        settings::storeTexts(texts);
        PluginSettings& live = pluginState.settings;
        live.EnableHTMLOutput = 1;
        live.RecentTitleListLength = 10;
        live.EnablePlaylistMonitoring = 1;
        live.SameArtistCheckLimit = 0;
        live.SameTitleCheckLimit = 0;
        live.PollInterval = 0;
    }
    void TearDown() override {
        airlog::close(kDeadlineMs);
        memory::failAllocationsAfter(-1);
        history::destroy(pluginState.history);
        pluginState.history = nullptr;
        settings::releaseTextBuffers();
        PlayerTest::TearDown();
    }

    // Starts the worker as the plug-in does, keeping a handle of the test's own to its thread.
    HANDLE startWorker() {
        pluginState.stopRequested = 0;
        EXPECT_TRUE(monitor::start());
        HANDLE worker = nullptr;
        DuplicateHandle(GetCurrentProcess(), static_cast<HANDLE>(pluginState.workerThread),
                        GetCurrentProcess(), &worker, SYNCHRONIZE | THREAD_QUERY_LIMITED_INFORMATION, FALSE,
                        0);
        return worker;
    }
    // Stops the worker as the plug-in does; its thread then ends with exit code 0.
    void stopWorker(HANDLE worker) {
        EXPECT_EQ(monitor::stop(kDeadlineMs), monitor::kEnded)
            << "the worker did not end after the stop request";
        EXPECT_EQ(pluginState.workerThread, nullptr);
        DWORD exitCode = 1;
        EXPECT_EQ(WaitForSingleObject(worker, kDeadlineMs), WAIT_OBJECT_0);
        GetExitCodeThread(worker, &exitCode);
        CloseHandle(worker);
        EXPECT_EQ(exitCode, 0u);
    }
    // Runs the worker until it has made `passes` more passes, then stops it and waits for its end.
    void runPasses(int32_t passes) {
        HANDLE worker = startWorker();
        ASSERT_NE(worker, nullptr);
        const bool reached = pumpPasses(passes);
        stopWorker(worker);
        ASSERT_TRUE(reached) << "the worker made too few passes";
    }

    std::vector<std::string> historyTitles() {
        std::vector<std::string> titles;
        for (int32_t i = 0; i < pluginState.history->count; i++)
            titles.push_back(history::at(pluginState.history, i));
        return titles;
    }
    bool pageExists() { return support::fileExists(pagePath); }
    std::string page() { return support::readFile(pagePath); }
    // The title shown as the current track, as the page's current-track cell holds it.
    std::string currentCell(const std::string& title) { return support::currentCell(title); }
};

TEST_F(MonitorTest, StopRequestedBeforeStartMeansNoPass) {
    play({"Abba - SOS"});
    pluginState.stopRequested = 1;
    ASSERT_TRUE(monitor::start());
    EXPECT_EQ(monitor::stop(kDeadlineMs), monitor::kEnded);
    EXPECT_EQ(player.playingQueries, 0);
    EXPECT_EQ(pluginState.history->count, 0);
}

// The gaps between passes, seen from the player: from its answer to the last question of one pass
// to its answer to the first of the next (the loop, any rest, and the message's way there).
struct PassGaps {
    LONGLONG lastAnswer; // QueryPerformanceCounter time of the last answer, 0 before the first
    LONGLONG shortest;   // the shortest gap since the last reset, in counter ticks
};

void notePassGap(sim::Player* player, UINT message, WPARAM, LPARAM which) {
    if (message != sim::kUserMessage)
        return;
    auto* gaps = static_cast<PassGaps*>(player->context);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    if (which == sim::kQueryIsPlaying && gaps->lastAnswer != 0 &&
        now.QuadPart - gaps->lastAnswer < gaps->shortest)
        gaps->shortest = now.QuadPart - gaps->lastAnswer;
    gaps->lastAnswer = now.QuadPart;
}

TEST_F(MonitorTest, PollIntervalSetsThePassRate) {
    // The shortest gap between passes tells a rest from none whatever the machine's load, which only
    // lengthens gaps: the continuous poll goes round in well under a millisecond at least now and
    // then, and a rest never ends early. The rate at 5 ms is about 200 a second: never more (250
    // leaves room for the clocks' grain), and even a busy machine gives well over 20.
    struct Case {
        int32_t interval;
        int32_t state;
        double shortestGapMs[2]; // at least, below
        double rate[2];          // passes a second: at least, at most
    };
    const Case cases[] = {
        {0, sim::kPlaying, {0, 1}, {20, 1e9}},   {0, sim::kStopped, {0, 1}, {20, 1e9}},
        {5, sim::kPlaying, {4, 1e9}, {20, 250}}, {5, sim::kStopped, {4, 1e9}, {20, 250}},
        {0, sim::kPlaying, {0, 1}, {20, 1e9}}, // back to 0 while the worker runs: the rests stop at once
    };
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    PassGaps gaps = {0, 0};
    player.context = &gaps;
    player.afterMessage = notePassGap;
    play({"Abba - SOS"});
    HANDLE worker = startWorker();
    ASSERT_NE(worker, nullptr);
    for (const Case& c : cases) {
        pluginState.settings.PollInterval = c.interval; // taken at the next rest, as after configure
        player.state = c.state;
        pumpPasses(3); // the rest under way when the interval changed is over
        gaps.shortest = INT64_MAX;
        const int32_t before = player.playingQueries;
        const ULONGLONG start = GetTickCount64();
        pumpUntil([&] { return GetTickCount64() - start >= 1000; });
        const double rate =
            (player.playingQueries - before) * 1000.0 / static_cast<double>(GetTickCount64() - start);
        const double shortestMs =
            static_cast<double>(gaps.shortest) * 1000.0 / static_cast<double>(frequency.QuadPart);
        std::printf("PollInterval %d, %s: %.0f passes a second, shortest gap %.3f ms\n", c.interval,
                    c.state == sim::kPlaying ? "playing" : "stopped", rate, shortestMs);
        EXPECT_GE(shortestMs, c.shortestGapMs[0]) << "PollInterval " << c.interval;
        EXPECT_LT(shortestMs, c.shortestGapMs[1]) << "PollInterval " << c.interval;
        EXPECT_GE(rate, c.rate[0]) << "PollInterval " << c.interval;
        EXPECT_LE(rate, c.rate[1]) << "PollInterval " << c.interval;
    }
    stopWorker(worker);
    player.afterMessage = nullptr;
    EXPECT_EQ(historyTitles(), std::vector<std::string>{"Abba - SOS"}); // rests change no decision
}

TEST_F(MonitorTest, StopEndsARestBetweenPassesAtOnce) {
    pluginState.settings.PollInterval = 1000; // the longest rest an operator can ask for
    play({"Abba - SOS"});
    HANDLE worker = startWorker();
    ASSERT_NE(worker, nullptr);
    ASSERT_TRUE(pumpPasses(1));
    pumpUntil([] { return false; }, 100); // the worker is well into its rest
    const ULONGLONG start = GetTickCount64();
    const monitor::StopResult result = monitor::stop(kDeadlineMs);
    const ULONGLONG tookMs = GetTickCount64() - start;
    EXPECT_EQ(result, monitor::kEnded);
    EXPECT_LT(tookMs, 500u) << "stop() waited for the rest to run out";
    EXPECT_LE(player.playingQueries, 2);
    EXPECT_EQ(WaitForSingleObject(worker, kDeadlineMs), WAIT_OBJECT_0);
    CloseHandle(worker);
    EXPECT_EQ(historyTitles(), std::vector<std::string>{"Abba - SOS"});
}

TEST_F(MonitorTest, FirstTitleIsRecordedAndPublishedOnce) {
    pluginState.settings.SameArtistCheckLimit = 1000;
    pluginState.settings.SameTitleCheckLimit = 1000;
    play({"Abba - SOS"});
    runPasses(200);
    EXPECT_EQ(historyTitles(), std::vector<std::string>{"Abba - SOS"});
    EXPECT_NE(page().find(currentCell("Abba - SOS")), std::string::npos);
    EXPECT_EQ(player.nextTrackCommands, 0);
    // Every pass asks three questions while the player plays.
    EXPECT_EQ(player.positionQueries, player.playingQueries);
    EXPECT_EQ(player.titleQueries, player.playingQueries);
    EXPECT_EQ(player.otherMessages, 0);
}

TEST_F(MonitorTest, StoppedPlayerMakesNoEntriesAndNoPage) {
    player.titles = {"Abba - SOS"};
    player.state = sim::kStopped;
    runPasses(500);
    EXPECT_EQ(pluginState.history->count, 0);
    EXPECT_FALSE(pageExists());
    EXPECT_EQ(player.positionQueries, 0); // one question per pass while stopped
    EXPECT_EQ(player.titleQueries, 0);
    EXPECT_EQ(pluginState.playing, 0);
    EXPECT_EQ(pluginState.currentTitle, nullptr);
}

TEST_F(MonitorTest, EmptyTitleIntoEmptyHistoryIsIgnored) {
    play({""});
    runPasses(100);
    EXPECT_EQ(pluginState.history->count, 0);
    EXPECT_FALSE(pageExists());
}

TEST_F(MonitorTest, PauseStopAndResumeOfTheSameTrackDoNothing) {
    play({"Abba - SOS", "Queen - Innuendo"});
    runPasses(50);
    ASSERT_TRUE(pageExists());
    ASSERT_TRUE(DeleteFileA(pagePath.c_str()));

    player.state = sim::kPaused;
    runPasses(50);
    player.state = sim::kStopped;
    runPasses(50);
    player.state = sim::kPlaying;
    runPasses(50);
    EXPECT_EQ(historyTitles(), std::vector<std::string>{"Abba - SOS"});
    EXPECT_FALSE(pageExists()); // no rewrite for a track that did not change
}

TEST_F(MonitorTest, SameTitleTwiceInARowIsRecordedOnce) {
    pluginState.settings.EnablePlaylistMonitoring = 0;
    play({"Abba - SOS", "Abba - SOS", "Queen - Innuendo", "Abba - SOS"});
    runPasses(50);
    player.position = 1; // another entry, same text
    runPasses(50);
    EXPECT_EQ(historyTitles(), std::vector<std::string>{"Abba - SOS"});
    player.position = 2;
    runPasses(50);
    player.position = 3; // a title in between makes the repeat a new track
    runPasses(50);
    EXPECT_EQ(historyTitles(), (std::vector<std::string>{"Abba - SOS", "Queen - Innuendo", "Abba - SOS"}));
    EXPECT_NE(page().find(currentCell("Abba - SOS")), std::string::npos);
}

TEST_F(MonitorTest, RefusedTitleIsSkippedAndTheNextOneJudgedAfresh) {
    pluginState.settings.SameArtistCheckLimit = 1;
    play({"Abba - SOS"});
    runPasses(20);
    play({"ABBA - Waterloo", "Queen - Innuendo"});
    runPasses(200);
    EXPECT_EQ(player.nextTrackCommands, 1);
    EXPECT_EQ(player.position, 1);
    EXPECT_EQ(historyTitles(), (std::vector<std::string>{"Abba - SOS", "Queen - Innuendo"}));
    EXPECT_NE(page().find(currentCell("Queen - Innuendo")), std::string::npos);
    EXPECT_EQ(page().find("Waterloo"), std::string::npos);
}

TEST_F(MonitorTest, EveryEntryRefusedKeepsTheCommandsComing) {
    pluginState.settings.SameArtistCheckLimit = 1000;
    play({"Abba - SOS"});
    runPasses(20);
    const int32_t titleQueriesBefore = player.titleQueries;
    ASSERT_TRUE(DeleteFileA(pagePath.c_str()));

    play({"Abba - Waterloo", "ABBA - Fernando", "abba - Mamma Mia"});
    player.wrapAtEnd = true;
    runPasses(300);
    // One command on every pass that read a refused title: all of them, here.
    EXPECT_EQ(player.nextTrackCommands, player.titleQueries - titleQueriesBefore);
    EXPECT_GE(player.nextTrackCommands, 300);
    EXPECT_EQ(historyTitles(), std::vector<std::string>{"Abba - SOS"});
    EXPECT_FALSE(pageExists());
}

TEST_F(MonitorTest, MonitoringOffRecordsEveryChange) {
    pluginState.settings.EnablePlaylistMonitoring = 0;
    pluginState.settings.SameArtistCheckLimit = 1000;
    pluginState.settings.SameTitleCheckLimit = 1000;
    play({"Abba - SOS", "Abba - Waterloo"});
    runPasses(30);
    player.position = 1;
    runPasses(30);
    player.position = 0;
    runPasses(30);
    EXPECT_EQ(historyTitles(), (std::vector<std::string>{"Abba - SOS", "Abba - Waterloo", "Abba - SOS"}));
    EXPECT_EQ(player.nextTrackCommands, 0);
}

TEST_F(MonitorTest, NoTitleFromThePlayerDoesNothing) {
    play({"Abba - SOS"});
    player.answerNullTitle = true;
    runPasses(100);
    EXPECT_EQ(pluginState.currentTitle, nullptr);
    EXPECT_NE(pluginState.playing, 0);
    player.answerNullTitle = false;
    player.reportedPositionOverride = 0x7FFFFFFF; // a wild position: the player has no such entry
    runPasses(100);
    player.reportedPositionOverride = -5;
    runPasses(100);
    EXPECT_EQ(pluginState.history->count, 0);
    EXPECT_FALSE(pageExists());
    EXPECT_EQ(player.nextTrackCommands, 0);
}

TEST_F(MonitorTest, TitleThatCannotBeRecordedWritesNoPageAndIsTriedAgainLater) {
    pluginState.settings.EnablePlaylistMonitoring = 0;
    play({"Abba - SOS", "Queen - Innuendo"});
    runPasses(20);
    ASSERT_TRUE(DeleteFileA(pagePath.c_str()));

    HANDLE worker = startWorker();
    ASSERT_NE(worker, nullptr);
    const int32_t refusedBefore = memory::refusedAllocations();
    memory::failAllocationsAfter(0);
    player.position = 1;
    const bool passed = pumpPasses(500);
    const int32_t refused = memory::refusedAllocations() - refusedBefore;
    const bool written = pageExists();
    memory::failAllocationsAfter(-1);
    // Once the heap gives again, the title is recorded and published after a rest.
    const bool publishedLater =
        pumpUntil([&] { return page().find(currentCell("Queen - Innuendo")) != std::string::npos; });
    stopWorker(worker);

    ASSERT_TRUE(passed);
    EXPECT_FALSE(written) << "a page was written for a title that was not recorded";
    EXPECT_EQ(refused, 1) << "the worker asked again for memory on every pass";
    EXPECT_TRUE(publishedLater);
    EXPECT_EQ(historyTitles(), (std::vector<std::string>{"Abba - SOS", "Queen - Innuendo"}));
}

TEST_F(MonitorTest, PageHeldWithoutWriteSharingIsWrittenOnceItIsFree) {
    play({"Abba - SOS", "Queen - Innuendo", "Tom Waits - Clap Hands"});
    HANDLE worker = startWorker();
    ASSERT_NE(worker, nullptr);
    ASSERT_TRUE(pumpUntil([&] { return page().find(currentCell("Abba - SOS")) != std::string::npos; }));

    // A web server reading the page at the moment the next tracks start, sharing it with readers only.
    HANDLE reader =
        CreateFileA(pagePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    player.position = 1;
    const bool passedSecond = pumpPasses(200);
    const bool stillFirst = page().find(currentCell("Abba - SOS")) != std::string::npos;
    player.position = 2; // a newer write replaces the one still owed
    const bool passedThird = pumpPasses(200);
    CloseHandle(reader);
    // No further track change: the write owed is tried again until it goes through.
    const ULONGLONG released = GetTickCount64();
    const bool shown =
        pumpUntil([&] { return page().find(currentCell("Tom Waits - Clap Hands")) != std::string::npos; });
    const ULONGLONG shownAfterMs = GetTickCount64() - released;
    stopWorker(worker);

    ASSERT_TRUE(passedSecond && passedThird);
    EXPECT_TRUE(stillFirst) << "the page was rewritten although held without write sharing";
    EXPECT_TRUE(shown) << "the page never showed the track playing once the file was free";
    std::printf("the page showed the new track %llu ms after the file was released\n",
                static_cast<unsigned long long>(shownAfterMs));
    EXPECT_EQ(historyTitles(),
              (std::vector<std::string>{"Abba - SOS", "Queen - Innuendo", "Tom Waits - Clap Hands"}));
    EXPECT_EQ(support::announcedRows(page()), 2);
    EXPECT_NE(page().find(">Queen - Innuendo<"), std::string::npos);
    EXPECT_EQ(player.nextTrackCommands, 0);
}

// Sets the limits at the player's next is-playing answer, while the worker waits for it: so that the
// pass reads both new limits together, as the dialog's store usually lands between passes.
struct LimitsAtNextPass {
    std::atomic<bool> due;
    int32_t artistLimit, titleLimit;
};

void setLimitsAtNextPass(sim::Player* player, UINT message, WPARAM, LPARAM which) {
    auto* limits = static_cast<LimitsAtNextPass*>(player->context);
    if (message == sim::kUserMessage && which == sim::kQueryIsPlaying && limits->due.exchange(false)) {
        pluginState.settings.SameArtistCheckLimit = limits->artistLimit;
        pluginState.settings.SameTitleCheckLimit = limits->titleLimit;
    }
}

TEST_F(MonitorTest, TheAirLogSaysWhatTheWorkerDidAndWhy) {
    const std::string logPath = path("air.log");
    airlog::setFile(logPath.c_str());
    pluginState.settings.SameArtistCheckLimit = 1;
    play({"Abba - SOS", "ABBA - Waterloo", "Queen - Innuendo", "Abba - SOS", "Tom Waits - Clap Hands"});
    LimitsAtNextPass limits = {{false}, 0, 10};
    player.context = &limits;
    player.afterMessage = setLimitsAtNextPass;
    HANDLE worker = startWorker();
    ASSERT_NE(worker, nullptr);
    ASSERT_TRUE(pumpUntil([&] { return pluginState.history->count == 1; }));
    player.position = 1; // the same artist: skipped, and the player goes on to the next entry
    ASSERT_TRUE(pumpUntil([&] { return pluginState.history->count == 2; }));
    limits.due = true; // the artist window closed, a title window of 10
    ASSERT_TRUE(pumpUntil([&] { return !limits.due; }));
    player.position = 3; // the first title again: skipped by the title rule
    ASSERT_TRUE(pumpUntil([&] { return pluginState.history->count == 3; }));
    for (int32_t state : {sim::kPaused, sim::kStopped, sim::kPlaying, 7}) { // any other answer plays
        player.state = state;
        ASSERT_TRUE(pumpPasses(3));
    }
    stopWorker(worker);
    EXPECT_TRUE(airlog::close(kDeadlineMs));

    const std::vector<std::string> expected = {
        "start\t\t\t\t\t\t\t1\t0\t1\t0.24b",
        "playing\t\t\t\t\t\t\t\t\t\t",
        "played\t1\tAbba - SOS\t\t\t\t\t\t\t\t",
        "skipped\t2\tABBA - Waterloo\tartist\tABB\tAbba - SOS\t1\t\t\t\t",
        "played\t3\tQueen - Innuendo\t\t\t\t\t\t\t\t",
        "limits\t\t\t\t\t\t\t0\t10\t1\t",
        "skipped\t4\tAbba - SOS\ttitle\t\tAbba - SOS\t2\t\t\t\t",
        "played\t5\tTom Waits - Clap Hands\t\t\t\t\t\t\t\t",
        "paused\t\t\t\t\t\t\t\t\t\t",
        "stopped\t\t\t\t\t\t\t\t\t\t",
        "playing\t\t\t\t\t\t\t\t\t\t",
    };
    EXPECT_EQ(support::airLogLines(logPath).front(), "#Songbeacon air log\tformat 1");
    EXPECT_EQ(support::airLogEvents(logPath), expected);
    EXPECT_EQ(player.nextTrackCommands, 2);
}

TEST_F(MonitorTest, ATitleRefusedAgainBeforeThePlayerMovesOnIsLoggedOnce) {
    const std::string logPath = path("air.log");
    pluginState.settings.SameArtistCheckLimit = 1000;
    play({"Abba - SOS"});
    runPasses(20);
    airlog::setFile(logPath.c_str());
    // One entry, going round to itself: every pass reads it again and has it skipped again.
    play({"Abba - Waterloo"});
    player.wrapAtEnd = true;
    runPasses(200);
    // Two entries of the same artist: each pass reads the other one, a new track every time.
    const int32_t commandsBefore = player.nextTrackCommands;
    play({"ABBA - Fernando", "abba - Mamma Mia"});
    runPasses(200);
    EXPECT_TRUE(airlog::close(kDeadlineMs));

    EXPECT_GE(commandsBefore, 200);
    std::vector<std::string> skips;
    for (const std::string& event : support::airLogEvents(logPath))
        if (event.compare(0, 8, "skipped\t") == 0)
            skips.push_back(event.substr(0, event.find("\tartist")));
    ASSERT_EQ(static_cast<int32_t>(skips.size()), 1 + player.nextTrackCommands - commandsBefore);
    EXPECT_EQ(skips[0], "skipped\t1\tAbba - Waterloo");
    EXPECT_EQ(skips[1], "skipped\t1\tABBA - Fernando");
    EXPECT_EQ(skips[2], "skipped\t2\tabba - Mamma Mia");
}

// Rewrites the player's title in place, back and forth between a short and a long text, as a
// host may rewrite its buffer under a reader.
struct TitleFlipper {
    char* buffer;
    std::atomic<bool> stop;
};

DWORD WINAPI flipTitle(LPVOID context) {
    auto* flipper = static_cast<TitleFlipper*>(context);
    static const char kShort[] = "Abba - SOS";
    static const char kLong[] = "Queen - Bohemian Rhapsody (Live at the Rainbow, 1974)";
    // Each text holds for a moment, about as long as a page takes to render.
    auto hold = [] {
        for (volatile int spin = 0; spin < 200; spin = spin + 1) {
        }
    };
    while (!flipper->stop) {
        std::memcpy(flipper->buffer, kLong, sizeof kLong);
        hold();
        std::memcpy(flipper->buffer, kShort, sizeof kShort);
        hold();
    }
    return 0;
}

TEST_F(MonitorTest, HostRewritingItsTitleNeverCutsThePageShort) {
    pluginState.settings.EnablePlaylistMonitoring = 0; // every change is recorded and published
    play({std::string(80, 'x')});
    // Read each page while the worker waits in its next is-playing query: no write is under way.
    struct Pages {
        const std::string* path;
        int32_t read, incomplete;
    } pages = {&pagePath, 0, 0};
    player.context = &pages;
    player.afterMessage = [](sim::Player* p, UINT message, WPARAM, LPARAM which) {
        if (message != sim::kUserMessage || which != sim::kQueryIsPlaying)
            return;
        auto* pages = static_cast<Pages*>(p->context);
        const std::string page = support::readFile(*pages->path);
        if (page == "<missing>")
            return;
        pages->read++;
        if (!support::isCompletePage(page))
            pages->incomplete++;
    };
    TitleFlipper flipper = {&player.titles[0][0], {false}};
    HANDLE flipping = CreateThread(nullptr, 0, flipTitle, &flipper, 0, nullptr);
    ASSERT_NE(flipping, nullptr);
    runPasses(2000);
    flipper.stop = true;
    WaitForSingleObject(flipping, kDeadlineMs);
    CloseHandle(flipping);
    player.afterMessage = nullptr;

    EXPECT_GT(pages.read, 100);
    EXPECT_EQ(pages.incomplete, 0) << "of " << pages.read << " pages read";
}

// A player on a thread of its own that answers nothing until released: a worker sending to it waits.
struct FrozenPlayer {
    sim::Player player;
    HANDLE ready, release;
    std::atomic<bool> done;
};

DWORD WINAPI runFrozenPlayer(LPVOID context) {
    auto* frozen = static_cast<FrozenPlayer*>(context);
    sim::initPlayer(&frozen->player);
    const bool created = sim::createPlayerWindow(&frozen->player);
    SetEvent(frozen->ready);
    if (!created)
        return 1;
    WaitForSingleObject(frozen->release, kDeadlineMs);
    sim::pumpUntil([](void* done) { return static_cast<std::atomic<bool>*>(done)->load(); }, &frozen->done,
                   kDeadlineMs);
    sim::destroyPlayerWindow(&frozen->player);
    return 0;
}

// A window on the test's thread that counts the messages other threads send it.
constexpr UINT kFloodMessage = WM_APP + 7;
std::atomic<int32_t> floodAnswered{0};

LRESULT CALLBACK countFlood(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kFloodMessage)
        return DefWindowProcA(window, message, wParam, lParam);
    floodAnswered++;
    return 0;
}

// Sends message after message to a window until told to stop, or until the deadline has passed.
struct Flood {
    HWND window;
    std::atomic<bool> stop;
    std::atomic<int32_t> sent;
    std::atomic<bool> ranOut;
};

DWORD WINAPI sendFlood(LPVOID context) {
    auto* flood = static_cast<Flood*>(context);
    const ULONGLONG deadline = GetTickCount64() + kDeadlineMs;
    while (!flood->stop) {
        SendMessageA(flood->window, kFloodMessage, 0, 0);
        flood->sent++;
        if (GetTickCount64() > deadline) {
            flood->ranOut = true;
            break;
        }
    }
    return 0;
}

TEST_F(MonitorTest, StopGivesUpAtItsDeadlineWhateverKeepsArriving) {
    FrozenPlayer frozen;
    frozen.ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    frozen.release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    frozen.done = false;
    HANDLE frozenThread = CreateThread(nullptr, 0, runFrozenPlayer, &frozen, 0, nullptr);
    ASSERT_NE(frozenThread, nullptr);
    WaitForSingleObject(frozen.ready, kDeadlineMs);
    ASSERT_NE(frozen.player.window, nullptr);
    pluginState.hostWindow = frozen.player.window;
    pluginState.stopRequested = 0;
    ASSERT_TRUE(monitor::start()); // its first question is never answered

    WNDCLASSA floodClass = {};
    floodClass.lpfnWndProc = countFlood;
    floodClass.hInstance = GetModuleHandleA(nullptr);
    floodClass.lpszClassName = "SongbeaconFloodTarget";
    RegisterClassA(&floodClass);
    Flood flood;
    flood.window = CreateWindowA("SongbeaconFloodTarget", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(flood.window, nullptr);
    flood.stop = false;
    flood.sent = 0;
    flood.ranOut = false;
    HANDLE senders[3]; // several, so that a message is nearly always waiting for this thread
    for (HANDLE& sender : senders)
        sender = CreateThread(nullptr, 0, sendFlood, &flood, 0, nullptr);
    ASSERT_TRUE(pumpUntil([&] { return flood.sent > 300; }));

    // With the deadline already past, not one more message is answered.
    int32_t answeredPastTheDeadline = 0;
    for (int round = 0; round < 20; round++) {
        pumpUntil([&] { return (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) != 0; });
        const int32_t before = floodAnswered;
        EXPECT_EQ(monitor::stop(0), monitor::kStillRunning);
        answeredPastTheDeadline += floodAnswered - before;
    }
    const monitor::StopResult result = monitor::stop(200);
    flood.stop = true;
    pumpUntil([&] { return WaitForMultipleObjects(3, senders, TRUE, 0) == WAIT_OBJECT_0; });
    for (HANDLE sender : senders)
        CloseHandle(sender);
    DestroyWindow(flood.window);

    EXPECT_EQ(answeredPastTheDeadline, 0);
    EXPECT_EQ(result, monitor::kStillRunning);
    EXPECT_FALSE(flood.ranOut) << "stop() went on waiting while messages kept arriving";
    EXPECT_NE(pluginState.workerThread, nullptr); // still the worker's: nothing was released

    // Once the player answers, the worker sees the request; a second stop() collects it.
    SetEvent(frozen.release);
    EXPECT_EQ(monitor::stop(kDeadlineMs), monitor::kEnded);
    frozen.done = true;
    WaitForSingleObject(frozenThread, kDeadlineMs);
    CloseHandle(frozenThread);
    CloseHandle(frozen.ready);
    CloseHandle(frozen.release);
}

} // namespace
