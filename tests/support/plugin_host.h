// A test host for the real gen_SBeacon.dll, shared by the programs that load it: a private folder holding a
// copy of the DLL, loaded through its export the way the player loads it, with the simulated player's window
// on the test's thread; and the means to drive the plug-in's configuration dialog from a second thread. Every
// wait pumps messages or polls with a deadline.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "plugin_header.h"
#include "sim_player.h"
#include "support/dialog_driver.h"
#include "support/test_files.h"

namespace dllhost {

using support::DialogDriver;
using support::fileExists;
using support::kDeadlineMs;
using support::listFiles;
using support::readFile;
using support::waitFor;
using support::waitForDialog;

constexpr char kPageStart[] = "<HTML>";
constexpr char kPageEnd[] = "</BODY></HTML>\r\n";

// True when `page` is a whole page: it starts as every page starts and ends with the footer.
bool isCompletePage(const std::string& page);
// Rows announced by the recent-track heading: 0 when the page has no table.
int32_t announcedRows(const std::string& page);
// The current-track cell as the page holds it for a title already in page form.
std::string currentCell(const std::string& titleAsOnPage);

// Runs the plug-in's configure() on this thread, as the host would, while `script` drives the
// dialog from a second thread; the dialog is closed afterwards whatever the script did.
void configureDrivenBy(void (*configure)(), const support::Script& script);

// Pumps this thread's messages until `ready` holds; false when the deadline passes first.
bool pumpUntil(const std::function<bool()>& ready, DWORD timeoutMs = kDeadlineMs);

// A private folder with a copy of the DLL, and the simulated player's window on this thread.
struct PluginHostTest : ::testing::Test {
    std::string folder;
    HMODULE module = nullptr;
    sim::PluginHeader* plugin = nullptr;
    sim::Player player;
    bool running = false;

    void SetUp() override;
    void TearDown() override;

    std::string path(const std::string& name) const { return folder + "\\" + name; }
    // Writes plugin.ini beside the DLL: section, output file name, then `keys` (CR LF lines).
    void writeIni(const std::string& outputFilename, const std::string& keys = "");
    std::string iniText(const char* key) const;
    int iniInteger(const char* key) const;
    // Copies the built DLL into the folder as `name`, loads it and fetches its descriptor.
    void load(const char* name = "gen_SBeacon.dll");
    int startUp();
    void shutDown();

    // Makes the player play `titles` (set once: the plug-in may hold pointers into them) from
    // `position`.
    void play(const std::vector<std::string>& titles, int32_t position = 0);
    // Pumps until the worker has made `passes` more passes (counted by its is-playing queries).
    bool runPasses(int32_t passes);
    // Pumps until the page at `page` shows `titleAsOnPage` as the track playing.
    bool waitForCurrentTrack(const std::string& page, const std::string& titleAsOnPage);
};

} // namespace dllhost
