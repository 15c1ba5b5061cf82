// songbeacon-tune started without a playlist, as the Start menu starts it: it asks for one with the
// standard Open dialog, which the test drives as an operator would, from outside the tool's process.
// Two tools started at once on two playlists each end with their own answer and report, in folders
// of their own that are gone when they end; an ended run's folder is removed by the next run, and a
// running run's never is. In a console of its own, even the watchdog's end keeps the window until a
// key is pressed.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "support/dialog_driver.h"
#include "support/test_files.h"
#include "tune/windows_shell.h"

namespace {

struct TuneDialogTest : testing::Test {
    std::string folder = support::makeTestFolder();
    std::string appData = folder + "\\app data";
    std::string playlist = folder + "\\My Station.txt";
    std::string chosen = playlist; // what the operator picks in the Open dialog, unless typed otherwise

    // The tool beside a copy of the plug-in, as the release zip holds them, with an application-data
    // folder of the test's own. In a test pack both are beside this program.
    void SetUp() override {
        const std::string tool = support::besideThisProgramElse("songbeacon-tune.exe", SB_TUNE_EXE);
        const std::string dll = support::besideThisProgramElse("gen_SBeacon.dll", SB_PLUGIN_DLL);
        ASSERT_TRUE(CopyFileA(tool.c_str(), (folder + "\\songbeacon-tune.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(dll.c_str(), (folder + "\\gen_SBeacon.dll").c_str(), FALSE));
        support::writeFile(playlist, kTitles);
        CreateDirectoryA(appData.c_str(), nullptr);
        SetEnvironmentVariableA("LOCALAPPDATA", appData.c_str());
    }
    void TearDown() override {
        for (const std::string& run : support::listFolders(tuning()))
            support::removeFolder(tuning() + "\\" + run);
        for (const std::string& made : {tuning(), appData + "\\Songbeacon", appData, folder})
            support::removeFolder(made);
    }

    static constexpr char kTitles[] = "Abba - SOS\r\nBlur - Song 2\r\nCher - Believe\r\nDido - Thank You\r\n";

    std::string tuning() const { return appData + "\\Songbeacon\\Tuning"; }

    // The tool's command line with `arguments` after its own name, and the options every run here
    // takes.
    std::string toolCommand(const std::string& arguments) const {
        return "\"" + folder + "\\songbeacon-tune.exe\" " + arguments + (arguments.empty() ? "" : " ") +
               "--no-browser --shuffle 7 --sweep-artist 0..2";
    }

    // Starts `command` in the tool's folder, its output going into `outputPath`; false when it
    // cannot.
    bool start(std::string command, const std::string& outputPath, PROCESS_INFORMATION* started) {
        SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
        HANDLE out = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                 CREATE_ALWAYS, 0, nullptr);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = startup.hStdError = out;
        const bool ran = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                                        folder.c_str(), &startup, started);
        CloseHandle(out);
        return ran;
    }

    // The exit status of `started` once it has ended, within `deadlineMs` (else it is ended: 124).
    static DWORD statusOf(const PROCESS_INFORMATION& started, DWORD deadlineMs) {
        if (!support::waitFor([&] { return WaitForSingleObject(started.hProcess, 0) == WAIT_OBJECT_0; },
                              deadlineMs))
            TerminateProcess(started.hProcess, 124);
        DWORD status = 124;
        GetExitCodeProcess(started.hProcess, &status);
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
        return status;
    }

    // Runs the tool with no playlist in its own folder, as the Start menu's entry starts it, answers
    // its Open dialog with `answer` (IDOK after typing `typed`, else `chosen`, whole, or IDCANCEL) and
    // returns its exit status; `output` gets what it printed.
    DWORD runAnswering(int answer, std::string* output, const std::string& typed = std::string()) {
        const std::string outputPath = folder + "\\output.txt";
        PROCESS_INFORMATION started = {};
        if (!start(toolCommand(""), outputPath, &started))
            return 125;
        HWND dialog = nullptr;
        EXPECT_TRUE(support::waitFor([&] {
            return (dialog = FindWindowA("#32770", sim::kOpenPlaylistCaption)) != nullptr &&
                   IsWindowVisible(dialog);
        })) << "no Open dialog captioned \""
            << sim::kOpenPlaylistCaption << "\"";
        if (dialog != nullptr) {
            if (answer == IDOK) {
                EXPECT_TRUE(
                    support::setWindowText(support::chooserNameBox(dialog), typed.empty() ? chosen : typed));
            }
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
        }
        const DWORD status = statusOf(started, 5 * support::kDeadlineMs);
        *output = support::readFile(outputPath);
        return status;
    }
};

// The path the last line names as where the report is kept; empty when there is no such line.
std::string keptReport(const std::string& output) {
    const std::string said = "The report is kept in ";
    const size_t at = output.rfind(said);
    const size_t end = output.find(" (index.html beside it", at);
    return at == std::string::npos || end == std::string::npos
               ? std::string()
               : output.substr(at + said.size(), end - at - said.size());
}

// The user's Music folder, made when there is none.
std::string musicFolder() {
    wchar_t* known = nullptr;
    char path[MAX_PATH] = "";
    if (SHGetKnownFolderPath(FOLDERID_Music, KF_FLAG_CREATE, nullptr, &known) == S_OK)
        WideCharToMultiByte(CP_ACP, 0, known, -1, path, sizeof path, nullptr, nullptr);
    CoTaskMemFree(known);
    return path;
}

TEST_F(TuneDialogTest, ThePlaylistChosenInTheOpenDialogIsSwept) {
    // What an earlier version kept in the folder: its copies go, its report stays.
    ASSERT_TRUE(CreateDirectoryA((appData + "\\Songbeacon").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(tuning().c_str(), nullptr));
    for (const char* earlier : {"gen_SBeacon.dll", "plugin.ini", "plugin.ini.before-sweep", "sweep.html"})
        support::writeFile(tuning() + "\\" + earlier, "earlier");
    std::string output;
    EXPECT_EQ(runAnswering(IDOK, &output), 0u) << output;
    EXPECT_NE(output.find("note: removed the copies an earlier version of this tool kept in " + tuning()),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("playlist: " + playlist + ", read as"), std::string::npos) << output;
    EXPECT_NE(output.find("\"" + playlist + "\" --no-browser --shuffle 7 --sweep-artist 0..2"),
              std::string::npos)
        << "the command that repeats the sweep names the playlist chosen";
    const std::string report = keptReport(output);
    EXPECT_EQ(report.rfind(tuning() + "\\My Station ", 0), 0u) << output;
    EXPECT_NE(support::readFile(report).find("<!-- songbeacon-tune report: "), std::string::npos) << report;
    EXPECT_EQ(support::listFiles(tuning()).size(), 4u)
        << "the two reports, the new one's table and the index, no copies";
    EXPECT_EQ(support::readFile(tuning() + "\\sweep.html"), "earlier");
    EXPECT_TRUE(support::listFolders(tuning()).empty()) << "the run's own folder is gone";
}

TEST_F(TuneDialogTest, TwoToolsAtOnceEachAnswerAndNeitherRemovesARunningRunsFolder) {
    ASSERT_TRUE(CreateDirectoryA((appData + "\\Songbeacon").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(tuning().c_str(), nullptr));
    // An ended run's folder (its lock let go as its process ended), and a running one's.
    for (const char* run : {"\\run-ended", "\\run-running"}) {
        ASSERT_TRUE(CreateDirectoryA((tuning() + run).c_str(), nullptr));
        support::writeFile(tuning() + run + "\\gen_SBeacon.dll", "a copy");
    }
    HANDLE lock = CreateFileA((tuning() + "\\run-running\\run.lock").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                              nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    const std::string second = folder + "\\Late Shift.txt";
    support::writeFile(second, "Eels - Novocaine\r\nFeist - 1234\r\nGong - Flute\r\nHole - Malibu\r\n");
    PROCESS_INFORMATION runs[2] = {};
    const std::string lists[2] = {playlist, second};
    const std::string recorded[2] = {"playlist=My%20Station.txt ", "playlist=Late%20Shift.txt "};
    for (int i = 0; i < 2; i++)
        ASSERT_TRUE(start(toolCommand("\"" + lists[i] + "\""),
                          folder + "\\output" + std::to_string(i) + ".txt", &runs[i]));
    std::string reports[2];
    for (int i = 0; i < 2; i++) {
        EXPECT_EQ(statusOf(runs[i], 5 * support::kDeadlineMs), 0u);
        const std::string output = support::readFile(folder + "\\output" + std::to_string(i) + ".txt");
        EXPECT_TRUE(output.find("\nrecommended: ") != std::string::npos ||
                    output.find("\nchoice: ") != std::string::npos)
            << output;
        reports[i] = keptReport(output);
        EXPECT_NE(support::readFile(reports[i]).find(recorded[i]), std::string::npos) << reports[i] << "\n"
                                                                                      << output;
    }
    EXPECT_NE(reports[0], reports[1]);
    const std::string index = support::readFile(tuning() + "\\index.html");
    EXPECT_NE(index.find(">My Station.txt</a>"), std::string::npos) << index;
    EXPECT_NE(index.find(">Late Shift.txt</a>"), std::string::npos) << index;
    EXPECT_FALSE(support::fileExists(tuning() + "\\run-ended\\gen_SBeacon.dll"))
        << "the ended run's folder is removed";
    EXPECT_EQ(support::readFile(tuning() + "\\run-running\\gen_SBeacon.dll"), "a copy");
    EXPECT_EQ(support::listFolders(tuning()), std::vector<std::string>{"run-running"});
    CloseHandle(lock);
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
    EXPECT_EQ(keptReport(output).rfind(tuning() + "\\songbeacon-air ", 0), 0u) << output;
}

TEST_F(TuneDialogTest, TheOpenDialogOpensInMusicThenInTheFolderLastUsed) {
    // Started in its own folder, which holds a .txt (as the read-me is beside the installed tool),
    // the dialog opens in Music: a name typed alone is Music's file.
    const std::string music = musicFolder();
    ASSERT_FALSE(music.empty());
    const std::string inMusic = "Songbeacon test " + std::to_string(GetCurrentProcessId()) + ".txt";
    support::writeFile(music + "\\" + inMusic, kTitles);
    std::string output;
    EXPECT_EQ(runAnswering(IDOK, &output, inMusic), 0u) << output;
    DeleteFileA((music + "\\" + inMusic).c_str());
    EXPECT_NE(output.find("playlist: " + music + "\\" + inMusic + ", read as"), std::string::npos) << output;

    // A playlist chosen in another folder: the next dialog opens there.
    support::writeFile(appData + "\\First.txt", kTitles);
    support::writeFile(appData + "\\Second.txt", kTitles);
    EXPECT_EQ(runAnswering(IDOK, &output, appData + "\\First.txt"), 0u) << output;
    EXPECT_EQ(runAnswering(IDOK, &output, "Second.txt"), 0u) << output;
    EXPECT_NE(output.find("playlist: " + appData + "\\Second.txt, read as"), std::string::npos) << output;
}

// As from the Start menu, in a console of its own (run_limited makes it, reads it and presses a key
// once the prompt shows), with a plug-in whose shut-down hangs in the replay: the watchdog ends the
// tool, and the window still waits for the key.
TEST_F(TuneDialogTest, InAConsoleOfItsOwnEvenTheWatchdogsEndWaitsForAKey) {
    const std::string runLimited = support::besideThisProgramElse("run_limited.exe", SB_RUN_LIMITED);
    const std::string misbehaving = support::besideThisProgramElse("gen_misbehaving.dll", SB_MISBEHAVING_DLL);
    if (!support::fileExists(runLimited) || !support::fileExists(misbehaving))
        GTEST_SKIP() << "run_limited.exe and gen_misbehaving.dll are not beside this program";
    ASSERT_TRUE(CopyFileA(misbehaving.c_str(), (folder + "\\gen_SBeacon.dll").c_str(), FALSE));
    SetEnvironmentVariableA("SB_MISBEHAVE", "hang-shutdown");
    PROCESS_INFORMATION started = {};
    ASSERT_TRUE(
        start("\"" + runLimited + "\" --console \"Press any key to close\" \"" + folder +
                  "\\songbeacon-tune.exe\" \"" + playlist +
                  "\" --no-browser --shuffle 7 --sweep-artist 0..1 --seeds 1 --hours 1 --fast-timeout 2",
              folder + "\\console.txt", &started));
    SetEnvironmentVariableA("SB_MISBEHAVE", nullptr);
    EXPECT_EQ(statusOf(started, 10 * support::kDeadlineMs), 5u);
    const std::string console = support::readFile(folder + "\\console.txt");
    EXPECT_NE(console.find("error: the plug-in's shutDown did not return within 30 s"), std::string::npos)
        << console;
    EXPECT_NE(console.find("Press any key to close this window."), std::string::npos) << console;
}

TEST_F(TuneDialogTest, CancellingTheOpenDialogDoesNothing) {
    std::string output;
    EXPECT_EQ(runAnswering(IDCANCEL, &output), 1u) << output;
    EXPECT_NE(output.find("No playlist chosen: nothing was done."), std::string::npos) << output;
    EXPECT_EQ(GetFileAttributesA((appData + "\\Songbeacon").c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
