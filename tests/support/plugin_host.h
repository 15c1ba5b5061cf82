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

#include "player/plugin_header.h"
#include "player/sim_player.h"
#include "support/dialog_driver.h"
#include "support/page_text.h"
#include "support/player_fixture.h"
#include "support/test_files.h"

namespace dllhost {

using support::announcedRows;
using support::currentCell;
using support::DialogDriver;
using support::fileExists;
using support::isCompletePage;
using support::kDeadlineMs;
using support::listFiles;
using support::pumpUntil;
using support::readFile;
using support::waitFor;
using support::waitForDialog;

// Runs the plug-in's configure() on this thread, as the host would, while `script` drives the
// dialog from a second thread; the dialog is closed afterwards whatever the script did.
void configureDrivenBy(void (*configure)(), const support::Script& script);

// A private folder with a copy of the DLL, and the simulated player's window on this thread.
struct PluginHostTest : support::PlayerTest {
    HMODULE module = nullptr;
    sim::PluginHeader* plugin = nullptr;
    bool running = false;

    void TearDown() override;

    // Writes plugin.ini beside the DLL: section, output file name, then `keys` (CR LF lines).
    void writeIni(const std::string& outputFilename, const std::string& keys = "");
    std::string iniText(const char* key) const;
    int iniInteger(const char* key) const;
    // Copies the built DLL into the folder as `name`, loads it and fetches its descriptor.
    void load(const char* name = "gen_SBeacon.dll");
    int startUp();
    void shutDown();
    // Pumps until the page at `page` shows `titleAsOnPage` as the track playing.
    bool waitForCurrentTrack(const std::string& page, const std::string& titleAsOnPage);
};

} // namespace dllhost
