// Runs a program without an administrator's rights, as Windows runs it for an account that is not
// an administrator, or when the elevation prompt was bypassed: with the Administrators group
// disabled in its access token (a restricted copy of this process's own token). Wine, whose user
// is an administrator, honours such a token, so the setup program's check of its rights can be
// tried here.
//   run_limited [--shortcut] [--console PROMPT] <program> [arguments...]
// The arguments go on exactly as typed (a setup program's /D= unquoted, a name with blanks quoted).
// --shortcut: <program> is a .lnk, whose target runs in its "Start in" folder with its own
// arguments and then the given ones, as a Start menu entry runs with a file dropped on it.
// --console: in a console of its own, as from the Start menu; once PROMPT shows there, the
// console's text is printed (UTF-8) and a key pressed. Exits with the program's status; 125 when
// it cannot be started, 124 when PROMPT does not show within ten minutes (the program is ended).
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

namespace {

constexpr DWORD kPromptDeadlineMs = 600000; // a sweep on a loaded machine takes its time
constexpr SHORT kConsoleColumns = 400;      // wide enough that no line of the program wraps
constexpr SHORT kConsoleRows = 3000;

// Skips one argument of a command line as Windows splits it (blanks outside double quotes end it)
// and the blanks after it; `word` gets the argument without its quotes.
const wchar_t* nextArgument(const wchar_t* line, std::wstring* word) {
    word->clear();
    bool quoted = false;
    for (; *line != L'\0' && (quoted || (*line != L' ' && *line != L'\t')); line++)
        if (*line == L'"')
            quoted = !quoted;
        else
            *word += *line;
    while (*line == L' ' || *line == L'\t')
        line++;
    return line;
}

// The target, arguments and "Start in" folder of the shortcut at `path`; false when it cannot be read.
bool readShortcut(const std::wstring& path, std::wstring* target, std::wstring* arguments,
                  std::wstring* folder) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    wchar_t text[MAX_PATH * 4] = L"";
    bool read = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                           reinterpret_cast<void**>(&link))) &&
                SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
                SUCCEEDED(file->Load(path.c_str(), STGM_READ)) &&
                SUCCEEDED(link->GetPath(text, MAX_PATH * 4, nullptr, SLGP_RAWPATH));
    *target = text;
    read = read && SUCCEEDED(link->GetArguments(text, MAX_PATH * 4));
    *arguments = text;
    read = read && SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH * 4));
    *folder = text;
    if (file != nullptr)
        file->Release();
    if (link != nullptr)
        link->Release();
    return read;
}

std::string utf8Of(const std::wstring& text) {
    std::string utf8(text.size() * 3 + 1, '\0');
    utf8.resize(
        static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                                &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr)));
    return utf8;
}

// The console's text, row by row without the blanks at their ends, in UTF-8.
std::string consoleText(HANDLE screen) {
    std::string text;
    wchar_t row[kConsoleColumns];
    char utf8[kConsoleColumns * 3];
    for (SHORT y = 0; y < kConsoleRows; y++) {
        DWORD read = 0;
        if (!ReadConsoleOutputCharacterW(screen, row, kConsoleColumns, COORD{0, y}, &read))
            break;
        while (read > 0 && row[read - 1] == L' ')
            read--;
        const int length =
            WideCharToMultiByte(CP_UTF8, 0, row, static_cast<int>(read), utf8, sizeof utf8, nullptr, nullptr);
        text.append(utf8, static_cast<size_t>(length)).append("\n");
    }
    return text.erase(text.find_last_not_of('\n') + 1) + "\n";
}

// Waits until `prompt` shows on `screen`, prints the console's text and presses a key on `input`;
// false when the prompt does not show in time or the program ends first.
bool answerPrompt(HANDLE process, HANDLE screen, HANDLE input, const std::string& prompt) {
    bool shown = false;
    for (DWORD waited = 0; !(shown = consoleText(screen).find(prompt) != std::string::npos) &&
                           waited < kPromptDeadlineMs && WaitForSingleObject(process, 200) == WAIT_TIMEOUT;
         waited += 200) {
    }
    std::fputs(consoleText(screen).c_str(), stdout);
    std::fflush(stdout);
    INPUT_RECORD key = {};
    key.EventType = KEY_EVENT;
    key.Event.KeyEvent.bKeyDown = TRUE;
    key.Event.KeyEvent.wRepeatCount = 1;
    key.Event.KeyEvent.wVirtualKeyCode = VK_SPACE;
    key.Event.KeyEvent.uChar.UnicodeChar = L' ';
    DWORD written = 0;
    return shown && WriteConsoleInputW(input, &key, 1, &written) != 0;
}

} // namespace

int main() {
    std::wstring word, prompt, program, folder, shortcutArguments;
    const wchar_t* rest = nextArgument(GetCommandLineW(), &word); // this program's own name
    bool shortcut = false, console = false;
    for (rest = nextArgument(rest, &word); word == L"--shortcut" || word == L"--console";
         rest = nextArgument(rest, &word)) {
        shortcut = shortcut || word == L"--shortcut";
        if (word == L"--console") {
            console = true;
            rest = nextArgument(rest, &prompt);
        }
    }
    program = word;
    if (program.empty()) {
        std::fprintf(stderr, "usage: run_limited [--shortcut] [--console PROMPT] <program> [arguments...]\n");
        return 125;
    }
    if (shortcut && !readShortcut(word, &program, &shortcutArguments, &folder)) {
        std::fprintf(stderr, "cannot read the shortcut %s\n", utf8Of(word).c_str());
        return 125;
    }
    std::wstring commandLine = L"\"" + program + L"\"";
    for (const std::wstring& more : {shortcutArguments, std::wstring(rest)})
        if (!more.empty())
            commandLine += L" " + more;
    if (shortcut)
        std::fprintf(stderr, "shortcut: %s, in %s\n", utf8Of(commandLine).c_str(), utf8Of(folder).c_str());

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
    // A console of the program's own: made here, handed to the program, and left before it runs,
    // so that the program finds itself alone on it; its screen and input stay reachable through
    // the handles kept.
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    HANDLE screen = nullptr, input = nullptr;
    if (console) {
        SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
        FreeConsole();
        AllocConsole();
        screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             &inherited, OPEN_EXISTING, 0, nullptr);
        input = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            &inherited, OPEN_EXISTING, 0, nullptr);
        SetConsoleScreenBufferSize(screen, COORD{kConsoleColumns, kConsoleRows});
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input;
        startup.hStdOutput = startup.hStdError = screen;
    }
    PROCESS_INFORMATION started = {};
    if (!CreateProcessAsUserW(limited, nullptr, &commandLine[0], nullptr, nullptr, console, CREATE_SUSPENDED,
                              nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", utf8Of(program).c_str(), GetLastError());
        return 125;
    }
    if (console)
        FreeConsole();
    ResumeThread(started.hThread);
    DWORD status = 125;
    if (console &&
        !answerPrompt(started.hProcess, screen, input, std::string(prompt.begin(), prompt.end()))) {
        std::fprintf(stderr, "the prompt did not show\n");
        TerminateProcess(started.hProcess, 124);
    }
    WaitForSingleObject(started.hProcess, INFINITE);
    GetExitCodeProcess(started.hProcess, &status);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    CloseHandle(limited);
    CloseHandle(own);
    FreeSid(administrators);
    return static_cast<int>(status);
}
