// The status page file. The whole page is rendered in memory first and goes out in one write, so
// a listener's browser reloading it meets a half-written page for as short a time as possible.
#include "page/page_file.h"

#include <windows.h>

#include "common/memory.h"
#include "common/plugin_state.h"
#include "page/page_render.h"
#include "settings/settings_store.h"

namespace {

// Recreates `path` holding `page`; true when every byte went out. Any sharing is allowed, so a
// web server or viewer that shares the file never stops the update; one that holds it without
// write sharing makes the open fail, and the file is then left alone.
bool writeWholeFile(const char* path, const char* page, size_t length) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    while (length > 0) {
        DWORD chunk = length < MAXDWORD ? static_cast<DWORD>(length) : MAXDWORD;
        DWORD written = 0;
        if (!WriteFile(file, page, chunk, &written, nullptr) || written == 0)
            break;
        page += written;
        length -= written;
    }
    const bool closed = CloseHandle(file) != 0;
    return length == 0 && closed;
}

} // namespace

namespace page {

bool write() {
    if (pluginState.settings.EnableHTMLOutput == 0)
        return true; // nothing owed
    settings::TextSettings texts;
    settings::copyTexts(&texts);
    const PageContent content = {
        texts.HTMLTitle,     texts.HTMLHeader,         pluginState.settings.RecentTitleListLength,
        pluginState.playing, pluginState.currentTitle, pluginState.history};
    const size_t length = render(content, nullptr, 0);
    auto* buffer = static_cast<char*>(memory::allocate(length));
    if (buffer == nullptr)
        return false;
    // The current title is the host's own text and may change under us; render never writes past
    // the measured length, so at worst the page is cut short.
    size_t rendered = render(content, buffer, length);
    const bool written = writeWholeFile(texts.OutputFilename, buffer, rendered < length ? rendered : length);
    memory::release(buffer);
    return written;
}

} // namespace page
