// The ANSI code page through WideCharToMultiByte with no flags, which is how a player converts a
// title for a plug-in, so the titles the plug-in reads here are those it would read on air.
#include "cli/ansi_code_page.h"

#include <windows.h>

#include <string>

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

} // namespace sim
