// The air log's writer and its file, on real files: the first line, a torn tail left on a line of
// its own, the roll at its size, two writers on one file, and a folder missing for a while.
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
using support::airLogLines;
using support::kDeadlineMs;

constexpr char kFirstLine[] = "#Songbeacon air log\tformat 1";

struct AirWriterTest : ::testing::Test {
    std::string folder, logPath;
    void SetUp() override {
        folder = support::makeTestFolder();
        logPath = folder + "\\air.log";
    }
    void TearDown() override { support::removeFolder(folder); }
    static bool post(airlog::Writer* writer, const std::string& rest) {
        return airlog::postLine(writer, 134100000000000000ull, rest.data(), rest.size());
    }
    // Appends `bytes` to the file as another program would.
    void append(const std::string& bytes) {
        HANDLE file = CreateFileA(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, 0, nullptr);
        DWORD written;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
};

TEST_F(AirWriterTest, ANewFileBeginsWithItsFirstLineAndATornTailStaysOnALineOfItsOwn) {
    airlog::Writer* writer = airlog::openWriter(logPath.c_str());
    ASSERT_NE(writer, nullptr);
    EXPECT_TRUE(post(writer, "playing"));
    ASSERT_TRUE(support::waitFor([&] { return airLogLines(logPath).size() == 2; }));
    append("2026-12-08T20:03:51.2"); // a power cut in the middle of a line
    EXPECT_TRUE(post(writer, "stopped"));
    EXPECT_TRUE(airlog::closeWriter(writer, kDeadlineMs));
    const std::vector<std::string> lines = airLogLines(logPath);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], kFirstLine);
    EXPECT_EQ(afterTime(lines[1]), "playing");
    EXPECT_EQ(lines[2], "2026-12-08T20:03:51.2");
    EXPECT_EQ(afterTime(lines[3]), "stopped");
}

TEST_F(AirWriterTest, AFileAtTheRollSizeMakesWayForANewOne) {
    // A year of lines, a few bytes short of the roll: its first line, room, a line end.
    append(std::string(kFirstLine) + "\r\n");
    HANDLE file = CreateFileA(logPath.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = airlog::kAirLogRollBytes - 2;
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
    append("\r\n");
    const std::string previous = folder + "\\air-previous.log";
    support::writeFile(previous, "the year before\r\n");

    airlog::Writer* writer = airlog::openWriter(logPath.c_str());
    ASSERT_NE(writer, nullptr);
    EXPECT_TRUE(post(writer, "played\t1\tAbba - SOS"));
    ASSERT_TRUE(
        support::waitFor([&] { return support::readFile(logPath).size() > airlog::kAirLogRollBytes; }));
    EXPECT_TRUE(post(writer, "played\t2\tQueen - Innuendo"));
    EXPECT_TRUE(airlog::closeWriter(writer, kDeadlineMs));
    const std::string old = support::readFile(previous);
    EXPECT_EQ(old.size(), airlog::kAirLogRollBytes + airlog::lineLength(19));
    EXPECT_EQ(afterTime(old.substr(old.size() - airlog::lineLength(19), airlog::lineLength(19) - 2)),
              "played\t1\tAbba - SOS");
    EXPECT_EQ(airLogLines(logPath), (std::vector<std::string>{kFirstLine, airLogLines(logPath).back()}));
    EXPECT_EQ(afterTime(airLogLines(logPath).back()), "played\t2\tQueen - Innuendo");
}

// Posts `count` lines "<name> <n>" to a writer of its own, yielding between them.
struct Poster {
    std::string path, name;
    int queued;
};

DWORD WINAPI postLines(LPVOID context) {
    auto* poster = static_cast<Poster*>(context);
    airlog::Writer* writer = airlog::openWriter(poster->path.c_str());
    for (int i = 0; writer != nullptr && i < 3000; i++) {
        poster->queued += AirWriterTest::post(writer, poster->name + " " + std::to_string(i)) ? 1 : 0;
        Sleep(0);
    }
    return writer != nullptr && airlog::closeWriter(writer, kDeadlineMs) ? 0 : 1;
}

TEST_F(AirWriterTest, TwoWritersOnOneFileInterleaveWholeLines) {
    Poster posters[2] = {{logPath, "first", 0}, {logPath, "second", 0}};
    HANDLE threads[2];
    for (int i = 0; i < 2; i++)
        threads[i] = CreateThread(nullptr, 0, postLines, &posters[i], 0, nullptr);
    ASSERT_EQ(WaitForMultipleObjects(2, threads, TRUE, kDeadlineMs), WAIT_OBJECT_0);
    for (HANDLE thread : threads)
        CloseHandle(thread);
    // One first line; every other line whole, each writer's in the order posted, or counted lost.
    const std::vector<std::string> lines = airLogLines(logPath);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], kFirstLine);
    int next[2] = {0, 0};
    long seen = 0, lost = 0;
    for (size_t i = 1; i < lines.size(); i++) {
        const std::string rest = afterTime(lines[i]);
        if (rest.compare(0, 5, "lost\t") == 0) {
            lost += std::atol(rest.substr(rest.rfind('\t') + 1).c_str());
            continue;
        }
        const int who = rest.compare(0, 6, "first ") == 0 ? 0 : 1;
        const int n = std::atoi(rest.substr(rest.find(' ') + 1).c_str());
        EXPECT_EQ(rest, posters[who].name + " " + std::to_string(n)) << lines[i];
        EXPECT_GE(n, next[who]) << "out of order: " << lines[i];
        next[who] = n + 1;
        seen++;
    }
    EXPECT_EQ(seen, posters[0].queued + posters[1].queued);
    EXPECT_EQ(seen + lost, 6000);
}

TEST_F(AirWriterTest, AMissingFolderKeepsWhatTheQueueHoldsAndCountsTheRest) {
    const std::string missing = folder + "\\later", path = missing + "\\air.log";
    airlog::Writer* writer = airlog::openWriter(path.c_str());
    ASSERT_NE(writer, nullptr);
    const std::string line(200, 'x');
    int kept = 0, refused = 0;
    for (int i = 0; i < 1000; i++)
        (post(writer, std::to_string(i) + line) ? kept : refused)++;
    ASSERT_GT(refused, 0) << "the queue never filled";
    Sleep(1500); // another attempt fails meanwhile, and drops nothing
    ASSERT_TRUE(CreateDirectoryA(missing.c_str(), nullptr));
    // Tried again after a second, or after a minute when the machine made the failure slow.
    EXPECT_TRUE(support::waitFor([&] { return airLogLines(path).size() == static_cast<size_t>(kept) + 2; },
                                 2 * kDeadlineMs));
    EXPECT_TRUE(post(writer, "stopped"));
    EXPECT_TRUE(airlog::closeWriter(writer, kDeadlineMs));
    const std::vector<std::string> lines = airLogLines(path);
    DeleteFileA(path.c_str());
    RemoveDirectoryA(missing.c_str());
    ASSERT_EQ(lines.size(), static_cast<size_t>(kept) + 3);
    for (int i = 0; i < kept; i++)
        EXPECT_EQ(afterTime(lines[static_cast<size_t>(i) + 1]), std::to_string(i) + line);
    EXPECT_EQ(afterTime(lines[static_cast<size_t>(kept) + 1]),
              "lost\t\t\t\t\t\t\t\t\t\t" + std::to_string(refused));
    EXPECT_EQ(afterTime(lines.back()), "stopped");
}

} // namespace
