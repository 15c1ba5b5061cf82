// The clock call and the zone's rules, kept to this one file so that nothing else in the DLL reads
// a time for the log.
#include "airlog/air_clock.h"

#include <windows.h>

namespace {

constexpr int64_t kUnitsPerMinute = 600000000; // 100-nanosecond units

FILETIME asFileTime(uint64_t value) {
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(value);
    time.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return time;
}

uint64_t asValue(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

airlog::CivilTime asCivil(const SYSTEMTIME& time) {
    return {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond, time.wMilliseconds};
}

} // namespace

namespace airlog {

uint64_t clockNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now); // called from our own code, so that it is the DLL's own import
    return asValue(now);
}

size_t formatLocalTime(uint64_t utc, char* out, size_t capacity) {
    const FILETIME utcTime = asFileTime(utc);
    SYSTEMTIME utcCivil, localCivil;
    FILETIME localTime;
    if (!FileTimeToSystemTime(&utcTime, &utcCivil)) // beyond the year 30827: no clock gives it
        return formatTime({1601, 1, 1, 0, 0, 0, 0}, 0, out, capacity);
    // A null zone: the machine's own, with the rules (summer time or not) for that very date.
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utcCivil, &localCivil) ||
        !SystemTimeToFileTime(&localCivil, &localTime))
        return formatTime(asCivil(utcCivil), 0, out, capacity); // UTC, and says so: still true
    // Local time minus UTC, to the minute: every zone's offset is a whole number of minutes.
    const int64_t difference = static_cast<int64_t>(asValue(localTime)) - static_cast<int64_t>(utc);
    const int64_t minutes =
        (difference >= 0 ? difference + kUnitsPerMinute / 2 : difference - kUnitsPerMinute / 2) /
        kUnitsPerMinute;
    return formatTime(asCivil(localCivil), static_cast<int32_t>(minutes), out, capacity);
}

} // namespace airlog
