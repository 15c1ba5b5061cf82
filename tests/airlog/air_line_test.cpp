// The air log's platform-free parts: a line's fields and time as a station's file holds them, a
// title's UTF-8, the path a setting names, the previous file's name and the roll, and the queue
// that keeps lines while the file cannot be written.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "airlog/air_line.h"
#include "airlog/air_path.h"
#include "airlog/line_queue.h"

namespace {

std::string rest(const airlog::Fields& fields) {
    char out[airlog::kRestCapacity];
    const size_t length = airlog::formatRest(fields, out, sizeof out);
    EXPECT_EQ(length, std::strlen(out));
    return out;
}

std::string utf8(const std::u16string& text, size_t capacity = 64) {
    std::vector<char> out(capacity + 1, 'x');
    const size_t length =
        airlog::encodeUtf8(reinterpret_cast<const uint16_t*>(text.data()), text.size(), out.data(), capacity);
    EXPECT_EQ(length, std::strlen(out.data()));
    return out.data();
}

TEST(AirLine, EveryEventHasTwelveFieldsAndControlCharactersBecomeSpaces) {
    airlog::Fields skipped = {};
    skipped.event = "skipped";
    skipped.position = 3;
    skipped.title = "ABBA\t- Water\r\nloo";
    skipped.rule = "artist";
    skipped.key = "ABB";
    skipped.matched = "Abba - Dancing Queen";
    skipped.hasBack = true;
    skipped.back = 2;
    EXPECT_EQ(rest(skipped), "skipped\t3\tABBA - Water  loo\tartist\tABB\tAbba - Dancing Queen\t2\t\t\t\t");

    airlog::Fields start = {};
    start.event = "start";
    start.hasLimits = true;
    start.artistLimit = 3;
    start.titleLimit = 10;
    start.monitoring = 1;
    start.detail = "0.24b";
    EXPECT_EQ(rest(start), "start\t\t\t\t\t\t\t3\t10\t1\t0.24b");
    start.artistLimit = -2147483647 - 1; // a hand-edited file may hold anything
    EXPECT_EQ(rest(start), "start\t\t\t\t\t\t\t-2147483648\t10\t1\t0.24b");

    airlog::Fields paused = {};
    paused.event = "paused";
    EXPECT_EQ(rest(paused), "paused\t\t\t\t\t\t\t\t\t\t");

    char small[12];
    EXPECT_EQ(airlog::formatRest(skipped, small, sizeof small), 11u); // cut, and terminated
    EXPECT_STREQ(small, "skipped\t3\tA");
}

TEST(AirLine, TheTimeCarriesItsOffsetAndTheLineItsEnd) {
    char time[airlog::kTimeFieldLength + 1];
    EXPECT_EQ(airlog::formatTime({2026, 12, 8, 22, 18, 47, 123}, 60, time, sizeof time), 29u);
    EXPECT_STREQ(time, "2026-12-08T22:18:47.123+01:00");
    airlog::formatTime({2026, 3, 1, 0, 0, 0, 5}, -(3 * 60 + 30), time, sizeof time); // Newfoundland
    EXPECT_STREQ(time, "2026-03-01T00:00:00.005-03:30");
    airlog::formatTime({2026, 6, 21, 12, 0, 0, 0}, 0, time, sizeof time);
    EXPECT_STREQ(time, "2026-06-21T12:00:00.000+00:00");
    EXPECT_EQ(airlog::formatTime({2026, 6, 21, 12, 0, 0, 0}, 0, time, sizeof time - 1), 0u);

    char line[64];
    const size_t length =
        airlog::formatLine("2026-12-08T22:18:47.123+01:00", "playing\t\t", 9, line, sizeof line);
    EXPECT_EQ(length, airlog::lineLength(9));
    EXPECT_EQ(std::string(line, length), "2026-12-08T22:18:47.123+01:00\tplaying\t\t\r\n");
    EXPECT_EQ(airlog::formatLine(time, "playing", 7, line, airlog::lineLength(7) - 1), 0u);
}

TEST(AirLine, TitlesBecomeUtf8AndAreCutOnlyBetweenCharacters) {
    // What the Windows side hands over for a code page's title: Western, Cyrillic, Japanese.
    EXPECT_EQ(utf8(u"Bj\u00f6rk - J\u00f3ga"), "Bj\xc3\xb6rk - J\xc3\xb3ga");
    EXPECT_EQ(utf8(u"\u041a\u0438\u043d\u043e"), "\xd0\x9a\xd0\xb8\xd0\xbd\xd0\xbe");
    EXPECT_EQ(utf8(u"\u30a2"), "\xe3\x82\xa2");
    EXPECT_EQ(utf8(u"\U0001F3B5"), "\xf0\x9f\x8e\xb5"); // a pair
    EXPECT_EQ(utf8(u"a\xd800z"), "a\xef\xbf\xbdz");     // half a pair
    EXPECT_EQ(utf8(u"\xdc00"), "\xef\xbf\xbd");
    EXPECT_EQ(utf8(u"\u00f6\u00f6", 4), "\xc3\xb6"); // the second would not fit whole
    EXPECT_EQ(utf8(u"ab\U0001F3B5", 5), "ab");
    char none[1] = {'x'};
    EXPECT_EQ(airlog::encodeUtf8(reinterpret_cast<const uint16_t*>(u"a"), 1, none, 1), 0u);
    EXPECT_EQ(none[0], '\0');
}

TEST(AirPath, RelativeNamesAreTakenFromThePluginsFolder) {
    const char ini[] = "C:\\Program Files\\Winamp\\Plugins\\plugin.ini";
    char path[airlog::kAirLogPathCapacity];
    EXPECT_TRUE(airlog::resolveLogPath(ini, "songbeacon-air.log", path, sizeof path));
    EXPECT_STREQ(path, "C:\\Program Files\\Winamp\\Plugins\\songbeacon-air.log");
    EXPECT_TRUE(airlog::resolveLogPath(ini, "logs\\air.log", path, sizeof path));
    EXPECT_STREQ(path, "C:\\Program Files\\Winamp\\Plugins\\logs\\air.log");
    for (const char* full :
         {"C:\\Station\\air.log", "d:air.log", "\\\\server\\share\\air.log", "/var/air.log"}) {
        EXPECT_TRUE(airlog::resolveLogPath(ini, full, path, sizeof path));
        EXPECT_STREQ(path, full);
    }
    EXPECT_TRUE(airlog::resolveLogPath("plugin.ini", "air.log", path, sizeof path)); // no folder known
    EXPECT_STREQ(path, "air.log");

    EXPECT_FALSE(airlog::resolveLogPath(ini, "", path, sizeof path));
    EXPECT_STREQ(path, "");
    // A path that would not fit is no path: the log is off rather than written somewhere else.
    const std::string name(259 - std::strlen("C:\\Program Files\\Winamp\\Plugins\\"), 'n');
    EXPECT_TRUE(airlog::resolveLogPath(ini, name.c_str(), path, sizeof path));
    EXPECT_FALSE(airlog::resolveLogPath(ini, (name + "x").c_str(), path, sizeof path));
    EXPECT_STREQ(path, "");
}

TEST(AirPath, ThePreviousFileAndTheRoll) {
    char previous[airlog::kAirLogPathCapacity];
    const struct {
        const char* path;
        const char* previous;
    } cases[] = {
        {"C:\\Station\\songbeacon-air.log", "C:\\Station\\songbeacon-air-previous.log"},
        {"C:\\Station\\air", "C:\\Station\\air-previous"},
        {"C:\\St.ation\\air", "C:\\St.ation\\air-previous"},
        {"C:\\Station\\air.2026.log", "C:\\Station\\air.2026-previous.log"},
        {"C:\\Station\\.log", "C:\\Station\\.log-previous"},
        {"air.log", "air-previous.log"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(airlog::previousLogPath(c.path, previous, sizeof previous));
        EXPECT_STREQ(previous, c.previous);
    }
    EXPECT_FALSE(airlog::previousLogPath("air.log", previous, 16));
    EXPECT_STREQ(previous, "");

    EXPECT_FALSE(airlog::rollDue(0));
    EXPECT_FALSE(airlog::rollDue(16 * 1024 * 1024 - 1));
    EXPECT_TRUE(airlog::rollDue(16 * 1024 * 1024));
    EXPECT_TRUE(airlog::rollDue(5'000'000'000LL));
}

// Pushes a line whose rest is `text`; records `text` as one the queue should give back.
struct QueueTest : ::testing::Test {
    airlog::LineQueue queue;
    void SetUp() override { airlog::clearQueue(&queue); }
    bool push(uint64_t at, const std::string& text) {
        return airlog::pushLine(&queue, at, text.data(), static_cast<uint32_t>(text.size()));
    }
    // The records at the front, as "<time>:<rest>", as many as fit in `capacity`; `bytes` their size.
    std::vector<std::string> peek(uint32_t capacity = airlog::kLineQueueBytes, uint32_t* bytes = nullptr) {
        std::vector<char> copy(capacity);
        const uint32_t copied = airlog::peekRecords(&queue, copy.data(), capacity);
        if (bytes != nullptr)
            *bytes = copied;
        std::vector<std::string> records;
        uint32_t offset = 0, length;
        uint64_t at;
        const char* text;
        while (airlog::readRecord(copy.data(), copied, &offset, &at, &text, &length))
            records.push_back(std::to_string(at) + ":" + std::string(text, length));
        return records;
    }
};

TEST_F(QueueTest, LinesGoRoundTheRingWholeAndInOrder) {
    const std::string line(1000, 'a');
    // Round the ring several times, taking two records a time once it has filled.
    uint64_t pushed = 0, taken = 0;
    for (int round = 0; round < 300; round++) {
        while (push(pushed, line + std::to_string(pushed)))
            pushed++;
        queue.lost = 0; // the full queue counted one; not the point here
        uint32_t bytes;
        const std::vector<std::string> front = peek(2 * (airlog::kRecordHeaderBytes + 1003), &bytes);
        ASSERT_EQ(front.size(), 2u);
        for (const std::string& record : front) {
            EXPECT_EQ(record, std::to_string(taken) + ":" + line + std::to_string(taken));
            taken++;
        }
        airlog::dropRecords(&queue, bytes);
    }
    EXPECT_GT(pushed, 300u);
}

TEST_F(QueueTest, AFullQueueCountsWhatItRefusesUntilTheLostLineGoesIn) {
    const std::string line(100, 'b');
    int held = 0;
    while (push(1, line))
        held++;
    EXPECT_EQ(queue.lost, 1u);
    EXPECT_FALSE(push(2, line));
    uint32_t bytes;
    peek(airlog::kRecordHeaderBytes + 100, &bytes); // one is written: there is room again...
    airlog::dropRecords(&queue, bytes);
    EXPECT_FALSE(push(3, "x")) << "a line went in before the lost line"; // ...but not before the count
    EXPECT_EQ(queue.lost, 3u);
    EXPECT_TRUE(airlog::pushNote(&queue, 4, "lost", 4));
    queue.lost = 0;
    EXPECT_TRUE(push(5, "after"));
    const std::vector<std::string> records = peek();
    ASSERT_EQ(records.size(), static_cast<size_t>(held + 1));
    EXPECT_EQ(records[held - 1], "4:lost");
    EXPECT_EQ(records[held], "5:after");
    // A record that does not fit the copy is left for the next.
    EXPECT_EQ(peek(airlog::kRecordHeaderBytes + 99).size(), 0u);
}

} // namespace
