// Status pages read back as text.
#include "support/page_text.h"

#include <cstdlib>

namespace support {

bool isCompletePage(const std::string& page) {
    const std::string start = kPageStart, end = kPageEnd;
    return page.size() >= start.size() + end.size() && page.compare(0, start.size(), start) == 0 &&
           page.compare(page.size() - end.size(), end.size(), end) == 0;
}

int32_t announcedRows(const std::string& page) {
    if (page.find("Last track played:") != std::string::npos)
        return 1;
    const size_t at = page.find("SIZE=+2>Last ");
    if (at == std::string::npos)
        return 0;
    return static_cast<int32_t>(std::strtol(page.c_str() + at + 13, nullptr, 10));
}

std::string currentCell(const std::string& titleAsOnPage) {
    return "<TR><TD BGCOLOR=#003355><FONT FACE=Arial, Helvetica SIZE=2>" + titleAsOnPage +
           "</FONT></TD></TR></TABLE>\r\n";
}

} // namespace support
