// The mirror runs the plug-in's own filter code (sb_core) over its own history.
#include "tuning/rule_mirror.h"

#include <algorithm>
#include <cstring>

namespace sim {

int32_t artistWindow(const RuleLimits& limits) {
    if (!limits.monitoring || limits.artistLimit <= 0)
        return 0;
    return limits.artistLimit < kHistoryRingSize ? limits.artistLimit : kHistoryRingSize;
}

bool startMirror(RuleMirror* mirror, RuleLimits limits) {
    mirror->history = history::create(kHistoryRingSize);
    mirror->limits = limits;
    mirror->artistKeyIds.clear();
    mirror->entries.clear();
    mirror->newestOfTitle.clear();
    mirror->appended = 0;
    return mirror->history != nullptr;
}

void endMirror(RuleMirror* mirror) {
    history::destroy(mirror->history);
    mirror->history = nullptr;
    mirror->artistKeyIds.clear();
    mirror->entries.clear();
    mirror->newestOfTitle.clear();
}

void mirrorPlayedEntry(RuleMirror* mirror, const std::string& title, int32_t entry, int32_t artistKeyId,
                       int32_t titleId) {
    if (std::strcmp(history::newest(mirror->history), title.c_str()) == 0)
        return;
    if (!history::append(mirror->history, title.c_str()))
        return; // the plug-in's own copy would be refused alike; nothing is recorded
    mirror->appended++;
    if (titleId >= 0) {
        if (static_cast<size_t>(titleId) >= mirror->newestOfTitle.size())
            mirror->newestOfTitle.resize(static_cast<size_t>(titleId) + 1, 0);
        mirror->newestOfTitle[static_cast<size_t>(titleId)] = mirror->appended;
    }
    mirror->artistKeyIds.push_back(artistKeyId);
    mirror->entries.push_back(entry);
    while (mirror->artistKeyIds.size() > static_cast<size_t>(mirror->history->count)) {
        mirror->artistKeyIds.pop_front();
        mirror->entries.pop_front();
    }
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
    const auto idOf = [&](const std::vector<int32_t>& ids, int64_t index) {
        return ids[static_cast<size_t>(mirror.entries[static_cast<size_t>(index)])];
    };
    const int64_t count = mirror.history->count;
    const int32_t ruleKey = ruleKeyIds[static_cast<size_t>(entry)];
    const int64_t artistLow = std::max<int64_t>(count - mirror.limits.artistLimit, 0);
    for (int64_t i = count - 1; i >= artistLow; i--)
        if (idOf(ruleKeyIds, i) == ruleKey)
            return {history::kArtistScan, i};
    if (artistLow <= 0)
        return none;
    const int64_t titleLow = std::max<int64_t>(count - mirror.limits.titleLimit, 0);
    if (titleLow > artistLow)
        return none;
    if (artistLow >= count && title[0] == '\0')
        return {history::kTitleScan, count}; // past the newest every index reads as ""
    // The scan finds the newest recording of the title: none is at artistLow or newer, where the
    // artist scan would have matched it (a title begins like itself).
    const auto titleId = static_cast<size_t>(titleIds[static_cast<size_t>(entry)]);
    const int64_t newest = titleId < mirror.newestOfTitle.size() ? mirror.newestOfTitle[titleId] : 0;
    const int64_t index = newest - 1 - (mirror.appended - count);
    if (newest > 0 && index >= titleLow && index <= std::min(artistLow, count - 1))
        return {history::kTitleScan, index};
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
    reason.tracksEarlier = static_cast<int32_t>(mirror.history->count - refusal.index);
    if (refusal.index < mirror.history->count)
        reason.matchedEntry = mirror.entries[static_cast<size_t>(refusal.index)];
    if (reason.rule == kRuleArtist)
        reason.key = ruleArtistKey(title);
    return reason;
}

std::string ruleArtistKey(const std::string& title) {
    return title.substr(0, history::prefixMatchIgnoringCase(title.c_str(), "the", 3) ? 6 : 3);
}

int32_t sameArtistDistance(const RuleMirror& mirror, int32_t artistKeyId) {
    if (artistKeyId < 0)
        return 0;
    const int32_t count = mirror.history->count;
    const int32_t window = std::min(artistWindow(mirror.limits), count);
    for (int32_t back = 1; back <= window; back++)
        if (mirror.artistKeyIds[static_cast<size_t>(count - back)] == artistKeyId)
            return back;
    return 0;
}

} // namespace sim
