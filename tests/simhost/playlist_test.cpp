// The simulated host's playlist reader: extended M3U and plain text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "playlist/playlist.h"

namespace {

using Titles = std::vector<std::string>;

TEST(Playlist, M3uTakesTitlesFromExtinfElseFromTheFileName) {
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
                             ".hidden\n";
    EXPECT_EQ(sim::parsePlaylist("list.m3u", text),
              (Titles{"Abba - Dancing Queen", "Queen - Innuendo", "Radio, with a comma, in it",
                      "No Extension", ".hidden"}));
}

TEST(Playlist, M3uIsRecognisedByNameOrHeader) {
    EXPECT_EQ(sim::parsePlaylist("LIST.M3U8", "#EXTINF:1,A\na.mp3\n"), Titles{"A"});
    EXPECT_EQ(sim::parsePlaylist("list.txt", "#EXTM3U\n#EXTINF:1,A\na.mp3\n"), Titles{"A"});
}

TEST(Playlist, PlainTextIsOneTitlePerLine) {
    EXPECT_EQ(sim::parsePlaylist("titles.txt", "Abba - SOS\r\n\r\n#1 Hit - x\nLast line without end"),
              (Titles{"Abba - SOS", "#1 Hit - x", "Last line without end"}));
    EXPECT_EQ(sim::parsePlaylist("empty.txt", "\r\n\n"), Titles{});
}

TEST(Playlist, TitleFromPath) {
    EXPECT_EQ(sim::titleFromPath("C:\\music\\Abba - SOS.mp3"), "Abba - SOS");
    EXPECT_EQ(sim::titleFromPath("http://host/a/b.ogg"), "b");
    EXPECT_EQ(sim::titleFromPath("Mr. Big - x.mp3"), "Mr. Big - x");
    EXPECT_EQ(sim::titleFromPath("plain"), "plain");
}

} // namespace
