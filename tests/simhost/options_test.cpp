// The simulated host's command line: bad values are refused with an error naming them, instead of
// being read as something else.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
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
        {{"p.dll", "l.m3u", "--sweep-artist", "5..3"},
         "--sweep-artist: \"5..3\" is not a range of artist limits"},
        {{"p.dll", "l.m3u", "--sweep-artist", "0..1001"}, "--sweep-artist: \"0..1001\" is not"},
        {{"p.dll", "l.m3u", "--sweep-artist", "0...30"}, "--sweep-artist: \"0...30\" is not"},
        {{"p.dll", "l.m3u", "--sweep-artist", "-1..3"}, "--sweep-artist: \"-1..3\" is not"},
        {{"p.dll", "l.m3u", "--sweep-artist", "0..30:5"}, "--sweep-artist: \"0..30:5\" is not"},
        {{"p.dll", "l.m3u", "--sweep-title", "0..300:0"},
         "--sweep-title: \"0..300:0\" is not a range of title"},
        {{"p.dll", "l.m3u", "--sweep-title", "0..300:"}, "--sweep-title: \"0..300:\" is not"},
        {{"p.dll", "l.m3u", "--sweep-title", "1000..1001"}, "--sweep-title: \"1000..1001\" is not"},
        {{"p.dll", "l.m3u", "--sweep-artist", "0..9", "--seeds", "0"},
         "--seeds: \"0\" is not a number of seeds"},
        {{"p.dll", "l.m3u", "--sweep-artist", "0..9", "--seeds", "101"}, "--seeds: \"101\" is not"},
        {{"p.dll", "l.m3u", "--sweep-artist", "0..9", "--artist-gap", "0"}, "--artist-gap: \"0\" is not"},
        {{"p.dll", "l.m3u", "--sweep-artist", "0..9", "--artist-gap", "1h"}, "--artist-gap: \"1h\" is not"},
        {{"p.dll", "l.m3u", "--sweep-artist", "0..9", "--max-skip-rate", "101"},
         "--max-skip-rate: \"101\" is not"},
        {{"p.dll", "l.m3u", "--sweep-artist", "0..9", "--max-skip-rate", "7.55"},
         "--max-skip-rate: \"7.55\" is not"},
        {{"p.dll", "l.m3u", "--sweep-artist", "0..9", "--max-skip-rate", "10%"},
         "--max-skip-rate: \"10%\" is not"},
        {{"p.dll", "l.m3u", "--sweep-artist", "0..9", "--early-returns-per-day", "0.125"},
         "--early-returns-per-day: \"0.125\" is not"},
        {{"p.dll", "l.m3u", "--sweep-artist", "0..9", "--early-returns-per-day", "1000.01"},
         "--early-returns-per-day: \"1000.01\" is not"},
        {{"p.dll", "l.m3u", "--sweep-artist", "0..9", "--early-returns-per-day", "-1"},
         "--early-returns-per-day: \"-1\" is not"},
        {{"p.dll", "l.m3u", "--sweep-artist", "0..9", "--early-returns-per-day", "1."},
         "--early-returns-per-day: \"1.\" is not"},
        {{"p.dll", "l.m3u", "--sweep-title", "0..9", "--title-gap", "0"}, "--title-gap: \"0\" is not"},
        {{"p.dll", "l.m3u", "--sweep-title", "0..9", "--title-gap", "169"}, "--title-gap: \"169\" is not"},
        {{"p.dll", "l.m3u", "--title-gap", "3"}, "--title-gap belongs to a sweep"},
        {{"p.dll", "l.m3u", "--seeds", "4"},
         "--seeds belongs to a sweep: give --sweep-artist or --sweep-title too"},
        {{"p.dll", "l.m3u", "--artist-gap", "30", "--fast"}, "--artist-gap belongs to a sweep"},
        {{"p.dll", "l.m3u", "--sweep-artist", "0..9", "--tracks", "40"},
         "--tracks: a sweep's length is station"},
        {{"p.dll", "l.m3u", "--sweep-artist", "0..9", "--log", "a.csv"},
         "--log: a sweep writes no per-track log"},
        {{"p.dll", "l.m3u", "--sweep-artist", "0..9", "--stop", "3"}, "--pause and --stop need real time"},
        {{"p.dll", "l.m3u", "--sweep-artist", "0..1000", "--sweep-title", "0..1000:100"},
         "the sweep would play 33033 runs (11011 settings on 3 seeds); at most 10000"},
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
               "40", "--version", "0x5aF6", "--pace", "0", "--report", "r.html"});
    ASSERT_EQ(parsed.result, sim::kParsed) << parsed.error;
    const sim::Options& options = parsed.options;
    EXPECT_EQ(options.pluginPath, "p.dll");
    EXPECT_EQ(options.playlistPath, "l.m3u");
    EXPECT_EQ(options.stationSeconds, 4500);
    EXPECT_TRUE(options.shuffle && options.seedGiven);
    EXPECT_EQ(options.seed, 18446744073709551615ull);
    EXPECT_EQ(options.tracks, 40);
    EXPECT_EQ(options.version, 0x5AF6);
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

TEST(Options, ASweepTakesItsRangesSeedsAndGoal) {
    Parsed parsed = parse({"p.dll", "l.m3u", "--sweep-artist", "0..30", "--sweep-title", "100..300:70",
                           "--seeds", "2", "--shuffle", "18446744073709551615", "--artist-gap", "45",
                           "--max-skip-rate", "7.5", "--early-returns-per-day", "0.25"});
    ASSERT_EQ(parsed.result, sim::kParsed) << parsed.error;
    const sim::Options& options = parsed.options;
    ASSERT_TRUE(sim::sweepAsked(options));
    EXPECT_TRUE(options.shuffle && options.fast) << "a sweep always plays shuffled and fast";
    EXPECT_EQ(sim::sweepSeeds(options), (std::vector<uint64_t>{18446744073709551615ull, 0}))
        << "SEED first, then the numbers after it, wrapping";

    const std::vector<sim::PlaylistEntry> playlist(10, {"A - a", 600}); // 100 minutes a rotation
    sim::SweepPlan plan = sim::sweepPlanOf(options, playlist, {12, 150, true});
    EXPECT_EQ(plan.artistLimits.size(), 31u);
    EXPECT_EQ(plan.artistLimits.front(), 0);
    EXPECT_EQ(plan.artistLimits.back(), 30);
    EXPECT_EQ(plan.titleLimits, (std::vector<int32_t>{100, 170, 240, 300}))
        << "the range's end always included";
    EXPECT_EQ(plan.stationSeconds, 72 * 3600) << "the default length";
    EXPECT_EQ(plan.goal.artistGapMinutes, 45);
    EXPECT_EQ(plan.goal.maxSkipTenths, 75);
    EXPECT_EQ(plan.goal.titleGapHours, sim::kDefaultTitleGapHours) << "titles swept: judged by default";
    EXPECT_EQ(plan.goal.perDayHundredths, 25);
    EXPECT_FALSE(plan.goal.artistUnjudged);
    // Nine bare titles in ten leave the artist goal unjudged.
    std::vector<sim::PlaylistEntry> bare(9, {"Waterloo", 600});
    bare.push_back({"Abba - SOS", 600});
    EXPECT_TRUE(sim::sweepPlanOf(options, bare, {12, 150, true}).goal.artistUnjudged);
    EXPECT_EQ(
        sim::repeatCommand(options),
        "songbeacon-host p.dll l.m3u --sweep-artist 0..30 --sweep-title 100..300:70 --seeds 2 --shuffle "
        "18446744073709551615 --artist-gap 45 --max-skip-rate 7.5 --early-returns-per-day 0.25")
        << "the arguments as typed, in their order";

    // One range alone: the other limit as plugin.ini holds it; a length of --hours, repeated whole.
    parsed = parse({"My Plugin.dll", "l.m3u", "--sweep-title", "400", "--hours", "0.3334", "--shuffle", "9"});
    ASSERT_EQ(parsed.result, sim::kParsed) << parsed.error;
    plan = sim::sweepPlanOf(parsed.options, playlist, {12, 150, true});
    EXPECT_EQ(plan.artistLimits, std::vector<int32_t>{12});
    EXPECT_EQ(plan.titleLimits, std::vector<int32_t>{400});
    EXPECT_EQ(plan.seeds, (std::vector<uint64_t>{9, 10, 11}));
    EXPECT_EQ(plan.stationSeconds, 1200);
    EXPECT_EQ(plan.goal.maxSkipTenths, 100);
    EXPECT_EQ(plan.goal.perDayHundredths, 100);
    EXPECT_EQ(plan.goal.artistGapMinutes, 60);
    EXPECT_EQ(sim::repeatCommand(parsed.options),
              "songbeacon-host 'My Plugin.dll' l.m3u --sweep-title 400 --hours 0.3334 --shuffle 9")
        << "every argument as given";

    // The command repeats what was typed, ready to paste: --report and a folder's path kept as they
    // were written, a drawn seed added, a script's own command line used when it passes one on.
    parsed = parse({"p.dll", "../lists/My List.m3u", "--sweep-artist", "0..30", "--report", "it's.html"});
    ASSERT_EQ(parsed.result, sim::kParsed) << parsed.error;
    parsed.options.seed = 77; // as the host draws it when no seed is given
    EXPECT_EQ(sim::repeatCommand(parsed.options),
              "songbeacon-host p.dll '../lists/My List.m3u' --sweep-artist "
              "0..30 --report 'it'\\''s.html' --shuffle 77");
    parsed.options.typedCommand = "scripts/try-playlist.sh ../lists/My\\ List.m3u --sweep-artist 0..30";
    EXPECT_EQ(sim::repeatCommand(parsed.options),
              "scripts/try-playlist.sh ../lists/My\\ List.m3u --sweep-artist 0..30 --shuffle 77");
    EXPECT_EQ(plan.goal.titleGapHours, 0) << "20 minutes of a 100-minute rotation: no title comes back";
    EXPECT_EQ(plan.goal.unjudgedTitleGapHours, sim::kDefaultTitleGapHours);

    // The title goal only when asked, or the title limit swept; the allowance to the hundredth.
    for (const auto& [arguments, titleGap, perDay] :
         std::vector<std::tuple<std::vector<const char*>, int32_t, int32_t>>{
             {{"p.dll", "l.m3u", "--sweep-artist", "3..9"}, 0, 100},
             {{"p.dll", "l.m3u", "--sweep-artist", "3..9", "--title-gap", "5", "--early-returns-per-day",
               "0"},
              5,
              0},
             {{"p.dll", "l.m3u", "--sweep-title", "3..9", "--early-returns-per-day", ".5"}, 3, 50},
             {{"p.dll", "l.m3u", "--sweep-title", "3..9", "--early-returns-per-day", "2.5"}, 3, 250},
             {{"p.dll", "l.m3u", "--sweep-title", "3..9", "--early-returns-per-day", "1000"}, 3, 100000},
         }) {
        const Parsed goals = parse(arguments);
        ASSERT_EQ(goals.result, sim::kParsed) << goals.error;
        const sim::SweepPlan planned = sim::sweepPlanOf(goals.options, playlist, {12, 150, true});
        EXPECT_EQ(planned.goal.titleGapHours, titleGap) << arguments.back();
        EXPECT_EQ(planned.goal.perDayHundredths, perDay) << arguments.back();
    }
    const Parsed again = parse({"My Plugin.dll", "l.m3u", "--hours", "0.333334", "--sweep-title", "400"});
    EXPECT_EQ(again.options.stationSeconds, 1200) << "the command gives back the same length";
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
