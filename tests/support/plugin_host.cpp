// The test host for the real DLL: folder, loading, plugin.ini, page reading and dialog driving.
#include "support/plugin_host.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace dllhost {

namespace {

std::string windowsPath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// Deletes every file in `folder` (read-only ones too), then the folder.
void removeFolder(const std::string& folder) {
    for (const std::string& name : listFiles(folder)) {
        const std::string file = folder + "\\" + name;
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(file.c_str());
    }
    RemoveDirectoryA(folder.c_str());
}

struct DriveRequest {
    const std::function<void(DialogDriver&)>* script;
    bool shown;
};

DWORD WINAPI driveDialog(void* param) {
    auto* request = static_cast<DriveRequest*>(param);
    DialogDriver driver;
    driver.dialog = waitForDialog(nullptr);
    request->shown = driver.dialog != nullptr;
    if (driver.dialog == nullptr)
        return 1;
    (*request->script)(driver);
    driver.closeOrExit();
    return 0;
}

} // namespace

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "<missing>";
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> listFiles(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

bool isCompletePage(const std::string& page) {
    const std::string start = kPageStart, end = kPageEnd;
    return page.size() >= start.size() + end.size() && page.compare(0, start.size(), start) == 0 &&
           page.compare(page.size() - end.size(), end.size(), end) == 0;
}

int32_t announcedRows(const std::string& page) {
    if (page.find("Last track played:") != std::string::npos)
        return 1;
    const size_t at = page.find("SIZE=+2>Last ");
    if (at == std::string::npos)
        return 0;
    return static_cast<int32_t>(std::strtol(page.c_str() + at + 13, nullptr, 10));
}

std::string currentCell(const std::string& titleAsOnPage) {
    return "<TR><TD BGCOLOR=#003355><FONT FACE=Arial, Helvetica SIZE=2>" + titleAsOnPage +
           "</FONT></TD></TR></TABLE>\r\n";
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

bool pumpUntil(const std::function<bool()>& ready, DWORD timeoutMs) {
    return sim::pumpUntil([](void* r) { return (*static_cast<const std::function<bool()>*>(r))(); },
                          const_cast<std::function<bool()>*>(&ready), timeoutMs);
}

std::string DialogDriver::field(int id) const {
    char text[1024] = "";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_NORMAL, kDeadlineMs, &length))
        return "<no answer>";
    return text;
}

bool DialogDriver::type(int id, const std::string& text) const {
    DWORD_PTR result = 0;
    HWND control = GetDlgItem(dialog, id);
    return control != nullptr &&
           SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                               kDeadlineMs, &result) != 0;
}

bool DialogDriver::press(int id) const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)), SMTO_NORMAL, kDeadlineMs,
                               &result) != 0;
}

bool DialogDriver::waitClosed() const {
    return waitFor([&] { return !IsWindow(dialog); });
}

void DialogDriver::closeOrExit() const {
    const bool closed = waitFor([&] {
        if (!IsWindow(dialog))
            return true;
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        Sleep(100);
        return false;
    });
    if (!closed) {
        std::fprintf(stderr, "the configuration dialog would not close; giving up on the whole run\n");
        std::fflush(stderr);
        ExitProcess(3);
    }
}

HWND waitForDialog(HWND previous, const std::function<bool()>& giveUp) {
    HWND dialog = nullptr;
    const bool shown = waitFor([&] {
        dialog = FindWindowA("#32770", kDialogCaption);
        if (dialog != nullptr && dialog != previous && IsWindowVisible(dialog))
            return true;
        dialog = nullptr;
        return giveUp && giveUp();
    });
    return shown ? dialog : nullptr;
}

void configureDrivenBy(void (*configure)(), const std::function<void(DialogDriver&)>& script) {
    DriveRequest request = {&script, false};
    HANDLE driver = CreateThread(nullptr, 0, driveDialog, &request, 0, nullptr);
    ASSERT_NE(driver, nullptr);
    configure();
    const bool ended =
        pumpUntil([&] { return WaitForSingleObject(driver, 0) == WAIT_OBJECT_0; }, 2 * kDeadlineMs);
    CloseHandle(driver);
    ASSERT_TRUE(ended) << "the driving thread did not finish";
    EXPECT_TRUE(request.shown) << "configure opened no dialog";
}

void PluginHostTest::SetUp() {
    char temp[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    // Short, so that even a name near the 259-character limit fits beside it.
    folder = std::string(temp) + "sb" + std::to_string(GetCurrentProcessId()) + "-" +
             std::to_string(std::hash<std::string>()(std::string(test->test_suite_name()) + test->name()) %
                            100000);
    removeFolder(folder); // left by an earlier run that was killed: Wine reuses process ids
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
    sim::initPlayer(&player);
    ASSERT_TRUE(sim::createPlayerWindow(&player));
}

void PluginHostTest::TearDown() {
    if (running)
        plugin->shutDown();
    if (module != nullptr)
        FreeLibrary(module);
    sim::destroyPlayerWindow(&player);
    removeFolder(folder);
}

void PluginHostTest::writeIni(const std::string& outputFilename, const std::string& keys) {
    std::ofstream(path("plugin.ini"), std::ios::binary)
        << "[Songbeacon]\r\nOutputFilename=" << outputFilename << "\r\n"
        << keys;
}

std::string PluginHostTest::iniText(const char* key) const {
    char text[2048];
    GetPrivateProfileStringA("Songbeacon", key, "<missing>", text, sizeof text, path("plugin.ini").c_str());
    return text;
}

int PluginHostTest::iniInteger(const char* key) const {
    return static_cast<int>(GetPrivateProfileIntA("Songbeacon", key, -12345, path("plugin.ini").c_str()));
}

void PluginHostTest::load(const char* name) {
    ASSERT_TRUE(CopyFileA(windowsPath(SB_PLUGIN_DLL).c_str(), path(name).c_str(), FALSE));
    module = LoadLibraryA(path(name).c_str());
    ASSERT_NE(module, nullptr);
    auto entry = reinterpret_cast<sim::PluginHeader* (*)()>(
        reinterpret_cast<void*>(GetProcAddress(module, sim::kPluginEntryName)));
    ASSERT_NE(entry, nullptr);
    plugin = entry();
    ASSERT_NE(plugin, nullptr);
    plugin->hostWindow = player.window;
    plugin->moduleInstance = module;
}

int PluginHostTest::startUp() {
    const int result = plugin->startUp();
    running = result == 0;
    return result;
}

void PluginHostTest::shutDown() {
    plugin->shutDown();
    running = false;
}

void PluginHostTest::play(const std::vector<std::string>& titles, int32_t position) {
    player.titles = titles;
    player.position = position;
    player.state = sim::kPlaying;
}

bool PluginHostTest::runPasses(int32_t passes) {
    const int32_t target = player.playingQueries + passes;
    return pumpUntil([&] { return player.playingQueries >= target; });
}

bool PluginHostTest::waitForCurrentTrack(const std::string& page, const std::string& titleAsOnPage) {
    const std::string cell = currentCell(titleAsOnPage);
    return pumpUntil([&] { return readFile(page).find(cell) != std::string::npos; });
}

} // namespace dllhost
