// --aired from the command line: its options are checked as every option is, and the course
// refuses what is no log, or a newer one, with a one-line error and status 1; a log it can read
// gives the report, the page (every title escaped) and one CSV row a day.
#include <gtest/gtest.h>

#include <filesystem>

#include "aired/air_log_lines.h"
#include "cli/aired_main.h"
#include "cli/operator_files.h"
#include "cli/options.h"

namespace {

using namespace airtest;

std::string parseError(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "songbeacon-host");
    sim::Options options;
    std::string error;
    return sim::parseOptions(static_cast<int>(arguments.size()), arguments.data(), &options, &error) ==
                   sim::kBadOptions
               ? error
               : "(parsed)";
}

TEST(AiredOptions, AreCheckedAndGoWithAnAirLogAlone) {
    EXPECT_EQ(parseError({"p.dll", "l.m3u", "--from", "2026-12-01"}),
              "--from belongs to --aired: give the air log with --aired FILE");
    EXPECT_EQ(parseError({"--aired", "a.log", "--from", "2026-02-30"}),
              "--from: \"2026-02-30\" is not a date such as 2026-12-08");
    EXPECT_EQ(parseError({"--aired", "a.log", "--from", "2026-12-09", "--to", "2026-12-08"}),
              "--from is after --to: no day is left to report");
    EXPECT_NE(parseError({"--aired", "a.log", "p.dll", "l.m3u"}).find("give at most a playlist"),
              std::string::npos);
    EXPECT_NE(parseError({"--aired", "a.log", "--fast"}).find("--aired reads what went to air"),
              std::string::npos);
    EXPECT_EQ(parseError({"--aired", "a.log", "--csv", ""}), "--csv: \"\" is not a file name");
    const char* arguments[] = {"songbeacon-host", "--aired", "a.log", "l.m3u",     "--sweep-artist", "0..9",
                               "--max-skip-rate", "15",      "--to",  "2026-12-09"};
    sim::Options options;
    std::string error;
    ASSERT_EQ(sim::parseOptions(10, arguments, &options, &error), sim::kParsed) << error;
    const sim::AiredRequest request = sim::airedRequestOf(options, sim::latin1CodePage(), sim::readBytes);
    EXPECT_EQ(request.logPath, "a.log");
    EXPECT_EQ(request.playlistPath, "l.m3u");
    EXPECT_EQ(request.sweep.maxSkipTenths, 150);
    EXPECT_TRUE(request.sweep.artist.given);
    EXPECT_EQ(sim::dayText(request.scope.toDay), "2026-12-09");
    EXPECT_EQ(request.seed, 1u);
}

struct AiredCourse : ::testing::Test {
    std::string folder;
    void SetUp() override {
        const std::filesystem::path path = std::filesystem::temp_directory_path() / "aired-course";
        std::filesystem::remove_all(path);
        ASSERT_TRUE(std::filesystem::create_directories(path));
        folder = path.string();
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // Runs the course on `log` written to air.log; the status, and what it printed in `output`.
    int run(const std::string& log, std::string* output, const std::string& playlist = "") {
        EXPECT_EQ(sim::writeBytes(folder + "/air.log", log), sim::kWritten);
        sim::Options options;
        options.aired.logPath = folder + "/air.log";
        options.reportPath = folder + "/aired.html";
        options.aired.csvPath = folder + "/aired.csv";
        if (!playlist.empty()) {
            EXPECT_EQ(sim::writeBytes(folder + "/station.m3u", playlist), sim::kWritten);
            options.playlistPath = folder + "/station.m3u";
        }
        testing::internal::CaptureStdout();
        const int status =
            sim::airedMain(sim::airedRequestOf(options, sim::latin1CodePage(), sim::readBytes));
        *output = testing::internal::GetCapturedStdout();
        return status;
    }
    std::string contents(const std::string& name) const {
        std::string bytes;
        return sim::readBytes(folder + "/" + name, &bytes) ? bytes : std::string("(none)");
    }
};

TEST_F(AiredCourse, RefusesWhatItCannotReadWithOneLine) {
    std::string output;
    EXPECT_EQ(run("#EXTM3U\r\n#EXTINF:200,Abba - SOS\r\nsos.mp3\r\n", &output), sim::kExitUsage);
    EXPECT_NE(output.find("air.log is not an air log: its first line is not"), std::string::npos) << output;
    EXPECT_EQ(run("#Songbeacon air log\tformat 7\r\n", &output), sim::kExitUsage);
    EXPECT_NE(output.find("is an air log of format 7, newer than this tool reads (format 1)"),
              std::string::npos)
        << output;
    EXPECT_EQ(contents("aired.html"), "(none)");
    EXPECT_EQ(run(kHeading + played(0, 1, "Abba - SOS"), &output, "#EXTM3U\r\n"), sim::kExitUsage);
    EXPECT_NE(output.find("error: the playlist"), std::string::npos) << output;
}

TEST_F(AiredCourse, ReportsPageAndCsvOfALog) {
    std::string output;
    const std::string log = kHeading + start(0, 3, 10) + line(0, "playing") +
                            played(0, 1, "Abba - <b>SOS</b>") + played(4, 2, "Blur - Song 2") +
                            skipped(8, 3, "Abba - <i>Waterloo</i>", "Abba - <b>SOS</b>", 2) +
                            played(8, 4, "Cher - Believe") + line(12, "stopped") + line(12, "shutdown");
    ASSERT_EQ(run(log, &output,
                  "#EXTM3U\r\n#EXTINF:240,Abba - <b>SOS</b>\r\na.mp3\r\n#EXTINF:240,Blur - Song 2\r\n"
                  "b.mp3\r\n#EXTINF:240,Abba - <i>Waterloo</i>\r\nc.mp3\r\n#EXTINF:240,Cher - "
                  "Believe\r\nd.mp3\r\n"),
              sim::kExitDone)
        << output;
    EXPECT_NE(
        output.find("played 3 tracks, skipped 1: a skip rate of 25.0 % of the 4 tracks started (at most 10.0 "
                    "%: missed)"),
        std::string::npos)
        << output;
    EXPECT_NE(output.find("titles: station.m3u, 4 entries"), std::string::npos) << output;
    const std::string page = contents("aired.html");
    EXPECT_NE(page.find("Abba - &lt;i&gt;Waterloo&lt;/i&gt;"), std::string::npos);
    EXPECT_EQ(page.find("<i>Waterloo"), std::string::npos);
    EXPECT_EQ(contents("aired.csv"),
              "day,played,skipped,skip_rate_percent,artist_early,title_early,other_spelling,longest_skip_run,"
              "seconds_on_air,lines_unknown,artist_limit,title_limit,filter\r\n"
              "2026-12-08,3,1,25.0,0,0,0,1,720,0,3,10,on\r\n");
}

} // namespace
