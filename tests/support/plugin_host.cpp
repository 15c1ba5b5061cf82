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

} // namespace

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

bool pumpUntil(const std::function<bool()>& ready, DWORD timeoutMs) {
    return sim::pumpUntil([](void* r) { return (*static_cast<const std::function<bool()>*>(r))(); },
                          const_cast<std::function<bool()>*>(&ready), timeoutMs);
}

void configureDrivenBy(void (*configure)(), const support::Script& script) {
    support::runDrivenBy(configure, script);
}

void PluginHostTest::SetUp() {
    folder = support::makeTestFolder();
    ASSERT_TRUE(support::fileExists(folder)) << folder;
    sim::initPlayer(&player);
    ASSERT_TRUE(sim::createPlayerWindow(&player));
}

void PluginHostTest::TearDown() {
    if (running)
        plugin->shutDown();
    if (module != nullptr)
        FreeLibrary(module);
    sim::destroyPlayerWindow(&player);
    support::removeFolder(folder);
}

void PluginHostTest::writeIni(const std::string& outputFilename, const std::string& keys) {
    std::ofstream(path("plugin.ini"), std::ios::binary)
        << "[Songbeacon]\r\nOutputFilename=" << outputFilename << "\r\n"
        << keys;
}

std::string PluginHostTest::iniText(const char* key) const {
    return support::iniText(path("plugin.ini"), key);
}

int PluginHostTest::iniInteger(const char* key) const {
    return support::iniInteger(path("plugin.ini"), key);
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
