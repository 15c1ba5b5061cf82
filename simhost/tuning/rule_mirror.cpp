// The mirror runs the plug-in's own filter code (sb_core) over its own history.
#include "tuning/rule_mirror.h"

#include <algorithm>
#include <cstring>

#include "tuning/artist.h"
#include "history/repeat_filter.h"

namespace sim {

int32_t artistWindow(const RuleLimits& limits) {
    if (!limits.monitoring || limits.artistLimit <= 0)
        return 0;
    return limits.artistLimit < kHistoryRingSize ? limits.artistLimit : kHistoryRingSize;
}

bool startMirror(RuleMirror* mirror, RuleLimits limits) {
    mirror->history = history::create(kHistoryRingSize);
    mirror->limits = limits;
    return mirror->history != nullptr;
}

void endMirror(RuleMirror* mirror) {
    history::destroy(mirror->history);
    mirror->history = nullptr;
    mirror->artistKeys.clear();
    mirror->entries.clear();
}

void mirrorPlayed(RuleMirror* mirror, const std::string& title) {
    mirrorPlayedEntry(mirror, title, -1);
}

void mirrorPlayedEntry(RuleMirror* mirror, const std::string& title, int32_t entry) {
    if (std::strcmp(history::newest(mirror->history), title.c_str()) == 0)
        return;
    if (!history::append(mirror->history, title.c_str()))
        return; // the plug-in's own copy would be refused alike; nothing is recorded
    const std::string artist = artistOf(title);
    mirror->artistKeys.push_back(artist.empty() ? std::string() : artistKey(artist));
    mirror->entries.push_back(entry);
    while (mirror->artistKeys.size() > static_cast<size_t>(mirror->history->count)) {
        mirror->artistKeys.pop_front();
        mirror->entries.pop_front();
    }
}

SkipReason explainSkip(const RuleMirror& mirror, const std::string& title) {
    SkipReason reason = {kRuleUnknown, std::string(), std::string(), 0, -1};
    if (!mirror.limits.monitoring)
        return reason;
    const history::Refusal refusal = history::findRefusal(
        mirror.history, title.c_str(), mirror.limits.artistLimit, mirror.limits.titleLimit);
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

std::string sameArtistInWindow(const RuleMirror& mirror, const std::string& title) {
    const int32_t distance = sameArtistDistance(mirror, title);
    return distance == 0 ? std::string() : history::at(mirror.history, mirror.history->count - distance);
}

int32_t sameArtistDistance(const RuleMirror& mirror, const std::string& title) {
    const std::string artist = artistOf(title);
    if (artist.empty())
        return 0;
    const std::string key = artistKey(artist);
    const int32_t count = mirror.history->count;
    const int32_t window = std::min(artistWindow(mirror.limits), count);
    for (int32_t back = 1; back <= window; back++)
        if (mirror.artistKeys[static_cast<size_t>(count - back)] == key)
            return back;
    return 0;
}

} // namespace sim
