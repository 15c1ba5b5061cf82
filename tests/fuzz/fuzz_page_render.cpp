// Fuzzes the page renderer: any titles, any row limit, either playing state. It must never
// crash; measuring (capacity 0) must give the length a full render returns; a short buffer must
// get exactly the page's first bytes and nothing past its end; and every title must reach the
// page escaped, so that no raw <, >, & or " from a title can ever become markup.
//
// How titles are checked: the same page is rendered a second time with every title replaced by a
// placeholder, \x01<number>\x01, which holds none of the four characters and passes through
// unchanged. Taking that second page and putting in place of each placeholder the title it
// stands for, escaped by escapeForPage below (written here, from the rules, not from the
// renderer), must give the first page byte for byte. So everything outside the title cells is
// the same in both renders, and each title cell holds exactly its escaped title. The order of
// the placeholders is checked against the rows that should be listed.
//
// Input layout (missing bytes read as 0):
//   flags        bit 0 playing; bits 1-4 with bit 6: page title, header, current title, history
//                passed as null
//   filler       one byte: 0xFF appends 1000..1255 filler titles before the decoded ones, with a
//                count byte after it (rare on purpose: a thousand rows are slow to check)
//   R            see fuzz::takeLimit
//   cut          four bytes: the short buffer's capacity, taken modulo the page length + 1
//   page title, header    operator text: length byte (0..63) and raw bytes
//   current title         see takeTitle
//   n            one byte, 0..40 history titles follow, oldest first
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/memory.h"
#include "fuzz_input.h"
#include "history/title_history.h"
#include "page/page_render.h"

namespace {

constexpr char kMark = '\x01';

// Title bytes: 0x00..0x1F pick from characters worth testing (the four HTML specials, line ends,
// an entity-like start); everything else is taken as it is, 0x80..0xFF included.
const char kTitleSpecials[] = "&<>\"\n\r;#\x01\t";

// A title: a length byte (0..63), then that many title bytes.
std::string takeTitle(fuzz::FuzzInput& input) {
    std::string title;
    for (int length = fuzz::takeByte(input) % 64; length > 0; length--) {
        const uint8_t b = fuzz::takeByte(input);
        title.push_back(b < 0x20 ? kTitleSpecials[b % (sizeof kTitleSpecials - 1)] : static_cast<char>(b));
    }
    return title;
}

// The operator's own text: raw bytes, without NUL (it ends the text) and without the placeholder
// mark, so that the operator's HTML cannot be taken for a placeholder.
std::string takeOperatorText(fuzz::FuzzInput& input) {
    std::string text;
    for (int length = fuzz::takeByte(input) % 64; length > 0; length--) {
        const char c = static_cast<char>(fuzz::takeByte(input));
        if (c != '\0' && c != kMark)
            text.push_back(c);
    }
    return text;
}

// A title as the page must show it: the four HTML specials as entities, a line feed as CR LF
// (as a text-mode file writes it; a CR already there stays), every other byte as it is.
std::string escapeForPage(const std::string& title) {
    std::string out;
    for (char c : title) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '"')
            out += "&quot;";
        else if (c == '\n')
            out += "\r\n";
        else
            out += c;
    }
    return out;
}

std::string placeholder(size_t number) {
    return kMark + std::to_string(number) + kMark;
}

// Renders `content` into a buffer of exactly its measured length (ASan guards the end).
std::string rendered(const PageContent& content) {
    const size_t length = page::render(content, nullptr, 0);
    std::unique_ptr<char[]> whole(new char[length]);
    FUZZ_CHECK(page::render(content, whole.get(), length) == length);
    return std::string(whole.get(), length);
}

// A buffer of `capacity` bytes, 0 included, gets the page's first bytes and nothing past its end
// (ASan guards it), and the call still returns the whole page's length.
void checkShortRender(const PageContent& content, const std::string& page, size_t capacity) {
    std::unique_ptr<char[]> part(new char[capacity]);
    FUZZ_CHECK(page::render(content, part.get(), capacity) == page.size());
    FUZZ_CHECK(std::memcmp(part.get(), page.data(), capacity) == 0);
}

TitleHistory* historyOf(const std::vector<std::string>& titles) {
    TitleHistory* history = history::create(kHistoryRingSize);
    FUZZ_CHECK(history != nullptr);
    for (const std::string& title : titles)
        history::append(history, title.c_str());
    return history;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput input = {data, size, 0};
    const int32_t blocksBefore = memory::liveBlocks();

    const uint8_t flags = fuzz::takeByte(input);
    const bool playing = (flags & 0x01) != 0;
    const bool nulls = (flags & 0x40) != 0;
    const bool nullPageTitle = nulls && (flags & 0x02) != 0;
    const bool nullHeader = nulls && (flags & 0x04) != 0;
    const bool nullCurrent = nulls && (flags & 0x08) != 0;
    const bool nullHistory = nulls && (flags & 0x10) != 0;
    const bool filler = fuzz::takeByte(input) == 0xFF;
    const int32_t rows = fuzz::takeLimit(input, -3, 70);
    const uint32_t cut = fuzz::takeWord(input);
    const std::string pageTitle = takeOperatorText(input);
    const std::string header = takeOperatorText(input);
    const std::string current = takeTitle(input);

    std::vector<std::string> appended;
    if (filler) {
        const int fillers = 1000 + fuzz::takeByte(input);
        const char* const fillerTitles[] = {"Tom & Jerry <Live>", "\"Quoted\"", "plain", "line\nfeed"};
        for (int k = 0; k < fillers; k++)
            appended.push_back(fillerTitles[k % 4] + std::to_string(k));
    }
    for (int n = fuzz::takeByte(input) % 41; n > 0; n--)
        appended.push_back(takeTitle(input));
    // The ring keeps the newest kHistoryRingSize titles.
    const size_t kept = appended.size() < size_t{kHistoryRingSize} ? appended.size() : kHistoryRingSize;
    const std::vector<std::string> entries(appended.end() - static_cast<std::ptrdiff_t>(kept),
                                           appended.end());

    // Number 0 stands for the current title, 1 + i for history entry i.
    std::vector<std::string> marks;
    for (size_t i = 0; i < entries.size(); i++)
        marks.push_back(placeholder(1 + i));
    TitleHistory* realHistory = historyOf(appended);
    TitleHistory* markHistory = historyOf(marks);
    const std::string currentMark = placeholder(0);

    PageContent real = {nullPageTitle ? nullptr : pageTitle.c_str(),
                        nullHeader ? nullptr : header.c_str(),
                        rows,
                        playing ? 1 : 0,
                        nullCurrent ? nullptr : current.c_str(),
                        nullHistory ? nullptr : realHistory};
    PageContent marked = real;
    marked.currentTitle = nullCurrent ? nullptr : currentMark.c_str();
    marked.history = nullHistory ? nullptr : markHistory;

    const std::string page = rendered(real);
    checkShortRender(real, page, cut % (page.size() + 1));
    const std::string markedPage = rendered(marked);

    // The titles the page should show, in order: the current one while playing, then entries
    // n - 2 down to the oldest listed, when there are at least two and R is positive.
    std::vector<size_t> expectedOrder;
    if (playing && !nullCurrent)
        expectedOrder.push_back(0);
    const int64_t n = static_cast<int64_t>(entries.size());
    if (!nullHistory && n >= 2 && rows > 0) {
        const int64_t oldest = n - 1 - rows > 0 ? n - 1 - rows : 0;
        for (int64_t i = n - 2; i >= oldest; i--)
            expectedOrder.push_back(static_cast<size_t>(1 + i));
    }

    // Put each title, escaped, in place of its placeholder.
    std::string expected;
    std::vector<size_t> order;
    // Runs between placeholders are copied whole: a byte-by-byte loop here would be traced by
    // the fuzzer's comparison hooks and cost more than the renders themselves.
    size_t at = 0;
    for (;;) {
        const size_t open = markedPage.find(kMark, at);
        if (open == std::string::npos)
            break;
        const size_t close = markedPage.find(kMark, open + 1);
        FUZZ_CHECK(close != std::string::npos);
        const size_t number = std::stoul(markedPage.substr(open + 1, close - open - 1));
        FUZZ_CHECK(number <= entries.size());
        order.push_back(number);
        expected.append(markedPage, at, open - at);
        expected += escapeForPage(number == 0 ? current : entries[number - 1]);
        at = close + 1;
    }
    expected.append(markedPage, at, std::string::npos);
    FUZZ_CHECK(order == expectedOrder);
    if (page != expected) {
        size_t same = 0;
        while (same < page.size() && same < expected.size() && page[same] == expected[same])
            same++;
        std::fprintf(stderr, "page differs from the escaped titles at byte %zu of %zu; page has '", same,
                     page.size());
        fuzz::printEscaped(page.substr(same, 60));
        std::fprintf(stderr, "', expected '");
        fuzz::printEscaped(expected.substr(same, 60));
        std::fprintf(stderr, "'\n");
        fuzz::fail("a title did not reach the page as escaped text");
    }

    history::destroy(realHistory);
    history::destroy(markHistory);
    FUZZ_CHECK(memory::liveBlocks() == blocksBefore);
    return 0;
}
