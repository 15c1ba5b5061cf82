// The air log as the Windows tests read it back: its lines, and each line's fields after its
// time, so that a test compares what happened without the moment it happened.
#pragma once

#include <string>
#include <vector>

namespace support {

// The lines of the air log at `path` without their CR LF; a last line without one is marked
// "<torn> ".
std::vector<std::string> airLogLines(const std::string& path);

// Fields 2 to 12 of `line`: what follows its time field and tab, or the whole line marked
// "<no time> " when it does not begin with a time of the log's form.
std::string afterTime(const std::string& line);

// afterTime of every line of the log at `path` after its first.
std::vector<std::string> airLogEvents(const std::string& path);

} // namespace support
