// What every HTML page of the tool shares: text escaped for HTML, the choice of the page's
// character set from the bytes of its text, and the document around a page's body.
#pragma once

#include <string>

namespace sim {

// `text` with &, <, >, " and ' written as character references.
std::string htmlEscaped(const std::string& text);

// True when `text` is well-formed UTF-8; a page then says so, else it is read as Windows-1252, the
// encoding most older playlists are in.
bool isUtf8(const std::string& text);

// A whole HTML document: `title` (escaped here), the inline `style` and `body` (HTML), with the
// character set that `body`'s bytes are in.
std::string htmlDocument(const std::string& title, const char* style, const std::string& body);

} // namespace sim
