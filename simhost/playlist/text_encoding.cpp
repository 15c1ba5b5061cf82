// Byte-order marks, and UTF-8 and UTF-16 decoded by hand so that the native build reads the same
// titles as the Windows one. Ill-formed input is replaced the way Unicode recommends (one U+FFFD
// for each maximal part that cannot begin or continue a character), so a damaged file still reads
// line for line.
#include "playlist/text_encoding.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool endsWithM3u8(const std::string& name) {
    const char suffix[] = ".m3u8";
    const size_t length = sizeof suffix - 1;
    if (name.size() < length)
        return false;
    for (size_t i = 0; i < length; i++) {
        char c = name[name.size() - length + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i])
            return false;
    }
    return true;
}

void appendCodePoint(std::u16string* text, uint32_t codePoint) {
    if (codePoint < 0x10000) {
        text->push_back(static_cast<char16_t>(codePoint));
        return;
    }
    codePoint -= 0x10000;
    text->push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
    text->push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

std::string latin1FromUtf16(const std::u16string& text, int32_t* unheld) {
    std::string out;
    out.reserve(text.size());
    *unheld = 0;
    for (size_t i = 0; i < text.size(); i++) {
        const char16_t unit = text[i];
        if (unit <= 0xFF) {
            out.push_back(static_cast<char>(unit));
            continue;
        }
        out.push_back('?');
        ++*unheld;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size())
            i++; // a pair is one character
    }
    return out;
}

} // namespace

namespace sim {

TextEncoding detectEncoding(const std::string& fileName, const std::string& bytes, size_t* markLength) {
    *markLength = 0;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        *markLength = 3;
        return kUtf8Marked;
    }
    if (bytes.compare(0, 2, "\xFF\xFE") == 0) {
        *markLength = 2;
        return kUtf16Le;
    }
    if (bytes.compare(0, 2, "\xFE\xFF") == 0) {
        *markLength = 2;
        return kUtf16Be;
    }
    return endsWithM3u8(fileName) ? kUtf8ByName : kCodePageBytes;
}

std::u16string decodeUtf8(const std::string& bytes, size_t from, int32_t* invalid) {
    std::u16string text;
    text.reserve(bytes.size() - (from < bytes.size() ? from : bytes.size()));
    *invalid = 0;
    size_t i = from;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i++]);
        if (lead < 0x80) {
            text.push_back(lead);
            continue;
        }
        // The continuation bytes a lead byte needs, and the range its first continuation must lie
        // in: that range rules out overlong forms, surrogates and values past U+10FFFF.
        int32_t needed = 0;
        unsigned char low = 0x80, high = 0xBF;
        uint32_t codePoint = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            needed = 1;
            codePoint = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            needed = 2;
            codePoint = lead & 0x0F;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            needed = 3;
            codePoint = lead & 0x07;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            text.push_back(kReplacement); // a stray continuation byte, or a byte UTF-8 never uses
            ++*invalid;
            continue;
        }
        bool whole = true;
        for (int32_t k = 0; k < needed; k++) {
            const auto next = i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0;
            if (i >= bytes.size() || next < low || next > high) {
                whole = false; // the byte that breaks the sequence is read again on its own
                break;
            }
            codePoint = (codePoint << 6) | (next & 0x3F);
            low = 0x80;
            high = 0xBF;
            i++;
        }
        if (whole) {
            appendCodePoint(&text, codePoint);
        } else {
            text.push_back(kReplacement);
            ++*invalid;
        }
    }
    return text;
}

std::u16string decodeUtf16(const std::string& bytes, size_t from, bool bigEndian, int32_t* invalid) {
    std::u16string text;
    *invalid = 0;
    const size_t end = bytes.size();
    auto unitAt = [&](size_t at) {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        return static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    };
    size_t i = from;
    while (i + 1 < end) {
        const char16_t unit = unitAt(i);
        i += 2;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < end) {
            const char16_t next = unitAt(i);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                text.push_back(unit);
                text.push_back(next);
                i += 2;
                continue;
            }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            text.push_back(kReplacement);
            ++*invalid;
        } else {
            text.push_back(unit);
        }
    }
    if (i < end) {
        text.push_back(kReplacement); // half a code unit at the end
        ++*invalid;
    }
    return text;
}

CodePage latin1CodePage() {
    return {"Latin-1", "?", latin1FromUtf16};
}

const char* encodingName(TextEncoding encoding) {
    switch (encoding) {
    case kUtf8Marked:
        return "UTF-8 (with a byte-order mark)";
    case kUtf8ByName:
        return "UTF-8 (a .m3u8 file)";
    case kUtf16Le:
        return "UTF-16 LE";
    case kUtf16Be:
        return "UTF-16 BE";
    default:
        return "bytes of the code page";
    }
}

} // namespace sim
