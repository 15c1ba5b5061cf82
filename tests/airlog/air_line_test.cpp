// The air log's platform-free parts: a line's fields and time, a title's UTF-8, the path a setting
// names, the previous file and the roll, and the queue's count of lines it could not keep.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "airlog/air_line.h"
#include "airlog/air_path.h"
#include "airlog/line_queue.h"

namespace {

std::string rest(const airlog::Fields& fields, size_t capacity = airlog::kRestCapacity) {
    char out[airlog::kRestCapacity];
    const size_t length = airlog::formatRest(fields, out, capacity);
    EXPECT_EQ(length, std::strlen(out));
    return out;
}

airlog::Fields event(const char* name) {
    airlog::Fields fields = {};
    fields.event = name;
    return fields;
}

std::string utf8(const std::u16string& text, size_t capacity = 64) {
    char out[64];
    airlog::encodeUtf8(reinterpret_cast<const uint16_t*>(text.data()), text.size(), out, capacity);
    return out;
}

TEST(AirLine, TwelveFieldsWithControlCharactersAsSpacesAndATimeWithItsOffset) {
    airlog::Fields skipped = event("skipped");
    skipped.position = 3;
    skipped.title = "ABBA\t- Water\r\nloo";
    skipped.rule = "artist";
    skipped.key = "ABB";
    skipped.matched = "Abba - Dancing Queen";
    skipped.hasBack = true;
    skipped.back = 2;
    EXPECT_EQ(rest(skipped), "skipped\t3\tABBA - Water  loo\tartist\tABB\tAbba - Dancing Queen\t2\t\t\t\t");
    EXPECT_EQ(rest(skipped, 12), "skipped\t3\tA"); // cut at the buffer, and terminated
    airlog::Fields start = event("start");
    start.hasLimits = true;
    start.artistLimit = -2147483647 - 1; // a hand-edited file may hold anything
    start.titleLimit = 10;
    start.monitoring = 1;
    start.detail = "0.24b";
    EXPECT_EQ(rest(start), "start\t\t\t\t\t\t\t-2147483648\t10\t1\t0.24b");
    EXPECT_EQ(rest(event("paused")), "paused\t\t\t\t\t\t\t\t\t\t");

    char time[airlog::kTimeFieldLength + 1];
    EXPECT_EQ(airlog::formatTime({2026, 12, 8, 22, 18, 47, 123}, 60, time, sizeof time), 29u);
    EXPECT_STREQ(time, "2026-12-08T22:18:47.123+01:00");
    airlog::formatTime({2026, 3, 1, 0, 0, 0, 5}, -210, time, sizeof time); // Newfoundland
    EXPECT_STREQ(time, "2026-03-01T00:00:00.005-03:30");
    EXPECT_EQ(airlog::formatTime({2026, 3, 1, 0, 0, 0, 5}, 0, time, sizeof time - 1), 0u);
    char line[48];
    ASSERT_EQ(airlog::formatLine("2026-12-08T22:18:47.123+01:00", "paused", 6, line, sizeof line), 38u);
    EXPECT_EQ(std::string(line, 38), "2026-12-08T22:18:47.123+01:00\tpaused\r\n");
    EXPECT_EQ(airlog::formatLine(time, "paused", 6, line, 37), 0u);
}

TEST(AirLine, TitlesBecomeUtf8CutOnlyBetweenCharacters) {
    EXPECT_EQ(utf8(u"Bj\u00f6rk - \u041a\u0438\u043d\u043e \u30a2"),
              "Bj\xc3\xb6rk - \xd0\x9a\xd0\xb8\xd0\xbd\xd0\xbe \xe3\x82\xa2");
    EXPECT_EQ(utf8(u"\U0001F3B5"), "\xf0\x9f\x8e\xb5");               // a pair
    EXPECT_EQ(utf8(u"a\xd800z\xdc00"), "a\xef\xbf\xbdz\xef\xbf\xbd"); // halves of none
    EXPECT_EQ(utf8(u"\u00f6\u00f6", 4), "\xc3\xb6");                  // the second would not fit whole
    EXPECT_EQ(utf8(u"ab\U0001F3B5", 5), "ab");
}

TEST(AirPath, RelativeNamesFromThePluginsFolderThePreviousFileAndTheRoll) {
    const char ini[] = "C:\\Winamp\\Plugins\\plugin.ini";
    char path[airlog::kAirLogPathCapacity];
    EXPECT_TRUE(airlog::resolveLogPath(ini, "logs\\air.log", path, sizeof path));
    EXPECT_STREQ(path, "C:\\Winamp\\Plugins\\logs\\air.log");
    for (const char* full : {"C:\\Station\\air.log", "d:air.log", "\\\\server\\share\\air.log", "/air.log"}) {
        EXPECT_TRUE(airlog::resolveLogPath(ini, full, path, sizeof path));
        EXPECT_STREQ(path, full);
    }
    // No name, or a path that would not fit, is no log: never one written somewhere else.
    EXPECT_FALSE(airlog::resolveLogPath(ini, "", path, sizeof path));
    EXPECT_TRUE(airlog::resolveLogPath(ini, std::string(259 - 18, 'n').c_str(), path, sizeof path));
    EXPECT_FALSE(airlog::resolveLogPath(ini, std::string(260 - 18, 'n').c_str(), path, sizeof path));
    EXPECT_STREQ(path, "");

    for (auto [log, previous] : {std::pair{"C:\\Station\\air.2026.log", "C:\\Station\\air.2026-previous.log"},
                                 std::pair{"C:\\St.ation\\air", "C:\\St.ation\\air-previous"},
                                 std::pair{"C:\\Station\\.log", "C:\\Station\\.log-previous"}}) {
        EXPECT_TRUE(airlog::previousLogPath(log, path, sizeof path));
        EXPECT_STREQ(path, previous);
    }
    EXPECT_FALSE(airlog::previousLogPath("air.log", path, 16));
    EXPECT_FALSE(airlog::rollDue(16 * 1024 * 1024 - 1));
    EXPECT_TRUE(airlog::rollDue(16 * 1024 * 1024));
}

TEST(LineQueue, AFullQueueCountsWhatItRefusesUntilTheLostLineGoesIn) {
    airlog::LineQueue queue;
    airlog::clearQueue(&queue);
    const std::string line(100, 'b');
    int held = 0;
    while (airlog::pushLine(&queue, 1, line.data(), 100))
        held++;
    char copy[airlog::kLineQueueBytes];
    const uint32_t first = airlog::peekRecords(&queue, copy, airlog::kRecordHeaderBytes + 100);
    airlog::dropRecords(&queue, first); // one is written: there is room again, but not before the count
    EXPECT_FALSE(airlog::pushLine(&queue, 2, "x", 1));
    EXPECT_EQ(queue.lost, 2u);
    EXPECT_TRUE(airlog::pushNote(&queue, 3, "lost", 4));
    queue.lost = 0;
    EXPECT_TRUE(airlog::pushLine(&queue, 4, "after", 5));
    // The rest, round the ring's end, in order.
    const uint32_t copied = airlog::peekRecords(&queue, copy, sizeof copy);
    uint32_t offset = 0, length;
    uint64_t at;
    const char* text;
    int records = 0;
    std::string last;
    while (airlog::readRecord(copy, copied, &offset, &at, &text, &length)) {
        records++;
        last += std::to_string(at) + std::string(text, length) + " ";
    }
    EXPECT_EQ(records, held + 1);
    EXPECT_EQ(last.substr(last.size() - 13), "3lost 4after ");
}

} // namespace
