// The status page, piece by piece, into a caller's buffer. The page is a text-mode file, so every
// line feed goes out as CR LF (the page's own texts hold theirs as CR LF already): the bytes
// produced are exactly those that reach the disk.
// Outside text (titles, the operator's title and header) is copied as data, never used as a format.
#include "page/page_render.h"

#include <cstring>

// F, the font attributes of every small-print cell, spliced into the literals that use it.
#define PAGE_FONT "FACE=Arial, Helvetica SIZE=2"

namespace page {

const char kPluginHomePage[] = "https://songbeacon.org/";
const char kShoutcastHomePage[] = "https://www.shoutcast.com/";

} // namespace page

namespace {

// Collects the page. Bytes past `capacity` are counted but not stored, so the same pass measures.
struct PageSink {
    char* out;
    size_t capacity;
    size_t length;
};

void putBytes(PageSink& sink, const char* bytes, size_t count) {
    const size_t room = sink.length < sink.capacity ? sink.capacity - sink.length : 0;
    // Only a copy of at least one byte touches `out`: it is null while measuring, and an offset
    // past its end is undefined even for a copy of nothing. The whole piece is copied with `count`
    // as given, so that a literal's constant size lets the compiler inline the copy.
    if (count <= room) {
        if (count > 0)
            std::memcpy(sink.out + sink.length, bytes, count);
    } else if (room > 0) {
        std::memcpy(sink.out + sink.length, bytes, room);
    }
    sink.length += count;
}

// One of the page's own texts, verbatim: its line ends are already written as CR LF.
template <size_t Size>
void putLiteral(PageSink& sink, const char (&literal)[Size]) {
    putBytes(sink, literal, Size - 1);
}

// The operator's own HTML as held, with each line feed written as CR LF, as a text-mode write
// would; a CR already there stays.
void putRawText(PageSink& sink, const char* text) {
    size_t count = std::strlen(text);
    while (const void* found = std::memchr(text, '\n', count)) {
        const size_t run = static_cast<size_t>(static_cast<const char*>(found) - text);
        putBytes(sink, text, run);
        putLiteral(sink, "\r\n");
        text += run + 1;
        count -= run + 1;
    }
    putBytes(sink, text, count);
}

// Bytes of a title that cannot go out as they are: the four HTML specials and the line feed.
struct TitleSpecials {
    bool at[256];
};
constexpr TitleSpecials makeTitleSpecials() {
    TitleSpecials specials = {};
    for (const char* c = "&<>\"\n"; *c != '\0'; c++)
        specials.at[static_cast<unsigned char>(*c)] = true;
    return specials;
}
constexpr TitleSpecials kTitleSpecials = makeTitleSpecials();

// Non-zero exactly when some byte of `word` equals `byte`.
uint64_t mayHoldByte(uint64_t word, unsigned char byte) {
    const uint64_t ones = 0x0101010101010101u;
    const uint64_t difference = word ^ (ones * byte);
    return (difference - ones) & ~difference & (ones * 0x80);
}

// Length of the leading run of `text` with no special byte. Titles are scanned on every page for
// up to a thousand rows, so plain stretches are skipped eight bytes at a time.
size_t plainRun(const char* text, size_t length) {
    const uint64_t ones = 0x0101010101010101u;
    size_t index = 0;
    for (; index + 8 <= length; index += 8) {
        uint64_t word;
        std::memcpy(&word, text + index, 8);
        // '<' and '>' differ only in bit 1, '"' and '&' only in bit 2: one test covers each pair.
        if (mayHoldByte(word | (ones * 0x02), '>') | mayHoldByte(word | (ones * 0x04), '&') |
            mayHoldByte(word, '\n'))
            break;
    }
    while (index < length && !kTitleSpecials.at[static_cast<unsigned char>(text[index])])
        index++;
    return index;
}

// A playlist title as text the browser shows literally: & < > " escaped, line feeds as CR LF.
void putTitle(PageSink& sink, const char* title) {
    size_t length = std::strlen(title);
    for (;;) {
        const size_t run = plainRun(title, length);
        putBytes(sink, title, run);
        if (run == length)
            return;
        switch (title[run]) {
        case '&':
            putLiteral(sink, "&amp;");
            break;
        case '<':
            putLiteral(sink, "&lt;");
            break;
        case '>':
            putLiteral(sink, "&gt;");
            break;
        case '"':
            putLiteral(sink, "&quot;");
            break;
        default: // '\n'
            putLiteral(sink, "\r\n");
            break;
        }
        title += run + 1;
        length -= run + 1;
    }
}

void putDecimal(PageSink& sink, uint64_t value) {
    char digits[20];
    size_t used = 0;
    do {
        digits[sizeof digits - 1 - used++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    putBytes(sink, digits + sizeof digits - used, used);
}

const char* textOrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

// The entries before the newest, newest first and numbered from 1, at most `rows` of them.
void putRecentTable(PageSink& sink, const TitleHistory* history, int32_t rows) {
    const int64_t count = history->count;
    // 64 bits: count - rows - 1 must not wrap for any 32-bit row limit.
    int64_t first = count - rows - 1;
    if (first < 0)
        first = 0;
    const int64_t shown = count - first - 1;

    putLiteral(sink, "<BR><TABLE WIDTH=450 BORDER=0 CELLSPACING=3 CELLPADDING=2>\r\n");
    putLiteral(sink, "<TR><TD COLSPAN=2 BGCOLOR=#005588><B><FONT " PAGE_FONT " SIZE=+2>");
    if (shown == 1) {
        putLiteral(sink, "Last track played:");
    } else {
        putLiteral(sink, "Last ");
        putDecimal(sink, static_cast<uint64_t>(shown));
        putLiteral(sink, " tracks played:");
    }
    putLiteral(sink, "</FONT></B></TD></TR>\r\n");
    int64_t row = 1;
    for (int64_t index = count - 2; index >= first; index--, row++) {
        putLiteral(sink, "<TR><TD WIDTH=15% BGCOLOR=#003355><FONT " PAGE_FONT ">");
        putDecimal(sink, static_cast<uint64_t>(row));
        putLiteral(sink, "</FONT></TD><TD WIDTH=85% BGCOLOR=#003355><FONT " PAGE_FONT ">");
        putTitle(sink, history::at(history, index));
        putLiteral(sink, "</FONT></TD></TR>\r\n");
    }
    putLiteral(sink, "</TABLE>\r\n");
}

} // namespace

namespace page {

size_t render(const PageContent& content, char* out, size_t capacity) {
    PageSink sink = {out, out != nullptr ? capacity : 0, 0};

    putLiteral(sink, "<HTML><META HTTP-EQUIV=\"REFRESH\" CONTENT=\"60\"><HEAD><TITLE>");
    putRawText(sink, textOrEmpty(content.htmlTitle));
    putLiteral(sink, "</TITLE></HEAD>\r\n");
    putLiteral(sink, "<BODY BGCOLOR=#000000 TEXT=#FFFF00 LINK=#FFFF00 ALINK=#FFFFFF VLINK=#FFFF00>\r\n");
    putLiteral(sink, "<CENTER><TABLE WIDTH=450 BORDER=0 CELLSPACING=3 CELLPADDING=2>\r\n");
    putLiteral(sink, "<TR><TD><CENTER><A HREF=\"");
    putRawText(sink, kShoutcastHomePage);
    putLiteral(sink, "\"><IMG SRC=\"sc-logo.jpg\" WIDTH=440 HEIGHT=121 BORDER=0 HSPACE=0 VSPACE=0></A>"
                     "</CENTER></TD></TR>\r\n");
    putLiteral(sink, "<TR><TD><FONT " PAGE_FONT ">");
    putRawText(sink, textOrEmpty(content.htmlHeader));
    putLiteral(sink, "</FONT></TD></TR>");
    putLiteral(sink, "<TR><TD BGCOLOR=#005588>");
    if (content.playing != 0) {
        putLiteral(sink, "<B><FONT " PAGE_FONT " SIZE=+2>Currently playing track:</FONT></B>");
        putLiteral(sink, "</TD></TR>\r\n");
        putLiteral(sink, "<TR><TD BGCOLOR=#003355><FONT " PAGE_FONT ">");
        putTitle(sink, textOrEmpty(content.currentTitle));
        putLiteral(sink, "</FONT>");
    } else {
        putLiteral(sink, "<B><FONT " PAGE_FONT " SIZE=+2>The server is currently off-line.</FONT></B>");
    }
    putLiteral(sink, "</TD></TR></TABLE>\r\n");
    const TitleHistory* history = content.history;
    if (history != nullptr && history->count >= 2 && content.recentTitleListLength > 0)
        putRecentTable(sink, history, content.recentTitleListLength);
    putLiteral(sink, "<TABLE WIDTH=450 BORDER=0 CELLSPACING=3 CELLPADDING=2><TR><TD><HR SIZE=1><FONT "
                     "FACE=\"Arial, Helvetica\" SIZE=1>This page was created by <A HREF=\"");
    putRawText(sink, kPluginHomePage);
    putLiteral(sink,
               "\">The Songbeacon Plug-In for WinAmp</A>.</TD></TR></TABLE></CENTER></BODY></HTML>\r\n");
    return sink.length;
}

} // namespace page
