// The mirror runs the plug-in's own filter code (sb_core) over its own history.
#include "tuning/rule_mirror.h"

#include <cstring>

#include "tuning/artist.h"
#include "history/repeat_filter.h"

namespace sim {

bool startMirror(RuleMirror* mirror, RuleLimits limits) {
    mirror->history = history::create(kHistoryRingSize);
    mirror->limits = limits;
    return mirror->history != nullptr;
}

void endMirror(RuleMirror* mirror) {
    history::destroy(mirror->history);
    mirror->history = nullptr;
    mirror->artistKeys.clear();
}

void mirrorPlayed(RuleMirror* mirror, const std::string& title) {
    if (std::strcmp(history::newest(mirror->history), title.c_str()) == 0)
        return;
    history::append(mirror->history, title.c_str());
    const std::string artist = artistOf(title);
    mirror->artistKeys.push_back(artist.empty() ? std::string() : artistKey(artist));
    while (mirror->artistKeys.size() > static_cast<size_t>(mirror->history->count))
        mirror->artistKeys.pop_front();
}

SkipReason explainSkip(const RuleMirror& mirror, const std::string& title) {
    SkipReason reason = {kRuleUnknown, std::string(), std::string(), 0};
    if (!mirror.limits.monitoring)
        return reason;
    const history::Refusal refusal = history::findRefusal(
        mirror.history, title.c_str(), mirror.limits.artistLimit, mirror.limits.titleLimit);
    if (refusal.scan == history::kNotRefused)
        return reason;
    reason.rule = refusal.scan == history::kArtistScan ? kRuleArtist : kRuleTitle;
    reason.matchedTitle = history::at(mirror.history, refusal.index);
    reason.tracksEarlier = static_cast<int32_t>(mirror.history->count - refusal.index);
    if (reason.rule == kRuleArtist) {
        // Titles beginning with "the" were compared over six characters, the rest over three.
        const size_t compared = history::prefixMatchIgnoringCase(title.c_str(), "the", 3) ? 6 : 3;
        reason.key = title.substr(0, compared);
    }
    return reason;
}

std::string sameArtistInWindow(const RuleMirror& mirror, const std::string& title) {
    const std::string artist = artistOf(title);
    if (artist.empty())
        return std::string();
    const std::string key = artistKey(artist);
    const int64_t count = mirror.history->count;
    const int64_t window = mirror.limits.artistLimit < count ? mirror.limits.artistLimit : count;
    for (int64_t i = count - 1; i >= count - window; i--)
        if (mirror.artistKeys[static_cast<size_t>(i)] == key)
            return history::at(mirror.history, i);
    return std::string();
}

} // namespace sim
