// The test host for the real DLL: loading it, its plugin.ini, its page and its dialog.
#include "support/plugin_host.h"

#include <fstream>

namespace dllhost {

namespace {

std::string windowsPath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// The DLL to test: the one beside this program when there is one (a test pack copied to Windows),
// else the one the build made.
std::string pluginDll() {
    return support::besideThisProgramElse("gen_SBeacon.dll", windowsPath(SB_PLUGIN_DLL));
}

} // namespace

void configureDrivenBy(void (*configure)(), const support::Script& script) {
    support::runDrivenBy(configure, script);
}

void PluginHostTest::TearDown() {
    if (running)
        plugin->shutDown();
    if (module != nullptr)
        FreeLibrary(module);
    PlayerTest::TearDown();
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
    ASSERT_TRUE(CopyFileA(pluginDll().c_str(), path(name).c_str(), FALSE));
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

bool PluginHostTest::waitForCurrentTrack(const std::string& page, const std::string& titleAsOnPage) {
    const std::string cell = currentCell(titleAsOnPage);
    return pumpUntil([&] { return readFile(page).find(cell) != std::string::npos; });
}

} // namespace dllhost
