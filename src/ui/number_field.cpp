// Turns whatever a number field holds (typed digits, or pasted text of any kind) into a value,
// the way the C library's strtol would in base 10, but saturating without ever overflowing.
#include "ui/number_field.h"

#include "common/bounded_text.h"

namespace {

// The C locale's white space; fixed here so that no locale setting changes what a field means.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

namespace ui {

int32_t parseNumberText(const char* text) {
    const char* at = text;
    while (isBlank(*at))
        at++;
    bool negative = false;
    if (*at == '+' || *at == '-') {
        negative = *at == '-';
        at++;
    }
    // Magnitude in 64 bits, stopped just past the largest one a sign can still bring into range,
    // so that a long run of digits can neither overflow nor wrap.
    constexpr int64_t kLimit = int64_t{INT32_MAX} + 1;
    int64_t magnitude = 0;
    for (; isDigit(*at); at++) {
        if (magnitude < kLimit)
            magnitude = magnitude * 10 + (*at - '0');
    }
    if (magnitude > kLimit)
        magnitude = kLimit;
    if (negative)
        return static_cast<int32_t>(-magnitude); // -2^31 at most, which fits
    return magnitude > INT32_MAX ? INT32_MAX : static_cast<int32_t>(magnitude);
}

int32_t clampToRange(int32_t value, int32_t minimum, int32_t maximum) {
    return value > maximum ? maximum : value < minimum ? minimum : value;
}

int32_t numberFieldValue(const char* text, int32_t minimum, int32_t maximum) {
    char counted[kNumberFieldCapacity];
    copyBounded(counted, sizeof counted, text);
    return clampToRange(parseNumberText(counted), minimum, maximum);
}

} // namespace ui
