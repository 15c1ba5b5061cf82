// Template 102 as compiled into gen_SBeacon.dll, read back byte by byte: a resource-compiler
// default that adds a style bit, turns a class atom into a name or moves a control cannot slip
// through. Run with the DLL's folder as the working directory.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr WORD kEnglishUnitedStates = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr WORD kButton = 0x0080;
constexpr WORD kEdit = 0x0081;
constexpr WORD kStatic = 0x0082;

constexpr DWORD kLabel = 0x50020000;
constexpr DWORD kGroupBox = 0x50000007;
constexpr DWORD kNumberField = 0x50812080;
constexpr DWORD kFileField = 0x50800880;
constexpr DWORD kGroupStartButton = 0x50030000;
constexpr DWORD kDefaultButton = 0x50030001;
constexpr DWORD kPlainButton = 0x50010000;

struct ExpectedControl {
    WORD id;
    WORD classAtom;
    const char* text;
    DWORD style;
    short x, y, cx, cy;
};

// The dialog's controls in template order (which is also the tab order).
const ExpectedControl kControls[] = {
    {1101, kButton, "&Select...", kGroupStartButton, 161, 51, 36, 13},
    {0xFFFF, kStatic, "Title &History list length:", kLabel, 13, 92, 71, 8},
    {1102, kEdit, "", kNumberField, 92, 90, 21, 12},
    {0xFFFF, kStatic, "Same A&rtist Check limit:", kLabel, 14, 164, 74, 8},
    {1103, kEdit, "", kNumberField, 92, 162, 21, 12},
    {0xFFFF, kStatic, "Same &Title Check limit:", kLabel, 14, 200, 72, 8},
    {1104, kEdit, "", kNumberField, 92, 198, 21, 12},
    {1, kButton, "OK", kDefaultButton, 48, 247, 48, 14},
    {2, kButton, "Cancel", kPlainButton, 100, 247, 50, 14},
    {1000, kButton, "&Apply", kPlainButton, 154, 247, 50, 14},
    {1009, kStatic, "Songbeacon v0.10", kLabel, 7, 7, 152, 9},
    {0xFFFF, kStatic, "Songbeacon, 2026", kLabel, 7, 15, 65, 8},
    {1100, kEdit, "", kFileField, 15, 51, 141, 12},
    {0xFFFF, kStatic,
     "This is the file to which Songbeacon will write the music statistics (current track, recently played "
     "tracks, etc.).",
     kLabel, 13, 67, 183, 18},
    {0xFFFF, kStatic, "Output Filename:", kLabel, 14, 40, 54, 8},
    {0xFFFF, kStatic,
     "Number of recent tracks to search for matching artist name (first 3 letters of title).  If a match is "
     "found, track is skipped.",
     kLabel, 14, 178, 185, 20},
    {0xFFFF, kStatic,
     "Number of recent tracks to search for matching entire track name.  If a match is found, track is "
     "skipped.",
     kLabel, 14, 214, 183, 17},
    {0xFFFF, kStatic, "Number of recently played track names to list in HTML file.", kLabel, 13, 106, 184, 8},
    {0xFFFF, kButton, "SHOUTcast HTML Output", kGroupBox, 7, 28, 197, 95},
    {0xFFFF, kButton, "Playlist Monitoring Options", kGroupBox, 7, 129, 197, 109},
    {0xFFFF, kStatic, "NOTE: These options are only intended to be used with large playlists (50+ tracks)!",
     kLabel, 35, 141, 147, 17},
};

std::string hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

// Reads the template's WORD stream with bounds checks; any read past the end marks it broken.
struct TemplateReader {
    const BYTE* base;
    size_t size;
    size_t at = 0;
    bool overrun = false;

    WORD word() {
        if (at + 2 > size) {
            overrun = true;
            return 0;
        }
        WORD value = static_cast<WORD>(base[at] | base[at + 1] << 8);
        at += 2;
        return value;
    }
    DWORD dword() {
        DWORD low = word();
        return low | static_cast<DWORD>(word()) << 16;
    }
    short coordinate() { return static_cast<short>(word()); }
    void alignToDword() { at = (at + 3) & ~size_t{3}; }

    // A NUL-terminated UTF-16 text; characters above 0x7F (none expected) show as '?'.
    std::string text() {
        std::string out;
        for (WORD c = word(); c != 0 && !overrun; c = word())
            out += c < 0x80 ? static_cast<char>(c) : '?';
        return out;
    }

    // sz_Or_Ord: 0 for none, 0xFFFF and an ordinal, or a text.
    struct NameOrOrdinal {
        bool isOrdinal;
        WORD ordinal;
        std::string text;
    };
    NameOrOrdinal nameOrOrdinal() {
        size_t start = at;
        WORD first = word();
        if (first == 0xFFFF)
            return {true, word(), ""};
        at = start;
        return {false, 0, text()};
    }
};

struct DialogTemplateTest : ::testing::Test {
    HMODULE plugin = nullptr;
    const BYTE* resource = nullptr;
    size_t resourceSize = 0;

    void SetUp() override {
        // The DLL itself, not a copy of its template built into this program.
        char path[MAX_PATH];
        DWORD length = GetCurrentDirectoryA(sizeof path, path);
        ASSERT_GT(length, 0u);
        ASSERT_LT(length + sizeof "\\gen_SBeacon.dll", sizeof path);
        lstrcatA(path, "\\gen_SBeacon.dll");
        plugin = LoadLibraryA(path);
        ASSERT_NE(plugin, nullptr) << path << " error " << GetLastError();
        HRSRC found = FindResourceExA(plugin, RT_DIALOG, MAKEINTRESOURCEA(102), kEnglishUnitedStates);
        ASSERT_NE(found, nullptr) << "no dialog 102 in language 1033";
        resourceSize = SizeofResource(plugin, found);
        resource = static_cast<const BYTE*>(LockResource(LoadResource(plugin, found)));
        ASSERT_NE(resource, nullptr);
    }
    void TearDown() override {
        if (plugin != nullptr)
            FreeLibrary(plugin);
    }
};

BOOL CALLBACK collectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR languages) {
    reinterpret_cast<std::vector<WORD>*>(languages)->push_back(language);
    return TRUE;
}

TEST_F(DialogTemplateTest, IsTheOnlyDialog102AndInEnglishUnitedStates) {
    std::vector<WORD> languages;
    EnumResourceLanguagesA(plugin, RT_DIALOG, MAKEINTRESOURCEA(102), collectLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    EXPECT_EQ(languages, std::vector<WORD>{1033});
}

TEST_F(DialogTemplateTest, FrameAndEveryControlMatchTheDesign) {
    TemplateReader read{resource, resourceSize};

    // Frame: DLGTEMPLATE, then menu, class, caption and font.
    const DWORD style = read.dword();
    EXPECT_NE(style >> 16, 0xFFFFu) << "an extended (DIALOGEX) template";
    EXPECT_EQ(hex(style), hex(0x80C800C0));
    EXPECT_EQ(read.dword(), 0u) << "extended style";
    const WORD controlCount = read.word();
    EXPECT_EQ(read.coordinate(), 0) << "x";
    EXPECT_EQ(read.coordinate(), 0) << "y";
    EXPECT_EQ(read.coordinate(), 211) << "width";
    EXPECT_EQ(read.coordinate(), 268) << "height";
    const TemplateReader::NameOrOrdinal menu = read.nameOrOrdinal();
    EXPECT_TRUE(!menu.isOrdinal && menu.text.empty()) << "a menu";
    const TemplateReader::NameOrOrdinal windowClass = read.nameOrOrdinal();
    EXPECT_TRUE(!windowClass.isOrdinal && windowClass.text.empty()) << "a private window class";
    EXPECT_EQ(read.text(), "Songbeacon Plug-In");
    EXPECT_EQ(read.word(), 8) << "font size";
    EXPECT_EQ(read.text(), "MS Sans Serif");
    ASSERT_FALSE(read.overrun);
    ASSERT_EQ(controlCount, std::size(kControls));

    for (size_t i = 0; i < std::size(kControls); i++) {
        const ExpectedControl& want = kControls[i];
        SCOPED_TRACE("control " + std::to_string(i + 1) + " (id " + std::to_string(want.id) + ") \"" +
                     want.text + "\"");
        read.alignToDword();
        EXPECT_EQ(hex(read.dword()), hex(want.style)) << "style";
        EXPECT_EQ(read.dword(), 0u) << "extended style";
        EXPECT_EQ(read.coordinate(), want.x) << "x";
        EXPECT_EQ(read.coordinate(), want.y) << "y";
        EXPECT_EQ(read.coordinate(), want.cx) << "width";
        EXPECT_EQ(read.coordinate(), want.cy) << "height";
        EXPECT_EQ(read.word(), want.id) << "id";
        const TemplateReader::NameOrOrdinal controlClass = read.nameOrOrdinal();
        EXPECT_TRUE(controlClass.isOrdinal) << "class by name \"" << controlClass.text << "\"";
        EXPECT_EQ(controlClass.ordinal, want.classAtom) << "class atom";
        const TemplateReader::NameOrOrdinal title = read.nameOrOrdinal();
        EXPECT_FALSE(title.isOrdinal) << "text by ordinal";
        EXPECT_EQ(title.text, want.text) << "text";
        EXPECT_EQ(read.word(), 0) << "creation data";
        ASSERT_FALSE(read.overrun);
    }
    const size_t end = read.at;
    read.alignToDword();
    EXPECT_TRUE(resourceSize == end || resourceSize == read.at)
        << resourceSize - end << " bytes after the last control";
}

} // namespace
