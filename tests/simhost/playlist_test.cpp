// The simulated host's playlist reader: extended M3U and plain text, in every encoding a station's
// tools save, read into the titles and lengths the player plays; and the station clock they drive.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "playlist/playlist.h"
#include "playlist/playlist_form.h"
#include "playlist/station_clock.h"
#include "playlist/text_encoding.h"

namespace {

using Titles = std::vector<std::string>;
using Lengths = std::vector<int32_t>;

Lengths lengthsOf(const std::vector<sim::PlaylistEntry>& entries) {
    Lengths lengths;
    for (const sim::PlaylistEntry& entry : entries)
        lengths.push_back(entry.seconds);
    return lengths;
}

TEST(Playlist, M3uTakesTitlesAndLengthsFromExtinfElseTheFileName) {
    const std::string text = "\xEF\xBB\xBF#EXTM3U\r\n"
                             "#EXTINF:231,Abba - Dancing Queen\r\n"
                             "music/abba.mp3\r\n"
                             "\r\n"
                             "C:\\Music\\Queen - Innuendo.flac\r\n"
                             "#EXTINF:-1,Radio, with a comma, in it\n"
                             "http://stream.example/live\n"
                             "#EXTINF:100\n"
                             "No Extension\n"
                             "#a comment\n"
                             ".hidden\n"
                             "#EXTINF:354.7 tvg-id=\"q\",Queen - Bohemian Rhapsody\n"
                             "q.mp3\n"
                             "#EXTINF:3600,A long mix\n"
                             "C:\\Music\\\n"
                             "#EXTINF:212 tvg-name=\"Smith, John\" group-title=\"Pop, Rock\",Smith - Song\n"
                             "s.mp3\n"
                             "#EXTINF:90 tvg-name=\"Open,Open - Quote \"Live\"\n"
                             "o.mp3\n"
                             "#EXTINF:1234567890,Endless\n"
                             "e.mp3\n";
    const std::vector<sim::PlaylistEntry> entries = sim::parsePlaylistEntries("list.m3u", text);
    std::vector<std::string> titles;
    for (const sim::PlaylistEntry& entry : entries)
        titles.push_back(entry.title);
    // A comma inside an attribute's quotes is not the title's; a quote left open does not hide it.
    EXPECT_EQ(titles, (Titles{"Abba - Dancing Queen", "Queen - Innuendo", "Radio, with a comma, in it",
                              "No Extension", ".hidden", "Queen - Bohemian Rhapsody", "A long mix",
                              "Smith - Song", "Open - Quote \"Live\"", "Endless"}));
    // A stream (-1), no #EXTINF and no comma count as unknown; a fraction is dropped; a length
    // beyond nine digits is the most kept, never read whole nor cut to its first nine.
    EXPECT_EQ(lengthsOf(entries), (Lengths{231, 0, 0, 100, 0, 354, 3600, 212, 90, 999999999}));
    // Beyond 2^31 the length is held at the most before it can wrap round, however many digits follow.
    EXPECT_EQ(lengthsOf(sim::parsePlaylistEntries("long.m3u", "#EXTINF:3000000000,Long\nl.mp3\n"
                                                              "#EXTINF:99999999999,Longer\nm.mp3\n")),
              (Lengths{999999999, 999999999}));
}

TEST(Playlist, M3uIsRecognisedByNameOrHeader) {
    EXPECT_EQ(sim::parsePlaylist("LIST.M3U8", "#EXTINF:1,A\na.mp3\n"), Titles{"A"});
    EXPECT_EQ(sim::parsePlaylist("list.txt", "#EXTM3U\n#EXTINF:1,A\na.mp3\n"), Titles{"A"});
}

TEST(Playlist, PlainTextIsOneTitlePerLineOfUnknownLength) {
    const std::vector<sim::PlaylistEntry> entries =
        sim::parsePlaylistEntries("titles.txt", "Abba - SOS\r\n\r\n#1 Hit - x\nLast line without end");
    EXPECT_EQ(sim::parsePlaylist("titles.txt", "Abba - SOS\r\n\r\n#1 Hit - x\nLast line without end"),
              (Titles{"Abba - SOS", "#1 Hit - x", "Last line without end"}));
    EXPECT_EQ(lengthsOf(entries), (Lengths{0, 0, 0}));
    EXPECT_EQ(sim::parsePlaylist("empty.txt", "\r\n\n"), Titles{});
}

TEST(Playlist, ALoneCarriageReturnEndsALineToo) {
    // As old Mac tools save: every form, and a mix, reads the same titles and lengths.
    for (const char* end : {"\r", "\n", "\r\n"}) {
        const std::string e = end;
        EXPECT_EQ(sim::parsePlaylist("titles.txt", "Abba - SOS" + e + e + "Blur - Song 2" + e),
                  (Titles{"Abba - SOS", "Blur - Song 2"}))
            << "end " << static_cast<int>(end[0]);
        const std::vector<sim::PlaylistEntry> entries = sim::parsePlaylistEntries(
            "list.m3u", "#EXTM3U" + e + "#EXTINF:200,Abba - SOS" + e + "sos.mp3" + e + "blur.mp3");
        ASSERT_EQ(entries.size(), 2u);
        EXPECT_EQ(entries[0].title, "Abba - SOS");
        EXPECT_EQ(entries[0].seconds, 200);
        EXPECT_EQ(entries[1].title, "blur");
    }
    EXPECT_EQ(sim::parsePlaylist("mixed.txt", "\xEF\xBB\xBF"
                                              "A\r\rB\r\n\nC\n\rD"),
              (Titles{"A", "B", "C", "D"}));
    EXPECT_EQ(sim::splitLines("\r\r\n\n\r"), Titles{});
}

TEST(Playlist, TitleFromPath) {
    EXPECT_EQ(sim::titleFromPath("C:\\music\\Abba - SOS.mp3"), "Abba - SOS");
    EXPECT_EQ(sim::titleFromPath("http://host/a/b.ogg"), "b");
    EXPECT_EQ(sim::titleFromPath("Mr. Big - x.mp3"), "Mr. Big - x");
    EXPECT_EQ(sim::titleFromPath("plain"), "plain");
    EXPECT_EQ(sim::titleFromPath("C:\\music\\"), "C:\\music\\"); // never an empty title
}

TEST(StationClock, TracksPlayTheirLengthAndUnknownOnesAnAverageTrack) {
    const std::vector<sim::PlaylistEntry> entries = sim::parsePlaylistEntries(
        "day.m3u", "#EXTINF:354,Queen - Bohemian Rhapsody\nq.mp3\nunknown.mp3\n#EXTINF:-1,Live\nhttp://x/\n"
                   "#EXTINF:1,Jingle\nj.mp3\n");
    Lengths onAir;
    for (const sim::PlaylistEntry& entry : entries)
        onAir.push_back(sim::trackSeconds(entry));
    EXPECT_EQ(onAir, (Lengths{354, 210, 210, 1}));
}

TEST(StationClock, HoursMinutesAndSecondsGoPastTheHourAndTheDay) {
    const std::vector<std::pair<int64_t, std::string>> cases = {
        {0, "0:00:00"},      {59, "0:00:59"},         {3599, "0:59:59"},
        {3600, "1:00:00"},   {3907, "1:05:07"},       {7500, "2:05:00"},
        {86399, "23:59:59"}, {30 * 3600, "30:00:00"}, {72 * 3600 + 65 * 60 + 61, "73:06:01"},
        {-5, "0:00:00"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(sim::clockText(seconds), text) << seconds << " s";
}

// `text` as UTF-16 bytes in the given order, after the byte-order mark when `mark`.
std::string utf16Bytes(const std::u16string& text, bool bigEndian, bool mark) {
    std::string bytes;
    auto put = [&](char16_t unit) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    };
    if (mark)
        put(0xFEFF);
    for (char16_t unit : text)
        put(unit);
    return bytes;
}

// The playlist every encoding below carries: a letter Latin-1 holds, one it does not (the dash),
// a character beyond the 16-bit plane, and lengths.
const std::u16string kStationList = u"#EXTM3U\r\n#EXTINF:262,Bj\u00f6rk \u2013 J\u00f3ga\r\nC:\\m\\1.mp3\r\n"
                                    u"#EXTINF:301,Sigur R\u00f3s - Hopp\u00edpolla\r\nC:\\m\\2.mp3\r\n"
                                    u"#EXTINF:180,Smile \U0001F600 - Happy\r\n3.mp3\r\n";
const Titles kStationTitles = {"Bj\xF6rk ? J\xF3ga", "Sigur R\xF3s - Hopp\xEDpolla", "Smile ? - Happy"};

TEST(PlaylistFile, EveryEncodingWithAMarkOrNameReadsTheSameTitles) {
    const std::string utf8 =
        "#EXTM3U\r\n#EXTINF:262,Bj\xC3\xB6rk \xE2\x80\x93 J\xC3\xB3ga\r\nC:\\m\\1.mp3\r\n"
        "#EXTINF:301,Sigur R\xC3\xB3s - Hopp\xC3\xADpolla\r\nC:\\m\\2.mp3\r\n"
        "#EXTINF:180,Smile \xF0\x9F\x98\x80 - Happy\r\n3.mp3\r\n";
    const struct {
        const char* name;
        std::string bytes;
        sim::TextEncoding encoding;
        const char* described;
    } files[] = {
        {"a.m3u", utf16Bytes(kStationList, false, true), sim::kUtf16Le, "UTF-16 LE converted to Latin-1"},
        {"a.m3u", utf16Bytes(kStationList, true, true), sim::kUtf16Be, "UTF-16 BE converted to Latin-1"},
        {"a.txt", "\xEF\xBB\xBF" + utf8, sim::kUtf8Marked,
         "UTF-8 (with a byte-order mark) converted to Latin-1"},
        {"a.M3U8", utf8, sim::kUtf8ByName, "UTF-8 (a .m3u8 file) converted to Latin-1"},
    };
    const sim::CodePage latin1 = sim::latin1CodePage();
    for (const auto& file : files) {
        sim::PlaylistFile read;
        std::string reason;
        ASSERT_TRUE(sim::readPlaylistFile(file.name, file.bytes, latin1, &read, &reason)) << file.described;
        Titles titles;
        for (const sim::PlaylistEntry& entry : read.entries)
            titles.push_back(entry.title);
        EXPECT_EQ(titles, kStationTitles) << file.described;
        EXPECT_EQ(lengthsOf(read.entries), (Lengths{262, 301, 180})) << file.described;
        EXPECT_EQ(read.encoding, file.encoding);
        EXPECT_EQ(read.unheld, 2) << file.described; // the dash and the smiley, one character each
        EXPECT_EQ(read.invalid, 0) << file.described;
        EXPECT_EQ(sim::encodingText(read, latin1), file.described);
        EXPECT_EQ(
            sim::encodingNotes(read, latin1),
            Titles{"2 characters of the playlist have no place in Latin-1: the player hands them to the "
                   "plug-in as ?"});
    }
}

TEST(PlaylistFile, BytesWithoutAMarkAreTheCodePagesAsTheyAre) {
    const sim::CodePage latin1 = sim::latin1CodePage();
    sim::PlaylistFile read;
    std::string reason;
    ASSERT_TRUE(sim::readPlaylistFile("list.m3u", "#EXTINF:200,Bj\xF6rk - Army of Me\nx.mp3\n", latin1, &read,
                                      &reason));
    EXPECT_EQ(read.entries[0].title, "Bj\xF6rk - Army of Me");
    EXPECT_EQ(read.entries[0].seconds, 200);
    EXPECT_EQ(sim::encodingText(read, latin1), "read as Latin-1 (no byte-order mark)");
    EXPECT_EQ(sim::encodingNotes(read, latin1), Titles{});

    // UTF-8 saved without a mark in a .m3u: the player reads two bytes for the letter, and is told.
    ASSERT_TRUE(sim::readPlaylistFile("list.m3u", "Bj\xC3\xB6rk - Army of Me\n", latin1, &read, &reason));
    EXPECT_EQ(read.entries[0].title, "Bj\xC3\xB6rk - Army of Me");
    ASSERT_EQ(sim::encodingNotes(read, latin1).size(), 1u);
    EXPECT_EQ(
        sim::encodingNotes(read, latin1)[0].find("the playlist looks like UTF-8 saved without a byte-order "
                                                 "mark: the player reads its bytes as Latin-1"),
        0u);
}

TEST(PlaylistFile, FilesThatWouldPlayEmptyOrBrokenTitlesAreRefusedWithAReason) {
    const std::u16string list = u"Abba - SOS\r\nBlur - Song 2\r\n";
    const struct {
        const char* name;
        std::string bytes;
        const char* reason;
    } files[] = {
        {"empty.m3u", "", "is empty (0 bytes)"},
        {"mark-only.m3u", "\xFF\xFE", "holds no titles"},
        {"blank.txt", "\r\n\r\n", "holds no titles"},
        {"notepad.txt", utf16Bytes(list, false, false),
         "looks like UTF-16 LE saved without its byte-order mark (every other byte is 0): save it as UTF-8, "
         "or "
         "as UTF-16 with its mark (Notepad's \"Unicode\")"},
        {"mac.m3u8", utf16Bytes(list, true, false),
         "looks like UTF-16 BE saved without its byte-order mark (every other byte is 0): save it as UTF-8, "
         "or "
         "as UTF-16 with its mark (Notepad's \"Unicode\")"},
        {"stray.txt", std::string("Abba - SOS\nBlur\0 - Song 2\n", 26),
         "holds a NUL character on line 2: it is not a text playlist"},
        {"stray16.m3u", utf16Bytes(std::u16string(u"A\r\nB\r\nC\0D\r\n", 11), false, true),
         "holds a NUL character on line 3: it is not a text playlist"},
        {"old-mac.txt", std::string("Abba - SOS\rBlur - Song 2\r\nCake\0\r", 32),
         "holds a NUL character on line 3: it is not a text playlist"},
        {"blank-mac.m3u", "\r\r\r", "holds no titles"},
    };
    for (const auto& file : files) {
        sim::PlaylistFile read;
        std::string reason;
        EXPECT_FALSE(sim::readPlaylistFile(file.name, file.bytes, sim::latin1CodePage(), &read, &reason))
            << file.name;
        EXPECT_EQ(reason, file.reason) << file.name;
    }
}

TEST(PlaylistForm, ArtistTitleFormTrackLikeTitlesAndTheThresholds) {
    for (const char* title : {"Abba - SOS", "A -  - B"})
        EXPECT_TRUE(sim::hasArtistTitleForm(title)) << title;
    for (const char* title : {"Abba-SOS", " - SOS", "Abba - ", "Abba \xE2\x80\x93 SOS"})
        EXPECT_FALSE(sim::hasArtistTitleForm(title)) << title;
    EXPECT_TRUE(sim::looksLikeBareTitle("(I Can't Get No) Satisfaction"));
    for (const char* title :
         {"For scripts:", "- a bullet", "A line of prose as a text editor wraps it at 60 columns or so"})
        EXPECT_FALSE(sim::looksLikeBareTitle(title)) << title;
    // More than half without the form warns; 90 % or more leaves artists unjudged; fewer than one
    // track-like title in ten is no playlist.
    const struct {
        size_t withArtist, bare, prose;
        bool most, nearlyAll, noPlaylist;
    } cases[] = {{5, 5, 0, false, false, false},
                 {4, 6, 0, true, false, false},
                 {1, 9, 0, true, true, false},
                 {1, 0, 9, true, true, false},
                 {0, 1, 10, true, true, true}};
    for (const auto& c : cases) {
        std::vector<sim::PlaylistEntry> entries(c.withArtist, {"Abba - SOS", 0});
        entries.insert(entries.end(), c.bare, {"Waterloo", 0});
        entries.insert(entries.end(), c.prose, {"This is a sentence.", 0});
        const sim::PlaylistForm form = sim::playlistForm(entries);
        EXPECT_EQ(sim::mostLackArtistForm(form), c.most) << c.withArtist << c.bare << c.prose;
        EXPECT_EQ(sim::nearlyAllLackArtistForm(form), c.nearlyAll) << c.withArtist << c.bare << c.prose;
        EXPECT_EQ(sim::looksLikeNoPlaylist(form), c.noPlaylist) << c.withArtist << c.bare << c.prose;
    }
}

TEST(PlaylistFile, AReadMeIsNoPlaylist) {
    const std::string readme =
        "Songbeacon 0.24b: a status page and a repeat filter for Winamp\r\n=====\r\n\r\n"
        "INSTALLING\r\n----------\r\n\r\n"
        "With the setup program: close the player and run it as an administrator. It\r\n"
        "finds the player's folder (the one holding winamp.exe), puts gen_SBeacon.dll\r\n"
        "- It can make the player skip a track whose artist or whole title was played\r\n"
        "  too recently.\r\n"
        "For scripts:\r\nEach player folder gets its own entry in the list of programs.\r\n"
        "It needs Windows Vista or later and a player of version 2.05 or later.\r\n";
    sim::PlaylistFile read;
    std::string reason;
    EXPECT_FALSE(sim::readPlaylistFile("readme.txt", readme, sim::latin1CodePage(), &read, &reason));
    EXPECT_EQ(reason.find("does not look like a playlist: only 1 of its 11 lines look like a track"), 0u)
        << reason;
}

TEST(PlaylistFile, AFileLargerThanAPlaylistMayBeIsRefusedUnread) {
    const std::string path = testing::TempDir() + "songbeacon-playlist-size.txt";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("Abba - SOS\r\n", file); // 12 bytes
    std::fclose(file);
    std::string bytes;
    int64_t size = 0;
    EXPECT_EQ(sim::readPlaylistBytes(path, 12, &bytes, &size), sim::kPlaylistRead);
    EXPECT_EQ(bytes, "Abba - SOS\r\n");
    EXPECT_EQ(sim::readPlaylistBytes(path, 11, &bytes, &size), sim::kPlaylistTooLarge);
    EXPECT_EQ(size, 12);
    EXPECT_TRUE(bytes.empty());
    std::remove(path.c_str());
}

TEST(TextEncoding, IllFormedUtf8BecomesOneReplacementForEachMaximalPart) {
    const std::vector<std::pair<std::string, std::u16string>> cases = {
        {"a\xC3\xA9z", u"a\u00e9z"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"\xC3(", u"\uFFFD("},                             // a lead byte without its continuation
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                     // an overlong '/': both bytes are never UTF-8
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},           // overlong three-byte form
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},           // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"}, // past U+10FFFF
        {"\xE2\x82", u"\uFFFD"},                           // cut at the end of the file
        {"\xE2\x82x", u"\uFFFDx"},                         // cut inside a line: the next byte survives
        {"\x80\xBF", u"\uFFFD\uFFFD"},                     // stray continuations
        {"\xF8\x88\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
    };
    for (const auto& [bytes, expected] : cases) {
        int32_t invalid = -1;
        const std::u16string decoded = sim::decodeUtf8(bytes, 0, &invalid);
        EXPECT_TRUE(decoded == expected) << "bytes of length " << bytes.size() << ": " << bytes;
        int32_t replacements = 0;
        for (char16_t unit : expected)
            replacements += unit == 0xFFFD ? 1 : 0;
        EXPECT_EQ(invalid, replacements) << bytes;
    }
}

TEST(TextEncoding, LoneSurrogatesAndAHalfUnitInUtf16BecomeReplacements) {
    int32_t invalid = 0;
    // Two high surrogates before a letter, a low one alone, a pair, then a high one and half a unit
    // at the end.
    const std::string bytes = std::string("\x3D\xD8"
                                          "\x3D\xD8"
                                          "a\0"
                                          "\x00\xDC"
                                          "\x3D\xD8\x00\xDE"
                                          "\x3D\xD8"
                                          "z",
                                          15);
    EXPECT_TRUE(sim::decodeUtf16(bytes, 0, false, &invalid) ==
                (std::u16string{0xFFFD, 0xFFFD, u'a', 0xFFFD, 0xD83D, 0xDE00, 0xFFFD, 0xFFFD}));
    EXPECT_EQ(invalid, 5);
    EXPECT_TRUE(sim::decodeUtf16(std::string("\0A\0B", 4), 0, true, &invalid) == u"AB");
    EXPECT_EQ(invalid, 0);

    size_t mark = 9;
    EXPECT_EQ(sim::detectEncoding("x.m3u", "\xFF\xFE\x41", &mark), sim::kUtf16Le);
    EXPECT_EQ(mark, 2u);
    EXPECT_EQ(sim::detectEncoding("x.m3u8", "\xFE\xFF", &mark), sim::kUtf16Be); // the mark before the name
    EXPECT_EQ(sim::detectEncoding("x.m3u8", "#EXTM3U", &mark), sim::kUtf8ByName);
    EXPECT_EQ(mark, 0u);
    EXPECT_EQ(sim::detectEncoding("x.m3u8.txt", "#EXTM3U", &mark), sim::kCodePageBytes);
}

} // namespace
