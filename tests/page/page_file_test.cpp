// page::write against real files: the bytes on disk, the switch that turns the page off, files that
// cannot be written, and a file another program holds open.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/bounded_text.h"
#include "common/memory.h"
#include "common/plugin_state.h"
#include "history/title_history.h"
#include "page/page_file.h"
#include "page/page_render.h"
#include "settings/settings_store.h"
#include "support/test_files.h"

namespace {

using support::readFile;
using support::writeFile;
const auto exists = support::fileExists;

void useOutputFilename(const std::string& path) {
    settings::storeOutputFilename(path.c_str());
}

struct PageFileTest : ::testing::Test {
    std::string folder;
    std::string pagePath;
    int32_t blocksBefore = memory::liveBlocks();

    void SetUp() override {
        folder = support::makeTestFolder();
        pagePath = folder + "\\status.htm";

        ASSERT_TRUE(settings::allocateTextBuffers());
        settings::TextSettings texts;
        copyBounded(texts.OutputFilename, sizeof texts.OutputFilename, pagePath.c_str());
        copyBounded(texts.HTMLTitle, sizeof texts.HTMLTitle, "Station & <Co>");
        copyBounded(texts.HTMLHeader, sizeof texts.HTMLHeader, "<B>Header\n</B>");
        settings::storeTexts(texts);
        pluginState.settings.EnableHTMLOutput = 1;
        pluginState.settings.RecentTitleListLength = 10;
        pluginState.history = history::create(1000);
        ASSERT_NE(pluginState.history, nullptr);
        for (const char* title : {"First - One", "Tom & Jerry <Live>\n", "Third - %s %n"})
            history::append(pluginState.history, title);
        pluginState.currentTitle = history::newest(pluginState.history);
        pluginState.playing = 1;
    }
    void TearDown() override {
        memory::failAllocationsAfter(-1);
        history::destroy(pluginState.history);
        pluginState.history = nullptr;
        pluginState.currentTitle = nullptr;
        pluginState.playing = 0;
        pluginState.settings.EnableHTMLOutput = 0;
        pluginState.settings.RecentTitleListLength = 0;
        settings::releaseTextBuffers();
        EXPECT_EQ(memory::liveBlocks(), blocksBefore);
        for (const char* name : {"\\status.htm", "\\good.htm", "\\a folder"}) {
            SetFileAttributesA((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA((folder + name).c_str());
            RemoveDirectoryA((folder + name).c_str());
        }
        EXPECT_TRUE(RemoveDirectoryA(folder.c_str())) << "something was left in " << folder;
    }

    // The page for the live state, as render builds it.
    std::string expectedPage() {
        settings::TextSettings texts;
        settings::copyTexts(&texts);
        const PageContent content = {
            texts.HTMLTitle,     texts.HTMLHeader,         pluginState.settings.RecentTitleListLength,
            pluginState.playing, pluginState.currentTitle, pluginState.history};
        std::string page(page::render(content, nullptr, 0), '\0');
        page::render(content, page.data(), page.size());
        return page;
    }
};

TEST_F(PageFileTest, FileHoldsExactlyTheRenderedPage) {
    EXPECT_TRUE(page::write());
    const std::string page = expectedPage();
    EXPECT_EQ(readFile(pagePath), page);
    EXPECT_NE(page.find("Tom &amp; Jerry &lt;Live&gt;\r\n</FONT>"),
              std::string::npos); // not translated twice

    // A longer file is cut to the new page; the off-line page replaces the playing one.
    writeFile(pagePath, std::string(200000, 'x'));
    pluginState.playing = 0;
    EXPECT_TRUE(page::write());
    EXPECT_EQ(readFile(pagePath), expectedPage());
}

TEST_F(PageFileTest, DisabledOutputOrRefusedBufferLeavesTheFileSystemAlone) {
    pluginState.settings.EnableHTMLOutput = 0;
    EXPECT_TRUE(page::write()) << "a page switched off is nothing owed";
    EXPECT_FALSE(exists(pagePath));
    writeFile(pagePath, "operator's own page");
    EXPECT_TRUE(page::write());
    EXPECT_EQ(readFile(pagePath), "operator's own page");

    pluginState.settings.EnableHTMLOutput = 1;
    memory::failAllocationsAfter(0);
    EXPECT_FALSE(page::write()) << "a page that could not be made is still owed";
    memory::failAllocationsAfter(-1);
    EXPECT_EQ(readFile(pagePath), "operator's own page");
}

TEST_F(PageFileTest, UnopenableFileIsSkippedReportedToTheCallerAndTheNextWriteTriesAgain) {
    const std::string inMissingFolder = folder + "\\no such folder\\status.htm";
    useOutputFilename(inMissingFolder);
    EXPECT_FALSE(page::write());
    EXPECT_FALSE(exists(inMissingFolder));

    const std::string aFolder = folder + "\\a folder";
    ASSERT_TRUE(CreateDirectoryA(aFolder.c_str(), nullptr));
    useOutputFilename(aFolder);
    EXPECT_FALSE(page::write());
    EXPECT_EQ(GetFileAttributesA(aFolder.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));

    useOutputFilename("");
    EXPECT_FALSE(page::write());

    // Another program holding the file with no sharing at all.
    writeFile(pagePath, "locked page");
    HANDLE holder = CreateFileA(pagePath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    useOutputFilename(pagePath);
    EXPECT_FALSE(page::write());
    CloseHandle(holder);
    EXPECT_EQ(readFile(pagePath), "locked page");
    EXPECT_TRUE(page::write()) << "the same write, once the file is free";
    EXPECT_EQ(readFile(pagePath), expectedPage());

    useOutputFilename(folder + "\\good.htm");
    EXPECT_TRUE(page::write());
    EXPECT_EQ(readFile(folder + "\\good.htm"), expectedPage());
}

TEST_F(PageFileTest, ReadOnlyFileIsLeftAlone) {
    writeFile(pagePath, "read-only page");
    ASSERT_TRUE(SetFileAttributesA(pagePath.c_str(), FILE_ATTRIBUTE_READONLY));
    HANDLE probe =
        CreateFileA(pagePath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        GTEST_SKIP() << "this system lets writes through to read-only files (Wine run as root)";
    }
    EXPECT_FALSE(page::write());
    EXPECT_EQ(readFile(pagePath), "read-only page");
}

TEST_F(PageFileTest, FileHeldOpenByAnotherProgramIsStillRewritten) {
    writeFile(pagePath, "stale");
    HANDLE reader = CreateFileA(pagePath.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(page::write());
    std::string seen(100000, '\0');
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(reader, seen.data(), static_cast<DWORD>(seen.size()), &got, nullptr));
    CloseHandle(reader);
    EXPECT_EQ(seen.substr(0, got), expectedPage());
}

} // namespace
