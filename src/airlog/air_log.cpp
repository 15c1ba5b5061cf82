// The log's process-wide switch, its writer and the one conversion of the player's text to UTF-8.
#include "airlog/air_log.h"

#include <windows.h>

#include <atomic>
#include <cstring>

#include "airlog/air_clock.h"
#include "airlog/air_line.h"
#include "airlog/air_path.h"
#include "airlog/air_writer.h"
#include "common/bounded_text.h"

namespace {

// The writer, once a path was set. The host thread sets it; the worker reads it when it posts.
// 32-bit atomic (a pointer of this 32-bit module).
std::atomic<airlog::Writer*> logWriter{nullptr};
std::atomic<int32_t> logOn{0};             // 32-bit atomic: a file is set and the writer runs
std::atomic<int32_t> logGeneration{0};     // 32-bit atomic: changed by every setFile that changes the file
char logPath[airlog::kAirLogPathCapacity]; // host thread only: the path last set

// Writes the player's text `text` (at most `bytes` bytes of it, and at most kTitleBytesTaken) as a
// field's UTF-8 text into `out`: decoded from the player's ANSI code page. Null stays null.
const char* asField(const char* text, size_t bytes, char* out, size_t capacity) {
    if (text == nullptr)
        return nullptr;
    const size_t most =
        bytes < static_cast<size_t>(airlog::kTitleBytesTaken) ? bytes : airlog::kTitleBytesTaken;
    const size_t length = strnlen(text, most);
    WCHAR wide[airlog::kTitleBytesTaken];
    const int units = length == 0 ? 0
                                  : MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), wide,
                                                        airlog::kTitleBytesTaken);
    airlog::encodeUtf8(reinterpret_cast<const uint16_t*>(wide), units > 0 ? static_cast<size_t>(units) : 0,
                       out, capacity);
    return out;
}

// Turns the log off and takes its writer away from the posters; returns it (or null).
airlog::Writer* detachWriter() {
    logOn = 0;
    logGeneration++;
    logPath[0] = '\0';
    return logWriter.exchange(nullptr);
}

} // namespace

namespace airlog {

void setFile(const char* path) {
    if (std::strcmp(path, logPath) == 0)
        return;
    copyBounded(logPath, sizeof logPath, path);
    Writer* writer = logWriter;
    if (path[0] == '\0') {
        logOn = 0;
        if (writer != nullptr)
            setWriterPath(writer, "");
    } else if (writer != nullptr) {
        setWriterPath(writer, path);
    } else {
        logWriter = writer = openWriter(path);
        if (writer == nullptr)
            logPath[0] = '\0'; // the log stays off; the next setFile tries again
    }
    logGeneration++;
    logOn = path[0] != '\0' && writer != nullptr ? 1 : 0;
}

bool isOn() {
    return logOn != 0;
}

int32_t generation() {
    return logGeneration;
}

uint64_t now() {
    return clockNow();
}

void post(uint64_t at, const Event& event) {
    Writer* writer = logWriter;
    if (logOn == 0 || writer == nullptr)
        return;
    char title[kTitleFieldCapacity], key[32], matched[kTitleFieldCapacity]; // a key is 6 bytes at most
    char rest[kRestCapacity];
    Fields fields = {};
    fields.event = event.name;
    fields.position = event.position;
    fields.title = asField(event.title, kTitleBytesTaken, title, sizeof title);
    fields.rule = event.rule;
    fields.key = event.keyLength > 0
                     ? asField(event.title, static_cast<size_t>(event.keyLength), key, sizeof key)
                     : nullptr;
    fields.matched = asField(event.matched, kTitleBytesTaken, matched, sizeof matched);
    fields.hasBack = event.hasBack;
    fields.back = event.back;
    fields.hasLimits = event.hasLimits;
    fields.artistLimit = event.artistLimit;
    fields.titleLimit = event.titleLimit;
    fields.monitoring = event.monitoring;
    fields.detail = event.detail;
    const size_t length = formatRest(fields, rest, sizeof rest);
    postLine(writer, at, rest, length);
}

bool close(uint32_t timeoutMs) {
    Writer* writer = detachWriter();
    return writer == nullptr || closeWriter(writer, timeoutMs);
}

void abandon() {
    Writer* writer = detachWriter();
    if (writer != nullptr)
        abandonWriter(writer);
}

} // namespace airlog
