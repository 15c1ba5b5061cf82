// Where plugin.ini goes for a given module path, including paths too long for the buffer.
#include <gtest/gtest.h>

#include <string>

#include "settings/ini_path.h"

namespace {

std::string compose(const std::string& modulePath, size_t capacity = 260) {
    std::string out(capacity + 8, '#'); // room past the capacity shows any write beyond it
    bool fitted = settings::composeIniPath(modulePath.c_str(), &out[0], capacity);
    EXPECT_EQ(out.substr(capacity), std::string(8, '#')) << "wrote past the capacity";
    std::string text = capacity > 0 ? out.c_str() : "";
    if (!fitted) {
        EXPECT_EQ(text, "");
    }
    return text;
}

TEST(IniPath, SitsBesideTheModule) {
    EXPECT_EQ(compose("C:\\Program Files\\Winamp\\Plugins\\gen_SBeacon.dll"),
              "C:\\Program Files\\Winamp\\Plugins\\plugin.ini");
    EXPECT_EQ(compose("Z:\\gen_SBeacon.dll"), "Z:\\plugin.ini");
    EXPECT_EQ(compose("C:\\odd\\folder\\"), "C:\\odd\\folder\\plugin.ini");
}

TEST(IniPath, ModulePathWithoutBackslashGivesTheBareName) {
    EXPECT_EQ(compose("gen_SBeacon.dll"), "plugin.ini");
    EXPECT_EQ(compose("C:/forward/slashes/only.dll"), "plugin.ini");
    EXPECT_EQ(compose(""), "plugin.ini");
}

TEST(IniPath, FolderTooLongForTheBufferGivesNoPath) {
    const std::string folder = "C:\\" + std::string(245, 'f') + "\\"; // 249 characters
    EXPECT_EQ(compose(folder + "x.dll"), folder + "plugin.ini");      // 259 characters: fits
    const std::string longer = "C:\\" + std::string(246, 'f') + "\\";
    EXPECT_EQ(compose(longer + "x.dll"), ""); // 260 characters would not leave room for the terminator
    EXPECT_EQ(compose("C:\\" + std::string(1000, 'f') + "\\x.dll"), "");
    EXPECT_EQ(compose("C:\\a\\x.dll", 5), "");
    EXPECT_EQ(compose("x.dll", 0), "");
}

} // namespace
