// The ANSI code page through WideCharToMultiByte with no flags, which is how a player converts a
// title for a plug-in, so the titles the plug-in reads here are those it would read on air.
#include "cli/ansi_code_page.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

// Whether the ANSI code page can report that it used its default character: UTF-8 cannot (it
// holds every character), and WideCharToMultiByte refuses the question for it.
bool reportsDefaultUse() {
    return GetACP() != CP_UTF8;
}

// `count` UTF-16 units at `text` in the ANSI code page; `*usedDefault` when some had no place.
std::string convert(const char16_t* text, int count, bool* usedDefault) {
    const auto* wide = reinterpret_cast<const wchar_t*>(text);
    BOOL used = FALSE;
    BOOL* usedPointer = reportsDefaultUse() ? &used : nullptr;
    const int length = WideCharToMultiByte(CP_ACP, 0, wide, count, nullptr, 0, nullptr, usedPointer);
    std::string out(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0)
        WideCharToMultiByte(CP_ACP, 0, wide, count, &out[0], length, nullptr, usedPointer);
    *usedDefault = used != FALSE;
    return out;
}

std::string ansiFromUtf16(const std::u16string& text, int32_t* unheld) {
    *unheld = 0;
    bool usedDefault = false;
    std::string out =
        text.empty() ? std::string() : convert(text.data(), static_cast<int>(text.size()), &usedDefault);
    if (!usedDefault)
        return out;
    // Count the characters without a place one by one (a surrogate pair is one character).
    for (size_t i = 0; i < text.size(); i++) {
        const bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size();
        bool used = false;
        convert(&text[i], pair ? 2 : 1, &used);
        *unheld += used ? 1 : 0;
        i += pair ? 1 : 0;
    }
    return out;
}

} // namespace

namespace sim {

CodePage ansiCodePage() {
    CPINFO info = {};
    std::string shown = "?";
    if (GetCPInfo(CP_ACP, &info) && info.DefaultChar[0] != 0)
        shown.assign(reinterpret_cast<const char*>(info.DefaultChar), info.DefaultChar[1] != 0 ? 2 : 1);
    return {"the ANSI code page " + std::to_string(GetACP()), shown, ansiFromUtf16};
}

bool inAnsiCodePage(const std::wstring& text, std::string* ansi) {
    ansi->clear();
    if (text.empty())
        return true;
    // The UTF-8 code page holds every character, and takes neither the flag nor the question.
    const bool utf8 = GetACP() == CP_UTF8;
    BOOL usedDefault = FALSE;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const auto count = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_ACP, flags, text.c_str(), count, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return false;
    ansi->resize(static_cast<size_t>(length));
    WideCharToMultiByte(CP_ACP, flags, text.c_str(), count, &(*ansi)[0], length, nullptr,
                        utf8 ? nullptr : &usedDefault);
    return !usedDefault;
}

bool ansiPath(const std::wstring& path, std::string* ansi) {
    if (inAnsiCodePage(path, ansi))
        return true;
    constexpr DWORD kLongestPath = 32768;
    std::vector<wchar_t> shortPath(kLongestPath);
    const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), kLongestPath);
    return length > 0 && length < kLongestPath &&
           inAnsiCodePage(std::wstring(shortPath.data(), length), ansi);
}

std::wstring wideOf(const std::string& text, unsigned int codePage) {
    const auto count = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.c_str(), count, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(codePage, 0, text.c_str(), count, &wide[0], length);
    return wide;
}

std::wstring widePath(const std::string& ansi) {
    return wideOf(ansi, CP_ACP);
}

} // namespace sim
