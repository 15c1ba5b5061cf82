// The playlist's own idea of the artist, as an operator reads a title, to judge what the
// plug-in's crude artist rule (the first three characters) gets wrong.
#pragma once

#include <string>

namespace sim {

// The artist of an "Artist - Title" title: the text before the first " - ", without surrounding
// blanks. Empty when the title has no " - " or nothing before it.
std::string artistOf(const std::string& title);

// The artist as compared between spellings, so that "The Beatles", "Beatles, The" and "BEATLES"
// agree, as do "AC/DC" and "AC-DC", and "Simon & Garfunkel" and "Simon and Garfunkel":
//   - letters A-Z count as a-z;
//   - "&" counts as the word "and";
//   - the artist is cut into words at every character that is not a letter or digit (bytes from
//     0x80 up count as letters: the playlist's encoding is unknown, so accents stay as written),
//     and that punctuation is left out; but the symbols @ # $ % * = ~ ^ | < > are part of a name,
//     kept as written, so that two names agree only when they share those too ("@peace" and
//     "Peace" are two acts, while "AC/DC" and "ACDC" are one);
//   - a leading word "the", or a last word "the" after a comma, is left out (not when it is the
//     only word);
//   - the remaining words are joined without spaces.
// An artist with no letters or digits at all ("!!!") is compared as written, case folded.
std::string artistKey(const std::string& artist);

// True when two artists with different keys are probably one act under two names, so that a
// refusal of one because of the other is what the rule meant:
//   - the names differ only in how they join words: "&", "+", "and" and "n" (as in "Guns N' Roses")
//     all read as "and" ("Guns N' Roses" / "Guns and Roses");
//   - or one name extends the other at a word boundary with an act it plays with, the extension
//     opening with "and", "with", "feat", "featuring" or "ft" ("Bob Marley" / "Bob Marley & The
//     Wailers", "Santana" / "Santana feat. Rob Thomas").
// A name extended by any other word is another artist ("Pink" / "Pink Floyd"). Words are compared
// as artistKey compares them, a leading "the" left out.
bool probablySameArtist(const std::string& a, const std::string& b);

} // namespace sim
