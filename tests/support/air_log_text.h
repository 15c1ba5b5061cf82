// The air log as the Windows tests read it back: its first line, and each later line as the
// fields after its time, so that a test compares what happened without the moment it happened.
#pragma once

#include <string>
#include <vector>

namespace support {

// The lines of the air log at `path`, first line included, each without its CR LF. A line after
// the first that does not begin with a time field of the log's form and a tab is given whole,
// marked "<no time> "; a last line without CR LF is marked "<torn> ".
std::vector<std::string> airLogLines(const std::string& path);

// Fields 2 to 12 of `line` as airLogLines gives it: everything after the time and its tab.
std::string afterTime(const std::string& line);

// The events of the log at `path`: afterTime of every line after the first.
std::vector<std::string> airLogEvents(const std::string& path);

} // namespace support
