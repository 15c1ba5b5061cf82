#include "support/test_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace support {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "<missing>";
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string besideThisProgramElse(const char* name, const std::string& built) {
    char program[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    std::string beside(program, length < sizeof program ? length : 0);
    beside = beside.substr(0, beside.rfind('\\') + 1) + name;
    return fileExists(beside) ? beside : built;
}

namespace {

// Names of the entries directly in `folder` that are folders (`folders`) or files.
std::vector<std::string> listEntries(const std::string& folder, bool folders) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == folders && name != "." &&
            name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

} // namespace

std::vector<std::string> listFiles(const std::string& folder) {
    return listEntries(folder, false);
}

std::vector<std::string> listFolders(const std::string& folder) {
    return listEntries(folder, true);
}

void removeFolder(const std::string& folder) {
    for (const std::string& name : listFiles(folder)) {
        const std::string file = folder + "\\" + name;
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(file.c_str());
    }
    RemoveDirectoryA(folder.c_str());
}

std::string makeTestFolder() {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = test != nullptr ? std::string(test->test_suite_name()) + test->name() : "";
    const std::string folder = std::string(temp) + "sb" + std::to_string(GetCurrentProcessId()) + "-" +
                               std::to_string(std::hash<std::string>()(name) % 100000);
    removeFolder(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string iniText(const std::string& iniPath, const char* key) {
    char text[2048];
    GetPrivateProfileStringA("Songbeacon", key, "<missing>", text, sizeof text, iniPath.c_str());
    return text;
}

int iniInteger(const std::string& iniPath, const char* key) {
    return static_cast<int>(GetPrivateProfileIntA("Songbeacon", key, -12345, iniPath.c_str()));
}

bool waitFor(const std::function<bool()>& ready, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!ready()) {
        if (GetTickCount64() > deadline)
            return false;
        Sleep(1);
    }
    return true;
}

} // namespace support
