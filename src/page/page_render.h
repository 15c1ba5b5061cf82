// The status page as the bytes that go to disk, built in memory from plain inputs so that it can
// be tested (and fuzzed) without Windows.
#pragma once

#include <cstddef>
#include <cstdint>

#include "history/title_history.h"

struct PageContent {
    const char* htmlTitle;         // the operator's own HTML, inserted as held; null reads as empty
    const char* htmlHeader;        // the operator's own HTML, inserted as held; null reads as empty
    int32_t recentTitleListLength; // most rows of the recent-track table; 0 or less hides it
    int32_t playing;               // 0: the page says the server is off-line
    const char* currentTitle;      // shown while playing; null reads as empty text
    const TitleHistory* history;   // the admitted titles, newest = the current track; null: none
};

namespace page {

extern const char kPluginHomePage[];    // the footer link
extern const char kShoutcastHomePage[]; // the logo link

// Renders the whole page, every line feed as CR LF and every title HTML-escaped. Writes at most
// `capacity` bytes into `out` (null is fine when capacity is 0) and returns the page's full
// length, so a first call with capacity 0 measures it. Never writes a terminator.
size_t render(const PageContent& content, char* out, size_t capacity);

} // namespace page
