// Reads plugin.ini key by key. Texts are read into a buffer far larger than the plug-in's, so a
// value the plug-in would cut is seen whole.
#include "cli/ini_reader.h"

#include <cstring>
#include <vector>

namespace {

constexpr char kSection[] = "Songbeacon";
constexpr char kAbsent[] = "\x7f(absent)"; // a default no file can hold: the key is missing
constexpr DWORD kTextBufferSize = 65536;

} // namespace

namespace sim {

std::string iniPathBeside(HMODULE module) {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    std::string folder(path, length < MAX_PATH ? length : MAX_PATH);
    const size_t backslash = folder.find_last_of('\\');
    folder = backslash == std::string::npos ? std::string() : folder.substr(0, backslash + 1);
    return folder + "plugin.ini";
}

IniSnapshot readIni(const std::string& path) {
    IniSnapshot ini = {};
    ini.fileFound = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    std::vector<char> text(kTextBufferSize);
    for (int32_t key = 0; key < kIniKeyCount; key++) {
        const IniKeyInfo& info = iniKeyInfo(key);
        GetPrivateProfileStringA(kSection, info.name, kAbsent, text.data(), kTextBufferSize, path.c_str());
        IniValue& value = ini.values[key];
        value.present = std::strcmp(text.data(), kAbsent) != 0;
        value.text = value.present ? text.data() : "";
        if (info.isNumber)
            value.number = static_cast<int32_t>(
                GetPrivateProfileIntA(kSection, info.name, info.defaultNumber, path.c_str()));
    }
    return ini;
}

AirLogAccess airLogAccess(const std::string& path) {
    if (!folderExists(folderOf(path)))
        return kAirLogFolderMissing;
    // As the plug-in opens it, sharing everything; a file made here only to find out goes again.
    const bool existed = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              existed ? OPEN_EXISTING : CREATE_NEW,
                              existed ? FILE_ATTRIBUTE_NORMAL : FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION ? kAirLogWritable : kAirLogNotWritable;
    CloseHandle(file);
    return kAirLogWritable;
}

void checkAirLog(const IniSnapshot& ini, const std::string& iniPath, std::vector<std::string>* warnings) {
    const std::string path = airLogPathOf(ini, iniPath);
    const std::string warning =
        airLogWarning(ini, iniPath, path.empty() ? kAirLogWritable : airLogAccess(path));
    if (!warning.empty())
        warnings->push_back(warning);
}

bool folderExists(const std::string& folder) {
    if (folder.empty())
        return true;
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace sim
