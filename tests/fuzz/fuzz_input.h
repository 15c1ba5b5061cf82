// What the three fuzz targets share: reading structured values from libFuzzer's bytes, and
// stopping loudly when the code under test disagrees with its reference. Reads past the end of
// the input give zero bytes, so every input, however short, decodes to something.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

struct FuzzInput {
    const uint8_t* data;
    size_t size;
    size_t used;
};

// The next byte, or 0 once the input is used up.
inline uint8_t takeByte(FuzzInput& input) {
    return input.used < input.size ? input.data[input.used++] : 0;
}

// The next four bytes, little-endian.
inline uint32_t takeWord(FuzzInput& input) {
    uint32_t word = 0;
    for (int shift = 0; shift < 32; shift += 8)
        word |= uint32_t{takeByte(input)} << shift;
    return word;
}

// A 32-bit limit biased towards what matters: half the time a small value in [low, low + span)
// (span at most 256), otherwise 0, -1, INT32_MIN, INT32_MAX, a value just inside either extreme,
// or any value at all.
inline int32_t takeLimit(FuzzInput& input, int32_t low, int32_t span) {
    const uint8_t selector = takeByte(input);
    switch (selector % 12) {
    case 6:
        return 0;
    case 7:
        return -1;
    case 8:
        return INT32_MIN;
    case 9:
        return INT32_MAX;
    case 10: {
        const int32_t step = takeByte(input) % 64;
        return (selector & 0x80) != 0 ? INT32_MIN + step : INT32_MAX - step;
    }
    case 11:
        return static_cast<int32_t>(takeWord(input));
    default:
        return low + static_cast<int32_t>(takeByte(input) % span);
    }
}

// Writes `text` to stderr with every byte outside printable ASCII as \xNN.
inline void printEscaped(const std::string& text) {
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\')
            std::fputc(c, stderr);
        else
            std::fprintf(stderr, "\\x%02X", c);
    }
}

// Reports a failed check and aborts, which libFuzzer records as a crash with the input saved.
[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "\nfuzz check failed: %s\n", what);
    std::abort();
}

} // namespace fuzz

// Checks even in builds that define NDEBUG.
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            ::fuzz::fail(#condition);                                                                        \
    } while (0)
