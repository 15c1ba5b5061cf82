// The operator's plugin.ini survives a sweep ended during its replay, whatever runs next (and is
// put back or removed only over the replay's own file), and a report from before is not emptied by
// a run that cannot write a new one.
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

TEST_F(OperatorFiles, ASweepEndedDuringItsReplayLosesNothingTwiceOver) {
    ASSERT_EQ(sim::writeBytes(ini, kOperators), sim::kWritten);
    std::string error, message;
    for (int sweep = 1; sweep <= 2; sweep++) { // the second sweep is the one that used to lose it
        EXPECT_EQ(sim::putBackKeptIni(ini, &message), sweep == 1 ? sim::kNoKeptIni : sim::kKeptIniPutBack);
        sim::KeptIni kept;
        ASSERT_TRUE(sim::keepIni(ini, &kept, &error)) << error;
        ASSERT_TRUE(sim::writeReplayIni(&kept, kReplays, &error)) << error;
        EXPECT_EQ(contents(copy), kOperators);
        // ... and the sweep is ended here, before it can put plugin.ini back.
    }
    EXPECT_EQ(sim::putBackKeptIni(ini, &message), sim::kKeptIniPutBack);
    EXPECT_NE(message.find("is put back from it"), std::string::npos) << message;
    EXPECT_EQ(contents(ini), kOperators) << "byte for byte, the other sections too";
    EXPECT_FALSE(sim::fileExists(copy));
}

TEST_F(OperatorFiles, TheCopyIsNeverWrittenOverAndStaysWhenItCannotBePutBack) {
    ASSERT_EQ(sim::writeBytes(copy, kOperators), sim::kWritten);
    ASSERT_EQ(sim::writeBytes(ini, kReplays), sim::kWritten);
    std::string error, message;
    sim::KeptIni kept;
    EXPECT_FALSE(sim::keepIni(ini, &kept, &error)) << "a copy there may be the operator's only one";
    EXPECT_EQ(contents(copy), kOperators);
    EXPECT_EQ(contents(ini), kReplays);

    // plugin.ini cannot be written (a folder stands in its place): both stay, and the line says where.
    ASSERT_EQ(std::remove(ini.c_str()), 0);
    ASSERT_TRUE(std::filesystem::create_directory(ini));
    EXPECT_EQ(sim::putBackKeptIni(ini, &message), sim::kKeptIniStuck);
    EXPECT_NE(message.find("your settings are in " + copy), std::string::npos) << message;
    EXPECT_EQ(contents(copy), kOperators);
}

TEST_F(OperatorFiles, AReplayPutsBackWhatWasThereAndOnlyThat) {
    std::string error;
    // Restored byte for byte, the copy gone.
    ASSERT_EQ(sim::writeBytes(ini, kOperators), sim::kWritten);
    sim::KeptIni kept;
    ASSERT_TRUE(sim::keepIni(ini, &kept, &error)) << error;
    ASSERT_TRUE(sim::writeReplayIni(&kept, kReplays, &error));
    ASSERT_TRUE(sim::restoreIni(kept, &error)) << error;
    EXPECT_EQ(contents(ini), kOperators);
    EXPECT_FALSE(sim::fileExists(copy));

    // No plugin.ini before: none after; meanwhile a mark says so, in case the sweep is ended
    // halfway, and the next run then removes the replay's (whose page is off).
    const std::string absent = sim::absentIniPath(ini);
    ASSERT_EQ(std::remove(ini.c_str()), 0);
    for (bool ended : {false, true}) {
        ASSERT_TRUE(sim::keepIni(ini, &kept, &error)) << error;
        EXPECT_FALSE(sim::fileExists(copy));
        EXPECT_TRUE(sim::fileExists(absent));
        ASSERT_TRUE(sim::writeReplayIni(&kept, kReplays, &error));
        if (ended) {
            std::string message;
            EXPECT_EQ(sim::putBackKeptIni(ini, &message), sim::kKeptIniPutBack);
            EXPECT_NE(message.find("the replay's is removed"), std::string::npos) << message;
        } else {
            ASSERT_TRUE(sim::restoreIni(kept, &error)) << error;
        }
        EXPECT_FALSE(sim::fileExists(ini));
        EXPECT_FALSE(sim::fileExists(absent));
    }

    // A replay that never wrote its own (plugin.ini read-only) changed nothing: nothing to put back,
    // and the copy is not left behind.
    ASSERT_EQ(sim::writeBytes(ini, kOperators), sim::kWritten);
    ASSERT_TRUE(sim::keepIni(ini, &kept, &error)) << error;
    ASSERT_TRUE(sim::fileExists(copy));
    ASSERT_TRUE(sim::restoreIni(kept, &error)) << error;
    EXPECT_FALSE(sim::fileExists(copy));
    EXPECT_EQ(contents(ini), kOperators);

    // One that cannot be written (a folder stands in its place) is refused before a copy is made,
    // and the error says it is unchanged.
    ASSERT_EQ(std::remove(ini.c_str()), 0);
    ASSERT_TRUE(std::filesystem::create_directory(ini));
    EXPECT_FALSE(sim::keepIni(ini, &kept, &error));
    EXPECT_NE(error.find("plugin.ini is unchanged"), std::string::npos) << error;
    EXPECT_FALSE(sim::fileExists(copy));
}

TEST_F(OperatorFiles, AFileWrittenSinceTheReplayIsNeverReplacedNorRemoved) {
    EXPECT_EQ(sim::checksumLine(kReplays), "3074776928 39") << "as cksum prints it, for scripts to compare";
    const std::string mine = "[Songbeacon]\r\nSameArtistCheckLimit=5\r\n";
    const std::string absent = sim::absentIniPath(ini);
    std::string error, message;
    for (bool existed : {true, false}) {
        if (existed) {
            ASSERT_EQ(sim::writeBytes(ini, kOperators), sim::kWritten);
        }
        sim::KeptIni kept;
        ASSERT_TRUE(sim::keepIni(ini, &kept, &error)) << error;
        ASSERT_TRUE(sim::writeReplayIni(&kept, kReplays, &error)) << error;
        ASSERT_EQ(sim::writeBytes(ini, mine), sim::kWritten); // the operator's, while the replay runs
        ASSERT_TRUE(sim::restoreIni(kept, &message)) << message;
        EXPECT_NE(message.find("so both are kept"), std::string::npos) << message;
        // ... and the next run, as after a sweep ended there.
        EXPECT_EQ(sim::putBackKeptIni(ini, &message), sim::kKeptIniKeptBoth) << message;
        EXPECT_EQ(contents(ini), mine);
        EXPECT_EQ(contents(existed ? copy : absent), existed ? kOperators : "");
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    // A mark left by an older version records nothing: plugin.ini is not provably the replay's.
    ASSERT_EQ(sim::writeBytes(absent, ""), sim::kWritten);
    ASSERT_EQ(sim::writeBytes(ini, mine), sim::kWritten);
    EXPECT_EQ(sim::putBackKeptIni(ini, &message), sim::kKeptIniKeptBoth) << message;
    EXPECT_EQ(contents(ini), mine);
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
