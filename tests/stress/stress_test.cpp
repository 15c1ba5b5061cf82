// The whole plug-in under load, as a busy station's operator might meet it: the player changes the
// playing title as fast as the worker takes it, for more than a hundred thousand changes, while the
// host's thread keeps opening the configuration dialog and a second thread keeps storing new
// limits and new output file names through it. The worker copies the file name while the dialog
// rewrites it, and the page is rewritten while limits change under the filter; a torn name shows up
// as a stray file, a torn page as an incomplete one.
#include "support/plugin_host.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "ui/dialog_ids.h"

namespace {

using namespace dllhost;

constexpr int64_t kTitleChangesWanted = 100000;
constexpr int32_t kPlaylistLength = 1500;
constexpr int64_t kLookEvery = 5000;  // title changes between looks at the pages on disk
constexpr int32_t kMostRows = 999;    // a history of at most 1000 lists at most 999 before the newest
constexpr uint32_t kSeed = 20240611u; // fixed, so that a failing run can be repeated
constexpr int32_t kMostNotedProblems = 5;
// Between two Applies. Each Apply (and each opening) takes the host's thread from the worker, as
// it would in the player; at this pace the run makes hundreds of openings and thousands of Applies
// and still reaches its title changes in a minute or two.
constexpr uint32_t kLeastPauseMs = 20, kMostPauseMs = 80;

// ~1500 distinct "Artist - Title" lines as a station's playlist holds them: many artists (so that
// the artist window admits some and refuses others), bands called The Something, featured guests,
// live versions, Latin-1 letters, HTML specials, and a few very long titles.
std::vector<std::string> makePlaylist() {
    const char* onsets[] = {"B", "Br", "C", "Ch", "D", "Dr", "F", "Fl", "G",  "Gr", "H", "J",
                            "K", "L",  "M", "N",  "P", "Pr", "R", "S",  "St", "T",  "V", "W"};
    const char* vowels[] = {"a", "e", "i", "o", "u", "ay", "\xE9"};
    const char* codas[] = {"l", "n", "r", "x", "m", "ck", "nd", "rt", "s"};
    const char* endings[] = {"ton", "ley", "ino", "ara", "ix", "us", "ette", "son", "a", ""};
    const char* bands[] = {"Strokes", "Beatles", "Kinks", "Doors", "Cure",    "Smiths", "Clash",
                           "Pixies",  "Hollies", "Byrds", "Shins", "Killers", "Verve",  "Band"};
    const char* words[] = {"Midnight", "Train", "Heart",   "Summer",  "Rain",   "Fire", "Love",  "City",
                           "Lights",   "Dream", "River",   "Gold",    "Broken", "Wild", "Blue",  "Road",
                           "Sky",      "Dance", "Tonight", "Caf\xE9", "Ghost",  "Echo", "Stone", "Paper"};
    const char* extras[] = {
        "", "", "", "", " (Live)", " (Radio Edit)", " feat. Mira", " & Friends", " <Remix>", " \"Demo\""};
    std::mt19937 random(kSeed);
    auto pick = [&](auto& list) { return std::string(list[random() % (sizeof list / sizeof list[0])]); };
    std::set<std::string> seen;
    std::vector<std::string> titles;
    while (titles.size() < static_cast<size_t>(kPlaylistLength)) {
        std::string artist = random() % 6 == 0 ? "The " + pick(bands)
                                               : pick(onsets) + pick(vowels) + pick(codas) + pick(endings);
        std::string title = artist + " - " + pick(words) + " " + pick(words) + pick(extras);
        if (random() % 100 == 0)
            title += " (" + std::string(150, '~') + ")";
        if (seen.insert(title).second)
            titles.push_back(title);
    }
    return titles;
}

// Output file names of very different lengths, all in one folder; the last fills the 259
// characters a name may have.
std::vector<std::string> makeNames(const std::string& folder) {
    const std::string base = folder + "\\";
    std::vector<std::string> names = {base + "status.htm", base + "p.htm", base + "now playing.html",
                                      base + "station-page-" + std::string(40, 'q') + ".htm",
                                      base + "archive " + std::string(100, 'w') + ".htm"};
    names.push_back(base + std::string(259 - base.size() - 4, 'z') + ".htm");
    return names;
}

// What the host's thread, the player's hook and the dialog's driver share.
struct StressRun {
    std::string folder;
    std::vector<std::string> names;
    std::atomic<int32_t> everSet[8];

    // The host's thread only (the player's hook runs there).
    int64_t titleChanges = 0; // titles handed to the worker, each different from the one before
    int64_t skips = 0;        // next-track commands obeyed
    int32_t looks = 0, pagesSeen = 0, fullListsSeen = 0, mostRowsSeen = 0;
    int32_t problems = 0;
    std::vector<std::string> notedProblems;

    // Set by the host's thread, read by the driver.
    std::atomic<int32_t> finalRound{0}, stop{0};
    // The driver's counts.
    std::atomic<int32_t> applies{0}, oks{0}, cancels{0};

    void problem(const std::string& what) {
        if (problems++ < kMostNotedProblems)
            notedProblems.push_back(what);
    }
    int32_t nameIndex(const std::string& fileName) const {
        for (size_t i = 0; i < names.size(); i++)
            if (names[i] == folder + "\\" + fileName)
                return static_cast<int32_t>(i);
        return -1;
    }
};

// Looks at every page in the folder. Called only while the worker cannot be writing one: from the
// player's hook (the worker is blocked in its message) or after shutDown.
void lookAtPages(StressRun& run) {
    run.looks++;
    for (const std::string& name : listFiles(run.folder)) {
        if (name == "plugin.ini" || name == "gen_SBeacon.dll")
            continue;
        const int32_t index = run.nameIndex(name);
        if (index < 0 || run.everSet[index] == 0) {
            run.problem("a page under a name never set: \"" + name + "\"");
            continue;
        }
        const std::string page = readFile(run.folder + "\\" + name);
        run.pagesSeen++;
        if (!isCompletePage(page))
            run.problem("an incomplete page (" + std::to_string(page.size()) + " bytes) in \"" + name + "\"");
        const int32_t rows = announcedRows(page);
        run.mostRowsSeen = std::max(run.mostRowsSeen, rows);
        if (rows == kMostRows)
            run.fullListsSeen++;
        if (rows > kMostRows)
            run.problem("a page listing " + std::to_string(rows) + " recent tracks in \"" + name + "\"");
    }
}

// The player's hook: after each title it hands over, the next entry plays.
void moveOnAfterTitleQuery(sim::Player* player, UINT message, WPARAM, LPARAM which) {
    auto* run = static_cast<StressRun*>(player->context);
    if (message == WM_COMMAND) {
        run->skips++;
        return;
    }
    if (message != sim::kUserMessage || which != sim::kQueryPlaylistTitle)
        return;
    player->position = (player->position + 1) % kPlaylistLength;
    if (++run->titleChanges % kLookEvery == 0)
        lookAtPages(*run);
}

// A number field as an operator might fill it: mostly a limit in range, sometimes too large or
// not a number at all.
std::string limitText(std::mt19937& random) {
    switch (random() % 25) {
    case 0:
    case 1:
        return "5000";
    case 2:
        return "1000";
    case 3:
        return "abc";
    default:
        return std::to_string(random() % 1001);
    }
}

void fail(const char* what) {
    std::fprintf(stderr, "stress: %s; giving up on the whole run\n", what);
    std::fflush(stderr);
    ExitProcess(3);
}

// The operator: in each dialog the host opens, stores new limits and names with Apply a few
// times, then presses OK (mostly) or Cancel. In the final dialog it stores limits that admit
// every title, a list of 1000 and the longest name, and presses OK.
DWORD WINAPI operateDialog(void* param) {
    auto& run = *static_cast<StressRun*>(param);
    std::mt19937 random(kSeed + 1);
    HWND previous = nullptr;
    for (;;) {
        DialogDriver driver;
        driver.dialog = waitForDialog(previous, [&] { return run.stop != 0; });
        if (driver.dialog == nullptr) {
            if (run.stop != 0)
                return 0;
            fail("no configuration dialog showed");
        }
        previous = driver.dialog;
        bool answered = true;
        if (run.finalRound != 0) {
            run.everSet[run.names.size() - 1] = 1;
            answered = driver.type(IDC_HISTORY_LENGTH, "1000") && driver.type(IDC_ARTIST_LIMIT, "0") &&
                       driver.type(IDC_TITLE_LIMIT, "0") &&
                       driver.type(IDC_OUTPUT_FILENAME, run.names.back()) && driver.press(IDOK);
            run.oks++;
        } else {
            const uint32_t rounds = 1 + random() % 12;
            for (uint32_t round = 0; answered && round < rounds; round++) {
                for (int id : {IDC_HISTORY_LENGTH, IDC_ARTIST_LIMIT, IDC_TITLE_LIMIT})
                    answered = answered && driver.type(id, limitText(random));
                if (random() % 2 == 0) {
                    const size_t name = random() % run.names.size();
                    run.everSet[name] = 1; // before the field holds it: a page may follow at once
                    answered = answered && driver.type(IDC_OUTPUT_FILENAME, run.names[name]);
                }
                answered = answered && driver.press(IDC_APPLY);
                run.applies++;
                Sleep(kLeastPauseMs + random() % (kMostPauseMs - kLeastPauseMs)); // an operator's pace
            }
            if (random() % 8 != 0) {
                answered = answered && driver.press(IDOK);
                run.oks++;
            } else {
                answered =
                    answered && driver.type(IDC_HISTORY_LENGTH, limitText(random)) && driver.press(IDCANCEL);
                run.cancels++;
            }
        }
        if (!answered || !driver.waitClosed()) {
            driver.closeEverything();
            fail("the configuration dialog stopped answering");
        }
    }
}

struct StressTest : PluginHostTest {};

TEST_F(StressTest, TitlesChangingFastWhileTheDialogStoresLimitsAndNames) {
    StressRun run;
    run.folder = folder;
    run.names = makeNames(folder);
    ASSERT_LE(run.names.size(), sizeof run.everSet / sizeof run.everSet[0]);
    ASSERT_EQ(run.names.back().size(), 259u);
    for (auto& set : run.everSet)
        set = 0;
    run.everSet[0] = 1; // the name plugin.ini starts with
    writeIni(run.names[0], "EnablePlaylistMonitoring=1\r\nRecentTitleListLength=1000\r\n"
                           "SameArtistCheckLimit=20\r\nSameTitleCheckLimit=200\r\n");
    load();
    ASSERT_EQ(startUp(), 0);

    player.titles = makePlaylist();
    player.wrapAtEnd = true;
    player.context = &run;
    player.afterMessage = moveOnAfterTitleQuery;
    player.state = sim::kPlaying;

    HANDLE operatorThread = CreateThread(nullptr, 0, operateDialog, &run, 0, nullptr);
    ASSERT_NE(operatorThread, nullptr);
    const ULONGLONG started = GetTickCount64();
    ULONGLONG lastProgress = started;
    int64_t changesBefore = 0;
    int32_t configures = 0;
    bool stalled = false;
    while (run.titleChanges < kTitleChangesWanted) {
        plugin->configure();
        configures++;
        const ULONGLONG now = GetTickCount64();
        if (run.titleChanges > changesBefore) {
            changesBefore = run.titleChanges;
            lastProgress = now;
        } else if (now - lastProgress > kDeadlineMs) {
            stalled = true;
            break;
        }
    }
    run.finalRound = 1;
    plugin->configure();
    configures++;
    run.stop = 1;
    const bool operatorEnded =
        pumpUntil([&] { return WaitForSingleObject(operatorThread, 0) == WAIT_OBJECT_0; });
    CloseHandle(operatorThread);
    const ULONGLONG runMs = GetTickCount64() - started;
    ASSERT_FALSE(stalled) << "no title change for " << kDeadlineMs / 1000 << " s after " << run.titleChanges;
    ASSERT_TRUE(operatorEnded);

    // The final OK admits every title into a list of 1000: the next page, under the longest name,
    // lists 999 tracks before the current one, and never more.
    const std::string finalPage = run.names.back();
    ASSERT_TRUE(pumpUntil([&] {
        const std::string page = readFile(finalPage);
        return isCompletePage(page) && page.find("Currently playing track:") != std::string::npos &&
               announcedRows(page) == kMostRows;
    })) << "the page under the last name set never listed 999 tracks";

    const ULONGLONG shutDownStarted = GetTickCount64();
    shutDown();
    const ULONGLONG shutDownMs = GetTickCount64() - shutDownStarted;

    // At rest: the off-line page is under the last name set, which proves the worker ended within
    // shutDown's wait; every other page is whole and under a name that was set.
    lookAtPages(run);
    int32_t offLinePages = 0;
    for (const std::string& name : listFiles(folder))
        if (run.nameIndex(name) >= 0 &&
            readFile(path(name)).find("The server is currently off-line.") != std::string::npos)
            offLinePages++;
    const std::string lastPage = readFile(finalPage);
    EXPECT_NE(lastPage.find("The server is currently off-line."), std::string::npos);
    EXPECT_EQ(announcedRows(lastPage), kMostRows);
    EXPECT_EQ(offLinePages, 1);

    EXPECT_EQ(run.problems, 0);
    for (const std::string& what : run.notedProblems)
        ADD_FAILURE() << what;
    EXPECT_GE(run.titleChanges, kTitleChangesWanted);
    EXPECT_LE(run.mostRowsSeen, kMostRows);
    EXPECT_GT(run.fullListsSeen, 0) << "no page ever listed 999 tracks: the bound was never tested";
    EXPECT_GT(run.looks, 10);

    std::printf("stress: %lld title changes handed to the worker, %lld of them skipped on its command, in "
                "%.1f s;\n        %d dialog openings (%d OK, %d Cancel), %d Applies; %d looks at %d pages "
                "on disk (%d listing 999 tracks); shutDown took %llu ms\n",
                static_cast<long long>(run.titleChanges), static_cast<long long>(run.skips), runMs / 1000.0,
                configures, run.oks.load(), run.cancels.load(), run.applies.load(), run.looks, run.pagesSeen,
                run.fullListsSeen, static_cast<unsigned long long>(shutDownMs));
    RecordProperty("titleChanges", std::to_string(run.titleChanges));
    RecordProperty("dialogOpenings", configures);
    RecordProperty("applies", run.applies.load());
    RecordProperty("runMs", std::to_string(runMs));
}

} // namespace
