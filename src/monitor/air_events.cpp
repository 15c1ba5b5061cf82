// The worker's notes of what the log was last told; a line goes out only when something changed.
#include "monitor/air_events.h"

#include <cstring>

#include "airlog/air_log.h"
#include "common/plugin_identity.h"
#include "common/plugin_state.h"
#include "history/title_history.h"

namespace {

constexpr int32_t kStopped = 0;
constexpr int32_t kPlaying = 1;
constexpr int32_t kPaused = 3;

// The state an is-playing answer stands for: any non-zero answer but 3 is playing.
int32_t stateOf(int32_t answer) {
    return answer == 0 ? kStopped : answer == kPaused ? kPaused : kPlaying;
}

const char* stateName(int32_t state) {
    return state == kStopped ? "stopped" : state == kPaused ? "paused" : "playing";
}

// FNV-1a over the whole title: enough to know the same text read again, without keeping a copy.
uint64_t titleHash(const char* title, uint32_t* length) {
    uint64_t hash = 14695981039346656037ull;
    const char* c = title;
    for (; *c != '\0'; c++)
        hash = (hash ^ static_cast<unsigned char>(*c)) * 1099511628211ull;
    *length = static_cast<uint32_t>(c - title);
    return hash;
}

// Writes the limits in force as `name` ("start", with the version as `detail`, or "limits") and
// notes them in `watch`.
void writeLimits(monitor::AirWatch* watch, const char* name, const char* detail, uint64_t at,
                 int32_t artistLimit, int32_t titleLimit, int32_t monitoring) {
    airlog::Event event = {};
    event.name = name;
    event.hasLimits = true;
    event.artistLimit = artistLimit;
    event.titleLimit = titleLimit;
    event.monitoring = monitoring;
    event.detail = detail;
    airlog::post(at, event);
    watch->limitsWritten = true;
    watch->artistLimit = artistLimit;
    watch->titleLimit = titleLimit;
    watch->monitoring = monitoring;
}

// A fresh record for the log's file of generation `generation`: nothing written to it yet, and the
// player taken as stopped, as it is when the plug-in starts.
void resetWatch(monitor::AirWatch* watch, int32_t generation) {
    *watch = {};
    watch->generation = generation;
    watch->playState = kStopped;
}

} // namespace

namespace monitor {

void beginAirWatch(AirWatch* watch) {
    resetWatch(watch, airlog::generation());
    if (!airlog::isOn())
        return;
    const PluginSettings& settings = pluginState.settings;
    writeLimits(watch, "start", kPluginVersion, airlog::now(), settings.SameArtistCheckLimit,
                settings.SameTitleCheckLimit, settings.EnablePlaylistMonitoring != 0 ? 1 : 0);
}

void watchAirPass(AirWatch* watch, int32_t playingAnswer) {
    if (!airlog::isOn())
        return;
    const int32_t generation = airlog::generation();
    if (generation != watch->generation)
        resetWatch(watch, generation);
    watch->pass++;
    const PluginSettings& settings = pluginState.settings;
    const int32_t artistLimit = settings.SameArtistCheckLimit;
    const int32_t titleLimit = settings.SameTitleCheckLimit;
    const int32_t monitoring = settings.EnablePlaylistMonitoring != 0 ? 1 : 0;
    if (!watch->limitsWritten || artistLimit != watch->artistLimit || titleLimit != watch->titleLimit ||
        monitoring != watch->monitoring)
        writeLimits(watch, "limits", nullptr, airlog::now(), artistLimit, titleLimit, monitoring);
    const int32_t state = stateOf(playingAnswer);
    if (state != watch->playState) {
        airlog::Event event = {};
        event.name = stateName(state);
        airlog::post(airlog::now(), event);
        watch->playState = state;
    }
}

uint64_t airEventTime() {
    return airlog::isOn() ? airlog::now() : 0;
}

void notePlayed(uint64_t at, int32_t index, const char* title) {
    if (!airlog::isOn())
        return;
    airlog::Event event = {};
    event.name = "played";
    event.position = index + 1;
    event.title = title;
    airlog::post(at, event);
}

void noteSkipped(AirWatch* watch, uint64_t at, int32_t index, const char* title,
                 const history::Refusal& refusal, const TitleHistory* history) {
    if (!airlog::isOn())
        return;
    uint32_t length;
    const uint64_t hash = titleHash(title, &length);
    const bool readAgain = watch->skipPass != 0 && watch->skipPass + 1 == watch->pass &&
                           watch->skipPosition == index && watch->skipLength == length &&
                           watch->skipHash == hash;
    watch->skipPass = watch->pass;
    watch->skipPosition = index;
    watch->skipLength = length;
    watch->skipHash = hash;
    if (readAgain)
        return;
    airlog::Event event = {};
    event.name = "skipped";
    event.position = index + 1;
    event.title = title;
    const bool artistRule = refusal.scan == history::kArtistScan;
    event.rule = artistRule ? "artist" : "title";
    event.keyLength = artistRule ? history::artistKeyLength(title) : 0;
    event.matched = history::at(history, refusal.index);
    event.hasBack = true;
    event.back = static_cast<int64_t>(history->count) - refusal.index;
    airlog::post(at, event);
}

} // namespace monitor
