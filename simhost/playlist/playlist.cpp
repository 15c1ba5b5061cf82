// Reads the two playlist forms; an #EXTINF line's length is kept when it is a whole positive
// number of seconds (a fraction is dropped).
#include "playlist/playlist.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

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
int32_t extinfSeconds(const std::string& value) {
    size_t digits = 0;
    while (digits < value.size() && digits < 9 && std::isdigit(static_cast<unsigned char>(value[digits])))
        digits++;
    return digits == 0 ? 0 : static_cast<int32_t>(std::strtol(value.substr(0, digits).c_str(), nullptr, 10));
}

// The entries of an extended M3U playlist's lines.
std::vector<sim::PlaylistEntry> parseM3u(const std::vector<std::string>& lines) {
    std::vector<sim::PlaylistEntry> entries;
    sim::PlaylistEntry pending = {}; // from the latest #EXTINF line, for the entry that follows it
    for (const std::string& line : lines) {
        if (line.compare(0, 8, "#EXTINF:") == 0) {
            const size_t comma = line.find(',');
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

} // namespace

namespace sim {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? text.substr(3) : text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

std::string titleFromPath(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    std::string name = slash != std::string::npos ? path.substr(slash + 1) : path;
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
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

} // namespace sim
