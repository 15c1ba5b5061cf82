// Headless Chromium, as the native tests use it to see a page as a reader's browser shows it.
// Needs Debian's chromium at /usr/bin/chromium (scripts/setup.sh installs it).
#pragma once

#include <string>

namespace support {

constexpr char kChromium[] = "/usr/bin/chromium";

// True when the browser is there to run; tests skip themselves when it is not.
bool chromiumInstalled();

// Opens `page`, saved as `fileName` in a private folder, in headless Chromium with networking off,
// and returns the document it parsed, serialized. Chromium can take many seconds to start on a
// loaded machine; the two-minute limit only ends a hung browser. No process of the run outlives
// the call, and a failure is reported to the running test.
std::string parsedByChromium(const std::string& page, const std::string& fileName);

} // namespace support
