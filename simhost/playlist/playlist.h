// Playlist files for the simulated host: extended M3U (titles and lengths from #EXTINF lines, else
// the file name without folder and extension) or plain text (one title per line), in the code page's
// bytes, UTF-8 or UTF-16, read into titles in the player's code page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "playlist/text_encoding.h"

namespace sim {

// The non-empty lines of `text`, in order, without their ends (LF, CR LF, or a CR alone); a UTF-8
// byte-order mark at the start is dropped. Also what the tests use to read back the files they check.
std::vector<std::string> splitLines(const std::string& text);

struct PlaylistEntry {
    std::string title;
    int32_t seconds; // the length an #EXTINF line gave, or 0 when unknown (none, or -1 for a stream)
};

// Entries of the playlist in `text`. M3U when `fileName` ends in .m3u or .m3u8 (any case) or the
// text starts with #EXTM3U; plain text otherwise. Blank lines are skipped and line ends may be
// LF, CR LF or CR alone; a UTF-8 byte-order mark at the start is ignored. An #EXTINF title follows
// the first comma outside its attributes' double quotes.
std::vector<PlaylistEntry> parsePlaylistEntries(const std::string& fileName, const std::string& text);

// The titles alone of parsePlaylistEntries.
std::vector<std::string> parsePlaylist(const std::string& fileName, const std::string& text);

// "C:\music\Abba - SOS.mp3" or "http://host/a/b.ogg" -> "Abba - SOS" / "b"; a path ending in a
// slash is its own title.
std::string titleFromPath(const std::string& path);

// A playlist file as the player reads it.
struct PlaylistFile {
    std::vector<PlaylistEntry> entries;
    TextEncoding encoding;
    int32_t unheld;     // characters the code page cannot hold (shown as CodePage::unheldShown)
    int32_t invalid;    // ill-formed places in a UTF-8 or UTF-16 file, each read as U+FFFD
    bool looksLikeUtf8; // no mark, yet well-formed UTF-8 beyond ASCII: the player will garble it
};

// Reads the file named `fileName` holding `bytes`: decoded by its byte-order mark (or as UTF-8 when
// named .m3u8), converted to `codePage` as the player hands titles to plug-ins, then parsed. False,
// with `reason` a phrase to follow "the playlist NAME" on one line, for a file of 0 bytes, one
// holding a NUL character (as UTF-16 saved without its mark does: no title could carry it), or one
// without titles. Every title read is non-empty and free of NULs.
bool readPlaylistFile(const std::string& fileName, const std::string& bytes, const CodePage& codePage,
                      PlaylistFile* file, std::string* reason);

// How the file was read: "UTF-16 LE converted to the ANSI code page 1252", or for a file without a
// mark "read as the ANSI code page 1252 (no byte-order mark)".
std::string encodingText(const PlaylistFile& file, const CodePage& codePage);

// One line for each thing in the reading the operator should know: characters the code page
// cannot hold, ill-formed places, UTF-8 without a mark. None for a clean file.
std::vector<std::string> encodingNotes(const PlaylistFile& file, const CodePage& codePage);

} // namespace sim
