#include "playlist.h"

#include <cctype>
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

std::vector<std::string> parseM3u(const std::vector<std::string>& lines) {
    std::vector<std::string> titles;
    std::string pendingTitle; // from the latest #EXTINF line, for the entry that follows it
    for (const std::string& line : lines) {
        if (line.compare(0, 8, "#EXTINF:") == 0) {
            const size_t comma = line.find(',');
            pendingTitle = comma != std::string::npos ? line.substr(comma + 1) : std::string();
        } else if (line[0] != '#') {
            titles.push_back(!pendingTitle.empty() ? pendingTitle : sim::titleFromPath(line));
            pendingTitle.clear();
        }
    }
    return titles;
}

} // namespace

namespace sim {

std::string titleFromPath(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    std::string name = slash != std::string::npos ? path.substr(slash + 1) : path;
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

std::vector<std::string> parsePlaylist(const std::string& fileName, const std::string& text) {
    const std::vector<std::string> lines = splitLines(text);
    const bool m3u = endsWithIgnoringCase(fileName, ".m3u") || endsWithIgnoringCase(fileName, ".m3u8") ||
                     (!lines.empty() && lines[0].compare(0, 7, "#EXTM3U") == 0);
    return m3u ? parseM3u(lines) : lines;
}

} // namespace sim
