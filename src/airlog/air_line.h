// One line of the air log: the time, then eleven more fields, tab-separated, ending in CR LF, in
// UTF-8 (docs/air-log.md describes every field). Platform-free: titles arrive as UTF-16 (the
// Windows side decodes the player's code page) and the time as a date and time with its offset, so
// that what a station's file holds is tested natively.
#pragma once

#include <cstddef>
#include <cstdint>

namespace airlog {

// The first line of every file: the format's name and version.
constexpr char kFirstLine[] = "#Songbeacon air log\tformat 1\r\n";

// The most bytes of a title (the player's text) the log takes; a longer title is cut there.
constexpr int32_t kTitleBytesTaken = 1023;
// A title field in UTF-8, terminator included: a byte of a code page is at most one UTF-16 unit,
// and a unit at most three bytes of UTF-8.
constexpr int32_t kTitleFieldCapacity = 3 * kTitleBytesTaken + 1;
// Everything after the time, terminator included: two titles and room for every other field.
constexpr int32_t kRestCapacity = 2 * kTitleFieldCapacity + 256;

// The time field, "2026-12-08T22:18:47.123+01:00", without a terminator.
constexpr int32_t kTimeFieldLength = 29;

// A local date and time, as the calendar shows it.
struct CivilTime {
    int32_t year, month, day, hour, minute, second, millisecond;
};

// Writes the time field for `local`, which is `offsetMinutes` ahead of UTC (behind when negative),
// into `out`, terminated. Returns kTimeFieldLength, or 0 (with `out` empty when it has room for
// that) when `capacity` is below kTimeFieldLength + 1.
size_t formatTime(const CivilTime& local, int32_t offsetMinutes, char* out, size_t capacity);

// Encodes `count` UTF-16 units as UTF-8 into `out`, terminated. A unit that is half of no pair
// becomes U+FFFD. The text is cut before the first character that would not fit whole. Returns the
// bytes written, terminator excluded (0 when `capacity` is 0).
size_t encodeUtf8(const uint16_t* units, size_t count, char* out, size_t capacity);

// The fields of a line after the time. Texts are UTF-8, or null for an empty field.
struct Fields {
    const char* event;
    int32_t position; // the playlist's index + 1; 0 leaves the field empty
    const char* title;
    const char* rule;
    const char* key;
    const char* matched;
    bool hasBack;
    int64_t back;
    bool hasLimits; // artist_limit, title_limit and monitoring
    int32_t artistLimit, titleLimit, monitoring;
    const char* detail;
};

// Writes fields 2 to 12 into `out`: eleven fields, ten tabs, no line end, terminated. A byte below
// 0x20 in a text (a control character: a tab, a line end) becomes a space, so a field never splits
// a line. Returns the length. Cut at `capacity`, which kRestCapacity never reaches with texts
// within their capacities.
size_t formatRest(const Fields& fields, char* out, size_t capacity);

// Bytes of the whole line for a rest of `restLength`: the time, a tab, the rest, CR LF.
size_t lineLength(size_t restLength);

// Writes the whole line into `out` (lineLength(restLength) bytes, not terminated): `time` (the
// kTimeFieldLength bytes of a time field), a tab, `rest`, CR LF. Returns the bytes written, or 0
// when they do not fit in `capacity`.
size_t formatLine(const char* time, const char* rest, size_t restLength, char* out, size_t capacity);

} // namespace airlog
