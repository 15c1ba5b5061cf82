// The tool's folder, its runs and its reports. The names of the product and of the plug-in's file
// come from the build (SB_PRODUCT_NAME, SB_PLUGIN_FILE), as the plug-in's own texts do. Every file
// the tool writes whole goes first under a name in the run's own folder, then is moved into place,
// so a reader (a browser, or another tool building the index) never finds half of one.
#include "tune/operator_folder.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/ansi_code_page.h"
#include "cli/operator_files.h"
#include "cli/settings_check.h"
#include "cli/shared_read.h"
#include "tune/windows_shell.h"

namespace {

constexpr wchar_t kPluginFile[] = L"" SB_PLUGIN_FILE;
constexpr wchar_t kIniFile[] = L"plugin.ini";
constexpr DWORD kLongestPath = 32768;
constexpr DWORD kRecordBytes = 4096; // a report's record is within its first bytes
constexpr int kMostIndexBuilds = 5;

std::wstring parentOf(const std::wstring& path) {
    const size_t backslash = path.find_last_of(L"\\/");
    return backslash == std::wstring::npos ? std::wstring() : path.substr(0, backslash);
}

bool isFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string shown(const std::wstring& path) {
    std::string ansi;
    sim::inAnsiCodePage(path, &ansi); // for a message: a letter without a place shows as "?"
    return ansi;
}

std::string utf8Of(const std::wstring& text) {
    const auto count = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), count, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), count, &utf8[0], length, nullptr, nullptr);
    return utf8;
}

bool makeFolder(const std::wstring& folder) {
    return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// Writes `bytes` whole under `name` in the run's folder, then moves it over `to`; false when it
// cannot (a reader that shares no deletion holds `to`, say, past a few tries).
bool replaceWhole(const sim::TuningRun& run, const wchar_t* name, const std::wstring& to,
                  const std::string& bytes) {
    const std::wstring temporary = run.folder.path + L"\\" + name;
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool whole = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                       written == bytes.size();
    if (!CloseHandle(file) || !whole) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    for (int attempt = 0; attempt < 20; attempt++) {
        if (MoveFileExW(temporary.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING))
            return true;
        Sleep(50);
    }
    DeleteFileW(temporary.c_str());
    return false;
}

// The first bytes of the file at `path`, read with every kind of sharing allowed.
std::string headOf(const std::wstring& path) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string head(kRecordBytes, '\0');
    DWORD got = 0;
    if (!ReadFile(file, &head[0], kRecordBytes, &got, nullptr))
        got = 0;
    CloseHandle(file);
    head.resize(got);
    return head;
}

// The records of the reports in the tool's folder, each with its file's name.
std::vector<sim::ReportRecord> listReports(const std::wstring& tuning) {
    std::vector<sim::ReportRecord> records;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((tuning + L"\\*.html").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return records;
    do {
        sim::ReportRecord record = {};
        record.file = utf8Of(found.cFileName);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            record.file != sim::kReportIndexName &&
            sim::readRecord(headOf(tuning + L"\\" + found.cFileName), &record))
            records.push_back(record);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return records;
}

bool sameFiles(const std::vector<sim::ReportRecord>& a, const std::vector<sim::ReportRecord>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); i++)
        if (a[i].file != b[i].file || a[i].time != b[i].time)
            return false;
    return true;
}

// The CSV the sweep writes beside its page (the page's name, ending .csv), which goes with it.
std::wstring tableBeside(const std::wstring& page) {
    const size_t dot = page.find_last_of(L'.');
    return (dot == std::wstring::npos ? page : page.substr(0, dot)) + L".csv";
}

} // namespace

namespace sim {

bool findInstalledPlugin(std::wstring* dll, std::string* error) {
    std::vector<wchar_t> program(kLongestPath);
    const DWORD length = GetModuleFileNameW(nullptr, program.data(), kLongestPath);
    const std::wstring here = parentOf(std::wstring(program.data(), length < kLongestPath ? length : 0));
    for (const std::wstring& folder : {here, parentOf(here)}) {
        *dll = folder + L"\\" + kPluginFile;
        if (!folder.empty() && isFile(*dll))
            return true;
    }
    *error = "no " SB_PLUGIN_FILE " beside this program in " + shown(here) +
             " nor in the folder above it: run the program Setup installed, or keep it beside the plug-in";
    return false;
}

bool startTuningRun(const std::wstring& dll, const std::wstring& settings, TuningRun* run, std::string* note,
                    std::string* error) {
    run->folder.lock = INVALID_HANDLE_VALUE;
    note->clear();
    const std::wstring base = localAppData();
    if (base.empty()) {
        *error = "there is no local application-data folder (LOCALAPPDATA is not set) to work in";
        return false;
    }
    const std::wstring product = base + L"\\" SB_PRODUCT_NAME;
    run->tuning = product + L"\\Tuning";
    if (!makeFolder(product) || !makeFolder(run->tuning)) {
        *error = "cannot make the folder " + shown(run->tuning) + " (error " +
                 std::to_string(GetLastError()) + ")";
        return false;
    }
    // What an earlier version kept in the folder itself: copies, never the player's own files (the
    // player's plugin.ini is the one that counts), and the files its sweep left beside the copy.
    const std::string ini = "plugin.ini";
    for (const std::wstring& name :
         {std::wstring(kPluginFile), std::wstring(kIniFile), widePath(oldKeptIniPath(ini)),
          widePath(oldAbsentMarkPath(ini)), widePath(oldReplayRecordPath(ini))})
        if (DeleteFileW((run->tuning + L"\\" + name).c_str()))
            *note = "removed the copies an earlier version of this tool kept in " + shown(run->tuning) +
                    " (the player's own files were never changed): each run now works in a folder of its own "
                    "there, removed when it ends";
    const std::wstring from = settings.empty() ? parentOf(dll) + L"\\" + kIniFile : settings;
    run->iniCopied = isFile(from);
    if (!run->iniCopied && !settings.empty()) {
        *error = "--ini: there is no settings file " + shown(settings);
        return false;
    }
    const std::wstring dllName = dll.substr(parentOf(dll).size() + 1);
    std::string ansiName;
    if (!openRunFolder(run->tuning, L"run-", &run->folder, error))
        return false;
    if (copyIntoRunFolder(run->folder, dll, dllName.c_str(), error) &&
        (!run->iniCopied || copyIntoRunFolder(run->folder, from, kIniFile, error)) &&
        inAnsiCodePage(dllName, &ansiName)) {
        if (!run->iniCopied || keepPageInRunFolder(run->folder)) {
            run->dll = runFolderFile(run->folder, ansiName.c_str());
            return true;
        }
        *error = "cannot write the copy of plugin.ini in " + run->folder.ansi;
    }
    closeRunFolder(&run->folder);
    return false;
}

void endTuningRun(TuningRun* run) {
    closeRunFolder(&run->folder);
}

std::string newReportPath(const TuningRun& run, const std::string& playlistPath, std::string* time) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond);
    *time = text;
    std::string tuning;
    if (!ansiPath(run.tuning, &tuning))
        return std::string();
    for (int32_t copy = 1; copy < 100; copy++) {
        const std::string path = tuning + "\\" + reportFileName(fileNameOf(playlistPath), *time, copy);
        HANDLE file = CreateFileW(widePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return path;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    return std::string();
}

bool keepReport(const TuningRun& run, const std::string& reportPath, ReportRecord record) {
    const std::wstring report = widePath(reportPath);
    std::string page;
    DWORD code = 0;
    if (!readShared(report, &page, &code) || page.empty()) {
        DeleteFileW(report.c_str()); // the name taken for a report the sweep never wrote
        return false;
    }
    record.playlist = utf8Of(widePath(record.playlist));
    if (!replaceWhole(run, L"report.html", report, withRecord(page, record)))
        return false;
    const std::string own = utf8Of(report.substr(parentOf(report).size() + 1));
    // Built again while another tool's report came or went meanwhile, so the last index written
    // lists every report kept when it was written.
    std::vector<ReportRecord> past;
    for (int build = 0; build < kMostIndexBuilds; build++) {
        std::vector<ReportRecord> kept = listReports(run.tuning);
        keepNewest(&kept, own, &past);
        for (const ReportRecord& old : past) {
            const std::wstring page = run.tuning + L"\\" + wideOf(old.file, CP_UTF8);
            DeleteFileW(page.c_str());
            DeleteFileW(tableBeside(page).c_str());
        }
        if (!replaceWhole(run, L"index.html", run.tuning + L"\\" + wideOf(kReportIndexName, CP_UTF8),
                          renderReportIndex(kept)))
            break;
        std::vector<ReportRecord> now = listReports(run.tuning);
        keepNewest(&now, own, &past);
        if (sameFiles(kept, now))
            break;
    }
    return true;
}

} // namespace sim
