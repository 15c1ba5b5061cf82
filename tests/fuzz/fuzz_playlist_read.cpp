// Fuzzes playlist reading in every encoding. Any file must read without a crash or a read out of
// bounds, and either give entries whose titles are non-empty and free of NULs, with lengths of 0
// or more, or be refused with a one-line reason. The decoders must give well-formed UTF-16 and, for
// input they call well-formed, exactly the input again when encoded back (UTF-8 and UTF-16 are
// encoded below from the standard, not by the code under test). And one text must read the same
// whether saved as UTF-8 with its mark, UTF-16 LE or UTF-16 BE: same titles, lengths, characters
// without a place in the code page, and reason for a refusal. Line ends never reach a title, and
// the same text with every line ended by a lone CR (as old Mac tools save) reads the same entries.
//
// The code page is the Latin-1 stand-in: the Windows one (WideCharToMultiByte) cannot run here.
//
// Input layout (missing bytes read as 0):
//   name         one byte: bits 0-1 pick the file name (.m3u, .m3u8, .txt, .M3U8)
//   bytes        the rest: the file as it is on disk
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "playlist/playlist.h"
#include "playlist/text_encoding.h"

namespace {

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// True when every surrogate in `text` is half of a pair.
bool isWellFormed(const std::u16string& text) {
    for (size_t i = 0; i < text.size(); i++) {
        if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1]))
            i++;
        else if (isHighSurrogate(text[i]) || isLowSurrogate(text[i]))
            return false;
    }
    return true;
}

// Well-formed UTF-16 as UTF-8.
std::string utf8Of(const std::u16string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        uint32_t c = text[i];
        if (isHighSurrogate(text[i]))
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// UTF-16 in either byte order, after the byte-order mark when `mark`.
std::string utf16Of(const std::u16string& text, bool bigEndian, bool mark) {
    std::string out;
    auto put = [&](char16_t unit) {
        const auto high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    };
    if (mark)
        put(0xFEFF);
    for (char16_t unit : text)
        put(unit);
    return out;
}

struct Reading {
    bool read;
    sim::PlaylistFile file;
    std::string reason;
};

// Reads the file and checks what every reading must hold.
Reading readAndCheck(const std::string& name, const std::string& bytes) {
    Reading reading;
    reading.read = sim::readPlaylistFile(name, bytes, sim::latin1CodePage(), &reading.file, &reading.reason);
    if (!reading.read) {
        FUZZ_CHECK(!reading.reason.empty());
        FUZZ_CHECK(reading.reason.find('\n') == std::string::npos);
        return reading;
    }
    FUZZ_CHECK(!reading.file.entries.empty());
    for (const sim::PlaylistEntry& entry : reading.file.entries) {
        FUZZ_CHECK(!entry.title.empty());
        FUZZ_CHECK(entry.title.find('\0') == std::string::npos);
        FUZZ_CHECK(entry.title.find('\n') == std::string::npos);
        FUZZ_CHECK(entry.title.find('\r') == std::string::npos);
        FUZZ_CHECK(entry.seconds >= 0);
    }
    FUZZ_CHECK(reading.file.unheld >= 0 && reading.file.invalid >= 0);
    for (const std::string& note : sim::encodingNotes(reading.file, sim::latin1CodePage()))
        FUZZ_CHECK(note.find('\n') == std::string::npos);
    return reading;
}

// `text` with each LF and CR LF made a lone CR.
std::string withLoneCarriageReturns(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            i++;
        out += text[i] == '\n' ? '\r' : text[i];
    }
    return out;
}

void checkSameEntries(const Reading& a, const Reading& b) {
    FUZZ_CHECK(a.read == b.read);
    FUZZ_CHECK(a.file.entries.size() == b.file.entries.size());
    for (size_t i = 0; i < a.file.entries.size() && i < b.file.entries.size(); i++) {
        FUZZ_CHECK(a.file.entries[i].title == b.file.entries[i].title);
        FUZZ_CHECK(a.file.entries[i].seconds == b.file.entries[i].seconds);
    }
}

void checkSameReading(const Reading& a, const Reading& b) {
    FUZZ_CHECK(a.read == b.read);
    FUZZ_CHECK(a.reason == b.reason);
    FUZZ_CHECK(a.file.entries.size() == b.file.entries.size());
    for (size_t i = 0; i < a.file.entries.size(); i++) {
        FUZZ_CHECK(a.file.entries[i].title == b.file.entries[i].title);
        FUZZ_CHECK(a.file.entries[i].seconds == b.file.entries[i].seconds);
    }
    FUZZ_CHECK(a.file.unheld == b.file.unheld);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput input = {data, size, 0};
    const char* names[] = {"list.m3u", "list.m3u8", "list.txt", "LIST.M3U8"};
    const std::string name = names[fuzz::takeByte(input) % 4];
    const std::string bytes(reinterpret_cast<const char*>(data + input.used), size - input.used);

    readAndCheck(name, bytes);

    // The decoders on the raw bytes.
    int32_t invalid = -1;
    const std::u16string fromUtf8 = sim::decodeUtf8(bytes, 0, &invalid);
    FUZZ_CHECK(isWellFormed(fromUtf8));
    FUZZ_CHECK(invalid >= 0 && static_cast<size_t>(invalid) <= bytes.size());
    if (invalid == 0)
        FUZZ_CHECK(utf8Of(fromUtf8) == bytes);
    for (bool bigEndian : {false, true}) {
        const std::u16string fromUtf16 = sim::decodeUtf16(bytes, 0, bigEndian, &invalid);
        FUZZ_CHECK(isWellFormed(fromUtf16));
        FUZZ_CHECK(invalid >= 0 && static_cast<size_t>(invalid) <= bytes.size() / 2 + 1);
        if (invalid == 0)
            FUZZ_CHECK(utf16Of(fromUtf16, bigEndian, false) == bytes);
    }

    // One text in the three encodings with a mark reads alike.
    const Reading asUtf8 = readAndCheck(name, "\xEF\xBB\xBF" + utf8Of(fromUtf8));
    checkSameReading(asUtf8, readAndCheck(name, utf16Of(fromUtf8, false, true)));
    checkSameReading(asUtf8, readAndCheck(name, utf16Of(fromUtf8, true, true)));
    checkSameEntries(asUtf8, readAndCheck(name, "\xEF\xBB\xBF" + withLoneCarriageReturns(utf8Of(fromUtf8))));
    return 0;
}
