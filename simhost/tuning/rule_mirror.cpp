// The mirror runs the plug-in's own filter code (sb_core) over its own history.
#include "tuning/rule_mirror.h"

#include <algorithm>
#include <cstring>

namespace {

// Notes that the title just recorded (the `appended`th) carries key `id`.
void noteNewest(std::vector<int64_t>* newest, int32_t id, int64_t appended) {
    if (id < 0)
        return;
    if (static_cast<size_t>(id) >= newest->size())
        newest->resize(static_cast<size_t>(id) + 1, 0);
    (*newest)[static_cast<size_t>(id)] = appended;
}

// The history index of the newest recording of key `id`, or -1 when it has none still held.
int64_t newestIndex(const sim::RuleMirror& mirror, const std::vector<int64_t>& newest, int32_t id) {
    const int64_t appended =
        id >= 0 && static_cast<size_t>(id) < newest.size() ? newest[static_cast<size_t>(id)] : 0;
    const int64_t index = appended - 1 - (mirror.appended - mirror.held);
    return appended > 0 && index >= 0 ? index : -1;
}

} // namespace

namespace sim {

int32_t artistWindow(const RuleLimits& limits) {
    if (!limits.monitoring || limits.artistLimit <= 0)
        return 0;
    return limits.artistLimit < kHistoryRingSize ? limits.artistLimit : kHistoryRingSize;
}

bool startMirror(RuleMirror* mirror, RuleLimits limits, bool keepsTexts) {
    mirror->history = keepsTexts ? history::create(kHistoryRingSize) : nullptr;
    mirror->held = 0;
    mirror->limits = limits;
    mirror->entries.clear();
    mirror->newestOfTitle.clear();
    mirror->newestOfRuleKey.clear();
    mirror->newestOfArtistKey.clear();
    mirror->appended = 0;
    mirror->newestOfTitleKnown = true;
    return !keepsTexts || mirror->history != nullptr;
}

void endMirror(RuleMirror* mirror) {
    history::destroy(mirror->history);
    mirror->history = nullptr;
    mirror->entries.clear();
    mirror->newestOfTitle.clear();
    mirror->newestOfRuleKey.clear();
    mirror->newestOfArtistKey.clear();
}

bool isNewestTitle(const RuleMirror& mirror, const std::string& title, int32_t titleId) {
    if (mirror.appended == 0) // an empty history reads as the empty title
        return title.empty();
    // Equal titles have equal ids, so the newest recording of this id is the newest of all exactly
    // when the titles are equal.
    if ((titleId >= 0 && mirror.newestOfTitleKnown) || mirror.history == nullptr)
        return titleId >= 0 && static_cast<size_t>(titleId) < mirror.newestOfTitle.size() &&
               mirror.newestOfTitle[static_cast<size_t>(titleId)] == mirror.appended;
    return std::strcmp(history::newest(mirror.history), title.c_str()) == 0;
}

void mirrorPlayedEntry(RuleMirror* mirror, const std::string& title, int32_t entry, EntryKeyIds keys) {
    if (isNewestTitle(*mirror, title, keys.titleId))
        return;
    if (mirror->history != nullptr && !history::append(mirror->history, title.c_str()))
        return; // the plug-in's own copy would be refused alike; nothing is recorded
    mirror->held = std::min<int64_t>(mirror->held + 1, kHistoryRingSize);
    mirror->appended++;
    mirror->newestOfTitleKnown = mirror->newestOfTitleKnown && keys.titleId >= 0;
    noteNewest(&mirror->newestOfTitle, keys.titleId, mirror->appended);
    noteNewest(&mirror->newestOfRuleKey, keys.ruleKeyId, mirror->appended);
    noteNewest(&mirror->newestOfArtistKey, keys.artistKeyId, mirror->appended);
    mirror->entries.push_back(entry);
    while (mirror->entries.size() > static_cast<size_t>(mirror->held))
        mirror->entries.pop_front();
}

int32_t newestEntry(const RuleMirror& mirror) {
    return mirror.entries.empty() ? -1 : mirror.entries.back();
}

history::Refusal findMirroredRefusal(const RuleMirror& mirror, const char* title) {
    if (!mirror.limits.monitoring)
        return {history::kNotRefused, 0};
    return history::findRefusal(mirror.history, title, mirror.limits.artistLimit, mirror.limits.titleLimit);
}

history::Refusal findRefusalByIds(const RuleMirror& mirror, const char* title, int32_t entry,
                                  const std::vector<int32_t>& titleIds,
                                  const std::vector<int32_t>& ruleKeyIds) {
    // history::findRefusal, step for step, with ids for texts.
    const history::Refusal none = {history::kNotRefused, 0};
    if (!mirror.limits.monitoring)
        return none;
    const int64_t count = mirror.held;
    // The artist scan, newest first, stops at the newest recording of the entry's rule key.
    const int64_t artistLow = std::max<int64_t>(count - mirror.limits.artistLimit, 0);
    const int64_t sameKey =
        newestIndex(mirror, mirror.newestOfRuleKey, ruleKeyIds[static_cast<size_t>(entry)]);
    if (sameKey >= artistLow)
        return {history::kArtistScan, sameKey};
    if (artistLow <= 0)
        return none;
    const int64_t titleLow = std::max<int64_t>(count - mirror.limits.titleLimit, 0);
    if (titleLow > artistLow)
        return none;
    if (artistLow >= count && title[0] == '\0')
        return {history::kTitleScan, count}; // past the newest every index reads as ""
    // The scan finds the newest recording of the title: none is at artistLow or newer, where the
    // artist scan would have matched it (a title begins like itself).
    const int64_t sameTitle = newestIndex(mirror, mirror.newestOfTitle, titleIds[static_cast<size_t>(entry)]);
    if (sameTitle >= titleLow && sameTitle <= std::min(artistLow, count - 1))
        return {history::kTitleScan, sameTitle};
    return none;
}

std::string ruleKeyOf(const std::string& title) {
    std::string key;
    for (size_t i = 0; i < title.size() && i < 6 && (i < 3 || key.compare(0, 3, "the") == 0); i++)
        key += title[i] >= 'A' && title[i] <= 'Z' ? static_cast<char>(title[i] - 'A' + 'a') : title[i];
    return key;
}

SkipReason explainSkip(const RuleMirror& mirror, const std::string& title) {
    SkipReason reason = {kRuleUnknown, std::string(), std::string(), 0, -1};
    const history::Refusal refusal = findMirroredRefusal(mirror, title.c_str());
    if (refusal.scan == history::kNotRefused)
        return reason;
    reason.rule = refusal.scan == history::kArtistScan ? kRuleArtist : kRuleTitle;
    reason.matchedTitle = history::at(mirror.history, refusal.index);
    reason.tracksEarlier = static_cast<int32_t>(mirror.held - refusal.index);
    if (refusal.index < mirror.held)
        reason.matchedEntry = mirror.entries[static_cast<size_t>(refusal.index)];
    if (reason.rule == kRuleArtist)
        reason.key = ruleArtistKey(title);
    return reason;
}

std::string ruleArtistKey(const std::string& title) {
    return title.substr(0, history::prefixMatchIgnoringCase(title.c_str(), "the", 3) ? 6 : 3);
}

int32_t sameArtistDistance(const RuleMirror& mirror, int32_t artistKeyId) {
    const int64_t index = newestIndex(mirror, mirror.newestOfArtistKey, artistKeyId);
    const int64_t back = mirror.held - index;
    return index >= 0 && back <= artistWindow(mirror.limits) ? static_cast<int32_t>(back) : 0;
}

} // namespace sim
