// Reads the two playlist forms; an #EXTINF line's length is kept when it is a whole positive
// number of seconds (a fraction is dropped). A file is first made into the code page's text, so
// that titles reach the plug-in as the player would hand them over.
#include "playlist/playlist.h"

#include <cctype>
#include <cstdio>

#include "playlist/playlist_form.h"

namespace {

bool endsWithIgnoringCase(const std::string& text, const std::string& suffix) {
    if (text.size() < suffix.size())
        return false;
    for (size_t i = 0; i < suffix.size(); i++) {
        const auto a = static_cast<unsigned char>(text[text.size() - suffix.size() + i]);
        if (std::tolower(a) != std::tolower(static_cast<unsigned char>(suffix[i])))
            return false;
    }
    return true;
}

// The length at the start of an #EXTINF line's value ("231,Title" or "231.5 tvg-x=1,Title"), or 0.
// A length of more than nine digits counts as the most kept, 999,999,999 s, never as its first nine.
int32_t extinfSeconds(const std::string& value) {
    constexpr int32_t kMostSeconds = 999999999;
    int32_t seconds = 0;
    for (size_t i = 0; i < value.size() && std::isdigit(static_cast<unsigned char>(value[i])); i++)
        seconds = seconds > kMostSeconds / 10 ? kMostSeconds : seconds * 10 + (value[i] - '0');
    return seconds;
}

// Where an #EXTINF line's title begins: after the first comma outside the double quotes of its
// attributes (tvg-name="Smith, John"), or after the first comma at all when a quote is left open.
// npos when there is no comma.
size_t extinfTitleComma(const std::string& line) {
    bool quoted = false;
    for (size_t i = 8; i < line.size(); i++) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ',' && !quoted)
            return i;
    }
    return line.find(',');
}

// The entries of an extended M3U playlist's lines.
std::vector<sim::PlaylistEntry> parseM3u(const std::vector<std::string>& lines) {
    std::vector<sim::PlaylistEntry> entries;
    sim::PlaylistEntry pending = {}; // from the latest #EXTINF line, for the entry that follows it
    for (const std::string& line : lines) {
        if (line.compare(0, 8, "#EXTINF:") == 0) {
            const size_t comma = extinfTitleComma(line);
            pending.title = comma != std::string::npos ? line.substr(comma + 1) : std::string();
            pending.seconds = extinfSeconds(line.substr(8));
        } else if (line[0] != '#') {
            if (pending.title.empty())
                pending.title = sim::titleFromPath(line);
            entries.push_back(pending);
            pending = {};
        }
    }
    return entries;
}

// The line (from 1) of the first NUL in `text`, or 0 when there is none.
template <typename Text>
int32_t lineOfFirstNul(const Text& text) {
    const size_t at = text.find(typename Text::value_type(0));
    if (at == Text::npos)
        return 0;
    int32_t line = 1; // a line ends at LF, or at a CR that no LF follows
    for (size_t i = 0; i < at; i++)
        line += text[i] == '\n' || (text[i] == '\r' && text[i + 1] != '\n') ? 1 : 0;
    return line;
}

// Why a file holding NULs is no playlist: named as UTF-16 saved without its mark when NULs fill
// most of one byte position (the high bytes of ASCII text), else by the line of the first.
std::string nulReason(const std::string& bytes, size_t markLength, int32_t line) {
    size_t nulsAtEven = 0, nulsAtOdd = 0;
    for (size_t i = 0; i < bytes.size(); i++)
        if (bytes[i] == '\0')
            ++(i % 2 == 0 ? nulsAtEven : nulsAtOdd);
    if (markLength == 0 && (nulsAtOdd > bytes.size() / 4 || nulsAtEven > bytes.size() / 4)) {
        const bool littleEndian = nulsAtOdd > nulsAtEven;
        return std::string("looks like UTF-16 ") + (littleEndian ? "LE" : "BE") +
               " saved without its byte-order mark (every other byte is 0): save it as UTF-8, or as UTF-16 "
               "with its mark (Notepad's \"Unicode\")";
    }
    return "holds a NUL character on line " + std::to_string(line) + ": it is not a text playlist";
}

// True when `bytes` go beyond ASCII and are well-formed UTF-8 throughout.
bool isUtf8BeyondAscii(const std::string& bytes) {
    bool beyondAscii = false;
    for (char c : bytes)
        beyondAscii = beyondAscii || (static_cast<unsigned char>(c) & 0x80) != 0;
    int32_t invalid = 0;
    return beyondAscii && (sim::decodeUtf8(bytes, 0, &invalid), invalid == 0);
}

} // namespace

namespace sim {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    const size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    // A line ends at LF, at CR LF, or at a CR alone (as old Mac tools save).
    for (size_t at = start; at < text.size();) {
        const size_t end = text.find_first_of("\r\n", at);
        const size_t stop = end == std::string::npos ? text.size() : end;
        if (stop > at)
            lines.push_back(text.substr(at, stop - at));
        at = stop + (stop + 1 < text.size() && text[stop] == '\r' && text[stop + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

PlaylistRead readPlaylistBytes(const std::string& path, int64_t mostBytes, std::string* bytes,
                               int64_t* size) {
    bytes->clear();
    *size = -1;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return kPlaylistUnreadable;
    // The size first, where the C library can tell it: a 32-bit ftell cannot beyond 2 GB, and a
    // device has none, but the read below stops at the limit all the same.
    const long found = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    std::rewind(file);
    if (found > mostBytes) {
        std::fclose(file);
        *size = found;
        return kPlaylistTooLarge;
    }
    if (found > 0)
        bytes->reserve(static_cast<size_t>(found));
    char buffer[65536];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        bytes->append(buffer, got);
        if (static_cast<int64_t>(bytes->size()) > mostBytes) {
            std::fclose(file);
            std::string().swap(*bytes);
            return kPlaylistTooLarge;
        }
    }
    const bool read = std::ferror(file) == 0;
    std::fclose(file);
    return read ? kPlaylistRead : kPlaylistUnreadable;
}

std::string tooLargeReason(int64_t size, int64_t mostBytes) {
    char megabytes[32];
    std::snprintf(megabytes, sizeof megabytes, "%.1f", static_cast<double>(size) / (1 << 20));
    const std::string found = size >= 0 ? "is " + std::string(megabytes) + " MB, more" : "is larger";
    return found + " than the " + std::to_string(mostBytes >> 20) +
           " MB a playlist may hold: no station's playlist comes near that size, so it is not read. "
           "Choose the playlist itself (.m3u, .m3u8, .txt)";
}

std::string titleFromPath(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    std::string name = slash != std::string::npos ? path.substr(slash + 1) : path;
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name.empty() ? path : name;
}

std::vector<PlaylistEntry> parsePlaylistEntries(const std::string& fileName, const std::string& text) {
    const std::vector<std::string> lines = splitLines(text);
    const bool m3u = endsWithIgnoringCase(fileName, ".m3u") || endsWithIgnoringCase(fileName, ".m3u8") ||
                     (!lines.empty() && lines[0].compare(0, 7, "#EXTM3U") == 0);
    if (m3u)
        return parseM3u(lines);
    std::vector<PlaylistEntry> entries;
    for (const std::string& line : lines)
        entries.push_back({line, 0});
    return entries;
}

std::vector<std::string> parsePlaylist(const std::string& fileName, const std::string& text) {
    std::vector<std::string> titles;
    for (const PlaylistEntry& entry : parsePlaylistEntries(fileName, text))
        titles.push_back(entry.title);
    return titles;
}

bool readPlaylistFile(const std::string& fileName, const std::string& bytes, const CodePage& codePage,
                      PlaylistFile* file, std::string* reason) {
    *file = {};
    if (bytes.empty()) {
        *reason = "is empty (0 bytes)";
        return false;
    }
    size_t markLength = 0;
    file->encoding = detectEncoding(fileName, bytes, &markLength);
    std::string text;
    int32_t nulLine = 0;
    if (file->encoding == kCodePageBytes) {
        text = bytes;
        nulLine = lineOfFirstNul(text);
        file->looksLikeUtf8 = nulLine == 0 && isUtf8BeyondAscii(bytes);
    } else {
        const std::u16string wide =
            file->encoding == kUtf16Le || file->encoding == kUtf16Be
                ? decodeUtf16(bytes, markLength, file->encoding == kUtf16Be, &file->invalid)
                : decodeUtf8(bytes, markLength, &file->invalid);
        nulLine = lineOfFirstNul(wide);
        if (nulLine == 0)
            text = codePage.fromUtf16(wide, &file->unheld);
    }
    if (nulLine != 0 || text.find('\0') != std::string::npos) {
        *reason = nulReason(bytes, markLength, nulLine != 0 ? nulLine : lineOfFirstNul(text));
        return false;
    }
    file->entries = parsePlaylistEntries(fileName, text);
    if (file->entries.empty()) {
        *reason = "holds no titles";
        return false;
    }
    const PlaylistForm form = playlistForm(file->entries);
    if (looksLikeNoPlaylist(form)) {
        *reason = noPlaylistReason(form);
        return false;
    }
    return true;
}

std::string encodingText(const PlaylistFile& file, const CodePage& codePage) {
    if (file.encoding == kCodePageBytes)
        return "read as " + codePage.name + " (no byte-order mark)";
    return std::string(encodingName(file.encoding)) + " converted to " + codePage.name;
}

std::vector<std::string> encodingNotes(const PlaylistFile& file, const CodePage& codePage) {
    std::vector<std::string> notes;
    if (file.invalid > 0)
        notes.push_back(std::to_string(file.invalid) + (file.invalid == 1 ? " place" : " places") +
                        " in the playlist " + (file.invalid == 1 ? "is" : "are") + " not well-formed " +
                        (file.encoding == kUtf16Le || file.encoding == kUtf16Be ? "UTF-16" : "UTF-8") +
                        ": each is read as one character the player cannot show");
    if (file.unheld > 0)
        notes.push_back(std::to_string(file.unheld) + (file.unheld == 1 ? " character" : " characters") +
                        " of the playlist " + (file.unheld == 1 ? "has" : "have") + " no place in " +
                        codePage.name + ": the player hands " + (file.unheld == 1 ? "it" : "them") +
                        " to the plug-in as " + codePage.unheldShown);
    if (file.looksLikeUtf8)
        notes.push_back("the playlist looks like UTF-8 saved without a byte-order mark: the player reads its "
                        "bytes as " +
                        codePage.name +
                        ", so accented letters arrive garbled; name it .m3u8 or save it with "
                        "the mark");
    return notes;
}

} // namespace sim
