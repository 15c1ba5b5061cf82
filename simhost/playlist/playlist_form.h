// How much of a playlist reads as a station's titles. The plug-in's artist rule compares the first
// characters of a title, and the figures of a run tell artists apart by the text before " - ": both
// assume "Artist - Title". A playlist whose titles mostly lack that form gets a warning; one in
// which nearly every title lacks it has no artist to judge; and a file in which nearly no line
// looks like a track at all (a read-me picked in the Open dialog) is no playlist.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "playlist/playlist.h"

namespace sim {

// The longest title that still looks like a track without the "Artist - Title" form: longer lines
// are as a text editor wraps prose.
constexpr size_t kLongestBareTitle = 60;

struct PlaylistForm {
    int32_t entries;
    int32_t withoutArtist; // titles without the "Artist - Title" form
    int32_t trackLike;     // titles that look like a track (hasArtistTitleForm, or looksLikeBareTitle)
};

// True when `title` holds " - " with something other than blanks before it and after it.
bool hasArtistTitleForm(const std::string& title);

// True when `title`, which lacks the "Artist - Title" form, still reads as a name rather than a
// line of prose: at most kLongestBareTitle characters, opening with a letter, a digit, a byte from
// 0x80 (a letter of the code page), a quote or an opening bracket, and ending in none of . , : ;
bool looksLikeBareTitle(const std::string& title);

PlaylistForm playlistForm(const std::vector<PlaylistEntry>& entries);

// More than half the titles lack the "Artist - Title" form.
bool mostLackArtistForm(const PlaylistForm& form);

// 90 % of the titles or more lack it: the playlist's own artists are unknown, and a sweep leaves
// its artist goal unjudged.
bool nearlyAllLackArtistForm(const PlaylistForm& form);

// Fewer than one title in ten looks like a track: the file is not a playlist (at least one entry).
bool looksLikeNoPlaylist(const PlaylistForm& form);

// The warning line when most titles lack the form (mostLackArtistForm), without "warning: "; ""
// otherwise.
std::string artistFormWarning(const PlaylistForm& form);

// Why the file is refused when looksLikeNoPlaylist, as a phrase to follow "the playlist NAME".
std::string noPlaylistReason(const PlaylistForm& form);

} // namespace sim
