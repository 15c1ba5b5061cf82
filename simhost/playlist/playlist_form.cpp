// The form of a playlist's titles, counted once over its entries, and the operator's words for it.
#include "playlist/playlist_form.h"

#include <cstring>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// "120 of the 152 titles (78 %)", the share rounded down so that "100 %" means every one.
std::string shareText(int32_t part, int32_t whole) {
    return std::to_string(part) + " of the " + std::to_string(whole) +
           (whole == 1 ? " title (" : " titles (") +
           std::to_string(static_cast<int64_t>(part) * 100 / whole) + " %)";
}

} // namespace

namespace sim {

bool hasArtistTitleForm(const std::string& title) {
    const size_t dash = title.find(" - ");
    if (dash == std::string::npos)
        return false;
    bool artist = false, rest = false;
    for (size_t i = 0; i < dash; i++)
        artist = artist || !isBlank(title[i]);
    for (size_t i = dash + 3; i < title.size(); i++)
        rest = rest || !isBlank(title[i]);
    return artist && rest;
}

bool looksLikeBareTitle(const std::string& title) {
    if (title.empty() || title.size() > kLongestBareTitle)
        return false;
    const auto first = static_cast<unsigned char>(title.front());
    const bool opensAsAName = (first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z') ||
                              (first >= '0' && first <= '9') || first >= 0x80 || std::strchr("\"'([", first);
    return opensAsAName && std::strchr(".,:;", title.back()) == nullptr;
}

PlaylistForm playlistForm(const std::vector<PlaylistEntry>& entries) {
    PlaylistForm form = {static_cast<int32_t>(entries.size()), 0, 0};
    for (const PlaylistEntry& entry : entries) {
        const bool artist = hasArtistTitleForm(entry.title);
        form.withoutArtist += artist ? 0 : 1;
        form.trackLike += artist || looksLikeBareTitle(entry.title) ? 1 : 0;
    }
    return form;
}

bool mostLackArtistForm(const PlaylistForm& form) {
    return static_cast<int64_t>(form.withoutArtist) * 2 > form.entries;
}

bool nearlyAllLackArtistForm(const PlaylistForm& form) {
    return form.entries > 0 &&
           static_cast<int64_t>(form.withoutArtist) * 10 >= static_cast<int64_t>(form.entries) * 9;
}

bool looksLikeNoPlaylist(const PlaylistForm& form) {
    return form.entries > 0 && static_cast<int64_t>(form.trackLike) * 10 < form.entries;
}

std::string artistFormWarning(const PlaylistForm& form) {
    if (!mostLackArtistForm(form))
        return std::string();
    return shareText(form.withoutArtist, form.entries) +
           " have no \"Artist - Title\" form (an artist, \" - \", then the title): the plug-in's artist rule "
           "sees only the first characters of whatever such a title holds, and the figures cannot tell "
           "its artist";
}

std::string noPlaylistReason(const PlaylistForm& form) {
    return "does not look like a playlist: only " + std::to_string(form.trackLike) + " of its " +
           std::to_string(form.entries) +
           " lines look like a track (\"Artist - Title\", or a name of at most " +
           std::to_string(kLongestBareTitle) +
           " characters that does not end a sentence); the rest read as text, as in a read-me. Choose the "
           "station's playlist (.m3u, .m3u8, or a .txt of titles)";
}

} // namespace sim
