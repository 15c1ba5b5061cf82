// The playlist's own artist, and the spelling-blind key that tells the report which differently
// spelt artists are one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tuning/artist.h"

namespace {

TEST(Artist, IsTheTextBeforeTheFirstSpacedDash) {
    EXPECT_EQ(sim::artistOf("Queen - Bohemian Rhapsody"), "Queen");
    EXPECT_EQ(sim::artistOf("  Run-D.M.C.  - It's Tricky - Live"), "Run-D.M.C.");
    EXPECT_EQ(sim::artistOf("Top of the Hour (station ID)"), "");
    EXPECT_EQ(sim::artistOf(" - untitled"), "");
}

TEST(Artist, SpellingsOfOneArtistShareAKey) {
    const std::vector<std::vector<std::string>> sameArtist = {
        {"The Beatles", "Beatles, The", "BEATLES", "the beatles", "Beatles ,The"},
        {"AC/DC", "ACDC", "AC-DC", "ac dc"},
        {"Simon & Garfunkel", "Simon and Garfunkel", "Simon&Garfunkel"},
        {"Guns N' Roses", "Guns N Roses", "Guns 'N' Roses"},
        {"The B-52's", "B-52s", "B-52's"},
        {"R.E.M.", "REM"},
        {"@peace", "@Peace", "@ peace"},
        {"Panic! at the Disco", "Panic at the Disco"},
        {"Ke$ha", "KE$HA"},
    };
    for (const auto& spellings : sameArtist)
        for (const std::string& spelling : spellings)
            EXPECT_EQ(sim::artistKey(spelling), sim::artistKey(spellings[0])) << spelling;
}

TEST(Artist, DifferentArtistsKeepDifferentKeys) {
    const std::vector<std::pair<std::string, std::string>> different = {
        {"Queen", "Queensryche"},
        {"Abba", "Abbey Road Ensemble"},
        {"The Who", "The White Stripes"},
        {"Them", "The M"},
        {"Tyler, The Creator", "Tyler"},
        {"Meet the", "Meet"},          // a "the" at the end is the name's own, but after a comma
        {"Beyonc\xC3\xA9", "Beyonce"}, // bytes above ASCII stay as written
        // A symbol is part of a name; punctuation is not. Two names whose letters agree are two
        // acts when one carries a symbol the other lacks.
        {"@peace", "Peace"},
        {"Ke$ha", "Kesha"},
        {"#1 Dads", "1 Dads"},
        {"*NSYNC", "NSYNC"},
        {"Maroon 5", "Maroon"},
        {"Sunn O)))", "Sunn"},
        {"a=b", "ab"},
    };
    for (const auto& [a, b] : different)
        EXPECT_NE(sim::artistKey(a), sim::artistKey(b)) << a << " / " << b;
    EXPECT_EQ(sim::artistKey("The The"), "the"); // a lone "the" is the name itself
    EXPECT_EQ(sim::artistKey("!!!"), "!!!");     // no letters at all: compared as written
}

TEST(Artist, ProbablyOneArtistUnderTwoNames) {
    const std::vector<std::pair<std::string, std::string>> probablyOne = {
        {"Bob Marley", "Bob Marley & The Wailers"},
        {"Bob Marley and the Wailers", "Bob Marley"},
        {"Guns N' Roses", "Guns and Roses"},
        {"Guns 'n' Roses", "Guns & Roses"},
        {"Florence + The Machine", "Florence and the Machine"},
        {"Santana", "Santana feat. Rob Thomas"},
        {"Santana ft. Rob Thomas", "Santana"},
        {"The Prodigy", "Prodigy with Tom Morello"},
    };
    for (const auto& [a, b] : probablyOne) {
        EXPECT_TRUE(sim::probablySameArtist(a, b)) << a << " / " << b;
        EXPECT_TRUE(sim::probablySameArtist(b, a)) << b << " / " << a;
    }
    // Another word after the name is another artist; so is a name that merely begins alike.
    const std::vector<std::pair<std::string, std::string>> different = {
        {"Pink", "Pink Floyd"},
        {"Bob Dylan", "Bob Marley"},
        {"Queen", "Queensryche"},
        {"Prince", "Prince Buster"},
        {"Elvis Costello", "Elvis Presley"},
        {"Simple Minds", "Simply Red"},
        {"Bob Marley", ""},
        {"", ""},
        {"Earth", "Earth, Wind & Fire"},
        {"@peace", "Peace"},
        {"@peace", "Peace & The Band"},
    };
    for (const auto& [a, b] : different) {
        EXPECT_FALSE(sim::probablySameArtist(a, b)) << a << " / " << b;
        EXPECT_FALSE(sim::probablySameArtist(b, a)) << b << " / " << a;
    }
}

} // namespace
