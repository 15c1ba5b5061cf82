// What an earlier version's sweep left beside plugin.ini is settled once, the settings it kept
// aside renamed, never lost, and a report from before is not emptied by a run that cannot write a
// new one.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/operator_files.h"

namespace {

const std::string kOperators = "[Songbeacon]\r\nSameArtistCheckLimit=12\r\n[Other plug-in]\r\nkey=kept\r\n";
const std::string kReplays = "[Songbeacon]\r\nSameArtistCheckLimit=14\r\n";

struct OperatorFiles : ::testing::Test {
    std::string folder, ini, copy;

    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::filesystem::path path =
            std::filesystem::temp_directory_path() / (std::string("operator-files-") + test->name());
        std::filesystem::remove_all(path);
        ASSERT_TRUE(std::filesystem::create_directories(path));
        folder = path.string();
        ini = folder + "/plugin.ini";
        copy = ini + ".before-sweep";
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string contents(const std::string& path) const {
        std::string bytes;
        return sim::readBytes(path, &bytes) ? bytes : std::string("(none)");
    }
};

TEST_F(OperatorFiles, AnEarlierVersionsMarksAreSettledOnceAndTheSettingsKeptAsideStay) {
    const std::string mine = "[Songbeacon]\r\nSameArtistCheckLimit=5\r\n";
    const std::string renamed = folder + "/plugin-before-an-ended-sweep.ini";
    std::string note;
    // The operator's file kept aside, with the record: renamed, never removed; plugin.ini as it is.
    ASSERT_EQ(sim::writeBytes(ini, kReplays), sim::kWritten);
    ASSERT_EQ(sim::writeBytes(copy, kOperators), sim::kWritten);
    ASSERT_EQ(sim::writeBytes(sim::oldReplayRecordPath(ini), "3074776928 39\n"), sim::kWritten);
    sim::settleOldSweepFiles(ini, &note);
    EXPECT_NE(note.find("they are now in " + renamed), std::string::npos) << note;
    EXPECT_NE(note.find(ini + " is used as it is"), std::string::npos) << note;
    EXPECT_EQ(contents(renamed), kOperators) << "byte for byte, the other sections too";
    EXPECT_EQ(contents(ini), kReplays);
    EXPECT_FALSE(sim::fileExists(copy));
    EXPECT_FALSE(sim::fileExists(sim::oldReplayRecordPath(ini)));
    sim::settleOldSweepFiles(ini, &note);
    EXPECT_EQ(note, "") << "a later run says nothing";

    // A second copy from another ended sweep never overwrites the first: it stays where it is.
    ASSERT_EQ(sim::writeBytes(copy, mine), sim::kWritten);
    sim::settleOldSweepFiles(ini, &note);
    EXPECT_NE(note.find("they are left there"), std::string::npos) << note;
    EXPECT_EQ(contents(renamed), kOperators);
    EXPECT_EQ(contents(copy), mine);

    // The empty mark for "there was none": removed; plugin.ini is used as it is, and the note says
    // it may be that sweep's own. With no plugin.ini there is nothing to say.
    ASSERT_EQ(sim::writeBytes(sim::oldAbsentMarkPath(ini), ""), sim::kWritten);
    ASSERT_EQ(std::remove(copy.c_str()), 0);
    sim::settleOldSweepFiles(ini, &note);
    EXPECT_NE(note.find("there was no plugin.ini before it"), std::string::npos) << note;
    EXPECT_EQ(contents(ini), kReplays);
    EXPECT_FALSE(sim::fileExists(sim::oldAbsentMarkPath(ini)));
    ASSERT_EQ(sim::writeBytes(sim::oldAbsentMarkPath(ini), ""), sim::kWritten);
    ASSERT_EQ(std::remove(ini.c_str()), 0);
    sim::settleOldSweepFiles(ini, &note);
    EXPECT_EQ(note, "");
    EXPECT_FALSE(sim::fileExists(sim::oldAbsentMarkPath(ini)));
}

TEST_F(OperatorFiles, AReportIsCheckedWithoutBeingEmptiedOrCreated) {
    const std::string report = folder + "/report.html";
    ASSERT_EQ(sim::writeBytes(report, "<p>last week's</p>"), sim::kWritten);
    EXPECT_TRUE(sim::canWriteLater(report));
    EXPECT_EQ(contents(report), "<p>last week's</p>");
    EXPECT_TRUE(sim::canWriteLater(folder + "/new.html"));
    EXPECT_FALSE(sim::fileExists(folder + "/new.html")) << "nothing is left behind by the check";
    EXPECT_FALSE(sim::canWriteLater(folder + "/no such folder/report.html"));
}

} // namespace
