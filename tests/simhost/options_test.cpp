// The simulated host's command line: bad values are refused with an error naming them, instead of
// being read as something else.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/options.h"

namespace {

struct Parsed {
    sim::ParseResult result;
    sim::Options options;
    std::string error;
};

Parsed parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "songbeacon-host");
    Parsed parsed;
    parsed.result = sim::parseOptions(static_cast<int>(arguments.size()), arguments.data(), &parsed.options,
                                      &parsed.error);
    return parsed;
}

TEST(Options, BadValuesAreNamedNotTakenAsSomethingElse) {
    const std::vector<std::pair<std::vector<const char*>, std::string>> cases = {
        {{"p.dll", "l.m3u", "--pace", "abc"}, "--pace: \"abc\" is not a number of milliseconds"},
        {{"p.dll", "l.m3u", "--pace", "-5"}, "--pace: \"-5\" is not"},
        {{"p.dll", "l.m3u", "--pace", "12x"}, "--pace: \"12x\" is not"},
        {{"p.dll", "l.m3u", "--pace", "99999999999"}, "--pace: \"99999999999\" is not"},
        {{"p.dll", "l.m3u", "--tracks", "0"}, "--tracks: \"0\" is not"},
        {{"p.dll", "l.m3u", "--hours", "0"}, "--hours: \"0\" is not"},
        {{"p.dll", "l.m3u", "--hours", "1.5h"}, "--hours: \"1.5h\" is not"},
        {{"p.dll", "l.m3u", "--hours", "9000"}, "--hours: \"9000\" is not"},
        {{"p.dll", "l.m3u", "--hours", "."}, "--hours: \".\" is not"},
        {{"p.dll", "l.m3u", "--stop", "-1"}, "--stop: \"-1\" is not an entry number"},
        {{"p.dll", "l.m3u", "--version", "5g"}, "--version: \"5g\" is not a hexadecimal"},
        {{"p.dll", "l.m3u", "--fast-timeout", "0"}, "--fast-timeout: \"0\" is not"},
        {{"p.dll", "l.m3u", "--pace"}, "--pace needs a value"},
        {{"p.dll", "l.m3u", "--speed", "2"}, "unknown option --speed"},
        {{"p.dll", "l.m3u", "extra.m3u"}, "unexpected argument \"extra.m3u\""},
        {{"p.dll"}, "give a playlist after the plug-in DLL"},
        {{"p.dll", "l.m3u", "--fast", "--pause", "2"}, "--pause and --stop need real time"},
    };
    for (const auto& [arguments, expected] : cases) {
        const Parsed parsed = parse(arguments);
        EXPECT_EQ(parsed.result, sim::kBadOptions) << expected;
        EXPECT_EQ(parsed.error.find(expected), 0u) << "got: " << parsed.error;
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << parsed.error;
    }
}

TEST(Options, GoodValuesAreTakenWhole) {
    const Parsed parsed =
        parse({"--fast", "p.dll", "--hours", "1.25", "l.m3u", "--shuffle", "18446744073709551615", "--tracks",
               "40", "--version", "0x5666", "--pace", "0", "--report", "r.html"});
    ASSERT_EQ(parsed.result, sim::kParsed) << parsed.error;
    const sim::Options& options = parsed.options;
    EXPECT_EQ(options.pluginPath, "p.dll");
    EXPECT_EQ(options.playlistPath, "l.m3u");
    EXPECT_EQ(options.stationSeconds, 4500);
    EXPECT_TRUE(options.shuffle && options.seedGiven);
    EXPECT_EQ(options.seed, 18446744073709551615ull);
    EXPECT_EQ(options.tracks, 40);
    EXPECT_EQ(options.version, 0x5666);
    EXPECT_EQ(options.paceMs, 0);
    EXPECT_EQ(options.reportPath, "r.html");
    EXPECT_TRUE(sim::goesRound(options));
}

TEST(Options, ShuffleTakesASeedOnlyWhenOneFollows) {
    Parsed parsed = parse({"p.dll", "l.m3u", "--shuffle", "--fast"});
    ASSERT_EQ(parsed.result, sim::kParsed) << parsed.error;
    EXPECT_TRUE(parsed.options.shuffle && parsed.options.fast);
    EXPECT_FALSE(parsed.options.seedGiven);
    EXPECT_FALSE(sim::goesRound(parsed.options)); // one shuffled round

    parsed = parse({"p.dll", "--shuffle", "7", "l.m3u"});
    ASSERT_EQ(parsed.result, sim::kParsed) << parsed.error;
    EXPECT_EQ(parsed.options.seed, 7u);
    EXPECT_EQ(parsed.options.playlistPath, "l.m3u");
    EXPECT_EQ(parse({"p.dll", "l.m3u", "--help"}).result, sim::kHelpAsked);
}

TEST(Options, HoursTracksOrRepeatEachGoRoundThePlaylistAndNothingElseDoes) {
    for (const std::vector<const char*>& going : std::vector<std::vector<const char*>>{
             {"--hours", "24"}, {"--hours", ".25"}, {"--tracks", "5000"}, {"--repeat"}}) {
        std::vector<const char*> arguments = {"p.dll", "l.m3u"};
        arguments.insert(arguments.end(), going.begin(), going.end());
        const Parsed parsed = parse(arguments);
        ASSERT_EQ(parsed.result, sim::kParsed) << parsed.error;
        EXPECT_TRUE(sim::goesRound(parsed.options)) << going[0];
    }
    const Parsed once = parse({"p.dll", "l.m3u", "--fast", "--pace", "10", "--quiet"});
    ASSERT_EQ(once.result, sim::kParsed) << once.error;
    EXPECT_FALSE(sim::goesRound(once.options));
}

TEST(Options, EntryNumbersMustLieInThePlaylist) {
    Parsed parsed = parse({"p.dll", "l.m3u", "--pause", "40", "--stop", "99"});
    ASSERT_EQ(parsed.result, sim::kParsed) << parsed.error;
    std::string error;
    EXPECT_FALSE(sim::checkAgainstPlaylist(parsed.options, 40, &error));
    EXPECT_EQ(error, "--stop 99: the playlist has only 40 entries");
    EXPECT_TRUE(sim::checkAgainstPlaylist(parsed.options, 99, &error));
}

} // namespace
