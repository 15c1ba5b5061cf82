// What every HTML page of the tool shares: text escaped for HTML, and the choice of the page's
// character set from the bytes of its text.
#pragma once

#include <string>

namespace sim {

// `text` with &, <, >, " and ' written as character references.
std::string htmlEscaped(const std::string& text);

// True when `text` is well-formed UTF-8; a page then says so, else it is read as Windows-1252, the
// encoding most older playlists are in.
bool isUtf8(const std::string& text);

} // namespace sim
