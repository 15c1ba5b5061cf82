// The host's own copy of what the plug-in has recorded, with the limits it reads from plugin.ini,
// so that each refusal can be explained by the plug-in's own rule: which scan refused the title
// and which recorded track it matched. The plug-in's decision stays the authority; where this
// copy would have decided otherwise, the reason is reported as unknown.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "history/repeat_filter.h"
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
    // The titles the plug-in recorded, as it keeps them (the last 1000); null in a mirror of ids
    // alone (see startMirror), which copies no title.
    TitleHistory* history;
    int64_t held; // how many titles the plug-in holds now: as many as history->count
    RuleLimits limits;
    // Of each recorded title, the playlist entry it came from (-1: unknown).
    std::deque<int32_t> entries;
    // Per title id (RunRecord::titleIds), rule key id (RunRecord::ruleKeyIds) and artist key id:
    // how many titles had been recorded when its newest recording was made, counting it (0:
    // never); and how many have been recorded in all. The newest recording of a key is the one a
    // scan from the newest finds first, so each scan becomes one look-up.
    std::vector<int64_t> newestOfTitle;
    std::vector<int64_t> newestOfRuleKey;
    std::vector<int64_t> newestOfArtistKey;
    int64_t appended;
    bool newestOfTitleKnown; // every title recorded came with its title id
};

enum SkipRule : int32_t { kRuleUnknown = 0, kRuleArtist = 1, kRuleTitle = 2 };

struct SkipReason {
    int32_t rule;             // a SkipRule
    std::string key;          // kRuleArtist: the characters of the title the rule compared ("Que")
    std::string matchedTitle; // the recorded title it matched
    int32_t tracksEarlier;    // how far back that title was recorded: 1 for the track just before
    int32_t matchedEntry;     // the playlist entry that title came from; -1 when not known
};

// Starts an empty copy with `limits`; false when the heap refuses. Without `keepsTexts` it follows
// the recorded titles by their entries and ids alone, copying no text: every title it records must
// come from a known entry with its ids, and it cannot be asked findMirroredRefusal or explainSkip.
// A sweep's runs need no more, and a long run then spends nothing on copies.
bool startMirror(RuleMirror* mirror, RuleLimits limits, bool keepsTexts = true);
// Frees the copy.
void endMirror(RuleMirror* mirror);

// The ids of a playlist entry's keys (RunRecord's, worked out once per playlist); -1 for unknown.
struct EntryKeyIds {
    int32_t titleId;     // equal for equal titles
    int32_t ruleKeyId;   // equal for titles the artist rule takes for one artist (ruleKeyOf)
    int32_t artistKeyId; // equal for one artist however spelt (artistKey); -1 also when it names none
};

// True when `title`, whose title id is `titleId` (-1: unknown), is the newest recorded title, the
// one the plug-in neither judges nor records again (the empty title, when none is recorded yet):
// by its id when every recording's is known, so that a long run compares no texts.
bool isNewestTitle(const RuleMirror& mirror, const std::string& title, int32_t titleId);

// Records `title` as the plug-in does with a track it has read while playing: unless it equals
// the newest recorded title, which the plug-in does not judge or record again. It came from
// playlist entry `entry` (-1: unknown), whose keys have the ids `keys`.
void mirrorPlayedEntry(RuleMirror* mirror, const std::string& title, int32_t entry, EntryKeyIds keys);

// The playlist entry the newest recorded title came from; -1 when nothing is recorded or it is
// not known.
int32_t newestEntry(const RuleMirror& mirror);

// The characters of `title` the artist rule compares: its first six when it begins with "the" in
// any case, else its first three ("Que" of "Queen - Innuendo").
std::string ruleArtistKey(const std::string& title);

// Which scan of the plug-in's rule refuses `title` now, and what it matched: the plug-in's own
// reasoning (history::findRefusal) with the copy's limits; kNotRefused when the filter is off.
history::Refusal findMirroredRefusal(const RuleMirror& mirror, const char* title);

// findMirroredRefusal for `title`, the title of playlist entry `entry`, worked out on the ids of the
// entries' titles (`titleIds`, equal for equal titles) and of their rule keys (`ruleKeyIds`, equal
// for titles the artist rule takes for one artist: ruleKeyOf) instead of their texts: the same
// answer, scan for scan and index for index, at the cost of one look-up for each scan. Every
// recorded title must have come from a known entry with its title and rule key ids
// (mirrorPlayedEntry with `entry`, `titleId` and `ruleKeyId` 0 or more).
history::Refusal findRefusalByIds(const RuleMirror& mirror, const char* title, int32_t entry,
                                  const std::vector<int32_t>& titleIds,
                                  const std::vector<int32_t>& ruleKeyIds);

// What the artist rule compares of `title`: its first three characters with A-Z folded, or its
// first six when those three are "the" (fewer when the title is shorter). Two titles are one
// artist to the rule exactly when these agree.
std::string ruleKeyOf(const std::string& title);

// Why the plug-in's rule refuses `title` now, or kRuleUnknown when the copy's rule would admit it.
SkipReason explainSkip(const RuleMirror& mirror, const std::string& title);

// Where the newest recorded title within the artist window whose artist (the playlist's own,
// compared by artistKey) has the id `artistKeyId` is, counted back from the newest (1); 0 when
// there is none or the id is -1 (no artist).
int32_t sameArtistDistance(const RuleMirror& mirror, int32_t artistKeyId);

} // namespace sim
