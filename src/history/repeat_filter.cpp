// The repeat filter. The artist is the first 3 characters of a title, or the first 6 when it
// begins with "the", since otherwise every band called The Something would count as one artist.
// Window arithmetic is done in 64 bits so that any 32-bit limit is safe.
#include "history/repeat_filter.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int32_t kArtistPrefixLength = 3;
constexpr int32_t kTheArtistPrefixLength = 6;

char foldAsciiCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

int64_t clampLow(int64_t value) {
    return value < 0 ? 0 : value;
}

// True when `entry` counts as the same artist as `title`.
bool sameArtist(const char* entry, const char* title) {
    if (!history::prefixMatchIgnoringCase(entry, title, kArtistPrefixLength))
        return false;
    if (!history::prefixMatchIgnoringCase(entry, "the", kArtistPrefixLength))
        return true;
    return history::prefixMatchIgnoringCase(entry, title, kTheArtistPrefixLength);
}

} // namespace

namespace history {

bool prefixMatchIgnoringCase(const char* a, const char* b, int32_t length) {
    for (int32_t i = 0; i < length; i++) {
        if (foldAsciiCase(a[i]) != foldAsciiCase(b[i]))
            return false;
        if (a[i] == '\0')
            return true;
    }
    return true;
}

int32_t artistKeyLength(const char* title) {
    const int32_t length = prefixMatchIgnoringCase(title, "the", kArtistPrefixLength) ? kTheArtistPrefixLength
                                                                                      : kArtistPrefixLength;
    return static_cast<int32_t>(strnlen(title, static_cast<size_t>(length)));
}

Refusal findRefusal(const TitleHistory* history, const char* title, int32_t artistLimit, int32_t titleLimit) {
    const int64_t count = history->count;
    const int64_t artistLow = clampLow(count - artistLimit);

    for (int64_t i = count - 1; i >= artistLow; i--) {
        if (sameArtist(at(history, i), title))
            return {kArtistScan, i};
    }
    // When the artist scan saw every entry, it is done: a whole-title repeat is an artist repeat.
    if (artistLow <= 0)
        return {kNotRefused, 0};

    // The title scan runs from artistLow down to titleLow. Every index at or past the newest
    // entry reads as the empty string, so that stretch costs one comparison, however long it is.
    const int64_t titleLow = clampLow(count - titleLimit);
    if (titleLow > artistLow)
        return {kNotRefused, 0};
    if (artistLow >= count && title[0] == '\0')
        return {kTitleScan, count};
    for (int64_t i = std::min(artistLow, count - 1); i >= titleLow; i--) {
        if (std::strcmp(at(history, i), title) == 0)
            return {kTitleScan, i};
    }
    return {kNotRefused, 0};
}

bool admits(const TitleHistory* history, const char* title, int32_t artistLimit, int32_t titleLimit) {
    return findRefusal(history, title, artistLimit, titleLimit).scan == kNotRefused;
}

} // namespace history
