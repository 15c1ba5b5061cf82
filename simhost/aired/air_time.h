// The times of the air log: a local time with its offset from UTC, to the millisecond
// ("2026-12-08T22:18:47.123+01:00"). The instant orders and measures events; the local date and
// hour are what the station's own days and hours are counted by.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace sim {

struct AirTime {
    int64_t utcMs;         // milliseconds since 1970-01-01 00:00 UTC
    int32_t offsetMinutes; // the local time's offset from UTC
};

// `length` characters at `text` as a time of the log, in exactly its form; false otherwise (a
// date that does not exist, an offset beyond 14 hours, a character out of place).
bool parseAirTime(const char* text, size_t length, AirTime* time);

// The time in the log's form.
std::string airTimeText(const AirTime& time);

// The local date as days since 1970-01-01, and the local hour (0..23).
int64_t localDay(const AirTime& time);
int32_t localHour(const AirTime& time);

// The first instant of local day `day` at `offsetMinutes`, in UTC milliseconds.
int64_t dayStartUtcMs(int64_t day, int32_t offsetMinutes);

// "2026-12-08" for a day since 1970-01-01.
std::string dayText(int64_t day);

// "2026-12-08 22:18", the local time to the minute.
std::string minuteText(const AirTime& time);

// "2026-12-08" (a date that exists) as days since 1970-01-01; false otherwise.
bool parseDay(const std::string& text, int64_t* day);

} // namespace sim
