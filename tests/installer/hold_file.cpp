// Stands in for another program holding one of the installed files, so that the setup program
// meets it as a station does:
//   hold_file load <dll> <ready-file> <release-file>   a running player: the DLL loaded as the
//                                                      player loads its plug-ins
//   hold_file open <file> <ready-file> <release-file>  a virus scanner reading a fresh file:
//                                                      open with no sharing, so that nothing
//                                                      else can write, rename or delete it
// Creates ready-file once it holds the file, then waits for release-file to appear. Exits 0 after
// letting go, 2 when the file cannot be loaded or opened, 3 when no release comes within five
// minutes, 1 for wrong arguments.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr DWORD kReleaseDeadlineMs = 300000; // only ends a test that never releases
constexpr DWORD kPollMs = 50;

// True when `path` names an existing file or folder.
bool exists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

int main(int argc, char** argv) {
    const bool load = argc == 5 && std::strcmp(argv[1], "load") == 0;
    const bool open = argc == 5 && std::strcmp(argv[1], "open") == 0;
    if (!load && !open) {
        std::fprintf(stderr, "usage: hold_file load|open <file> <ready-file> <release-file>\n");
        return 1;
    }
    const char* path = argv[2];
    HMODULE module = nullptr;
    HANDLE file = INVALID_HANDLE_VALUE;
    if (load)
        module = LoadLibraryA(path);
    else
        file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (load ? module == nullptr : file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "cannot %s %s (error %lu)\n", argv[1], path, GetLastError());
        return 2;
    }
    HANDLE ready = CreateFileA(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (ready != INVALID_HANDLE_VALUE)
        CloseHandle(ready);
    int status = 3;
    for (DWORD start = GetTickCount(); GetTickCount() - start < kReleaseDeadlineMs; Sleep(kPollMs))
        if (exists(argv[4])) {
            status = 0;
            break;
        }
    if (load)
        FreeLibrary(module);
    else
        CloseHandle(file);
    return status;
}
