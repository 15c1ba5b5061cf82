// Runs a program without an administrator's rights, as Windows runs it for an account that is not
// an administrator, or when the elevation prompt was bypassed: with the Administrators group
// disabled in its access token (a restricted copy of this process's own token). Wine, whose user
// is an administrator, honours such a token, so the setup program's check of its rights can be
// tried here.
//   run_limited <program> [arguments...]
// Exits with the program's exit status; 125 when it cannot be started.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: run_limited <program> [arguments...]\n");
        return 125;
    }
    // The program's name quoted, the arguments as given: a setup program's /D= must stay unquoted.
    std::string commandLine = std::string("\"") + argv[1] + "\"";
    for (int i = 2; i < argc; ++i)
        commandLine += std::string(" ") + argv[i];

    HANDLE own = nullptr;
    SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    HANDLE limited = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &own) ||
        !AllocateAndInitializeSid(&authority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                  0, 0, 0, 0, &administrators)) {
        std::fprintf(stderr, "cannot read this process's token (error %lu)\n", GetLastError());
        return 125;
    }
    SID_AND_ATTRIBUTES disabled = {administrators, 0};
    if (!CreateRestrictedToken(own, 0, 1, &disabled, 0, nullptr, 0, nullptr, &limited)) {
        std::fprintf(stderr, "cannot make a restricted token (error %lu)\n", GetLastError());
        return 125;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessAsUserA(limited, nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &started)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", argv[1], GetLastError());
        return 125;
    }
    WaitForSingleObject(started.hProcess, INFINITE);
    DWORD status = 125;
    GetExitCodeProcess(started.hProcess, &status);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    CloseHandle(limited);
    CloseHandle(own);
    FreeSid(administrators);
    return static_cast<int>(status);
}
