// songbeacon-tune started without a playlist, as the Start menu starts it: it asks for one with the
// standard Open dialog, which the test drives as an operator would, from outside the tool's process.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "support/dialog_driver.h"
#include "support/test_files.h"
#include "tune/windows_shell.h"

namespace {

struct TuneDialogTest : testing::Test {
    std::string folder = support::makeTestFolder();
    std::string appData = folder + "\\app data";
    std::string playlist = folder + "\\My Station.txt";
    std::string chosen = playlist; // what the operator picks in the Open dialog

    // The tool beside a copy of the plug-in, as the release zip holds them, with an application-data
    // folder of the test's own. In a test pack both are beside this program.
    void SetUp() override {
        const std::string tool = support::besideThisProgramElse("songbeacon-tune.exe", SB_TUNE_EXE);
        const std::string dll = support::besideThisProgramElse("gen_SBeacon.dll", SB_PLUGIN_DLL);
        ASSERT_TRUE(CopyFileA(tool.c_str(), (folder + "\\songbeacon-tune.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(dll.c_str(), (folder + "\\gen_SBeacon.dll").c_str(), FALSE));
        support::writeFile(playlist, "Abba - SOS\r\nBlur - Song 2\r\nCher - Believe\r\nDido - Thank You\r\n");
        CreateDirectoryA(appData.c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::string& made :
             {appData + "\\Songbeacon\\Tuning", appData + "\\Songbeacon", appData, folder})
            support::removeFolder(made);
    }

    // Runs the tool with no playlist, answers its Open dialog with `answer` (IDOK after typing the
    // playlist's name, or IDCANCEL) and returns its exit status; `output` gets what it printed.
    DWORD runAnswering(int answer, std::string* output) {
        SetEnvironmentVariableA("LOCALAPPDATA", appData.c_str());
        SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
        const std::string outputPath = folder + "\\output.txt";
        HANDLE out = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                 CREATE_ALWAYS, 0, nullptr);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = startup.hStdError = out;
        std::string command =
            "\"" + folder + "\\songbeacon-tune.exe\" --no-browser --shuffle 7 --sweep-artist 0..2";
        PROCESS_INFORMATION started = {};
        const bool ran = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &started);
        CloseHandle(out);
        if (!ran)
            return 125;
        HWND dialog = nullptr;
        EXPECT_TRUE(support::waitFor([&] {
            return (dialog = FindWindowA("#32770", sim::kOpenPlaylistCaption)) != nullptr &&
                   IsWindowVisible(dialog);
        })) << "no Open dialog captioned \""
            << sim::kOpenPlaylistCaption << "\"";
        if (dialog != nullptr) {
            if (answer == IDOK) {
                EXPECT_TRUE(support::setWindowText(support::chooserNameBox(dialog), chosen));
            }
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
        }
        if (!support::waitFor([&] { return WaitForSingleObject(started.hProcess, 0) == WAIT_OBJECT_0; },
                              5 * support::kDeadlineMs))
            TerminateProcess(started.hProcess, 124);
        DWORD status = 124;
        GetExitCodeProcess(started.hProcess, &status);
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
        *output = support::readFile(outputPath);
        return status;
    }
};

TEST_F(TuneDialogTest, ThePlaylistChosenInTheOpenDialogIsSwept) {
    std::string output;
    EXPECT_EQ(runAnswering(IDOK, &output), 0u) << output;
    EXPECT_NE(output.find("playlist: " + playlist + ", read as"), std::string::npos) << output;
    EXPECT_NE(output.find("\"" + playlist + "\" --no-browser --shuffle 7 --sweep-artist 0..2"),
              std::string::npos)
        << "the command that repeats the sweep names the playlist chosen";
    EXPECT_TRUE(support::fileExists(appData + "\\Songbeacon\\Tuning\\sweep.html"));
}

TEST_F(TuneDialogTest, AnAirLogChosenInTheOpenDialogIsRead) {
    chosen = folder + "\\songbeacon-air.log";
    std::string log = "#Songbeacon air log\tformat 1\r\n";
    const char* const titles[] = {"Abba - SOS", "Blur - Song 2", "Cher - Believe", "Dido - Thank You"};
    for (int i = 0; i < 4; i++)
        log += "2026-12-08T20:0" + std::to_string(i * 2) + ":00.000+01:00\tplayed\t" + std::to_string(i + 1) +
               "\t" + titles[i] + "\t\t\t\t\t\t\t\t\r\n";
    support::writeFile(chosen, log);
    std::string output;
    EXPECT_EQ(runAnswering(IDOK, &output), 0u) << output;
    EXPECT_NE(output.find("== what went to air: songbeacon-air.log"), std::string::npos) << output;
    EXPECT_NE(output.find("played 4 tracks, skipped 0"), std::string::npos) << output;
    EXPECT_TRUE(support::fileExists(appData + "\\Songbeacon\\Tuning\\aired.html"));
}

TEST_F(TuneDialogTest, CancellingTheOpenDialogDoesNothing) {
    std::string output;
    EXPECT_EQ(runAnswering(IDCANCEL, &output), 1u) << output;
    EXPECT_NE(output.find("No playlist chosen: nothing was done."), std::string::npos) << output;
    EXPECT_EQ(GetFileAttributesA((appData + "\\Songbeacon").c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
