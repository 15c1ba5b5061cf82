// The line's text, built by hand into fixed buffers: no outside text is ever a format string.
#include "airlog/air_line.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t kReplacementCharacter = 0xFFFD;

// Appends `text` as one field to `out` (at `*used`), each byte below 0x20 as a space; stops at
// `capacity` - 1, keeping the terminator's place.
void appendField(const char* text, char* out, size_t capacity, size_t* used) {
    if (text == nullptr)
        return;
    for (; *text != '\0' && *used + 1 < capacity; text++)
        out[(*used)++] = static_cast<unsigned char>(*text) < 0x20 ? ' ' : *text;
}

void appendTab(char* out, size_t capacity, size_t* used) {
    if (*used + 1 < capacity)
        out[(*used)++] = '\t';
}

// Appends the decimal form of `value`, or nothing when `present` is false.
void appendNumber(bool present, long long value, char* out, size_t capacity, size_t* used) {
    if (!present)
        return;
    char digits[24]; // "-9223372036854775808" and its terminator
    std::snprintf(digits, sizeof digits, "%lld", value);
    appendField(digits, out, capacity, used);
}

} // namespace

namespace airlog {

size_t formatTime(const CivilTime& local, int32_t offsetMinutes, char* out, size_t capacity) {
    if (capacity < static_cast<size_t>(kTimeFieldLength) + 1) {
        if (capacity > 0)
            out[0] = '\0';
        return 0;
    }
    const char sign = offsetMinutes < 0 ? '-' : '+';
    const int64_t magnitude = offsetMinutes < 0 ? -static_cast<int64_t>(offsetMinutes) : offsetMinutes;
    const int32_t offsetHours = magnitude / 60 > 99 ? 99 : static_cast<int32_t>(magnitude / 60);
    // Every number is held to its field's width, so the field is always kTimeFieldLength long.
    auto within = [](int32_t value, int32_t most) { return value < 0 ? 0 : value > most ? most : value; };
    std::snprintf(out, capacity, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d", within(local.year, 9999),
                  within(local.month, 99), within(local.day, 99), within(local.hour, 99),
                  within(local.minute, 99), within(local.second, 99), within(local.millisecond, 999), sign,
                  offsetHours, static_cast<int32_t>(magnitude % 60));
    return static_cast<size_t>(kTimeFieldLength);
}

size_t encodeUtf8(const uint16_t* units, size_t count, char* out, size_t capacity) {
    if (capacity == 0)
        return 0;
    size_t used = 0;
    for (size_t i = 0; i < count; i++) {
        uint32_t code = units[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            i++;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = kReplacementCharacter;
        }
        char bytes[4];
        size_t length;
        if (code < 0x80) {
            bytes[0] = static_cast<char>(code);
            length = 1;
        } else if (code < 0x800) {
            bytes[0] = static_cast<char>(0xC0 | (code >> 6));
            bytes[1] = static_cast<char>(0x80 | (code & 0x3F));
            length = 2;
        } else if (code < 0x10000) {
            bytes[0] = static_cast<char>(0xE0 | (code >> 12));
            bytes[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes[2] = static_cast<char>(0x80 | (code & 0x3F));
            length = 3;
        } else {
            bytes[0] = static_cast<char>(0xF0 | (code >> 18));
            bytes[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            bytes[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes[3] = static_cast<char>(0x80 | (code & 0x3F));
            length = 4;
        }
        if (used + length + 1 > capacity)
            break;
        std::memcpy(out + used, bytes, length);
        used += length;
    }
    out[used] = '\0';
    return used;
}

size_t formatRest(const Fields& fields, char* out, size_t capacity) {
    if (capacity == 0)
        return 0;
    size_t used = 0;
    appendField(fields.event, out, capacity, &used);
    appendTab(out, capacity, &used);
    appendNumber(fields.position > 0, fields.position, out, capacity, &used);
    appendTab(out, capacity, &used);
    appendField(fields.title, out, capacity, &used);
    appendTab(out, capacity, &used);
    appendField(fields.rule, out, capacity, &used);
    appendTab(out, capacity, &used);
    appendField(fields.key, out, capacity, &used);
    appendTab(out, capacity, &used);
    appendField(fields.matched, out, capacity, &used);
    appendTab(out, capacity, &used);
    appendNumber(fields.hasBack, fields.back, out, capacity, &used);
    appendTab(out, capacity, &used);
    appendNumber(fields.hasLimits, fields.artistLimit, out, capacity, &used);
    appendTab(out, capacity, &used);
    appendNumber(fields.hasLimits, fields.titleLimit, out, capacity, &used);
    appendTab(out, capacity, &used);
    appendNumber(fields.hasLimits, fields.monitoring, out, capacity, &used);
    appendTab(out, capacity, &used);
    appendField(fields.detail, out, capacity, &used);
    out[used] = '\0';
    return used;
}

size_t lineLength(size_t restLength) {
    return static_cast<size_t>(kTimeFieldLength) + 1 + restLength + 2;
}

size_t formatLine(const char* time, const char* rest, size_t restLength, char* out, size_t capacity) {
    const size_t length = lineLength(restLength);
    if (length > capacity)
        return 0;
    std::memcpy(out, time, kTimeFieldLength);
    out[kTimeFieldLength] = '\t';
    std::memcpy(out + kTimeFieldLength + 1, rest, restLength);
    out[length - 2] = '\r';
    out[length - 1] = '\n';
    return length;
}

} // namespace airlog
