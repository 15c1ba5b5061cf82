// HTML escaping, the character set of a page and its document.
#include "report/html_page.h"

namespace sim {

std::string htmlEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool isUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const size_t length = c < 0x80           ? 1
                              : (c >> 5) == 0x6  ? 2
                              : (c >> 4) == 0xE  ? 3
                              : (c >> 3) == 0x1E ? 4
                                                 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (size_t k = 1; k < length; k++)
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 0x2)
                return false;
        i += length;
    }
    return true;
}

std::string htmlDocument(const std::string& title, const char* style, const std::string& body) {
    const std::string charset = isUtf8(body) ? "utf-8" : "windows-1252";
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"" + charset + "\">\n<title>" +
           htmlEscaped(title) + "</title>\n<style>" + style + "</style>\n</head>\n<body>\n" + body +
           "</body>\n</html>\n";
}

} // namespace sim
