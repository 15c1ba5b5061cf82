// Decides whether a newly started track may play, judged against the admitted titles: it is
// refused when its artist (the start of its title) or its whole title was admitted too recently.
#pragma once

#include <cstdint>

#include "history/title_history.h"

namespace history {

// True when the first `length` characters of `a` and `b` agree, folding only A-Z to a-z and
// stopping early where both texts end together. A text that ends sooner matches only a text that
// ends at the same place.
bool prefixMatchIgnoringCase(const char* a, const char* b, int32_t length);

// How many bytes at the start of `title` the artist test compares: 6 when it begins with "the" in
// any case, else 3; fewer when the title is shorter. Its artist key, as a refusal names it.
int32_t artistKeyLength(const char* title);

// Which scan refused a title, and where: `index` is the logical index of the history entry that
// matched. Only the title scan can match at `count` or beyond, where every index reads as the
// empty text (so only an empty title is refused there).
enum RefusalScan : int32_t { kNotRefused = 0, kArtistScan = 1, kTitleScan = 2 };
struct Refusal {
    int32_t scan;  // a RefusalScan
    int64_t index; // meaningful when scan is not kNotRefused
};

// The reasoning of `admits`: which scan refuses `title` and the entry it matched, or kNotRefused.
// Same arguments, same decisions; the scans stop at the first match, newest first.
Refusal findRefusal(const TitleHistory* history, const char* title, int32_t artistLimit, int32_t titleLimit);

// True to admit `title`, false to refuse it. The artist test looks at the newest `artistLimit`
// entries, the whole-title test reaches back over the newest `titleLimit`. Any limit is accepted:
// negative ones make the scans start above the newest entry, where indexes read as empty text.
// Reads nothing outside the history and changes nothing.
bool admits(const TitleHistory* history, const char* title, int32_t artistLimit, int32_t titleLimit);

} // namespace history
