// The air log's writer and its file, on real files: a file begins with its first line, a torn tail
// is left on a line of its own, the file rolls at its size to the previous one, two writers on one
// file interleave whole lines, and a folder that is missing keeps the lines it can and counts the
// rest until it appears.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "airlog/air_line.h"
#include "airlog/air_path.h"
#include "airlog/air_writer.h"
#include "support/air_log_text.h"
#include "support/test_files.h"

namespace {

using support::afterTime;
using support::kDeadlineMs;
using support::readFile;

constexpr char kFirstLine[] = "#Songbeacon air log\tformat 1\r\n";

struct AirWriterTest : ::testing::Test {
    std::string folder, logPath;
    void SetUp() override {
        folder = support::makeTestFolder();
        logPath = folder + "\\air.log";
    }
    void TearDown() override { support::removeFolder(folder); }

    static bool post(airlog::Writer* writer, const std::string& rest, uint64_t at = 134100000000000000ull) {
        return airlog::postLine(writer, at, rest.data(), rest.size());
    }
};

TEST_F(AirWriterTest, ANewFileBeginsWithItsFirstLineAndATornTailStaysOnALineOfItsOwn) {
    airlog::Writer* writer = airlog::openWriter(logPath.c_str());
    ASSERT_NE(writer, nullptr);
    EXPECT_TRUE(post(writer, "playing\t\t"));
    ASSERT_TRUE(support::waitFor([&] { return support::airLogLines(logPath).size() == 2; }));
    // A power cut in the middle of a line.
    HANDLE file = CreateFileA(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    DWORD written;
    WriteFile(file, "2026-12-08T20:03:51.2", 21, &written, nullptr);
    CloseHandle(file);
    EXPECT_TRUE(post(writer, "stopped\t\t"));
    EXPECT_TRUE(airlog::closeWriter(writer, kDeadlineMs));

    const std::vector<std::string> got = support::airLogLines(logPath);
    ASSERT_EQ(got.size(), 4u) << readFile(logPath);
    EXPECT_EQ(got[0] + "\r\n", kFirstLine);
    EXPECT_EQ(afterTime(got[1]), "playing\t\t");
    EXPECT_EQ(got[2], "2026-12-08T20:03:51.2");
    EXPECT_EQ(afterTime(got[3]), "stopped\t\t");
}

TEST_F(AirWriterTest, AFileAtTheRollSizeMakesWayForANewOne) {
    // A year of lines, short of the roll by a few bytes: its first line, then room, then a line end.
    support::writeFile(logPath, kFirstLine);
    HANDLE file = CreateFileA(logPath.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = airlog::kAirLogRollBytes - 10;
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    DWORD written;
    WriteFile(file, "\r\n", 2, &written, nullptr);
    CloseHandle(file);
    const std::string previous = folder + "\\air-previous.log";
    support::writeFile(previous, "the year before\r\n");

    airlog::Writer* writer = airlog::openWriter(logPath.c_str());
    ASSERT_NE(writer, nullptr);
    EXPECT_TRUE(post(writer, "played\t1\tAbba - SOS"));
    ASSERT_TRUE(support::waitFor([&] { return readFile(logPath).size() > airlog::kAirLogRollBytes; }));
    EXPECT_TRUE(post(writer, "played\t2\tQueen - Innuendo"));
    EXPECT_TRUE(airlog::closeWriter(writer, kDeadlineMs));

    const std::string old = readFile(previous);
    EXPECT_EQ(old.size(), static_cast<size_t>(airlog::kAirLogRollBytes - 8) + airlog::lineLength(19));
    EXPECT_EQ(old.substr(0, sizeof kFirstLine - 1), kFirstLine);
    EXPECT_EQ(afterTime(old.substr(old.size() - airlog::lineLength(19), airlog::lineLength(19) - 2)),
              "played\t1\tAbba - SOS");
    const std::vector<std::string> got = support::airLogLines(logPath);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0] + "\r\n", kFirstLine);
    EXPECT_EQ(afterTime(got[1]), "played\t2\tQueen - Innuendo");
}

// A thread that posts `count` lines "<name> <n>" to a writer of its own, yielding between them.
struct Poster {
    std::string path, name;
    int count;
    int queued;
};

DWORD WINAPI postLines(LPVOID context) {
    auto* poster = static_cast<Poster*>(context);
    airlog::Writer* writer = airlog::openWriter(poster->path.c_str());
    if (writer == nullptr)
        return 1;
    for (int i = 0; i < poster->count; i++) {
        const std::string rest =
            "played\t" + std::to_string(i + 1) + "\t" + poster->name + " " + std::to_string(i);
        poster->queued += airlog::postLine(writer, 134100000000000000ull, rest.data(), rest.size()) ? 1 : 0;
        Sleep(0);
    }
    return airlog::closeWriter(writer, kDeadlineMs) ? 0 : 2;
}

TEST_F(AirWriterTest, TwoWritersOnOneFileInterleaveWholeLines) {
    Poster posters[2] = {{logPath, "first", 3000, 0}, {logPath, "second", 3000, 0}};
    HANDLE threads[2];
    for (int i = 0; i < 2; i++)
        threads[i] = CreateThread(nullptr, 0, postLines, &posters[i], 0, nullptr);
    ASSERT_EQ(WaitForMultipleObjects(2, threads, TRUE, kDeadlineMs), WAIT_OBJECT_0);
    for (HANDLE thread : threads) {
        DWORD status = 1;
        GetExitCodeThread(thread, &status);
        EXPECT_EQ(status, 0u);
        CloseHandle(thread);
    }

    // One first line; every other line whole, and each writer's own lines in the order posted; the
    // lines a full queue refused are counted in `lost` lines.
    const std::vector<std::string> got = support::airLogLines(logPath);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got[0] + "\r\n", kFirstLine);
    int next[2] = {0, 0}, seen[2] = {0, 0};
    long lost = 0;
    for (size_t i = 1; i < got.size(); i++) {
        const std::string rest = afterTime(got[i]);
        if (rest.compare(0, 5, "lost\t") == 0) {
            lost += std::atol(rest.substr(rest.rfind('\t') + 1).c_str());
            continue;
        }
        const int who = rest.find("\tfirst ") != std::string::npos ? 0 : 1;
        const std::string name = who == 0 ? "first" : "second";
        const size_t number = rest.rfind(' ');
        const int n = std::atoi(rest.substr(number + 1).c_str());
        EXPECT_EQ(rest, "played\t" + std::to_string(n + 1) + "\t" + name + " " + std::to_string(n)) << got[i];
        EXPECT_GE(n, next[who]) << "out of order: " << got[i];
        next[who] = n + 1;
        seen[who]++;
    }
    EXPECT_EQ(seen[0], posters[0].queued);
    EXPECT_EQ(seen[1], posters[1].queued);
    EXPECT_EQ(seen[0] + seen[1] + lost, 6000);
    std::printf("%d and %d lines written, %ld counted lost\n", seen[0], seen[1], lost);
}

TEST_F(AirWriterTest, AMissingFolderKeepsWhatTheQueueHoldsAndCountsTheRest) {
    const std::string missing = folder + "\\later";
    const std::string path = missing + "\\air.log";
    airlog::Writer* writer = airlog::openWriter(path.c_str());
    ASSERT_NE(writer, nullptr);
    const std::string line(200, 'x');
    int kept = 0, refused = 0;
    for (int i = 0; i < 1000; i++)
        (post(writer, "played\t" + std::to_string(i + 1) + "\t" + line) ? kept : refused)++;
    ASSERT_GT(refused, 0) << "the queue never filled";
    Sleep(1500); // at least one more attempt fails meanwhile; nothing is dropped for it

    ASSERT_TRUE(CreateDirectoryA(missing.c_str(), nullptr));
    // The writer tries again about once a second; the lost line goes in once a write has made room.
    const bool written = support::waitFor(
        [&] { // within a slow hold of a minute, on a busy machine
            const std::vector<std::string> got = support::airLogLines(path);
            return !got.empty() && afterTime(got.back()).compare(0, 5, "lost\t") == 0;
        },
        2 * kDeadlineMs);
    EXPECT_TRUE(post(writer, "stopped\t\t"));
    EXPECT_TRUE(airlog::closeWriter(writer, kDeadlineMs));
    const std::vector<std::string> got = support::airLogLines(path);
    DeleteFileA(path.c_str());
    RemoveDirectoryA(missing.c_str());

    ASSERT_TRUE(written);
    ASSERT_EQ(got.size(), static_cast<size_t>(kept) + 3);
    for (int i = 0; i < kept; i++)
        EXPECT_EQ(afterTime(got[static_cast<size_t>(i) + 1]),
                  "played\t" + std::to_string(i + 1) + "\t" + line);
    EXPECT_EQ(afterTime(got[static_cast<size_t>(kept) + 1]),
              "lost\t\t\t\t\t\t\t\t\t\t" + std::to_string(refused));
    EXPECT_EQ(afterTime(got.back()), "stopped\t\t");
}

} // namespace
