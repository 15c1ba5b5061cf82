// Dates without the platform's help, so that a log reads the same on every machine and in every
// time zone: the civil calendar worked out from days since 1970 and back (the proleptic
// Gregorian calendar, as the log writes it).
#include "aired/air_time.h"

#include <cstdio>

namespace {

constexpr int64_t kMsPerMinute = 60000;
constexpr int64_t kMsPerDay = 86400000;
constexpr int32_t kMostOffsetMinutes = 14 * 60;

// Days since 1970-01-01 of a civil date.
int64_t daysFromCivil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct Civil {
    int64_t year;
    int32_t month;
    int32_t day;
};

Civil civilFromDays(int64_t days) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    const auto day = static_cast<int32_t>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    const auto month = static_cast<int32_t>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

int32_t daysInMonth(int64_t year, int32_t month) {
    static const int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// `count` decimal digits at `text` as a number; false when one is not a digit.
bool digits(const char* text, int count, int64_t* value) {
    int64_t result = 0;
    for (int i = 0; i < count; i++) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        result = result * 10 + (text[i] - '0');
    }
    *value = result;
    return true;
}

// "YYYY-MM-DD" at `text` (ten characters) as days since 1970-01-01, when the date exists.
bool dateAt(const char* text, int64_t* days) {
    int64_t year = 0, month = 0, day = 0;
    if (!digits(text, 4, &year) || text[4] != '-' || !digits(text + 5, 2, &month) || text[7] != '-' ||
        !digits(text + 8, 2, &day) || month < 1 || month > 12 || day < 1 ||
        day > daysInMonth(year, static_cast<int32_t>(month)))
        return false;
    *days = daysFromCivil(year, month, day);
    return true;
}

int64_t localMs(const sim::AirTime& time) {
    return time.utcMs + time.offsetMinutes * kMsPerMinute;
}

// Floor division, for times before 1970 as well.
int64_t floorDiv(int64_t a, int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

} // namespace

namespace sim {

bool parseAirTime(const char* text, size_t length, AirTime* time) {
    // 2026-12-08T22:18:47.123+01:00
    constexpr size_t kLength = 29;
    int64_t days = 0, hour = 0, minute = 0, second = 0, ms = 0, offsetHours = 0, offsetMinutes = 0;
    if (length != kLength || !dateAt(text, &days) || text[10] != 'T' || !digits(text + 11, 2, &hour) ||
        text[13] != ':' || !digits(text + 14, 2, &minute) || text[16] != ':' ||
        !digits(text + 17, 2, &second) || text[19] != '.' || !digits(text + 20, 3, &ms) ||
        (text[23] != '+' && text[23] != '-') || !digits(text + 24, 2, &offsetHours) || text[26] != ':' ||
        !digits(text + 27, 2, &offsetMinutes))
        return false;
    const int64_t offset = (text[23] == '-' ? -1 : 1) * (offsetHours * 60 + offsetMinutes);
    if (hour > 23 || minute > 59 || second > 59 || offsetMinutes > 59 || offset > kMostOffsetMinutes ||
        offset < -kMostOffsetMinutes)
        return false;
    const int64_t local = days * kMsPerDay + ((hour * 60 + minute) * 60 + second) * 1000 + ms;
    time->offsetMinutes = static_cast<int32_t>(offset);
    time->utcMs = local - offset * kMsPerMinute;
    return true;
}

std::string airTimeText(const AirTime& time) {
    const int64_t local = localMs(time);
    const Civil date = civilFromDays(floorDiv(local, kMsPerDay));
    const int64_t inDay = local - floorDiv(local, kMsPerDay) * kMsPerDay;
    const int32_t offset = time.offsetMinutes < 0 ? -time.offsetMinutes : time.offsetMinutes;
    char text[48];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d",
                  static_cast<long long>(date.year), date.month, date.day, static_cast<int>(inDay / 3600000),
                  static_cast<int>(inDay / 60000 % 60), static_cast<int>(inDay / 1000 % 60),
                  static_cast<int>(inDay % 1000), time.offsetMinutes < 0 ? '-' : '+', offset / 60,
                  offset % 60);
    return text;
}

int64_t localDay(const AirTime& time) {
    return floorDiv(localMs(time), kMsPerDay);
}

int32_t localHour(const AirTime& time) {
    const int64_t local = localMs(time);
    return static_cast<int32_t>((local - floorDiv(local, kMsPerDay) * kMsPerDay) / 3600000);
}

int64_t dayStartUtcMs(int64_t day, int32_t offsetMinutes) {
    return day * kMsPerDay - offsetMinutes * kMsPerMinute;
}

std::string dayText(int64_t day) {
    const Civil date = civilFromDays(day);
    char text[24];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02d", static_cast<long long>(date.year), date.month,
                  date.day);
    return text;
}

std::string minuteText(const AirTime& time) {
    const std::string full = airTimeText(time);
    return full.substr(0, 10) + " " + full.substr(11, 5);
}

bool parseDay(const std::string& text, int64_t* day) {
    return text.size() == 10 && dateAt(text.c_str(), day);
}

} // namespace sim
