// Fuzzes the repeat filter against the rules written out here as plainly as they read: every
// index of both scans visited in turn, anything past the history read as the empty string.
// Also checks the ring the filter reads, including rings that have wrapped many times over.
//
// Input layout (missing bytes read as 0):
//   flags        bit 1: give the history a capacity of 1..1000 instead of 1000;
//                bit 2: start the empty ring at slot 0..999 instead of 0, so that short histories
//                wrap too;
//                bits 3-7 all set: before the decoded titles, append 1000..2020 filler titles, so
//                the ring wraps the way it does in a long run (rare on purpose: it is slow)
//   [capacity]   two bytes, when bit 1 is set
//   [start]      two bytes, when bit 2 is set
//   [filler]     count byte and pattern seed byte, when bits 3-7 are set
//   artist limit, title limit   see fuzz::takeLimit
//   n            one byte, 0..60 titles follow
//   titles       n titles, then the new title: see takeTitle
#include <cstdint>
#include <string>
#include <vector>

#include "common/memory.h"
#include "fuzz_input.h"
#include "history/repeat_filter.h"
#include "history/title_history.h"

namespace {

// Few artists, so that artist repeats, "the" artists and short titles meet often; includes
// Latin-1 letters and the characters next to A-Z and a-z, which must not be case-folded.
const char* const kArtists[] = {
    "The Beatles", "THE BEE GEES", "the who", "The Who", "Thems", "The", "Th", "ThE",
    "ABBA",        "abba",         "Abb",     "AB",      "ab",    "A",   "",   "Queen",
    "\xC4pfel",    "\xE4pfel",     "[bc",     "{bc",     "@bc",   "`bc",
};
const char* const kSongs[] = {"", " - Help", " - help", " - SOS", "x"};
constexpr unsigned kArtistCount = sizeof kArtists / sizeof kArtists[0];
constexpr unsigned kSongCount = sizeof kSongs / sizeof kSongs[0];

std::string alphabetTitle(unsigned pick) {
    return std::string(kArtists[pick % kArtistCount]) + kSongs[(pick / kArtistCount) % kSongCount];
}

// A title: a byte below 0xE0 picks one from the small alphabet; 0xE0..0xFF is followed by 0..31
// raw bytes (a zero byte ends the text there, as it would for the host's text).
std::string takeTitle(fuzz::FuzzInput& input) {
    const uint8_t kind = fuzz::takeByte(input);
    if (kind < 0xE0)
        return alphabetTitle(kind);
    std::string raw;
    for (int length = kind - 0xE0; length > 0; length--)
        raw.push_back(static_cast<char>(fuzz::takeByte(input)));
    return std::string(raw.c_str());
}

// ---- The model ----

int foldedAt(const std::string& text, int64_t i) {
    if (i >= static_cast<int64_t>(text.size()))
        return -1; // the text has ended
    const unsigned char c = static_cast<unsigned char>(text[static_cast<size_t>(i)]);
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

// Compared one character at a time, at most k, until either text ends; an early end counts as
// a character of its own, so a shorter text matches only one that ends in the same place.
bool modelPrefixMatch(const std::string& a, const std::string& b, int64_t k) {
    for (int64_t i = 0; i < k; i++) {
        if (foldedAt(a, i) != foldedAt(b, i))
            return false;
        if (foldedAt(a, i) == -1)
            return true;
    }
    return true;
}

std::string entryAt(const std::vector<std::string>& entries, int64_t i) {
    if (i < 0 || i >= static_cast<int64_t>(entries.size()))
        return std::string();
    return entries[static_cast<size_t>(i)];
}

bool modelAdmits(const std::vector<std::string>& entries, const std::string& title, int32_t artistLimit,
                 int32_t titleLimit) {
    const int64_t n = static_cast<int64_t>(entries.size());
    const int64_t lo = n - artistLimit < 0 ? 0 : n - artistLimit;

    // Artist scan: from n - 1 down to lo, so never above the newest entry and at most n visits.
    for (int64_t i = n - 1; i >= lo; i--) {
        const std::string h = entryAt(entries, i);
        if (!modelPrefixMatch(h, title, 3))
            continue;
        if (!modelPrefixMatch(h, "the", 3))
            return false;
        if (modelPrefixMatch(h, title, 6))
            return false;
    }
    if (lo <= 0)
        return true;

    const int64_t d = n - titleLimit < 0 ? 0 : n - titleLimit;
    // Title scan: from lo down to d. With a negative artist limit, lo lies up to 2^31 past the
    // newest entry; every index from n up to lo reads as the same empty string, so visiting all
    // of them decides nothing that one visit does not. That stretch is visited once, as index n;
    // the rest, n - 1 down to d, is visited index by index.
    int64_t i = lo;
    if (i >= n && i >= d) {
        if (entryAt(entries, n) == title)
            return false;
        i = n - 1;
    }
    for (; i >= d; i--) {
        if (entryAt(entries, i) == title)
            return false;
    }
    return true;
}

void reportMismatch(const std::vector<std::string>& entries, const std::string& title, int32_t artistLimit,
                    int32_t titleLimit, bool admitted) {
    std::fprintf(stderr, "admits gave %d; A=%d L=%d n=%zu title='", admitted ? 1 : 0, artistLimit, titleLimit,
                 entries.size());
    fuzz::printEscaped(title);
    std::fprintf(stderr, "'\n");
    const size_t shown = entries.size() < 80 ? entries.size() : 80;
    for (size_t k = 0; k < shown; k++) {
        const size_t i = entries.size() - 1 - k;
        std::fprintf(stderr, "  [%zu] '", i);
        fuzz::printEscaped(entries[i]);
        std::fprintf(stderr, "'\n");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput input = {data, size, 0};
    const int32_t blocksBefore = memory::liveBlocks();

    const uint8_t flags = fuzz::takeByte(input);
    int32_t capacity = kHistoryRingSize;
    if ((flags & 0x02) != 0) {
        const uint32_t low = fuzz::takeByte(input);
        capacity = 1 + static_cast<int32_t>((low | uint32_t{fuzz::takeByte(input)} << 8) % 1000);
    }
    TitleHistory* history = history::create(capacity);
    FUZZ_CHECK(history != nullptr);
    if ((flags & 0x04) != 0) {
        // An empty ring whose oldest slot is k is where k titles that have all been dropped leave
        // it; setting it directly spares a thousand allocations per input.
        const uint32_t low = fuzz::takeByte(input);
        history->start =
            static_cast<int32_t>((low | uint32_t{fuzz::takeByte(input)} << 8) % kHistoryRingSize);
    }

    // Everything ever appended; the history should hold its last `capacity` titles.
    std::vector<std::string> appended;
    if ((flags & 0xF8) == 0xF8) {
        const int fillers = 1000 + fuzz::takeByte(input) * 4;
        uint32_t pattern = fuzz::takeByte(input) | 1u;
        for (int k = 0; k < fillers; k++) {
            pattern = pattern * 1103515245u + 12345u;
            appended.push_back(alphabetTitle(pattern >> 16));
        }
    }
    const int32_t artistLimit = fuzz::takeLimit(input, -5, 80);
    const int32_t titleLimit = fuzz::takeLimit(input, -5, 80);
    const int count = fuzz::takeByte(input) % 61;
    for (int k = 0; k < count; k++)
        appended.push_back(takeTitle(input));
    const std::string title = takeTitle(input);

    for (const std::string& t : appended)
        history::append(history, t.c_str());
    const size_t kept = appended.size() < static_cast<size_t>(capacity) ? appended.size() : capacity;
    const std::vector<std::string> entries(appended.end() - static_cast<std::ptrdiff_t>(kept),
                                           appended.end());

    FUZZ_CHECK(history->count == static_cast<int32_t>(entries.size()));
    for (size_t i = 0; i < entries.size(); i++)
        FUZZ_CHECK(entries[i] == history::at(history, static_cast<int64_t>(i)));
    FUZZ_CHECK(history::at(history, -1)[0] == '\0');
    FUZZ_CHECK(history::at(history, history->count)[0] == '\0');

    const bool admitted = history::admits(history, title.c_str(), artistLimit, titleLimit);
    if (admitted != modelAdmits(entries, title, artistLimit, titleLimit)) {
        reportMismatch(entries, title, artistLimit, titleLimit, admitted);
        fuzz::fail("history::admits disagrees with the model");
    }
    // The reasoning behind the decision names an entry that really matches under its scan's rule.
    const history::Refusal refusal = history::findRefusal(history, title.c_str(), artistLimit, titleLimit);
    FUZZ_CHECK((refusal.scan == history::kNotRefused) == admitted);
    if (refusal.scan == history::kArtistScan) {
        FUZZ_CHECK(refusal.index >= 0 && refusal.index < static_cast<int64_t>(entries.size()));
        const std::string& matched = entries[static_cast<size_t>(refusal.index)];
        FUZZ_CHECK(modelPrefixMatch(matched, title, 3) &&
                   (!modelPrefixMatch(matched, "the", 3) || modelPrefixMatch(matched, title, 6)));
    }
    if (refusal.scan == history::kTitleScan)
        FUZZ_CHECK(refusal.index >= 0 && entryAt(entries, refusal.index) == title);

    history::destroy(history);
    FUZZ_CHECK(memory::liveBlocks() == blocksBefore);
    return 0;
}
