// songbeacon-tune's kept reports: each report's record survives any playlist's name, the index
// lists the newest first with their answers, and only the newest kKeptReports stay (never the
// run's own report, however old its start).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/html_page.h"
#include "tune/report_index.h"
#include "tune/tune_plan.h"

namespace {

sim::ReportRecord record(const std::string& time, const std::string& playlist, int32_t answer) {
    sim::ReportRecord made = {};
    made.time = time;
    made.playlist = playlist;
    made.answer = answer;
    made.setting = {14, answer == sim::kAnswerRecommended ? 40 : 0};
    made.status = answer == sim::kAnswerNone ? 7 : 0;
    made.file = sim::reportFileName(playlist, time, 1);
    return made;
}

TEST(ReportIndex, ARecordSurvivesAnyNameAndAPageWithoutOneIsNoReport) {
    const std::string page = sim::htmlDocument("Sweep", "", "<p>the sweep</p>\n");
    for (const std::string name :
         {"Main rotation.m3u", "a -- b --> <!-- c%20 \"d\" x=y.m3u", "Café été.m3u8"}) {
        const sim::ReportRecord written = record("2025-03-01 14:03:22", name, sim::kAnswerNearest);
        const std::string stamped = sim::withRecord(page, written);
        EXPECT_EQ(stamped.rfind("<!DOCTYPE html>\n", 0), 0u) << "the doctype stays first";
        const size_t comment = stamped.find("<!--");
        EXPECT_EQ(stamped.find("--", comment + 4), stamped.find(" -->", comment) + 1)
            << "nothing in the name ends the comment early: " << stamped;
        sim::ReportRecord read = {};
        read.file = "kept.html";
        ASSERT_TRUE(sim::readRecord(stamped.substr(0, 4096), &read)) << stamped;
        EXPECT_EQ(read.playlist, name);
        EXPECT_EQ(read.time, written.time);
        EXPECT_EQ(read.answer, sim::kAnswerNearest);
        EXPECT_EQ(read.setting.artistLimit, 14);
        EXPECT_EQ(read.file, "kept.html") << "where it was found is not the record's to say";
    }
    sim::ReportRecord read = {};
    EXPECT_FALSE(sim::readRecord(page, &read)) << "an operator's own page";
    const std::string stamped = sim::withRecord(page, record("2025-03-01 14:03:22", "a.m3u", 0));
    EXPECT_FALSE(sim::readRecord(stamped.substr(0, stamped.find(" -->")), &read)) << "cut short";
    std::string odd = stamped;
    odd.replace(odd.find("time=2025"), 9, "time=20x5");
    EXPECT_FALSE(sim::readRecord(odd, &read)) << "a time out of shape";
    EXPECT_EQ(sim::reportFileName("Main rotation.m3u", "2025-03-01 14:03:22", 1),
              "Main rotation 2025-03-01 14-03-22.html");
    EXPECT_EQ(sim::reportFileName(".m3u", "2025-03-01 14:03:22", 2), ".m3u 2025-03-01 14-03-22 (2).html");
}

TEST(ReportIndex, TheNewestComeFirstWithTheirAnswersAndOnlyTheNewestAreKept) {
    std::vector<sim::ReportRecord> records;
    for (int day = 1; day <= 25; day++) {
        const std::string time =
            "2025-03-" + std::string(day < 10 ? "0" : "") + std::to_string(day) + " 09:00:00";
        records.push_back(record(time, "day " + std::to_string(day) + ".m3u", day % 3));
    }
    std::vector<sim::ReportRecord> past;
    sim::keepNewest(&records, "", &past);
    ASSERT_EQ(records.size(), sim::kKeptReports);
    EXPECT_EQ(records.front().playlist, "day 25.m3u");
    EXPECT_EQ(records.back().playlist, "day 6.m3u");
    ASSERT_EQ(past.size(), 5u);
    EXPECT_EQ(past.back().playlist, "day 1.m3u");

    const std::string index = sim::renderReportIndex(records);
    const size_t newest = index.find(">day 25.m3u</a>");
    const size_t older = index.find(">day 24.m3u</a>");
    EXPECT_TRUE(newest != std::string::npos && older != std::string::npos && newest < older) << index;
    EXPECT_EQ(index.find("day 5.m3u"), std::string::npos);
    EXPECT_NE(index.find("<a href=\"day%2025%202025-03-25%2009-00-00.html\">"), std::string::npos) << index;
    EXPECT_NE(index.find("recommended: SameArtistCheckLimit=14 SameTitleCheckLimit=40"), std::string::npos);
    EXPECT_NE(index.find("no setting meets every goal; the choice nearest the goals: SameArtistCheckLimit=14 "
                         "SameTitleCheckLimit=0"),
              std::string::npos);
    EXPECT_NE(index.find("the run ended with an error before an answer (exit status 7)"), std::string::npos);

    // The run's own report stays, though twenty newer ones were kept while it ran.
    std::vector<sim::ReportRecord> more = records;
    more.push_back(record("2025-02-01 09:00:00", "long.m3u", 0));
    sim::keepNewest(&more, more.back().file, &past);
    EXPECT_EQ(more.size(), sim::kKeptReports + 1);
    EXPECT_EQ(more.back().playlist, "long.m3u");
    EXPECT_TRUE(past.empty());
    EXPECT_NE(std::string(sim::tuneUsageText())
                  .find("the latest " + std::to_string(sim::kKeptReports) + " are kept"),
              std::string::npos)
        << "the usage text gives the number kept";
}

} // namespace
