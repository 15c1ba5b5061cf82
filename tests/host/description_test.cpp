// The plug-in's description: the module's file name as loaded, never past its buffer.
#include <gtest/gtest.h>

#include <string>

#include "host/description.h"

namespace {

std::string describe(const std::string& modulePath, size_t capacity = 512) {
    std::string out(capacity + 8, '#');
    host::formatDescription(modulePath.c_str(), &out[0], capacity);
    EXPECT_EQ(out.substr(capacity), std::string(8, '#')) << "wrote past the buffer";
    return out.c_str();
}

TEST(Description, NamesTheModuleFileAsLoaded) {
    EXPECT_EQ(describe("C:\\Program Files\\Winamp\\Plugins\\gen_SBeacon.dll"),
              "Songbeacon Plug-In 0.24b (gen_SBeacon.dll)");
    EXPECT_EQ(describe("Z:\\tmp\\gen_My Station %s.DLL"), "Songbeacon Plug-In 0.24b (gen_My Station %s.DLL)");
    EXPECT_EQ(describe("gen_bare.dll"), "Songbeacon Plug-In 0.24b (gen_bare.dll)");
    EXPECT_EQ(describe(""), "Songbeacon Plug-In 0.24b ()");
}

TEST(Description, LongNamesAreCutInsideTheParentheses) {
    const std::string name(600, 'n');
    const std::string text = describe("C:\\" + name);
    EXPECT_EQ(text.size(), 511u);
    EXPECT_EQ(text.substr(0, 26), "Songbeacon Plug-In 0.24b (");
    EXPECT_EQ(text.back(), ')');
    EXPECT_EQ(text.substr(26, 484), name.substr(0, 484));

    EXPECT_EQ(describe("C:\\x.dll", 28), "Songbeacon Plug-In 0.24b ()");
    EXPECT_EQ(describe("C:\\x.dll", 10), "Songbeaco");
    EXPECT_EQ(describe("C:\\x.dll", 1), "");
}

} // namespace
