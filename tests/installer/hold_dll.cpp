// Stands in for a running player that has loaded the plug-in: loads a DLL as the player loads its
// plug-ins and keeps it loaded until told to let go, so that the installer meets a DLL in use.
//   hold_dll <dll> <ready-file> <release-file>
// Creates ready-file once the DLL is loaded, then waits for release-file to appear. Exits 0 after
// letting go, 2 when the DLL cannot be loaded, 3 when no release comes within five minutes.
#include <windows.h>

#include <cstdio>

namespace {

constexpr DWORD kReleaseDeadlineMs = 300000; // only ends a test that never releases
constexpr DWORD kPollMs = 50;

// True when `path` names an existing file or folder.
bool exists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: hold_dll <dll> <ready-file> <release-file>\n");
        return 1;
    }
    HMODULE module = LoadLibraryA(argv[1]);
    if (module == nullptr) {
        std::fprintf(stderr, "cannot load %s (error %lu)\n", argv[1], GetLastError());
        return 2;
    }
    HANDLE ready = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (ready != INVALID_HANDLE_VALUE)
        CloseHandle(ready);
    int status = 3;
    for (DWORD start = GetTickCount(); GetTickCount() - start < kReleaseDeadlineMs; Sleep(kPollMs))
        if (exists(argv[3])) {
            status = 0;
            break;
        }
    FreeLibrary(module);
    return status;
}
