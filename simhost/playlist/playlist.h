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

// The most bytes a playlist file may hold: 64 MB. A station's largest playlist is a few MB (100,000
// entries of extended M3U with long paths are about 30 MB), and a file this size still fits a 32-bit
// process several times over while it is decoded and parsed; anything larger is another file (a
// recording, a disk image) picked by mistake, which would exhaust the heap before saying so.
constexpr int64_t kMostPlaylistBytes = int64_t{64} << 20;

enum PlaylistRead : int32_t { kPlaylistRead, kPlaylistUnreadable, kPlaylistTooLarge };

// The whole of the file at `path` when it holds at most `mostBytes`: its size is asked before
// anything is read, and a file that grows past it meanwhile is refused all the same, so that no
// more than `mostBytes` and a little are ever held. kPlaylistTooLarge: `size` gets the size found,
// or -1 when the file could only be read up to the limit.
PlaylistRead readPlaylistBytes(const std::string& path, int64_t mostBytes, std::string* bytes, int64_t* size);

// Why a file of `size` bytes (-1: unknown, beyond `mostBytes`) is refused, as a phrase to follow
// "the playlist NAME".
std::string tooLargeReason(int64_t size, int64_t mostBytes);

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
// holding a NUL character (as UTF-16 saved without its mark does: no title could carry it), one
// without titles, or one that does not look like a playlist (looksLikeNoPlaylist: a read-me). Every
// title read is non-empty and free of NULs.
bool readPlaylistFile(const std::string& fileName, const std::string& bytes, const CodePage& codePage,
                      PlaylistFile* file, std::string* reason);

// How the file was read: "UTF-16 LE converted to the ANSI code page 1252", or for a file without a
// mark "read as the ANSI code page 1252 (no byte-order mark)".
std::string encodingText(const PlaylistFile& file, const CodePage& codePage);

// One line for each thing in the reading the operator should know: characters the code page
// cannot hold, ill-formed places, UTF-8 without a mark. None for a clean file.
std::vector<std::string> encodingNotes(const PlaylistFile& file, const CodePage& codePage);

} // namespace sim
