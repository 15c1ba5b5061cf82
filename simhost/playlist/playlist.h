// Playlist files for the simulated host: extended M3U (titles and lengths from #EXTINF lines, else
// the file name without folder and extension) or plain text (one title per line).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// The non-empty lines of `text`, in order, without their LF or CR LF ends; a UTF-8 byte-order mark
// at the start is dropped. Also what the tests use to read back the files they check.
std::vector<std::string> splitLines(const std::string& text);

struct PlaylistEntry {
    std::string title;
    int32_t seconds; // the length an #EXTINF line gave, or 0 when unknown (none, or -1 for a stream)
};

// Entries of the playlist in `text`. M3U when `fileName` ends in .m3u or .m3u8 (any case) or the
// text starts with #EXTM3U; plain text otherwise. Blank lines are skipped and line ends may be
// LF or CR LF; a UTF-8 byte-order mark at the start is ignored.
std::vector<PlaylistEntry> parsePlaylistEntries(const std::string& fileName, const std::string& text);

// The titles alone of parsePlaylistEntries.
std::vector<std::string> parsePlaylist(const std::string& fileName, const std::string& text);

// "C:\music\Abba - SOS.mp3" or "http://host/a/b.ogg" -> "Abba - SOS" / "b".
std::string titleFromPath(const std::string& path);

} // namespace sim
