// The status page file. The whole page is rendered in memory first and goes out in one write, so
// a listener's browser reloading it meets a half-written page for as short a time as possible.
#include "page/page_file.h"

#include "common/bounded_text.h"
#include "common/memory.h"
#include "common/plugin_state.h"
#include "page/page_render.h"
#include "page/whole_file.h"
#include "settings/settings_store.h"

namespace page {

bool write() {
    PageCopy copy;
    const CopyResult copied = copyCurrent(&copy);
    if (copied != kCopied)
        return copied == kPageOff; // a page switched off is nothing owed
    return writeAndRelease(&copy);
}

CopyResult copyCurrent(PageCopy* copy) {
    copy->outputFilename[0] = '\0';
    copy->bytes = nullptr;
    copy->length = 0;
    if (pluginState.settings.EnableHTMLOutput == 0)
        return kPageOff;
    settings::TextSettings texts;
    settings::copyTexts(&texts);
    const PageContent content = {
        texts.HTMLTitle,     texts.HTMLHeader,         pluginState.settings.RecentTitleListLength,
        pluginState.playing, pluginState.currentTitle, pluginState.history};
    const size_t length = render(content, nullptr, 0);
    auto* buffer = static_cast<char*>(memory::allocate(length));
    if (buffer == nullptr)
        return kNoMemory;
    // The current title is the host's own text and may change under us; render never writes past
    // the measured length, so at worst the page is cut short.
    const size_t rendered = render(content, buffer, length);
    copyBounded(copy->outputFilename, sizeof copy->outputFilename, texts.OutputFilename);
    copy->bytes = buffer;
    copy->length = rendered < length ? rendered : length;
    return kCopied;
}

bool writeAndRelease(PageCopy* copy) {
    const bool written = writeWholeFile(copy->outputFilename, copy->bytes, copy->length);
    memory::release(copy->bytes);
    copy->bytes = nullptr;
    copy->length = 0;
    return written;
}

} // namespace page
