// A fixture for tests of the live settings: a fresh folder whose plugin.ini is the settings file,
// and the path block and text buffers allocated as start-up allocates them.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "common/bounded_text.h"
#include "common/memory.h"
#include "common/plugin_state.h"
#include "settings/settings_store.h"
#include "support/test_files.h"

namespace support {

struct SettingsFolderTest : ::testing::Test {
    std::string folder;
    std::string iniPath;

    void SetUp() override {
        folder = makeTestFolder();
        iniPath = folder + "\\plugin.ini";
        pluginState.iniPath = static_cast<char*>(memory::allocate(kIniPathCapacity));
        ASSERT_NE(pluginState.iniPath, nullptr);
        ASSERT_TRUE(copyBounded(pluginState.iniPath, kIniPathCapacity, iniPath.c_str()));
        ASSERT_TRUE(settings::allocateTextBuffers());
    }
    void TearDown() override {
        settings::releaseTextBuffers();
        memory::release(pluginState.iniPath);
        pluginState.iniPath = nullptr;
        removeFolder(folder);
    }
    // A consistent copy of the live text settings.
    static settings::TextSettings texts() {
        settings::TextSettings copy;
        settings::copyTexts(&copy);
        return copy;
    }
};

} // namespace support
