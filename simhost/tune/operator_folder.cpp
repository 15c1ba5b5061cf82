// The tool's folder and its copies. The names of the product and of the plug-in's file come from
// the build (SB_PRODUCT_NAME, SB_PLUGIN_FILE), as the plug-in's own texts do.
#include "tune/operator_folder.h"

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "cli/operator_files.h"
#include "tune/windows_shell.h"

namespace {

constexpr wchar_t kPluginFile[] = L"" SB_PLUGIN_FILE;
constexpr wchar_t kIniFile[] = L"plugin.ini";
constexpr char kSection[] = SB_PRODUCT_NAME;
constexpr DWORD kLongestPath = 32768;

std::wstring folderOf(const std::wstring& path) {
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

std::string systemError(DWORD code) {
    return "error " + std::to_string(code);
}

// The whole of the file at `path`, opened with every sharing allowed: a player that writes
// plugin.ini, or has the plug-in loaded, meanwhile is never refused because of this read.
bool readShared(const std::wstring& path, std::string* bytes, DWORD* code) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *code = GetLastError();
        return false;
    }
    bytes->clear();
    char buffer[65536];
    DWORD got = 0;
    bool read = true;
    while ((read = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0)
        bytes->append(buffer, got);
    *code = GetLastError();
    CloseHandle(file);
    return read;
}

bool writeWhole(const std::wstring& path, const std::string& bytes, DWORD* code) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *code = GetLastError();
        return false;
    }
    DWORD written = 0;
    const bool whole = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                       written == bytes.size();
    *code = GetLastError();
    return CloseHandle(file) && whole;
}

bool copyShared(const std::wstring& from, const std::wstring& to, std::string* error) {
    std::string bytes;
    DWORD code = 0;
    if (!readShared(from, &bytes, &code)) {
        *error = "cannot read " + shown(from) + " (" + systemError(code) + ")";
        return false;
    }
    if (!writeWhole(to, bytes, &code)) {
        *error =
            "cannot write " + shown(to) + " (" + systemError(code) + "): is another songbeacon-tune running?";
        return false;
    }
    return true;
}

bool makeFolder(const std::wstring& folder) {
    return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

} // namespace

namespace sim {

bool inAnsiCodePage(const std::wstring& text, std::string* ansi) {
    ansi->clear();
    if (text.empty())
        return true;
    // The UTF-8 code page holds every character, and takes neither the flag nor the question.
    const bool utf8 = GetACP() == CP_UTF8;
    BOOL usedDefault = FALSE;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const auto count = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_ACP, flags, text.c_str(), count, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return false;
    ansi->resize(static_cast<size_t>(length));
    WideCharToMultiByte(CP_ACP, flags, text.c_str(), count, &(*ansi)[0], length, nullptr,
                        utf8 ? nullptr : &usedDefault);
    return !usedDefault;
}

bool ansiPath(const std::wstring& path, std::string* ansi) {
    if (inAnsiCodePage(path, ansi))
        return true;
    std::vector<wchar_t> shortPath(kLongestPath);
    const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), kLongestPath);
    return length > 0 && length < kLongestPath &&
           inAnsiCodePage(std::wstring(shortPath.data(), length), ansi);
}

std::wstring widePath(const std::string& ansi) {
    const auto count = static_cast<int>(ansi.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), count, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), count, &wide[0], length);
    return wide;
}

bool findInstalledPlugin(std::wstring* dll, std::string* error) {
    std::vector<wchar_t> program(kLongestPath);
    const DWORD length = GetModuleFileNameW(nullptr, program.data(), kLongestPath);
    const std::wstring here = folderOf(std::wstring(program.data(), length < kLongestPath ? length : 0));
    for (const std::wstring& folder : {here, folderOf(here)}) {
        *dll = folder + L"\\" + kPluginFile;
        if (!folder.empty() && isFile(*dll))
            return true;
    }
    *error = "no " SB_PLUGIN_FILE " beside this program in " + shown(here) +
             " nor in the folder above it: run the program Setup installed, or keep it beside the plug-in";
    return false;
}

bool prepareTuningFolder(const std::wstring& dll, const std::wstring& settings, TuningFiles* files,
                         std::string* error) {
    const std::wstring base = localAppData();
    if (base.empty()) {
        *error = "there is no local application-data folder (LOCALAPPDATA is not set) to work in";
        return false;
    }
    const std::wstring product = base + L"\\" SB_PRODUCT_NAME;
    files->folder = product + L"\\Tuning";
    if (!makeFolder(product) || !makeFolder(files->folder)) {
        *error = "cannot make the folder " + shown(files->folder) + " (" + systemError(GetLastError()) + ")";
        return false;
    }
    files->dll = files->folder + L"\\" + kPluginFile;
    files->ini = files->folder + L"\\" + kIniFile;
    // An earlier copy's settings, kept aside by a sweep that was ended halfway, and the record of
    // what its replay wrote, are not the operator's any more: the player's plugin.ini is.
    std::string ini;
    if (ansiPath(files->folder, &ini)) {
        ini += "\\plugin.ini";
        DeleteFileW(widePath(keptIniPath(ini)).c_str());
        DeleteFileW(widePath(absentIniPath(ini)).c_str());
        DeleteFileW(widePath(replayRecordPath(ini)).c_str());
    }
    if (!copyShared(dll, files->dll, error))
        return false;
    const std::wstring from = settings.empty() ? folderOf(dll) + L"\\" + kIniFile : settings;
    files->iniCopied = isFile(from);
    if (!files->iniCopied && !settings.empty()) {
        *error = "--ini: there is no settings file " + shown(settings);
        return false;
    }
    if (files->iniCopied)
        return copyShared(from, files->ini, error);
    if (!DeleteFileW(files->ini.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        *error =
            "cannot remove the earlier copy " + shown(files->ini) + " (" + systemError(GetLastError()) + ")";
        return false;
    }
    return true;
}

bool setCopiedLimit(const TuningFiles& files, const char* key, int value) {
    std::string ini;
    return ansiPath(files.folder, &ini) &&
           WritePrivateProfileStringA(kSection, key, std::to_string(value).c_str(),
                                      (ini + "\\plugin.ini").c_str());
}

} // namespace sim
