// The host's own copy of what the plug-in has recorded, with the limits it reads from plugin.ini,
// so that each refusal can be explained by the plug-in's own rule: which scan refused the title
// and which recorded track it matched. The plug-in's decision stays the authority; where this
// copy would have decided otherwise, the reason is reported as unknown.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "history/title_history.h"

namespace sim {

struct RuleLimits {
    int32_t artistLimit; // SameArtistCheckLimit
    int32_t titleLimit;  // SameTitleCheckLimit
    bool monitoring;     // EnablePlaylistMonitoring non-zero
};

// The artist window the plug-in judges by: 0 when the filter is off or the limit is 0 or below,
// and never more than the history the plug-in keeps.
int32_t artistWindow(const RuleLimits& limits);

struct RuleMirror {
    TitleHistory* history; // the titles the plug-in recorded, as it keeps them (the last 1000)
    RuleLimits limits;
    std::deque<std::string> artistKeys; // artistKey of each recorded title's artist ("" for none)
    std::deque<int32_t> entries;        // the playlist entry each recorded title came from (-1: unknown)
};

enum SkipRule : int32_t { kRuleUnknown = 0, kRuleArtist = 1, kRuleTitle = 2 };

struct SkipReason {
    int32_t rule;             // a SkipRule
    std::string key;          // kRuleArtist: the characters of the title the rule compared ("Que")
    std::string matchedTitle; // the recorded title it matched
    int32_t tracksEarlier;    // how far back that title was recorded: 1 for the track just before
    int32_t matchedEntry;     // the playlist entry that title came from; -1 when not known
};

// Starts an empty copy with `limits`; false when the heap refuses.
bool startMirror(RuleMirror* mirror, RuleLimits limits);
// Frees the copy.
void endMirror(RuleMirror* mirror);

// Records `title` as the plug-in does with a track it has read while playing: unless it equals
// the newest recorded title, which the plug-in does not judge or record again.
void mirrorPlayed(RuleMirror* mirror, const std::string& title);

// mirrorPlayed, remembering that the title came from playlist entry `entry`.
void mirrorPlayedEntry(RuleMirror* mirror, const std::string& title, int32_t entry);

// The characters of `title` the artist rule compares: its first six when it begins with "the" in
// any case, else its first three ("Que" of "Queen - Innuendo").
std::string ruleArtistKey(const std::string& title);

// Why the plug-in's rule refuses `title` now, or kRuleUnknown when the copy's rule would admit it.
SkipReason explainSkip(const RuleMirror& mirror, const std::string& title);

// The newest recorded title within the artist window whose artist (the playlist's own, compared
// by artistKey) is `title`'s, or "" when there is none or `title` has no artist.
std::string sameArtistInWindow(const RuleMirror& mirror, const std::string& title);

// Where sameArtistInWindow's title is in the history, counted back from the newest (1), or 0 when
// there is none.
int32_t sameArtistDistance(const RuleMirror& mirror, const std::string& title);

} // namespace sim
