// Reading a status page the plug-in wrote, as the tests check it: whole or cut short, how many rows
// it announces, and the cell that shows the track playing.
#pragma once

#include <cstdint>
#include <string>

namespace support {

constexpr char kPageStart[] = "<HTML>";
constexpr char kPageEnd[] = "</BODY></HTML>\r\n";

// True when `page` is a whole page: it starts as every page starts and ends with the footer.
bool isCompletePage(const std::string& page);
// Rows announced by the recent-track heading: 0 when the page has no table.
int32_t announcedRows(const std::string& page);
// The current-track cell as the page holds it for a title already in page form.
std::string currentCell(const std::string& titleAsOnPage);

} // namespace support
