// What the configuration dialog's tests share: the dialog run on the test's thread while a script
// drives it from another, a fresh settings folder with plugin.ini written by hand, and the settings
// most of them start from.
#pragma once

#include <windows.h>

#include <string>

#include "common/plugin_state.h"
#include "settings/settings_file.h"
#include "settings/settings_store.h"
#include "support/dialog_driver.h"
#include "support/settings_folder_test.h"
#include "ui/config_dialog.h"

// Runs the dialog on this thread, as the host would, while `script` drives it from another one.
inline void runDialogDrivenBy(const support::Script& script) {
    support::runDrivenBy([] { ui::runConfigDialog(GetModuleHandleA(nullptr), nullptr); }, script);
}

struct ConfigDialogTest : support::SettingsFolderTest {
    // Writes plugin.ini by hand, as an operator would, and loads it as configure does.
    void loadSettingsFile(const std::string& lines) {
        support::writeFile(iniPath, "[Songbeacon]\r\n" + lines);
        settings::load();
    }
    std::string fileContents() const { return support::readFile(iniPath); }
    int fileInteger(const char* key) const { return support::iniInteger(iniPath, key); }
    std::string fileText(const char* key) const { return support::iniText(iniPath, key); }
    static std::string liveOutputFilename() { return texts().OutputFilename; }
};

inline constexpr char kUsualSettings[] = "OutputFilename=C:\\pages\\now.htm\r\n"
                                         "RecentTitleListLength=5000\r\n"
                                         "SameArtistCheckLimit=-3\r\n"
                                         "SameTitleCheckLimit=12\r\n";
