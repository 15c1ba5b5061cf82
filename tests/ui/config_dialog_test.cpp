// The configuration dialog driven as a user would drive it: the test's main thread runs the modal
// dialog while a second thread finds it by caption, types into its fields and presses its buttons.
// Every wait has a deadline, and the driving thread always closes what it opened, so a fault
// fails the test instead of hanging it. The Save As chooser has tests of its own
// (config_dialog_chooser_test.cpp).
#include <gtest/gtest.h>

#include <windows.h>

#include <ostream>
#include <string>

#include "common/bounded_text.h"
#include "common/memory.h"
#include "common/plugin_state.h"
#include "settings/settings_file.h"
#include "settings/settings_store.h"
#include "support/dialog_driver.h"
#include "ui/config_dialog.h"
#include "ui/config_dialog_fixture.h"
#include "ui/dialog_ids.h"

namespace {

using support::DialogDriver;

TEST_F(ConfigDialogTest, OpensWithTheVersionLineAndTheSettingsAsHeld) {
    loadSettingsFile(kUsualSettings);
    const std::string before = fileContents();
    runDialogDrivenBy([&](DialogDriver& dialog) {
        EXPECT_EQ(dialog.field(IDC_VERSION), "Songbeacon 0.24b");
        EXPECT_EQ(dialog.field(IDC_OUTPUT_FILENAME), "C:\\pages\\now.htm");
        // Shown as held: the clamp applies only when the fields are stored.
        EXPECT_EQ(dialog.field(IDC_HISTORY_LENGTH), "5000");
        EXPECT_EQ(dialog.field(IDC_ARTIST_LIMIT), "-3");
        EXPECT_EQ(dialog.field(IDC_TITLE_LIMIT), "12");
        // A command the dialog does not know changes nothing and closes nothing.
        ASSERT_TRUE(dialog.press(IDC_VERSION));
        EXPECT_TRUE(dialog.isOpen());
        ASSERT_TRUE(dialog.press(IDCANCEL));
        EXPECT_TRUE(dialog.waitClosed());
    });
    EXPECT_EQ(pluginState.settings.RecentTitleListLength, 5000);
    EXPECT_EQ(pluginState.settings.SameArtistCheckLimit, -3);
    EXPECT_EQ(pluginState.settings.SameTitleCheckLimit, 12);
    EXPECT_EQ(fileContents(), before);
}

TEST_F(ConfigDialogTest, CancelAfterTypingStoresNothing) {
    loadSettingsFile(kUsualSettings);
    const std::string before = fileContents();
    runDialogDrivenBy([&](DialogDriver& dialog) {
        ASSERT_TRUE(dialog.type(IDC_HISTORY_LENGTH, "1"));
        ASSERT_TRUE(dialog.type(IDC_ARTIST_LIMIT, "2"));
        ASSERT_TRUE(dialog.type(IDC_TITLE_LIMIT, "3"));
        ASSERT_TRUE(dialog.type(IDC_OUTPUT_FILENAME, "C:\\elsewhere.htm"));
        ASSERT_TRUE(dialog.press(IDCANCEL));
        EXPECT_TRUE(dialog.waitClosed());
    });
    EXPECT_EQ(pluginState.settings.RecentTitleListLength, 5000);
    EXPECT_EQ(pluginState.settings.SameArtistCheckLimit, -3);
    EXPECT_EQ(pluginState.settings.SameTitleCheckLimit, 12);
    EXPECT_EQ(liveOutputFilename(), "C:\\pages\\now.htm");
    EXPECT_EQ(fileContents(), before);
}

TEST_F(ConfigDialogTest, ApplyStoresClampedValuesStaysOpenAndOutlivesCancel) {
    loadSettingsFile(kUsualSettings);
    runDialogDrivenBy([&](DialogDriver& dialog) {
        // Untouched fields are stored clamped: 5000 from the file becomes 1000, -3 becomes 0.
        ASSERT_TRUE(dialog.press(IDC_APPLY));
        EXPECT_TRUE(dialog.isOpen());
        EXPECT_EQ(dialog.field(IDC_HISTORY_LENGTH), "1000");
        EXPECT_EQ(dialog.field(IDC_ARTIST_LIMIT), "0");
        EXPECT_EQ(dialog.field(IDC_TITLE_LIMIT), "12");
        EXPECT_EQ(pluginState.settings.RecentTitleListLength, 1000);
        EXPECT_EQ(pluginState.settings.SameArtistCheckLimit, 0);
        EXPECT_EQ(fileInteger("RecentTitleListLength"), 1000);
        EXPECT_EQ(fileInteger("SameArtistCheckLimit"), 0);
        EXPECT_EQ(fileInteger("SameTitleCheckLimit"), 12);
        EXPECT_EQ(fileText("OutputFilename"), "C:\\pages\\now.htm");

        ASSERT_TRUE(dialog.type(IDC_HISTORY_LENGTH, "5000"));
        ASSERT_TRUE(dialog.type(IDC_ARTIST_LIMIT, "7"));
        ASSERT_TRUE(dialog.press(IDC_APPLY));
        EXPECT_TRUE(dialog.isOpen());
        EXPECT_EQ(dialog.field(IDC_HISTORY_LENGTH), "1000");
        EXPECT_EQ(pluginState.settings.SameArtistCheckLimit, 7);
        EXPECT_EQ(fileInteger("SameArtistCheckLimit"), 7);

        // Cancel does not undo what Apply stored.
        ASSERT_TRUE(dialog.type(IDC_HISTORY_LENGTH, "300"));
        ASSERT_TRUE(dialog.type(IDC_ARTIST_LIMIT, "400"));
        ASSERT_TRUE(dialog.type(IDC_TITLE_LIMIT, "500"));
        ASSERT_TRUE(dialog.press(IDCANCEL));
        EXPECT_TRUE(dialog.waitClosed());
    });
    EXPECT_EQ(pluginState.settings.RecentTitleListLength, 1000);
    EXPECT_EQ(pluginState.settings.SameArtistCheckLimit, 7);
    EXPECT_EQ(pluginState.settings.SameTitleCheckLimit, 12);
    EXPECT_EQ(fileInteger("RecentTitleListLength"), 1000);
    EXPECT_EQ(fileInteger("SameArtistCheckLimit"), 7);
    EXPECT_EQ(fileInteger("SameTitleCheckLimit"), 12);
}

struct FieldCase {
    const char* name;
    std::string typed;
    int32_t stored;
};

// Names the case by its text in test listings.
void PrintTo(const FieldCase& text, std::ostream* out) {
    *out << '"' << text.typed << '"';
}

class ConfigDialogFieldTest : public ConfigDialogTest, public ::testing::WithParamInterface<FieldCase> {};

// Typed or pasted into every number field, then Apply (the refill shows what was stored), then OK.
TEST_P(ConfigDialogFieldTest, StoresTheConvertedClampedValue) {
    loadSettingsFile("RecentTitleListLength=10\r\nSameArtistCheckLimit=20\r\nSameTitleCheckLimit=30\r\n");
    const FieldCase& text = GetParam();
    const std::string shown = std::to_string(text.stored);
    const int ids[] = {IDC_HISTORY_LENGTH, IDC_ARTIST_LIMIT, IDC_TITLE_LIMIT};
    runDialogDrivenBy([&](DialogDriver& dialog) {
        for (int id : ids)
            ASSERT_TRUE(dialog.type(id, text.typed));
        ASSERT_TRUE(dialog.press(IDC_APPLY));
        for (int id : ids)
            EXPECT_EQ(dialog.field(id), shown) << "field " << id;
        ASSERT_TRUE(dialog.press(IDOK));
        EXPECT_TRUE(dialog.waitClosed());
    });
    EXPECT_EQ(pluginState.settings.RecentTitleListLength, text.stored);
    EXPECT_EQ(pluginState.settings.SameArtistCheckLimit, text.stored);
    EXPECT_EQ(pluginState.settings.SameTitleCheckLimit, text.stored);
    EXPECT_EQ(fileInteger("RecentTitleListLength"), text.stored);
    EXPECT_EQ(fileInteger("SameArtistCheckLimit"), text.stored);
    EXPECT_EQ(fileInteger("SameTitleCheckLimit"), text.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ConfigDialogFieldTest,
    ::testing::Values(FieldCase{"TooLarge", "5000", 1000}, FieldCase{"Maximum", "1000", 1000},
                      FieldCase{"LeadingZeros", "007", 7}, FieldCase{"Empty", "", 0},
                      FieldCase{"Negative", "-5", 0}, FieldCase{"LettersOnly", "abc", 0},
                      FieldCase{"DigitsThenLetters", "12abc", 12},
                      FieldCase{"FiftiethCharacterIgnored", std::string(49, '0') + "5", 0},
                      FieldCase{"Huge", "99999999999999999999", 1000}),
    [](const ::testing::TestParamInfo<FieldCase>& info) { return info.param.name; });

TEST_F(ConfigDialogTest, OkSavesTheSettingsItDoesNotShowAsLoaded) {
    loadSettingsFile("EnableHTMLOutput=0\r\n"
                     "OutputFilename=D:\\web\\status.htm\r\n"
                     "HTMLTitle=Radio \"Nine\" & friends\r\n"
                     "HTMLHeader=<B>Radio Nine</B><BR>\r\n"
                     "RecentTitleListLength=25\r\n"
                     "EnablePlaylistMonitoring=0\r\n"
                     "SameArtistCheckLimit=4\r\n"
                     "SameTitleCheckLimit=9\r\n"
                     "PollInterval=7\r\n");
    settings::TextSettings loaded;
    settings::copyTexts(&loaded);
    // Gone from disk: whatever the dialog saves must come from the live settings.
    ASSERT_TRUE(DeleteFileA(iniPath.c_str()));
    runDialogDrivenBy([&](DialogDriver& dialog) {
        ASSERT_TRUE(dialog.press(IDOK));
        EXPECT_TRUE(dialog.waitClosed());
    });
    EXPECT_EQ(fileInteger("EnableHTMLOutput"), 0);
    EXPECT_EQ(fileText("OutputFilename"), "D:\\web\\status.htm");
    EXPECT_EQ(fileText("HTMLTitle"), loaded.HTMLTitle);
    EXPECT_EQ(fileText("HTMLHeader"), "<B>Radio Nine</B><BR>");
    EXPECT_EQ(fileInteger("RecentTitleListLength"), 25);
    EXPECT_EQ(fileInteger("EnablePlaylistMonitoring"), 0);
    EXPECT_EQ(fileInteger("SameArtistCheckLimit"), 4);
    EXPECT_EQ(fileInteger("SameTitleCheckLimit"), 9);
    settings::TextSettings after;
    settings::copyTexts(&after);
    EXPECT_STREQ(after.HTMLTitle, loaded.HTMLTitle);
    EXPECT_STREQ(after.HTMLHeader, loaded.HTMLHeader);
    EXPECT_EQ(pluginState.settings.EnableHTMLOutput, 0);
    EXPECT_EQ(pluginState.settings.EnablePlaylistMonitoring, 0);
    // PollInterval is live as loaded, but OK never writes it: gone from disk, it stays gone...
    EXPECT_EQ(pluginState.settings.PollInterval, 7);
    EXPECT_EQ(fileContents().find("PollInterval"), std::string::npos);

    // ...and present, it stays as the operator wrote it, even where the plug-in takes it as 1000.
    ASSERT_TRUE(WritePrivateProfileStringA("Songbeacon", "PollInterval", "5000", iniPath.c_str()));
    settings::load();
    EXPECT_EQ(pluginState.settings.PollInterval, 1000);
    runDialogDrivenBy([&](DialogDriver& dialog) {
        ASSERT_TRUE(dialog.press(IDOK));
        EXPECT_TRUE(dialog.waitClosed());
    });
    EXPECT_EQ(fileText("PollInterval"), "5000");
}

TEST_F(ConfigDialogTest, EnterActsAsOkAndEscapeAsCancel) {
    loadSettingsFile(kUsualSettings);
    runDialogDrivenBy([&](DialogDriver& dialog) {
        ASSERT_TRUE(dialog.type(IDC_TITLE_LIMIT, "44"));
        PostMessageA(GetDlgItem(dialog.dialog, IDC_TITLE_LIMIT), WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_TRUE(dialog.waitClosed());
    });
    EXPECT_EQ(pluginState.settings.SameTitleCheckLimit, 44);
    EXPECT_EQ(fileInteger("SameTitleCheckLimit"), 44);

    runDialogDrivenBy([&](DialogDriver& dialog) {
        ASSERT_TRUE(dialog.type(IDC_TITLE_LIMIT, "55"));
        PostMessageA(GetDlgItem(dialog.dialog, IDC_TITLE_LIMIT), WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_TRUE(dialog.waitClosed());
    });
    EXPECT_EQ(pluginState.settings.SameTitleCheckLimit, 44);
    EXPECT_EQ(fileInteger("SameTitleCheckLimit"), 44);
}

} // namespace
